// Corrugated sheet: the picture seen through a transparent sheet with parallel ridges, shaded by
// the light.
#include "refract.h"

int DuneEffect(QZ_EFFECT_ARGS)
{
    fx::Area a = QZ_EFFECT_AREA;
    double amplitude = fx::Param(0) / 100.0, n = fx::Param(3) / 100.0, k = 0;
    bool wavy = fx::WaveNumber(fx::Param(1), &k);
    bool alongRows = fx::Param(2) == 0;
    LightingFunction light = QzsGetLightingSub();
    if (progress)
        progress(0, fx::RowCount(a), 0);
    return fx::RunPixels(
        a, fx::NoRowStart,
        [&](int x, int y, uint32_t *c) {
            double px = (double)x - a.left, py = (double)y - a.top;
            double w = (alongRows ? py : px) * k, slope = -k * amplitude * cos(w);
            double gx = alongRows ? 0 : slope, gy = alongRows ? slope : 0;
            double depth = amplitude * (1 + sin(w)) + 10;
            if (!wavy || !fx::RefractedPixel(a, light, x, y, gx, gy, 1.0, 1.0, depth, n, px, py, c))
                *c = fx::Source(a, x, y);
            return true;
        },
        0, true);
}

QZ_EFFECT_ENTRY(DuneEffect)
