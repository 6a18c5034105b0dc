#include "files/mrf.h"
#include "files/nativeread.h"
#include "base/safefile.h"
#include "image/cdib.h"
#include "image/colors.h"
#include "image/dibconvert.h"
#include "image/group.h"
#include "image/imagelist.h"
#include "plugins/subwin.h"
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static const char kMagic[4] = {'Q', 'z', 'F', 'F'};
enum { kNameBytes = kNativeNameBytes };

// ---- writing ----

static bool Put(FILE *f, const void *data, size_t n) { return fwrite(data, 1, n, f) == n; }
static bool Put32(FILE *f, int32_t v)
{
    uint8_t b[4] = {(uint8_t)v, (uint8_t)(v >> 8), (uint8_t)(v >> 16), (uint8_t)(v >> 24)};
    return Put(f, b, 4);
}
static bool Put16(FILE *f, int v)
{
    uint8_t b[2] = {(uint8_t)v, (uint8_t)(v >> 8)};
    return Put(f, b, 2);
}

// A base image below 32 bits (a view-only picture) is written as its 32-bit conversion.
static bool PutPixels(FILE *f, const CDIB *image)
{
    int w, h, d;
    GetImageSize(image, &w, &h, &d);
    int64_t bytes = GetPixelBufferSize(w, h, 32);
    if (bytes < 0 || !image->pixels)
        return false;
    if (d == 32 && image->editDepth == 32)
        return Put(f, image->pixels, (size_t)bytes);
    // Converted a row at a time, top row first; the picture's rows are bottom-up.
    int64_t rowBytes = GetDibRowBytes(w, d);
    uint32_t *row = rowBytes > 0 ? (uint32_t *)malloc((size_t)w * 4) : NULL;
    if (!row)
        return false;
    const RGBQUAD *palette = (const RGBQUAD *)((const uint8_t *)image->header + image->header->bmiHeader.biSize);
    const uint8_t *bits = (const uint8_t *)image->pixels;
    bool ok = true;
    for (int y = 0; ok && y < h; y++) {
        ConvertDibRow(row, bits + (int64_t)(h - 1 - y) * rowBytes, palette, w, d, 0);
        ok = Put(f, row, (size_t)w * 4);
    }
    free(row);
    return ok;
}

static bool PutRecord(FILE *f, const CDIB *image, const CDIB *base, int x, int y, int status, int opacity, int blend,
                      const char *name)
{
    int w, h, d;
    GetImageSize(image, &w, &h, &d);
    bool ok = Put32(f, w) && Put32(f, h) && Put32(f, x) && Put32(f, y) && Put32(f, status) && Put32(f, opacity) &&
              Put32(f, blend) && Put16(f, base->background[2]) && Put16(f, base->background[1]) &&
              Put16(f, base->background[0]);
    size_t n = strnlen(name, kNameBytes - 1);
    return ok && Put(f, name, n) && Put(f, "", 1) && PutPixels(f, image);
}

int WriteMrfFile(const char *path, ImageGroup *group)
{
    CDIB *base = group ? group->base : NULL;
    int w, h, d;
    if (!base || !GetImageSize(base, &w, &h, &d) || !base->pixels)
        return 1;
    int64_t maskBytes = GetPixelBufferSize(w, h, 32) / 4; // one byte per pixel
    if (maskBytes <= 0)
        return 1;
    SafeFile safe;
    FILE *f = OpenSafeFile(&safe, path);
    if (!f)
        return 1;
    uint8_t header[kMrfHeaderBytes] = {};
    memcpy(header, kMagic, 4);
    header[4] = kMrfVersion;
    header[6] = base->mask ? 1 : 0;
    // The number of layer records, so that a reader can tell a file cut at a record's end.
    uint32_t layers = 0;
    for (LayerRecord *l = group->firstLayer; l; l = l->next)
        layers++;
    for (int i = 0; i < 4; i++)
        header[kMrfLayerCountAt + i] = (uint8_t)(layers >> (8 * i));
    bool ok = Put(f, header, sizeof header) && PutRecord(f, base, base, 0, 0, group->baseStatus, 255, 0, "");
    if (ok && base->mask)
        ok = Put(f, base->mask, (size_t)maskBytes);
    for (LayerRecord *l = group->firstLayer; ok && l; l = l->next)
        ok = l->image && PutRecord(f, l->image, base, l->x, l->y, l->status, l->opacity, l->blend, l->image->name);
    return CloseSafeFile(&safe, path, ok);
}

