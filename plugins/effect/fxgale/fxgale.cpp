// Round soften: a mean over a round window whose weights fall off like a cone, each neighbour
// counted by its opacity as well, so that transparent pixels do not darken the edge of a shape.
#include "neighbours.h"
#include <math.h>

// Radii above this are taken as it: a window of 201 x 201 already averages a large neighbourhood.
enum { kMaxSoftenRadius = 100 };

// The cone weights of the radius, row by row: 16 r - trunc(16 x distance), not below 0; their sum.
long long BuildConeWeights(int radius, int *weights)
{
    long long sum = 0;
    int side = 2 * radius + 1;
    for (int dy = -radius; dy <= radius; dy++)
        for (int dx = -radius; dx <= radius; dx++) {
            int w = 16 * radius - (int)(16 * sqrt((double)(dx * dx + dy * dy)));
            w = w > 0 ? w : 0;
            weights[(dy + radius) * side + dx + radius] = w;
            sum += w;
        }
    return sum;
}

int SoftenEffect(QZ_EFFECT_ARGS)
{
    fx::Area a = QZ_EFFECT_AREA;
    int r = fx::ParamIn(0, 0, kMaxSoftenRadius);
    if (r < 1) // no window: every pixel as it was
        return fx::RunRows(a, [](uint32_t c) { return c; }, 1);
    int side = 2 * r + 1;
    int *weights = fx::Allocate<int>((unsigned long long)side * side);
    fx::Band band;
    if (!weights || !band.Open(a, r)) {
        free(weights);
        return 0;
    }
    long long total = BuildConeWeights(r, weights);
    int result = fx::RunPixels(
        a, [&](int y) { band.MoveTo(y); },
        [&](int x, int y, uint32_t *c) {
            long long sr = 0, sg = 0, sb = 0, sa = 0;
            for (int dy = -r; dy <= r; dy++) {
                const uint32_t *row = band.Row(y + dy) + ((long long)x - a.left + r);
                const int *w = weights + (dy + r) * side + r;
                for (int dx = -r; dx <= r; dx++) {
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
