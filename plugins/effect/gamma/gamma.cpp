// Gamma correction: every channel through pow(i / 255, 100 / p0) x 255, truncated.
#include "effectmain.h"
#include <math.h>

void BuildGammaTable(int p0, int table[256])
{
    // A gamma of 0 or below has no curve: such a value leaves the pixels as they are.
    for (int i = 0; i < 256; i++)
        table[i] = p0 > 0 ? (int)(pow(i / 255.0, 1.0 / (p0 / 100.0)) * 255.0) : i;
}

int GammaEffect(QZ_EFFECT_ARGS)
{
    fx::Area a = QZ_EFFECT_AREA;
    if (progress)
        progress(0, fx::RowCount(a), 0);
    int t[256];
    BuildGammaTable(fx::Param(0), t);
    return fx::RunRows(
        a, [&t](uint32_t c) { return fx::WithRgb(c, t[fx::Red(c)], t[fx::Green(c)], t[fx::Blue(c)]); }, 0, true);
}

QZ_EFFECT_ENTRY(GammaEffect)
