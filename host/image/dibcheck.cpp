// Checking a handed-over DIB against its bytes, and its plain copy.
#include "image/dibcheck.h"
#include "image/dibconvert.h"
#include <limits.h>
#include <stdlib.h>
#include <string.h>

enum { kInfoHeaderBytes = 40, kHeaderWithMasks = 52 };

// Bytes of masks that follow a 40-byte header; larger headers hold the masks themselves.
static size_t MaskBytesAfterHeader(const BITMAPINFOHEADER *h)
{
    return h->biCompression == BI_BITFIELDS && h->biSize == kInfoHeaderBytes ? 12 : 0;
}

static int TableEntries(const BITMAPINFOHEADER *h)
{
    if (h->biBitCount <= 8) {
        DWORD full = 1u << h->biBitCount;
        return h->biClrUsed == 0 ? (int)full : h->biClrUsed <= full ? (int)h->biClrUsed : -1;
    }
    return h->biClrUsed <= 256 ? (int)h->biClrUsed : -1; // an optional table nobody reads
}

static bool HeaderIsConvertible(const BITMAPINFOHEADER *h)
{
    int d = h->biBitCount;
    bool plainDepth = d == 1 || d == 4 || d == 8 || d == 16 || d == 24 || d == 32;
    bool fields = h->biCompression == BI_BITFIELDS;
    if (!plainDepth || (h->biCompression != BI_RGB && !fields) || (fields && d != 16 && d != 32))
        return false;
    if (fields && h->biSize != kInfoHeaderBytes && h->biSize < kHeaderWithMasks)
        return false;
    return h->biWidth > 0 && h->biHeight != 0 && h->biHeight != INT_MIN && TableEntries(h) >= 0;
}

int CheckDibPair(const void *header, size_t headerBytes, const void *bits, size_t bitsBytes, DibLayout *out)
{
    memset(out, 0, sizeof *out);
    if (!header || !bits || headerBytes < kInfoHeaderBytes)
        return 0;
    const BITMAPINFOHEADER *h = (const BITMAPINFOHEADER *)header;
    if (h->biSize < kInfoHeaderBytes || h->biSize > headerBytes || !HeaderIsConvertible(h))
        return 0;
    const uint8_t *base = (const uint8_t *)header;
    size_t maskBytes = MaskBytesAfterHeader(h);
    int entries = TableEntries(h);
    uint64_t tableEnd = (uint64_t)h->biSize + maskBytes + (uint64_t)entries * 4;
    if (tableEnd > headerBytes)
        return 0;
    int height = h->biHeight < 0 ? -h->biHeight : h->biHeight;
    int64_t rowBytes = GetDibRowBytes(h->biWidth, h->biBitCount);
    if (rowBytes <= 0 || (uint64_t)height > (uint64_t)bitsBytes / (uint64_t)rowBytes)
        return 0;
    out->header = h;
    if (h->biBitCount <= 8) {
        out->palette = (const RGBQUAD *)(base + h->biSize + maskBytes);
        out->entries = entries;
    }
    if (h->biCompression == BI_BITFIELDS) {
        memcpy(out->masks, base + kInfoHeaderBytes, sizeof out->masks);
        out->bitFields = true;
    }
    out->bits = (const uint8_t *)bits;
    out->width = h->biWidth;
    out->height = height;
    out->depth = h->biBitCount;
    out->topDown = h->biHeight < 0;
    out->rowBytes = rowBytes;
    return 1;
}

int CheckPackedDib(const void *block, size_t bytes, DibLayout *out)
{
    memset(out, 0, sizeof *out);
    if (!block || bytes < kInfoHeaderBytes)
        return 0;
    const BITMAPINFOHEADER *h = (const BITMAPINFOHEADER *)block;
    if (h->biSize < kInfoHeaderBytes || h->biSize > bytes || !HeaderIsConvertible(h))
        return 0;
    uint64_t offset = (uint64_t)h->biSize + MaskBytesAfterHeader(h) + (uint64_t)TableEntries(h) * 4;
    if (offset > bytes)
        return 0;
    return CheckDibPair(block, (size_t)offset, (const uint8_t *)block + offset, bytes - (size_t)offset, out);
}

bool IsPlainDib(const DibLayout &dib)
{
    return !dib.topDown && !dib.bitFields;
}

// One channel of a bit-field pixel scaled to 8 bits.
static uint8_t FieldValue(uint32_t pixel, uint32_t mask)
{
    if (!mask)
        return 0;
    int shift = 0;
    while (!((mask >> shift) & 1))
        shift++;
    uint32_t field = mask >> shift;
    int width = 0;
    while (width < 32 && ((field >> width) & 1))
        width++;
    uint32_t value = (pixel & mask) >> shift;
    if (width >= 8)
        return (uint8_t)(value >> (width - 8));
    return (uint8_t)(value * 255 / ((1u << width) - 1));
}

static void ConvertFieldRow(uint8_t *out, const uint8_t *src, const DibLayout &dib)
{
    for (int x = 0; x < dib.width; x++) {
        uint32_t v;
        if (dib.depth == 16)
            v = (uint32_t)src[2 * x] | (uint32_t)src[2 * x + 1] << 8;
        else
            memcpy(&v, src + 4 * x, 4);
        out[4 * x] = FieldValue(v, dib.masks[2]);
        out[4 * x + 1] = FieldValue(v, dib.masks[1]);
        out[4 * x + 2] = FieldValue(v, dib.masks[0]);
        out[4 * x + 3] = 255;
    }
}

uint8_t *MakePlainPackedDib(const DibLayout &dib, size_t *bytes)
{
    *bytes = 0;
    if (!dib.header)
        return NULL;
    int depth = dib.bitFields ? 32 : dib.depth;
    int64_t row = GetDibRowBytes(dib.width, depth);
    int entries = dib.depth <= 8 ? dib.entries : 0;
    int64_t head = kInfoHeaderBytes + (int64_t)entries * 4;
    // Nothing larger than the program's biggest pixel store can become an image anyway.
    if (row <= 0 || dib.height > (INT_MAX - head) / row)
        return NULL;
    size_t total = (size_t)(head + row * dib.height);
    uint8_t *block = (uint8_t *)calloc(1, total);
    if (!block)
        return NULL;
    BITMAPINFOHEADER *h = (BITMAPINFOHEADER *)block;
    h->biSize = kInfoHeaderBytes;
    h->biWidth = dib.width;
    h->biHeight = dib.height;
    h->biPlanes = 1;
    h->biBitCount = (WORD)depth;
    h->biCompression = BI_RGB;
    h->biXPelsPerMeter = dib.header->biXPelsPerMeter;
    h->biYPelsPerMeter = dib.header->biYPelsPerMeter;
    h->biClrUsed = (DWORD)entries;
    if (entries)
        memcpy(block + kInfoHeaderBytes, dib.palette, (size_t)entries * 4);
    uint8_t *rows = block + head;
    for (int r = 0; r < dib.height; r++) {
        // r counts from the bottom row; a top-down picture stores that row last.
        int stored = dib.topDown ? dib.height - 1 - r : r;
        const uint8_t *src = dib.bits + (int64_t)stored * dib.rowBytes;
        uint8_t *dst = rows + (int64_t)r * row;
        if (dib.bitFields)
            ConvertFieldRow(dst, src, dib);
        else
            memcpy(dst, src, (size_t)row);
    }
    *bytes = total;
    return block;
}
