// The mouse machinery with a recording draw plug-in: which entry points a figure calls, in which
// order and with which points, per interaction mode; the timer's moves; check mode; the rules for
// presses of both buttons; and the commit of a finished figure.
#include "draw_fixture.h"
#include "draw/reedit.h"
#include "base/notify.h"
#include "image/pointlist.h"
#include "image/pen.h"
#include <set>
#include <string>

namespace {

typedef void(QZCAPI *SetupProc)(int kind, int info, const char *results, int cancelResult);
typedef const char *(QZCAPI *LogProc)(void);

// Real windows that capture the pointer and tests that move it: "Pointer" in the name makes them
// run alone (tests/CMakeLists.txt).
class DrawMousePointerTest : public DrawWindowTest {
protected:
    void SetUp() override
    {
        DrawWindowTest::SetUp();
        Put(g_cfg.Draw_dir, "d_rec");
        ASSERT_EQ(LoadDrawPlugins(), 1);
        OpenWindow();
    }
    void TearDown() override
    {
        SetCheckMode(false);
        DrawWindowTest::TearDown();
    }
    // The recorder as a method of this kind and info, its results as given; bound again, chosen.
    void Method(int kind, int info, const char *results = "1", int cancelResult = 4)
    {
        DrawPluginRecord &row = g_drawPlugins[0];
        ((SetupProc)GetProcAddress(row.module, "TpDrawSetup"))(kind, info, results, cancelResult);
        HMODULE module = row.module;
        memset(&row, 0, sizeof row);
        row.module = module;
        ASSERT_EQ(BindDrawEntries(0, g_drawPlugins, "d_rec.ovp"), 1);
        ASSERT_EQ(SelectDraw(0), 1);
    }
    std::string Calls()
    {
        std::string log = ((LogProc)GetProcAddress(g_drawPlugins[0].module, "TpDrawLog"))();
        ((void(QZCAPI *)(void))GetProcAddress(g_drawPlugins[0].module, "TpClearDrawLog"))();
        return log;
    }
    // A 5 x 5 pen, every cell painted, so that its outline is its border ring; the hot spot lies
    // off centre, so that a clip that moved the ring against the pointer would show.
    static const int kHotX = 1, kHotY = 3;
    void RingPen()
    {
        ASSERT_EQ(QzsCreatePen(6), 1);
        PenRecord *pen = QzsGetPen();
        for (int i = 0; i < 25; i++)
            pen->weights[i] = 255;
        pen->hotX = kHotX, pen->hotY = kHotY, pen->left = pen->top = 0, pen->right = pen->bottom = 4;
        QzsSetPen(0);
    }
    // The ring's pixels around a pointer at (x, y), as far as they lie on the picture.
    std::set<std::pair<int, int>> RingAt(int x, int y)
    {
        std::set<std::pair<int, int>> ring;
        for (int r = 0; r < 5; r++)
            for (int c = 0; c < 5; c++) {
                int px = x - kHotX + c, py = y - kHotY + r;
                bool border = r == 0 || c == 0 || r == 4 || c == 4;
                if (border && px >= 0 && py >= 0 && px < width && py < height)
                    ring.insert({px, py});
            }
        return ring;
    }
    // The picture's pixels the display shows other than white (the outline inverts them).
    std::set<std::pair<int, int>> Marked()
    {
        std::set<std::pair<int, int>> out;
        const uint32_t *shown = (const uint32_t *)w->display.pixels;
        for (int y = 0; y < height; y++)
            for (int x = 0; x < width; x++)
                if ((shown[(w->displayHeight - 1 - y - w->marginY) * w->displayWidth + x + w->marginX] & 0xFFFFFF) !=
                    0xFFFFFF)
                    out.insert({x, y});
        return out;
    }
    void PutCursorAtClient(int cx, int cy)
    {
        POINT p = {cx, cy};
        ClientToScreen(w->window, &p);
        SetCursorPos(p.x, p.y);
    }
    int UndoCount()
    {
        int n = 0;
        for (UndoRecord *r = g->base->undoFirst; r; r = r->next)
            n++;
        return n;
    }
};

} // namespace

