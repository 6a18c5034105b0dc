// The shared progress window: 20 steps, never back, never past the end.
#include "base/progress.h"
#include "base/app.h"
#include "files/progress.h"
#include "testsupport.h"
#include <commctrl.h>

static int BarPosition()
{
    return (int)SendDlgItemMessageA(ProgressWindow(), 100, PBM_GETPOS, 0, 0);
}

TEST_F(HostTest, ProgressStepsFollowDoneOverTotal)
{
    ForgetProgressWindow();
    struct {
        int done, total, position;
    } steps[] = {{0, 100, 0}, {50, 100, 10}, {49, 100, 10}, {99, 100, 19}, {100, 100, 20}, {30, 100, 20},
                 {500, 100, 20}};
    for (auto &s : steps) {
        EXPECT_EQ(QzsProgressWindow(s.done, s.total), 0);
        ASSERT_TRUE(ProgressWindow());
        EXPECT_EQ(BarPosition(), s.position) << s.done << "/" << s.total;
    }
    EXPECT_EQ(ProgressStepsShown(), 20);
    QzsCloseProgressWindow();
    EXPECT_EQ(ProgressWindow(), nullptr);

    // A total of 0 never moves the bar; done = total = 0 opens the window only.
    EXPECT_EQ(ShowEffectProgress(0, 0, 0), 0);
    HWND window = ProgressWindow();
    ASSERT_TRUE(window);
    ShowEffectProgress(5, 0, 0);
    EXPECT_EQ(BarPosition(), 0);
    ShowEffectProgress(1, 3, 0);
    EXPECT_EQ(BarPosition(), 6);
    EXPECT_EQ(IgnoreProgress(3, 3, 0), 0);
    EXPECT_EQ(BarPosition(), 6);

    // A new text never leaves the open window behind.
    char *copy = QzsSetProgressMessage(std::string(400, 'm').c_str());
    EXPECT_EQ(strlen(copy), 255u);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_EQ(ProgressWindow(), nullptr);
    QzsProgressWindow(0, 10);
    EXPECT_TRUE(ProgressWindow());
    QzsProgressWindow(10, 10);
    EXPECT_EQ(BarPosition(), 20);
    CloseProgressWindow();
}

// A closed window is kept hidden and given to the next run: that run starts like a new window,
// its bar at 0, without the caption or text of the one before, whoever used it.
TEST_F(HostTest, ProgressWindowGivenAgainStartsEmpty)
{
    ForgetProgressWindow();
    OpenFileProgress("Now loading...");
    StepFileProgress(7, 10);
    HWND used = FindWindowExA(nullptr, nullptr, "#32770", "Now loading...");
    CloseFileProgress();
    ASSERT_TRUE(used);
    EXPECT_FALSE(IsWindowVisible(used));
    EXPECT_EQ(FindWindowExA(nullptr, nullptr, "#32770", "Now loading..."), nullptr);

    ShowEffectProgress(0, 10, 0);
    HWND window = ProgressWindow();
    ASSERT_TRUE(window);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(BarPosition(), 0);
    char caption[64] = "x";
    GetWindowTextA(window, caption, sizeof caption);
    EXPECT_STREQ(caption, "");
    ShowEffectProgress(5, 10, 0);
    EXPECT_EQ(BarPosition(), 10);
    CloseProgressWindow();
    EXPECT_FALSE(IsWindowVisible(window));

    // A window of another owner is not given again: the next one belongs to the main window.
    HWND owner = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    HWND kept = g_mainWindow;
    g_mainWindow = owner;
    ShowEffectProgress(0, 10, 0);
    EXPECT_EQ(GetWindow(ProgressWindow(), GW_OWNER), owner);
    CloseProgressWindow();
    g_mainWindow = kept;
    DestroyWindow(owner);
}
