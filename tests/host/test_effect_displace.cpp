// The displacement effects against their surfaces worked out here: the sine shift of wave, the
// refraction through water, corrugated sheet and ripple, one refracted pixel worked by hand, and
// the texture's height map built from the module's generator as it starts after loading.
#include "effect_fixture.h"

namespace {

using namespace ref;

class DisplaceEffectTest : public EffectModuleTest {
protected:
    // Red rising down the rows, green across the columns: every shift shows.
    void MakeRamps(int w, int h)
    {
        MakePicture(w, h, [](int x, int y) { return Argb(100 + 7 * x % 150, 12 * y % 256, 15 * x % 256, (x * y * 37) & 255); });
    }
};

TEST_F(DisplaceEffectTest, WaveShiftsRowsOrColumnsAlongASine)
{
    MakeRamps(30, 24);
    // Wavelength 20, amplitude 5: on the first row nothing moves, five rows down everything comes
    // from 5 pixels to the right and the last five columns are not written.
    Params({"1", "20", "5", "0"});
    Rect r{0, 0, 29, 23};
    std::vector<uint32_t> dest;
    ASSERT_EQ(Run("Wave", r, &dest), 1);
    for (int x = 0; x < 30; x++) {
        EXPECT_EQ(dest[x], pic.At(x, 0)) << x;
        EXPECT_EQ(dest[5 * 30 + x], x < 25 ? pic.At(x + 5, 5) : kUnwritten) << x;
    }
    struct Case {
        const char *p0, *p1, *p2, *p3;
        Rect rect;
    } cases[] = {{"1", "20", "5", "0", {0, 0, 29, 23}},
                 {"0", "9", "3", "4", {3, 2, 26, 20}},
                 {"7", "-13", "6", "-2", {5, 1, 22, 22}},
                 {"0", "50", "0", "0", {1, 1, 28, 22}}}; // amplitude 0: every pixel its own, alpha too
    for (const Case &c : cases) {
        Params({c.p0, c.p1, c.p2, c.p3});
        ASSERT_EQ(Run("Wave", c.rect, &dest), 1);
        ExpectPixels(c.p1, c.rect, dest, ref::Wave(atoi(c.p0), atoi(c.p1), atoi(c.p2), atoi(c.p3)));
    }
}

TEST_F(DisplaceEffectTest, WaterSheetAndRippleRefractAndShade)
{
    MakeRamps(26, 22);
    Rect rect{2, 1, 23, 20};
    const double k8 = 6.28318 / 8, k11 = 6.28318 / 11;
    // Ripple of amplitude 2, wavelength 8, ratio 1.2; at the centre (rho 0) the slope is its limit, 0.
    ref::Effect ripple = [&](const Picture &p, const Rect &r, int x, int y) {
        double a = 2, cx = (r.right - r.left) / 2.0, cy = (r.bottom - r.top) / 2.0;
        double dx = (x - r.left) - cx, dy = (y - r.top) - cy, rho = sqrt(dx * dx + dy * dy);
        double gx = rho ? -k8 * a * sin(k8 * rho) * dx / rho : 0, gy = rho ? -k8 * a * sin(k8 * rho) * dy / rho : 0;
        double ox, oy;
        if (!Refract(gx, 1, a * (1 + cos(k8 * rho)) + 10, 1.2, &ox) ||
            !Refract(gy, 1, a * (1 + cos(k8 * rho)) + 10, 1.2, &oy))
            return Out{true, p.At(x, y)};
        uint32_t c = p.Sample(x + ox, y + oy);
        // shaded at the position from the centre, which the light does not read
        return Out{true, Argb(A(p.At(x, y)), Shade(R(c), gx, gy, 1), Shade(G(c), gx, gy, 1), Shade(B(c), gx, gy, 1))};
    };
    struct Case {
        const char *name;
        std::vector<const char *> params;
        ref::Effect want;
    } cases[] = {
        {"WaterWave", {"150", "8", "130"}, [&](const Picture &p, const Rect &r, int x, int y) {
             double a = 1.5, u = (x - r.left) * k8, v = (y - r.top) * k8;
             double d = a * a * (1 + sin(v)) * (1 + cos(u)) + 10;
             double gx = a * k8 * sin(u) * (1 + cos(v)), gy = a * k8 * sin(v) * (1 + cos(u));
             return Out{true, Refracted(p, x, y, gx, gy, 1.0, 1.0, d, 1.3)};
         }},
        // A ratio of 1 moves nothing: the picture is only shaded.
        {"WaterWave", {"150", "8", "100"}, [&](const Picture &p, const Rect &r, int x, int y) {
             double a = 1.5, u = (x - r.left) * k8, v = (y - r.top) * k8;
             double gx = a * k8 * sin(u) * (1 + cos(v)), gy = a * k8 * sin(v) * (1 + cos(u));
             uint32_t c = p.At(x, y);
             return Out{true, Argb(A(c), Shade(R(c), gx, gy, 1), Shade(G(c), gx, gy, 1), Shade(B(c), gx, gy, 1))};
         }},
        {"Corrugated Sheet", {"300", "11", "0", "70"}, [&](const Picture &p, const Rect &r, int x, int y) {
             double a = 3, w = (y - r.top) * k11;
             return Out{true, Refracted(p, x, y, 0, -k11 * a * cos(w), 1.0, 1.0, a * (1 + sin(w)) + 10, 0.7)};
         }},
        {"Corrugated Sheet", {"300", "11", "1", "150"}, [&](const Picture &p, const Rect &r, int x, int y) {
             double a = 3, w = (x - r.left) * k11;
             return Out{true, Refracted(p, x, y, -k11 * a * cos(w), 0, 1.0, 1.0, a * (1 + sin(w)) + 10, 1.5)};
         }},
        // Amplitude 0: flat, only shaded with the normal (0, 0, 1).
        {"Corrugated Sheet", {"0", "11", "0", "150"}, [&](const Picture &p, const Rect &, int x, int y) {
             uint32_t c = p.At(x, y);
             return Out{true, Argb(A(c), Shade(R(c), 0, 0, 1), Shade(G(c), 0, 0, 1), Shade(B(c), 0, 0, 1))};
         }},
        {"Ripple", {"200", "8", "120"}, ripple},
    };
    for (const Case &c : cases) {
        FreeGlobalParameters();
        for (size_t i = 0; i < c.params.size(); i++)
            SetGlobalParameter((int)i, c.params[i]);
        std::vector<uint32_t> dest;
        ASSERT_EQ(Run(c.name, rect, &dest), 1);
        ExpectPixels(c.name, rect, dest, c.want);
    }
    // Ripple on a rectangle with even differences has a centre pixel: it is not moved (slope 0,
    // so no shift) and shaded with the flat normal (0, 0, 1).
    MakeRamps(11, 9);
    Params({"200", "8", "120"});
    std::vector<uint32_t> dest;
    Rect centred{1, 0, 9, 8};
    ASSERT_EQ(Run("Ripple", centred, &dest), 1);
    ExpectPixels("ripple with a centre", centred, dest, ripple);
    uint32_t c = pic.At(5, 4);
    EXPECT_EQ(dest[4 * 11 + 5], Argb(A(c), Shade(R(c), 0, 0, 1), Shade(G(c), 0, 0, 1), Shade(B(c), 0, 0, 1)));
    EXPECT_NE(dest[4 * 11 + 5], c);
}

// Corrugated sheet, ridges along the rows, amplitude 2, wavelength 8, ratio 0.5, on the first
// row (w = 0): slope -2 x 0.7853975 = -1.570795 and depth 12; s = 0.5 x 1.570795 / 1.862095 =
// 0.421782, t2 = 0.465185, shift 12 x (1.570795 - 0.465185) / (1 + 1.570795 x 0.465185) = 7.6658
// rows down. Red 20 per row gives 153.3 + 0.5, so 153; under the default light the normal
// (0, -1.570795, 1) gives d = 0.797086 and a highlight of 10.10: red 147, green 99, blue 37.
TEST_F(DisplaceEffectTest, OneRefractedPixelWorkedByHand)
{
    MakePicture(6, 12, [](int, int y) { return Argb(0x44, 20 * y, 100, 30); });
    Params({"200", "8", "0", "50"});
    std::vector<uint32_t> dest;
    ASSERT_EQ(Run("Corrugated Sheet", Rect{0, 0, 5, 11}, &dest), 1);
    EXPECT_EQ(dest[2], 0x44936325u) << std::hex << dest[2];
}

int g_progressCalls = 0;
int QZCAPI CountProgress(int, int, int)
{
    g_progressCalls++;
    return 0;
}

// The texture's map, made as the module makes it on its first run after loading.
std::vector<int> TextureMap(int w, int h, int r, int density)
{
    uint32_t seed = 1;
    auto random = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return (int)(seed >> 16 & 0x7FFF);
    };
    std::vector<int> map((size_t)w * h, 0);
    for (int i = 0; i < h; i++)
        for (int c = 0; c < w; c++) {
            if (random() % (200 * r + 100) >= density)
                continue;
            int sink = random() % (16 * r);
            for (int dy = -r; dy <= r; dy++)
                for (int dx = -r; dx <= r; dx++) {
                    int d2 = dx * dx + dy * dy;
                    int dome = d2 < r * r ? std::max(0, (int)(16 * sqrt((double)(r * r - d2)) + 0.5)) : 0;
                    int add = std::max(0, dome - sink);
                    map[(size_t)(((i + dy) % h + h) % h) * w + ((c + dx) % w + w) % w] += add;
                }
        }
    return map;
}

