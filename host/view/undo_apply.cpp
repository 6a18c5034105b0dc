// The undo and redo commands: pixel rectangles and whole images on the edited image's chain,
// region rectangles on the group's chain.
#include "view/winlist.h"
#include "view/display.h"
#include "view/undo_apply.h"
#include "view/regionborder.h"
#include "view/groupview.h"
#include "image/undo.h"
#include "base/notify.h"
#include "image/undo_chain.h"
#include "image/cdib.h"
#include "image/group.h"
#include "image/imagelist.h"
#include "image/dirtyrect.h"
#include "image/regions.h"
#include "base/app.h"
#include "base/msgbox.h"
#include <stdlib.h>
#include <string.h>

static CDIB *EditedImage(const ImageWindow *window)
{
    if (!window)
        return NULL;
    if (window->layerImage)
        return window->layerImage;
    return window->group ? window->group->currentImage : NULL;
}

// Recomposes a group rectangle of the window when it has a display to compose into.
static void RecomposeRect(ImageWindow *window, int l, int t, int r, int b)
{
    if (window->display.pixels && window->group)
        ComposeDisplayRect(window, window->group, l, t, r, b, 0);
}

// Writes a record store into the image, clipped to the image.
static void WriteRecordPixels(CDIB *image, const UndoRecord *r, const void *from)
{
    int w, h, d;
    if (!GetImageSize(image, &w, &h, &d) || d != 32 || !image->pixels || !from)
        return;
    uint32_t *pixels = (uint32_t *)image->pixels;
    const uint32_t *store = (const uint32_t *)from;
    int rw = UndoRecordWidth(r);
    int x0 = r->x0 < 0 ? 0 : r->x0, x1 = r->x1 < w - 1 ? r->x1 : w - 1;
    if (x0 > x1)
        return;
    for (int y = r->y0 < 0 ? 0 : r->y0; y <= r->y1 && y < h; y++)
        memcpy(pixels + (int64_t)y * w + x0, store + (int64_t)(y - r->y0) * rw + (x0 - r->x0),
               (size_t)(x1 - x0 + 1) * 4);
}

// The record's rectangle in group coordinates, clamped to the base; false when nothing is left.
static bool RecordRectInGroup(const ImageWindow *window, const UndoRecord *r, RECT *out)
{
    int w, h, d;
    ImageGroup *g = window->group;
    if (!g || !GetImageSize(g->base, &w, &h, &d))
        return false;
    int l = r->x0 + g->layerX, t = r->y0 + g->layerY, rr = r->x1 + g->layerX, b = r->y1 + g->layerY;
    ClipRectangle(&l, &t, &rr, &b, 0, 0, w - 1, h - 1);
    *out = {l, t, rr, b};
    return l <= rr && t <= b;
}

// Undo links fresh copies of the saved layers in right above the current layer (at the bottom
// when the base is current). Images that went to the deleted-image queue meanwhile stay out.
static void RestoreSavedLayers(ImageGroup *group, const UndoRecord *r)
{
    if (!group || !r->savedLayers)
        return;
    LayerRecord *below = group->currentLayer;
    for (const LayerRecord *s = r->savedLayers; s; s = s->next) {
        if (!s->image || FindGroupOfImage(s->image) || IsImageQueued(s->image) || !IsImageListed(s->image))
            continue;
        LayerRecord *copy = (LayerRecord *)malloc(sizeof(LayerRecord));
        if (!copy)
            break;
        *copy = *s;
        LayerRecord **link = below ? &below->next : &group->firstLayer;
        copy->next = *link;
        *link = copy;
        below = copy;
        SetLayerOrigin(group, copy, copy->x, copy->y);
        NotifyImageChanged(group, copy, copy->image, kChangeLayerInserted);
    }
    NotifyMenusChanged();
}

static void RemoveSavedLayers(ImageGroup *group, const UndoRecord *r)
{
    if (!group)
        return;
    for (const LayerRecord *s = r->savedLayers; s; s = s->next)
        for (LayerRecord *l = group->firstLayer; l; l = l->next)
            if (l->image == s->image) {
                // The record keeps its own copy and the image; the group's record goes.
                RemoveLayer(group, l, 1, 0, 1);
                break;
            }
}

// A fresh image for a whole-image step: the size, depth, pixels and bounds of source, the chain of
// the edited image; it replaces the edited image in the window. NULL without memory.
static CDIB *ReplaceWithCopyOf(ImageWindow *window, CDIB *edited, const CDIB *source)
{
    int w, h, d;
    if (!GetImageSize(source, &w, &h, &d) || !source->pixels)
        return NULL;
    CDIB *fresh = (CDIB *)calloc(1, sizeof(CDIB));
    int64_t size = GetPixelBufferSize(w, h, d);
    if (!fresh || size < 0 || InitImageRecord(w, h, d, fresh, 1, 1) != 0) {
        free(fresh);
        return NULL;
    }
    memcpy(fresh->header, source->header, ImageHeaderBytes(source));
    memcpy(fresh->pixels, source->pixels, (size_t)size);
    CopyImageIdentity(fresh, source);
    fresh->undoFirst = edited->undoFirst;
    fresh->undoLast = edited->undoLast;
    fresh->undoCurrent = edited->undoCurrent;
    fresh->undoBytes = edited->undoBytes;
    QzsReplaceWinImage(window, fresh, 0);
    return fresh;
}

