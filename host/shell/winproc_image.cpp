// The image-window procedure: one handler per message, then the common step that commits a
// finished figure and repaints after zoom, group or origin changes.
#include "image/pen.h"
#include "shell/winproc.h"
#include "plugins/params.h"
#include "view/primitives.h"
#include "image/cdib.h"
#include "view/display.h"
#include "image/group.h"
#include "image/imagelist.h"
#include "view/paint.h"
#include "view/writers.h"
#include "files/openimage.h"
#include "draw/drawmouse.h"
#include "plugins/subwin.h"
#include "base/app.h"
#include "shell/commands.h"
#include "base/settings.h"
#include "shell/menus.h"
#include "shell/startup.h"
#include "view/winlist.h"
#include <shellapi.h>


static bool s_colorPicking; // right button held over a locked window

// What a handler leaves for the procedure: the common after-step, the default procedure, or an
// immediate 0 (repaints already flushed).
enum Step { kAfterStep, kDefault, kReturnNow };

struct Message {
    HWND hwnd;
    ImageWindow *window;
    WPARAM wParam;
    LPARAM lParam;
    bool repaint;
};

bool IsRestoreGuardSet()
{
    return g_ignoreNextLeftRelease;
}

int EffectiveCloseButtonMode()
{
    return g_cfg.BindImageToOneWindow ? 0 : g_cfg.CloseButtonAsCloseImage;
}

void UpdateDitherCheck(ImageWindow *window)
{
    if (!window)
        return;
    SelectDisplayWriter(window->dither);
    if (window->menu)
        CheckMenuItem(window->menu, 32033, MF_BYCOMMAND | (window->dither ? MF_CHECKED : MF_UNCHECKED));
}

// ---- handlers ----

static Step OnClose(Message &m)
{
    if (EffectiveCloseButtonMode() == 0) {
        SendMessageA(m.hwnd, WM_COMMAND, kCommandCloseWindow, 0);
        FlushHeldRedraws();
        return kReturnNow;
    }
    bool only = g_firstWindow == m.window && !m.window->next;
    SendMessageA(m.hwnd, WM_COMMAND, only ? kCommandCloseImage : kCommandCloseWindow, 0);
    return kAfterStep;
}

static Step OnSysCommand(Message &m)
{
    if ((m.wParam & 0xFFF0) == SC_RESTORE)
        g_ignoreNextLeftRelease = true; // the click that restored a window never ends a figure
    return kDefault;
}

static Step OnPaint(Message &m)
{
    PAINTSTRUCT ps;
    BeginPaint(m.hwnd, &ps);
    // A guide drawn over the point-group handles took pieces of them away: they are drawn again.
    if (m.window && m.window->layerImage && AreHandlesDamaged())
        DrawParameterPointGroups(m.window, 1);
    RedrawImageWindow(m.window);
    EndPaint(m.hwnd, &ps);
    return kAfterStep;
}

static Step OnSize(Message &m)
{
    LayoutImageWindow(m.window);
    ClampViewOrigin(m.window);
    MoveStatusWindow(m.window);
    return kAfterStep;
}

static Step OnWindowPosChanging(Message &m)
{
    WINDOWPOS *pos = (WINDOWPOS *)m.lParam;
    if (pos)
        pos->x &= ~7;
    return kAfterStep;
}

static void PickColorAt(Message &m)
{
    int x, y;
    WindowToImage(m.window, (short)LOWORD(m.lParam), (short)HIWORD(m.lParam), &x, &y, 1);
    QzsSpoitColor(m.window, x, y, (int)m.wParam);
}

// The class takes double clicks: the second press of one arrives as a double click and is a press
// like any other (a click figure is often ended with a double click on its last point).
static Step OnButton(Message &m, UINT message)
{
    ImageWindow *w = m.window;
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (!w->lock)
            OnDrawLeftButtonDown(w, m.wParam, m.lParam, 1);
        break;
    case WM_LBUTTONUP:
        if (!w->lock)
            OnDrawLeftButtonUp(w, m.wParam, m.lParam, 1);
        break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
        if (w->lock) {
            PickColorAt(m);
            s_colorPicking = true;
        } else {
            OnDrawRightButtonDown(w, m.wParam, m.lParam, 1);
        }
        break;
    case WM_RBUTTONUP:
        if (w->lock) {
            s_colorPicking = false;
            UpdateCursor(w);
        } else {
            OnDrawRightButtonUp(w, m.wParam, m.lParam, 1);
        }
        break;
    }
    return kAfterStep;
}

static Step OnMouseMove(Message &m)
{
    SetCursor(g_currentCursor);
    if (!m.window->lock)
        OnDrawMouseMove(m.window, m.wParam, m.lParam, 1);
    else if (s_colorPicking)
        PickColorAt(m);
    return kAfterStep;
}

