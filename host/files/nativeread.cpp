// The parts of reading that mrf and mr2 files share.
#include "files/nativeread.h"
#include "files/openimage.h"
#include "image/cdib.h"
#include "image/imagelist.h"
#include <stdlib.h>
#include <string.h>

int32_t GetLe32(const uint8_t *p)
{
    return (int32_t)(p[0] | p[1] << 8 | p[2] << 16 | (uint32_t)p[3] << 24);
}

int GetLe16(const uint8_t *p)
{
    return p[0] | p[1] << 8;
}

FILE *OpenNativeFile(const char *path, const char magic[4], uint8_t *header, size_t headerBytes)
{
    FILE *f = fopen(path, "rb");
    if (!f)
        return NULL;
    if (fread(header, 1, headerBytes, f) != headerBytes || memcmp(header, magic, 4) != 0) {
        fclose(f);
        return NULL;
    }
    return f;
}

int IsNativeFile(const char *path, const char magic[4], size_t headerBytes)
{
    uint8_t header[kNativeHeaderMax];
    FILE *f = headerBytes <= sizeof header ? OpenNativeFile(path, magic, header, headerBytes) : NULL;
    if (!f)
        return 0;
    fclose(f);
    return 1;
}

int64_t BytesLeft(FILE *f)
{
    int64_t here = _ftelli64(f);
    if (here < 0 || _fseeki64(f, 0, SEEK_END) != 0)
        return -1;
    int64_t end = _ftelli64(f);
    _fseeki64(f, here, SEEK_SET);
    return end - here;
}

bool ReadRecordName(FILE *f, char name[kNativeNameBytes])
{
    for (int i = 0; i < kNativeNameBytes; i++) {
        int c = fgetc(f);
        if (c == EOF)
            return false;
        name[i] = (char)c;
        if (c == 0)
            return true;
    }
    return false;
}

void DiscardImage(CDIB *image)
{
    if (!image)
        return;
    UnlinkImage(image);
    FreeImageData(image);
    free(image);
}

void EmptyGroup(ImageGroup *group)
{
    while (LayerRecord *l = group->firstLayer) {
        group->firstLayer = l->next;
        DiscardImage(l->image);
        free(l);
    }
    DiscardImage(group->base);
    group->base = group->currentImage = NULL;
    group->currentLayer = NULL;
}

void FillGroupFromBase(ImageGroup *group, CDIB *base, const char *path, const uint8_t color[3], int status)
{
    int w, h, d;
    GetImageSize(base, &w, &h, &d);
    snprintf(base->name, sizeof base->name, "%s", GetFileNamePart(path));
    memcpy(base->background, color, 3);
    group->base = base;
    group->baseStatus = status ? 1 : 0;
    group->currentImage = base;
    group->currentLayer = NULL;
    group->layerX = group->layerY = group->clampedX = group->clampedY = 0;
    group->right = w - 1;
    group->bottom = h - 1;
    memcpy(group->name, base->name, sizeof group->name);
}

void TakeWholeMask(CDIB *base, uint8_t *mask, int width, int height)
{
    base->mask = mask;
    for (RegionSlot &slot : base->slots) {
        slot.state = 1;
        slot.left = slot.top = 0;
        slot.right = width - 1;
        slot.bottom = height - 1;
    }
}
