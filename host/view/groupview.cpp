// Groups and the image windows that show them: showing a group, titles, redraws, flattening and
// replacing an image wherever it is used.
#include "view/groupview.h"
#include "image/group.h"
#include "base/notify.h"
#include "image/cdib.h"
#include "view/display.h"
#include "image/imagelist.h"
#include "view/paint.h"
#include "image/undo.h"
#include "base/app.h"
#include "base/settings.h"
#include "base/messages.h"
#include "view/winlist.h"
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

int GetClientWidth(HWND window)
{
    RECT r = {0, 0, 0, 0};
    GetClientRect(window, &r);
    return r.right - r.left;
}

int GetClientHeight(HWND window)
{
    RECT r = {0, 0, 0, 0};
    GetClientRect(window, &r);
    return r.bottom - r.top;
}

int GetWindowWidth(HWND window)
{
    RECT r = {0, 0, 0, 0};
    GetWindowRect(window, &r);
    return r.right - r.left;
}

int GetWindowHeight(HWND window)
{
    RECT r = {0, 0, 0, 0};
    GetWindowRect(window, &r);
    return r.bottom - r.top;
}

int FlattenImageGroup(ImageGroup *group, CDIB *out)
{
    int w, h, d;
    if (!group || !GetImageSize(group->base, &w, &h, &d))
        return 0;
    if (InitImageRecord(w, h, 32, out, 1, 1) != 0)
        return 0;
    uint32_t *store = (uint32_t *)out->pixels;
    uint8_t *maskRow = (uint8_t *)malloc((size_t)w);
    if (!maskRow) {
        FreeImageData(out);
        return 0;
    }
    for (int y = 0; y < h; y++)
        ComposeRow(0, y, 0, w, group, NULL, NULL, NULL, store + (int64_t)y * w, maskRow);
    free(maskRow);
    return 1;
}

int ReplaceImageInGroup(ImageGroup *group, CDIB *oldImage, CDIB *newImage)
{
    int changed = 0;
    bool baseChanged = false;
    if (group->base == oldImage) {
        group->base = newImage;
        baseChanged = true;
        changed = 2;
    }
    if (group->currentImage == oldImage) {
        group->currentImage = newImage;
        if (baseChanged)
            CopyLayerRectToGroup(group, NULL);
        changed = 2;
    }
    for (LayerRecord *l = group->firstLayer; l; l = l->next)
        if (l->image == oldImage) {
            l->image = newImage;
            SetLayerOrigin(group, l, l->x, l->y);
            changed = 2;
        }
    return changed;
}

static int s_bindOverride = -1; // BindImageToOneWindow held off while an image is replaced

static int BindImageToOneWindow()
{
    return s_bindOverride >= 0 ? s_bindOverride : g_cfg.BindImageToOneWindow;
}

void ReplaceImageEverywhere(CDIB *oldImage, CDIB *newImage)
{
    for (ImageGroup *g = g_firstGroup; g; g = g->next)
        if (ReplaceImageInGroup(g, oldImage, newImage))
            ReshowGroupInWindows(g, g, 1, 1);
    for (ImageWindow *w = g_firstWindow; w; w = w->next)
        if (w->layerImage == oldImage)
            w->layerImage = newImage;
    if (g_currentImage == oldImage)
        g_currentImage = newImage;
}