// ---- reading ----

struct MrfRecordInfo {
    int32_t width, height, x, y, status, opacity, blend;
    uint8_t color[3]; // blue, green, red
    char name[kNameBytes];
};

static bool Get32(FILE *f, int32_t *v)
{
    uint8_t b[4];
    if (fread(b, 1, 4, f) != 4)
        return false;
    *v = GetLe32(b);
    return true;
}

static bool Get16(FILE *f, int *v)
{
    uint8_t b[2];
    if (fread(b, 1, 2, f) != 2)
        return false;
    *v = GetLe16(b);
    return true;
}

// Fields and name of a record. 0 read, 1 error, 2 no further record.
static int ReadRecordFields(FILE *f, int version, MrfRecordInfo *r)
{
    // Only a clean end is the end of the list; a width cut short is a cut record.
    uint8_t first[4];
    size_t got = fread(first, 1, 4, f);
    if (got == 0)
        return 2;
    if (got != 4)
        return 1;
    r->width = GetLe32(first);
    if (!Get32(f, &r->height) || !Get32(f, &r->x) || !Get32(f, &r->y) || !Get32(f, &r->status) ||
        !Get32(f, &r->opacity))
        return 1;
    r->blend = 0;
    if (version >= 1 && !Get32(f, &r->blend))
        return 1;
    if (version >= 2) {
        int red, green, blue;
        if (!Get16(f, &red) || !Get16(f, &green) || !Get16(f, &blue))
            return 1;
        r->color[0] = (uint8_t)blue;
        r->color[1] = (uint8_t)green;
        r->color[2] = (uint8_t)red;
    } else {
        const ColorRecord *back = QzsGetColor(1);
        r->color[0] = (uint8_t)back->blue;
        r->color[1] = (uint8_t)back->green;
        r->color[2] = (uint8_t)back->red;
    }
    // The name fits an image name with its NUL, or the file is refused.
    if (!ReadRecordName(f, r->name))
        return 1;
    // Sizes must be sane and the pixels must be in the file before anything is allocated.
    int64_t bytes = GetPixelBufferSize(r->width, r->height, 32);
    if (bytes < 0 || bytes > BytesLeft(f))
        return 1;
    return 0;
}

// Pixel bytes in 1024-byte pieces with the progress calls of a record; false on a short read or cancel.
static bool ReadPieces(FILE *f, uint8_t *dst, int64_t size, QzProgressProc progress)
{
    int64_t pieces = size / kMrfPiece, rest = size % kMrfPiece;
    if (progress && progress(0, 0, 0))
        return false;
    for (int64_t i = 0; i < pieces; i++, dst += kMrfPiece) {
        if (fread(dst, 1, kMrfPiece, f) != kMrfPiece)
            return false;
        if (progress && progress((int)i, (int)pieces, 0))
            return false;
    }
    if (rest && fread(dst, 1, (size_t)rest, f) != (size_t)rest)
        return false;
    return !(progress && progress((int)pieces, (int)pieces, 0));
}

// 0 read (the image is listed), 1 error, 2 no further record.
static int ReadMrfRecord(FILE *f, int version, QzProgressProc progress, MrfRecordInfo *r, CDIB **out)
{
    *out = NULL;
    int result = ReadRecordFields(f, version, r);
    if (result != 0)
        return result;
    CDIB *image = NULL;
    if (CreateImageRecord(&image, r->width, r->height, 32) != 0)
        return 1;
    if (!ReadPieces(f, (uint8_t *)image->pixels, GetPixelBufferSize(r->width, r->height, 32), progress)) {
        DiscardImage(image);
        return 1;
    }
    *out = image;
    return 0;
}

struct MrfHeader {
    int version, maskFlag;
    uint32_t layers; // layer records written; 0 when the writer did not say
};