static void FinishStep(ImageWindow *window, const UndoRecord *r)
{
    if (window->activeRegion && window->regionDisplayMode == 4)
        TraceRegionBorder(window);
    NotifyMenusChanged();
    RedrawGroupWindows(window->group);
    if (r->kind == kUndoPixelRect) {
        RECT rect;
        if (RecordRectInGroup(window, r, &rect)) {
            SetDirtyRect(rect.left, rect.top, rect.right, rect.bottom);
            if (window->display.pixels)
                RefreshWindowRect(window, rect.left, rect.top, rect.right, rect.bottom, 1);
            UpdateOtherViews(window);
            ClearDirtyRect();
        }
    }
    NotifyPluginMessage(6, 0, 0);
}

static int StepImage(ImageWindow *window, bool redo)
{
    CDIB *image = EditedImage(window);
    if (AskTransformMode() || AskReeditMode() || !image)
        return 1;
    UndoChain chain = ImageChain(image);
    UndoRecord *r = redo ? (*chain.current ? (*chain.current)->next : *chain.first) : *chain.current;
    // Only pixel and whole-image records belong here; the stores of any other hold no pixels.
    if (!r || (r->kind != kUndoPixelRect && r->kind != kUndoWholeImage))
        return 2;
    UndoRecord *newCurrent = redo ? r : FindPreviousRecord(chain, r);
    if (r->kind == kUndoWholeImage) {
        CDIB *fresh = ReplaceWithCopyOf(window, image, redo ? r->newCopy : r->oldImage);
        if (!fresh)
            return 1;
        fresh->undoCurrent = newCurrent;
    } else {
        WriteRecordPixels(image, r, redo ? r->after : r->before);
        RECT rect;
        if (RecordRectInGroup(window, r, &rect))
            RecomposeRect(window, rect.left, rect.top, rect.right, rect.bottom);
        if (redo)
            RemoveSavedLayers(window->group, r);
        else
            RestoreSavedLayers(window->group, r);
        image->undoCurrent = newCurrent;
    }
    FinishStep(window, r);
    return 0;
}

int UndoImage(ImageWindow *window)
{
    return StepImage(window, false);
}

int RedoImage(ImageWindow *window)
{
    return StepImage(window, true);
}

static int StepRegion(ImageWindow *window, bool redo)
{
    CDIB *image = EditedImage(window);
    if (AskTransformMode() || (!redo && AskReeditMode()) || !image || !window->group || !window->group->base)
        return 1;
    ImageGroup *group = window->group;
    UndoChain chain = RegionChain(group);
    UndoRecord *r = redo ? (*chain.current ? (*chain.current)->next : *chain.first) : *chain.current;
    if (!r)
        return 2;
    if (r->kind != kUndoRegionRect) {
        AppMessageBox(g_mainWindow, redo ? "SYSERR redo" : "SYSERR undo", "MES", MB_OK);
        return 2;
    }
    CDIB *base = group->base;
    int w, h, d;
    if (!GetImageSize(base, &w, &h, &d))
        return 1;
    // A whole-image step of another size drops the mask: the restored bytes need a fresh one.
    if (!base->mask && !(base->mask = (uint8_t *)calloc((size_t)w * h, 1)))
        return 1;
    const uint8_t *store = (const uint8_t *)(redo ? r->after : r->before);
    int rw = UndoRecordWidth(r);
    int l = r->x0, t = r->y0, rr = r->x1, b = r->y1;
    ClipRectangle(&l, &t, &rr, &b, 0, 0, w - 1, h - 1);
    if (l > rr || t > b)
        return 2;
    for (int y = t; y <= b; y++)
        for (int x = l; x <= rr; x++) {
            int64_t i = (int64_t)y * w + x;
            uint8_t v = store[(int64_t)(y - r->y0) * rw + (x - r->x0)];
            base->mask[i] = v;
            if (window->editMask)
                window->editMask[i] = v;
        }
    // The slots must see the restored region again.
    ExtendRegionBounds(base, l, t, rr, b);
    RecomposeRect(window, l, t, rr, b);
    if (window->activeRegion && window->regionDisplayMode == 4)
        TraceRegionBorder(window);
    *chain.current = redo ? r : FindPreviousRecord(chain, r);
    NotifyMenusChanged();
    SetDirtyRect(l, t, rr, b);
    if (window->display.pixels)
        RefreshWindowRect(window, l, t, rr, b, 1);
    UpdateOtherViews(window);
    ClearDirtyRect();
    return 0;
}

int UndoRegion(ImageWindow *window)
{
    return StepRegion(window, false);
}

int RedoRegion(ImageWindow *window)
{
    return StepRegion(window, true);
}