// Bumps of any radius: radius 130 on a map much smaller than one bump, which wraps round it many
// times; a ratio of 1 shifts nothing, so the picture is shaded by the map's slopes.
TEST_F(DisplaceEffectTest, TextureBumpsOfAWideRadius)
{
    MakeRamps(16, 12);
    Rect rect{2, 1, 13, 10};
    const int w = 12, h = 10, r = 130, density = 4000, e = 3;
    std::vector<int> map = TextureMap(w, h, r, density);
    auto m = [&](int x, int y) { return map[(size_t)((y % h + h) % h) * w + (x % w + w) % w]; };
    Params({"130", "4000", "3", "100"});
    std::vector<uint32_t> dest;
    ASSERT_EQ(Run("Texture", rect, &dest), 1);
    int sloped = 0;
    ExpectPixels("texture", rect, dest, [&](const Picture &p, const Rect &rr, int x, int y) {
        int lx = x - rr.left, ly = y - rr.top;
        double gx = -(double)(m(lx + e, ly) - m(lx - e, ly)) / (2 * e);
        double gy = -(double)(m(lx, ly + e) - m(lx, ly - e)) / (2 * e);
        sloped += gx != 0 || gy != 0;
        return Out{true, Refracted(p, x, y, gx, gy, 16.0, 16.0, m(lx, ly) / 16.0, 1.0)};
    });
    EXPECT_GT(sloped, 60);
}

