// The image-window list, the current window, closing, hiding and showing windows, and the services
// through which plug-ins reach the current window.
#include "view/regionborder.h"
#include "view/winlist.h"
#include "base/notify.h"
#include "image/cdib.h"
#include "view/display.h"
#include "image/group.h"
#include "image/imagelist.h"
#include "view/paint.h"
#include "image/regions.h"
#include "base/app.h"
#include "base/settings.h"
#include <stdlib.h>

ImageWindow *FindImageWindow(HWND window)
{
    if (!window)
        return NULL;
    for (ImageWindow *w = g_firstWindow; w; w = w->next)
        if (w->window == window)
            return w;
    return NULL;
}

HWND GetNthImageWindowHandle(int n)
{
    if (n < 0)
        return NULL;
    ImageWindow *w = g_firstWindow;
    while (w && n-- > 0)
        w = w->next;
    return w ? w->window : NULL;
}

ImageWindow *FindPreviousWindow(const ImageWindow *window)
{
    for (ImageWindow *w = g_firstWindow; w; w = w->next)
        if (w->next && w->next == window)
            return w;
    return NULL;
}

int MakeWindowCurrent(ImageWindow *window)
{
    g_currentWindow = window;
    g_currentWindowHandle = window ? window->window : NULL;
    g_currentGroup = window ? window->group : NULL;
    g_currentImage = window ? window->layerImage : NULL;
    SyncCurrentLayer(g_currentGroup);
    NotifyMenusChanged();
    return 1;
}

static void UnlinkWindow(ImageWindow *window)
{
    ImageWindow *previous = FindPreviousWindow(window);
    if (previous)
        previous->next = window->next;
    else if (g_firstWindow == window)
        g_firstWindow = window->next;
    if (g_lastWindow == window)
        g_lastWindow = previous;
    window->next = NULL;
}

void CloseImageWindow(ImageWindow *window, int rebuildMenus)
{
    if (!IsWindowListed(window))
        return;
    // The last window is kept, hidden and empty, for the next image.
    if (g_firstWindow == window && !window->next) {
        window->group = NULL;
        window->layerImage = NULL;
        EnterNoWindowState();
        RefreshWindowDisplay(window, NULL);
        if (rebuildMenus)
            NotifyMenusChanged();
        return;
    }
    UnlinkWindow(window);
    FreeWindowBuffers(window);
    HWND handle = window->window;
    HMENU menu = window->menu;
    window->window = NULL;
    window->menu = NULL;
    window->group = NULL;
    if (handle) {
        SetMenu(handle, NULL);
        DestroyWindow(handle);
    }
    if (menu)
        DestroyMenu(menu);
    // Nobody may keep the freed record as the current window.
    if (g_currentWindow == window)
        MakeWindowCurrent(g_firstWindow);
    if (rebuildMenus)
        NotifyMenusChanged();
    free(window);
}

int CloseWindowsOfGroup(ImageGroup *group)
{
    ImageWindow *w = g_firstWindow;
    while (w && !g_noWindowState) {
        ImageWindow *next = w->next;
        if (w->group == group || !w->group)
            CloseImageWindow(w, 0);
        w = next;
    }
    NotifyMenusChanged();
    return 1;
}

int CountOtherWindowsOfGroup(const ImageWindow *window)
{
    int n = 0;
    for (ImageWindow *w = g_firstWindow; w; w = w->next)
        if (w != window && window && w->group == window->group)
            n++;
    return n;
}

ImageWindow *FindWindowOfGroup(const ImageGroup *group)
{
    for (ImageWindow *w = g_firstWindow; w; w = w->next)
        if (w->group == group)
            return w;
    return NULL;
}

// ---- overlays follow the current window ----

