// Layers of an image group: insert, delete, move, current layer, origin, status, opacity, blend.
#include "image/group.h"
#include "base/notify.h"
#include "image/blend.h"
#include "image/bindings.h"
#include "image/current.h"
#include "image/cdib.h"
#include "image/imagelist.h"
#include "image/dirtyrect.h"
#include "base/app.h"
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

LayerBlendRecord g_normalBlend = {NULL, "%Normal", "", "", BlendPixelOver};

LayerRecord *FindPreviousLayer(const ImageGroup *group, const LayerRecord *layer)
{
    if (!group)
        return NULL;
    for (LayerRecord *l = group->firstLayer; l; l = l->next)
        if (l->next == layer)
            return l;
    return NULL;
}

LayerRecord *GetLastLayer(const ImageGroup *group)
{
    LayerRecord *last = group ? group->firstLayer : NULL;
    while (last && last->next)
        last = last->next;
    return last;
}

LayerRecord *GetNthLayer(const ImageGroup *group, int n)
{
    if (!group || n <= 0)
        return NULL;
    LayerRecord *l = group->firstLayer;
    while (l && --n > 0)
        l = l->next;
    return l;
}

LayerRecord *GetWindowLayer(const ImageWindow *window)
{
    return window && window->group ? window->group->currentLayer : NULL;
}

static bool GroupHoldsLayer(const ImageGroup *group, const LayerRecord *layer)
{
    for (LayerRecord *l = group->firstLayer; l; l = l->next)
        if (l == layer)
            return true;
    return false;
}

void CopyLayerRectToGroup(ImageGroup *group, const LayerRecord *layer)
{
    if (!layer) {
        int w, h, d;
        GetImageSize(group->base, &w, &h, &d);
        group->layerX = group->layerY = group->clampedX = group->clampedY = 0;
        group->right = w - 1;
        group->bottom = h - 1;
    } else {
        group->layerX = group->clampedX = layer->x;
        group->layerY = group->clampedY = layer->y;
        group->right = layer->right;
        group->bottom = layer->bottom;
    }
    if (group->clampedX < 0)
        group->clampedX = 0;
    if (group->clampedY < 0)
        group->clampedY = 0;
}

void SetLayerOrigin(ImageGroup *group, LayerRecord *layer, int x, int y)
{
    int w0, h0, d0, w, h, d;
    GetImageSize(group->base, &w0, &h0, &d0);
    GetImageSize(layer->image, &w, &h, &d);
    x = x < w0 ? x : w0;
    y = y < h0 ? y : h0;
    layer->x = x;
    layer->y = y;
    layer->width = w;
    layer->height = h;
    int64_t r = (int64_t)x + w, b = (int64_t)y + h;
    layer->right = (int)((r < w0 ? r : w0) - 1);
    layer->bottom = (int)((b < h0 ? b : h0) - 1);
    if (group->currentLayer == layer)
        CopyLayerRectToGroup(group, layer);
    if (AskTransformMode() && AskTransformGroup() == group && AskTransformSource() == layer->image)
        NotifyTransformSourceMoved(layer->x, layer->y);
    NotifyImageChanged(group, layer, layer->image, kChangeOrigin);
}

LayerRecord *CreateLayer(ImageGroup *group, CDIB *image, int x, int y, int status, int opacity, int blend)
{
    if (!group || !group->base || group->base->editDepth != 32 || !image)
        return NULL;
    // An image a group already holds would be freed twice with the groups; one the image list does
    // not hold may be a plug-in's own record, which the group must never free.
    if (FindGroupOfImage(image) || !IsImageListed(image))
        return NULL;
    LayerRecord *layer = (LayerRecord *)calloc(1, sizeof(LayerRecord));
    if (!layer)
        return NULL;
    layer->image = image;
    SetLayerOrigin(group, layer, x, y);
    layer->status = status;
    layer->opacity = opacity;
    layer->blend = blend;
    LayerRecord *top = GetLastLayer(group);
    if (top)
        top->next = layer;
    else
        group->firstLayer = layer;
    NotifyImageChanged(group, layer, image, kChangeLayerInserted);
    return layer;
}

