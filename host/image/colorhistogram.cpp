// The colour histogram of a picture, bounded in size, and the allocations of the reduction.
#include "image/colorreduce.h"
#include "image/cdib.h"
#include <stdlib.h>
#include <string.h>
#include <algorithm>

enum { kBuckets = 6553 };

static int s_failPart;

void SetReductionFailure(int part)
{
    s_failPart = part;
}

void *ReduceAlloc(int part, int64_t bytes)
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
