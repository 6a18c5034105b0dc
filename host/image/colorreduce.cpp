// Colour reduction: the mapping of every pixel to its palette index, with optional error
// diffusion.
#include "image/colorreduce.h"
#include "image/cdib.h"
#include "base/app.h"
#include "base/msgbox.h"
#include <stdlib.h>
#include <string.h>
#include <algorithm>

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
