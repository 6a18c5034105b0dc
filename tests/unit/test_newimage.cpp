// The new-image dialog driven as a user would: messages posted to the running modal dialog.
#include "image/imagelist.h"
#include "base/app.h"
#include "base/settings.h"
#include "shell/newimage.h"
#include "testsupport.h"
#include <functional>

namespace {
CDIB *RunWith(std::function<void(HWND)> drive)
{
    DriveNextDialog(std::move(drive));
    return RunNewImageDialog(NULL);
}

uint32_t FirstPixel(CDIB *image)
{
    return *(uint32_t *)image->pixels;
}

class NewImageTest : public HostTest {};
} // namespace

TEST_F(NewImageTest, DoubleClickOnARecentSizeCreatesItAtOnce)
{
    std::string listed;
    CDIB *image = RunWith([&](HWND dialog) {
        char line[32];
        SendDlgItemMessageA(dialog, kNewSizeList, LB_GETTEXT, 2, (LPARAM)line);
        listed = line;
        EXPECT_EQ(GetDlgItemInt(dialog, kNewWidthEdit, NULL, TRUE), 768u);
        EXPECT_TRUE(IsDlgButtonChecked(dialog, kNewBackColor));
        SendDlgItemMessageA(dialog, kNewSizeList, LB_SETCURSEL, 2, 0);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(kNewSizeList, LBN_SELCHANGE), 0);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(kNewSizeList, LBN_DBLCLK), 0);
    });
    EXPECT_EQ(listed, " 640x 400");
    ASSERT_TRUE(image);
    EXPECT_EQ(image->header->bmiHeader.biWidth, 640);
    EXPECT_EQ(image->header->bmiHeader.biHeight, 400);
    EXPECT_EQ(image->modified, 0);
    EXPECT_EQ(std::string(image->name).rfind("[[Untitled]]:", 0), 0u);
    EXPECT_EQ(FirstPixel(image), 0xFFFFFFFFu); // background colour record 1 is white, alpha 255
    // A size already listed keeps the order.
    EXPECT_EQ(g_cfg.NewImageSize[0][0], 256);
    EXPECT_EQ(g_cfg.NewImageSize[2][0], 640);
}

TEST_F(NewImageTest, ANewSizeGoesFirstAndPushesTheTenthOut)
{
    g_cfg.NewImageSize[9][0] = 99;
    CDIB *image = RunWith([](HWND dialog) {
        SetDlgItemTextA(dialog, kNewWidthEdit, "300");
        SetDlgItemTextA(dialog, kNewHeightEdit, "200");
        CheckRadioButton(dialog, kNewBackColor, kNewBlack, kNewBlack);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(kNewOk, BN_CLICKED), 0);
    });
    ASSERT_TRUE(image);
    EXPECT_EQ(FirstPixel(image), 0xFF000000u);
    EXPECT_EQ(g_cfg.NewImageBackground, 2);
    EXPECT_EQ(g_cfg.NewImageX, 300);
    EXPECT_EQ(g_cfg.NewImageSize[0][0], 300);
    EXPECT_EQ(g_cfg.NewImageSize[0][1], 200);
    EXPECT_EQ(g_cfg.NewImageSize[1][0], 256);
    EXPECT_EQ(g_cfg.NewImageSize[9][0], 1024); // the old ninth moved up; 99 dropped
}

TEST_F(NewImageTest, CancelMakesNothingAndBadSizesAreRefusedBeforeAllocating)
{
    EXPECT_EQ(RunWith([](HWND dialog) { SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0); }), nullptr);
    EXPECT_EQ(g_firstImage, nullptr);
    struct {
        const char *width, *height;
    } bad[] = {{"0", "100"}, {"-5", "100"}, {"abc", "10"}, {"100000", "100000"}};
    for (auto &b : bad) {
        boxes.boxes.clear();
        CDIB *image = RunWith([&](HWND dialog) {
            SetDlgItemTextA(dialog, kNewWidthEdit, b.width);
            SetDlgItemTextA(dialog, kNewHeightEdit, b.height);
            SendMessageA(dialog, WM_COMMAND, kNewOk, 0);
        });
        EXPECT_EQ(image, nullptr) << b.width;
        EXPECT_EQ(g_firstImage, nullptr);
        EXPECT_FALSE(boxes.boxes.empty()) << b.width;
    }
}
