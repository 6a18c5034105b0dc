// The polygon fill against an even-odd raster worked out here: every pixel whose centre lies inside
// by the even-odd rule, and every pixel of the outline's lines; each painted exactly once.
#include "test_paint_fixture.h"
#include "image/pointlist.h"
#include "base/sysinfo.h"
#include <map>
#include <utility>
#include <vector>

namespace {

using Poly = std::vector<QzPoint>;
using Cells = std::map<std::pair<int, int>, int>;

// The pixels of one line of the outline, walked with the error term of the line primitives.
void AddLine(Cells &out, int x1, int y1, int x2, int y2)
{
    int dx = x2 - x1, dy = y2 - y1, ax = dx < 0 ? -dx : dx, ay = dy < 0 ? -dy : dy;
    int sx = (dx > 0) - (dx < 0), sy = (dy > 0) - (dy < 0), x = x1, y = y1;
    int n = ax < ay ? ay : ax;
    for (int i = 0, e = ax < ay ? -ay : -ax; i <= n; i++) {
        out[{x, y}] = 1;
        if (ax < ay) {
            e += 2 * ax, y += sy;
            if (e >= 0)
                x += sx, e -= 2 * ay;
        } else {
            e += 2 * ay, x += sx;
            if (e >= 0)
                y += sy, e -= 2 * ax;
        }
    }
}

// Crossings of a ray from the pixel centre to the right, each edge taken half-open in y.
bool InsideEvenOdd(const Poly &p, int px, int py)
{
    bool in = false;
    for (size_t i = 0; i < p.size(); i++) {
        const QzPoint &a = p[i], &b = p[(i + 1) % p.size()];
        if ((a.y <= py) == (b.y <= py))
            continue;
        double x = a.x + (double)(py - a.y) * (b.x - a.x) / (double)(b.y - a.y);
        if (x > px)
            in = !in;
    }
    return in;
}

Cells Reference(const Poly &p, int w, int h)
{
    Cells all;
    for (size_t i = 0; i < p.size(); i++)
        AddLine(all, p[i].x, p[i].y, p[(i + 1) % p.size()].x, p[(i + 1) % p.size()].y);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            if (InsideEvenOdd(p, x, y))
                all[{x, y}] = 1;
    Cells in;
    for (auto &c : all)
        if (c.first.first >= 0 && c.first.second >= 0 && c.first.first < w && c.first.second < h)
            in[c.first] = 1;
    return in;
}

Cells g_painted; // pixel -> how often the colour was asked for it

class FillTest : public PaintTest {
protected:
    void SetUp() override
    {
        PaintTest::SetUp();
        g_painted.clear();
        QzsInitPoint();
        SetLoopMode(false);
    }
    void List(const Poly &p)
    {
        QzsInitPoint();
        for (const QzPoint &q : p)
            QzsSetNewEntryPoint(&q);
    }
    // The fill with a functional colour that counts the pixels asked of it.
    int Fill(const Poly &p)
    {
        List(p);
        UseFakeColor(0);
        int ox = group->layerX, oy = group->layerY;
        g_fake.during = [ox, oy]() { g_painted[{g_fake.lastX + ox, g_fake.lastY + oy}]++; };
        return QzsFillPolygon(window);
    }
};

Poly Reversed(Poly p)
{
    return Poly(p.rbegin(), p.rend());
}

} // namespace

TEST_F(FillTest, PolygonsMatchTheEvenOddRaster)
{
    struct Case {
        const char *what;
        Poly points;
    } cases[] = {
        {"triangle", {{0, 0}, {10, 0}, {5, 10}}},
        {"concave arrow", {{2, 2}, {30, 12}, {2, 22}, {12, 12}}},
        {"self-crossing star", {{16, 1}, {25, 28}, {2, 11}, {30, 11}, {7, 28}}},
        {"horizontal top and bottom edges", {{3, 4}, {20, 4}, {26, 15}, {20, 20}, {9, 20}}},
        {"pass-through and extreme vertices", {{15, 2}, {28, 15}, {15, 28}, {2, 15}}},
        {"shallow edges", {{0, 3}, {31, 0}, {27, 7}, {4, 6}}},
        {"notch with a flat bottom", {{2, 2}, {12, 10}, {22, 2}, {22, 20}, {2, 20}}},
        {"points repeated", {{4, 4}, {4, 4}, {24, 6}, {24, 6}, {10, 25}}},
    };
    for (const Case &c : cases)
        for (bool reversed : {false, true}) {
            SCOPED_TRACE(testing::Message() << c.what << (reversed ? ", reversed" : ""));
            DiscardAllImages();
            Show(32, 30, 0xFFFFFFFFu);
            g_painted.clear();
            Poly p = reversed ? Reversed(c.points) : c.points;
            EXPECT_EQ(Fill(p), -1); // the refresh done at once
            Cells want = Reference(p, w, h);
            for (auto &cell : g_painted)
                EXPECT_EQ(cell.second, 1) << "painted twice: " << cell.first.first << "," << cell.first.second;
            Cells got;
            for (int y = 0; y < h; y++)
                for (int x = 0; x < w; x++)
                    if (Coverage(x, y))
                        got[{x, y}] = 1;
            EXPECT_EQ(got, want);
            EXPECT_EQ(got.size(), g_painted.size());
        }
}

