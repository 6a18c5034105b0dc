// The option pages: filled when made, stored on Apply, and kept through the configuration file.
#include "base/app.h"
#include "base/settings.h"
#include "shell/configfile.h"
#include "shell/options.h"
#include "testsupport.h"
#include <commctrl.h>
#include <prsht.h>

namespace {
class OptionsTest : public HostTest {
protected:
    HWND parent = NULL;
    void SetUp() override
    {
        HostTest::SetUp();
        parent = CreateWindowA("STATIC", "sheet", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, NULL, NULL, g_instance, NULL);
    }
    void TearDown() override
    {
        DestroyWindow(parent);
        HostTest::TearDown();
    }
    HWND Page(int id, DLGPROC proc)
    {
        HWND page = CreateDialogParamA(g_instance, MAKEINTRESOURCEA(id), parent, proc, 0);
        EXPECT_TRUE(page);
        return page;
    }
    static void Apply(HWND page)
    {
        NMHDR header = {GetParent(page), 0, (UINT)PSN_APPLY};
        SendMessageA(page, WM_NOTIFY, 0, (LPARAM)&header);
    }
    static void Click(HWND page, int id) { CheckDlgButton(page, id, BST_CHECKED); }
    static void Clear(HWND page, int id) { CheckDlgButton(page, id, BST_UNCHECKED); }
};
} // namespace

TEST_F(OptionsTest, AnEarlyApplyStoresTheSettingsUnchanged)
{
    g_cfg.AdjMaxSizeX = 1111;
    g_cfg.FrameX = 48;
    g_cfg.RegAnimationVelocity = 7;
    snprintf(g_cfg.UntitledFileHeader, sizeof g_cfg.UntitledFileHeader, "Pic");
    Apply(Page(6000, WindowOptionsPageProc));
    Apply(Page(6001, DisplayOptionsPageProc));
    Apply(Page(6002, FileOptionsPageProc));
    EXPECT_EQ(g_cfg.AdjMaxSizeX, 1111);
    EXPECT_EQ(g_cfg.FrameX, 48);
    EXPECT_EQ(g_cfg.RegAnimationVelocity, 7);
    EXPECT_EQ(g_cfg.CloseButtonAsCloseImage, 2); // shown checked from 1, stored as 2
    EXPECT_STREQ(g_cfg.UntitledFileHeader, "Pic");
    EXPECT_STREQ(g_cfg.DefaultSaveFormat, "MRF");
    EXPECT_EQ(g_cfg.DefaultSaveDepth, 32);
    EXPECT_EQ(g_cfg.SaveModeInMultiImage, 10);
}

