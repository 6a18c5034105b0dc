// Each of the seven modules driven by the mouse through the image window's procedure: a drag for
// the two-point figures, a held button for the spray, clicks for the curves. The finished figure
// is committed into the picture as one undo step.
#include "drawmodules_fixture.h"
#include "draw/drawmouse.h"
#include "plugins/pointgroups.h"

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
    // The second click of a quick double click, as the system sends it to a class that takes
    // double clicks.
    void DoubleClick(int x, int y)
    {
        Click(x, y);
        Send(WM_LBUTTONDBLCLK, x, y, MK_LBUTTON);
        Send(WM_LBUTTONUP, x, y);
    }
    bool White(int x, int y) { return (Pixel(x, y) & 0xFFFFFF) == 0xFFFFFF; }
    void Undo() { SendMessageA(w->window, WM_COMMAND, 32034, 0); }
    // The picture's pixels that the display, or the window on screen, shows otherwise: the
    // picture is one opaque layer, so composed it is its own colours.
    std::vector<Spot> ShownOtherwise()
    {
        std::vector<Spot> wrong;
        for (int y = 0; y < height; y++)
            for (int x = 0; x < width; x++)
                if (Shown(x, y) != (Pixel(x, y) & 0xFFFFFF))
                    wrong.push_back({x, y});
        return wrong;
    }
    std::vector<Spot> OnScreenOtherwise()
    {
        std::vector<Spot> wrong;
        HDC dc = GetDC(w->window), copy = CreateCompatibleDC(dc);
        BITMAPINFO info = {};
        info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void *bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, NULL, 0);
        HGDIOBJ old = SelectObject(copy, bitmap);
        POINT origin = Client(0, 0);
        BitBlt(copy, 0, 0, width, height, dc, origin.x, origin.y, SRCCOPY);
        GdiFlush();
        for (int y = 0; y < height; y++)
            for (int x = 0; x < width; x++)
                if ((((uint32_t *)bits)[y * width + x] & 0xFFFFFF) != (Pixel(x, y) & 0xFFFFFF))
                    wrong.push_back({x, y});
        SelectObject(copy, old);
        DeleteObject(bitmap);
        DeleteDC(copy);
        ReleaseDC(w->window, dc);
        return wrong;
    }
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

// Users end a curve with a double click on its last point: the first click adds the point, the
// double click's press and release end the figure. Either way the window then shows the picture
// as committed, the whole curve and no rubber band.
TEST_F(DrawModulesPointerTest, ACurveEndedByASecondClickOrADoubleClickIsDrawnAndShownWhole)
{
    const QzPoint knots[] = {{30, 30}, {170, 40}, {150, 130}, {40, 110}};
    for (const char *module : {"spline", "dwreed", "dwsage"})
        for (bool doubleClick : {false, true}) {
            SCOPED_TRACE(testing::Message() << module << (doubleClick ? " double click" : " second click"));
            Choose(module);
            for (QzPoint k : knots) {
                if (k.x != knots[3].x || k.y != knots[3].y) {
                    Click(k.x, k.y);
                    Send(WM_MOUSEMOVE, k.x + 5, k.y + 5); // the rubber band is on screen
                    continue;
                }
                if (doubleClick) {
                    DoubleClick(k.x, k.y);
                } else {
                    Click(k.x, k.y);
                    Click(k.x, k.y);
                }
            }
            EXPECT_EQ(g_drawState, kDrawIdle);
            EXPECT_EQ(GetCapture(), nullptr);
            EXPECT_EQ(QzsGetHowManyPoints(), 0);
            for (QzPoint k : knots) {
                bool found = false;
                for (int dy = -2; dy <= 2; dy++)
                    for (int dx = -2; dx <= 2; dx++)
                        found = found || !White(k.x + dx, k.y + dy);
                EXPECT_TRUE(found) << k.x << "," << k.y;
            }
            std::vector<Spot> display = ShownOtherwise(), screen = OnScreenOtherwise();
            EXPECT_TRUE(display.empty()) << display.size() << " display pixels, the first at " << display[0].first
                                         << "," << display[0].second;
            EXPECT_TRUE(screen.empty()) << screen.size() << " pixels on screen, the first at " << screen[0].first
                                        << "," << screen[0].second;
            Undo();
            EXPECT_TRUE(White(30, 30));
        }
}

// A parameter's point-group handle dragged on the picture: the draw panel's controls hear of it
// with the slot when the drag ends, not before, and the picture is left as it was.
TEST_F(DrawModulesPointerTest, TheEndOfAHandleDragIsToldToThePanel)
{
    Choose("ellipse");
    typedef const char *(QZCAPI * LogProc)(void);
    HMODULE number = g_parameterTypes[0].module;
    LogProc log = (LogProc)GetProcAddress(number, "TpParamLog");
    auto clear = (void(QZCAPI *)(void))GetProcAddress(number, "TpClearParamLog");
    ASSERT_TRUE(log && clear);
    ClearPointGroupSlots();
    ASSERT_EQ(QzsCreatePointGroupForParameter(1), 0);
    ASSERT_EQ(QzsCreatePointGroupForParameter(1), 1);
    QzsSetCoordinatePointGroupForParameter(1, 0, 100, 70);
    QzsTogglePointControlDispModeForParameter(1);
    clear();
    Send(WM_LBUTTONDOWN, 101, 72, MK_LBUTTON);
    Send(WM_MOUSEMOVE, 120, 80, MK_LBUTTON);
    EXPECT_EQ(std::string(log()), "");
    Send(WM_LBUTTONUP, 120, 80);
    EXPECT_EQ(std::string(log()), "msg:first:1024:1,1;msg:second:1024:1,1;msg:third:1024:1,1;");
    int x = 0, y = 0;
    EXPECT_TRUE(QzsGetCoordinatePointGroupForParameter(1, 0, &x, &y) && x == 120 && y == 80);
    EXPECT_EQ(g_drawState, kDrawIdle);
    EXPECT_TRUE(White(100, 70) && White(120, 80) && White(110, 75));
    ClearPointGroupSlots();
}
