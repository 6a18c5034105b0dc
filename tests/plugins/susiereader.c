/* A stand-in outside image reader ("*.spi"), one module per variant, chosen at build time:
 *   SR_PNG     reads PNG files of stored deflate blocks, from a file or from memory (never past
 *              the length given: without one nothing is read);
 *   SR_PPM     reads binary PPM (P6, 8 bits) files;
 *   SR_AS_24   delivers a PNG with alpha as a 24-bit picture (the alpha dropped);
 *   SR_ARCHIVE says it is an archive extractor (version text "00AM");
 *   SR_OMIT_<entry> leaves that entry point out.
 * Pictures are handed back as two movable memory blocks: the header and the bottom-up rows. */
#include "ovrin/qzreader.h"
#include "pngstored.h"
#include <stdlib.h>
#include <string.h>

/* Variants without one entry point leave helpers unused. */
#define SR_HELPER __attribute__((unused)) static

enum { kCancelled = 1, kUnknownFormat = 2, kBroken = 3, kNoMemory = 4, kFileError = 6 };

#ifdef SR_ARCHIVE
SR_HELPER const char *const kInfo[] = {"00AM", "Test archive", "*.tar", "Tape archive"};
#elif defined(SR_PPM)
SR_HELPER const char *const kInfo[] = {"00IN", "Test PPM reader", "*.ppm", "Portable pixmap"};
#else
SR_HELPER const char *const kInfo[] = {"00IN", "Test PNG reader", "*.png", "PNG stored"};
#endif

#ifndef SR_OMIT_GetPluginInfo
QZC_EXPORT(int) GetPluginInfo(int n, char *buffer, int length)
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
#endif

#ifdef SR_PPM
/* PPM header fields: numbers separated by blanks, "#" comments; the offset after the last one. */
SR_HELPER int PpmNumber(const uint8_t *data, size_t limit, size_t *at, int *value)
{
    for (;;) {
        while (*at < limit && strchr(" \t\r\n", data[*at]))
            (*at)++;
        if (*at < limit && data[*at] == '#') {
            while (*at < limit && data[*at] != '\n')
                (*at)++;
            continue;
        }
        break;
    }
    long v = 0;
    size_t start = *at;
    while (*at < limit && data[*at] >= '0' && data[*at] <= '9' && v < 1000000)
        v = v * 10 + (data[(*at)++] - '0');
    *value = (int)v;
    return *at > start;
}

SR_HELPER uint8_t *PpmParse(const uint8_t *data, size_t limit, int *width, int *height, int *channels)
{
    size_t at = 2;
    int maxValue;
    if (limit < 3 || data[0] != 'P' || data[1] != '6' || !PpmNumber(data, limit, &at, width) ||
        !PpmNumber(data, limit, &at, height) || !PpmNumber(data, limit, &at, &maxValue) || maxValue != 255 ||
        *width <= 0 || *height <= 0 || *width > 32768 || *height > 32768 || at >= limit)
        return NULL;
    at++; /* the one blank after the maximum */
    size_t n = (size_t)*width * *height * 3;
    if (limit - at < n)
        return NULL;
    uint8_t *pixels = (uint8_t *)malloc(n);
    if (pixels)
        memcpy(pixels, data + at, n);
    *channels = 3;
    return pixels;
}
#endif

SR_HELPER int Recognise(const uint8_t *head)
{
#ifdef SR_PPM
    return head[0] == 'P' && head[1] == '6' && strchr(" \t\r\n", head[2]) && head[2];
#else
    return PngHasSignature(head);
#endif
}

#ifndef SR_OMIT_IsSupported
QZC_EXPORT(int) IsSupported(const char *name, ULONG_PTR fileOrAddress)
{
    uint8_t head[16] = {0};
    if ((ULONG_PTR)name == fileOrAddress) {
        memcpy(head, (const void *)fileOrAddress, sizeof head); /* the host lends at least 2 KB */
    } else {
        DWORD got = 0;
        if (!ReadFile((HANDLE)fileOrAddress, head, sizeof head, &got, NULL))
            return 0;
    }
    return Recognise(head);
}
#endif