int MoveControlPointsToWindow(ImageWindow *window)
{
    ImageWindow *current = g_currentWindow;
    bool currentShown = IsWindowListed(current) && current->layerImage;
    bool newShown = IsWindowListed(window) && window->layerImage;
    if (AskTransformMode()) {
        RECT dirty;
        if (currentShown && GetDirtyRect(&dirty)) {
            // Composing the area again from the image takes the points drawn into the display away.
            ComposeDisplayRect(current, current->group, dirty.left, dirty.top, dirty.right, dirty.bottom, 0);
            RefreshWindowRect(current, dirty.left, dirty.top, dirty.right, dirty.bottom, 1);
        }
        ClearDirtyRect();
        if (newShown)
            NotifyRedrawTransformOverlay(window);
    }
    if (AskCheckMode()) {
        if (currentShown)
            NotifyDrawReeditGuide(current);
        if (newShown)
            NotifyDrawReeditGuide(window);
    }
    return 1;
}

int SwitchOverlaysToWindow(ImageWindow *window)
{
    ImageWindow *current = g_currentWindow;
    if (IsWindowListed(current) && current->activeRegion && current->regionDisplayMode == 4)
        AnimateRegionBorder(current, 0);
    if (IsWindowListed(current) && current->layerImage)
        NotifyDrawParameterPointGroups(current, 0);
    if (IsWindowListed(window) && window->layerImage)
        NotifyDrawParameterPointGroups(window, 1);
    return MoveControlPointsToWindow(window);
}

// ---- hiding and showing with the main window ----

void HideAllImageWindows()
{
    for (ImageWindow *w = g_firstWindow; w; w = w->next)
        if (w->window)
            ShowWindow(w->window, SW_HIDE);
    if (g_subParent) {
        ShowWindow(g_subParent, SW_MINIMIZE);
        ShowWindow(g_subParent, SW_HIDE);
    }
    if (HWND effect = AskOpenEffectDialog())
        SendMessageA(effect, WM_COMMAND, 3011, 0);
}

void ShowAllImageWindows()
{
    if (g_subParent) {
        ShowWindow(g_subParent, SW_RESTORE);
        ShowWindow(g_subParent, SW_HIDE);
    }
    if (g_noWindowState)
        return;
    for (ImageWindow *w = g_firstWindow; w; w = w->next)
        if (w->window)
            ShowWindow(w->window, SW_SHOWNA);
}

void InitWindowFrameMetrics(ImageWindow *window)
{
    if (!window)
        return;
    window->maxWidth = g_cfg.AdjMaxSizeX;
    window->maxHeight = g_cfg.AdjMaxSizeY;
    if (!window->window)
        return;
    RECT outer, client;
    GetWindowRect(window->window, &outer);
    GetClientRect(window->window, &client);
    window->frameWidth = (outer.right - outer.left) - (client.right - client.left);
    window->frameHeight = (outer.bottom - outer.top) - (client.bottom - client.top);
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

// ---- services ----

QZS_DECL(int) QzsAdjustClientRegion(HWND window, int cx, int cy)
{
    if (!window || !IsWindow(window))
        return 0;
    RECT outer, client;
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    int width = (outer.right - outer.left) - (client.right - client.left) + cx;
    int height = (outer.bottom - outer.top) - (client.bottom - client.top) + cy;
    SetWindowPos(window, NULL, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return 1;
}

QZS_DECL(ImageWindow *) QzsGetCurrentWindow(void)
{
    return g_noWindowState ? NULL : g_currentWindow;
}

QZS_DECL(CDIB *) QzsGetImageOnWindow(ImageWindow *window)
{
    return window ? window->layerImage : NULL;
}

QZS_DECL(CDIB *) QzsGetCurrentLayer(ImageWindow *window)
{
    return window ? window->layerImage : NULL;
}

QZS_DECL(int) QzsGetActiveRegion(ImageWindow *window)
{
    return window ? (int)window->activeRegion : 0;
}

void RestoreIfMinimized(ImageWindow *window)
{
    if (!window || !window->window)
        return;
    WINDOWPLACEMENT wp = {};
    wp.length = sizeof wp;
    if (GetWindowPlacement(window->window, &wp) && wp.showCmd == SW_SHOWMINIMIZED)
        SendMessageA(window->window, WM_SYSCOMMAND, SC_RESTORE, 0);
}
