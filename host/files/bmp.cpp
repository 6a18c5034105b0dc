#include "files/bmp.h"
#include "image/cdib.h"
#include "image/imagelist.h"
#include "base/safefile.h"
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

enum { kFileHeaderBytes = 14, kInfoHeaderBytes = 40, kCoreHeaderBytes = 12, kReadPiece = 10240 };
static const int64_t kWriteBatchBytes = 256 * 1024, kReadBatchBytes = 256 * 1024;

static uint16_t Get16(const uint8_t *p) { return (uint16_t)(p[0] | p[1] << 8); }
static uint32_t Get32(const uint8_t *p) { return p[0] | p[1] << 8 | p[2] << 16 | (uint32_t)p[3] << 24; }
static void Put16(uint8_t *p, uint32_t v) { p[0] = (uint8_t)v; p[1] = (uint8_t)(v >> 8); }
static void Put32(uint8_t *p, uint32_t v)
{
    Put16(p, v);
    Put16(p + 2, v >> 16);
}


static int64_t FileLength(FILE *f)
{
    if (fseek(f, 0, SEEK_END) != 0)
        return -1;
    int64_t n = _ftelli64(f);
    fseek(f, 0, SEEK_SET);
    return n;
}

// The header as a 40-byte info header; 0 when it is neither an info nor a core header.
static int ReadBitmapHeader(FILE *f, BITMAPINFOHEADER *out, int *core)
{
    uint8_t b[kInfoHeaderBytes];
    if (fread(b, 1, sizeof b, f) != sizeof b)
        return 0;
    memset(out, 0, sizeof *out);
    uint32_t size = Get32(b);
    *core = size == kCoreHeaderBytes;
    if (size == kInfoHeaderBytes) {
        out->biWidth = (LONG)Get32(b + 4);
        out->biHeight = (LONG)Get32(b + 8);
        out->biPlanes = Get16(b + 12);
        out->biBitCount = Get16(b + 14);
        out->biCompression = Get32(b + 16);
        out->biSizeImage = Get32(b + 20);
        out->biClrUsed = Get32(b + 32);
        out->biClrImportant = Get32(b + 36);
    } else if (*core) {
        // The 12 bytes of the core header are already in the buffer.
        out->biWidth = (int16_t)Get16(b + 4);
        out->biHeight = (int16_t)Get16(b + 6);
        out->biPlanes = Get16(b + 8);
        out->biBitCount = Get16(b + 10);
    } else {
        return 0;
    }
    out->biSize = kInfoHeaderBytes;
    out->biXPelsPerMeter = out->biYPelsPerMeter = 0; // BMP pictures are never aspect-corrected
    return 1;
}

static bool ReadPalette(FILE *f, BITMAPINFO *info, int count, int core)
{
    if (count == 0)
        return true;
    if (!core)
        return fread(info->bmiColors, 4, (size_t)count, f) == (size_t)count;
    for (int i = 0; i < count; i++) {
        uint8_t e[3];
        if (fread(e, 1, 3, f) != 3)
            return false;
        info->bmiColors[i].rgbBlue = e[0];
        info->bmiColors[i].rgbGreen = e[1];
        info->bmiColors[i].rgbRed = e[2];
        info->bmiColors[i].rgbReserved = 0;
    }
    return true;
}

// Pixel bytes in pieces with progress; false on a short read or a cancel.
static bool ReadPixels(FILE *f, uint8_t *dst, int64_t size, QzProgressProc progress)
{
    int64_t pieces = size / kReadPiece, rest = size % kReadPiece;
    int total = (int)(pieces + 1);
    for (int64_t i = 1; i <= pieces; i++, dst += kReadPiece) {
        if (fread(dst, 1, kReadPiece, f) != kReadPiece)
            return false;
        if (progress && progress((int)i, total, 0))
            return false;
    }
    if (rest) {
        if (fread(dst, 1, (size_t)rest, f) != (size_t)rest)
            return false;
        if (progress && progress(total, total, 0))
            return false;
    }
    return true;
}

// What a BMP file's headers say, each size checked against the file's length.
struct BmpLayout {
    BITMAPINFOHEADER header;
    int core, entries;
    int64_t offBits, rowBytes, size;
};

