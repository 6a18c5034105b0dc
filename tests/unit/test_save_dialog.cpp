// The save dialog driven from inside its own modal loop: the proposed name follows the chosen
// format, and the depth buttons follow the format's mask.
#include "testsupport.h"
#include "files/save.h"
#include "base/app.h"
#include "image/group.h"
#include "image/imagelist.h"
#include <dlgs.h>
#include <string.h>

namespace {

struct Seen {
    std::vector<std::string> names;
    std::vector<bool> eightBitShown;
    bool found = false, releaseIgnored = false;
} s_seen;

std::string FileNameText(HWND dialog)
{
    char text[260] = "";
    HWND edit = FindDescendant(dialog, cmb13);
    if (!edit)
        edit = FindDescendant(dialog, edt1);
    if (edit)
        GetWindowTextA(edit, text, sizeof text);
    return text;
}

void ChooseType(HWND dialog, int index)
{
    HWND combo = FindDescendant(dialog, cmb1);
    SendMessageA(combo, CB_SETCURSEL, (WPARAM)index, 0);
    // The dialog acts when a choice is confirmed.
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(cmb1, CBN_SELENDOK), (LPARAM)combo);
}

void Drive(HWND dialog)
{
    s_seen.found = true;
    s_seen.releaseIgnored = g_ignoreNextLeftRelease;
    HWND eight = FindDescendant(dialog, 3003);
    // Read right after each change: what the hook did, before the dialog does anything more.
    s_seen.names.push_back(FileNameText(dialog)); // as opened: mrf
    s_seen.eightBitShown.push_back(eight && IsWindowVisible(eight));
    ChooseType(dialog, 2); // BMP
    s_seen.names.push_back(FileNameText(dialog));
    s_seen.eightBitShown.push_back(eight && IsWindowVisible(eight));
    HWND box = FindDescendant(dialog, cmb13) ? FindDescendant(dialog, cmb13) : FindDescendant(dialog, edt1);
    SetWindowTextA(box, "typed.bmp"); // typed text is not read: the proposed name comes back
    ChooseType(dialog, 0);           // mrf again
    s_seen.names.push_back(FileNameText(dialog));
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
}

} // namespace

TEST(SaveDialog, NameAndDepthButtonsFollowTheFormat)
{
    ResetProgramState();
    MessageCapture boxes;
    TempDir dir;
    CDIB *base = nullptr;
    QzsCreateNewImage(&base, 2, 2, 32);
    ASSERT_NE(base, nullptr);
    ASSERT_EQ(AddImageGroup(base), 1);
    snprintf(base->path, sizeof base->path, "%s", dir.file("photo.mrf").c_str());
    base->untitledNumber = 0;
    SetSaveFormat(kFormatMrf);
    SetSaveDepth(8);
    s_seen = Seen();
    DriveNextDialog(Drive, 300);
    char buffer[512];
    EXPECT_EQ(ShowSaveFileDialog(g_lastGroup, buffer, sizeof buffer), 1); // cancelled
    StopDrivingDialogs();
    ASSERT_TRUE(s_seen.found);
    EXPECT_TRUE(s_seen.releaseIgnored) << "the release that closes the dialog is not for an image window";
    ASSERT_EQ(s_seen.names.size(), 3u);
    EXPECT_EQ(s_seen.names[0], "photo.mrf");
    EXPECT_EQ(s_seen.names[1], "photo.bmp");
    EXPECT_EQ(s_seen.names[2], "photo.mrf");
    EXPECT_FALSE(s_seen.eightBitShown[0]);
    EXPECT_TRUE(s_seen.eightBitShown[1]);
    EXPECT_EQ(GetSaveFormat(), kFormatMrf);
    EXPECT_EQ(GetSaveDepth(), 32); // mrf takes 32 bits only
    DiscardAllImages();
}
