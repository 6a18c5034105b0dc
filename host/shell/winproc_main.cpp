// The main window: a thin strip with the tool bar and the status bar, its placement by the task
// bar, the 1-millisecond timer, the memory display, and the hidden parent of the sub-windows.
#include "view/regionborder.h"
#include "shell/winproc.h"
#include "shell/itemwin.h"
#include "view/display.h"
#include "image/regions.h"
#include "files/openimage.h"
#include "draw/drawmouse.h"
#include "draw/drawsel.h"
#include "plugins/subwin.h"
#include "base/app.h"
#include "shell/commands.h"
#include "base/settings.h"
#include "shell/menus.h"
#include "base/messages.h"
#include "shell/startup.h"
#include "base/sysinfo.h"
#include "shell/toolbar.h"
#include "view/winlist.h"
#include "image/imagelist.h"
#include <commctrl.h>
#include <shellapi.h>
#include <stdio.h>

static int s_maxWidth, s_minTrackHeight;
static POINT s_lastCursor = {-1, -1};
static int s_ticks, s_borderSteps;

void GetMainWindowPlacement(const RECT *taskBar, int W, RECT *out)
{
    int x = 0, y = 0, width = W;
    if (taskBar) {
        const RECT &t = *taskBar;
        if (t.top < 1 && t.left < 1 && t.right > 3 * W / 4)
            x = 0, y = t.bottom, width = W;
        if (t.top >= 1 && t.left < 1)
            x = 0, y = 0, width = W;
        if (t.top < 1 && t.right < 3 * W / 4)
            x = t.right, y = 0, width = W - t.right;
        if (t.top < 1 && t.left >= 1)
            x = 0, y = 0, width = t.left;
    }
    out->left = x;
    out->top = y;
    out->right = x + width;
    out->bottom = y + 53;
}

HWND CreateMainWindow(int)
{
    RECT taskBar, place;
    bool found = GetTaskBarRect(&taskBar);
    GetMainWindowPlacement(found ? &taskBar : NULL, g_screenWidth, &place);
    g_mainWindow = CreateWindowExA(0, kClassMain, kProgramTitle, WS_OVERLAPPEDWINDOW, place.left, place.top,
                                   place.right - place.left, place.bottom - place.top, NULL, NULL, g_instance, NULL);
    if (!g_mainWindow) {
        ShowSysErrorMessage(NULL, 6);
        return NULL;
    }
    UpdateWindowMenus();
    g_statusBar = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, g_mainWindow, NULL,
                                  g_instance, NULL);
    if (g_statusBar) {
        int parts[4] = {150, 250, 600, g_screenWidth};
        SendMessageA(g_statusBar, SB_SETPARTS, 4, (LPARAM)parts);
    }
    QzsAdjustClientRegion(g_mainWindow, (place.right - place.left) - 6, 48);
    RECT r;
    GetWindowRect(g_mainWindow, &r);
    s_minTrackHeight = r.bottom - r.top;
    AcceptDroppedFiles(g_mainWindow);
    return g_mainWindow;
}

// ---- memory display and tool-bar frame ----

void FormatMemoryStatus(char *out, size_t size)
{
    MEMORYSTATUS ms = {};
    QueryMemoryStatus(&ms);
    int n = snprintf(out, size, "Mem:%3.2f(Mb)/%3.2f(Mb)", ms.dwAvailPageFile / 1048576.0,
                     ms.dwTotalPageFile / 1048576.0);
    if (g_currentImage && n >= 0 && (size_t)n < size)
        snprintf(out + n, size - n, ":%lld", (long long)g_currentImage->undoBytes);
}

void ShowMemoryStatus()
{
    if (!g_statusBar)
        return;
    char text[128];
    FormatMemoryStatus(text, sizeof text);
    SendMessageA(g_statusBar, SB_SETTEXTA, 2, (LPARAM)text);
}

