// Water wave: the picture seen through a transparent surface of crossed waves, shaded by the light.
#include "refract.h"

int WaterEffect(QZ_EFFECT_ARGS)
{
    fx::Area a = QZ_EFFECT_AREA;
    double amplitude = fx::Param(0) / 100.0, n = fx::Param(2) / 100.0, k = 0;
    bool wavy = fx::WaveNumber(fx::Param(1), &k);
    LightingFunction light = QzsGetLightingSub();
    if (progress)
        progress(0, fx::RowCount(a), 0);
    return fx::RunPixels(
        a, fx::NoRowStart,
        [&](int x, int y, uint32_t *c) {
            double px = (double)x - a.left, py = (double)y - a.top, u = px * k, v = py * k;
            double depth = amplitude * amplitude * (1 + sin(v)) * (1 + cos(u)) + 10;
            double gx = amplitude * k * sin(u) * (1 + cos(v)), gy = amplitude * k * sin(v) * (1 + cos(u));
            if (!wavy || !fx::RefractedPixel(a, light, x, y, gx, gy, 1.0, 1.0, depth, n, px, py, c))
                *c = fx::Source(a, x, y);
            return true;
        },
        0, true);
}

QZ_EFFECT_ENTRY(WaterEffect)
