// The effect preview's geometry: the part of the area shown, its scroll bars, the fitting into
// 134 x 134 pixels and the rectangle the effect runs on.
#include "testsupport.h"
#include "plugins/effectdlg.h"

namespace {

TEST(EffectPreview, WindowAndBarsFollowTheAreaAndMode)
{
    struct Case {
        RECT area;
        int sx, sy, mode;
        RECT window;
        PreviewBar h, v;
    } cases[] = {
        {{0, 0, 99, 99}, 0, 0, 0, {0, 0, 99, 99}, {0, 0, 0}, {0, 0, 0}},                 // narrow: no bars
        {{0, 0, 399, 99}, 30, 0, 0, {30, 0, 164, 99}, {1, 265, 30}, {0, 0, 0}},          // 135 pixels shown
        {{10, 20, 409, 419}, 265, 5, 0, {275, 25, 409, 159}, {1, 265, 265}, {1, 265, 5}}, // clamped right
        {{10, 20, 409, 419}, 40, 40, 1, {10, 20, 409, 419}, {0, 0, 0}, {0, 0, 0}},        // whole
    };
    for (const Case &c : cases) {
        RECT w;
        PreviewBar h, v;
        ComputePreviewWindow(c.area, c.sx, c.sy, c.mode, &w, &h, &v);
        EXPECT_TRUE(EqualRect(&w, &c.window)) << w.left << "," << w.top << "," << w.right << "," << w.bottom;
        EXPECT_EQ(h.enabled, c.h.enabled);
        EXPECT_EQ(h.maximum, c.h.maximum);
        EXPECT_EQ(h.position, c.h.position);
        EXPECT_EQ(v.enabled, c.v.enabled);
        EXPECT_EQ(v.maximum, c.v.maximum);
    }
}

TEST(EffectPreview, FittingMapsPixelsAndGivesTheEffectRectangle)
{
    struct Case {
        RECT window;
        PreviewFit fit;
        RECT fitted;
    } cases[] = {
        {{0, 0, 199, 99}, {200, 0, 33}, {0, 33, 133, 99}},
        {{5, 5, 54, 204}, {200, 50, 0}, {50, 0, 82, 133}},
        {{0, 0, 134, 134}, {135, 0, 0}, {0, 0, 133, 133}},
        {{0, 0, -1, -1}, {0, 0, 0}, {0, 0, -1, -1}}, // nothing to show
    };
    for (const Case &c : cases) {
        PreviewFit f = FitPreview(c.window);
        EXPECT_EQ(f.range, c.fit.range);
        EXPECT_EQ(f.xOffset, c.fit.xOffset);
        EXPECT_EQ(f.yOffset, c.fit.yOffset);
        RECT r;
        GetFittedPreviewRect(c.window, &r);
        EXPECT_TRUE(EqualRect(&r, &c.fitted)) << r.left << "," << r.top << "," << r.right << "," << r.bottom;
    }
    // 135 pixels onto 134: the last preview pixel shows image pixel 133, the first the left edge.
    RECT w = {10, 0, 144, 134};
    PreviewFit f = FitPreview(w);
    int x, y;
    MapPreviewPixel(f, w, 133, 0, &x, &y);
    EXPECT_EQ(x, 10 + 133 * 135 / 134);
    MapPreviewPixel(f, w, 0, 133, &x, &y);
    EXPECT_EQ(x, 10);
    EXPECT_EQ(y, 133 * 135 / 134);
    // Offsets below the fitted band map before the window's top.
    PreviewFit wide = FitPreview(RECT{0, 0, 199, 99});
    MapPreviewPixel(wide, RECT{0, 0, 199, 99}, 0, 0, &x, &y);
    EXPECT_LT(y, 0);
}

TEST(EffectPreview, ScrollIsClampedToTheExtent)
{
    EXPECT_EQ(ClampScroll(500, 399), 265);
    EXPECT_EQ(ClampScroll(-5, 399), 0);
    EXPECT_EQ(ClampScroll(40, 99), 0);
    EXPECT_EQ(ClampScroll(7, 399), 7);
}

} // namespace
