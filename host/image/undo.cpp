// Undo records: making them within the memory rules, pushing them on a chain, freeing them.
#include "image/undo.h"
#include "base/notify.h"
#include "image/undo_chain.h"
#include "image/cdib.h"
#include "image/group.h"
#include "image/imagelist.h"
#include "image/dirtyrect.h"
#include "base/settings.h"
#include "base/sysinfo.h"
#include <stdlib.h>
#include <string.h>

// The stores of the last pixel record freed, kept for the next one: a fresh block of an image's
// size costs more in first-touch page faults than the copies into it. At most one pair is kept,
// and only large stores; a new store takes one at least its size and at most twice it.
namespace {
enum { kSpareStores = 2 };
const int64_t kSpareMinimum = (int64_t)1 << 20;
struct SpareStore {
    void *block;
    int64_t size;
} s_spares[kSpareStores];

void *TakeStore(int64_t size)
{
    if (size >= kSpareMinimum)
        for (SpareStore &s : s_spares)
            if (s.block && s.size >= size && s.size / 2 <= size) {
                void *block = s.block;
                s = SpareStore{};
                return block;
            }
    return malloc((size_t)size);
}

void GiveStore(void *block, int64_t size)
{
    if (!block)
        return;
    if (size >= kSpareMinimum)
        for (SpareStore &s : s_spares)
            if (!s.block) {
                s = SpareStore{block, size};
                return;
            }
    free(block);
}
} // namespace

void ReleaseSpareUndoStores()
{
    for (SpareStore &s : s_spares) {
        free(s.block);
        s = SpareStore{};
    }
}

UndoChain ImageChain(CDIB *image)
{
    return {&image->undoFirst, &image->undoLast, &image->undoCurrent, &image->undoBytes};
}

UndoChain RegionChain(ImageGroup *group)
{
    return {&group->regionUndoFirst, &group->regionUndoLast, &group->regionUndoCurrent, &group->regionUndoBytes};
}

UndoRecord *FindPreviousRecord(const UndoChain &chain, const UndoRecord *record)
{
    for (UndoRecord *r = *chain.first; r; r = r->next)
        if (r->next == record)
            return r;
    return NULL;
}

int64_t CountedUndoBytes(int width, int height, int bytesPerPixel)
{
    if (g_cfg.MaxUndoBuffer < 1 || width <= 0 || height <= 0)
        return 0;
    // Every record holds two copies: the rectangle before and after, or the replaced image and a
    // copy of its successor.
    return 2 * (int64_t)width * height * bytesPerPixel;
}

// The page file must keep (total / 300) free after dividing by KeepFreeAreaRate.
static bool PageFileAllowsUndo()
{
    MEMORYSTATUS status;
    QueryMemoryStatus(&status);
    SIZE_T rate = g_cfg.KeepFreeAreaRate > 0 ? (SIZE_T)g_cfg.KeepFreeAreaRate : 1;
    return status.dwAvailPageFile / rate >= status.dwTotalPageFile / 300;
}

static bool CeilingAllows(INT_PTR held)
{
    return g_cfg.MaxUndoBuffer < 1 || (int64_t)held <= g_cfg.MaxUndoBuffer;
}

static char *CopyLabel(const char *label)
{
    size_t n = strlen(label ? label : "") + 1;
    char *copy = (char *)malloc(n);
    if (copy)
        memcpy(copy, label ? label : "", n);
    return copy;
}

UndoRecord *CreateUndoRect(ImageGroup *group, CDIB *image, int x0, int y0, int x1, int y1, const char *label, int kind)
{
    if (!PageFileAllowsUndo())
        return NULL;
    INT_PTR held = kind == kUndoRegionRect ? (group ? group->regionUndoBytes : 0) : (image ? image->undoBytes : 0);
    if (!CeilingAllows(held))
        return NULL;
    int64_t w = llabs((int64_t)x1 - x0) + 1, h = llabs((int64_t)y1 - y0) + 1;
    int depth = kind == kUndoRegionRect ? 8 : 32;
    if (w > INT32_MAX || h > INT32_MAX)
        return NULL;
    int64_t size = GetPixelBufferSize((int)w, (int)h, depth);
    if (size < 0)
        return NULL;
    UndoRecord *r = (UndoRecord *)calloc(1, sizeof(UndoRecord));
    if (!r)
        return NULL;
    r->before = TakeStore(size);
    r->after = TakeStore(size);
    if (!r->before || !r->after) { // what is kept aside may be what is missing
        free(r->before);
        free(r->after);
        ReleaseSpareUndoStores();
        r->before = malloc((size_t)size);
        r->after = malloc((size_t)size);
    }
    r->label = CopyLabel(label);
    if (!r->before || !r->after || !r->label) {
        free(r->before);
        free(r->after);
        free(r->label);
        free(r);
        return NULL;
    }
    int dx = 0, dy = 0;
    if (kind != kUndoRegionRect && group) {
        dx = group->layerX;
        dy = group->layerY;
    }
    r->kind = kind;
    r->x0 = (x0 < x1 ? x0 : x1) - dx;
    r->y0 = (y0 < y1 ? y0 : y1) - dy;
    r->x1 = r->x0 + (int)w - 1;
    r->y1 = r->y0 + (int)h - 1;
    r->bytes = CountedUndoBytes((int)w, (int)h, depth / 8);
    return r;
}

