// Skin colour: pixels brighter than the picture's mean whose hue and saturation look like skin are
// smoothed towards their like-coloured neighbours and brightened; all others are left alone.
#include "neighbours.h"
#include <stdlib.h>

// How much a hue (0..3071, red at 0) looks like skin, 0..255: full around orange, none from a
// little past it; hues just below a full turn count as just below red.
int SkinHueWeight(int hue)
{
    double h = hue > 2800 ? hue - 3060 : hue;
    double d = h > 145 ? h - 145 : 145 - h;
    if (d < 145)
        return 255;
    if (d > 205)
        return 0;
    return (int)(255 - (d - 145) * 255 / 60);
}

// Full for saturations above 70, growing as the colour pales below it (past 255 below 30).
int SkinSaturationWeight(int saturation)
{
    return saturation > 70 ? 255 : 128 - (127 * saturation - 8890) / 40;
}

int SkinColorEffect(QZ_EFFECT_ARGS)
{
    fx::Area a = QZ_EFFECT_AREA;
    int gain = fx::Param(0);
    int r = fx::Param(1); // below 0: no neighbours, the mean is the pixel itself
    // The band of source rows the neighbourhood needs, or nothing is done.
    fx::Band band;
    if (!band.Open(a, r > 0 ? r : 0))
        return 0;
    // The mean brightness of the rectangle.
    long long sum = 0, count = 0;
    for (long long y = a.top; y <= a.bottom; y++)
        for (long long x = a.left; x <= a.right; x++, count++) {
            uint32_t c = fx::Source(a, (int)x, (int)y);
            sum += fx::Luma(fx::Red(c), fx::Green(c), fx::Blue(c));
        }
    long long mean = count ? sum / count : 0;
    if (progress)
        progress(0, fx::RowCount(a), 0);
    return fx::RunPixels(
        a, [&](int y) { band.MoveTo(y); },
        [&](int x, int y, uint32_t *out) {
            uint32_t own = band.At(x, y);
            *out = own;
            int red = fx::Red(own), green = fx::Green(own), blue = fx::Blue(own);
            int h, s, v;
            QzsRGBtoHSV(red, green, blue, &h, &s, &v);
            if (v <= mean)
                return true;
            int w = SkinHueWeight(h) * SkinSaturationWeight(s) / 255;
            if (w == 0)
                return true;
            long long sr = 0, sg = 0, sb = 0, n = 0;
            for (long long dy = -(long long)r; dy <= r; dy++) {
                const uint32_t *row = band.Row(y + dy) + ((long long)x - a.left + r);
                for (long long dx = -(long long)r; dx <= r; dx++) {
                    uint32_t p = row[dx];
                    if (abs(fx::Red(p) - red) < 20 && abs(fx::Green(p) - green) < 20 && abs(fx::Blue(p) - blue) < 20) {
                        sr += fx::Red(p), sg += fx::Green(p), sb += fx::Blue(p);
                        n++;
                    }
                }
            }
            long long mr = n ? sr / n : red, mg = n ? sg / n : green, mb = n ? sb / n : blue;
            // Pale colours weigh past 255 and so go beyond the mean: kept to channel values.
            auto blend = [w](long long m, int c) { return fx::Clamp((w * m + (255 - w) * (long long)c) / 255, 0, 255); };
            QzsRGBtoHSV(blend(mr, red), blend(mg, green), blend(mb, blue), &h, &s, &v);
            v = fx::Clamp(v + (long long)w * gain / 255, 0, 511);
            QzsHSVtoRGB(h, s, v, &red, &green, &blue);
            *out = fx::WithRgb(own, red, green, blue);
            return true;
        },
        0, true);
}

QZ_EFFECT_ENTRY(SkinColorEffect)