static bool ReadLayout(FILE *f, BmpLayout *layout)
{
    int64_t length = FileLength(f);
    uint8_t fh[kFileHeaderBytes];
    if (fread(fh, 1, sizeof fh, f) != sizeof fh || Get16(fh) != 0x4D42)
        return false;
    layout->offBits = Get32(fh + 10);
    BITMAPINFOHEADER &bih = layout->header;
    if (!ReadBitmapHeader(f, &bih, &layout->core))
        return false;
    if (layout->core && fseek(f, kFileHeaderBytes + kCoreHeaderBytes, SEEK_SET) != 0)
        return false;
    if (bih.biCompression != BI_RGB || bih.biWidth <= 0 || bih.biHeight <= 0)
        return false;
    layout->rowBytes = GetDibRowBytes(bih.biWidth, bih.biBitCount);
    if (layout->rowBytes <= 0)
        return false;
    // The header block holds at most 256 entries; the file must hold the table and the rows.
    layout->entries = CountDibPaletteEntries(&bih);
    if (bih.biClrUsed > 256 || layout->entries < 0 || layout->entries > 256)
        return false;
    // Bounded before the product is taken: sides near the int range would overflow it.
    if (layout->rowBytes > 0x7FFFFFFF / bih.biHeight)
        return false;
    layout->size = layout->rowBytes * bih.biHeight;
    return layout->offBits >= 0 && length >= 0 &&
           layout->offBits + layout->size <= length;
}

static int ReadBmpStream(FILE *f, HGLOBAL *header, HGLOBAL *bits, QzProgressProc progress)
{
    BmpLayout layout;
    if (!ReadLayout(f, &layout))
        return 0;
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, QZ_HEADER_BLOCK_SIZE);
    if (!h)
        return 0;
    BITMAPINFO *info = (BITMAPINFO *)GlobalLock(h);
    info->bmiHeader = layout.header;
    bool ok = ReadPalette(f, info, layout.entries, layout.core);
    GlobalUnlock(h);
    HGLOBAL b = ok ? GlobalAlloc(GMEM_MOVEABLE, (SIZE_T)layout.size) : NULL;
    if (b) {
        uint8_t *dst = (uint8_t *)GlobalLock(b);
        ok = _fseeki64(f, layout.offBits, SEEK_SET) == 0 && ReadPixels(f, dst, layout.size, progress);
        GlobalUnlock(b);
    }
    if (!ok || !b) {
        if (b)
            GlobalFree(b);
        GlobalFree(h);
        return 0;
    }
    *header = h;
    *bits = b;
    return 1;
}

// The rows of the file a batch at a time, bottom row first, each converted into its image row.
static bool ReadRowsInto(FILE *f, const BmpLayout &layout, const RGBQUAD *palette, CDIB *image, int keepAlpha,
                         QzProgressProc progress)
{
    int w = layout.header.biWidth, h = layout.header.biHeight;
    int batch = (int)(kReadBatchBytes / layout.rowBytes);
    batch = batch < 1 ? 1 : batch > h ? h : batch;
    uint8_t *rows = (uint8_t *)malloc((size_t)batch * (size_t)layout.rowBytes);
    if (!rows)
        return false;
    uint32_t *store = (uint32_t *)image->pixels;
    bool ok = _fseeki64(f, layout.offBits, SEEK_SET) == 0;
    for (int r = 0; ok && r < h; r += batch) {
        int n = h - r < batch ? h - r : batch;
        ok = fread(rows, (size_t)layout.rowBytes, (size_t)n, f) == (size_t)n;
        for (int i = 0; ok && i < n; i++)
            ConvertDibRow(store + (int64_t)(h - 1 - (r + i)) * w, rows + (size_t)i * (size_t)layout.rowBytes,
                          palette, w, layout.header.biBitCount, keepAlpha);
        if (ok && progress && progress(r + n, h, 0))
            ok = false;
    }
    free(rows);
    return ok;
}

int ReadBmpImage(const char *path, CDIB **image, int keepAlpha, QzProgressProc progress)
{
    *image = NULL;
    FILE *f = fopen(path, "rb");
    if (!f)
        return 0;
    BmpLayout layout;
    RGBQUAD palette[256] = {};
    BITMAPINFO *info = (BITMAPINFO *)calloc(1, QZ_HEADER_BLOCK_SIZE);
    bool taken = info && ReadLayout(f, &layout) && ReadPalette(f, info, layout.entries, layout.core);
    // The record's own failure is reported where it is made.
    int made = taken ? CreateImageRecord(image, layout.header.biWidth, layout.header.biHeight, 32) : 1;
    if (!taken || made != 0) {
        free(info);
        fclose(f);
        return taken ? -2 : 0;
    }
    memcpy(palette, info->bmiColors, (size_t)layout.entries * 4);
    free(info);
    if (progress)
        progress(0, 0, 0);
    bool ok = ReadRowsInto(f, layout, palette, *image, keepAlpha, progress);
    fclose(f);
    if (!ok) {
        UnlinkImage(*image);
        FreeImageData(*image);
        free(*image);
        *image = NULL;
        return -1;
    }
    return 1;
}

