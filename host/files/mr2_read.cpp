// Reading mr2 files: record by record, each embedded PNG handed from memory to the outside readers.
// Every size and name from the file is bounded by the bytes the file still holds.
#include "files/mr2.h"
#include "files/nativeread.h"
#include "files/openimage.h"
#include "base/app.h"
#include "base/messages.h"
#include "image/cdib.h"
#include "image/dibconvert.h"
#include "image/group.h"
#include "image/imagelist.h"
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <vector>

enum { kRunChunk = 3 * 1024 };

struct Mr2Record {
    int32_t x, y, status, opacity;
    int blend;
    char blendName[kMr2BlendNameBytes + 1]; // as stored, reported when no blend has it
    bool blendUnknown;
    uint8_t color[3]; // blue, green, red
    char name[kNativeNameBytes];
    HGLOBAL header, bits; // the reader's picture
};

static void FreePair(HGLOBAL *header, HGLOBAL *bits)
{
    if (*header)
        GlobalFree(*header);
    if (*bits)
        GlobalFree(*bits);
    *header = *bits = NULL;
}

// The reader's picture must lie whole in its blocks before it is walked: plain rows of a known
// depth, a colour table inside the header block, a size an image can have.
static bool PictureIsWhole(HGLOBAL header, HGLOBAL bits)
{
    SIZE_T headerBytes = GlobalSize(header), bitsBytes = GlobalSize(bits);
    const BITMAPINFOHEADER *locked =
        headerBytes >= sizeof(BITMAPINFOHEADER) ? (const BITMAPINFOHEADER *)GlobalLock(header) : NULL;
    if (!locked)
        return false;
    BITMAPINFOHEADER h = *locked;
    GlobalUnlock(header);
    int entries = CountDibPaletteEntries(&h);
    int64_t row = GetDibRowBytes(h.biWidth, h.biBitCount);
    return h.biSize >= sizeof h && h.biWidth > 0 && h.biHeight > 0 && h.biCompression == BI_RGB && row > 0 &&
           (int64_t)h.biWidth * h.biHeight * 4 <= kMaxPixelBytes && entries >= 0 && entries <= 256 &&
           (uint64_t)h.biSize + (uint64_t)entries * 4 <= headerBytes && (uint64_t)(row * h.biHeight) <= bitsBytes;
}

// Fields, name and picture of a record. 0 read, 1 error, 2 no further record. An unknown blend
// name is only noted: it is reported once the whole file has been read.
static int ReadRecord(FILE *f, QzProgressProc progress, Mr2Record *r)
{
    uint8_t h[kMr2RecordBytes];
    size_t got = fread(h, 1, sizeof h, f);
    if (got == 0)
        return 2;
    if (got != sizeof h)
        return 1; // only a clean end ends the list; a record cut short is an error
    r->x = GetLe32(h);
    r->y = GetLe32(h + 4);
    r->status = GetLe32(h + 8);
    r->opacity = GetLe32(h + 12);
    uint32_t pngSize = (uint32_t)GetLe32(h + 20);
    r->color[2] = (uint8_t)GetLe16(h + 24);
    r->color[1] = (uint8_t)GetLe16(h + 26);
    r->color[0] = (uint8_t)GetLe16(h + 28);
    memset(r->blendName, 0, sizeof r->blendName);
    memcpy(r->blendName, h + 30, kMr2BlendNameBytes);
    r->blend = FindBlendByName(r->blendName);
    r->blendUnknown = r->blend < 0;
    if (r->blendUnknown)
        r->blend = 0;
    if (!ReadRecordName(f, r->name) || (int64_t)pngSize > BytesLeft(f))
        return 1;
    uint8_t *png = (uint8_t *)malloc(pngSize ? pngSize : 1);
    if (!png)
        return 1;
    int reader;
    bool ok = fread(png, 1, pngSize, f) == pngSize &&
              ReadImageViaSusie((const char *)png, progress, &r->header, &r->bits, &reader, 1, pngSize);
    free(png);
    if (ok && !PictureIsWhole(r->header, r->bits)) {
        FreePair(&r->header, &r->bits);
        ok = false;
    }
    return ok ? 0 : 1;
}

// Turns the rows of a 32-bit image over in place.
static void FlipRows(CDIB *image, int width, int height)
{
    uint32_t *top = (uint32_t *)image->pixels, *bottom = top + (int64_t)(height - 1) * width;
    for (; top < bottom; top += width, bottom -= width)
        for (int x = 0; x < width; x++) {
            uint32_t t = top[x];
            top[x] = bottom[x];
            bottom[x] = t;
        }
}

