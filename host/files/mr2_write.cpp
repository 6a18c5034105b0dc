// Writing mr2 files: every image of the group goes through the PNG save plug-in into a temporary
// file first; the file at the path is replaced only once all of it is written.
#include "files/mr2.h"
#include "files/save.h"
#include "base/app.h"
#include "base/messages.h"
#include "base/safefile.h"
#include "base/settings.h"
#include "image/cdib.h"
#include "image/dibconvert.h"
#include <stdio.h>
#include <string.h>

enum { kCopyPiece = 65536 };

static bool Put(FILE *f, const void *data, size_t n) { return fwrite(data, 1, n, f) == n; }

static void SetLe32(uint8_t *p, uint32_t v)
{
    for (int i = 0; i < 4; i++)
        p[i] = (uint8_t)(v >> (8 * i));
}

static void SetLe16(uint8_t *p, int v)
{
    p[0] = (uint8_t)v;
    p[1] = (uint8_t)(v >> 8);
}

// The temporary PNG of image index (0 the base, 1, 2, ... the layers).
static bool TempPngPath(int index, char *out, size_t size)
{
    int n = snprintf(out, size, "%s\\%d", g_cfg.mr2TempDir, index);
    return n > 0 && (size_t)n < size;
}

static void RemoveTempPngs(size_t count)
{
    char temp[kPathBytes + 16];
    for (size_t i = 0; i < count; i++)
        if (TempPngPath((int)i, temp, sizeof temp))
            DeleteFileA(temp);
}

// The image as a 32-bit picture: its own store, or a converted copy made in wide. NULL: no memory.
static const CDIB *Picture32(const CDIB *image, CDIB *wide)
{
    int w, h, d;
    if (!image || !GetImageSize(image, &w, &h, &d) || !image->pixels)
        return NULL;
    if (d == 32 && image->editDepth == 32)
        return image;
    if (InitImageRecord(w, h, 32, wide, 0, 1) != 0)
        return NULL;
    const RGBQUAD *palette = (const RGBQUAD *)((const uint8_t *)image->header + image->header->bmiHeader.biSize);
    ConvertDibToImage(wide, image, palette, w, h, d, w, h, 0);
    return wide;
}

// Writes image index through the PNG saver; true only when a fresh, non-empty file came out.
static bool WriteTempPng(WritePictureProc png, int index, const CDIB *image)
{
    char temp[kPathBytes + 16];
    if (!TempPngPath(index, temp, sizeof temp))
        return false;
    // A file left by an earlier save must never be taken for this image's picture.
    DeleteFileA(temp);
    if (GetFileAttributesA(temp) != INVALID_FILE_ATTRIBUTES)
        return false;
    CDIB wide = {};
    const CDIB *picture = Picture32(image, &wide);
    bool ok = false;
    if (picture) {
        char zero[] = "0";
        char *options[1] = {zero};
        int result = png(temp, 1, &picture->header->bmiHeader, picture->pixels, ShowSaveProgress, 1, options);
        WIN32_FILE_ATTRIBUTE_DATA data;
        ok = result == 0 && GetFileAttributesExA(temp, GetFileExInfoStandard, &data) &&
             !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && (data.nFileSizeLow || data.nFileSizeHigh);
    }
    if (picture == &wide)
        FreeImageData(&wide);
    return ok;
}

// Copies exactly size bytes of from into to.
static bool CopyBytes(FILE *from, FILE *to, int64_t size)
{
    static uint8_t piece[kCopyPiece];
    while (size > 0) {
        size_t n = size < (int64_t)kCopyPiece ? (size_t)size : (size_t)kCopyPiece;
        if (fread(piece, 1, n, from) != n || !Put(to, piece, n))
            return false;
        size -= (int64_t)n;
    }
    return true;
}

// One record: the 136-byte header, the name with its NUL and the PNG bytes of image index.
static bool PutRecord(FILE *f, int index, const CDIB *base, int x, int y, int status, int opacity, int blend,
                      const char *name)
{
    char temp[kPathBytes + 16];
    FILE *png = TempPngPath(index, temp, sizeof temp) ? fopen(temp, "rb") : NULL;
    if (!png)
        return false;
    int64_t size = -1;
    if (_fseeki64(png, 0, SEEK_END) == 0)
        size = _ftelli64(png);
    bool ok = size > 0 && size <= (int64_t)INT32_MAX && _fseeki64(png, 0, SEEK_SET) == 0;
    if (ok) {
        uint8_t r[kMr2RecordBytes] = {};
        SetLe32(r, (uint32_t)x);
        SetLe32(r + 4, (uint32_t)y);
        SetLe32(r + 8, (uint32_t)status);
        SetLe32(r + 12, (uint32_t)opacity);
        SetLe32(r + 20, (uint32_t)size);
        SetLe16(r + 24, base->background[2]);
        SetLe16(r + 26, base->background[1]);
        SetLe16(r + 28, base->background[0]);
        Mr2BlendName(blend, (char *)r + 30);
        size_t n = strnlen(name, sizeof base->name - 1);
        ok = Put(f, r, sizeof r) && Put(f, name, n) && Put(f, "", 1) && CopyBytes(png, f, size);
    }
    fclose(png);
    return ok;
}

static bool PutGroup(FILE *f, const ImageGroup *group, int width, int height)
{
    const CDIB *base = group->base;
    uint8_t header[kMr2HeaderBytes] = {};
    memcpy(header, kMr2Magic, 4);
    SetLe16(header + 4, kMr2Version);
    SetLe16(header + 6, base->mask ? 1 : 0);
    bool ok = Put(f, header, sizeof header) && PutRecord(f, 0, base, 0, 0, group->baseStatus, 255, 0, "base");
    if (ok && base->mask) {
        std::vector<uint8_t> runs;
        EncodeMaskRuns(base->mask, (size_t)width * height, &runs);
        ok = Put(f, runs.data(), runs.size());
    }
    int index = 1;
    for (const LayerRecord *l = group->firstLayer; ok && l; l = l->next, index++)
        ok = PutRecord(f, index, base, l->x, l->y, l->status, l->opacity, l->blend, l->image->name);
    return ok;
}

int WriteMr2File(const char *path, ImageGroup *group)
{
    CDIB *base = group ? group->base : NULL;
    int w, h, d;
    if (!base || !GetImageSize(base, &w, &h, &d) || !base->pixels)
        return kMr2Failed;
    WritePictureProc png = FindPngSaver();
    if (!png) {
        ShowErrorMessage(g_mainWindow, 107);
        return kMr2FailedReported;
    }
    std::vector<const CDIB *> images = {base};
    for (const LayerRecord *l = group->firstLayer; l; l = l->next)
        images.push_back(l->image);
    CreateDirectoryA(g_cfg.workDir, NULL);
    CreateDirectoryA(g_cfg.mr2TempDir, NULL);
    // Every picture must be written before the file is touched: a layer that cannot be written
    // fails the whole save.
    bool ok = true;
    for (size_t i = 0; ok && i < images.size(); i++)
        ok = WriteTempPng(png, (int)i, images[i]);
    int result = kMr2Failed;
    SafeFile safe;
    FILE *f = ok ? OpenSafeFile(&safe, path) : NULL;
    if (f)
        result = CloseSafeFile(&safe, path, PutGroup(f, group, w, h)) == 0 ? kMr2Written : kMr2Failed;
    RemoveTempPngs(images.size());
    return result;
}
