// Commands that open and close image windows and image groups, and NewImage.
#include "view/groupview.h"
#include "image/cdib.h"
#include "view/display.h"
#include "image/group.h"
#include "image/imagelist.h"
#include "plugins/subwin.h"
#include "base/app.h"
#include "shell/commands.h"
#include "shell/newimage.h"
#include "shell/commands_internal.h"
#include "shell/commands_pending.h"
#include "base/settings.h"
#include "shell/menus.h"
#include "base/messages.h"
#include "shell/startup.h"
#include "view/winlist.h"
#include "shell/winproc.h"
#include <stdio.h>

enum { kNewWindowWidth = 400, kNewWindowHeight = 300, kCascadeStep = 16, kCascadeLast = 16 };
static int s_cascade = 1;

void OpenEditWindowCommand(ImageWindow *, bool browse)
{
    if (g_cfg.BindImageToOneWindow && !g_firstImage) {
        ShowErrorMessage(g_mainWindow, 67);
        return;
    }
    int k = s_cascade;
    s_cascade = s_cascade >= kCascadeLast ? 0 : s_cascade + 1;
    ImageWindow *w = CreateImageWindow(g_cfg.EditWindowOrgX + kCascadeStep * k,
                                       g_cfg.EditWindowOrgY + kCascadeStep * k, kNewWindowWidth, kNewWindowHeight);
    if (!w)
        return;
    w->group = g_currentGroup;
    w->layerImage = g_currentImage;
    BuildWindowMenu(w);
    BuildMainMenu();
    CheckZoomMenuItem(w);
    MakeWindowCurrent(w);
    if (!BuildWindowDisplay(w, w->group, browse))
        return;
    if (w->group && w->group->base) {
        int width, height, depth;
        GetImageSize(w->group->base, &width, &height, &depth);
        char title[kTextBytes + 40];
        snprintf(title, sizeof title, "%s (%d*%d)", w->group->name, width, height);
        SetWindowTextA(w->window, title);
    } else {
        SetWindowTextA(w->window, kProgramTitle);
    }
    if (g_noWindowState)
        LeaveNoWindowState(w);
    else
        ShowWindow(w->window, SW_SHOW);
    LayoutImageWindow(w);
    ClampViewOrigin(w);
    if (g_cfg.AutoAdjustMode)
        FitWindowToImage(w);
}

static ImageWindow *WindowShowing(const ImageGroup *group, const ImageWindow *except)
{
    for (ImageWindow *w = g_firstWindow; w; w = w->next)
        if (w != except && w->group == group)
            return w;
    return NULL;
}

static void TellCurrentWindowShown()
{
    ImageWindow *w = g_currentWindow;
    BroadcastImageChanged(w ? w->group : NULL, w && w->group ? w->group->currentLayer : NULL,
                          w ? w->layerImage : NULL, kChangeShown);
}

static void ActivateWindow(ImageWindow *w)
{
    MakeWindowCurrent(w);
    if (w->window && IsWindowVisible(w->window))
        SetActiveWindow(w->window);
}

// 1 when the group was closed (or there was none), 0 when the close was refused.
static int CloseImage(ImageWindow *window)
{
    if (!window)
        return 1;
    if (!window->group) {
        CloseImageWindow(window, 1);
        return 1;
    }
    // Closing the group may free windows; this one is found again by its handle.
    HWND handle = window->window;
    if (!QzsCloseMDIB(window->group))
        return 0;
    window = FindImageWindow(handle);
    if (g_cfg.BindImageToOneWindow) {
        if (!g_firstGroup) {
            if (window) {
                window->group = NULL;
                window->layerImage = NULL;
                window->display.viewX = window->display.viewY = 0;
                window->display.zoom = 1;
            }
            TellCurrentWindowShown();
        } else {
            if (window && !WindowShowing(g_firstGroup, window))
                ShowGroupInWindow(window, g_firstGroup, 0, 0);
            TellCurrentWindowShown();
            ImageWindow *showing = WindowShowing(g_firstGroup, NULL);
            if (showing)
                ActivateWindow(showing);
        }
        ImageWindow *w = g_firstWindow;
        while (w) {
            ImageWindow *next = w->next;
            if (!w->group)
                CloseImageWindow(w, 0);
            w = next;
        }
    }
    UpdateWindowMenus();
    return 1;
}

void CloseImageCommand(ImageWindow *window)
{
    CloseImage(window);
}

void CloseWindowCommand(ImageWindow *window)
{
    if (!window)
        return;
    // Windows are remembered by handle: the nested close may free any record.
    HWND handle = window->window;
    ImageWindow *next = window->next ? window->next : (g_firstWindow != window ? g_firstWindow : NULL);
    HWND nextHandle = next ? next->window : NULL;
    int mode = g_cfg.BindImageToOneWindow ? 1 : g_cfg.CloseImageWithWindow;
    bool refused = false;
    if (mode == 0 || !window->group) {
        CloseImageWindow(window, 1);
    } else if (mode == 1 || mode == 2) {
        bool sole = mode == 1 && !WindowShowing(window->group, window);
        if (mode == 2 || sole)
            refused = !CloseImage(window);
        window = FindImageWindow(handle);
        bool close;
        if (g_cfg.BindImageToOneWindow)
            close = !sole;
        else if (mode == 1 && !sole)
            close = true;
        else
            close = !refused && g_firstGroup;
        if (close && window)
            CloseImageWindow(window, 1);
    } else {
        return;
    }
    ImageWindow *target = FindImageWindow(nextHandle);
    if (target && !refused)
        ActivateWindow(target);
}

void NewImageCommand(ImageWindow *window)
{
    static bool s_running;
    if (s_running)
        return;
    HWND handle = window ? window->window : NULL;
    CDIB *tail = g_lastImage;
    SetNewImageBackColor(0);
    s_running = true;
    CDIB *image = RunNewImageDialog(g_imageOwner);
    if (image && image == g_lastImage && g_lastImage != tail && AddImageGroup(image)) {
        window = FindImageWindow(handle);
        if (window)
            ShowGroupInWindow(window, g_lastGroup, 0, 1);
    }
    s_running = false;
}
