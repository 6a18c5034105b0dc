// A black-and-white drawing: strong edges black, flat areas in four grey levels by brightness.
#include "sobel.h"
#include <math.h>

struct AlbaLevels {
    int l1, l2, l3;
};

// The brightness levels for the tone exponent 100 / p1; p1 below 1 has no exponent and is taken
// as 1.
AlbaLevels AlbaLevelsFor(int p1)
{
    double e = 1 / (fx::Clamp(p1, 1, INT32_MAX) / 100.0);
    return {(int)(pow(128 / 255.0, e) * 255), (int)(pow(96 / 255.0, e) * 255), (int)(pow(64 / 255.0, e) * 255)};
}

int AlbaEffect(QZ_EFFECT_ARGS)
{
    fx::Area a = QZ_EFFECT_AREA;
    // Edges reach 180 at most: thresholds past either end behave as the ends.
    int threshold = fx::ParamIn(0, -16, 256);
    AlbaLevels levels = AlbaLevelsFor(fx::Param(1));
    if (progress)
        progress(0, fx::RowCount(a), 0);
    fx::Band band;
    if (!band.Open(a, 1))
        return 0;
    return fx::RunPixels(
        a, [&](int y) { band.MoveTo(y); },
        [&](int x, int y, uint32_t *c) {
            int gx[3], gy[3];
            fx::SobelChannels(band, x, y, gx, gy);
            int e = 0;
            for (int k = 0; k < 3; k++) {
                int m = fx::SobelMagnitude(gx[k], gy[k]);
                e = m > e ? m : e;
            }
            int w = e < threshold ? 255 : e < threshold + 10 ? 255 - (e - threshold) * 255 / 10 : 0;
            uint32_t own = band.At(x, y);
            int luma = fx::Luma(fx::Red(own), fx::Green(own), fx::Blue(own));
            int level = luma > levels.l1 ? 255 : luma > levels.l2 ? 128 : luma > levels.l3 ? 64 : 0;
            int g = w * level / 256;
            *c = fx::WithRgb(own, g, g, g);
            return true;
        },
        0, true);
}

QZ_EFFECT_ENTRY(AlbaEffect)
