// RGB adjustment: each channel through its own curve pow(i / 255, p / 100), rounded.
#include "effectmain.h"
#include <math.h>

void BuildChannelCurve(int p, int table[256])
{
    double e = p / 100.0;
    for (int i = 0; i < 256; i++) {
        double v = pow(i / 255.0, e);
        table[i] = (int)((v < 1.0 ? v : 1.0) * 255.0 + 0.5);
    }
}

int RgbAdjustEffect(QZ_EFFECT_ARGS)
{
    int tr[256], tg[256], tb[256];
    BuildChannelCurve(fx::Param(0), tr);
    BuildChannelCurve(fx::Param(1), tg);
    BuildChannelCurve(fx::Param(2), tb);
    return fx::RunRows(QZ_EFFECT_AREA,
                       [&](uint32_t c) { return fx::WithRgb(c, tr[fx::Red(c)], tg[fx::Green(c)], tb[fx::Blue(c)]); });
}

QZ_EFFECT_ENTRY(RgbAdjustEffect)