// While the commit runs, the menus it refreshes send the window messages of their own.
static ImageWindow *g_reentered;
static void MenusSendAMessage()
{
    if (g_reentered)
        SendMessageA(g_reentered->window, WM_MOUSEMOVE, 0, 0);
}

TEST_F(DrawMousePointerTest, DragCallsSetPointAtBothEndsAndDrawsAtTheRelease)
{
    g_reentered = w;
    g_notify.menusChanged = MenusSendAMessage;
    Method(1, 0, "4"); // a press's result is not looked at
    Send(WM_LBUTTONDOWN, 10, 10, MK_LBUTTON);
    EXPECT_EQ(GetCapture(), w->window);
    EXPECT_EQ(g_drawState, kDrawInProgress);
    Send(WM_MOUSEMOVE, 20, 15, MK_LBUTTON);
    Send(WM_LBUTTONUP, 30, 20);
    EXPECT_EQ(Calls(), "S 10 10 1\nG 10 10 0 0 1\nG 20 15 1 1 1\nG 20 15 0 0 0\nS 30 20 0\nD 30 20 0\n");
    // The window procedure committed the figure after the release.
    EXPECT_EQ(g_drawState, kDrawIdle);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(QzsGetHowManyPoints(), 0);
    EXPECT_EQ(Pixel(10, 10), 0xFF000000u);
    EXPECT_EQ(Pixel(30, 20), 0xFF000000u);
    EXPECT_EQ(Pixel(20, 15), 0xFFFFFFFFu);
    EXPECT_EQ(UndoCount(), 1);
    // Committed once, so undone in one step.
    g_reentered = nullptr;
    SendMessageA(w->window, WM_COMMAND, 32034, 0);
    EXPECT_EQ(Pixel(10, 10), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(30, 20), 0xFFFFFFFFu);
}

