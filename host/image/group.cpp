// The group list: making, finding, closing and freeing image groups.
#include "image/group.h"
#include "base/notify.h"
#include "image/current.h"
#include "image/cdib.h"
#include "image/imagelist.h"
#include "image/regions.h"
#include "image/undo.h"
#include "base/app.h"
#include "base/settings.h"
#include <stdlib.h>
#include <string.h>

ImageGroup *g_firstGroup, *g_lastGroup, *g_currentGroup;
LayerRecord *g_currentLayer;

ImageGroup *CreateImageGroup(CDIB *base)
{
    ImageGroup *group = (ImageGroup *)calloc(1, sizeof(ImageGroup));
    if (!group)
        return NULL;
    int w, h, d;
    GetImageSize(base, &w, &h, &d);
    group->base = base;
    group->baseStatus = 1;
    group->currentImage = base;
    group->right = w - 1;
    group->bottom = h - 1;
    if (base)
        memcpy(group->name, base->name, sizeof group->name);
    group->name[sizeof group->name - 1] = 0;
    return group;
}

void AppendImageGroup(ImageGroup *group)
{
    group->next = NULL;
    if (g_lastGroup)
        g_lastGroup->next = group;
    else
        g_firstGroup = group;
    g_lastGroup = group;
    g_currentGroup = FindGroupOfImage(g_currentImage);
    SyncCurrentLayer(g_currentGroup);
    NotifyImageGroupListChanged();
}

int AddImageGroup(CDIB *base)
{
    ImageGroup *group = CreateImageGroup(base);
    if (!group)
        return 0;
    AppendImageGroup(group);
    return 1;
}

// An opened image that no group takes would stay listed, never shown and never freed.
static void DropOpenedImage(CDIB *image)
{
    UnlinkImage(image);
    FreeImageData(image);
    free(image);
}

void AddOpenedImage(ImageGroup *group, CDIB *lastBefore, CDIB *image)
{
    if (g_lastImage == lastBefore || !image)
        return;
    if (!group) {
        if (AddImageGroup(image))
            AskShowGroupInWindow(g_currentWindow, g_lastGroup, 0, 1);
        else if (!FindGroupOfImage(image))
            DropOpenedImage(image);
        return;
    }
    if (CreateLayer(group, image, 0, 0, 1, 255, 0))
        NotifyRedrawGroupWindows(group);
    else if (!FindGroupOfImage(image))
        DropOpenedImage(image);
}

ImageGroup *FindGroupOfImage(const CDIB *image)
{
    if (!image)
        return NULL;
    for (ImageGroup *g = g_firstGroup; g; g = g->next) {
        if (g->base == image)
            return g;
        for (LayerRecord *l = g->firstLayer; l; l = l->next)
            if (l->image == image)
                return g;
    }
    return NULL;
}

ImageGroup *FindGroupOfLayer(const LayerRecord *layer)
{
    if (!layer)
        return NULL;
    for (ImageGroup *g = g_firstGroup; g; g = g->next)
        for (LayerRecord *l = g->firstLayer; l; l = l->next)
            if (l == layer)
                return g;
    return NULL;
}

ImageGroup *FindPreviousGroup(const ImageGroup *group)
{
    for (ImageGroup *g = g_firstGroup; g; g = g->next)
        if (g->next == group)
            return g;
    return NULL;
}

ImageGroup *FindNthImageGroup(int n)
{
    if (n < 0)
        return NULL;
    ImageGroup *g = g_firstGroup;
    while (g && n-- > 0)
        g = g->next;
    return g;
}

bool IsGroupListed(const ImageGroup *group)
{
    for (ImageGroup *g = g_firstGroup; g; g = g->next)
        if (g == group)
            return true;
    return false;
}

CDIB *GetGroupBaseImage(const ImageGroup *group)
{
    return group ? group->base : NULL;
}

int GetGroupImageSize(const ImageGroup *group, int *width, int *height, int *depth)
{
    return GetImageSize(group ? group->base : NULL, width, height, depth);
}

