// Each of the seven modules driven by the mouse through the image window's procedure: a drag for
// the two-point figures, a held button for the spray, clicks for the curves. The finished figure
// is committed into the picture as one undo step.
#include "drawmodules_fixture.h"
#include "draw/drawmouse.h"

using namespace drawtest;

namespace {

// Real windows that capture the pointer and tests that move it: "Pointer" in the name makes them
// run alone.
class DrawModulesPointerTest : public DrawModulesTest {
protected:
    void Click(int x, int y)
    {
        PutCursor(x, y);
        Send(WM_LBUTTONDOWN, x, y, MK_LBUTTON);
        Send(WM_LBUTTONUP, x, y);
    }
    bool White(int x, int y) { return (Pixel(x, y) & 0xFFFFFF) == 0xFFFFFF; }
    void Undo() { SendMessageA(w->window, WM_COMMAND, 32034, 0); }
};

} // namespace

TEST_F(DrawModulesPointerTest, EachModuleDrawsWithTheMouse)
{
    if (QzsGetClickMode() != 1)
        ChangeDrawMode(); // the two-point figures by dragging
    for (const char *module : {"ellipse", "dwquay", "sphere"}) {
        SCOPED_TRACE(module);
        Choose(module);
        Send(WM_LBUTTONDOWN, 100, 75, MK_LBUTTON);
        Send(WM_MOUSEMOVE, 120, 80, MK_LBUTTON);
        Send(WM_LBUTTONUP, 130, 95);
        EXPECT_EQ(g_drawState, kDrawIdle);
        EXPECT_EQ(QzsGetHowManyPoints(), 0);
        // The outline's bottom and right end; the dome stops inside them.
        bool dome = std::string(module) == "sphere";
        EXPECT_EQ(White(100, 95), dome);
        EXPECT_EQ(White(130, 75), dome);
        bool outline = std::string(module) == "ellipse";
        EXPECT_EQ(White(100, 75), outline);
        EXPECT_EQ(White(100, 94), outline);
        EXPECT_TRUE(White(131, 75) && White(100, 96));
        Undo();
        EXPECT_TRUE(White(100, 94) && White(100, 75));
    }

    Choose("spray", {8, 30, 0});
    Send(WM_LBUTTONDOWN, 60, 60, MK_LBUTTON);
    Send(WM_MOUSEMOVE, 70, 62, MK_LBUTTON);
    Send(WM_MOUSEMOVE, 80, 64, MK_LBUTTON);
    Send(WM_LBUTTONUP, 80, 64);
    EXPECT_EQ(g_drawState, kDrawIdle);
    int dots = 0;
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++)
            if (!White(x, y)) {
                dots++;
                EXPECT_TRUE(x >= 52 && x <= 88 && y >= 52 && y <= 72) << x << "," << y;
            }
    EXPECT_GT(dots, 20);
    Undo();

    for (const char *module : {"spline", "dwreed", "dwsage"}) {
        SCOPED_TRACE(module);
        Choose(module);
        Click(40, 40);
        Click(150, 50);
        Click(120, 120);
        EXPECT_EQ(g_drawState, kDrawInProgress);
        Click(120, 120); // the same spot again ends the figure
        EXPECT_EQ(g_drawState, kDrawIdle);
        for (QzPoint k : {QzPoint{40, 40}, QzPoint{150, 50}, QzPoint{120, 120}}) {
            bool found = false;
            for (int dy = -2; dy <= 2; dy++)
                for (int dx = -2; dx <= 2; dx++)
                    found = found || !White(k.x + dx, k.y + dy);
            EXPECT_TRUE(found) << k.x << "," << k.y;
        }
        EXPECT_EQ(White(100, 70), std::string(module) != "dwsage"); // inside the closed curve
        Undo();
        EXPECT_TRUE(White(40, 40));
    }
}
