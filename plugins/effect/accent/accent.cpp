// Accent: each channel pushed away from the other two by a strength from a table of seven.
#include "effectmain.h"

static const double kStrength[7] = {1.25, 1.5, 1.75, 2.0, 2.5, 3.0, 4.0};

// A strength index outside the table takes the nearest end of it.
double AccentStrength(int p0)
{
    return kStrength[fx::Clamp(p0, 0, 6)];
}

static int Clamp255(int v) { return fx::Clamp(v, 0, 255); }

int AccentEffect(QZ_EFFECT_ARGS)
{
    double f = AccentStrength(fx::Param(0));
    if (progress)
        progress(0, fx::RowCount(QZ_EFFECT_AREA), 0);
    int a = (int)(256 * f), b = (int)(256 * (f - 1) / 2);
    return fx::RunRows(
        QZ_EFFECT_AREA,
        [a, b](uint32_t c) {
            int r = fx::Red(c), g = fx::Green(c), bl = fx::Blue(c);
            return fx::WithRgb(c, Clamp255((a * r - b * g - b * bl) / 256), Clamp255((a * g - b * r - b * bl) / 256),
                               Clamp255((a * bl - b * r - b * g) / 256));
        },
        0, true);
}

QZ_EFFECT_ENTRY(AccentEffect)
