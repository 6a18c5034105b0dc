// Gradient magnitude of each channel over the 3 x 3 neighbourhood: edges light up, flat areas go
// black.
#include "sobel.h"
#include <math.h>

int HazeEffect(QZ_EFFECT_ARGS)
{
    fx::Area a = QZ_EFFECT_AREA;
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
            *c = fx::WithRgb(band.At(x, y), fx::SobelMagnitude(gx[2], gy[2]), fx::SobelMagnitude(gx[1], gy[1]),
                             fx::SobelMagnitude(gx[0], gy[0]));
            return true;
        },
        0, true);
}

QZ_EFFECT_ENTRY(HazeEffect)
