// Colour reduction: histogram, median cut, nearest-colour grid and the mapping with optional error
// diffusion.
#include "image/colorreduce.h"
#include "image/cdib.h"
#include "base/app.h"
#include "base/msgbox.h"
#include <stdlib.h>
#include <string.h>
#include <algorithm>

enum { kBuckets = 6553, kGridSide = 32, kGridCells = kGridSide * kGridSide * kGridSide, kSlack = 64 };

static int s_failPart;

void SetReductionFailure(int part)
{
    s_failPart = part;
}

static void *ReduceAlloc(int part, int64_t bytes)
{
    if (s_failPart == part || bytes < 0 || (uint64_t)bytes > (uint64_t)SIZE_MAX)
        return NULL;
    return malloc(bytes > 0 ? (size_t)bytes : 1);
}

void ReadPicturePixel(const BITMAPINFO *header, const void *bits, int x, int y, uint8_t c[4])
{
    const BITMAPINFOHEADER *h = &header->bmiHeader;
    if (h->biBitCount == 16) {
        int64_t row = (int64_t)GetRowLength(h->biWidth, 16) * 2;
        const uint8_t *p = (const uint8_t *)bits + (h->biHeight - 1 - (int64_t)y) * row + 2 * (int64_t)x;
        uint32_t v = p[0] | p[1] << 8;
        c[0] = (uint8_t)(((v << 3) & 0xF8) | 7);
        c[1] = (uint8_t)(((v >> 2) & 0xF8) | 7);
        c[2] = (uint8_t)(((v >> 7) & 0xF8) | 7);
    } else {
        GetDIBPixel(header, bits, x, y, c);
    }
    c[3] = 255;
}

// Visits the pixels, top row first, as r, g, b, while visit answers true.
template <typename Visit> static void ForEachPixel(const BITMAPINFOHEADER *header, const void *pixels, Visit visit)
{
    int w = header->biWidth, h = header->biHeight;
    if (header->biBitCount == 32) {
        // 32-bit stores are held top row first, without padding.
        const uint32_t *p = (const uint32_t *)pixels;
        for (int64_t i = 0, n = (int64_t)w * h; i < n; i++) {
            uint32_t v = p[i];
            if (!visit((int)(v >> 16) & 255, (int)(v >> 8) & 255, (int)v & 255))
                return;
        }
        return;
    }
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            uint8_t c[4];
            ReadPicturePixel((const BITMAPINFO *)header, pixels, x, y, c);
            if (!visit(c[2], c[1], c[0]))
                return;
        }
}

// ---- histogram ----

static int BucketOf(int r, int g, int b)
{
    return (int)(((uint32_t)(r * 33023 + g * 30013 + b * 27011) & 0x7FFFFFFFu) % kBuckets);
}

struct HistogramTable {
    uint32_t *keys, *counts, *slots; // slots: node index + 1, 0 free
    uint64_t *sums;                  // r, g, b sums per node, under a coarse key only
    int used, capacity, slotMask;
};

static void FreeTable(HistogramTable *t)
{
    free(t->keys);
    free(t->counts);
    free(t->slots);
    free(t->sums);
}

