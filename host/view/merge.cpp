// Merging every layer of a group into its base.
#include "view/merge.h"
#include "view/display.h"
#include "image/blend.h"
#include "image/cdib.h"
#include "image/dirtyrect.h"
#include "image/group.h"
#include "image/undo.h"
#include "base/notify.h"
#include "view/winlist.h"
#include <string.h>
#include <algorithm>

static void CopyIntoStore(UndoRecord *record, const CDIB *image, int width, int height, bool after)
{
    if (!record || !image || !image->pixels || record->kind != kUndoPixelRect)
        return;
    uint32_t *store = (uint32_t *)(after ? record->after : record->before);
    const uint32_t *pixels = (const uint32_t *)image->pixels;
    int rw = UndoRecordWidth(record);
    int x0 = std::max(record->x0, 0), x1 = std::min(record->x1, width - 1);
    int y0 = std::max(record->y0, 0), y1 = std::min(record->y1, height - 1);
    for (int y = y0; y <= y1 && x0 <= x1; y++)
        memcpy(store + (int64_t)(y - record->y0) * rw + (x0 - record->x0), pixels + (int64_t)y * width + x0,
               (size_t)(x1 - x0 + 1) * 4);
}

void SaveUndoBefore(UndoRecord *record, const CDIB *image, int width, int height)
{
    CopyIntoStore(record, image, width, height, false);
}

void SaveUndoAfter(UndoRecord *record, const CDIB *image, int width, int height)
{
    CopyIntoStore(record, image, width, height, true);
}

// The layer over the target, through its blend, the upper alpha scaled by the layer's opacity.
// Only the part of the layer inside the target's rectangle counts.
static void BlendLayer(LayerRecord *layer, uint32_t *target, int targetWidth, int left, int top, int right,
                       int bottom)
{
    int lw, lh, ld;
    const CDIB *image = layer->image;
    if (!GetImageSize(image, &lw, &lh, &ld) || ld != 32 || !image->pixels)
        return;
    int64_t c0 = std::max<int64_t>(0, (int64_t)left - layer->x);
    int64_t c1 = std::min<int64_t>({(int64_t)layer->right - layer->x, (int64_t)right - layer->x, (int64_t)lw - 1});
    int64_t r0 = std::max<int64_t>(0, (int64_t)top - layer->y);
    int64_t r1 = std::min<int64_t>({(int64_t)layer->bottom - layer->y, (int64_t)bottom - layer->y, (int64_t)lh - 1});
    BlendFunction blend = SelectBlendFunction(layer->blend);
    int opacity = layer->opacity < 0 ? 0 : layer->opacity > 255 ? 255 : layer->opacity;
    const uint32_t *pixels = (const uint32_t *)image->pixels;
    for (int64_t r = r0; r <= r1; r++) {
        const uint32_t *from = pixels + r * lw;
        uint32_t *to = target + (r + layer->y - top) * targetWidth + ((int64_t)layer->x - left);
        for (int64_t c = c0; c <= c1; c++) {
            uint32_t u = from[c];
            int au = (int)(u >> 24) * opacity / 255;
            if (blend == BlendPixelOver) {
                // What the normal blend gives without dividing.
                if (au == 0)
                    continue;
                if (au == 255) {
                    to[c] = u | 0xFF000000u;
                    continue;
                }
                uint32_t l = to[c];
                if (l >> 24 == 255) {
                    // Over an opaque pixel the divisor 255 x 255 cancels against 255 in each term.
                    uint32_t mixed = 0xFF000000u;
                    for (int shift = 0; shift < 24; shift += 8)
                        mixed |= (((u >> shift & 255) * au + (l >> shift & 255) * (255 - au)) / 255) << shift;
                    to[c] = mixed;
                    continue;
                }
            }
            uint8_t upper[4], lower[4], result[4];
            memcpy(upper, &u, 4);
            upper[3] = (uint8_t)au;
            memcpy(lower, to + c, 4);
            memcpy(result, lower, 4);
            blend(lower, upper, (int)c, (int)r, result);
            memcpy(to + c, result, 4);
        }
    }
}

static bool HoldsLayer(const ImageGroup *group, const LayerRecord *layer)
{
    for (const LayerRecord *l = group->firstLayer; l; l = l->next)
        if (l == layer)
            return true;
    return false;
}

int MergeLayerInto(ImageGroup *group, LayerRecord *target, LayerRecord *layer, int first, UndoRecord **record)
{
    if (!layer || !group || layer == target || !HoldsLayer(group, layer) ||
        (target && !HoldsLayer(group, target)))
        return 0;
    CDIB *targetImage = target ? target->image : group->base;
    int tw, th, td;
    if (!GetImageSize(targetImage, &tw, &th, &td) || td != 32 || !targetImage->pixels)
        return 0;
    int left = target ? target->x : 0, top = target ? target->y : 0;
    int right = target ? target->right : tw - 1, bottom = target ? target->bottom : th - 1;
    if (first) {
        // The whole target image, counted from the current layer's origin as the undo records are.
        SetDirtyRect(group->layerX, group->layerY, group->layerX + tw - 1, group->layerY + th - 1);
        *record = PushUndo(group, targetImage, kUndoPixelRect);
        SaveUndoBefore(*record, targetImage, tw, th);
        ClearDirtyRect();
    }
    BlendLayer(layer, (uint32_t *)targetImage->pixels, tw, left, top, right, bottom);
    // Without a record to keep it the layer's image has no one left to hold it.
    CDIB *image = layer->image;
    bool kept = *record && AddSavedLayer(*record, layer);
    RemoveLayer(group, layer, 1, 0, 1);
    if (!kept)
        ReleaseMergedImage(image);
    return 1;
}

void MergeAllLayers(ImageGroup *group)
{
    if (!group || !group->base)
        return;
    QzsSetCurrentInImageGroup(group, NULL);
    CDIB *base = group->base;
    int w, h, d;
    if (!group->firstLayer || !GetImageSize(base, &w, &h, &d) || d != 32 || !base->pixels)
        return;
    UndoRecord *record = NULL;
    int first = 1;
    for (LayerRecord *layer = group->firstLayer, *next; layer; layer = next) {
        next = layer->next; // merging takes the layer out
        MergeLayerInto(group, NULL, layer, first, &record);
        first = 0;
    }
    SaveUndoAfter(record, base, w, h);
    base->modified = 1;
    // Every view of the group, not only the current one, shows the merged base at once.
    for (ImageWindow *window = g_firstWindow; window; window = window->next)
        if (window->group == group) {
            ComposeWholeDisplay(window, group);
            window->recompose = 0;
            RedrawImageWindow(window);
        }
    NotifyMenusChanged();
}
