// Round soften against its cone weights (worked by hand for radius 2, and computed here for
// others) with opacity-weighted means; skin colour against its hue and saturation weights, the
// like-coloured neighbour mean and the brightness gain.
#include "effect_fixture.h"
#include <stdlib.h>

namespace {

using namespace ref;

class SoftenEffectTest : public EffectModuleTest {};

int Cone(int r, int dx, int dy)
{
    int w = 16 * r - (int)(16 * sqrt((double)(dx * dx + dy * dy)));
    return w > 0 ? w : 0;
}

TEST_F(SoftenEffectTest, ConeWeightsWorkedByHand)
{
    // One white pixel on opaque black: each result is 255 x weight / 136, the weights of radius 2
    // being 32 in the centre, 16 beside it, 10 on the diagonals and 0 two steps straight away.
    MakePicture(9, 9, [](int x, int y) { return x == 4 && y == 4 ? 0xFFFFFFFFu : 0xFF000000u; });
    Params({"2"});
    std::vector<uint32_t> dest;
    ASSERT_EQ(Run("Round Soften", Rect{0, 0, 8, 8}, &dest), 1);
    auto at = [&](int x, int y) { return dest[y * 9 + x]; };
    EXPECT_EQ(at(4, 4), 0xFF3C3C3Cu); // 255 x 32 / 136 = 60
    EXPECT_EQ(at(5, 4), 0xFF1E1E1Eu); // 16: 30
    EXPECT_EQ(at(4, 3), 0xFF1E1E1Eu);
    EXPECT_EQ(at(3, 5), 0xFF121212u); // 10: 18
    EXPECT_EQ(at(6, 4), 0xFF000000u);
    // Radius 1 weighs the centre alone: the picture stays as it was.
    MakeMixedPicture();
    Params({"1"});
    ASSERT_EQ(Run("Round Soften", Rect{0, 0, 15, 11}, &dest), 1);
    EXPECT_EQ(dest, pic.px);
}

TEST_F(SoftenEffectTest, SoftenIsAnOpacityWeightedMean)
{
    MakeMixedPicture(20, 15);
    Rect rect{2, 1, 17, 13};
    for (int r : {2, 3, 6, 105}) { // any radius: 105 reaches far past the picture's edges
        char text[8];
        snprintf(text, sizeof text, "%d", r);
        Params({text});
        std::vector<uint32_t> dest;
        ASSERT_EQ(Run("Round Soften", rect, &dest), 1);
        long long total = 0;
        for (int dy = -r; dy <= r; dy++)
            for (int dx = -r; dx <= r; dx++)
                total += Cone(r, dx, dy);
        ExpectPixels(text, rect, dest, [&](const Picture &p, const Rect &, int x, int y) {
            long long s[3] = {}, sa = 0;
            for (int dy = -r; dy <= r; dy++)
                for (int dx = -r; dx <= r; dx++) {
                    uint32_t c = p.At(x + dx, y + dy);
                    long long aw = (long long)A(c) * Cone(r, dx, dy);
                    for (int k = 0; k < 3; k++)
                        s[k] += Channel(c, k) * aw;
                    sa += aw;
                }
            uint32_t own = p.At(x, y);
            int a = (int)(sa / total);
            if (!sa)
                return Out{true, Argb(a, R(own), G(own), B(own))};
            return Out{true, Argb(a, (int)(s[2] / sa), (int)(s[1] / sa), (int)(s[0] / sa))};
        });
    }
    // A window that is clear all over keeps the pixel's own colour, with no opacity.
    MakePicture(7, 7, [](int x, int y) { return (uint32_t)(x * 30) << 16 | (uint32_t)(y * 30); });
    Params({"3"});
    std::vector<uint32_t> dest;
    ASSERT_EQ(Run("Round Soften", Rect{0, 0, 6, 6}, &dest), 1);
    EXPECT_EQ(dest, pic.px);
}

// Skin colour, worked from its weights; the host's HSV conversion is the one the module is given.
Out SkinReference(const Picture &p, const Rect &r, int x, int y, int gain, int radius, long long mean)
{
    uint32_t own = p.At(x, y);
    int red = R(own), green = G(own), blue = B(own), h, s, v;
    QzsRGBtoHSV(red, green, blue, &h, &s, &v);
    if (v <= mean)
        return Out{true, own};
    double hh = h > 2800 ? h - 3060 : h, d = fabs(145 - hh);
    int wh = d < 145 ? 255 : d > 205 ? 0 : (int)(255 - (d - 145) * 255 / 60);
    int ws = s > 70 ? 255 : 128 - (127 * s - 8890) / 40;
    int w = wh * ws / 255;
    if (!w)
        return Out{true, own};
    long long sum[3] = {}, n = 0;
    for (int dy = -radius; dy <= radius; dy++)
        for (int dx = -radius; dx <= radius; dx++) {
            uint32_t c = p.At(x + dx, y + dy);
            if (abs(R(c) - red) < 20 && abs(G(c) - green) < 20 && abs(B(c) - blue) < 20) {
                for (int k = 0; k < 3; k++)
                    sum[k] += Channel(c, k);
                n++;
            }
        }
    int c1[3];
    for (int k = 0; k < 3; k++) {
        long long m = n ? sum[k] / n : Channel(own, k);
        c1[k] = Clamp((w * m + (255 - w) * (long long)Channel(own, k)) / 255, 0, 255);
    }
    QzsRGBtoHSV(c1[2], c1[1], c1[0], &h, &s, &v);
    v = Clamp(v + (long long)w * gain / 255, 0, 511);
    QzsHSVtoRGB(h, s, v, &red, &green, &blue);
    return Out{true, Argb(A(own), red, green, blue)};
}

TEST_F(SoftenEffectTest, SkinColourSmoothsAndBrightensOnlySkinAboveTheMean)
{
    // Skin-like tones of every saturation (some pale enough to weigh past 255), reds on both sides
    // of the hue circle, and dark and blue pixels that must stay.
    MakePicture(18, 14, [](int x, int y) {
        if (x < 3)
            return Argb(200, 20 + 5 * y, 30, 90); // dark blue
        int r = 160 + 6 * (x % 16), g = 110 + 9 * y - 3 * x, b = 80 + 7 * ((x * y) % 11);
        if (y > 10)
            b = r - 4 - x % 3; // nearly grey: low saturation
        if (x > 14)
            b = g + 6; // just below a full turn of hue
        return Argb(90 + x, Clamp(r, 0, 255), Clamp(g, 0, 255), Clamp(b, 0, 255));
    });
    Rect rect{1, 1, 16, 12};
    long long sum = 0, count = 0;
    for (int y = rect.top; y <= rect.bottom; y++)
        for (int x = rect.left; x <= rect.right; x++, count++)
            sum += Luma(pic.At(x, y));
    struct Case {
        const char *p0, *p1;
        int gain, radius;
    } cases[] = {{"40", "1", 40, 1}, {"0", "0", 0, 0}, {"-60", "2", -60, 2}, {"300", "-4", 300, -4}, {"40", "103", 40, 103}};
    int changed = 0;
    for (const Case &c : cases) {
        Params({c.p0, c.p1});
        std::vector<uint32_t> dest;
        ASSERT_EQ(Run("SkinColor", rect, &dest), 1);
        ExpectPixels(c.p0, rect, dest, [&](const Picture &p, const Rect &r, int x, int y) {
            return SkinReference(p, r, x, y, c.gain, c.radius, sum / count);
        });
        for (int y = rect.top; y <= rect.bottom; y++)
            for (int x = rect.left; x <= rect.right; x++)
                changed += dest[y * pic.w + x] != pic.At(x, y);
    }
    EXPECT_GT(changed, 100); // the fixture does reach the skin branch
    // Dark blue stays.
    Params({"40", "1"});
    std::vector<uint32_t> dest;
    ASSERT_EQ(Run("SkinColor", rect, &dest), 1);
    EXPECT_EQ(dest[5 * pic.w + 1], pic.At(1, 5));
}

} // namespace