static FILE *OpenMrf(const char *path, MrfHeader *header)
{
    uint8_t h[kMrfHeaderBytes];
    FILE *f = OpenNativeFile(path, kMagic, h, sizeof h);
    if (!f)
        return NULL;
    header->version = (int16_t)GetLe16(h + 4);
    header->maskFlag = (int16_t)GetLe16(h + 6);
    header->layers = (uint32_t)GetLe32(h + kMrfLayerCountAt);
    return f;
}

int IsMrfFile(const char *path)
{
    return IsNativeFile(path, kMagic, kMrfHeaderBytes);
}

// False when the plane is cut short: it is dropped and reading goes on (at the file's end).
static bool ReadMask(FILE *f, CDIB *base, int width, int height)
{
    int64_t n = GetPixelBufferSize(width, height, 32) / 4; // the base record bounded the size
    if (BytesLeft(f) < n) {
        _fseeki64(f, 0, SEEK_END);
        return false;
    }
    uint8_t *mask = (uint8_t *)malloc((size_t)n);
    if (!mask) // no memory for it: the image goes without, the layers after it are still read
        return _fseeki64(f, n, SEEK_CUR) == 0;
    if (fread(mask, 1, (size_t)n, f) != (size_t)n) {
        free(mask);
        return false;
    }
    TakeWholeMask(base, mask, width, height);
    return true;
}

static int Clamp(int v, int low, int high) { return v < low ? low : v > high ? high : v; }

int ReadMrfFile(const char *path, ImageGroup *group, QzProgressProc progress, int readAll)
{
    MrfHeader header;
    FILE *f = OpenMrf(path, &header);
    if (!f)
        return kMrfNotMine;
    int version = header.version;
    MrfRecordInfo r;
    CDIB *base = NULL;
    if (ReadMrfRecord(f, version, progress, &r, &base) != 0) {
        fclose(f);
        return kMrfReadError;
    }
    FillGroupFromBase(group, base, path, r.color, r.status);
    if (!readAll) {
        fclose(f);
        return kMrfRead;
    }
    bool whole = header.maskFlag != 1 || ReadMask(f, base, r.width, r.height);
    uint32_t layers = 0;
    for (;; layers++) {
        CDIB *image = NULL;
        int result = ReadMrfRecord(f, version, progress, &r, &image);
        if (result == 2)
            break;
        LayerRecord *layer = NULL;
        if (result == 0) {
            snprintf(image->name, sizeof image->name, "%s", r.name);
            layer = CreateLayer(group, image, r.x, r.y, r.status ? 1 : 0, Clamp(r.opacity, 0, 255),
                                r.blend < 0 ? 0 : r.blend);
        }
        if (!layer) {
            DiscardImage(image);
            EmptyGroup(group);
            fclose(f);
            return kMrfReadError;
        }
    }
    QzsSetCurrentInImageGroup(group, NULL);
    fclose(f);
    return whole && layers >= header.layers ? kMrfRead : kMrfReadCut;
}

int ReadMrfFirstImage(const char *path, QzProgressProc progress, HGLOBAL *header, HGLOBAL *bits)
{
    *header = *bits = NULL;
    MrfHeader fileHeader;
    FILE *f = OpenMrf(path, &fileHeader);
    if (!f)
        return 0;
    MrfRecordInfo r;
    if (ReadRecordFields(f, fileHeader.version, &r) != 0) {
        fclose(f);
        return 0;
    }
    int64_t size = GetPixelBufferSize(r.width, r.height, 32);
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, QZ_HEADER_BLOCK_SIZE);
    HGLOBAL b = h ? GlobalAlloc(GMEM_MOVEABLE, (SIZE_T)size) : NULL;
    bool ok = b != NULL;
    if (ok) {
        BITMAPINFOHEADER *bih = (BITMAPINFOHEADER *)GlobalLock(h);
        bih->biSize = sizeof *bih;
        bih->biWidth = r.width;
        bih->biHeight = r.height;
        bih->biPlanes = 1;
        bih->biBitCount = 32;
        GlobalUnlock(h);
        ok = ReadPieces(f, (uint8_t *)GlobalLock(b), size, progress);
        GlobalUnlock(b);
    }
    fclose(f);
    if (!ok) {
        if (b)
            GlobalFree(b);
        if (h)
            GlobalFree(h);
        return 0;
    }
    *header = h;
    *bits = b;
    return 1;
}
