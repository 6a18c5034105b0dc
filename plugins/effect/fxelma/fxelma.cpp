// Texture: the picture seen through a transparent surface of randomly sunk round bumps, shaded by
// the light. The bumps come from the module's own generator, which starts afresh only when the
// module is loaded, so every run after the first gives a new texture.
#include "refract.h"

namespace {

// Wider bumps are taken as this radius; the heights then stay well inside int range.
const int kMaxBumpRadius = 128;

uint32_t s_seed = 1;

int Random()
{
    s_seed = s_seed * 1103515245u + 12345u;
    return (int)(s_seed >> 16 & 0x7FFF);
}

long long Wrap(long long v, long long size)
{
    long long m = v % size;
    return m < 0 ? m + size : m;
}

struct HeightMap {
    int *cells;
    long long width, height;
    int At(long long x, long long y) const { return cells[Wrap(y, height) * width + Wrap(x, width)]; }
};

// The dome of one bump, row by row: 16 sqrt(r^2 - d^2), rounded, inside the radius; 0 outside.
void BuildBump(int r, int *bump)
{
    int side = 2 * r + 1;
    for (int dy = -r; dy <= r; dy++)
        for (int dx = -r; dx <= r; dx++) {
            int d2 = dx * dx + dy * dy, c = 0;
            if (d2 < r * r)
                c = (int)(16 * sqrt((double)(r * r - d2)) + 0.5);
            bump[(dy + r) * side + dx + r] = c > 0 ? c : 0;
        }
}

// Bumps dropped at random centres, each sunk by a random depth below 16 r, on a map whose edges
// wrap around.
void RaiseBumps(HeightMap &map, const int *bump, int r, int density)
{
    int side = 2 * r + 1, chance = 200 * r + 100, sink = 16 * r;
    for (long long i = 0; i < (long long)map.width * map.height; i++)
        map.cells[i] = 0;
    for (long long row = 0; row < map.height; row++)
        for (long long column = 0; column < map.width; column++) {
            if (Random() % chance >= density)
                continue;
            int depth = Random() % sink;
            for (int dy = -r; dy <= r; dy++) {
                int *cells = map.cells + Wrap(row + dy, map.height) * map.width;
                for (int dx = -r; dx <= r; dx++) {
                    int h = bump[(dy + r) * side + dx + r] - depth;
                    if (h > 0)
                        cells[Wrap(column + dx, map.width)] += h;
                }
            }
        }
}

} // namespace

int TextureEffect(QZ_EFFECT_ARGS)
{
    fx::Area a = QZ_EFFECT_AREA;
    int r = fx::ParamIn(0, 0, kMaxBumpRadius), density = fx::Param(1), e = fx::Param(2);
    double n = fx::Param(3) / 100.0;
    long long width = (long long)right - left + 1, height = (long long)bottom - top + 1;
    if (r < 1 || e < 1 || width < 1 || height < 1) // no bumps or no slope to take: nothing moves
        return fx::RunRows(a, [](uint32_t c) { return c; });
    int side = 2 * r + 1;
    int *bump = fx::Allocate<int>((unsigned long long)side * side);
    int *cells = fx::Allocate<int>((unsigned long long)width * (unsigned long long)height);
    if (!bump || !cells) {
        free(bump);
        free(cells);
        return 0;
    }
    LightingFunction light = QzsGetLightingSub();
    BuildBump(r, bump);
    HeightMap map = {cells, width, height};
    RaiseBumps(map, bump, r, density);
    free(bump);
    int result = fx::RunPixels(a, fx::NoRowStart, [&](int x, int y, uint32_t *c) {
        long long lx = (long long)x - left, ly = (long long)y - top;
        double gx = -(double)(map.At(lx + e, ly) - map.At(lx - e, ly)) / (2.0 * e);
        double gy = -(double)(map.At(lx, ly + e) - map.At(lx, ly - e)) / (2.0 * e);
        double depth = map.At(lx, ly) / 16.0;
        if (!fx::RefractedPixel(a, light, x, y, gx, gy, 16.0, 16.0, depth, n, (double)lx, (double)ly, c))
            *c = fx::Source(a, x, y);
        return true;
    });
    free(cells);
    return result;
}

QZ_EFFECT_ENTRY(TextureEffect)
