// The edge and gradient effects against their kernels applied here: the 3 x 3 gradient magnitude
// (also as a separable smoothing-and-difference, a second way to the same numbers), the drawing's
// edge weight and grey levels, the wide kernels with their known rows and sums, and relief
// shaded by the default light.
#include "effect_fixture.h"
#include <stdlib.h>

namespace {

using namespace ref;

const int kSobelX[3][3] = {{1, 0, -1}, {2, 0, -2}, {1, 0, -1}};
const int kSobelY[3][3] = {{1, 2, 1}, {0, 0, 0}, {-1, -2, -1}};

// The 3 x 3 gradients of channel k (k 3: the luma) at (x, y).
void Gradient3(const Picture &p, int x, int y, int k, int *gx, int *gy)
{
    *gx = *gy = 0;
    for (int dy = -1; dy <= 1; dy++)
        for (int dx = -1; dx <= 1; dx++) {
            uint32_t c = p.At(x + dx, y + dy);
            int v = k == 3 ? Luma(c) : Channel(c, k);
            *gx += v * kSobelX[dy + 1][dx + 1];
            *gy += v * kSobelY[dy + 1][dx + 1];
        }
}

// The same magnitude the separable way: a vertical 1 2 1 smoothing differenced across two columns,
// and a horizontal one differenced across two rows.
int SeparableSobel(const Picture &p, int x, int y, int k)
{
    auto v = [&](int xx, int yy) { return Channel(p.At(xx, yy), k); };
    auto colSmooth = [&](int xx) { return v(xx, y - 1) + 2 * v(xx, y) + v(xx, y + 1); };
    auto rowSmooth = [&](int yy) { return v(x - 1, yy) + 2 * v(x, yy) + v(x + 1, yy); };
    int gx = colSmooth(x - 1) - colSmooth(x + 1), gy = rowSmooth(y - 1) - rowSmooth(y + 1);
    return (int)(sqrt((double)(gx * gx + gy * gy)) / 8);
}

int WideKx(int dx, int dy)
{
    if (dx == 0)
        return 0;
    int k = (int)floor(100 / sqrt((double)(dx * dx + dy * dy)) + 0.5);
    return dx > 0 ? k : -k;
}

class EdgeEffectTest : public EffectModuleTest {};

TEST_F(EdgeEffectTest, GradientMagnitudeMatchesTheSeparableSobel)
{
    MakeMixedPicture();
    Rect r{2, 1, 13, 10};
    std::vector<uint32_t> dest;
    ASSERT_EQ(Run("Fxhaze Operater R", r, &dest), 1);
    ExpectPixels("fxhaze", r, dest, [](const Picture &p, const Rect &, int x, int y) {
        uint32_t c = p.At(x, y);
        return Out{true, Argb(A(c), SeparableSobel(p, x, y, 2), SeparableSobel(p, x, y, 1), SeparableSobel(p, x, y, 0))};
    });
    // A black-to-white step: 4 x 255 across it, so 127 on both sides of it; 0 in the flat parts.
    MakePicture(8, 4, [](int x, int) { return x < 4 ? 0xFF000000u : 0xFFFFFFFFu; });
    ASSERT_EQ(Run("Fxhaze Operater R", Rect{0, 0, 7, 3}, &dest), 1);
    for (int x = 0; x < 8; x++)
        EXPECT_EQ(dest[8 + x], x == 3 || x == 4 ? 0xFF7F7F7Fu : 0xFF000000u) << x;
}

TEST_F(EdgeEffectTest, DrawingWeighsEdgesAndStepsTheGreyByBrightness)
{
    MakeMixedPicture();
    Rect r{1, 2, 14, 9};
    struct Case {
        const char *p0, *p1;
        int threshold, tone;
    } cases[] = {{"30", "150", 30, 150}, {"0", "100", 0, 100}, {"120", "60", 120, 60}};
    for (const Case &c : cases) {
        Params({c.p0, c.p1});
        std::vector<uint32_t> dest;
        ASSERT_EQ(Run("Fxalbaration", r, &dest), 1);
        double e = 100.0 / c.tone;
        int l1 = (int)(pow(128 / 255.0, e) * 255), l2 = (int)(pow(96 / 255.0, e) * 255), l3 = (int)(pow(64 / 255.0, e) * 255);
        ExpectPixels("fxalba", r, dest, [&](const Picture &p, const Rect &, int x, int y) {
            int edge = 0;
            for (int k = 0; k < 3; k++) {
                int gx, gy;
                Gradient3(p, x, y, k, &gx, &gy);
                edge = std::max(edge, (int)(sqrt((double)(gx * gx + gy * gy)) / 8));
            }
            int w = edge < c.threshold ? 255 : edge < c.threshold + 10 ? 255 - (edge - c.threshold) * 255 / 10 : 0;
            int y0 = Luma(p.At(x, y));
            int level = y0 > l1 ? 255 : y0 > l2 ? 128 : y0 > l3 ? 64 : 0;
            int g = w * level / 256;
            return Out{true, Argb(A(p.At(x, y)), g, g, g)};
        });
    }
    // Flat areas take the grey level of their brightness: 200 is above the first level at 100.
    MakePicture(5, 5, [](int, int) { return 0x80C8C8C8u; });
    Params({"10", "100"});
    std::vector<uint32_t> dest;
    ASSERT_EQ(Run("Fxalbaration", Rect{0, 0, 4, 4}, &dest), 1);
    EXPECT_EQ(dest[12], 0x80FEFEFEu); // 255 x 255 / 256
}

TEST_F(EdgeEffectTest, WideKernelsHaveTheirKnownRowsAndSums)
{
    // The middle and outer rows of the kernel, from -5 to 5, and the sums by radius.
    const int middle[11] = {-20, -25, -33, -50, -100, 0, 100, 50, 33, 25, 20};
    const int outer[11] = {-14, -16, -17, -19, -20, 0, 20, 19, 17, 16, 14};
    for (int dx = -5; dx <= 5; dx++) {
        EXPECT_EQ(WideKx(dx, 0), middle[dx + 5]) << dx;
        EXPECT_EQ(WideKx(dx, -5), outer[dx + 5]) << dx;
        EXPECT_EQ(WideKx(dx, 5), outer[dx + 5]) << dx;
    }
    const int sums[6] = {0, 484, 1084, 1726, 2376, 3048};
    for (int r = 0; r <= 5; r++) {
        int n = 0;
        for (int dy = -r; dy <= r; dy++)
            for (int dx = -r; dx <= r; dx++)
                n += abs(WideKx(dx, dy));
        EXPECT_EQ(n, sums[r]) << r;
    }

    MakeMixedPicture(18, 14);
    Rect rect{3, 2, 15, 12};
    for (int r : {1, 3, 5}) {
        char text[8];
        snprintf(text, sizeof text, "%d", r);
        Params({text});
        std::vector<uint32_t> dest;
        ASSERT_EQ(Run("Wide Operater", rect, &dest), 1);
        ExpectPixels(text, rect, dest, [&](const Picture &p, const Rect &, int x, int y) {
            double gx[3] = {}, gy[3] = {};
            for (int dy = -r; dy <= r; dy++)
                for (int dx = -r; dx <= r; dx++)
                    for (int k = 0; k < 3; k++) {
                        int v = Channel(p.At(x + dx, y + dy), k);
                        gx[k] += v * WideKx(dx, dy);
                        gy[k] += v * WideKx(dy, dx);
                    }
            int c[3];
            for (int k = 0; k < 3; k++)
                c[k] = std::min(255, (int)(sqrt(gx[k] * gx[k] + gy[k] * gy[k]) / sums[r]));
            return Out{true, Argb(A(p.At(x, y)), c[2], c[1], c[0])};
        });
    }
}

TEST_F(EdgeEffectTest, ReliefShadesEachPixelForTheBrightnessSlope)
{
    MakeMixedPicture();
    Rect r{2, 3, 12, 11};
    std::vector<uint32_t> dest;
    ASSERT_EQ(Run("Relief", r, &dest), 1);
    ExpectPixels("relief", r, dest, [](const Picture &p, const Rect &, int x, int y) {
        int gx, gy;
        Gradient3(p, x, y, 3, &gx, &gy);
        uint32_t c = p.At(x, y);
        return Out{true, Argb(A(c), Shade(R(c), gx, gy, 16), Shade(G(c), gx, gy, 16), Shade(B(c), gx, gy, 16))};
    });
    // Flat grey 254 faces the viewer: (0, 0, 16) gives 243 under the default light.
    MakePicture(3, 3, [](int, int) { return 0xFFFEFEFEu; });
    ASSERT_EQ(Run("Relief", Rect{0, 0, 2, 2}, &dest), 1);
    EXPECT_EQ(dest[4], 0xFFF3F3F3u);
}

} // namespace
