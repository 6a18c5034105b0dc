// The lighting dialog driven by posted mouse messages: drags on the bars are held to their
// ranges, a click on the sphere sets the direction, OK keeps the values and Cancel puts all five
// back.
#include "testsupport.h"
#include "image/lighting.h"
#include "shell/lightingdlg.h"
#include <math.h>
#include <string.h>
#include <vector>

namespace {

using Step = std::function<void(HWND)>;
std::vector<Step> g_steps;
size_t g_next;

// Runs the steps one timer tick apart, so the messages one step posts are handled before the next
// step looks at their effect.
void NextStep(HWND dialog)
{
    size_t i = g_next++;
    if (i >= g_steps.size())
        return;
    if (i + 1 < g_steps.size())
        DriveNextDialog(NextStep);
    g_steps[i](dialog);
}

void RunSteps(std::vector<Step> steps)
{
    g_steps = std::move(steps);
    g_next = 0;
    DriveNextDialog(NextStep);
    RunLightingDialog(nullptr);
    StopDrivingDialogs();
}

LPARAM At(int x, int y)
{
    return MAKELPARAM((WORD)(short)x, (WORD)(short)y);
}

// The real cursor is put where the posted message says: a capture or a window change makes the
// system send a move of its own from the real cursor, which must agree with the test's.
void Post(HWND d, UINT message, WPARAM keys, int x, int y)
{
    POINT p = {x, y};
    ClientToScreen(d, &p);
    SetCursorPos(p.x, p.y);
    PostMessageA(d, message, keys, At(x, y));
}

void Down(HWND d, int x, int y) { Post(d, WM_LBUTTONDOWN, MK_LBUTTON, x, y); }
void Move(HWND d, int x, int y) { Post(d, WM_MOUSEMOVE, MK_LBUTTON, x, y); }
void Up(HWND d, int x, int y) { Post(d, WM_LBUTTONUP, 0, x, y); }

const LightSettings kStart = {0.5, -0.5, 2, 33, 120};

// Drags over both bars and a click on the sphere, each checked; the last step presses button.
std::vector<Step> DragEverything(int button)
{
    const int bar = kLevelBarX, env = kEnvironmentBarY + 5, high = kHighlightBarY + 5;
    return {
        [](HWND d) {
            char title[64];
            GetWindowTextA(d, title, sizeof title);
            EXPECT_STREQ(title, "Lighting");
            Down(d, bar + 50, env);
        },
        [](HWND d) {
            EXPECT_EQ(g_light.environment, 50);
            Move(d, bar + 400, 5); // far outside, still dragging
        },
        [](HWND d) {
            EXPECT_EQ(g_light.environment, 100);
            Move(d, bar - 30, env);
        },
        [](HWND d) {
            EXPECT_EQ(g_light.environment, 0);
            Move(d, bar + 70, env);
            Up(d, bar + 70, env);
        },
        [](HWND d) {
            EXPECT_EQ(g_light.environment, 70);
            Move(d, bar + 10, env); // no button down: nothing
            Down(d, bar + 20, high);
        },
        [](HWND d) {
            EXPECT_EQ(g_light.environment, 70);
            EXPECT_EQ(g_light.highlight, 80);
            Move(d, bar + 1000, high);
        },
        [](HWND d) {
            EXPECT_EQ(g_light.highlight, 400);
            Move(d, bar + 15, -40);
            Up(d, bar + 15, -40);
        },
        [](HWND d) {
            EXPECT_EQ(g_light.highlight, 60);
            Down(d, kLevelBarX + kLevelBarWidth, env); // just right of the bar: no hit
            Up(d, kLevelBarX + kLevelBarWidth, env);
        },
        [](HWND d) {
            EXPECT_EQ(g_light.environment, 70);
            Down(d, kLightPreviewX + 64, kLightPreviewY + 64); // the sphere's centre
            Up(d, kLightPreviewX + 64, kLightPreviewY + 64);
        },
        [button](HWND d) {
            EXPECT_NEAR(g_light.x, 0, 1e-12);
            EXPECT_NEAR(g_light.y, 0, 1e-12);
            EXPECT_NEAR(g_light.z, 1, 1e-12);
            PostMessageA(d, WM_COMMAND, (WPARAM)button, 0);
        },
    };
}

} // namespace

// It moves the real pointer: its tests run alone (see tests/CMakeLists.txt).
class LightingDialogPointerTest : public HostTest {};

TEST_F(LightingDialogPointerTest, CancelPutsBackAllFiveValues)
{
    g_light = kStart;
    RunSteps(DragEverything(IDCANCEL));
    EXPECT_EQ(g_next, g_steps.size());
    EXPECT_EQ(memcmp(&g_light, &kStart, sizeof kStart), 0);
}

TEST_F(LightingDialogPointerTest, OkKeepsWhatWasSet)
{
    g_light = kStart;
    RunSteps(DragEverything(IDOK));
    EXPECT_EQ(g_next, g_steps.size());
    EXPECT_EQ(g_light.environment, 70);
    EXPECT_EQ(g_light.highlight, 60);
    EXPECT_NEAR(g_light.z, 1, 1e-12);
}
