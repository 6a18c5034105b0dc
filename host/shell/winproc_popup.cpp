// Small windows: the status pop-up of each image window, the parameter tool windows, and the
// preview window of the open dialog.
#include "shell/winproc.h"
#include "files/openpreview.h"
#include "image/colors.h"
#include "draw/drawsel.h"
#include "plugins/params.h"
#include "base/app.h"
#include "base/settings.h"
#include "view/status.h"
#include "view/winlist.h"
#include <stdio.h>

int g_statusWindowsOn = 1, g_statusOffsetX = 240, g_statusOffsetY = 0, g_statusAnchor = 3;

static ImageWindow *OwnerRecord(HWND popup)
{
    HWND owner = GetWindow(popup, GW_OWNER);
    for (ImageWindow *w = g_firstWindow; w; w = w->next)
        if (w->window == owner && w->statusWindow == popup)
            return w;
    return NULL;
}

void PlaceStatusWindow(ImageWindow *window, int *x, int *y)
{
    RECT p = {0, 0, 0, 0};
    if (window->window)
        GetWindowRect(window->window, &p);
    *x = p.right - window->statusOffsetX;
    *y = (g_statusAnchor == 2 ? p.top : p.bottom) - window->statusOffsetY;
}

void MoveStatusWindow(ImageWindow *window)
{
    if (!window || !window->statusWindow)
        return;
    int x, y;
    PlaceStatusWindow(window, &x, &y);
    SetWindowPos(window->statusWindow, NULL, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void RecordStatusOffset(HWND popup)
{
    ImageWindow *w = OwnerRecord(popup);
    if (!w || !w->window || (g_statusAnchor != 2 && g_statusAnchor != 3))
        return;
    RECT p, s;
    GetWindowRect(w->window, &p);
    GetWindowRect(popup, &s);
    w->statusOffsetX = p.right - s.left;
    w->statusOffsetY = (g_statusAnchor == 2 ? p.top : p.bottom) - s.top;
}

static LRESULT PaintGreyFramed(HWND hwnd)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT r;
    GetClientRect(hwnd, &r);
    HBRUSH grey = CreateSolidBrush(0xC0C0C0);
    FillRect(dc, &r, grey);
    DeleteObject(grey);
    PaintSunkenFrame(hwnd, dc);
    EndPaint(hwnd, &ps);
    return 0;
}

static LRESULT DragByBody(HWND hwnd, WPARAM wParam, LPARAM lParam)
{
    LRESULT hit = DefWindowProcA(hwnd, WM_NCHITTEST, wParam, lParam);
    return hit == HTCLIENT ? HTCAPTION : hit;
}

LRESULT CALLBACK StatusWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: return PaintGreyFramed(hwnd);
    case WM_MOVE:
        RecordStatusOffset(hwnd);
        InvalidateRect(hwnd, NULL, TRUE);
        return 0;
    case WM_NCHITTEST: return DragByBody(hwnd, wParam, lParam);
    default: return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

// ---- parameter windows ----

static LRESULT ParameterWindowMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, int kind,
                                      QzcChangedParameterProc notify)
{
    ParameterPanel *panel = GetParameterPanel(kind);
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(hwnd, &ps);
        EndPaint(hwnd, &ps);
        PaintParameterPanel(hwnd, panel);
        return 0;
    }
    case WM_CLOSE: ShowWindow(hwnd, SW_HIDE); return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MOUSEMOVE: RouteMouseToParameterControls(hwnd, message, panel, wParam, lParam); return 0;
    case WM_COMMAND: {
        int id = LOWORD(wParam);
        if (id < kControlIdBase)
            return 0;
        RouteCommandToParameterControl(hwnd, message, panel, wParam, lParam);
        int index = ParameterControlIndex(panel, id);
        if (notify && index >= 0 && !(kind == kPanelDraw && IsDrawParamNotifySuppressed()))
            notify(index, QzsGetParameter(kind, index));
        return 0;
    }
    default: return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

LRESULT CALLBACK DrawParameterWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!hwnd || hwnd != g_drawParamWindow)
        return DefWindowProcA(hwnd, message, wParam, lParam);
    DrawPluginRecord *draw = GetCurrentDrawPlugin();
    return ParameterWindowMessage(hwnd, message, wParam, lParam, kPanelDraw, draw ? draw->QzcChangedParameter : NULL);
}

LRESULT CALLBACK ColorParameterWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    int row = QzsGetColor(0)->function - 1;
    ColorFunctionRecord *color = row >= 0 ? QzsGetFunctionalColor(row) : NULL;
    if (!hwnd || hwnd != g_colorParamWindow || !color)
        return DefWindowProcA(hwnd, message, wParam, lParam);
    return ParameterWindowMessage(hwnd, message, wParam, lParam, kPanelColor, color->QzcChangedParameter);
}

LRESULT CALLBACK SaveParameterWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!hwnd || hwnd != g_saveParamWindow)
        return DefWindowProcA(hwnd, message, wParam, lParam);
    return ParameterWindowMessage(hwnd, message, wParam, lParam, kPanelSaveDefault, NULL);
}

// ---- the open dialog's preview window ----

LRESULT CALLBACK ThumbWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        PaintGreyFramed(hwnd);
        PaintPreviewThumbnail(hwnd);
        return 0;
    case WM_NCHITTEST: return DragByBody(hwnd, wParam, lParam);
    case WM_MOVE: {
        HWND parent = GetParent(hwnd);
        if (g_cfg.PreviewInOpenDlg && parent) {
            RECT p, s;
            GetWindowRect(parent, &p);
            GetWindowRect(hwnd, &s);
            g_cfg.OpenPreviewX = s.left - p.left;
            g_cfg.OpenPreviewY = s.top - p.top;
            PlaceWindowAtOffset(hwnd, parent, g_cfg.OpenPreviewX, g_cfg.OpenPreviewY);
        }
        InvalidateRect(hwnd, NULL, TRUE);
        return 0;
    }
    case WM_DESTROY: ReleasePreviewWindow(hwnd); return 0;
    default: return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}