void SetStatusBarText(int part, const char *text)
{
    if (g_statusBar)
        SendMessageA(g_statusBar, SB_SETTEXTA, (WPARAM)part, (LPARAM)text);
}

void PaintToolBarFrame(int fill)
{
    if (!g_mainWindow)
        return;
    RECT client, bar = {0, 0, 0, 0};
    GetClientRect(g_mainWindow, &client);
    if (g_statusBar)
        GetWindowRect(g_statusBar, &bar);
    RECT r = {0, 0, g_screenWidth, client.bottom - (bar.bottom - bar.top)};
    HDC dc = GetDC(g_mainWindow);
    if (fill)
        FillRect(dc, &r, GetButtonFaceBrush());
    DrawEdge(dc, &r, EDGE_ETCHED, BF_TOP);
    ReleaseDC(g_mainWindow, dc);
    DrawToolButtons();
}

// ---- the timer ----

void SetBorderAnimation(bool on)
{
    SetBorderAnimating(on);
}

int GetBorderAnimationSteps()
{
    return s_borderSteps;
}

void ResetMainTimerState()
{
    s_lastCursor.x = s_lastCursor.y = -1;
    s_ticks = s_borderSteps = 0;
}

// The pointer has left the window beyond its client area (the right and bottom edges still count
// as inside), or where another window (a dialog, a menu, the main window) lies over it.
static bool PointerLeftWindow(HWND window, POINT screen, POINT client)
{
    RECT r = {0, 0, 0, 0};
    if (window)
        GetClientRect(window, &r);
    if (client.x < r.left || client.x > r.right || client.y < r.top || client.y > r.bottom)
        return true;
    return window && WindowFromPoint(screen) != window;
}

void OnMainTimerTick()
{
    KeepItemWindowAboveOwner();
    ImageWindow *w = g_currentWindow;
    if (IsDrawMachineryBusy() || !w || g_noWindowState)
        return;
    POINT screen = {0, 0};
    GetCursorPos(&screen);
    POINT client = screen;
    if (w->window)
        ScreenToClient(w->window, &client);
    int state = GetDrawState();
    bool moved = screen.x != s_lastCursor.x || screen.y != s_lastCursor.y;
    if (((GetCurrentDrawInfo() & 2) || moved) && state != 0 && state != 100 && !w->lock)
        SendSyntheticMouseMove(w, 0, MAKELPARAM(client.x, client.y), 1);
    s_lastCursor = screen;
    if (PointerLeftWindow(w->window, screen, client))
        EraseHoverGuide(1);
    if (++s_ticks > g_cfg.RegAnimationVelocity) {
        s_ticks = 0;
        if (IsBorderAnimating() && w->activeRegion && w->regionDisplayMode == 4) {
            AnimateRegionBorder(w, 1);
            s_borderSteps++;
        }
    }
}

// ---- the main window procedure ----

