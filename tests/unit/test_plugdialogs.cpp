// The multi-image save question and the plug-in directory dialog, driven by posted commands; the
// folder browser is a stand-in.
#include "testsupport.h"
#include "plugins/plugdialogs.h"
#include "base/app.h"
#include "base/settings.h"
#include <string.h>

class PluginDialogTest : public HostTest {
protected:
    void TearDown() override
    {
        SetFolderBrowser(nullptr);
        HostTest::TearDown();
    }
};

TEST_F(PluginDialogTest, MultiImageSaveAnswersOnlyOneZeroOrTen)
{
    struct Case {
        int command, result;
    } cases[] = {{3000, 1}, {3018, 0}, {3019, 10}, {IDCANCEL, 10}};
    for (const Case &c : cases) {
        static int s_command;
        s_command = c.command;
        DriveNextDialog([](HWND d) { PostMessageA(d, WM_COMMAND, s_command, 0); });
        EXPECT_EQ(AskMultiImageSave(), c.result) << c.command;
        StopDrivingDialogs();
    }
    // A question that cannot be asked (its owner is gone) is a Cancel, never "Layer Save"; were it
    // shown after all, the driver would answer "Layer Save".
    HWND gone = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(DestroyWindow(gone));
    HWND owner = g_imageOwner;
    g_imageOwner = gone;
    DriveNextDialog([](HWND d) { PostMessageA(d, WM_COMMAND, 3018, 0); });
    EXPECT_EQ(AskMultiImageSave(), 10);
    StopDrivingDialogs();
    g_imageOwner = owner;
}

static std::string s_started;
static int PickFolder(HWND, const char *start, char *out, size_t size)
{
    s_started = start;
    snprintf(out, size, "C:\\picked");
    return 1;
}

// Runs the dialog with the commands posted in order.
static void RunDirectoryDialog(std::vector<int> commands, std::string longText = "")
{
    static std::vector<int> s_commands;
    static std::string s_long;
    s_commands = commands;
    s_long = longText;
    DriveNextDialog([](HWND d) {
        if (!s_long.empty())
            SetDlgItemTextA(d, 3033, s_long.c_str());
        for (int c : s_commands)
            PostMessageA(d, WM_COMMAND, c, 0);
    });
    RunPluginDirectoryDialog(nullptr);
    StopDrivingDialogs();
}

TEST_F(PluginDialogTest, DirectoriesChangeOnlyAtOk)
{
    SetFolderBrowser(PickFolder);
    std::string draw = g_cfg.Draw_dir;
    RunDirectoryDialog({3024, 3000}); // Browse for the draw directory, then Cancel
    EXPECT_EQ(s_started, draw);       // the browser starts at the current value
    EXPECT_EQ(g_cfg.Draw_dir, draw);
    EXPECT_TRUE(boxes.boxes.empty());

    RunDirectoryDialog({3022}); // Ok without a change still tells when it takes effect
    EXPECT_EQ(g_cfg.Draw_dir, draw);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Maintenance is completed after restarting Ovrin");

    RunDirectoryDialog({3034, 3022}); // the functional colour directory browsed and kept
    EXPECT_STREQ(g_cfg.FuncColor_dir, "C:\\picked");
    EXPECT_EQ(g_cfg.Draw_dir, draw);
}

TEST_F(PluginDialogTest, TooLongDirectoryIsRefusedNotCut)
{
    std::string susie = g_cfg.Susie_dir, color = g_cfg.FuncColor_dir;
    // Ok refused: the dialog stays open, nothing changes, and Cancel then closes it.
    RunDirectoryDialog({3022, 3000}, "C:\\" + std::string(kPluginDirChars, 'a'));
    EXPECT_EQ(g_cfg.FuncColor_dir, color);
    EXPECT_EQ(g_cfg.Susie_dir, susie);
    EXPECT_TRUE(boxes.boxes.empty());

    std::string fits = "C:\\" + std::string(kPluginDirChars - 3, 'b');
    RunDirectoryDialog({3022}, fits);
    EXPECT_EQ(g_cfg.FuncColor_dir, fits);
}
