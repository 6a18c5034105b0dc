// Re-editing figures completed in check mode, with the recording draw method: handles dragged one
// by one or all together, "Do!", "Do&&Continue" and "Cancel" from the popup's commands.
#include "draw_fixture.h"
#include "draw/reedit.h"
#include "draw/transform.h"
#include "image/pointlist.h"
#include <string>

namespace {

typedef void(QZCAPI *SetupProc)(int kind, int info, const char *results, int cancelResult);
typedef const char *(QZCAPI *LogProc)(void);

class ReeditPointerTest : public DrawWindowTest {
protected:
    void SetUp() override
    {
        DrawWindowTest::SetUp();
        Put(g_cfg.Draw_dir, "d_rec");
        ASSERT_EQ(LoadDrawPlugins(), 1);
        OpenWindow();
        SetCheckMode(true);
    }
    void TearDown() override
    {
        if (InReeditMode())
            CancelReedit(w);
        CompleteFigure(w);
        SetCheckMode(false);
        DrawWindowTest::TearDown();
    }
    void Method(int kind)
    {
        DrawPluginRecord &row = g_drawPlugins[0];
        ((SetupProc)GetProcAddress(row.module, "TpDrawSetup"))(kind, 0, "1", 4);
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
    void Command(int id) { SendMessageA(w->window, WM_COMMAND, (WPARAM)id, 0); }
    int UndoCount()
    {
        int n = 0;
        for (UndoRecord *r = g->base->undoFirst; r; r = r->next)
            n++;
        return n;
    }
};

// A Drag figure keeps its two points; the end point's handle dragged moves the point the method
// draws at on "Do!", and the re-edit holds the draw method until then.
TEST_F(ReeditPointerTest, DraggedEndPointIsWhereDoDraws)
{
    Method(1);
    Send(WM_LBUTTONDOWN, 10, 10, MK_LBUTTON);
    Send(WM_LBUTTONUP, 30, 20);
    EXPECT_EQ(g_drawState, kDrawReedit);
    EXPECT_EQ(Calls(), "S 10 10 1\nG 10 10 0 0 0\nS 30 20 0\nG 30 20 1 0 0\n");
    EXPECT_EQ(QzsCheckLockDraw(), 1);
    ASSERT_EQ(GetReeditPoints()->count, 2);

    ReeditButtonDown(w, 33, 17, 0); // inside the handle of the end point, not of the first
    ReeditMouseMove(w, 40, 25, 0, 0);
    ReeditButtonUp(w, 40, 25, 0);
    EXPECT_EQ(Calls(), "G 30 20 0 0 0\nG 40 25 1 0 0\n");
    QzPoint p;
    EXPECT_TRUE(QzsGetEntryPoint(1, &p) == 0 && p.x == 40 && p.y == 25);
    EXPECT_TRUE(QzsGetEntryPoint(0, &p) == 0 && p.x == 10 && p.y == 10);
    // Undo does nothing while the figure is open, and the Transform dialog is refused.
    Command(32034);
    EXPECT_EQ(g_drawState, kDrawReedit);
    Command(32062);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Now in check mode.");
    EXPECT_EQ(GetTransformDialog(), nullptr);

    Command(30100); // Do!
    EXPECT_EQ(Calls(), "G 40 25 0 0 0\nD 40 25 0\n");
    EXPECT_EQ(g_drawState, kDrawIdle);
    EXPECT_EQ(QzsGetHowManyPoints(), 0);
    EXPECT_EQ(QzsCheckLockDraw(), 0);
    EXPECT_EQ(UndoCount(), 1);
}

// A free-hand figure moved as a whole receives its points at "Do&&Continue", moved, in order,
// and is committed while the handles stay; "Cancel" then ends without another change.
TEST_F(ReeditPointerTest, WholeFigureMovedThenContinuedAndCancelled)
{
    Method(4);
    Send(WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
    Send(WM_MOUSEMOVE, 8, 6, MK_LBUTTON);
    Send(WM_LBUTTONUP, 8, 6);
    ASSERT_EQ(g_drawState, kDrawReedit);
    Calls();
    ReeditButtonDown(w, 30, 30, 0); // away from every handle
    ReeditMouseMove(w, 33, 32, 0, 0);
    ReeditButtonUp(w, 33, 32, 0);
    Calls();
    Command(30101); // Do&&Continue
    EXPECT_EQ(Calls(), "G 11 8 0 0 0\nS 8 7 0\nD 11 8 0\nG 11 8 1 0 0\n");
    EXPECT_EQ(g_drawState, kDrawReedit);
    EXPECT_EQ(QzsCheckLockDraw(), 1);
    EXPECT_EQ(UndoCount(), 1);
    EXPECT_EQ(Pixel(8, 7), 0xFF000000u); // the figure drawn at the moved points
    EXPECT_EQ(Pixel(5, 5), 0xFFFFFFFFu);
    EXPECT_EQ(QzsGetHowManyPoints(), 2);

    Command(30102); // Cancel
    EXPECT_EQ(g_drawState, kDrawIdle);
    EXPECT_EQ(QzsCheckLockDraw(), 0);
    EXPECT_EQ(UndoCount(), 1);
    EXPECT_EQ(Pixel(8, 7), 0xFF000000u);
}

// A figure that ended without points shows no guide and hands the method no index or count of
// -1: "Do!" draws at the end point.
TEST_F(ReeditPointerTest, FigureWithoutPoints)
{
    for (int kind : {1, 4}) {
        Method(kind);
        Calls();
        QzsInitPoint();
        EnterReedit(7, 9, 0);
        DrawReeditGuide(w, 1, 1);
        SetDrawState(kDrawReedit);
        ReeditButtonDown(w, 7, 9, 0);
        ReeditMouseMove(w, 12, 12, 0, 0);
        ReeditButtonUp(w, 12, 12, 0);
        EXPECT_EQ(GetReeditPoints()->count, 0);
        EXPECT_EQ(Calls(), "") << kind;
        Command(30100);
        EXPECT_EQ(Calls(), "D 7 9 0\n") << kind;
        EXPECT_EQ(g_drawState, kDrawIdle);
    }
}

} // namespace