static void OnMainCreate(HWND hwnd)
{
    RECT r, c;
    GetWindowRect(hwnd, &r);
    GetClientRect(hwnd, &c);
    s_maxWidth = r.right - r.left;
    s_minTrackHeight = r.bottom - r.top;
    SetWindowPos(hwnd, NULL, 0, 0, c.right - c.left, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

static void OnMainMinMax(MINMAXINFO *info)
{
    RECT taskBar, place;
    bool found = GetTaskBarRect(&taskBar);
    GetMainWindowPlacement(found ? &taskBar : NULL, g_screenWidth, &place);
    info->ptMaxSize.x = s_maxWidth;
    info->ptMaxSize.y = g_screenHeight;
    info->ptMaxPosition.x = place.left;
    info->ptMaxPosition.y = place.top;
    info->ptMinTrackSize.x = s_maxWidth / 3;
    info->ptMinTrackSize.y = s_minTrackHeight;
    info->ptMaxTrackSize.x = g_screenWidth;
    info->ptMaxTrackSize.y = g_screenHeight;
}

static void OnMainPaint(HWND hwnd)
{
    PAINTSTRUCT ps;
    BeginPaint(hwnd, &ps);
    EndPaint(hwnd, &ps);
    PaintToolBarFrame(0);
    if (g_statusBar)
        SendMessageA(g_statusBar, SB_SETTEXTA, 0, (LPARAM) "      ");
    ShowMemoryStatus();
}

static void OnMainDropFiles(HDROP drop)
{
    SetWindowPos(g_mainWindow, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    UINT count = DragQueryFileA(drop, 0xFFFFFFFF, NULL, 0);
    for (UINT i = 0; i < count; i++) {
        char name[kPathBytes];
        if (GetDroppedFileName(drop, i, name, sizeof name))
            OpenDroppedFile(name);
    }
    DragFinish(drop);
    if (g_currentWindow && g_currentWindow->window)
        SetActiveWindow(g_currentWindow->window);
}

static bool HandleMainMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT *result)
{
    switch (message) {
    case WM_TIMER:
        if (wParam == 100)
            OnMainTimerTick();
        return true;
    case WM_CREATE: OnMainCreate(hwnd); return true;
    case WM_GETMINMAXINFO: OnMainMinMax((MINMAXINFO *)lParam); return true;
    case WM_PAINT: OnMainPaint(hwnd); return true;
    case WM_CLOSE:
    case WM_QUIT: QuitApplication(); return true;
    case WM_COMMAND: DispatchCommand(g_currentWindow, wParam, lParam); return true;
    case WM_COPYDATA: {
        char *text = TakeHandedOverCommandLine((const COPYDATASTRUCT *)lParam);
        if (text)
            PostHandedOverCommandLine(text);
        *result = 1;
        return true;
    }
    case WM_ACTIVATE:
        // Only activation acts, so that deactivation never starts a fight over the active window.
        if (LOWORD(wParam) == WA_INACTIVE)
            return false;
        if (g_imageOwner)
            SetWindowPos(g_imageOwner, hwnd, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        return true;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_MINIMIZE)
            HideAllImageWindows();
        else if ((wParam & 0xFFF0) == SC_RESTORE)
            ShowAllImageWindows();
        return false;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP: OnToolBarMouse(hwnd, message, wParam, lParam); return true;
    case WM_DROPFILES: OnMainDropFiles((HDROP)wParam); return true;
    case WM_SIZE:
        if (g_statusBar)
            SendMessageA(g_statusBar, WM_SIZE, wParam, lParam);
        return true;
    case WM_NOTIFY: {
        NMHDR *header = (NMHDR *)lParam;
        if (header && header->code == TTN_NEEDTEXTA)
            OnToolTipNeedText(header);
        return true;
    }
    default: return false;
    }
}

// The layer image the current window draws to, as its group says.
static CDIB *CurrentLayerImage(const ImageWindow *w)
{
    if (!w)
        return NULL;
    return w->group ? w->group->currentImage : w->layerImage;
}

LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    ImageWindow *w = g_currentWindow;
    CDIB *layer = CurrentLayerImage(w);
    LRESULT result = 0;
    if (!HandleMainMessage(hwnd, message, wParam, lParam, &result))
        return DefWindowProcA(hwnd, message, wParam, lParam);
    // The message may have changed the current layer: the window is laid out for the new one.
    w = g_currentWindow;
    if (w && IsWindowListed(w) && w->display.header && CurrentLayerImage(w) != layer) {
        RelayoutImageWindow(w);
        RedrawImageWindow(w);
    }
    return result;
}

LRESULT CALLBACK SubParentWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND: {
        // Commands of the sub-window plug-ins: a reload or quit they ask for waits until they return.
        SubWindowCallScope fromPlugin;
        MainWindowProc(g_mainWindow, message, wParam, lParam);
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    case WM_SYSCOMMAND: MainWindowProc(g_mainWindow, message, wParam, lParam); return 0;
    default: return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}