TEST_F(DrawMousePointerTest, ClickTakesThePressedPointAtEachReleaseUntilTheFigureEnds)
{
    Method(2, 0, "1,4");
    PutCursor(10, 10); // a click's point is where the pointer is, not where the message says
    Send(WM_LBUTTONDOWN, 40, 40, MK_LBUTTON);
    EXPECT_EQ(g_drawState, kDrawClickHeld);
    EXPECT_EQ(Calls(), "");
    Send(WM_LBUTTONUP, 11, 11);
    EXPECT_EQ(g_drawState, kDrawInProgress);
    EXPECT_EQ(GetCapture(), w->window); // kept for the next click of the figure
    Send(WM_MOUSEMOVE, 25, 12);
    PutCursor(30, 20);
    Send(WM_LBUTTONDOWN, 30, 20, MK_LBUTTON);
    Send(WM_LBUTTONUP, 31, 21);
    EXPECT_EQ(Calls(), "G 0 0 0 0 0\nS 10 10 0\nG 11 11 0 0 0\nG 25 12 1 1 0\nG 25 12 0 0 0\nS 30 20 0\nD 31 21 0\n");
    EXPECT_EQ(g_drawState, kDrawIdle);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(UndoCount(), 1);

    // The user's choice changing in the middle of a click is reported, and nothing moves.
    Method(3, 0, "1");
    if (QzsGetClickMode() != 2)
        ChangeDrawMode();
    Send(WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
    ChangeDrawMode();
    Send(WM_LBUTTONUP, 5, 5);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Strange internal status");
    EXPECT_EQ(boxes.boxes[0].caption, "SysError");
    EXPECT_EQ(g_drawState, kDrawClickHeld);
    EXPECT_EQ(Calls(), "");
}

TEST_F(DrawMousePointerTest, TheRightButtonTakesBackAClickedPoint)
{
    for (int cancelResult : {1, 4}) {
        SCOPED_TRACE(cancelResult);
        ResetDrawMachinery(); // the guide starts at (0, 0) again
        Method(2, 0, "1", cancelResult);
        PutCursor(10, 10);
        Send(WM_LBUTTONDOWN, 10, 10, MK_LBUTTON);
        Send(WM_LBUTTONUP, 10, 10);
        Send(WM_RBUTTONDOWN, 15, 16, MK_RBUTTON);
        EXPECT_EQ(g_drawState, kDrawClickCancel);
        Send(WM_RBUTTONUP, 15, 16);
        std::string again = cancelResult == 4 ? "" : "G 15 16 1 0 0\n";
        EXPECT_EQ(Calls(), "G 0 0 0 0 0\nS 10 10 0\nG 10 10 0 0 2\nG 10 10 0 0 0\nC 15 16\n" + again);
        if (cancelResult == 4) {
            // The figure ended: the capture goes, the point list is emptied and the stroke committed.
            EXPECT_EQ(g_drawState, kDrawIdle);
            EXPECT_EQ(GetCapture(), nullptr);
            EXPECT_EQ(QzsGetHowManyPoints(), 0);
        } else {
            EXPECT_EQ(g_drawState, kDrawInProgress);
            EXPECT_EQ(GetCapture(), w->window);
            ReleaseCapture();
            SetDrawState(kDrawIdle);
        }
    }
}

TEST_F(DrawMousePointerTest, FreeHandAddsAPointPerMoveAndTheTimerFeedsMoves)
{
    Method(4, 0);
    Send(WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
    Send(WM_MOUSEMOVE, 6, 5, MK_LBUTTON);
    Send(WM_MOUSEMOVE, 6, 5, MK_LBUTTON); // no motion: no point
    Send(WM_LBUTTONUP, 7, 7);
    EXPECT_EQ(Calls(), "S 5 5 1\nS 6 5 1\nD 7 7 0\n");
    EXPECT_EQ(g_drawState, kDrawIdle);
    EXPECT_EQ(UndoCount(), 1);

    // While the button is held the timer sends the pointer's position: once after it moved, and
    // on every tick for a method that asks for points while the pointer rests.
    for (int info : {0, 2}) {
        SCOPED_TRACE(info);
        Method(4, info);
        PutCursor(12, 9);
        Send(WM_LBUTTONDOWN, 12, 9, MK_LBUTTON);
        Calls();
        OnMainTimerTick();
        OnMainTimerTick();
        OnMainTimerTick();
        EXPECT_EQ(Calls(), info ? "S 12 9 0\nS 12 9 0\nS 12 9 0\n" : "");
        PutCursor(13, 9);
        OnMainTimerTick();
        EXPECT_EQ(Calls(), "S 13 9 0\n");
        Send(WM_LBUTTONUP, 13, 9);
        Calls();
    }
}

TEST_F(DrawMousePointerTest, AFigureCompletedByATimerMoveIsCommitted)
{
    Method(4, 0, "1,4");
    PutCursor(20, 20);
    Send(WM_LBUTTONDOWN, 20, 20, MK_LBUTTON);
    PutCursor(22, 21);
    OnMainTimerTick(); // its SetPoint ends the figure
    EXPECT_EQ(g_drawState, kDrawIdle);
    EXPECT_EQ(QzsGetHowManyPoints(), 0);
    EXPECT_EQ(Pixel(20, 20), 0xFF000000u);
    EXPECT_EQ(Pixel(22, 21), 0xFF000000u);
    EXPECT_EQ(UndoCount(), 1);
    // The release that follows draws nothing more.
    Send(WM_LBUTTONUP, 22, 21);
    EXPECT_EQ(Calls(), "S 20 20 1\nS 22 21 0\n");
    EXPECT_EQ(UndoCount(), 1);
}

TEST_F(DrawMousePointerTest, CheckModeKeepsFreeHandPointsForReediting)
{
    SetCheckMode(true);
    Method(4, 0);
    Send(WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
    Send(WM_MOUSEMOVE, 8, 6, MK_LBUTTON);
    Send(WM_LBUTTONUP, 8, 6);
    // The re-edit shows the method's guide to the last point with the keys of the release.
    EXPECT_EQ(Calls(), "G 5 5 0 0 1\nG 8 6 1 1 1\nG 8 6 1 0 0\n");
    EXPECT_EQ(QzsGetHowManyPoints(), 2);
    EXPECT_EQ(g_drawState, kDrawReedit);
    CancelReedit(w);
    CompleteFigure(w);
    Calls();
    // A method that draws at once ignores check mode.
    Method(4, 0x20);
    Send(WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
    Send(WM_MOUSEMOVE, 8, 6, MK_LBUTTON);
    Send(WM_LBUTTONUP, 8, 6);
    EXPECT_EQ(Calls(), "S 5 5 1\nS 8 6 1\nD 8 6 0\n");
    EXPECT_EQ(g_drawState, kDrawIdle);
}

TEST_F(DrawMousePointerTest, KindsWithoutMouseEntriesAreNeverCalledThere)
{
    // Kind 0 draws by itself: no capture and no call from any button or key.
    Method(0, 0);
    Send(WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
    EXPECT_EQ(GetCapture(), nullptr);
    Send(WM_MOUSEMOVE, 6, 6, MK_LBUTTON);
    Send(WM_LBUTTONUP, 6, 6);
    SendMessageA(w->window, WM_KEYDOWN, VK_SHIFT, 0);
    SendMessageA(w->window, WM_KEYUP, VK_SHIFT, 0);
    EXPECT_EQ(Calls(), "");
    EXPECT_EQ(g_drawState, kDrawIdle);
    // A kind the machinery does not know only holds the mouse, and has no guide to call.
    Method(5, 0);
    Send(WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
    EXPECT_EQ(GetCapture(), w->window);
    SendMessageA(w->window, WM_KEYDOWN, VK_SHIFT, 0);
    SendMessageA(w->window, WM_KEYUP, VK_SHIFT, 0);
    Send(WM_LBUTTONUP, 6, 6);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(Calls(), "");
}

TEST_F(DrawMousePointerTest, APressOfOneButtonWhileTheOtherIsHeldIsIgnoredWithItsRelease)
{
    Method(1, 0);
    QzsSetColorRGB(0, 1, 2, 3);
    Send(WM_LBUTTONDOWN, 10, 10, MK_LBUTTON);
    Send(WM_RBUTTONDOWN, 30, 30, MK_LBUTTON | MK_RBUTTON); // no eyedropper
    Send(WM_RBUTTONUP, 30, 30, MK_LBUTTON);
    Send(WM_LBUTTONUP, 12, 12);
    EXPECT_EQ(Calls(), "S 10 10 1\nG 10 10 0 0 0\nS 12 12 0\nD 12 12 0\n");
    EXPECT_EQ(QzsGetColor(0)->red, 1);

    // The other way round: the right button picks colours and the left one does nothing meanwhile.
    Send(WM_RBUTTONDOWN, 40, 40, MK_RBUTTON);
    EXPECT_EQ(QzsGetColor(0)->red, 255); // the white picture
    Send(WM_LBUTTONDOWN, 10, 10, MK_LBUTTON | MK_RBUTTON);
    Send(WM_LBUTTONUP, 10, 10, MK_RBUTTON);
    Send(WM_RBUTTONUP, 40, 40);
    EXPECT_EQ(Calls(), "");
    EXPECT_EQ(GetCapture(), nullptr);
    // The next figure goes as usual.
    Send(WM_LBUTTONDOWN, 3, 3, MK_LBUTTON);
    Send(WM_LBUTTONUP, 4, 4);
    EXPECT_EQ(Calls(), "S 3 3 1\nG 3 3 0 0 0\nS 4 4 0\nD 4 4 0\n");
}

TEST_F(DrawMousePointerTest, ShiftRedrawsTheGuideWithItsKeysEvenWithoutAFigure)
{
    Method(1, 0);
    Send(WM_LBUTTONDOWN, 9, 8, MK_LBUTTON);
    Send(WM_LBUTTONUP, 9, 8);
    Calls();
    SendMessageA(w->window, WM_KEYDOWN, VK_SHIFT, 0);
    SendMessageA(w->window, WM_KEYDOWN, VK_SHIFT, 0x40000000); // held: repeats do nothing
    SendMessageA(w->window, WM_KEYUP, VK_SHIFT, 0);
    SendMessageA(w->window, WM_KEYDOWN, 'A', 0);
    EXPECT_EQ(Calls(), "G 9 8 0 1 0\nG 9 8 0 1 4\n");
}

// With no figure the pen's outline follows the pointer, cut to the picture at its edges, and comes
// off where it was when the pointer moves on.
TEST_F(DrawMousePointerTest, TheHoverOutlineFollowsThePointerCutToThePicture)
{
    g_cfg.DisplayPenShape = 1;
    Method(1, 0);
    RingPen();
    const POINT spots[] = {{30, 20}, {0, 0}, {1, 46}, {63, 47}, {62, 2}, {30, 20}};
    for (POINT p : spots) {
        SCOPED_TRACE(testing::Message() << p.x << "," << p.y);
        Send(WM_MOUSEMOVE, p.x, p.y);
        EXPECT_EQ(Marked(), RingAt(p.x, p.y));
    }
    EXPECT_EQ(Calls(), ""); // hovering calls no entry of a method without a hover guide
}

// The timer takes the outline down once the pointer has left the window: beyond the client area,
// whose right and bottom edges still count as inside, or where another window covers it.
TEST_F(DrawMousePointerTest, TheTimerErasesTheHoverOutlineOnceThePointerLeavesTheWindow)
{
    g_cfg.DisplayPenShape = 1;
    Method(1, 0);
    RingPen();
    // Offsets from the client's right and bottom edges (the first paint may take the scroll bars
    // away and so change them).
    struct Case {
        const char *where;
        int cx, cy, fromRight, fromBottom;
        bool erased;
    } cases[] = {
        {"inside", 40, 30, 0, 0, false},
        {"on the right edge", 0, 30, 1, 0, false},
        {"on the bottom edge", 40, 0, 0, 1, false},
        {"right of it", 1, 30, 1, 0, true},
        {"below it", 40, 1, 0, 1, true},
        {"left of it", -1, 30, 0, 0, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.where);
        Send(WM_MOUSEMOVE, 20, 20);
        ASSERT_EQ(Marked(), RingAt(20, 20));
        RECT client;
        GetClientRect(w->window, &client);
        PutCursorAtClient(c.cx + c.fromRight * client.right, c.cy + c.fromBottom * client.bottom);
        OnMainTimerTick();
        EXPECT_EQ(Marked().empty(), c.erased);
    }
    // A window over the picture takes the pointer (a dialog, a menu): the outline comes down too.
    Send(WM_MOUSEMOVE, 20, 20);
    POINT at = {40, 30};
    ClientToScreen(w->window, &at);
    HWND cover = CreateWindowExA(WS_EX_TOPMOST, "BUTTON", "", WS_POPUP | WS_VISIBLE, at.x - 20, at.y - 20, 40, 40,
                                 NULL, NULL, g_instance, NULL);
    PutCursorAtClient(40, 30);
    OnMainTimerTick();
    EXPECT_TRUE(Marked().empty());
    DestroyWindow(cover);
}

TEST(DrawCoordinates, ClientToImageByZoom)
{
    ImageWindow w = {};
    w.contentLeft = 33, w.contentTop = 20;
    struct Case {
        int zoom, viewX, viewY, cx, cy, x, y;
    } cases[] = {
        {1, 33, 20, 10, 5, 10, 5},   {2, 33, 20, -3, 7, -1, 3}, // truncated toward zero
        {-4, 40, 25, 10, 3, 47, 17}, {4, 0, 0, 9, 9, -31, -18},
    };
    for (const Case &c : cases) {
        w.display.zoom = c.zoom, w.display.viewX = c.viewX, w.display.viewY = c.viewY;
        int x, y;
        WindowToImage(&w, c.cx, c.cy, &x, &y, 1);
        EXPECT_EQ(x, c.x) << c.zoom;
        EXPECT_EQ(y, c.y) << c.zoom;
        WindowToImage(&w, c.cx, c.cy, &x, &y, 0);
        EXPECT_EQ(x, c.cx);
        int rx, ry;
        EXPECT_EQ(QzsGetRowMousePos(&rx, &ry), c.cy);
        EXPECT_EQ(rx, c.cx);
    }
}