// A copy of an image with its own store: identity, pixels and region-slot bounds. It never takes
// the live image's mask or border points, so freeing it cannot touch them.
static CDIB *CopyImageForUndo(const CDIB *image)
{
    int w, h, d;
    if (!GetImageSize(image, &w, &h, &d) || !image->pixels)
        return NULL;
    int64_t size = GetPixelBufferSize(w, h, d);
    CDIB *copy = (CDIB *)calloc(1, sizeof(CDIB));
    if (!copy || size < 0 || InitImageRecord(w, h, d, copy, 0, 1) != 0) {
        free(copy);
        return NULL;
    }
    memcpy(copy->header, image->header, ImageHeaderBytes(image));
    memcpy(copy->pixels, image->pixels, (size_t)size);
    CopyImageIdentity(copy, image);
    return copy;
}

void CopyImageIdentity(CDIB *to, const CDIB *from)
{
    memcpy(to->name, from->name, sizeof to->name);
    memcpy(to->path, from->path, sizeof to->path);
    memcpy(to->format, from->format, sizeof to->format);
    memcpy(to->background, from->background, sizeof to->background);
    to->untitledNumber = from->untitledNumber;
    to->zoom = from->zoom;
    to->viewX = from->viewX;
    to->viewY = from->viewY;
    for (int i = 0; i < 3; i++) {
        to->slots[i].state = from->slots[i].state;
        to->slots[i].left = from->slots[i].left;
        to->slots[i].top = from->slots[i].top;
        to->slots[i].right = from->slots[i].right;
        to->slots[i].bottom = from->slots[i].bottom;
    }
}

static int64_t WholeImageBytes(const CDIB *image)
{
    int w, h, d;
    GetImageSize(image, &w, &h, &d);
    return CountedUndoBytes(w, h, d / 8 > 0 ? d / 8 : 1);
}

UndoRecord *CreateUndoWhole(CDIB *image, CDIB *replaced, const char *label)
{
    if (!PageFileAllowsUndo() || !CeilingAllows(replaced ? replaced->undoBytes : 0))
        return NULL;
    UndoRecord *r = (UndoRecord *)calloc(1, sizeof(UndoRecord));
    if (!r)
        return NULL;
    r->newCopy = CopyImageForUndo(image);
    r->label = CopyLabel(label);
    if (!r->newCopy || !r->label) {
        if (r->newCopy) {
            FreeImageStore(r->newCopy);
            free(r->newCopy);
        }
        free(r->label);
        free(r);
        return NULL;
    }
    r->kind = kUndoWholeImage;
    r->x0 = r->y0 = r->x1 = r->y1 = -1;
    r->bytes = WholeImageBytes(image);
    return r;
}

bool AddSavedLayer(UndoRecord *record, const LayerRecord *layer)
{
    if (!record || !layer)
        return false;
    LayerRecord *copy = (LayerRecord *)malloc(sizeof(LayerRecord));
    if (!copy)
        return false;
    *copy = *layer;
    copy->next = NULL;
    LayerRecord **tail = &record->savedLayers;
    while (*tail)
        tail = &(*tail)->next;
    *tail = copy;
    return true;
}

void ReleaseMergedImage(CDIB *image)
{
    if (image && IsImageListed(image) && !FindGroupOfImage(image) && !IsImageQueued(image)) {
        UnlinkImage(image);
        FreeImageData(image);
        free(image);
        NotifyImageListChanged();
    }
}

// A merged layer's image lives on only in its undo record and stays in the image list; it is closed
// with the record.
static void ReleaseSavedLayers(LayerRecord *layer)
{
    while (layer) {
        LayerRecord *next = layer->next;
        ReleaseMergedImage(layer->image);
        free(layer);
        layer = next;
    }
}

// Images held by a whole-image record own their header, pixels and border points, never a mask:
// the live mask went on to the replacing image.
static void ReleaseHeldImage(CDIB *image)
{
    if (!image)
        return;
    image->mask = NULL;
    FreeImageStore(image);
    FreeUndoRecords(image, image->undoFirst);
    free(image);
}

void FreeUndoRecord(UndoRecord *r)
{
    if (!r)
        return;
    if (r->kind == kUndoPixelRect && r->before) {
        int64_t size = GetPixelBufferSize(UndoRecordWidth(r), UndoRecordHeight(r), 32);
        GiveStore(r->before, size);
        GiveStore(r->after, size);
    } else {
        free(r->before);
        free(r->after);
    }
    free(r->label);
    LayerRecord *saved = r->savedLayers;
    r->savedLayers = NULL;
    ReleaseSavedLayers(saved);
    ReleaseHeldImage(r->oldImage);
    ReleaseHeldImage(r->newCopy);
    free(r);
}