int CountGroupImages(const ImageGroup *group)
{
    if (!group)
        return 0;
    int n = 1;
    for (LayerRecord *l = group->firstLayer; l; l = l->next)
        n++;
    return n;
}

void SyncCurrentLayer(const ImageGroup *group)
{
    g_currentLayer = group ? group->currentLayer : NULL;
}

static void UnlinkGroup(ImageGroup *group)
{
    if (!IsGroupListed(group))
        return;
    ImageGroup *previous = FindPreviousGroup(group);
    if (previous)
        previous->next = group->next;
    else
        g_firstGroup = group->next;
    if (g_lastGroup == group)
        g_lastGroup = previous;
    if (g_currentGroup == group) {
        g_currentGroup = NULL;
        g_currentLayer = NULL;
    }
}

// Frees an image without asking, as a reader does with a group it could not complete.
static void DiscardImage(CDIB *image)
{
    UnlinkImage(image);
    FreeImageData(image);
    NotifyImageListChanged();
    free(image);
}

int FreeImageGroup(ImageGroup *group, int closing)
{
    if (!group)
        return 0;
    if (!group->base) {
        UnlinkGroup(group);
        free(group);
        return 0;
    }
    for (LayerRecord *l = group->firstLayer; l; l = l->next)
        if (l->image && l->image->modified)
            group->base->modified = 1;
    int quitting = IsQuitInProgress() ? 1 : 0;
    if (closing && CloseImageWithPrompt(group, group->base, quitting) == group->base)
        return 0;
    if (!closing)
        DiscardImage(group->base);
    group->base = NULL;
    LayerRecord *layer = group->firstLayer;
    while (layer) {
        LayerRecord *above = layer->next;
        if (layer->image && !IsImageQueued(layer->image)) {
            layer->image->modified = 0;
            if (closing)
                CloseImageWithPrompt(group, layer->image, quitting);
            else
                DiscardImage(layer->image);
        }
        free(layer);
        layer = above;
    }
    group->firstLayer = NULL;
    FreeRegionUndoRecords(group, group->regionUndoFirst);
    UnlinkGroup(group);
    free(group);
    return 1;
}

QZS_DECL(ImageGroup *) QzsGetFirstImageGroup(void)
{
    return g_firstGroup;
}

QZS_DECL(ImageGroup *) QzsGetNthImageGroup(int n)
{
    return FindNthImageGroup(n);
}

QZS_DECL(ImageGroup *) QzsGetImageParameter(const char *text, int *isRegion, int *x0, int *y0, int *x1, int *y1)
{
    *isRegion = text && text[0] == 'R';
    // The group number starts at the sixth character; a shorter text names group 0.
    int n = 0;
    if (text && strnlen(text, 5) == 5)
        n = atoi(text + 5);
    ImageGroup *group = QzsGetNthImageGroup(n);
    QzsGetRegionArea(group, group ? group->currentLayer : NULL, x0, y0, x1, y1, *isRegion);
    return group;
}

QZS_DECL(int) QzsCloseMDIB(ImageGroup *group)
{
    if (!group || !IsGroupListed(group))
        return 0;
    // Windows must not keep the group once it is freed: note them before, detach them after.
    ImageWindow *showing[256];
    int count = 0;
    for (ImageWindow *w = g_firstWindow; w && count < 256; w = w->next)
        if (w->group == group)
            showing[count++] = w;
    if (!FreeImageGroup(group, 1))
        return 0;
    NotifyImageGroupListChanged();
    for (int i = 0; i < count; i++) {
        showing[i]->group = NULL;
        showing[i]->layerImage = NULL;
        if (showing[i] == g_currentWindow)
            g_currentImage = NULL;
    }
    if (!g_cfg.BindImageToOneWindow)
        for (int i = 0; i < count; i++)
            if (IsWindowListed(showing[i]))
                AskShowGroupInWindow(showing[i], g_firstGroup, 1, 0);
    return 1;
}
