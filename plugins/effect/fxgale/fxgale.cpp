// Round soften: a mean over a round window whose weights fall off like a cone, each neighbour
// counted by its opacity as well, so that transparent pixels do not darken the edge of a shape.
#include "neighbours.h"
#include <math.h>

// The cone weights of the radius, row by row: 16 r - trunc(16 x distance), not below 0; their sum.
long long BuildConeWeights(int radius, int *weights)
{
    long long sum = 0, side = 2 * (long long)radius + 1;
    for (long long dy = -radius; dy <= radius; dy++)
        for (long long dx = -radius; dx <= radius; dx++) {
            long long w = 16 * (long long)radius - (long long)(16 * sqrt((double)(dx * dx + dy * dy)));
            w = w > 0 ? w : 0;
            weights[(dy + radius) * side + dx + radius] = (int)w;
            sum += w;
        }
    return sum;
}

int SoftenEffect(QZ_EFFECT_ARGS)
{
    fx::Area a = QZ_EFFECT_AREA;
    int r = fx::Param(0);
    if (r < 1) // no window: every pixel as it was
        return fx::RunRows(a, [](uint32_t c) { return c; }, 1);
    // The weights reach 16 r and are ints; the table and the band of source rows must be had.
    long long side = 2 * (long long)r + 1;
    int *weights = 16 * (long long)r <= INT32_MAX ? fx::Allocate<int>(side, side) : NULL;
    fx::Band band;
    if (!weights || !band.Open(a, r)) {
        free(weights);
        return 0;
    }
    long long total = BuildConeWeights(r, weights);
    // A channel's sum reaches 255 x 255 x the weights' sum.
    if (total > INT64_MAX / (255 * 255)) {
        free(weights);
        return 0;
    }
    int result = fx::RunPixels(
        a, [&](int y) { band.MoveTo(y); },
        [&](int x, int y, uint32_t *c) {
            long long sr = 0, sg = 0, sb = 0, sa = 0;
            for (long long dy = -(long long)r; dy <= r; dy++) {
                const uint32_t *row = band.Row(y + dy) + ((long long)x - a.left + r);
                const int *w = weights + (dy + r) * side + r;
                for (long long dx = -(long long)r; dx <= r; dx++) {
                    if (!w[dx])
                        continue;
                    uint32_t p = row[dx];
                    long long aw = (long long)(p >> 24) * w[dx];
                    sr += fx::Red(p) * aw;
                    sg += fx::Green(p) * aw;
                    sb += fx::Blue(p) * aw;
                    sa += aw;
                }
            }
            uint32_t own = band.At(x, y);
            uint32_t alpha = (uint32_t)(sa / total);
            if (sa)
                *c = fx::WithRgb(alpha << 24, (int)(sr / sa), (int)(sg / sa), (int)(sb / sa));
            else // the whole window is clear: its own colour
                *c = fx::WithRgb(alpha << 24, fx::Red(own), fx::Green(own), fx::Blue(own));
            return true;
        },
        1);
    free(weights);
    return result;
}

QZ_EFFECT_ENTRY(SoftenEffect)
