// FXT writer: a 16-byte header (magic "CXET", 0, width, height, little-endian), then every
// complete 8 x 4 block of the 32-bit picture coded as FXT1 in 16 bytes, block rows from the first
// stored row (the bottom row of the picture), blocks left to right. Pixels of incomplete blocks at
// the right and top edges are not written.
#include "ovrin/qzcall.h"
#include "ovrin/qzrecords.h"
#include "fxt1.h"
#include <stdio.h>
#include <string.h>

// Results: 0 written; 1 for a picture that is not 32-bit; every other failure (an uncreatable
// file, a bad picture, a write error) is nonzero too, so that the host keeps the old file.
enum { kWritten = 0, kNotSupported = 1, kCannotCreate = 2, kBadPicture = 3, kWriteError = 4 };

static const char *const kInfo[4] = {"00XN", "FXT Saver Ver0.01 By Dq", "*.FXT", "FXT"};

QZC_EXPORT(int) GetAddinInfo(int n, char *buffer, int length)
{
    if (n < 0 || n > 3)
        return 0;
    int size = (int)strlen(kInfo[n]);
    if (buffer && length > 0)
        strncpy(buffer, kInfo[n], (size_t)length);
    return size;
}

QZC_EXPORT(int) SupportImage(void) { return 0x40; }

static void PutLe32(uint8_t *p, uint32_t v)
{
    for (int i = 0; i < 4; i++)
        p[i] = (uint8_t)(v >> (8 * i));
}

QZC_EXPORT(int) WritePicture(const char *path, int reserved, BITMAPINFOHEADER *info, void *bits,
                             QzProgressProc progress, int optionCount, char **options)
{
    if (!path || !info)
        return kBadPicture;
    // Checked before the file is created, so that nothing at the path is touched.
    if (info->biBitCount != 32) {
        MessageBoxA(NULL, "Not support!", "ERR", MB_OK);
        return kNotSupported;
    }
    int w = info->biWidth, h = info->biHeight;
    if (w < 0 || h < 0)
        return kBadPicture; // top-down pixel rows never come from the host
    int columns = w / 8, rows = h / 4;
    if (columns > 0 && rows > 0 && !bits)
        return kBadPicture;
    FILE *f = fopen(path, "wb");
    if (!f)
        return kCannotCreate;
    if (progress)
        progress(0, 0, 0);
    uint8_t header[16] = {0x43, 0x58, 0x45, 0x54};
    PutLe32(header + 4, 0);
    PutLe32(header + 8, (uint32_t)w);
    PutLe32(header + 12, (uint32_t)h);
    bool ok = fwrite(header, 1, sizeof header, f) == sizeof header;
    const size_t stride = 4 * (size_t)w; // 32-bit rows need no padding
    for (int by = 0; by < rows && ok; by++)
        for (int bx = 0; bx < columns && ok; bx++) {
            Fxt1Texels texels;
            Fxt1Gather((const uint8_t *)bits + (size_t)4 * by * stride + 32 * (size_t)bx, (ptrdiff_t)stride, &texels);
            uint8_t block[16];
            Fxt1EncodeBlock(texels, block);
            ok = fwrite(block, 1, sizeof block, f) == sizeof block;
        }
    if (progress)
        progress(h, h, 0);
    if (fclose(f) != 0)
        ok = false;
    return ok ? kWritten : kWriteError;
}
