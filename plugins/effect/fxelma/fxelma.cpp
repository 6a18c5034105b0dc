// Texture: the picture seen through a transparent surface of randomly sunk round bumps, shaded by
// the light. The bumps come from the module's own generator, which starts afresh only when the
// module is loaded, so every run after the first gives a new texture.
#include "refract.h"

namespace {

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
// The domes reach 16 r, which the caller keeps within int range.
void BuildBump(int r, int *bump)
{
    long long side = 2 * (long long)r + 1, r2 = (long long)r * r;
    for (long long dy = -r; dy <= r; dy++)
        for (long long dx = -r; dx <= r; dx++) {
            long long d2 = dx * dx + dy * dy, c = 0;
            if (d2 < r2)
                c = (long long)(16 * sqrt((double)(r2 - d2)) + 0.5);
            bump[(dy + r) * side + dx + r] = (int)(c > 0 ? c : 0);
        }
}

// Bumps dropped at random centres, each sunk by a random depth below 16 r, on a map whose edges
// wrap around. False when a cell would pass the int range.
bool RaiseBumps(HeightMap &map, const int *bump, int r, int density)
{
    long long side = 2 * (long long)r + 1, chance = 200 * (long long)r + 100, sink = 16 * (long long)r;
    for (long long i = 0; i < map.width * map.height; i++)
        map.cells[i] = 0;
    for (long long row = 0; row < map.height; row++)
        for (long long column = 0; column < map.width; column++) {
            if (Random() % chance >= density)
                continue;
            int depth = (int)(Random() % sink);
            for (long long dy = -r; dy <= r; dy++) {
                int *cells = map.cells + Wrap(row + dy, map.height) * map.width;
                const int *dome = bump + (dy + r) * side + r;
                for (long long dx = -r; dx <= r; dx++) {
                    int h = dome[dx] - depth;
                    if (h <= 0)
                        continue;
                    int &cell = cells[Wrap(column + dx, map.width)];
                    if (cell > INT32_MAX - h)
                        return false;
                    cell += h;
                }
            }
        }
    return true;
}

} // namespace

int TextureEffect(QZ_EFFECT_ARGS)
{
    fx::Area a = QZ_EFFECT_AREA;
    int r = fx::Param(0), density = fx::Param(1), e = fx::Param(2);
    double n = fx::Param(3) / 100.0;
    long long width = (long long)right - left + 1, height = (long long)bottom - top + 1;
    if (r < 1 || e < 1 || width < 1 || height < 1) // no bumps or no slope to take: nothing moves
        return fx::RunRows(a, [](uint32_t c) { return c; });
    // The bump table and the height map must be had, the domes (16 r) and every cell of the map
    // held as ints; otherwise nothing is done.
    long long side = 2 * (long long)r + 1;
    int *bump = 16 * (long long)r <= INT32_MAX ? fx::Allocate<int>(side, side) : NULL;
    int *cells = fx::Allocate<int>(height, width);
    if (!bump || !cells) {
        free(bump);
        free(cells);
        return 0;
    }
    LightingFunction light = QzsGetLightingSub();
    BuildBump(r, bump);
    HeightMap map = {cells, width, height};
    bool held = RaiseBumps(map, bump, r, density);
    free(bump);
    if (!held) {
        free(cells);
        return 0;
    }
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
