// PICT version 2 writer: 8-bit pictures as packed indexes with a colour table, others as packed
// direct pixels in red, green and blue planes. Every number is written big-endian.
#include "ovrin/qzcall.h"
#include "ovrin/qzrecords.h"
#include "rowpack.h"
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

enum { kWritten = 0, kNoMemory = 1, kCannotCreate = 2, kBadPicture = 3, kWriteError = 4 };

static const char *const kInfo[4] = {"00XN", "PICT Saver Ver0.01 By D'q", "*.PCT", "PCT"};

QZC_EXPORT(int) GetAddinInfo(int n, char *buffer, int length)
{
    if (n < 0 || n > 3)
        return 0;
    int size = (int)strlen(kInfo[n]);
    if (buffer && length > 0)
        strncpy(buffer, kInfo[n], (size_t)length);
    return size;
}

QZC_EXPORT(int) SupportImage(void) { return 0x28; }

struct Out {
    FILE *f;
    bool ok;
    long pixelBytes;
    void Bytes(const void *p, size_t n) { ok = ok && fwrite(p, 1, n, f) == n; }
    void U16(unsigned v)
    {
        uint8_t b[2] = {(uint8_t)(v >> 8), (uint8_t)v};
        Bytes(b, 2);
    }
    void U32(uint32_t v)
    {
        U16(v >> 16);
        U16(v & 0xFFFF);
    }
    void Rect(int top, int left, int bottom, int right)
    {
        U16((unsigned)top);
        U16((unsigned)left);
        U16((unsigned)bottom);
        U16((unsigned)right);
    }
};

static void WriteHeader(Out &o, int w, int h, int dpi, bool indexed, int rowBytes, const RGBQUAD *palette)
{
    uint8_t zero[512] = {};
    o.Bytes(zero, sizeof zero);
    o.U16(0);
    o.Rect(0, 0, h * 72 / dpi, w * 72 / dpi);
    o.U16(0x0011);
    o.U16(0x02FF);
    o.U16(0x0C00);
    o.U32(0xFFFE0000u);
    o.U32((uint32_t)dpi << 16);
    o.U32((uint32_t)dpi << 16);
    o.Rect(0, 0, h, w);
    o.U32(0);
    o.U16(0x0001);
    o.U16(10);
    o.Rect(0, 0, h, w);
    o.U16(indexed ? 0x0098 : 0x009A);
    if (!indexed)
        o.U32(0x000000FF);
    o.U16((unsigned)rowBytes | 0x8000);
    o.Rect(0, 0, h, w);
    o.U16(0);
    o.U16(indexed ? 0 : 4);
    o.U32(0);
    o.U32((uint32_t)dpi << 16);
    o.U32((uint32_t)dpi << 16);
    o.U16(indexed ? 0 : 16);
    o.U16(indexed ? 8 : 32);
    o.U16(indexed ? 1 : 3);
    o.U16(8);
    o.U32(0);
    o.U32(0);
    o.U32(0);
    if (indexed) {
        o.U32(8);
        o.U16(0);
        o.U16(255);
        // 16-bit components: the 8-bit value in the high byte and repeated in the low byte, so that
        // readers that scale the component get the value back exactly.
        for (int i = 0; i < 256; i++) {
            o.U16((unsigned)i);
            o.U16(palette[i].rgbRed * 257u);
            o.U16(palette[i].rgbGreen * 257u);
            o.U16(palette[i].rgbBlue * 257u);
        }
    }
    o.Rect(0, 0, h, w);
    o.Rect(0, 0, h, w);
    o.U16(64);
}

// One picture row (y from the top) as the bytes a row holds before packing.
static size_t GatherRow(const uint8_t *bits, int w, int h, int depth, int y, uint8_t *row, bool unpackedDirect)
{
    int stride = depth == 8 ? (w + 3) / 4 * 4 : depth == 24 ? (3 * w + 3) / 4 * 4 : 4 * w;
    int step = depth / 8;
    const uint8_t *src = bits + (size_t)(h - 1 - y) * stride;
    if (depth == 8) {
        memcpy(row, src, (size_t)w);
        return (size_t)w;
    }
    for (int x = 0; x < w; x++) {
        const uint8_t *p = src + (size_t)x * step;
        if (unpackedDirect) {
            row[4 * x] = 0;
            row[4 * x + 1] = p[2];
            row[4 * x + 2] = p[1];
            row[4 * x + 3] = p[0];
        } else {
            row[x] = p[2];
            row[w + x] = p[1];
            row[2 * w + x] = p[0];
        }
    }
    return unpackedDirect ? 4 * (size_t)w : 3 * (size_t)w;
}

QZC_EXPORT(int) WritePicture(const char *path, int reserved, BITMAPINFOHEADER *info, void *bits,
                             QzProgressProc progress, int optionCount, char **options)
{
    if (!path || !info || !bits)
        return kBadPicture;
    int w = info->biWidth, h = info->biHeight, depth = info->biBitCount;
    // The picture's sizes go into 16-bit fields.
    if (w <= 0 || h <= 0 || h > 0x7FFF || w > (depth == 8 ? 0x7FFF : 0x7FFF / 4) ||
        (depth != 8 && depth != 24 && depth != 32))
        return kBadPicture;
    int dpi = options && options[0] ? atoi(options[0]) : 0;
    if (dpi < 1)
        dpi = 72;
    bool indexed = depth == 8;
    int rowBytes = indexed ? w : 4 * w;
    uint8_t *packed = (uint8_t *)malloc((size_t)rowBytes + rowBytes / 128 + 1);
    uint8_t *row = (uint8_t *)malloc((size_t)rowBytes);
    if (!packed || !row) {
        free(packed);
        free(row);
        return kNoMemory; // before the file is created: nothing at the path is touched
    }
    Out o = {fopen(path, "wb"), true, 0};
    if (!o.f) {
        free(packed);
        free(row);
        return kCannotCreate;
    }
    const RGBQUAD *palette = (const RGBQUAD *)((const uint8_t *)info + info->biSize);
    WriteHeader(o, w, h, dpi, indexed, rowBytes, palette);
    long start = ftell(o.f);
    for (int y = 0; y < h && o.ok; y++) {
        size_t n = GatherRow((const uint8_t *)bits, w, h, depth, y, row, !indexed && rowBytes < 8);
        if (rowBytes < 8) {
            o.Bytes(row, n);
        } else {
            size_t length = PackRow(row, n, packed);
            if (rowBytes > 250)
                o.U16((unsigned)length);
            else {
                uint8_t count = (uint8_t)length;
                o.Bytes(&count, 1);
            }
            o.Bytes(packed, length);
        }
        if (progress)
            progress(indexed ? y : h - 1 - y, h, 0);
    }
    if (progress)
        progress(h, h, 0);
    if ((ftell(o.f) - start) & 1)
        o.Bytes("", 1);
    o.U16(0x00FF);
    free(packed);
    free(row);
    if (fclose(o.f) != 0)
        o.ok = false;
    return o.ok ? kWritten : kWriteError;
}
