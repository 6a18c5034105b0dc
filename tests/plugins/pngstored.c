#include "pngstored.h"
#include <stdlib.h>
#include <string.h>

static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
enum { kStoredMax = 65535, kMaxSide = 1 << 15 };

static uint32_t Crc(const uint8_t *p, size_t n, uint32_t crc)
{
    crc = ~crc;
    for (size_t i = 0; i < n; i++) {
        crc ^= p[i];
        for (int k = 0; k < 8; k++)
            crc = crc & 1 ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
    }
    return ~crc;
}

static uint32_t Adler(const uint8_t *p, size_t n)
{
    uint32_t a = 1, b = 0;
    for (size_t i = 0; i < n; i++) {
        a = (a + p[i]) % 65521;
        b = (b + a) % 65521;
    }
    return b << 16 | a;
}

static void Be32(uint8_t *p, uint32_t v)
{
    p[0] = (uint8_t)(v >> 24), p[1] = (uint8_t)(v >> 16), p[2] = (uint8_t)(v >> 8), p[3] = (uint8_t)v;
}

static uint32_t GetBe32(const uint8_t *p) { return (uint32_t)p[0] << 24 | p[1] << 16 | p[2] << 8 | p[3]; }

/* One chunk at out: length, type, data, CRC; returns the bytes written. */
static size_t PutChunk(uint8_t *out, const char *type, const uint8_t *data, size_t n)
{
    Be32(out, (uint32_t)n);
    memcpy(out + 4, type, 4);
    if (n)
        memcpy(out + 8, data, n);
    Be32(out + 8 + n, Crc(out + 4, n + 4, 0));
    return n + 12;
}

uint8_t *PngBuild(const uint8_t *pixels, int width, int height, int channels, size_t *size)
{
    size_t rowBytes = (size_t)width * channels, raw = (rowBytes + 1) * height;
    size_t blocks = raw / kStoredMax + 1;
    size_t zlib = 2 + raw + 5 * blocks + 4;
    uint8_t *rows = (uint8_t *)malloc(raw), *z = (uint8_t *)malloc(zlib);
    uint8_t *png = (uint8_t *)malloc(8 + 25 + zlib + 12 + 12);
    if (!rows || !z || !png) {
        free(rows), free(z), free(png);
        return NULL;
    }
    for (int y = 0; y < height; y++) {
        rows[y * (rowBytes + 1)] = 0; /* filter type 0 */
        memcpy(rows + y * (rowBytes + 1) + 1, pixels + y * rowBytes, rowBytes);
    }
    size_t at = 0;
    z[at++] = 0x78;
    z[at++] = 0x01;
    for (size_t done = 0, b = 0; b < blocks; b++) {
        size_t n = raw - done < kStoredMax ? raw - done : kStoredMax;
        z[at++] = b + 1 == blocks ? 1 : 0;
        z[at++] = (uint8_t)n, z[at++] = (uint8_t)(n >> 8);
        z[at++] = (uint8_t)~n, z[at++] = (uint8_t)(~n >> 8);
        memcpy(z + at, rows + done, n);
        at += n, done += n;
    }
    Be32(z + at, Adler(rows, raw));
    at += 4;
    uint8_t ihdr[13] = {0};
    Be32(ihdr, (uint32_t)width);
    Be32(ihdr + 4, (uint32_t)height);
    ihdr[8] = 8;
    ihdr[9] = channels == 4 ? 6 : 2;
    size_t n = 0;
    memcpy(png, kSignature, 8);
    n += 8;
    n += PutChunk(png + n, "IHDR", ihdr, 13);
    n += PutChunk(png + n, "IDAT", z, at);
    n += PutChunk(png + n, "IEND", NULL, 0);
    free(rows);
    free(z);
    *size = n;
    return png;
}

int PngHasSignature(const uint8_t *data) { return memcmp(data, kSignature, 8) == 0; }

/* Inflates stored blocks only; 1 when exactly want bytes came out and the checksum holds. */
static int Inflate(const uint8_t *z, size_t n, uint8_t *out, size_t want)
{
    if (n < 6 || (z[0] & 15) != 8 || (z[0] << 8 | z[1]) % 31 != 0)
        return 0;
    size_t at = 2, got = 0;
    for (;;) {
        if (at + 5 > n || (z[at] & 6) != 0)
            return 0; /* not a stored block */
        int last = z[at] & 1;
        size_t len = z[at + 1] | z[at + 2] << 8, nlen = z[at + 3] | z[at + 4] << 8;
        at += 5;
        if ((len ^ 0xFFFF) != nlen || at + len > n || got + len > want)
            return 0;
        memcpy(out + got, z + at, len);
        at += len, got += len;
        if (last)
            break;
    }
    return got == want && at + 4 <= n && GetBe32(z + at) == Adler(out, want);
}

uint8_t *PngParse(const uint8_t *data, size_t limit, int *width, int *height, int *channels)
{
    if (limit < 8 || !PngHasSignature(data))
        return NULL;
    size_t at = 8, idatBytes = 0;
    uint8_t *idat = NULL;
    int w = 0, h = 0, c = 0, ended = 0;
    while (!ended) {
        if (limit - at < 12)
            break;
        size_t n = GetBe32(data + at);
        if (n > limit - at - 12 || Crc(data + at + 4, n + 4, 0) != GetBe32(data + at + 8 + n))
            break;
        const uint8_t *type = data + at + 4, *body = data + at + 8;
        if (!memcmp(type, "IHDR", 4) && n == 13) {
            w = (int)GetBe32(body), h = (int)GetBe32(body + 4);
            c = body[9] == 6 ? 4 : body[9] == 2 ? 3 : 0;
            if (body[8] != 8 || body[10] || body[11] || body[12] || w <= 0 || h <= 0 || w > kMaxSide ||
                h > kMaxSide)
                c = 0;
        } else if (!memcmp(type, "IDAT", 4)) {
            uint8_t *more = (uint8_t *)realloc(idat, idatBytes + n + 1);
            if (!more)
                break;
            idat = more;
            memcpy(idat + idatBytes, body, n);
            idatBytes += n;
        } else if (!memcmp(type, "IEND", 4)) {
            ended = 1;
        }
        at += n + 12;
    }
    uint8_t *pixels = NULL;
    if (ended && c && idat) {
        size_t rowBytes = (size_t)w * c, raw = (rowBytes + 1) * h;
        uint8_t *rows = (uint8_t *)malloc(raw);
        pixels = (uint8_t *)malloc(rowBytes * h);
        int ok = rows && pixels && Inflate(idat, idatBytes, rows, raw);
        for (int y = 0; ok && y < h; y++) {
            ok = rows[y * (rowBytes + 1)] == 0;
            memcpy(pixels + y * rowBytes, rows + y * (rowBytes + 1) + 1, rowBytes);
        }
        free(rows);
        if (!ok) {
            free(pixels);
            pixels = NULL;
        }
    }
    free(idat);
    *width = w, *height = h, *channels = c;
    return pixels;
}
