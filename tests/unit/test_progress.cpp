// The shared progress window: 20 steps, never back, never past the end.
#include "base/progress.h"
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
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(ProgressWindow(), nullptr);
    QzsProgressWindow(0, 10);
    EXPECT_TRUE(ProgressWindow());
    QzsProgressWindow(10, 10);
    EXPECT_EQ(BarPosition(), 20);
    CloseProgressWindow();
}