TEST_F(FillTest, OnlyTheCurrentLayerIsFilled)
{
    // Corners outside the image and far away: the part over the layer is filled as the raster
    // says, and nothing is allocated for the rest.
    Show(24, 20, 0xFFFFFFFFu);
    AddLayer(4, 3, 14, 12, 0xFFFFFFFFu);
    Poly p = {{-6, 2}, {30, -5}, {20, 26}};
    Fill(p);
    Cells want = Reference(p, w, h), got;
    for (auto it = want.begin(); it != want.end();)
        it = it->first.first >= 4 && it->first.first < 18 && it->first.second >= 3 && it->first.second < 15
                 ? std::next(it)
                 : want.erase(it);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            if (Coverage(x, y))
                got[{x, y}] = 1;
    EXPECT_EQ(got, want);

    DiscardAllImages();
    Show(24, 20, 0xFFFFFFFFu);
    // A band across the image between two edges that start and end two billion pixels away.
    Fill({{-2000000000, 0}, {2000000000, 10}, {-2000000000, 20}});
    EXPECT_TRUE(boxes.boxes.empty());
    for (int x : {0, 10, 23}) {
        EXPECT_EQ(Coverage(x, 3), 0) << x;
        EXPECT_NE(Coverage(x, 6), 0) << x;
        EXPECT_NE(Coverage(x, 14), 0) << x;
        EXPECT_EQ(Coverage(x, 17), 0) << x;
    }
}

TEST_F(FillTest, FewPointsAndOneRow)
{
    Show(16, 8, 0xFFFFFFFFu);
    EXPECT_EQ(QzsFillPolygon(window), 0);
    EXPECT_EQ(Coverage(0, 0), 0);

    EXPECT_EQ(Fill({{5, 3}}), 4);
    EXPECT_NE(Coverage(5, 3), 0);
    EXPECT_EQ(g_painted.size(), 1u);

    g_painted.clear();
    EXPECT_EQ(Fill({{12, 6}, {2, 6}, {7, 6}}), 4);
    for (int x = 0; x < 16; x++)
        EXPECT_EQ(Coverage(x, 6) != 0, x >= 2 && x <= 12) << x;
    EXPECT_EQ(g_painted.size(), 11u);
}

TEST_F(FillTest, TheBufferIsBoundedByTheMemoryThatCanBeHad)
{
    // Loop mode wraps every pixel of the points' box into the layer, so the whole box needs cells:
    // a sliver across a box of 10000 x 7000 (more than 2^26 cells) needs what such a layer would.
    const Poly sliver = {{0, 0}, {9999, 6999}, {9998, 6999}};
    Show(16, 8, 0xFFFFFFFFu);
    SetLoopMode(true);
    EXPECT_EQ(Fill(sliver), -1); // filled and refreshed at once
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_NE(Coverage(0, 0), 0);
    EXPECT_NE(Coverage(9999 % 16, 6999 % 8), 0);

    // The same box when the machine has only a megabyte to give: refused, nothing painted.
    DiscardAllImages();
    Show(16, 8, 0xFFFFFFFFu);
    g_painted.clear();
    MEMORYSTATUS status = {};
    status.dwLength = sizeof status;
    status.dwTotalPageFile = status.dwTotalPhys = (SIZE_T)1 << 30;
    status.dwAvailPageFile = status.dwAvailPhys = (SIZE_T)1 << 20;
    status.dwTotalVirtual = status.dwAvailVirtual = (SIZE_T)1 << 30;
    SetMemoryStatusOverride(&status);
    EXPECT_EQ(Fill(sliver), 4);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Can't allocate buffer!!");
    EXPECT_EQ(boxes.boxes[0].caption, "ERROR");
    EXPECT_TRUE(g_painted.empty());
    SetMemoryStatusOverride(nullptr);

    // A box of 4 x 10^18 cells, which no machine holds, with the real figures.
    boxes.boxes.clear();
    EXPECT_EQ(Fill({{0, 0}, {2000000000, 0}, {0, 2000000000}}), 4);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Can't allocate buffer!!");
    EXPECT_TRUE(g_painted.empty());
    SetLoopMode(false);
}
