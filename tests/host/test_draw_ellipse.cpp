// The ellipse family and what all seven later draw modules show the program: the outline pixel
// set of the guide, the outline's stamp trip, the filled rows, the shaded dome and Shift.
#include "drawmodules_fixture.h"
#include "image/lighting.h"
#include <math.h>

using namespace drawtest;

namespace {

// The outline as the row rule defines it, each row's half-width from its closed form: row r
// (r = 1 .. b) reaches trunc((sqrt(a^2 (b^2 - (r - 1)^2)) + b / 2) / b), row 0 reaches a, and a
// row owns the offsets from the next outer row's reach up to its own less one (at least one).
Pixels Outline(int cx, int cy, int a, int b)
{
    Pixels out;
    int outer = 0;
    for (int r = b; r >= 0; r--) {
        int reach = r == 0 ? a : (int)((sqrt((double)a * a * ((double)b * b - (double)(r - 1) * (r - 1))) + b / 2) / b);
        int last = reach > outer ? reach - 1 : outer;
        for (int i = outer; i <= last; i++)
            for (int sx : {-1, 1})
                for (int sy : {-1, 1})
                    out.insert({cx + sx * i, cy + sy * r});
        outer = reach > outer ? reach : outer;
    }
    return out;
}

} // namespace

TEST_F(DrawModulesTest, KindsNamesButtonsAndEntries)
{
    struct Case {
        const char *name;
        int kind, info, bitmapBits;
    } cases[] = {{"Ellipse", 3, 0, 4},     {"EllipseFill", 3, 1, 4},       {"Sphere", 3, 1, 8},
                 {"Spray", 4, 0x22, 8},    {"SplineCurve", 2, 0, 4},       {"ClosedSplineCurve", 2, 0, 4},
                 {"FillClosedSplineCurve", 2, 1, 4}};
    for (size_t row = 0; row < modules.size(); row++) {
        const DrawPluginRecord &r = g_drawPlugins[row];
        SCOPED_TRACE(modules[row]);
        EXPECT_STREQ(r.name, cases[row].name);
        EXPECT_EQ(r.interaction, cases[row].kind);
        EXPECT_EQ(r.info, cases[row].info);
        BITMAP b = {};
        ASSERT_TRUE(GetObjectA(r.bitmap, sizeof b, &b));
        EXPECT_EQ(b.bmWidth, 20);
        EXPECT_EQ(b.bmHeight, 20);
        HRSRC bits = FindResourceA(r.module, MAKEINTRESOURCEA(102), (LPCSTR)RT_BITMAP);
        ASSERT_NE(bits, nullptr);
        EXPECT_EQ(((BITMAPINFOHEADER *)LockResource(LoadResource(r.module, bits)))->biBitCount, cases[row].bitmapBits);
        EXPECT_TRUE(r.QzcSetPoint && r.QzcDrawGuideLine && r.QzcDrawIt && r.QzcCancelOne);
        EXPECT_EQ(r.QzcGuideLineBeforeDraw != nullptr, modules[row] == "spray");
        EXPECT_EQ(LoadCursorA(r.module, MAKEINTRESOURCEA(100)) != nullptr, modules[row] == "sphere");
    }
}

TEST_F(DrawModulesTest, TheGuideShowsEachOutlinePixelOnceAndTakesItBack)
{
    struct Case {
        int a, b;
    } cases[] = {{1, 1}, {5, 0}, {0, 0}, {0, 6}, {1, 4}, {20, 20}, {37, 11}, {9, 60}, {90, 70}};
    std::vector<uint32_t> before((uint32_t *)w->display.pixels,
                                 (uint32_t *)w->display.pixels + w->displayWidth * w->displayHeight);
    for (const char *module : {"ellipse", "dwquay", "sphere"}) {
        DrawPluginRecord &r = Choose(module);
        for (const Case &c : cases) {
            SCOPED_TRACE(testing::Message() << module << " a " << c.a << " b " << c.b);
            SetList({{100, 75}});
            // The guide inverts: a pixel shown twice would be white again.
            r.QzcDrawGuideLine(w, 100 - c.a, 75 + c.b, 1, 0, 0);
            EXPECT_EQ(ShownPixels(), Outline(100, 75, c.a, c.b));
            r.QzcDrawGuideLine(w, 100 - c.a, 75 + c.b, 0, 0, 0);
            for (size_t i = 0; i < before.size(); i++)
                ASSERT_EQ(((uint32_t *)w->display.pixels)[i] & 0xFFFFFF, before[i] & 0xFFFFFF) << i;
        }
    }
    // The hand-worked cases: a = b = 1 is the four pixels next to the centre, b = 0 the offsets
    // up to a - 1 on the centre row.
    EXPECT_EQ(Outline(100, 75, 1, 1), (Pixels{{99, 75}, {101, 75}, {100, 74}, {100, 76}}));
    EXPECT_EQ(Outline(100, 75, 3, 0), (Pixels{{98, 75}, {99, 75}, {100, 75}, {101, 75}, {102, 75}}));
}

TEST_F(DrawModulesTest, ShiftMakesACircleOfTheSmallerSemiAxis)
{
    struct Case {
        QzPoint corner;
        int a;
    } cases[] = {{{110, 79}, 4}, {{97, 66}, 3}, {{100, 90}, 0}, {{130, 75}, 0}};
    DrawPluginRecord &r = Choose("ellipse");
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.corner.x << "," << c.corner.y);
        SetList({{100, 75}});
        r.QzcDrawGuideLine(w, c.corner.x, c.corner.y, 1, 0, MK_SHIFT);
        EXPECT_EQ(ShownPixels(), Outline(100, 75, c.a, c.a));
        r.QzcDrawGuideLine(w, c.corner.x, c.corner.y, 0, 0, MK_SHIFT);
    }
    // The drawing takes Shift from its own call.
    SetList({{100, 75}, {110, 79}});
    RecordStamps();
    EXPECT_EQ(r.QzcDrawIt(w, 0, 0, MK_SHIFT), 0);
    EXPECT_EQ(Pixels(Stamps().begin(), Stamps().end()), Outline(100, 75, 4, 4));
}