// 1 counted, 0 no memory, -1 more distinct keys than the table takes.
static int CountUnderKey(const BITMAPINFOHEADER *header, const void *pixels, int bits, HistogramTable *t)
{
    int64_t pixelsTotal = (int64_t)header->biWidth * header->biHeight;
    t->capacity = (int)std::min<int64_t>(kMaxHistogramColors, pixelsTotal);
    int slots = 16;
    while (slots < 2 * t->capacity)
        slots *= 2;
    t->slotMask = slots - 1;
    t->used = 0;
    t->keys = (uint32_t *)ReduceAlloc(kReduceFailHistogram, (int64_t)t->capacity * 4);
    t->counts = (uint32_t *)ReduceAlloc(kReduceFailHistogram, (int64_t)t->capacity * 4);
    t->slots = (uint32_t *)ReduceAlloc(kReduceFailHistogram, (int64_t)slots * 4);
    t->sums = bits < 8 ? (uint64_t *)ReduceAlloc(kReduceFailHistogram, (int64_t)t->capacity * 24) : NULL;
    if (!t->keys || !t->counts || !t->slots || (bits < 8 && !t->sums))
        return 0;
    memset(t->slots, 0, (size_t)slots * 4);
    if (t->sums)
        memset(t->sums, 0, (size_t)t->capacity * 24);
    uint32_t m = (0xFFu << (8 - bits)) & 0xFFu;
    uint32_t keyMask = m << 16 | m << 8 | m;
    bool full = false;
    ForEachPixel(header, pixels, [&](int r, int g, int b) {
        uint32_t key = ((uint32_t)r << 16 | (uint32_t)g << 8 | (uint32_t)b) & keyMask;
        uint32_t s = (key * 2654435761u >> 7) & (uint32_t)t->slotMask;
        while (t->slots[s] && t->keys[t->slots[s] - 1] != key)
            s = (s + 1) & (uint32_t)t->slotMask;
        int node;
        if (t->slots[s]) {
            node = (int)t->slots[s] - 1;
            t->counts[node]++;
        } else {
            if (t->used == t->capacity) {
                full = true;
                return false;
            }
            node = t->used++;
            t->slots[s] = (uint32_t)node + 1;
            t->keys[node] = key;
            t->counts[node] = 1;
        }
        if (t->sums) {
            t->sums[3 * node] += (uint64_t)r;
            t->sums[3 * node + 1] += (uint64_t)g;
            t->sums[3 * node + 2] += (uint64_t)b;
        }
        return true;
    });
    return full ? -1 : 1;
}

// The entries in the order of a 6553-bucket table whose new colours are pushed at the head of
// their bucket: bucket 0 first, each bucket newest first.
static ColorCount *EntriesInBucketOrder(const HistogramTable *t)
{
    ColorCount *entries = (ColorCount *)ReduceAlloc(kReduceFailHistogram, (int64_t)t->used * sizeof(ColorCount));
    int *bucket = (int *)ReduceAlloc(kReduceFailHistogram, (int64_t)t->used * sizeof(int));
    int *start = (int *)calloc(kBuckets + 1, sizeof(int));
    if (!entries || !bucket || !start) {
        free(entries);
        free(bucket);
        free(start);
        return NULL;
    }
    for (int i = 0; i < t->used; i++) {
        ColorCount &e = entries[i];
        uint32_t c = t->counts[i];
        if (t->sums) {
            // The mean colour of the pixels the coarse key stands for, rounded.
            e.r = (int32_t)((t->sums[3 * i] + c / 2) / c);
            e.g = (int32_t)((t->sums[3 * i + 1] + c / 2) / c);
            e.b = (int32_t)((t->sums[3 * i + 2] + c / 2) / c);
        } else {
            e.r = (int32_t)(t->keys[i] >> 16 & 255);
            e.g = (int32_t)(t->keys[i] >> 8 & 255);
            e.b = (int32_t)(t->keys[i] & 255);
        }
        e.count = (int32_t)c;
        bucket[i] = BucketOf(e.r, e.g, e.b);
        start[bucket[i] + 1]++;
    }
    for (int b = 0; b < kBuckets; b++)
        start[b + 1] += start[b];
    ColorCount *ordered = (ColorCount *)ReduceAlloc(kReduceFailHistogram, (int64_t)t->used * sizeof(ColorCount));
    if (ordered)
        for (int i = t->used - 1; i >= 0; i--)
            ordered[start[bucket[i]]++] = entries[i];
    free(entries);
    free(bucket);
    free(start);
    return ordered;
}

ColorCount *ColorHistogram(const BITMAPINFOHEADER *header, const void *pixels, int, int *count, int *bits)
{
    *count = 0;
    if (bits)
        *bits = 8;
    if (!header || !pixels || header->biWidth <= 0 || header->biHeight <= 0)
        return NULL;
    for (int keyBits = 8; keyBits >= 6; keyBits--) {
        HistogramTable t = {};
        int counted = CountUnderKey(header, pixels, keyBits, &t);
        if (counted < 0) {
            FreeTable(&t);
            continue; // too many colours: a coarser key
        }
        ColorCount *entries = counted ? EntriesInBucketOrder(&t) : NULL;
        if (entries) {
            *count = t.used;
            if (bits)
                *bits = keyBits;
        }
        FreeTable(&t);
        return entries;
    }
    return NULL; // six bits a channel always fit
}

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

