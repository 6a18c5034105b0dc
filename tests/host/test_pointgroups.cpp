// Parameter point groups: the sixteen slots and their guards, handles shown and taken back, the hit
// test at reduced and enlarged zooms, and a handle dragged with the mouse machinery.
#include "transform_fixture.h"
#include "plugins/params.h"
#include "plugins/pointgroups.h"

namespace {

class PointGroupTest : public TransformTest {
protected:
    void TearDown() override
    {
        ClearPointGroupSlots();
        TransformTest::TearDown();
    }
};

TEST_F(PointGroupTest, SlotsAndTheirGuards)
{
    for (int i = 0; i < 16; i++)
        ASSERT_EQ(QzsCreatePointGroupForParameter(i + 1), i);
    int x = 0, y = 0;
    EXPECT_TRUE(QzsGetCoordinatePointGroupForParameter(2, 2, &x, &y) == 1 && x == -100 && y == -100);
    EXPECT_EQ(QzsGetCoordinatePointGroupForParameter(2, 3, &x, &y), 0); // index == count
    EXPECT_EQ(QzsSetCoordinatePointGroupForParameter(2, -1, 1, 1), 0);
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(QzsCreatePointGroupForParameter(3), -1); // all in use
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "EEE");
    EXPECT_EQ(boxes.boxes[0].caption, "Err");
    EXPECT_EQ(QzsDisposePointGroupForParameter(4), 0);
    for (int n : {0, -3}) {
        boxes.boxes.clear();
        EXPECT_EQ(QzsCreatePointGroupForParameter(n), -2) << n;
        EXPECT_EQ(boxes.boxes.size(), 1u) << n;
    }
    EXPECT_EQ(QzsCreatePointGroupForParameter(2), 4); // the freed slot
    // Slots outside 0..15 change nothing.
    boxes.boxes.clear();
    for (int slot : {-1, 16, 1 << 30}) {
        EXPECT_EQ(QzsDisposePointGroupForParameter(slot), 0);
        EXPECT_EQ(QzsSetDispModePointGroupForParameter(slot, 1), 0) << slot;
        EXPECT_EQ(QzsTogglePointControlDispModeForParameter(slot), 0) << slot;
        EXPECT_EQ(QzsGetCoordinatePointGroupForParameter(slot, 0, &x, &y), 0) << slot;
    }
    ASSERT_EQ(boxes.boxes.size(), 3u);
    EXPECT_EQ(boxes.boxes[0].text, "EE");
    // A caller's group: a negative count leaves it as it was.
    PointGroup own = {};
    EXPECT_EQ(QzsCreatePointGroup(&own, 3), 3);
    EXPECT_EQ(QzsCreatePointGroup(&own, -1), 0);
    EXPECT_TRUE(own.count == 3 && own.points && own.points[2].x == -100);
    EXPECT_EQ(QzsDisposePointGroup(&own), 1);
    EXPECT_TRUE(own.count == 0 && own.points == nullptr);
}

// Shown handles come off the display when toggled again; the lower slot wins where handles
// overlap; the hit area grows at a reduced zoom only.
TEST_F(PointGroupTest, DisplayAndHitTest)
{
    ASSERT_EQ(QzsCreatePointGroupForParameter(2), 0);
    ASSERT_EQ(QzsCreatePointGroupForParameter(1), 1);
    QzsSetCoordinatePointGroupForParameter(0, 0, 10, 10);
    QzsSetCoordinatePointGroupForParameter(0, 1, 30, 20);
    QzsSetCoordinatePointGroupForParameter(1, 0, 13, 12);
    const std::vector<uint8_t> plain = Display();
    EXPECT_EQ(QzsSetDispModePointGroupForParameter(1, 1), 1);
    EXPECT_TRUE(Display() == plain); // the mode alone draws nothing
    EXPECT_EQ(QzsSetDispModePointGroupForParameter(1, 0), 1);
    EXPECT_EQ(QzsTogglePointControlDispModeForParameter(0), 1);
    EXPECT_TRUE(Display() != plain);
    int slot, index;
    EXPECT_FALSE(FindPointGroupHandle(w, 13, 12, &slot, &index) && slot == 1);
    EXPECT_EQ(QzsTogglePointControlDispModeForParameter(1), 1);
    EXPECT_TRUE(FindPointGroupHandle(w, 13, 12, &slot, &index) && slot == 0 && index == 0); // both hold it
    EXPECT_TRUE(FindPointGroupHandle(w, 16, 16, &slot, &index) && slot == 1 && index == 0);
    EXPECT_TRUE(FindPointGroupHandle(w, 34, 24, &slot, &index) && slot == 0 && index == 1);
    struct {
        int zoom, x;
        bool hit;
    } cases[] = {{1, 35, false}, {4, 35, false}, {-4, 35, true}, {-4, 46, true}, {-4, 47, false}};
    for (auto &c : cases) {
        w->display.zoom = c.zoom;
        EXPECT_EQ(FindPointGroupHandle(w, c.x, 20, &slot, &index) != 0, c.hit) << c.zoom << " " << c.x;
    }
    w->display.zoom = 1;
    EXPECT_EQ(QzsTogglePointControlDispModeForParameter(1), 1);
    EXPECT_EQ(QzsTogglePointControlDispModeForParameter(0), 1);
    EXPECT_TRUE(Display() == plain);
}

// A press on a shown handle drags it with the mouse: the point follows and the old handle goes.
TEST_F(PointGroupTest, HandleDraggedWithTheMouse)
{
    w->layerImage = group->currentImage;
    ASSERT_EQ(QzsCreatePointGroupForParameter(1), 0);
    QzsSetCoordinatePointGroupForParameter(0, 0, 10, 10);
    const std::vector<uint8_t> plain = Display();
    QzsTogglePointControlDispModeForParameter(0);
    OnDrawLeftButtonDown(w, MK_LBUTTON, MAKELPARAM(12, 9), 0);
    OnDrawMouseMove(w, MK_LBUTTON, MAKELPARAM(25, 18), 0);
    OnDrawLeftButtonUp(w, 0, MAKELPARAM(25, 18), 0);
    int x, y;
    EXPECT_TRUE(QzsGetCoordinatePointGroupForParameter(0, 0, &x, &y) && x == 25 && y == 18);
    EXPECT_EQ(g_drawState, kDrawIdle);
    QzsTogglePointControlDispModeForParameter(0);
    EXPECT_TRUE(Display() == plain);
}

} // namespace