TEST_F(DrawModulesTest, TheOutlineIsStampedOnceRoundFromTheBottom)
{
    struct Case {
        int a, b;
    } cases[] = {{1, 1}, {6, 0}, {0, 5}, {12, 12}, {40, 9}, {7, 50}, {63, 47}};
    DrawPluginRecord &r = Choose("ellipse");
    RecordStamps();
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "a " << c.a << " b " << c.b);
        Stamps().clear();
        SetList({{100, 75}, {100 + c.a, 75 - c.b}});
        EXPECT_EQ(r.QzcDrawIt(w, 0, 0, 0), 0);
        const std::vector<Spot> &s = Stamps();
        ASSERT_FALSE(s.empty());
        // The outline, and the ends of the centre row that the way back up starts from (part of
        // the outline unless the figure is flat).
        Pixels outline = Outline(100, 75, c.a, c.b);
        outline.insert({100 + c.a, 75});
        outline.insert({100 - c.a, 75});
        EXPECT_EQ(Pixels(s.begin(), s.end()), outline);
        // Each stamp touches the one before (a flat figure's way back starts at the centre again);
        // the trip passes bottom, right, top, left in turn.
        for (size_t i = 1; c.b > 0 && i < s.size(); i++)
            ASSERT_TRUE(abs(s[i].first - s[i - 1].first) <= 1 && abs(s[i].second - s[i - 1].second) <= 1) << i;
        EXPECT_EQ(s.front(), Spot(100, 75 + c.b));
        size_t at = 0;
        for (Spot p : {Spot(100 + c.a, 75), Spot(100, 75 - c.b), Spot(100 - c.a, 75), Spot(100, 75 + c.b)}) {
            if (c.b == 0)
                break;
            while (at < s.size() && s[at] != p)
                at++;
            EXPECT_LT(at, s.size()) << p.first << "," << p.second;
        }
    }
    // Coincident points draw nothing, nor does a figure far larger than any picture.
    for (Points figure : {Points{{100, 75}, {100, 75}}, Points{{100, 75}, {100 + 40000, 80}},
                          Points{{INT32_MAX, 0}, {INT32_MIN, 10}}}) {
        Stamps().clear();
        SetList(figure);
        EXPECT_EQ(r.QzcDrawIt(w, 0, 0, 0), 0);
        EXPECT_TRUE(Stamps().empty());
    }
}

TEST_F(DrawModulesTest, TheFillSpansEachRowBetweenTheOutlineEnds)
{
    struct Case {
        int a, b;
    } cases[] = {{1, 1}, {8, 0}, {30, 20}, {11, 40}};
    DrawPluginRecord &r = Choose("dwquay");
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "a " << c.a << " b " << c.b);
        SetList({{60, 70}, {60 + c.a, 70 + c.b}});
        EXPECT_EQ(r.QzcDrawIt(w, 0, 0, 0), 0);
        Pixels want;
        for (Spot p : Outline(60, 70, c.a, c.b))
            for (int x = 60 - abs(p.first - 60); x <= 60 + abs(p.first - 60); x++)
                want.insert({x, p.second});
        EXPECT_EQ(PaintedPixels(), want);
        SendMessageA(w->window, WM_COMMAND, 32034, 0); // undo
        EXPECT_TRUE(PaintedPixels().empty());
    }
}

TEST_F(DrawModulesTest, TheDomeIsShadedByTheLightFromItsNormal)
{
    // Light from the viewer, no highlight or ambient term: a pixel's value is the colour scaled
    // by (1 + cos) / 2, the cosine between the normal (dx, dy a / b, nz) and the view.
    g_light = LightSettings{0.0, 0.0, 1.0, 0.0, 0.0};
    QzsSetColorRGB(0, 200, 100, 40);
    DrawPluginRecord &r = Choose("sphere");
    const int cx = 100, cy = 75, a = 40, b = 20;
    SetList({{cx, cy}, {cx + a, cy + b}});
    EXPECT_EQ(r.QzcDrawIt(w, 0, 0, 0), 0);
    CommitStroke(w);
    int checked = 0;
    for (int y = cy - b - 1; y <= cy + b + 1; y++)
        for (int x = cx - a - 1; x <= cx + a + 1; x++) {
            double dx = x - cx, dy = (double)(y - cy) * a / b, l = dx * dx + dy * dy;
            uint32_t p = Pixel(x, y) & 0xFFFFFF;
            if (l >= a * a) {
                ASSERT_EQ(p, 0xFFFFFFu) << x << "," << y;
                continue;
            }
            double cosine = sqrt(a * a - l) / a;
            auto shade = [&](int v) { return (uint32_t)(int)(v * (1 + cosine) / 2); };
            ASSERT_EQ(p, shade(200) << 16 | shade(100) << 8 | shade(40)) << x << "," << y;
            checked++;
        }
    EXPECT_GT(checked, 2000);
    EXPECT_EQ(Pixel(cx, cy) & 0xFFFFFF, 0xC86428u); // the centre faces the light fully

    // A flat figure has no inside.
    SendMessageA(w->window, WM_COMMAND, 32034, 0);
    SetList({{cx, cy}, {cx + a, cy}});
    EXPECT_EQ(r.QzcDrawIt(w, 0, 0, 0), 0);
    EXPECT_TRUE(PaintedPixels().empty());
}
