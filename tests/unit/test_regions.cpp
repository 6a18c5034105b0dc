// Regions: strokes and their commit, the area query, process, clear and move, region undo, and
// border tracing.
#include "view/undo_apply.h"
#include "view/regionborder.h"
#include "testsupport.h"
#include "image/cdib.h"
#include "image/colors.h"
#include "image/group.h"
#include "image/imagelist.h"
#include "view/paint.h"
#include "image/regions.h"
#include "image/undo.h"
#include "view/winlist.h"
#include <set>
#include <stdlib.h>
#include <string.h>
#include <utility>

namespace {

class RegionTest : public HostTest {
protected:
    ImageGroup *group = nullptr;
    ImageWindow *window = nullptr;
    int w = 0, h = 0;

    void NewGroupAndWindow(int width, int height)
    {
        w = width;
        h = height;
        CDIB *base = nullptr;
        ASSERT_EQ(CreateImageRecord(&base, w, h, 32), 0);
        ASSERT_EQ(AddImageGroup(base), 1);
        group = g_lastGroup;
        window = (ImageWindow *)calloc(1, sizeof(ImageWindow));
        window->group = group;
        window->layerImage = base;
        window->regionDisplayMode = 4;
        window->editMask = (uint8_t *)calloc((size_t)w * h, 1);
        g_firstWindow = g_lastWindow = g_currentWindow = window;
    }
    CDIB *Base() { return group->base; }
    uint8_t Mask(int x, int y) { return Base()->mask[y * w + x]; }
    // A region stroke over a rectangle, committed as the stroke commit does.
    void Stroke(int l, int t, int r, int b, int bits, int mode)
    {
        ColorRecord *c = QzsGetColor(0);
        c->regionBits = bits;
        c->regionMode = mode;
        for (int y = t; y <= b; y++)
            for (int x = l; x <= r; x++)
                RegionWrite(window, (int64_t)y * w + x, bits, mode);
        SetDirtyRect(l, t, r, b);
        RegionCommit(window);
        ClearDirtyRect();
        c->regionMode = 0;
    }
    // Sets the mask from rows of '.' and 'a'..'g' (the letter's offset + 1 is the byte).
    void SetMask(const std::vector<std::string> &rows)
    {
        if (!Base()->mask)
            Base()->mask = (uint8_t *)calloc((size_t)w * h, 1);
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++) {
                char ch = y < (int)rows.size() && x < (int)rows[y].size() ? rows[y][x] : '.';
                Base()->mask[y * w + x] = window->editMask[y * w + x] = ch == '.' ? 0 : (uint8_t)(ch - 'a' + 1);
            }
        ExtendRegionBounds(Base(), 0, 0, w - 1, h - 1);
    }
    RECT Area(int bits, int *result = nullptr)
    {
        RECT r;
        int got = QzsGetRegionArea(group, nullptr, (int *)&r.left, (int *)&r.top, (int *)&r.right, (int *)&r.bottom,
                                   bits);
        if (result)
            *result = got;
        return r;
    }
};

bool SameRect(const RECT &r, int l, int t, int rr, int b)
{
    return r.left == l && r.top == t && r.right == rr && r.bottom == b;
}

TEST_F(RegionTest, FirstStrokeMakesTheMaskAndTheActiveRegion)
{
    NewGroupAndWindow(16, 12);
    EXPECT_EQ(Base()->mask, nullptr);
    Stroke(2, 3, 5, 4, 2, 1);
    ASSERT_NE(Base()->mask, nullptr);
    EXPECT_EQ(window->activeRegion, 2u);
    EXPECT_EQ(Mask(2, 3), 2);
    EXPECT_EQ(Mask(6, 3), 0);
    EXPECT_TRUE(SameRect(Area(2), 2, 3, 5, 4));
    EXPECT_EQ(Base()->slots[1].state, 2);
    // The stroke's record came after the mask: undo gives the empty mask back.
    ASSERT_NE(group->regionUndoCurrent, nullptr);
    EXPECT_EQ(UndoRegion(window), 0);
    EXPECT_EQ(Mask(2, 3), 0);
    int result;
    Area(2, &result);
    EXPECT_EQ(result, 0);
}

TEST_F(RegionTest, StrokeModesCombineWithTheMask)
{
    NewGroupAndWindow(4, 1);
    struct Case {
        int bits, mode;
        uint8_t expected[4];
    } cases[] = {
        {1, 1, {0x01, 0x03, 0x83, 0x05}},
        {3, 2, {0x00, 0x02, 0x02, 0x00}},
        {3, 3, {0x03, 0x01, 0x81, 0x07}},
    };
    for (const Case &c : cases) {
        SetMask({});
        const uint8_t start[4] = {0x00, 0x02, 0x82, 0x04};
        memcpy(Base()->mask, start, 4);
        memcpy(window->editMask, start, 4);
        Stroke(0, 0, 3, 0, c.bits, c.mode);
        for (int x = 0; x < 4; x++)
            EXPECT_EQ(Mask(x, 0), c.expected[x]) << "mode " << c.mode << " x " << x;
    }
}