void ReplaceImage(CDIB *oldImage, CDIB *newImage, int keepUndo)
{
    if (!oldImage || !newImage || oldImage == newImage)
        return;
    newImage->modified = 1;
    newImage->untitledNumber = oldImage->untitledNumber;
    newImage->zoom = oldImage->zoom;
    // A mask is laid out for one size: an image of another size starts without one.
    uint8_t *mask = oldImage->mask;
    if (newImage->mask != mask)
        free(newImage->mask);
    int ow, oh, od, nw, nh, nd;
    GetImageSize(oldImage, &ow, &oh, &od);
    GetImageSize(newImage, &nw, &nh, &nd);
    if (ow != nw || oh != nh) {
        free(mask);
        mask = NULL;
    }
    newImage->mask = mask;
    oldImage->mask = NULL;
    memcpy(newImage->name, oldImage->name, sizeof newImage->name);
    memcpy(newImage->path, oldImage->path, sizeof newImage->path);

    bool listed = IsImageListed(oldImage);
    if (listed) {
        CDIB *previous = FindPreviousImage(oldImage);
        newImage->next = oldImage->next;
        if (previous)
            previous->next = newImage;
        else
            g_firstImage = newImage;
        if (g_lastImage == oldImage)
            g_lastImage = newImage;
        oldImage->next = NULL;
        NotifyImageListChanged();
    }
    int held = s_bindOverride;
    s_bindOverride = 0;
    ReplaceImageEverywhere(oldImage, newImage);
    s_bindOverride = held;
    if (!listed)
        return;
    // Undo and redo hand the new image the whole chain beforehand; any other replacement gets no
    // chain from the old image, whose records describe pixels of another size.
    bool handedOver = newImage->undoFirst && newImage->undoFirst == oldImage->undoFirst;
    if (keepUndo || handedOver) {
        newImage->undoFirst = oldImage->undoFirst;
        newImage->undoCurrent = oldImage->undoCurrent;
    } else {
        FreeUndoRecords(oldImage, oldImage->undoFirst);
        newImage->undoFirst = newImage->undoLast = newImage->undoCurrent = NULL;
        newImage->undoBytes = 0;
    }
    oldImage->undoFirst = oldImage->undoLast = oldImage->undoCurrent = NULL;
    oldImage->undoBytes = 0;
    if (keepUndo) {
        PushWholeImageUndo(newImage, oldImage);
        return;
    }
    FreeImageData(oldImage);
    free(oldImage);
}

void UpdateWindowTitle(ImageWindow *window, const ImageGroup *group)
{
    if (!window || !window->window)
        return;
    char title[400];
    if (!group || !group->base) {
        SetWindowTextA(window->window, kProgramTitle);
        return;
    }
    int w, h, d;
    GetImageSize(group->base, &w, &h, &d);
    snprintf(title, sizeof title, "%s (%d*%d)%s", group->name, w, h, d < 32 ? " <<< VIEW >>>" : "");
    SetWindowTextA(window->window, title);
}

static ImageWindow *OtherWindowShowing(const ImageGroup *group, const ImageWindow *except)
{
    for (ImageWindow *w = g_firstWindow; w; w = w->next)
        if (w != except && w->group == group)
            return w;
    return NULL;
}

int ShowGroupInWindow(ImageWindow *window, ImageGroup *group, int force, int saveView)
{
    if (window && window->group == group && force != 1) {
        window->redrawPending = 1;
        return 1;
    }
    bool attach = true;
    if (BindImageToOneWindow() && group) {
        ImageWindow *other = OtherWindowShowing(group, window);
        if (other) {
            RestoreIfMinimized(other);
            MakeWindowCurrent(other);
            attach = false;
        } else if (window && window->group && window->group != group) {
            SendMessageA(g_mainWindow, WM_COMMAND, kCommandOpenEditWindow, 0);
        }
        window = g_currentWindow;
    }
    if (!window)
        return 1;
    if (attach) {
        ImageGroup *oldGroup = window->group;
        int oldZoom = window->display.zoom, oldX = window->display.viewX, oldY = window->display.viewY;
        if (saveView && oldGroup && oldGroup->base) {
            oldGroup->base->zoom = window->display.zoom;
            oldGroup->base->viewX = window->display.viewX;
            oldGroup->base->viewY = window->display.viewY;
        }
        if (window == g_currentWindow) {
            g_currentImage = group ? group->currentImage : NULL;
            g_currentGroup = group;
            SyncCurrentLayer(group);
        }
        if (!group) {
            window->group = NULL;
            window->layerImage = NULL;
            window->display.viewX = window->display.viewY = 0;
            window->display.zoom = 1;
        } else {
            window->group = group;
            window->layerImage = group->currentImage;
            NotifyCursorChanged();
            if (group->currentImage) {
                window->display.zoom = group->currentImage->zoom;
                window->display.viewX = group->currentImage->viewX;
                window->display.viewY = group->currentImage->viewY;
            }
        }
        bool viewOnly = group && group->currentImage && group->currentImage->editDepth != 32;
        if (!BuildWindowDisplay(window, group, viewOnly)) {
            window->group = oldGroup;
            window->layerImage = oldGroup ? oldGroup->currentImage : NULL;
            window->display.zoom = oldZoom;
            window->display.viewX = oldX;
            window->display.viewY = oldY;
            ShowErrorMessage(g_mainWindow, 32);
            return 1;
        }
        if (AskTransformMode())
            SwitchOverlaysToWindow(window);
        if (AskReeditMode())
            NotifyDrawReeditGuide(window);
    }
    if (window->group)
        UpdateWindowTitle(window, window->group);
    else if (window->window)
        SetWindowTextA(window->window, kProgramTitle);
    RelayoutImageWindow(window);
    NotifyImageChanged(window->group, window->group ? window->group->currentLayer : NULL,
                          window->group ? window->group->currentImage : NULL, kChangeShown);
    if (g_cfg.AutoAdjustMode)
        FitWindowToImage(window);
    if (g_noWindowState && window->group && window->window) {
        LeaveNoWindowState(window);
    }
    if (!window->group) {
        if (g_cfg.WinCloseWhenNoImage) {
            CloseImageWindow(window, 1);
            return 0;
        }
        ClearDisplay(window);
    }
    window->redrawPending = 1;
    return 0;
}

