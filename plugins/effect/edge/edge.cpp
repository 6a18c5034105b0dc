// Gradient magnitude over a wide window: an 11 x 11 pair of kernels weighing each neighbour by the
// inverse of its distance, used over the central part of the chosen radius.
#include "neighbours.h"
#include <math.h>
#include <stdlib.h>

enum { kMaxRadius = 5, kSide = 2 * kMaxRadius + 1 };

// Kx at the offset (dx, dy): 0 on the middle column, else sign(dx) x round(100 / distance).
int WideKernelX(int dx, int dy)
{
    if (dx == 0)
        return 0;
    int k = (int)(100 / sqrt((double)(dx * dx + dy * dy)) + 0.5);
    return dx > 0 ? k : -k;
}

// The sum of |Kx| over the window of the radius, which scales the magnitude back to a channel.
int WideKernelSum(int radius)
{
    int n = 0;
    for (int dy = -radius; dy <= radius; dy++)
        for (int dx = -radius; dx <= radius; dx++)
            n += abs(WideKernelX(dx, dy));
    return n;
}

int WideEdgeEffect(QZ_EFFECT_ARGS)
{
    fx::Area a = QZ_EFFECT_AREA;
    int r = fx::ParamIn(0, 0, kMaxRadius);
    int n = WideKernelSum(r);
    double kx[kSide][kSide], ky[kSide][kSide];
    for (int dy = -r; dy <= r; dy++)
        for (int dx = -r; dx <= r; dx++) {
            kx[dy + r][dx + r] = WideKernelX(dx, dy);
            ky[dy + r][dx + r] = WideKernelX(dy, dx);
        }
    if (progress)
        progress(0, fx::RowCount(a), 0);
    fx::Band band;
    if (!band.Open(a, r))
        return 0;
    return fx::RunPixels(
        a, [&](int y) { band.MoveTo(y); },
        [&](int x, int y, uint32_t *c) {
            uint32_t own = band.At(x, y);
            if (n == 0) { // the centre alone has no gradient
                *c = fx::WithRgb(own, 0, 0, 0);
                return true;
            }
            double gx[3] = {0, 0, 0}, gy[3] = {0, 0, 0};
            for (int dy = -r; dy <= r; dy++) {
                const uint32_t *row = band.Row(y + dy);
                long long at = (long long)x - a.left + r;
                for (int dx = -r; dx <= r; dx++) {
                    uint32_t p = row[at + dx];
                    double wx = kx[dy + r][dx + r], wy = ky[dy + r][dx + r];
                    for (int k = 0; k < 3; k++) {
                        double v = (double)(p >> (8 * k) & 255);
                        gx[k] += v * wx;
                        gy[k] += v * wy;
                    }
                }
            }
            int out[3];
            for (int k = 0; k < 3; k++) {
                int m = (int)(sqrt(gx[k] * gx[k] + gy[k] * gy[k]) / n);
                out[k] = m > 255 ? 255 : m;
            }
            *c = fx::WithRgb(own, out[2], out[1], out[0]);
            return true;
        },
        0, true);
}

QZ_EFFECT_ENTRY(WideEdgeEffect)