int ReadBmpFile(const char *path, HGLOBAL *header, HGLOBAL *bits, QzProgressProc progress)
{
    *header = *bits = NULL;
    FILE *f = fopen(path, "rb");
    if (!f)
        return 0;
    if (progress)
        progress(0, 0, 0);
    int result = ReadBmpStream(f, header, bits, progress);
    fclose(f);
    return result;
}

// The rows of a packed picture held in one block.
struct BlockRows {
    const uint8_t *bits;
    int64_t rowBytes;
};

static bool CopyBlockRow(void *context, int fileRow, uint8_t *line)
{
    const BlockRows &rows = *(const BlockRows *)context;
    memcpy(line, rows.bits + fileRow * rows.rowBytes, (size_t)rows.rowBytes);
    return true;
}

int WriteBmpFile(const char *path, const BITMAPINFO *header, const void *pixels, QzProgressProc progress)
{
    if (!header || !pixels)
        return 1;
    BlockRows rows = {(const uint8_t *)pixels, GetDibRowBytes(header->bmiHeader.biWidth, header->bmiHeader.biBitCount)};
    return WriteBmpRows(path, header, CopyBlockRow, &rows, progress);
}

int WriteBmpRows(const char *path, const BITMAPINFO *header, BmpRowSource fill, void *context,
                 QzProgressProc progress)
{
    if (!header || !fill)
        return 1;
    const BITMAPINFOHEADER *h = &header->bmiHeader;
    int64_t rowBytes = GetDibRowBytes(h->biWidth, h->biBitCount);
    if (rowBytes <= 0 || h->biHeight <= 0)
        return 1;
    int entries = h->biBitCount <= 8 ? 1 << h->biBitCount : 0;
    int64_t size = rowBytes * h->biHeight;
    uint32_t offBits = kFileHeaderBytes + kInfoHeaderBytes + 4 * entries;
    if (size + offBits > 0xFFFFFFFFLL)
        return 1;

    uint8_t fh[kFileHeaderBytes + kInfoHeaderBytes] = {};
    fh[0] = 'B';
    fh[1] = 'M';
    Put32(fh + 2, (uint32_t)(offBits + size));
    Put32(fh + 10, offBits);
    uint8_t *ih = fh + kFileHeaderBytes;
    Put32(ih, kInfoHeaderBytes);
    Put32(ih + 4, (uint32_t)h->biWidth);
    Put32(ih + 8, (uint32_t)h->biHeight);
    Put16(ih + 12, 1);
    Put16(ih + 14, h->biBitCount);
    Put32(ih + 20, (uint32_t)size);
    Put32(ih + 24, (uint32_t)h->biXPelsPerMeter);
    Put32(ih + 28, (uint32_t)h->biYPelsPerMeter);
    Put32(ih + 32, (uint32_t)entries);

    // Rows go out a batch at a time, each batch in one write; the padding of each row is zero.
    int batch = (int)(kWriteBatchBytes / rowBytes);
    batch = batch < 1 ? 1 : batch > h->biHeight ? h->biHeight : batch;
    uint8_t *rows = (uint8_t *)calloc((size_t)batch, (size_t)rowBytes);
    if (!rows)
        return 1;
    SafeFile safe;
    FILE *f = OpenSafeFile(&safe, path);
    if (!f) {
        free(rows);
        return 1;
    }
    bool ok = fwrite(fh, 1, sizeof fh, f) == sizeof fh;
    for (int i = 0; ok && i < entries; i++) {
        const RGBQUAD &q = header->bmiColors[i];
        uint8_t e[4] = {q.rgbBlue, q.rgbGreen, q.rgbRed, 0};
        ok = fwrite(e, 1, 4, f) == 4;
    }
    if (progress)
        progress(0, 0, 0);
    for (int y = 0; ok && y < h->biHeight; y += batch) {
        int n = h->biHeight - y < batch ? h->biHeight - y : batch;
        for (int i = 0; ok && i < n; i++)
            ok = fill(context, y + i, rows + (size_t)i * (size_t)rowBytes);
        ok = ok && fwrite(rows, (size_t)rowBytes, (size_t)n, f) == (size_t)n;
        if (progress)
            for (int i = 1; i <= n; i++)
                progress(y + i, h->biHeight, 0);
    }
    free(rows);
    return CloseSafeFile(&safe, path, ok);
}
