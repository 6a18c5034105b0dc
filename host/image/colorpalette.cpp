// The palette of a reduction: median cut over the histogram, and the grid of candidate lists
// through which each colour finds its nearest palette colour.
#include "image/colorreduce.h"
#include <stdlib.h>
#include <string.h>
#include <algorithm>

enum { kGridSide = 32, kGridCells = kGridSide * kGridSide * kGridSide, kSlack = 64 };

// ---- median cut ----

struct CutBox {
    int first, count;
    int64_t pixels;
};

static int CompareR(const void *a, const void *b) { return ((const ColorCount *)a)->r - ((const ColorCount *)b)->r; }
static int CompareG(const void *a, const void *b) { return ((const ColorCount *)a)->g - ((const ColorCount *)b)->g; }
static int CompareB(const void *a, const void *b) { return ((const ColorCount *)a)->b - ((const ColorCount *)b)->b; }

static void SplitBox(ColorCount *entries, CutBox *box, CutBox *added)
{
    ColorCount *e = entries + box->first;
    int lo[3] = {e[0].r, e[0].g, e[0].b}, hi[3] = {e[0].r, e[0].g, e[0].b};
    for (int i = 1; i < box->count; i++) {
        int c[3] = {e[i].r, e[i].g, e[i].b};
        for (int k = 0; k < 3; k++) {
            lo[k] = std::min(lo[k], c[k]);
            hi[k] = std::max(hi[k], c[k]);
        }
    }
    int64_t wr = 77LL * (hi[0] - lo[0]), wg = 150LL * (hi[1] - lo[1]), wb = 29LL * (hi[2] - lo[2]);
    int (*compare)(const void *, const void *) = wr >= wg && wr >= wb ? CompareR : wg < wb ? CompareB : CompareG;
    qsort(e, (size_t)box->count, sizeof(ColorCount), compare);
    int s = 1;
    int64_t sum = e[0].count;
    while (s < box->count - 1 && sum < box->pixels / 2)
        sum += e[s++].count;
    *added = {box->first + s, box->count - s, box->pixels - sum};
    box->count = s;
    box->pixels = sum;
}

PaletteColor *MedianCut(ColorCount *entries, int count, int64_t total, int maxValue, int n)
{
    if (n < 1)
        n = 1;
    PaletteColor *palette = (PaletteColor *)ReduceAlloc(kReduceFailPalette, (int64_t)n * sizeof(PaletteColor));
    CutBox *boxes = (CutBox *)ReduceAlloc(kReduceFailPalette, (int64_t)n * sizeof(CutBox));
    if (!palette || !boxes) {
        free(palette);
        free(boxes);
        return NULL;
    }
    memset(palette, 0, (size_t)n * sizeof(PaletteColor));
    int used = 0;
    if (count > 0)
        boxes[used++] = {0, count, total};
    while (used < n) {
        int b = 0;
        while (b < used && boxes[b].count < 2)
            b++;
        if (b == used)
            break;
        SplitBox(entries, &boxes[b], &boxes[used++]);
        std::stable_sort(boxes, boxes + used, [](const CutBox &x, const CutBox &y) { return x.pixels > y.pixels; });
    }
    for (int b = 0; b < used; b++) {
        // Sums of a box reach pixels x 255: 64 bits hold any picture.
        int64_t sum[3] = {0, 0, 0}, pixels = 0;
        for (int i = boxes[b].first; i < boxes[b].first + boxes[b].count; i++) {
            sum[0] += (int64_t)entries[i].r * entries[i].count;
            sum[1] += (int64_t)entries[i].g * entries[i].count;
            sum[2] += (int64_t)entries[i].b * entries[i].count;
            pixels += entries[i].count;
        }
        if (pixels <= 0)
            continue;
        palette[b].r = (int32_t)std::min<int64_t>(sum[0] / pixels, maxValue);
        palette[b].g = (int32_t)std::min<int64_t>(sum[1] / pixels, maxValue);
        palette[b].b = (int32_t)std::min<int64_t>(sum[2] / pixels, maxValue);
    }
    free(boxes);
    return palette;
}

// ---- nearest-colour grid ----

static int64_t Distance(int64_t r, int64_t g, int64_t b, const PaletteColor &p)
{
    int64_t dr = r - p.r, dg = g - p.g, db = b - p.b;
    return dr * dr + dg * dg + db * db;
}

bool BuildNearestGrid(NearestGrid *grid, const PaletteColor *palette, int n)
{
    grid->palette = palette;
    grid->candidates = NULL;
    grid->first = (uint32_t *)ReduceAlloc(kReduceFailGrid, (int64_t)(kGridCells + 1) * 4);
    int64_t *nearest = (int64_t *)ReduceAlloc(kReduceFailGrid, (int64_t)kGridCells * 8);
    if (!grid->first || !nearest) {
        free(nearest);
        FreeNearestGrid(grid);
        return false;
    }
    // Two passes: the size of every list, then the lists.
    uint32_t total = 0;
    for (int cell = 0; cell < kGridCells; cell++) {
        int i = cell >> 10, j = (cell >> 5) & 31, k = cell & 31;
        int64_t r = 16 * (i - 8), g = 16 * (j - 8), b = 16 * (k - 8);
        int64_t d = kNoCandidate;
        for (int p = 0; p < n; p++)
            d = std::min(d, Distance(r, g, b, palette[p]));
        nearest[cell] = d;
        grid->first[cell] = total;
        for (int p = 0; p < n; p++)
            if (Distance(r, g, b, palette[p]) < d + kSlack)
                total++;
    }
    grid->first[kGridCells] = total;
    grid->candidates = (uint8_t *)ReduceAlloc(kReduceFailGrid, total);
    if (!grid->candidates) {
        free(nearest);
        FreeNearestGrid(grid);
        return false;
    }
    for (int cell = 0; cell < kGridCells; cell++) {
        int i = cell >> 10, j = (cell >> 5) & 31, k = cell & 31;
        int64_t r = 16 * (i - 8), g = 16 * (j - 8), b = 16 * (k - 8);
        uint8_t *out = grid->candidates + grid->first[cell];
        for (int p = 0; p < n; p++)
            if (Distance(r, g, b, palette[p]) < nearest[cell] + kSlack)
                *out++ = (uint8_t)p;
    }
    free(nearest);
    return true;
}

static int ClampCell(int v)
{
    return v < 0 ? 0 : v > kGridSide - 1 ? kGridSide - 1 : v;
}

int64_t LookupNearest(const NearestGrid *grid, int r, int g, int b, int i, int j, int k, int *index)
{
    int cell = ClampCell(i + 8) << 10 | ClampCell(j + 8) << 5 | ClampCell(k + 8);
    int64_t best = kNoCandidate;
    *index = 0;
    const uint8_t *c = grid->candidates + grid->first[cell], *end = grid->candidates + grid->first[cell + 1];
    for (bool found = false; c < end; c++) {
        int64_t d = Distance(r, g, b, grid->palette[*c]);
        if (!found || d < best) {
            best = d;
            *index = *c;
            found = true;
        }
    }
    return best;
}

void FreeNearestGrid(NearestGrid *grid)
{
    free(grid->first);
    free(grid->candidates);
    grid->first = NULL;
    grid->candidates = NULL;
}