// The record's picture as a new listed 32-bit image (NULL when none can be made); the reader's
// blocks are freed either way. The embedded PNG holds the rows turned over, so the reader's first
// row is the image's top row: rows are taken in the order read, never as a DIB would turn them.
static CDIB *TakePicture(Mr2Record *r)
{
    const BITMAPINFO *info = (const BITMAPINFO *)GlobalLock(r->header);
    const void *bits = GlobalLock(r->bits);
    const BITMAPINFOHEADER *h = &info->bmiHeader;
    int w = h->biWidth, height = h->biHeight, depth = h->biBitCount;
    CDIB *image = NULL;
    if (CreateImageRecord(&image, w, height, 32) == 0) {
        if (depth == 32) {
            CopyPixels32((uint32_t *)image->pixels, (const uint32_t *)bits, (int64_t)w * height, 1);
        } else {
            RGBQUAD palette[256] = {};
            memcpy(palette, (const uint8_t *)info + h->biSize, (size_t)CountDibPaletteEntries(h) * 4);
            CDIB source = {};
            source.pixels = (void *)bits;
            ConvertDibToImage(image, &source, palette, w, height, depth, w, height, 0);
            FlipRows(image, w, height);
        }
    }
    GlobalUnlock(r->header);
    GlobalUnlock(r->bits);
    FreePair(&r->header, &r->bits);
    return image;
}

// Decodes the mask runs that follow the base record; false when they end before the mask is full.
static bool ReadMaskRuns(FILE *f, CDIB *base, int width, int height)
{
    size_t count = (size_t)width * height;
    MaskRunDecoder decoder = {(uint8_t *)malloc(count), count, 0};
    if (!decoder.mask)
        return false;
    uint8_t chunk[kRunChunk];
    while (decoder.filled < count) {
        size_t got = fread(chunk, 1, sizeof chunk, f);
        size_t taken = FeedMaskRuns(&decoder, chunk, got);
        if (decoder.filled == count) {
            _fseeki64(f, (int64_t)taken - (int64_t)got, SEEK_CUR); // the layers start after the last run
            break;
        }
        if (got < sizeof chunk) {
            free(decoder.mask);
            return false;
        }
    }
    TakeWholeMask(base, decoder.mask, width, height);
    return true;
}

static FILE *OpenMr2(const char *path, int *maskFlag)
{
    uint8_t h[kMr2HeaderBytes];
    FILE *f = OpenNativeFile(path, kMr2Magic, h, sizeof h);
    // The version is not read: every version has this layout.
    if (f)
        *maskFlag = (int16_t)GetLe16(h + 6);
    return f;
}

int IsMr2File(const char *path)
{
    return IsNativeFile(path, kMr2Magic, kMr2HeaderBytes);
}

static int ClampOpacity(int v) { return v < 0 ? 0 : v > 255 ? 255 : v; }

// Blend names no blend plug-in has, one a record, in file order.
typedef std::vector<std::string> UnknownBlends;

static void NoteBlend(const Mr2Record &r, UnknownBlends *unknown)
{
    if (r.blendUnknown)
        unknown->push_back(r.blendName);
}

static void ReportBlends(const UnknownBlends &unknown)
{
    for (const std::string &name : unknown)
        ShowErrorMessageArg(g_mainWindow, 108, name.c_str());
}

static int ReadGroup(FILE *f, const char *path, ImageGroup *group, QzProgressProc progress, int readAll,
                     int maskFlag, UnknownBlends *unknown)
{
    Mr2Record r = {};
    CDIB *base = ReadRecord(f, progress, &r) == 0 ? TakePicture(&r) : NULL;
    if (!base)
        return kMr2ReadError;
    NoteBlend(r, unknown);
    int w, h, d;
    GetImageSize(base, &w, &h, &d);
    FillGroupFromBase(group, base, path, r.color, r.status);
    if (!readAll)
        return kMr2Read;
    if (maskFlag == 1 && !ReadMaskRuns(f, base, w, h))
        return kMr2ReadError;
    for (;;) {
        int result = ReadRecord(f, progress, &r);
        if (result == 2)
            break;
        CDIB *image = result == 0 ? TakePicture(&r) : NULL;
        if (!image)
            return kMr2ReadError;
        NoteBlend(r, unknown);
        snprintf(image->name, sizeof image->name, "%s", r.name);
        if (!CreateLayer(group, image, r.x, r.y, r.status ? 1 : 0, ClampOpacity(r.opacity), r.blend)) {
            DiscardImage(image);
            return kMr2ReadError;
        }
    }
    QzsSetCurrentInImageGroup(group, NULL);
    return kMr2Read;
}

int ReadMr2File(const char *path, ImageGroup *group, QzProgressProc progress, int readAll)
{
    int maskFlag;
    FILE *f = OpenMr2(path, &maskFlag);
    if (!f)
        return kMr2NotMine;
    UnknownBlends unknown;
    int result = ReadGroup(f, path, group, progress, readAll, maskFlag, &unknown);
    fclose(f);
    // One failed file, one message: the blends of layers thrown away again go unmentioned.
    if (result == kMr2ReadError) {
        EmptyGroup(group);
        ShowErrorMessage(g_mainWindow, 106);
    } else {
        ReportBlends(unknown);
    }
    return result;
}

int ReadMr2FirstImage(const char *path, QzProgressProc progress, HGLOBAL *header, HGLOBAL *bits)
{
    *header = *bits = NULL;
    int maskFlag;
    FILE *f = OpenMr2(path, &maskFlag);
    if (!f)
        return 0;
    Mr2Record r = {};
    int result = ReadRecord(f, progress, &r);
    fclose(f);
    if (result != 0) {
        ShowErrorMessage(g_mainWindow, 106);
        return 0;
    }
    if (r.blendUnknown)
        ShowErrorMessageArg(g_mainWindow, 108, r.blendName);
    *header = r.header;
    *bits = r.bits;
    return 1;
}
