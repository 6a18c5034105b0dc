// Relief: the brightness read as a height field and each pixel shaded by the program's light for
// the slope of that field.
#include "sobel.h"
#include "refract.h"

int ReliefEffect(QZ_EFFECT_ARGS)
{
    fx::Area a = QZ_EFFECT_AREA;
    LightingFunction light = QzsGetLightingSub();
    if (progress)
        progress(0, fx::RowCount(a), 0);
    fx::Band band;
    if (!band.Open(a, 1))
        return 0;
    return fx::RunPixels(
        a, [&](int y) { band.MoveTo(y); },
        [&](int x, int y, uint32_t *c) {
            int gx = 0, gy = 0;
            for (int dy = -1; dy <= 1; dy++)
                for (int dx = -1; dx <= 1; dx++) {
                    uint32_t p = band.At(x + dx, y + dy);
                    int luma = fx::Luma(fx::Red(p), fx::Green(p), fx::Blue(p));
                    gx += luma * fx::kSobelX[dy + 1][dx + 1];
                    gy += luma * fx::kSobelY[dy + 1][dx + 1];
                }
            uint32_t own = band.At(x, y);
            double px = (double)x - a.left, py = (double)y - a.top;
            auto shade = [&](int v) { return light ? fx::ClampShade(light(v, gx, gy, 16.0, px, py, 0.0)) : v; };
            *c = fx::WithRgb(own, shade(fx::Red(own)), shade(fx::Green(own)), shade(fx::Blue(own)));
            return true;
        },
        0, true);
}

QZ_EFFECT_ENTRY(ReliefEffect)