TEST_F(RegionTest, AreaQueries)
{
    NewGroupAndWindow(20, 10);
    int result;
    // Without bits: the whole base, moved by the current layer's origin.
    CDIB *layer = nullptr;
    ASSERT_EQ(CreateImageRecord(&layer, 5, 5, 32), 0);
    LayerRecord *l = QzsInsertNewLayer(group, layer, 3, 2, 1, 255, 0);
    EXPECT_TRUE(SameRect(Area(0, &result), -3, -2, 16, 7));
    EXPECT_EQ(result, 0);
    SetMask({"....................", "..bb.......a", "..bb"});
    EXPECT_TRUE(SameRect(Area(2, &result), 2, 1, 3, 2));
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(SameRect(Area(3), 2, 1, 11, 2));
    Area(4, &result);
    EXPECT_EQ(result, 0);
    // Clipped by a layer: the overlap, or nothing at all.
    RECT r;
    EXPECT_EQ(QzsGetRegionArea(group, l, (int *)&r.left, (int *)&r.top, (int *)&r.right, (int *)&r.bottom, 3), 1);
    EXPECT_TRUE(SameRect(r, 3, 2, 7, 2));
    QzsSetLayerOrgEx(group, l, 14, 5, 0);
    EXPECT_EQ(QzsGetRegionArea(group, l, (int *)&r.left, (int *)&r.top, (int *)&r.right, (int *)&r.bottom, 3), 0);
    EXPECT_TRUE(SameRect(r, -1, -1, -1, -1));
    EXPECT_EQ(QzsGetRegionArea(nullptr, nullptr, (int *)&r.left, (int *)&r.top, (int *)&r.right, (int *)&r.bottom, 1),
              0);
}

TEST_F(RegionTest, ClearAndProcessKeepOtherRegionsKnown)
{
    NewGroupAndWindow(12, 4);
    SetMask({"cc..........", "cc........b.", "...........a"});
    EXPECT_EQ(QzsClearRegion(1), 1);
    EXPECT_EQ(Mask(0, 0), 0x02);
    EXPECT_EQ(Mask(11, 2), 0x00);
    EXPECT_EQ(Mask(10, 1), 0x02);
    // Region 2 outside the cleared area is still found.
    EXPECT_TRUE(SameRect(Area(2), 0, 0, 10, 1));
    EXPECT_EQ(QzsClearRegion(1), 0); // nothing left to clear
    EXPECT_EQ(QzsProcessAllRegion(4, 3, 1), 1); // XOR over the whole base
    EXPECT_EQ(Mask(0, 0), 0x06);
    EXPECT_EQ(Mask(5, 3), 0x04);
    EXPECT_TRUE(SameRect(Area(4), 0, 0, 11, 3));
    // Undo of the process and of the clear, each visible to the area query again.
    EXPECT_EQ(UndoRegion(window), 0);
    int result;
    Area(4, &result);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(UndoRegion(window), 0);
    EXPECT_EQ(Mask(0, 0), 0x03);
    EXPECT_TRUE(SameRect(Area(1), 0, 0, 11, 2));
    EXPECT_EQ(UndoRegion(window), 2);
    EXPECT_EQ(RedoRegion(window), 0);
    EXPECT_EQ(Mask(0, 0), 0x02);
    Area(1, &result);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(RedoRegion(window), 0);
    EXPECT_EQ(RedoRegion(window), 2);
}

TEST_F(RegionTest, MovingARegion)
{
    NewGroupAndWindow(32, 3);
    struct Case {
        int dx, dy;
        int left, right; // where bit 1 ends up on row 1
    } cases[] = {{5, 0, 15, 25}, {-4, 0, 6, 16}, {15, 0, 25, 31}};
    for (const Case &c : cases) {
        std::string row(32, '.');
        for (int x = 10; x <= 20; x++)
            row[x] = 'c'; // bits 1 and 2
        SetMask({"", row});
        EXPECT_EQ(QzsMoveRegion(1, c.dx, c.dy), 1);
        for (int x = 0; x < 32; x++) {
            int expected = (x >= c.left && x <= c.right ? 1 : 0) | (x >= 10 && x <= 20 ? 2 : 0);
            EXPECT_EQ(Mask(x, 1), expected) << "dx " << c.dx << " x " << x;
        }
    }
    SetMask({"", "..a"});
    EXPECT_EQ(QzsMoveRegion(1, 0, 1), 1);
    EXPECT_EQ(Mask(2, 2), 1);
    EXPECT_EQ(Mask(2, 1), 0);
    EXPECT_EQ(QzsMoveRegion(1, 0, 0), 0);
    EXPECT_EQ(QzsMoveRegion(4, 1, 0), 0); // no such region
    EXPECT_EQ(UndoRegion(window), 0);
    EXPECT_EQ(Mask(2, 1), 1);
    EXPECT_EQ(Mask(2, 2), 0);
}

