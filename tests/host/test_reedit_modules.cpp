// Re-editing the delivered two-point figures in check mode with the mouse: "Do&&Continue" draws
// and commits each variant while the draw method stays locked, whether the method commits inside
// its own call (the dome) or leaves the commit to the program (the outline).
#include "drawmodules_fixture.h"
#include "draw/drawmouse.h"
#include "draw/reedit.h"
#include "shell/commands.h"

namespace {

// Real windows that capture the pointer: "Pointer" in the name makes them run alone.
class ReeditModulesPointerTest : public DrawModulesTest {
protected:
    void TearDown() override
    {
        if (InReeditMode())
            CancelReedit(w);
        CompleteFigure(w);
        SetCheckMode(false);
        DrawModulesTest::TearDown();
    }
    void Command(int id) { SendMessageA(w->window, WM_COMMAND, (WPARAM)id, 0); }
    bool White(int x, int y) { return (Pixel(x, y) & 0xFFFFFF) == 0xFFFFFF; }
    int UndoCount()
    {
        int n = 0;
        for (UndoRecord *r = g->currentImage->undoFirst; r; r = r->next)
            n++;
        return n;
    }
};

} // namespace

TEST_F(ReeditModulesPointerTest, DoAndContinueKeepsTheMethodLocked)
{
    if (QzsGetClickMode() != 1)
        ChangeDrawMode(); // the two-point figures by dragging
    struct Case {
        const char *module;
        QzPoint first, moved; // painted by the figure and by the figure moved 20 to the left
    } cases[] = {{"sphere", {100, 75}, {80, 94}}, {"ellipse", {100, 95}, {80, 95}}};
    const int other = 4; // "spline"
    for (const Case &c : cases) {
        SCOPED_TRACE(c.module);
        Choose(c.module);
        const int row = GetCurrentDraw();
        const int undoBefore = UndoCount();
        Command(kCommandCheckMode);
        ASSERT_TRUE(IsCheckModeOn());
        Send(WM_LBUTTONDOWN, 100, 75, MK_LBUTTON);
        Send(WM_MOUSEMOVE, 120, 80, MK_LBUTTON);
        Send(WM_LBUTTONUP, 130, 95);
        ASSERT_EQ(g_drawState, kDrawReedit);
        EXPECT_TRUE(White(c.first.x, c.first.y));

        Command(30101); // Do&&Continue
        EXPECT_EQ(g_drawState, kDrawReedit);
        EXPECT_FALSE(White(c.first.x, c.first.y));
        EXPECT_EQ(UndoCount(), undoBefore + 1);
        EXPECT_EQ(QzsCheckLockDraw(), 1);
        EXPECT_FALSE(IsDrawButtonEnabled(other));
        // Another method from the draw menu is refused while the figure is open.
        boxes.boxes.clear();
        Command(kFirstDrawCommand + other);
        ASSERT_EQ(boxes.boxes.size(), 1u);
        EXPECT_EQ(boxes.boxes[0].text, "Can't change drawing method.\nBecause it is locked");
        EXPECT_EQ(GetCurrentDraw(), row);

        // The whole figure dragged 20 to the left, then "Do!": the same method draws it there.
        EXPECT_TRUE(White(c.moved.x, c.moved.y));
        Send(WM_LBUTTONDOWN, 60, 30, MK_LBUTTON); // away from both handles
        Send(WM_MOUSEMOVE, 40, 30, MK_LBUTTON);
        Send(WM_LBUTTONUP, 40, 30);
        Command(30100);
        EXPECT_EQ(g_drawState, kDrawIdle);
        EXPECT_FALSE(White(c.moved.x, c.moved.y));
        EXPECT_EQ(UndoCount(), undoBefore + 2);
        EXPECT_EQ(QzsCheckLockDraw(), 0);
        EXPECT_TRUE(IsDrawButtonEnabled(other));
        Command(kCommandCheckMode);
        ASSERT_FALSE(IsCheckModeOn());
    }
}