int ShowImageInWindow(ImageWindow *window, CDIB *image)
{
    return ShowGroupInWindow(window, FindGroupOfImage(image), 0, 1);
}

void ReshowGroupInWindows(ImageGroup *group, ImageGroup *newGroup, int force, int saveView)
{
    ImageWindow *w = g_firstWindow;
    while (w) {
        ImageWindow *next = w->next;
        if (w->group == group) {
            ShowGroupInWindow(w, newGroup, force, saveView);
            if (IsWindowListed(w)) {
                UpdateScrollBars(w);
                LayoutImageWindow(w);
                RedrawImageWindow(w);
            }
        }
        w = next;
    }
    NotifyMenusChanged();
}

int ShowPreviousGroup(ImageWindow *window)
{
    if (!window || !window->group || !g_firstGroup || !g_firstGroup->next)
        return 1;
    ImageGroup *previous = FindPreviousGroup(window->group);
    if (!previous)
        return 1;
    return ShowGroupInWindow(window, previous, 0, 1);
}

int ShowNextGroup(ImageWindow *window)
{
    if (!window || !window->group || !window->group->next)
        return 1;
    return ShowGroupInWindow(window, window->group->next, 0, 1);
}

ImageGroup *CloseWindowGroup(ImageWindow *window)
{
    ImageGroup *group = window ? window->group : NULL;
    if (!group)
        return g_firstGroup;
    if (!QzsCloseMDIB(group))
        return group;
    return g_firstGroup;
}

void RedrawGroupWindows(ImageGroup *group)
{
    ClearPendingRefresh();
    for (ImageWindow *w = g_firstWindow; w; w = w->next) {
        if (w->group != group)
            continue;
        if (g_cfg.SynchronizeUpdateImage || w == g_currentWindow) {
            ComposeWholeDisplay(w, group);
            RedrawImageWindow(w);
            if (w == g_currentWindow && AskTransformMode())
                NotifyRedrawTransformOverlay(w);
            if (w == g_currentWindow && AskReeditMode())
                NotifyDrawReeditGuide(w);
        } else {
            w->recompose = 1;
        }
    }
}

void UpdateOtherViews(ImageWindow *window)
{
    if (!window)
        return;
    for (ImageWindow *w = g_firstWindow; w; w = w->next) {
        if (w == window || w->group != window->group)
            continue;
        if (g_cfg.SynchronizeUpdateImage) {
            RECT dirty;
            if (GetDirtyRect(&dirty)) {
                ComposeDisplayRect(w, w->group, dirty.left, dirty.top, dirty.right, dirty.bottom, 0);
                RefreshWindowRect(w, dirty.left, dirty.top, dirty.right, dirty.bottom, 1);
            }
        } else {
            w->recompose = 1;
        }
    }
}