TEST_F(OptionsTest, EverySettingRoundTripsThroughTheFile)
{
    HWND window = Page(6000, WindowOptionsPageProc), display = Page(6001, DisplayOptionsPageProc),
         file = Page(6002, FileOptionsPageProc);
    Clear(window, 8000);
    Click(window, 8001);
    Click(window, 8002);
    Clear(window, 8003);
    Clear(window, 8004);
    SetDlgItemTextA(window, 8005, "900");
    SetDlgItemTextA(window, 8006, "700");
    SetDlgItemTextA(display, 8007, "40");
    SetDlgItemTextA(display, 8008, "15");
    Clear(display, 8010);
    Click(display, 8011);
    Clear(display, 8012);
    SetDlgItemTextA(display, 8014, "9");
    SetDlgItemTextA(file, 8013, "Shot");
    SendDlgItemMessageA(file, 8015, CB_SETCURSEL, 2, 0);
    Clear(file, 8020);
    Click(file, 8019);
    SendMessageA(file, WM_COMMAND, 8019, 0);
    Clear(file, 3001);
    Click(file, 3002);
    Apply(window);
    Apply(display);
    Apply(file);

    EXPECT_EQ(g_cfg.closeMode, 1); // not bound: the CloseWindow mode follows the page
    EXPECT_EQ(g_cfg.closeButtonMode, 0);
    ASSERT_EQ(WriteConfigFile(), 1);
    ResetProgramState(dir.path().c_str());
    ASSERT_EQ(ReadConfigFile(), 1);
    DeriveSettings();
    EXPECT_EQ(g_cfg.BindImageToOneWindow, 0);
    EXPECT_EQ(g_cfg.CloseImageWithWindow, 1);
    EXPECT_EQ(g_cfg.CloseButtonAsCloseImage, 0);
    EXPECT_EQ(g_cfg.AutoAdjustMode, 0);
    EXPECT_EQ(g_cfg.AdjMaxSizeX, 900);
    EXPECT_EQ(g_cfg.AdjMaxSizeY, 700);
    EXPECT_EQ(g_cfg.FrameX, 32);
    EXPECT_EQ(g_cfg.FrameY, 0);
    EXPECT_EQ(g_cfg.StretchBltMode, 2);
    EXPECT_EQ(g_cfg.SynchronizeUpdateImage, 0);
    EXPECT_EQ(g_cfg.RegAnimationVelocity, 9);
    EXPECT_STREQ(g_cfg.UntitledFileHeader, "Shot");
    EXPECT_STREQ(g_cfg.DefaultSaveFormat, "BMP");
    EXPECT_EQ(g_cfg.DefaultSaveDepth, 24);
    EXPECT_EQ(g_cfg.SaveModeInMultiImage, 0);
    EXPECT_EQ(g_cfg.closeMode, 1);
}

TEST_F(OptionsTest, NumbersThatWouldBreakTheProgramAreRefused)
{
    HWND window = Page(6000, WindowOptionsPageProc), display = Page(6001, DisplayOptionsPageProc);
    SetDlgItemTextA(window, 8005, "0");
    SetDlgItemTextA(window, 8006, "x");
    SetDlgItemTextA(display, 8007, "-20");
    SetDlgItemTextA(display, 8014, "0");
    Apply(window);
    Apply(display);
    EXPECT_EQ(g_cfg.AdjMaxSizeX, g_screenWidth - 10);
    EXPECT_EQ(g_cfg.AdjMaxSizeY, g_screenHeight - 10);
    EXPECT_EQ(g_cfg.FrameX, 33);
    EXPECT_EQ(g_cfg.RegAnimationVelocity, 5);
}

// A margin is rounded down to a multiple of 16 and, as when the configuration file is read, one
// past 1024 keeps the margin there was: the display of every picture must stay buildable.
TEST_F(OptionsTest, FrameMarginsPastTheirRangeKeepTheMarginThereWas)
{
    HWND display = Page(6001, DisplayOptionsPageProc);
    struct Case {
        const char *text;
        int want;
    } cases[] = {{"1040", 48}, {"2000000000", 48}, {"-16", 48}, {"1039", 1024}, {"1024", 1024}, {"0", 0}};
    for (const Case &c : cases) {
        g_cfg.FrameX = g_cfg.FrameY = 48;
        SetDlgItemTextA(display, 8007, c.text);
        SetDlgItemTextA(display, 8008, c.text);
        Apply(display);
        EXPECT_EQ(g_cfg.FrameX, c.want) << c.text;
        EXPECT_EQ(g_cfg.FrameY, c.want) << c.text;
    }
}

TEST(SaveFormats, NamesAndNumbers)
{
    EXPECT_EQ(SaveFormatIndexByName("mrf"), 1);
    EXPECT_EQ(SaveFormatIndexByName("MR2"), 2);
    EXPECT_EQ(SaveFormatIndexByName("Bmp"), 3);
    EXPECT_EQ(SaveFormatIndexByName("PICT"), 0);
    EXPECT_STREQ(SaveFormatNameByIndex(3), "BMP");
    EXPECT_STREQ(SaveFormatNameByIndex(4), "MRF"); // no plug-in in that row
    EXPECT_STREQ(SaveFormatNameByIndex(100), "MRF");
    EXPECT_STREQ(SaveFormatNameByIndex(-1), "MRF");
}