void FreeChainFrom(const UndoChain &chain, UndoRecord *from)
{
    if (!from)
        return;
    UndoRecord *previous = FindPreviousRecord(chain, from);
    if (!previous && *chain.first != from)
        return; // not in this chain
    bool currentFreed = false;
    for (UndoRecord *r = from; r; r = r->next)
        if (r == *chain.current)
            currentFreed = true;
    if (previous)
        previous->next = NULL;
    else
        *chain.first = NULL;
    *chain.last = previous;
    if (currentFreed)
        *chain.current = previous;
    UndoRecord *r = from;
    while (r) {
        UndoRecord *next = r->next;
        *chain.bytes -= (INT_PTR)r->bytes;
        FreeUndoRecord(r);
        r = next;
    }
    if (!*chain.first)
        *chain.bytes = 0;
}

void DropRedo(const UndoChain &chain)
{
    if (*chain.current)
        FreeChainFrom(chain, (*chain.current)->next);
    else
        FreeChainFrom(chain, *chain.first);
}

void DropOldest(const UndoChain &chain)
{
    UndoRecord *oldest = *chain.first;
    if (!oldest)
        return;
    *chain.first = oldest->next;
    if (*chain.last == oldest)
        *chain.last = NULL;
    if (*chain.current == oldest)
        *chain.current = oldest->next;
    *chain.bytes -= (INT_PTR)oldest->bytes;
    if (!*chain.first)
        *chain.bytes = 0;
    FreeUndoRecord(oldest);
}

void AppendRecord(const UndoChain &chain, UndoRecord *r)
{
    r->next = NULL;
    if (*chain.last)
        (*chain.last)->next = r;
    else
        *chain.first = r;
    *chain.last = r;
    *chain.current = r;
    *chain.bytes += (INT_PTR)r->bytes;
    NotifyMemoryChanged();
}

UndoRecord *PushUndo(ImageGroup *group, CDIB *image, int kind)
{
    RECT dirty;
    if (!GetDirtyRect(&dirty))
        return NULL;
    if (kind == kUndoRegionRect) {
        if (!group)
            return NULL;
    } else if (!image) {
        return NULL;
    }
    // The rectangle must lie in the image it records: clip it there first.
    int w, h, d;
    CDIB *target = kind == kUndoRegionRect ? group->base : image;
    if (!GetImageSize(target, &w, &h, &d))
        return NULL;
    int dx = kind == kUndoRegionRect || !group ? 0 : group->layerX;
    int dy = kind == kUndoRegionRect || !group ? 0 : group->layerY;
    int64_t l = dirty.left, t = dirty.top, r = dirty.right, b = dirty.bottom;
    l = l - dx < 0 ? dx : l;
    t = t - dy < 0 ? dy : t;
    r = r - dx > w - 1 ? (int64_t)w - 1 + dx : r;
    b = b - dy > h - 1 ? (int64_t)h - 1 + dy : b;
    if (l > r || t > b)
        return NULL;

    UndoChain chain = kind == kUndoRegionRect ? RegionChain(group) : ImageChain(image);
    DropRedo(chain);
    UndoRecord *record;
    while (!(record = CreateUndoRect(group, image, (int)l, (int)t, (int)r, (int)b, "aaa", kind))) {
        if (!*chain.first) {
            *chain.last = *chain.current = NULL;
            *chain.bytes = 0;
            return NULL;
        }
        DropOldest(chain);
    }
    AppendRecord(chain, record);
    return record;
}

// The chain as handed over may lack its last record and byte count: both follow from the records.
static void RepairChain(const UndoChain &chain)
{
    UndoRecord *last = NULL;
    INT_PTR bytes = 0;
    for (UndoRecord *r = *chain.first; r; r = r->next) {
        last = r;
        bytes += (INT_PTR)r->bytes;
    }
    *chain.last = last;
    *chain.bytes = bytes;
}

void PushWholeImageUndo(CDIB *newImage, CDIB *oldImage)
{
    if (!newImage || !oldImage || newImage == oldImage)
        return;
    // The live mask went to the new image; a mask of its own the old one no longer needs.
    if (oldImage->mask != newImage->mask)
        free(oldImage->mask);
    oldImage->mask = NULL;
    UndoChain chain = ImageChain(newImage);
    RepairChain(chain);
    DropRedo(chain);
    UndoRecord *record;
    while (!(record = CreateUndoWhole(newImage, newImage, "REP"))) {
        if (!*chain.first) {
            *chain.last = *chain.current = NULL;
            *chain.bytes = 0;
            FreeImageData(oldImage);
            free(oldImage);
            return;
        }
        DropOldest(chain);
    }
    record->oldImage = oldImage;
    AppendRecord(chain, record);
}

void FreeUndoRecords(CDIB *image, UndoRecord *from)
{
    if (image)
        FreeChainFrom(ImageChain(image), from);
}

void FreeRegionUndoRecords(ImageGroup *group, UndoRecord *from)
{
    if (group)
        FreeChainFrom(RegionChain(group), from);
}