int RemoveLayer(ImageGroup *group, LayerRecord *layer, int redraw, int queue, int freeRecord)
{
    if (!group || !layer || !GroupHoldsLayer(group, layer))
        return 0;
    CDIB *image = layer->image;
    if (image)
        image->modified = 0;
    LayerRecord *below = FindPreviousLayer(group, layer);
    if (queue && image)
        QueueDeletedImage(image);
    LayerRecord *above = layer->next;
    bool wasCurrent = group->currentLayer == layer;
    if (below)
        below->next = above;
    else
        group->firstLayer = above;
    if (freeRecord)
        free(layer);
    if (wasCurrent) {
        QzsSetCurrentInImageGroup(group, below);
        if (redraw)
            NotifyRedrawGroupWindows(group);
    }
    NotifyImageChanged(group, group->currentLayer, group->currentImage, kChangeLayerRemoved);
    return 1;
}

void RefreshImageGeometry(CDIB *image)
{
    for (ImageGroup *g = g_firstGroup; g; g = g->next) {
        if (g->base == image && g->currentImage == image)
            CopyLayerRectToGroup(g, NULL);
        for (LayerRecord *l = g->firstLayer; l; l = l->next)
            if (l->image == image)
                SetLayerOrigin(g, l, l->x, l->y);
    }
}

BlendFunction SelectBlendFunction(int index)
{
    LayerBlendRecord *record = QzsGetColorBlendMode(index);
    BlendFunction blend = record && record->QzcGetBlendColor ? record->QzcGetBlendColor : BlendPixelOver;
    SetCurrentBlendFunction(blend);
    return blend;
}

// ---- host services ----

static int LayerOriginService(ImageGroup *group, LayerRecord *layer, int x, int y, int redraw)
{
    SetLayerOrigin(group, layer, x, y);
    ImageWindow *window = g_currentWindow;
    if (window) {
        NotifyRecomposeWindow(window);
        NotifyRefreshWindowRect(window, 0, 0, window->contentWidth - 1, window->contentHeight - 1, redraw);
        SetDirtyRect(0, 0, window->contentWidth - 1, window->contentHeight - 1);
        NotifyUpdateOtherViews(window);
        ClearDirtyRect();
    }
    return -1;
}

QZS_DECL(int) QzsSetLayerOrg(ImageGroup *group, int x, int y, int redraw)
{
    if (!group || !group->currentLayer)
        return 0;
    return LayerOriginService(group, group->currentLayer, x, y, redraw);
}

QZS_DECL(int) QzsSetLayerOrgEx(ImageGroup *group, LayerRecord *layer, int x, int y, int redraw)
{
    if (!group || !layer || !GroupHoldsLayer(group, layer))
        return 0;
    return LayerOriginService(group, layer, x, y, redraw);
}

QZS_DECL(int) QzsGetLayerSize(ImageWindow *window, int *left, int *top, int *right, int *bottom, int any)
{
    if (!window || !window->group || (!any && !window->group->currentLayer))
        return 0;
    ImageGroup *g = window->group;
    int w, h, d;
    GetImageSize(window->layerImage ? window->layerImage : g->currentImage, &w, &h, &d);
    *left = g->layerX;
    *top = g->layerY;
    *right = g->layerX + w - 1;
    *bottom = g->layerY + h - 1;
    return 1;
}

QZS_DECL(int) QzsGetLayerSizeEx(ImageGroup *group, LayerRecord *layer, int *left, int *top, int *right, int *bottom)
{
    if (!group || !layer)
        return 0;
    *left = layer->x;
    *top = layer->y;
    *right = layer->x + layer->width - 1;
    *bottom = layer->y + layer->height - 1;
    return 1;
}

QZS_DECL(LayerRecord *) QzsInsertNewLayer(ImageGroup *group, CDIB *image, int x, int y, int status, int opacity,
                                          int redraw)
{
    // An image a group holds keeps its name: it cannot become this layer.
    if (!group || !image || FindGroupOfImage(image))
        return NULL;
    group->layerCounter++;
    snprintf(image->name, sizeof image->name, "<<Layer>>:%02d", group->layerCounter);
    LayerRecord *layer = CreateLayer(group, image, x, y, status, opacity, 0);
    QzsSetCurrentInImageGroup(group, layer);
    if (redraw)
        NotifyRedrawGroupWindows(group);
    return layer;
}