/* The whole file from offset on, in a malloc'd buffer. */
SR_HELPER uint8_t *ReadWholeFile(const char *path, LONG_PTR offset, size_t *size)
{
    HANDLE f = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (f == INVALID_HANDLE_VALUE)
        return NULL;
    LARGE_INTEGER length;
    uint8_t *data = NULL;
    if (GetFileSizeEx(f, &length) && length.QuadPart >= offset && length.QuadPart - offset < (1 << 30)) {
        *size = (size_t)(length.QuadPart - offset);
        LARGE_INTEGER to;
        to.QuadPart = offset;
        DWORD got = 0;
        data = (uint8_t *)calloc(*size + 16, 1); /* room for the signature test of a short file */
        if (data && (!SetFilePointerEx(f, to, NULL, FILE_BEGIN) || !ReadFile(f, data, (DWORD)*size, &got, NULL) ||
                     got != *size)) {
            free(data);
            data = NULL;
        }
    }
    CloseHandle(f);
    return data;
}

/* Top-down rows of 3 or 4 bytes a pixel (R, G, B, A) into a DIB pair with bottom-up rows. */
SR_HELPER int MakeDib(const uint8_t *pixels, int w, int h, int channels, HANDLE *info, HANDLE *bits,
                   SusieProgressProc progress, LONG_PTR data)
{
    int depth = channels == 4 ? 32 : 24;
#ifdef SR_AS_24
    depth = 24;
#endif
    size_t row = ((size_t)w * (depth / 8) + 3) / 4 * 4;
    HGLOBAL hh = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(BITMAPINFOHEADER));
    HGLOBAL hb = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, row * h);
    if (!hh || !hb) {
        if (hh)
            GlobalFree(hh);
        if (hb)
            GlobalFree(hb);
        return kNoMemory;
    }
    BITMAPINFOHEADER *bih = (BITMAPINFOHEADER *)GlobalLock(hh);
    bih->biSize = sizeof *bih;
    bih->biWidth = w;
    bih->biHeight = h;
    bih->biPlanes = 1;
    bih->biBitCount = (WORD)depth;
    GlobalUnlock(hh);
    uint8_t *out = (uint8_t *)GlobalLock(hb);
    int result = 0;
    if (progress && progress(0, h, data))
        result = kCancelled;
    for (int y = 0; y < h && !result; y++) {
        const uint8_t *src = pixels + (size_t)y * w * channels;
        uint8_t *dst = out + (size_t)(h - 1 - y) * row;
        for (int x = 0; x < w; x++, src += channels, dst += depth / 8) {
            dst[0] = src[2], dst[1] = src[1], dst[2] = src[0];
            if (depth == 32)
                dst[3] = src[3];
        }
        if (progress && progress(y + 1, h, data))
            result = kCancelled;
    }
    GlobalUnlock(hb);
    if (result) {
        GlobalFree(hh);
        GlobalFree(hb);
        return result;
    }
    *info = hh;
    *bits = hb;
    return 0;
}

#ifndef SR_OMIT_GetPicture
QZC_EXPORT(int) GetPicture(const char *source, LONG_PTR offsetOrLength, unsigned int flag, HANDLE *info,
                           HANDLE *bits, SusieProgressProc progress, LONG_PTR data)
{
    const uint8_t *bytes;
    uint8_t *file = NULL;
    size_t limit;
    if ((flag & 7) == 0) {
        file = ReadWholeFile(source, offsetOrLength, &limit);
        if (!file)
            return kFileError;
        bytes = file;
    } else {
        if (offsetOrLength <= 0)
            return kBroken; /* no bound, no read */
        bytes = (const uint8_t *)source;
        limit = (size_t)offsetOrLength;
    }
    int w = 0, h = 0, channels = 0, known = limit >= 8 && Recognise(bytes); /* 8: the longest signature read */
#ifdef SR_PPM
    uint8_t *pixels = PpmParse(bytes, limit, &w, &h, &channels);
#else
    uint8_t *pixels = known ? PngParse(bytes, limit, &w, &h, &channels) : NULL;
#endif
    free(file);
    if (!pixels)
        return known ? kBroken : kUnknownFormat;
    int result = MakeDib(pixels, w, h, channels, info, bits, progress, data);
    free(pixels);
    return result;
}
#endif
