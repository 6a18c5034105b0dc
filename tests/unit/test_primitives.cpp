// Guide points, lines and boxes in a window's display and pen lines and boxes into the stroke:
// the points each visits, the order of the stamps, and guides that leave the display as it was.
#include "test_paint_fixture.h"
#include "view/primitives.h"
#include <algorithm>
#include <utility>
#include <vector>

namespace {

using Points = std::vector<std::pair<int, int>>;

// The walk of a line as the primitives define it, step by step with its error term.
Points ReferenceLine(int x1, int y1, int x2, int y2)
{
    int dx = x2 - x1, dy = y2 - y1, ax = dx < 0 ? -dx : dx, ay = dy < 0 ? -dy : dy;
    int sx = (dx > 0) - (dx < 0), sy = (dy > 0) - (dy < 0), x = x1, y = y1;
    Points p;
    if (ax < ay) {
        for (int i = 0, e = -ay; i <= ay; i++) {
            p.push_back({x, y});
            e += 2 * ax;
            y += sy;
            if (e >= 0)
                x += sx, e -= 2 * ay;
        }
    } else {
        for (int i = 0, e = -ax; i <= ax; i++) {
            p.push_back({x, y});
            e += 2 * ay;
            x += sx;
            if (e >= 0)
                e -= 2 * ax, y += sy;
        }
    }
    return p;
}

// Stamps of the pen, in order, as a per-stamp functional colour hears of them.
Points g_stamps;
int QZCAPI StampHeard(int code, int x, int y, int, int)
{
    if (code == 1)
        g_stamps.push_back({x, y});
    return 0;
}

class PrimitiveTest : public PaintTest {
protected:
    void SetUp() override
    {
        PaintTest::SetUp();
        g_stamps.clear();
        ResetHandleBox();
    }
    std::vector<uint32_t> Display()
    {
        // The alpha byte of a display pixel is never shown.
        uint32_t *p = (uint32_t *)window->display.pixels;
        std::vector<uint32_t> v(p, p + window->displayWidth * window->displayHeight);
        for (uint32_t &c : v)
            c &= 0xFFFFFF;
        return v;
    }
    // The image pixels whose shown colour differs from the composed one.
    Points Changed()
    {
        Points p;
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++)
                if ((Shown(x, y) & 0xFFFFFF) != (ComposeGroupPixel(group, nullptr, 0, x, y, nullptr) & 0xFFFFFF))
                    p.push_back({x, y});
        return p;
    }
    // A pen of one pixel whose every stamp is reported.
    void StampReporter()
    {
        SetPen(1, {255}, 0, 0, 0, 0, 0, 0);
        UseFakeColor(0);
        g_colorFunctions[0].QzcReceiveMessage = StampHeard;
    }
};

Points Sorted(Points p)
{
    std::sort(p.begin(), p.end(), [](auto &a, auto &b) { return a.second != b.second ? a.second < b.second : a.first < b.first; });
    return p;
}

} // namespace

TEST_F(PrimitiveTest, LinesStepThroughEveryOctant)
{
    Show(40, 40, 0xFFFFFFFFu);
    StampReporter();
    // From the middle to points in all eight octants, on both axes and the diagonals, and a
    // line whose ends coincide.
    const int ends[][2] = {{30, 23}, {23, 30}, {17, 31}, {9, 22}, {8, 17}, {17, 9}, {24, 8}, {31, 18},
                           {30, 20}, {20, 31}, {10, 20}, {20, 8}, {29, 29}, {11, 11}, {29, 11}, {20, 20}};
    for (const auto &e : ends) {
        SCOPED_TRACE(testing::Message() << "guide to " << e[0] << "," << e[1]);
        QzsEorLine(window, 20, 20, e[0], e[1], 1, 0);
        EXPECT_EQ(Changed(), Sorted(ReferenceLine(20, 20, e[0], e[1])));
        QzsEorLine(window, 20, 20, e[0], e[1], 0, 0);
        EXPECT_TRUE(Changed().empty());
    }
    for (const auto &e : ends) {
        SCOPED_TRACE(testing::Message() << "pen line to " << e[0] << "," << e[1]);
        g_stamps.clear();
        QzsDrawLine(window, 20, 20, e[0], e[1], 0);
        EXPECT_EQ(g_stamps, ReferenceLine(20, 20, e[0], e[1])); // the same points in walking order
    }
    EXPECT_EQ(ReferenceLine(0, 0, 3, 1), (Points{{0, 0}, {1, 0}, {2, 1}, {3, 1}}));
}