// Traces the active region of the fixture and checks the stored points against the region.
struct TraceCase {
    const char *name;
    std::vector<std::string> rows;
    int points; // -1: only the rules below
};

TEST_F(RegionTest, BorderTracing)
{
    NewGroupAndWindow(8, 7);
    TraceCase cases[] = {
        {"one pixel", {"", "", "...a"}, 1},
        {"2 x 2", {"", ".aa", ".aa"}, 4},
        {"L shape", {"a", "a", "a", "aaaa"}, 7},
        {"hole", {"aaaaa", "aaaaa", "aa.aa", "aaaaa", "aaaaa"}, -1},
        {"edge", {"", "", "", "", "", "aaaaaaaa", "aaaaaaaa"}, 16},
        {"square", {"aaaaaa", "aaaaaa", "aaaaaa", "aaaaaa", "aaaaaa", "aaaaaa"}, -1},
    };
    for (const TraceCase &c : cases) {
        SCOPED_TRACE(c.name);
        SetMask(c.rows);
        window->activeRegion = 1;
        TraceRegionBorder(window);
        EXPECT_TRUE(IsBorderAnimating());
        const RegionSlot *slot = &Base()->slots[0];
        std::set<std::pair<int, int>> stored;
        for (int k = 0; k < slot->pointCount; k++) {
            int x, y;
            ASSERT_TRUE(GetBorderPoint(slot, k, &x, &y));
            EXPECT_TRUE(stored.insert({x, y}).second) << "point stored twice " << x << "," << y;
            EXPECT_TRUE(Mask(x, y) & 1) << x << "," << y;
        }
        if (c.points >= 0) {
            EXPECT_EQ(slot->pointCount, c.points);
        }
        RECT a = Area(1);
        // Every region pixel on the area's edge or beside a pixel outside the region is a border point;
        // pixels deep inside are not.
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++) {
                if (!(Mask(x, y) & 1))
                    continue;
                auto in = [&](int px, int py) { return px >= 0 && py >= 0 && px < w && py < h && (Mask(px, py) & 1); };
                bool edge = x == a.left || x == a.right || y == a.top || y == a.bottom || !in(x - 1, y) ||
                            !in(x + 1, y) || !in(x, y - 1) || !in(x, y + 1);
                bool deep = true;
                for (int dy = -1; dy <= 1; dy++)
                    for (int dx = -1; dx <= 1; dx++)
                        deep = deep && in(x + dx, y + dy) && x + dx >= a.left && x + dx <= a.right &&
                               y + dy >= a.top && y + dy <= a.bottom;
                if (edge) {
                    EXPECT_TRUE(stored.count({x, y})) << "missing " << x << "," << y;
                }
                if (deep) {
                    EXPECT_FALSE(stored.count({x, y})) << "inside " << x << "," << y;
                }
            }
    }
    window->activeRegion = 0;
    TraceRegionBorder(window);
    EXPECT_EQ(Base()->slots[0].pointCount, 0);
    EXPECT_FALSE(IsBorderAnimating());
}

TEST_F(RegionTest, BorderPointsSpanBlocks)
{
    NewGroupAndWindow(4, 4);
    RegionSlot *slot = &Base()->slots[0];
    for (int k = 0; k < 2500; k++)
        AddBorderPoint(slot, k, -k);
    EXPECT_EQ(slot->pointCount, 2500);
    int x, y;
    ASSERT_TRUE(GetBorderPoint(slot, 1999, &x, &y));
    EXPECT_EQ(x, 1999);
    EXPECT_EQ(y, -1999);
    ASSERT_TRUE(GetBorderPoint(slot, 2499, &x, &y));
    EXPECT_EQ(x, 2499);
    EXPECT_FALSE(GetBorderPoint(slot, 2500, &x, &y));
    ClearBorderPoints(slot);
    AddBorderPoint(slot, 7, 8); // the cleared blocks are used again
    ASSERT_TRUE(GetBorderPoint(slot, 0, &x, &y));
    EXPECT_EQ(x * 10 + y, 78);
    EXPECT_EQ(slot->firstBlock->next->next->next, nullptr);
}

} // namespace