static Step OnDropFiles(Message &m)
{
    HDROP drop = (HDROP)m.wParam;
    SetWindowPos(g_mainWindow, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    UINT count = DragQueryFileA(drop, 0xFFFFFFFF, NULL, 0);
    for (UINT i = 0; i < count; i++) {
        char name[kPathBytes];
        if (!GetDroppedFileName(drop, i, name, sizeof name))
            continue;
        // Opening may close windows: this one is looked up again for every file.
        ImageWindow *w = FindImageWindow(m.hwnd);
        if (!w)
            break;
        MakeWindowCurrent(w);
        OpenDroppedFile(name);
    }
    DragFinish(drop);
    if (g_currentWindow && g_currentWindow->window)
        SetActiveWindow(g_currentWindow->window);
    return kAfterStep;
}

static Step OnActivate(Message &m)
{
    // Only activation acts: answering deactivation by activating again would fight the other window.
    if (LOWORD(m.wParam) == WA_INACTIVE)
        return kDefault;
    ImageWindow *w = m.window;
    SetActiveWindow(m.hwnd);
    if (!HIWORD(m.wParam))
        SetFocus(m.hwnd);
    if (g_mainWindow && g_imageOwner)
        SetWindowPos(g_mainWindow, g_imageOwner, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    UpdateDitherCheck(w);
    if (w != g_currentWindow) {
        SwitchOverlaysToWindow(w);
        MakeWindowCurrent(w);
        BroadcastActiveRegionChanged((int)w->activeRegion);
        if (g_currentImage && g_currentImage->slots[0].state != 0)
            SetBorderAnimation(true);
        if (w->recompose) {
            ComposeWholeDisplay(w, w->group);
            w->recompose = 0;
            m.repaint = true;
        }
        BroadcastImageChanged(w->group, w->group ? w->group->currentLayer : NULL, w->layerImage, 1);
    }
    MakeWindowCurrent(w);
    UpdateCursor(w);
    return kAfterStep;
}

static Step OnPalette(Message &m, UINT message)
{
    if (message == WM_PALETTECHANGED && (HWND)m.wParam == m.hwnd)
        return kAfterStep;
    if (!g_displayPalette)
        return kAfterStep;
    HDC dc = GetDC(m.hwnd);
    HPALETTE old = SelectPalette(dc, g_displayPalette, FALSE);
    if (RealizePalette(dc) > 0)
        m.repaint = true;
    SelectPalette(dc, old, TRUE);
    RealizePalette(dc);
    ReleaseDC(m.hwnd, dc);
    return kAfterStep;
}

static Step OnShowWindow(Message &m)
{
    if (m.window->statusWindow)
        ShowWindow(m.window->statusWindow, m.wParam == 1 ? SW_SHOWNA : SW_HIDE);
    return kAfterStep;
}

static Step Handle(Message &m, UINT message)
{
    switch (message) {
    case WM_CLOSE: return OnClose(m);
    case WM_COMMAND: DispatchCommand(m.window, m.wParam, m.lParam); return kAfterStep;
    case WM_SYSCOMMAND: return OnSysCommand(m);
    case WM_PAINT: return OnPaint(m);
    case WM_MOVE: MoveStatusWindow(m.window); return kAfterStep;
    case WM_SIZE: return OnSize(m);
    case WM_WINDOWPOSCHANGING: return OnWindowPosChanging(m);
    case WM_HSCROLL: ScrollWindowHorizontally(m.window, m.wParam, m.lParam); return kAfterStep;
    case WM_VSCROLL: ScrollWindowVertically(m.window, m.wParam, m.lParam); return kAfterStep;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_RBUTTONUP: return OnButton(m, message);
    case WM_MOUSEMOVE: return OnMouseMove(m);
    case WM_KEYDOWN: OnDrawShiftDown(m.window, m.wParam); return kAfterStep;
    case WM_KEYUP: OnDrawShiftUp(m.window, m.wParam); return kAfterStep;
    case WM_DROPFILES: return OnDropFiles(m);
    case WM_ACTIVATE: return OnActivate(m);
    case WM_PALETTECHANGED:
    case WM_QUERYNEWPALETTE: return OnPalette(m, message);
    case WM_SHOWWINDOW: return OnShowWindow(m);
    default: return kDefault;
    }
}

// ---- after every handled message ----

static LRESULT AfterMessage(Message &m, int zoom, int viewX, int viewY, const ImageGroup *group)
{
    if (GetDrawState() == kDrawComplete)
        CompleteFigure(FindImageWindow(m.hwnd));
    // Commands and the close box may have freed the record: only the handle is trusted.
    ImageWindow *w = FindImageWindow(m.hwnd);
    if (!w) {
        SetRedrawHold(0);
        return 0;
    }
    if (w->display.zoom != zoom) {
        ApplyZoomChange(w, zoom);
        m.repaint = true;
    }
    if (!w->display.header) {
        SetRedrawHold(0);
        return 0;
    }
    if (w->group != group) {
        LayoutImageWindow(w);
        UpdateScrollBars(w);
        ClampViewOrigin(w);
        UpdateWindowMenus();
        m.repaint = true;
    }
    if (w->display.viewX != viewX || w->display.viewY != viewY)
        m.repaint = true;
    if (m.repaint)
        RedrawImageWindow(w);
    FlushHeldRedraws();
    return 0;
}

LRESULT CALLBACK WindowFunc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    // A second start hands its command line to whichever window of the class it found.
    if (message == WM_COPYDATA) {
        char *text = TakeHandedOverCommandLine((const COPYDATASTRUCT *)lParam);
        if (text)
            PostHandedOverCommandLine(text);
        return 1;
    }
    ImageWindow *window = FindImageWindow(hwnd);
    if (!window) {
        // The hidden owner of the image windows has no record: its commands run without a window.
        if (message == WM_COMMAND) {
            DispatchCommand(NULL, wParam, lParam);
            return 0;
        }
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    if (g_ignoreNextLeftRelease && message == WM_LBUTTONUP) {
        g_ignoreNextLeftRelease = false;
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK)
        g_ignoreNextLeftRelease = false;

    int zoom = window->display.zoom, viewX = window->display.viewX, viewY = window->display.viewY;
    const ImageGroup *group = window->group;
    Message m = {hwnd, window, wParam, lParam, false};
    SetRedrawHold(1);
    switch (Handle(m, message)) {
    case kReturnNow: return 0;
    case kDefault: FlushHeldRedraws(); return DefWindowProcA(hwnd, message, wParam, lParam);
    case kAfterStep: break;
    }
    return AfterMessage(m, zoom, viewX, viewY, group);
}
