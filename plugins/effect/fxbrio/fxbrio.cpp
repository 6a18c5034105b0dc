// Sepia colour: the luma of each pixel through three curves whose exponents grow from red to blue.
#include "effectmain.h"
#include <math.h>

static void BuildCurve(double exponent, int table[256])
{
    for (int i = 0; i < 256; i++) {
        double v = pow(i / 255.0, exponent);
        table[i] = (int)((v < 1.0 ? v : 1.0) * 255.0 + 0.5);
    }
}

void BuildSepiaTables(int p0, int red[256], int green[256], int blue[256])
{
    double e = (160 - (long long)p0) / 100.0;
    BuildCurve(e, red);
    BuildCurve(1.5 * e, green);
    BuildCurve(3.0 * e, blue);
}

int SepiaEffect(QZ_EFFECT_ARGS)
{
    int tr[256], tg[256], tb[256];
    BuildSepiaTables(fx::Param(0), tr, tg, tb);
    return fx::RunRows(QZ_EFFECT_AREA, [&](uint32_t c) {
        int y = fx::Luma(fx::Red(c), fx::Green(c), fx::Blue(c));
        return fx::WithRgb(c, tr[y], tg[y], tb[y]);
    });
}

QZ_EFFECT_ENTRY(SepiaEffect)