TEST_F(PrimitiveTest, FarEndsCostNothingOutsideTheImage)
{
    Show(20, 10, 0xFFFFFFFFu);
    QzsEorLine(window, -2000000000, 5, 2000000000, 5, 1, 0);
    Points row;
    for (int x = 0; x < 20; x++)
        row.push_back({x, 5});
    EXPECT_EQ(Changed(), row);
    QzsEorLine(window, -2000000000, 5, 2000000000, 5, 0, 0);
    // A diagonal from far outside crosses the image on its diagonal.
    QzsEorLine(window, -1000000000, -1000000000, 1000000000, 1000000000, 1, 0);
    Points diagonal;
    for (int i = 0; i < 10; i++)
        diagonal.push_back({i, i});
    EXPECT_EQ(Changed(), diagonal);
    StampReporter();
    QzsDrawLine(window, -2000000000, 3, 2000000000, 3, 0);
    EXPECT_EQ(Draw(0, 3), Draw(19, 3));
    EXPECT_NE(Coverage(19, 3), 0);
}

TEST_F(PrimitiveTest, GuidesInvertTheComposedColourAndRestoreIt)
{
    Show(16, 12, 0xFF204080u);
    std::vector<uint32_t> before = Display();
    // Each outline pixel once: a box one pixel wide, a single point, an ordinary box.
    struct Box {
        int x1, y1, x2, y2;
        size_t points;
    } boxes[] = {{5, 5, 5, 9, 5}, {3, 3, 3, 3, 1}, {10, 8, 2, 1, 30}};
    for (const Box &b : boxes) {
        QzsEorBox(window, b.x1, b.y1, b.x2, b.y2, 1, 0);
        Points changed = Changed();
        EXPECT_EQ(changed.size(), b.points);
        for (auto &p : changed)
            EXPECT_EQ(Shown(p.first, p.second) & 0xFFFFFF, 0xDFBF7Fu);
        QzsEorBox(window, b.x1, b.y1, b.x2, b.y2, 0, 0);
        EXPECT_EQ(Display(), before);
    }
    // Not an exclusive or: showing twice still shows, and erasing one of two crossing guides
    // brings back the image under it, not the other guide.
    QzsEorLine(window, 0, 4, 15, 4, 1, 0);
    QzsEorLine(window, 0, 4, 15, 4, 1, 0);
    EXPECT_EQ(Changed().size(), 16u);
    QzsEorBox(window, 4, 2, 8, 6, 1, 0);
    QzsEorLine(window, 0, 4, 15, 4, 0, 0);
    EXPECT_EQ(Shown(4, 4) & 0xFFFFFF, 0x204080u); // the box's pixel on the line: the image again
    EXPECT_EQ(Shown(6, 2) & 0xFFFFFF, 0xDFBF7Fu);
    QzsEorBox(window, 4, 2, 8, 6, 0, 0);
    EXPECT_EQ(Display(), before);
    // Only points of the image are written.
    EXPECT_EQ(QzsEorPoint(window, -1, 3, 1), 0);
    EXPECT_EQ(QzsEorPoint(window, 16, 3, 1), 0);
    EXPECT_EQ(QzsEorPoint(window, 3, 12, 1), 0);
    EXPECT_EQ(Display(), before);
}

TEST_F(PrimitiveTest, AnInvertedPixelOverHandlesMarksThemForRedrawing)
{
    Show(16, 12, 0xFFFFFFFFu);
    GrowHandleBox(6, 6, 10, 10);
    QzsEorPoint(window, 5, 6, 1);
    EXPECT_FALSE(AreHandlesDamaged());
    QzsEorPoint(window, 6, 10, 1);
    EXPECT_TRUE(AreHandlesDamaged());
    ResetHandleBox();
    EXPECT_FALSE(AreHandlesDamaged());
}

TEST_F(PrimitiveTest, BoxesAreStampedClockwiseEachPixelOnce)
{
    Show(20, 20, 0xFFFFFFFFu);
    StampReporter();
    struct Case {
        int x1, y1, x2, y2;
        Points want;
    } cases[] = {
        {12, 12, 10, 10, {{10, 10}, {11, 10}, {12, 10}, {12, 11}, {12, 12}, {11, 12}, {10, 12}, {10, 11}}},
        {5, 5, 5, 9, {{5, 5}, {5, 9}, {5, 8}, {5, 7}, {5, 6}}},
        {3, 4, 6, 4, {{3, 4}, {4, 4}, {5, 4}, {6, 4}}},
        {7, 7, 7, 7, {{7, 7}}},
        {1, 1, 2, 2, {{1, 1}, {2, 1}, {2, 2}, {1, 2}}},
    };
    for (const Case &c : cases) {
        g_stamps.clear();
        QzsDrawBox(window, c.x1, c.y1, c.x2, c.y2, 0);
        EXPECT_EQ(g_stamps, c.want) << c.x1 << "," << c.y1 << " " << c.x2 << "," << c.y2;
    }
}
