/* A stand-in save plug-in for the PNG format (filter "*.PNG"): writes 24- and 32-bit pictures as PNG
 * files of stored deflate blocks. Variants chosen at build time:
 *   PS_FILTER="<text>"      another filter text (information text 2);
 *   PS_FAIL_AFTER=<n>       every call after the first n writes half a file and reports failure;
 *   PS_FAIL_QUIETLY         with PS_FAIL_AFTER: writes nothing at all and still reports success. */
#include "ovrin.h"
#include "pngstored.h"
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#ifndef PS_FILTER
#define PS_FILTER "*.PNG"
#endif

static const char *const kInfo[] = {"00XN", "PNG stored writer", PS_FILTER, "PNG"};
static int s_calls;

QZC_EXPORT(int) GetAddinInfo(int n, char *buffer, int length)
{
    if (n < 0 || n > 3 || length <= 0)
        return 0;
    int size = (int)strlen(kInfo[n]);
    if (size >= length)
        size = length - 1;
    memcpy(buffer, kInfo[n], (size_t)size);
    buffer[size] = 0;
    return size;
}

QZC_EXPORT(int) SupportImage(void) { return 0x60; }

/* The picture's rows top row first as R, G, B (, A); a positive height means bottom-up rows. */
static uint8_t *TopDownRows(const BITMAPINFOHEADER *info, const uint8_t *bits, int *channels)
{
    int w = info->biWidth, h = info->biHeight < 0 ? -info->biHeight : info->biHeight;
    int bytes = info->biBitCount / 8;
    size_t row = ((size_t)w * bytes + 3) / 4 * 4;
    *channels = bytes;
    uint8_t *out = (uint8_t *)malloc((size_t)w * h * bytes);
    if (!out)
        return NULL;
    for (int y = 0; y < h; y++) {
        const uint8_t *src = bits + (size_t)(info->biHeight > 0 ? h - 1 - y : y) * row;
        uint8_t *dst = out + (size_t)y * w * bytes;
        for (int x = 0; x < w; x++, src += bytes, dst += bytes) {
            dst[0] = src[2], dst[1] = src[1], dst[2] = src[0];
            if (bytes == 4)
                dst[3] = src[3];
        }
    }
    return out;
}

QZC_EXPORT(int) WritePicture(const char *path, int reserved, BITMAPINFOHEADER *info, void *bits,
                             QzProgressProc progress, int optionCount, char **options)
{
    if (info->biBitCount != 24 && info->biBitCount != 32)
        return 1;
    int channels, h = info->biHeight < 0 ? -info->biHeight : info->biHeight;
    s_calls++;
#ifdef PS_FAIL_AFTER
    if (s_calls > PS_FAIL_AFTER) {
#ifdef PS_FAIL_QUIETLY
        return 0;
#else
        FILE *half = fopen(path, "wb");
        if (half) {
            fputs("\x89PNG\r\n", half);
            fclose(half);
        }
        return 1;
#endif
    }
#endif
    if (progress)
        progress(0, h, 0);
    uint8_t *rows = TopDownRows(info, (const uint8_t *)bits, &channels);
    size_t size = 0;
    uint8_t *png = rows ? PngBuild(rows, info->biWidth, h, channels, &size) : NULL;
    free(rows);
    if (!png)
        return 1;
    FILE *f = fopen(path, "wb");
    int ok = f && fwrite(png, 1, size, f) == size;
    if (f && fclose(f) != 0)
        ok = 0;
    free(png);
    if (progress)
        progress(h, h, 0);
    return ok ? 0 : 1;
}