// ---- mapping ----

// The palette index of a colour: the 8 cells around it, red outermost; the strictly nearest wins.
static int NearestIndex(const NearestGrid *grid, int r, int g, int b)
{
    int best = 0;
    int64_t bestDistance = 0;
    bool found = false;
    // Division truncates toward zero, also for diffused values below 0.
    int i0 = r / 16, j0 = g / 16, k0 = b / 16;
    for (int a = 0; a < 2; a++)
        for (int c = 0; c < 2; c++)
            for (int e = 0; e < 2; e++) {
                int index;
                int64_t d = LookupNearest(grid, r, g, b, i0 + a, j0 + c, k0 + e, &index);
                if (!found || d < bestDistance) {
                    bestDistance = d;
                    best = index;
                    found = true;
                }
            }
    return best;
}

// The palette of a picture with no more colours than entries holds each of them exactly: such a
// picture keeps its colours. The grid alone would not always give them: a colour near the middle
// of a grid cube can be in none of the candidate lists around it when other colours sit close to
// the cube's corners.
struct ExactColors {
    uint32_t keys[512]; // colour | 1 << 24, 0 free
    uint8_t index[512];
};

static void BuildExactColors(ExactColors *exact, const PaletteColor *palette, int n)
{
    memset(exact, 0, sizeof *exact);
    for (int p = 0; p < n; p++) {
        uint32_t key = (uint32_t)palette[p].r << 16 | (uint32_t)palette[p].g << 8 | (uint32_t)palette[p].b | 1u << 24;
        uint32_t s = (key * 2654435761u) >> 23;
        while (exact->keys[s] && exact->keys[s] != key)
            s = (s + 1) & 511;
        if (!exact->keys[s]) {
            exact->keys[s] = key;
            exact->index[s] = (uint8_t)p;
        }
    }
}

static int FindExactColor(const ExactColors *exact, int r, int g, int b)
{
    uint32_t key = (uint32_t)r << 16 | (uint32_t)g << 8 | (uint32_t)b | 1u << 24;
    for (uint32_t s = (key * 2654435761u) >> 23; exact->keys[s]; s = (s + 1) & 511)
        if (exact->keys[s] == key)
            return exact->index[s];
    return -1;
}

// Answers of the grid search for colours met before: a picture repeats its colours, and the
// search gives the same index for the same colour every time.
enum { kCacheBits = 16, kCacheSize = 1 << kCacheBits };
struct NearestCache {
    uint32_t keys[kCacheSize]; // colour | 1 << 24, 0 free
    uint8_t index[kCacheSize];
};

static int CachedNearestIndex(NearestCache *cache, const NearestGrid *grid, int r, int g, int b)
{
    if ((unsigned)r > 255 || (unsigned)g > 255 || (unsigned)b > 255)
        return NearestIndex(grid, r, g, b); // a diffused value beyond the cube
    uint32_t key = (uint32_t)r << 16 | (uint32_t)g << 8 | (uint32_t)b | 1u << 24;
    uint32_t slot = (key * 2654435761u) >> (32 - kCacheBits);
    if (cache->keys[slot] != key) {
        cache->keys[slot] = key;
        cache->index[slot] = (uint8_t)NearestIndex(grid, r, g, b);
    }
    return cache->index[slot];
}

static void ReportNoMemory()
{
    AppMessageBox(g_mainWindow, "ERR", "MES", MB_OK);
}