// A map cell that would pass the int range: one cell, so a bump of radius 1500 piles its whole
// dome, sunk by the second number the generator gives after loading, into it. Refused: result 0,
// nothing reported, nothing written.
TEST_F(DisplaceEffectTest, TextureRefusesHeightsPastTheIntRange)
{
    const long long r = 1500;
    uint32_t seed = 1;
    int draws[2];
    for (int &d : draws) {
        seed = seed * 1103515245u + 12345u;
        d = (int)(seed >> 16 & 0x7FFF);
    }
    ASSERT_LT(draws[0] % (200 * r + 100), 2147483647); // a bump is dropped
    long long sink = draws[1] % (16 * r), pile = 0;
    for (long long dy = -r; dy <= r; dy++)
        for (long long dx = -r; dx <= r; dx++) {
            long long d2 = dx * dx + dy * dy;
            long long dome = d2 < r * r ? (long long)(16 * sqrt((double)(r * r - d2)) + 0.5) : 0;
            pile += std::max(0LL, dome - sink);
        }
    ASSERT_GT(pile, 2147483647LL);
    MakeRamps(4, 4);
    Params({"1500", "2147483647", "2", "120"});
    g_progressCalls = 0;
    std::vector<uint32_t> dest;
    EXPECT_EQ(Run("Texture", Rect{1, 1, 1, 1}, &dest, CountProgress), 0);
    EXPECT_EQ(g_progressCalls, 0);
    EXPECT_EQ(dest, std::vector<uint32_t>(pic.px.size(), kUnwritten));
}

TEST_F(DisplaceEffectTest, TextureFollowsTheGeneratorFromLoadingAndChangesAfterwards)
{
    MakeRamps(24, 20);
    Rect rect{3, 2, 21, 17};
    const int w = 19, h = 16, r = 3, density = 200, e = 2;
    std::vector<int> map = TextureMap(w, h, r, density);
    auto m = [&](int x, int y) { return map[(size_t)((y % h + h) % h) * w + (x % w + w) % w]; };
    int bumps = 0;
    for (int v : map)
        bumps += v > 0;
    ASSERT_GT(bumps, 20);
    Params({"3", "200", "2", "140"});
    std::vector<uint32_t> first, second;
    ASSERT_EQ(Run("Texture", rect, &first), 1);
    ExpectPixels("texture", rect, first, [&](const Picture &p, const Rect &rr, int x, int y) {
        int lx = x - rr.left, ly = y - rr.top;
        double gx = -(double)(m(lx + e, ly) - m(lx - e, ly)) / (2 * e);
        double gy = -(double)(m(lx, ly + e) - m(lx, ly - e)) / (2 * e);
        return Out{true, Refracted(p, x, y, gx, gy, 16.0, 16.0, m(lx, ly) / 16.0, 1.4)};
    });
    ASSERT_EQ(Run("Texture", rect, &second), 1);
    EXPECT_NE(first, second); // the generator went on
}

} // namespace