QZS_DECL(int) QzsInsertLayer(ImageWindow *window, int mode, int alpha)
{
    if (!window || !window->group || !window->group->base || window->group->base->editDepth != 32)
        return 0;
    NotifyNewImageBackColor(mode);
    int w, h, d;
    GetImageSize(window->group->base, &w, &h, &d);
    CDIB *image;
    if (CreateImageRecord(&image, w, h, 32) != 0)
        return 0;
    QzsInitImage(image, mode, alpha);
    // The group gained a layer no file holds yet: closing it asks to save.
    image->modified = 1;
    QzsInsertNewLayer(window->group, image, 0, 0, 1, 255, 1);
    return 1;
}

QZS_DECL(int) QzsSetCurrentInImageGroup(ImageGroup *group, LayerRecord *layer)
{
    if (!group)
        return 0;
    if (layer && !GroupHoldsLayer(group, layer))
        layer = NULL;
    bool changed = group->currentLayer != layer;
    group->currentImage = layer ? layer->image : group->base;
    group->currentLayer = layer;
    if (group == g_currentGroup) {
        g_currentImage = group->currentImage;
        SyncCurrentLayer(group);
        if (g_currentWindow && g_currentWindow->group == group)
            g_currentWindow->layerImage = group->currentImage;
    }
    for (ImageWindow *w = g_firstWindow; w; w = w->next)
        if (w->group == group)
            w->layerImage = group->currentImage;
    CopyLayerRectToGroup(group, layer);
    NotifyImageChanged(group, layer, group->currentImage, kChangeCurrentLayer);
    NotifyMenusChanged();
    if (changed)
        NotifyRedrawGroupWindows(group);
    return 1;
}

QZS_DECL(int) QzsGetLayerStatus(ImageGroup *group, LayerRecord *layer)
{
    if (!group)
        return 0;
    return layer ? layer->status : group->baseStatus;
}

QZS_DECL(int) QzsChangeLayerStatus(ImageGroup *group, LayerRecord *layer, int status, int redraw)
{
    if (!group)
        return 0;
    if (layer)
        layer->status = status;
    else
        group->baseStatus = status;
    if (redraw)
        NotifyRedrawGroupWindows(group);
    NotifyImageChanged(group, layer, layer ? layer->image : group->base, kChangeStatus);
    return 1;
}

QZS_DECL(int) QzsChangeLayerOpacity(ImageGroup *group, LayerRecord *layer, int opacity, int redraw)
{
    if (!group || !layer)
        return 0;
    layer->opacity = opacity < 0 ? 0 : opacity > 255 ? 255 : opacity;
    if (redraw)
        NotifyRedrawGroupWindows(group);
    NotifyImageChanged(group, layer, layer->image, kChangeOpacity);
    return 1;
}

QZS_DECL(int) QzsDeleteLayer(ImageGroup *group, LayerRecord *layer, int redraw)
{
    if (!group || !layer || !RemoveLayer(group, layer, redraw, 1, 1))
        return 0;
    if (group->base)
        group->base->modified = 1; // the saved group still has the layer
    return 1;
}

QZS_DECL(LayerRecord *) QzsGetNextLayer(ImageGroup *group, LayerRecord *layer)
{
    if (!group)
        return NULL;
    return layer ? layer->next : group->firstLayer;
}

QZS_DECL(int) QzsMoveLayer(ImageGroup *group, LayerRecord *layer, LayerRecord *after)
{
    if (!group || !layer || layer == after || !GroupHoldsLayer(group, layer) ||
        (after && !GroupHoldsLayer(group, after)))
        return 0;
    LayerRecord *below = FindPreviousLayer(group, layer);
    if (below)
        below->next = layer->next;
    else
        group->firstLayer = layer->next;
    if (after) {
        layer->next = after->next;
        after->next = layer;
    } else {
        layer->next = group->firstLayer;
        group->firstLayer = layer;
    }
    NotifyRedrawGroupWindows(group);
    NotifyImageChanged(group, layer, layer->image, kChangeLayerRemoved);
    return 1;
}

QZS_DECL(int) QzsSetLayerBlendMode(ImageGroup *group, LayerRecord *layer, int mode)
{
    if (!layer)
        return 0;
    if (layer->blend != mode) {
        layer->blend = mode;
        if (group)
            NotifyRedrawGroupWindows(group);
    }
    return 1;
}

QZS_DECL(LayerBlendRecord *) QzsGetColorBlendMode(int index)
{
    if (index < 0 || index > 100)
        return NULL;
    if (index == 0)
        return &g_normalBlend;
    return GetLayerBlendRow(index - 1);
}
