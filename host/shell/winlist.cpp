// The image-window list and the current window.
#include "shell/winlist.h"
#include "image/group.h"
#include "image/imagelist.h"
#include "image/cdib.h"
#include "shell/app.h"
#include "shell/config.h"
#include <stdlib.h>

ImageWindow *g_firstWindow, *g_lastWindow, *g_currentWindow;
bool g_noWindowState;

static void InitWindowRecord(ImageWindow *w)
{
    w->display.zoom = 2;
    w->display.editDepth = 32;
    w->display.slots[0].left = w->display.slots[0].top = w->display.slots[0].right = w->display.slots[0].bottom = -1;
    w->display.slots[1] = w->display.slots[2] = w->display.slots[0];
    w->dither = 1;
    w->maskDisplay = 1;
    w->regionDisplayMode = 4;
    w->layerFrameMode = 1;
    w->marginX = g_cfg.FrameX;
    w->marginY = g_cfg.FrameY;
    w->maxWidth = g_cfg.AdjMaxSizeX;
    w->maxHeight = g_cfg.AdjMaxSizeY;
}

ImageWindow *CreateImageWindow(int x, int y, int width, int height)
{
    ImageWindow *w = (ImageWindow *)calloc(1, sizeof(ImageWindow));
    if (!w)
        return NULL;
    InitWindowRecord(w);
    // Appended first: the window procedure finds the record from the first message on.
    if (g_lastWindow)
        g_lastWindow->next = w;
    else
        g_firstWindow = w;
    g_lastWindow = w;
    w->window = CreateWindowExA(0, kClassImageWindow, kProgramTitle,
                                WS_OVERLAPPEDWINDOW | WS_HSCROLL | WS_VSCROLL | WS_CLIPCHILDREN, x, y, width, height,
                                g_imageOwner, NULL, g_instance, NULL);
    if (!w->window) {
        CloseImageWindow(w, 0);
        return NULL;
    }
    return w;
}

ImageWindow *FindImageWindow(HWND window)
{
    if (!window)
        return NULL;
    for (ImageWindow *w = g_firstWindow; w; w = w->next)
        if (w->window == window)
            return w;
    return NULL;
}

bool IsWindowListed(const ImageWindow *window)
{
    for (ImageWindow *w = g_firstWindow; w; w = w->next)
        if (w == window)
            return true;
    return false;
}

void MakeWindowCurrent(ImageWindow *window)
{
    g_currentWindow = window;
    g_currentGroup = window ? window->group : NULL;
    g_currentImage = window ? window->layerImage : NULL;
    SyncCurrentLayer(g_currentGroup);
}

static void UnlinkWindow(ImageWindow *window)
{
    ImageWindow *previous = NULL;
    for (ImageWindow *w = g_firstWindow; w && w != window; w = w->next)
        previous = w;
    if (previous)
        previous->next = window->next;
    else if (g_firstWindow == window)
        g_firstWindow = window->next;
    if (g_lastWindow == window)
        g_lastWindow = previous;
}

void CloseImageWindow(ImageWindow *window, int rebuildMenus)
{
    if (!window || !IsWindowListed(window))
        return;
    // The last window is kept, hidden and empty, for the next image.
    if (g_firstWindow == window && !window->next && window->window) {
        window->group = NULL;
        window->layerImage = NULL;
        EnterNoWindowState();
        return;
    }
    UnlinkWindow(window);
    HWND handle = window->window;
    window->window = NULL;
    if (handle)
        DestroyWindow(handle);
    FreeImageStore(&window->display);
    free(window->editMask);
    free(window->drawBuffer);
    free(window->coverage);
    if (g_currentWindow == window)
        MakeWindowCurrent(g_firstWindow);
    free(window);
}

void EnterNoWindowState()
{
    g_noWindowState = true;
    if (g_firstWindow && g_firstWindow->window)
        ShowWindow(g_firstWindow->window, SW_HIDE);
}

void LeaveNoWindowState(ImageWindow *window)
{
    g_noWindowState = false;
    if (window && window->window) {
        ShowWindow(window->window, SW_SHOW);
        SetActiveWindow(window->window);
    }
}