int ReduceColors(const BITMAPINFOHEADER *sourceHeader, const void *sourcePixels, BITMAPINFO *destHeader,
                 void *destPixels, int n, int diffuse, QzProgressProc progress)
{
    if (!sourceHeader || !sourcePixels || !destHeader || !destPixels)
        return 0;
    int w = sourceHeader->biWidth, h = sourceHeader->biHeight;
    if (w <= 0 || h <= 0)
        return 1;
    if (GetRowLength(w, 8) < 0) {
        ReportNoMemory(); // no store of that width exists
        return 0;
    }
    n = n < 1 ? 1 : n > 256 ? 256 : n;
    int count, bits;
    ColorCount *entries = ColorHistogram(sourceHeader, sourcePixels, 0, &count, &bits);
    if (!entries) {
        ReportNoMemory();
        return 0;
    }
    PaletteColor *palette = MedianCut(entries, count, (int64_t)w * h, 255, n);
    free(entries);
    // Every pixel then finds its own colour: nothing is left to diffuse.
    ExactColors exactColors;
    bool exact = palette && bits == 8 && count <= n;
    if (exact) {
        BuildExactColors(&exactColors, palette, n < count ? n : count);
        diffuse = 0;
    }
    NearestGrid grid = {};
    int *errors = NULL;
    NearestCache *cache = (NearestCache *)ReduceAlloc(kReduceFailGrid, sizeof(NearestCache));
    if (cache)
        memset(cache->keys, 0, sizeof cache->keys);
    bool ok = palette && cache && BuildNearestGrid(&grid, palette, n);
    if (ok && diffuse) {
        errors = (int *)ReduceAlloc(kReduceFailErrorRows, ((int64_t)w + 1) * 6 * (int64_t)sizeof(int));
        ok = errors != NULL;
        if (errors)
            memset(errors, 0, ((size_t)w + 1) * 6 * sizeof(int));
    }
    if (!ok) {
        ReportNoMemory();
        FreeNearestGrid(&grid);
        free(cache);
        free(palette);
        return 0;
    }
    // Current and next rows of red, green and blue errors, width + 1 entries each.
    int *current[3], *next[3];
    for (int k = 0; k < 3 && errors; k++) {
        current[k] = errors + (int64_t)k * (w + 1);
        next[k] = errors + (int64_t)(k + 3) * (w + 1);
    }
    int64_t row = GetRowLength(w, 8); // the caller's store was made by the same rule
    bool wide = sourceHeader->biBitCount == 32;
    for (int y = 0; y < h; y++) {
        uint8_t *out = (uint8_t *)destPixels + (int64_t)(h - 1 - y) * row;
        const uint32_t *in = wide ? (const uint32_t *)sourcePixels + (int64_t)y * w : NULL;
        for (int x = 0; x < w; x++) {
            int v[3];
            if (in) {
                v[0] = (int)(in[x] >> 16) & 255, v[1] = (int)(in[x] >> 8) & 255, v[2] = (int)in[x] & 255;
            } else {
                uint8_t c[4];
                ReadPicturePixel((const BITMAPINFO *)sourceHeader, sourcePixels, x, y, c);
                v[0] = c[2], v[1] = c[1], v[2] = c[0];
            }
            if (errors)
                for (int k = 0; k < 3; k++)
                    v[k] += current[k][x] / 8;
            int index = exact ? FindExactColor(&exactColors, v[0], v[1], v[2]) : -1;
            if (index < 0)
                index = CachedNearestIndex(cache, &grid, v[0], v[1], v[2]);
            out[x] = (uint8_t)index;
            if (errors) {
                const int p[3] = {palette[index].r, palette[index].g, palette[index].b};
                for (int k = 0; k < 3; k++) {
                    int e = v[k] - p[k];
                    current[k][x + 1] += 3 * e;
                    next[k][x] += 3 * e;
                    next[k][x + 1] += 2 * e;
                }
            }
        }
        if (errors)
            for (int k = 0; k < 3; k++) {
                std::swap(current[k], next[k]);
                memset(next[k], 0, (size_t)w * sizeof(int));
                // What went past the row's end comes back at its start.
                current[k][0] += current[k][w];
                next[k][0] += next[k][w];
                current[k][w] = next[k][w] = 0;
            }
        if (progress)
            progress(y + 1, h + 1, 0);
    }
    for (int i = 0; i < n; i++) {
        destHeader->bmiColors[i].rgbRed = (BYTE)palette[i].r;
        destHeader->bmiColors[i].rgbGreen = (BYTE)palette[i].g;
        destHeader->bmiColors[i].rgbBlue = (BYTE)palette[i].b;
    }
    FreeNearestGrid(&grid);
    free(cache);
    free(palette);
    free(errors);
    return 1;
}
