// Copying a window's display to the screen at its zoom, the grid, refresh requests (immediate,
// accumulated, held), the layout from zoom and client size, and the scroll bars.
#include "view/display.h"
#include "image/cdib.h"
#include "base/app.h"
#include "base/settings.h"
#include "view/winlist.h"

int g_displayPaintCount;

static RECT s_pending = {-1, -1, -1, -1};
static bool s_hold, s_anyPending;
static int s_gathering; // refreshes asked for now are gathered while above 0
static HPEN s_gridPen;

int GetStretchMode()
{
    switch (g_cfg.StretchBltMode) {
    case 0: return BLACKONWHITE;
    case 2: return WHITEONBLACK;
    default: return COLORONCOLOR;
    }
}

HPEN GetGridPen()
{
    if (!s_gridPen)
        s_gridPen = CreatePen(PS_SOLID, 1, RGB(128, 128, 128));
    return s_gridPen;
}

void DeleteGridPen()
{
    if (s_gridPen)
        DeleteObject(s_gridPen);
    s_gridPen = NULL;
}

// The multiple of n at or below c, for negative c too.
static int FloorToMultiple(int c, int n)
{
    return c >= 0 ? c / n * n : -((-c + n - 1) / n) * n;
}

void GetPaintGeometry(const ImageWindow *window, int x0, int y0, int x1, int y1, PaintGeometry *out)
{
    int z = window->display.zoom;
    int mx = window->marginX, my = window->marginY, H = window->displayHeight;
    int ox = window->display.viewX - mx, oy = window->display.viewY - my;
    if (z >= 1) {
        out->destX = (x0 - ox) * z;
        out->destY = (y0 - oy) * z;
        out->destWidth = (x1 - x0 + 1) * z;
        out->destHeight = (y1 - y0 + 1) * z;
        out->srcX = mx + x0;
        out->srcY = H - y1 - 1 - my;
        out->srcWidth = x1 - x0 + 1;
        out->srcHeight = y1 - y0 + 1;
        return;
    }
    // A reduction by n shows blocks of n x n display pixels, counted from the view origin taken
    // down to a multiple of n. The rectangle grows to whole blocks and then keeps to the blocks that
    // lie whole inside the display: a block reaching past its edge would copy what is not there.
    int n = -z;
    int W = window->displayWidth;
    int vx = FloorToMultiple(window->display.viewX, n), vy = FloorToMultiple(window->display.viewY, n);
    int left = FloorToMultiple(x0 + mx, n), top = FloorToMultiple(y0 + my, n);
    int right = FloorToMultiple(x1 + mx, n) + n - 1, bottom = FloorToMultiple(y1 + my, n) + n - 1;
    left = left < 0 ? 0 : left;
    top = top < 0 ? 0 : top;
    int lastRight = FloorToMultiple(W, n) - 1, lastBottom = FloorToMultiple(H, n) - 1;
    right = right > lastRight ? lastRight : right;
    bottom = bottom > lastBottom ? lastBottom : bottom;
    int columns = right >= left ? (right - left + 1) / n : 0, rows = bottom >= top ? (bottom - top + 1) / n : 0;
    out->destX = (left - vx) / n;
    out->destY = (top - vy) / n;
    out->destWidth = columns;
    out->destHeight = rows;
    out->srcX = left;
    out->srcY = H - 1 - (top + rows * n - 1);
    out->srcWidth = columns * n;
    out->srcHeight = rows * n;
}

static bool HasPaintableDisplay(const ImageWindow *window)
{
    return window && window->window && window->display.header && window->display.pixels;
}

void DrawGrid(HDC dc, int x0, int y0, int x1, int y1, int zoom, HPEN pen)
{
    if (zoom <= 1 || (g_noWindowState && g_firstWindow && !g_firstWindow->next))
        return;
    // Lines every 8 client pixels from the last column of a pixel that starts a step of 8 / zoom
    // image pixels; above zoom 8, where that step is 0, a line after every image pixel.
    int s = 8 / zoom > 0 ? 8 / zoom : 1;
    int step = 8 / zoom > 0 ? 8 : zoom;
    HGDIOBJ old = SelectObject(dc, pen);
    for (int x = (x0 / s) * s * zoom + zoom - 1; x <= (x1 / s) * s * zoom + zoom - 1; x += step) {
        MoveToEx(dc, x, y0 * zoom, NULL);
        LineTo(dc, x, (y1 + 1) * zoom);
    }
    for (int y = (y0 / s) * s * zoom + zoom - 1; y <= (y1 / s) * s * zoom + zoom - 1; y += step) {
        MoveToEx(dc, x0 * zoom, y, NULL);
        LineTo(dc, (x1 + 1) * zoom, y);
    }
    SelectObject(dc, old);
}

void PaintImageRectOn(HDC dc, ImageWindow *window, int x0, int y0, int x1, int y1)
{
    PaintGeometry g;
    GetPaintGeometry(window, x0, y0, x1, y1, &g);
    if (g.destWidth <= 0 || g.destHeight <= 0)
        return;
    HPALETTE oldPalette = NULL;
    if (g_displayPalette) {
        oldPalette = SelectPalette(dc, g_displayPalette, FALSE);
        RealizePalette(dc);
    }
    SetStretchBltMode(dc, GetStretchMode());
    StretchDIBits(dc, g.destX, g.destY, g.destWidth, g.destHeight, g.srcX, g.srcY, g.srcWidth, g.srcHeight,
                  window->display.pixels, window->display.header, DIB_RGB_COLORS, SRCCOPY);
    if (oldPalette)
        SelectPalette(dc, oldPalette, TRUE);
    int z = window->display.zoom;
    if (window->grid && z > 1) {
        int ox = window->display.viewX - window->marginX, oy = window->display.viewY - window->marginY;
        DrawGrid(dc, x0 - ox, y0 - oy, x1 - ox, y1 - oy, z, GetGridPen());
    }
}

void PaintImageRect(ImageWindow *window, int x0, int y0, int x1, int y1)
{
    if (!HasPaintableDisplay(window))
        return;
    SetScrollBarsFromView(window);
    HDC dc = GetDC(window->window);
    if (!dc)
        return;
    PaintImageRectOn(dc, window, x0, y0, x1, y1);
    ReleaseDC(window->window, dc);
}

// The rectangle (image coordinates) cut to the display, margins included; false when nothing is left.
static bool ClipToDisplay(const ImageWindow *window, const RECT *rect, RECT *out)
{
    int mx = window->marginX, my = window->marginY;
    int w = window->contentWidth, h = window->contentHeight;
    RECT r = *rect;
    r.left = r.left < -mx ? -mx : r.left;
    r.top = r.top < -my ? -my : r.top;
    r.right = r.right > w + mx - 1 ? w + mx - 1 : r.right;
    r.bottom = r.bottom > h + my - 1 ? h + my - 1 : r.bottom;
    *out = r;
    return r.left <= r.right && r.top <= r.bottom;
}

void PaintDisplayRect(ImageWindow *window, const RECT *rect)
{
    RECT r;
    if (window && ClipToDisplay(window, rect, &r))
        PaintImageRect(window, r.left, r.top, r.right, r.bottom);
}

void RefreshClippedRect(ImageWindow *window, const RECT *rect)
{
    if (!window)
        return;
    int w = window->contentWidth, h = window->contentHeight;
    if (rect->right < 0 || rect->bottom < 0 || rect->left >= w || rect->top >= h)
        return;
    RECT r = *rect;
    r.left = r.left < 0 ? 0 : r.left;
    r.top = r.top < 0 ? 0 : r.top;
    r.right = r.right > w - 1 ? w - 1 : r.right;
    r.bottom = r.bottom > h - 1 ? h - 1 : r.bottom;
    PaintImageRect(window, r.left, r.top, r.right, r.bottom);
}

void ClearPendingRefresh()
{
    s_pending.left = s_pending.top = s_pending.right = s_pending.bottom = -1;
}

bool GetPendingRefresh(RECT *out)
{
    *out = s_pending;
    return s_pending.right >= 0 && s_pending.bottom >= 0;
}

int RefreshWindowRect(ImageWindow *window, int x0, int y0, int x1, int y1, int now)
{
    int left = x0 < x1 ? x0 : x1, right = x0 < x1 ? x1 : x0;
    int top = y0 < y1 ? y0 : y1, bottom = y0 < y1 ? y1 : y0;
    if (s_pending.left < 0 && s_pending.top < 0) {
        s_pending.left = left;
        s_pending.top = top;
    } else {
        s_pending.left = left < s_pending.left ? left : s_pending.left;
        s_pending.top = top < s_pending.top ? top : s_pending.top;
    }
    s_pending.right = right > s_pending.right ? right : s_pending.right;
    s_pending.bottom = bottom > s_pending.bottom ? bottom : s_pending.bottom;
    s_pending.left = s_pending.left < 0 ? 0 : s_pending.left;
    s_pending.top = s_pending.top < 0 ? 0 : s_pending.top;
    if (now != 1 || s_gathering > 0)
        return 0;
    RefreshClippedRect(window, &s_pending);
    ClearPendingRefresh();
    return -1;
}

void BeginGatheredRefresh()
{
    s_gathering++;
}

void EndGatheredRefresh(ImageWindow *window)
{
    if (s_gathering > 0 && --s_gathering > 0)
        return;
    RECT pending;
    if (window && GetPendingRefresh(&pending)) {
        RefreshClippedRect(window, &pending);
        ClearPendingRefresh();
    }
}

// Fills the client beyond the painted part of the display with the margins' grey, so the picture
// sits in one even surround whatever the zoom.
static void FillAroundDisplay(ImageWindow *window, HDC dc, const PaintGeometry &g)
{
    int cw = window->clientWidth, ch = window->clientHeight;
    HBRUSH grey = (HBRUSH)GetStockObject(GRAY_BRUSH);
    int l = g.destX, t = g.destY, r = g.destX + g.destWidth, b = g.destY + g.destHeight;
    if (g.destWidth <= 0 || g.destHeight <= 0)
        l = r = t = b = 0;
    RECT parts[4] = {{0, 0, cw, t}, {0, b, cw, ch}, {0, t, l, b}, {r, t, cw, b}};
    for (const RECT &part : parts)
        if (part.right > part.left && part.bottom > part.top)
            FillRect(dc, &part, grey);
}

void RedrawImageWindow(ImageWindow *window)
{
    if (!window)
        return;
    if (s_hold) {
        window->redrawPending = 1;
        s_anyPending = true;
        return;
    }
    window->redrawPending = 0;
    s_anyPending = false;
    g_displayPaintCount++;
    if (!HasPaintableDisplay(window))
        return;
    // Setting the bars can resize the client and so ask for this repaint again: a few levels
    // serve, more would only chase scroll bars that appear and vanish.
    static int depth;
    if (depth > 3)
        return;
    depth++;
    SetScrollBarsFromView(window);
    int mx = window->marginX, my = window->marginY;
    int L = window->display.viewX - mx > -mx ? window->display.viewX - mx : -mx;
    int T = window->display.viewY - my > -my ? window->display.viewY - my : -my;
    RECT r = {L, T, L + window->visibleColumns, T + window->visibleRows};
    RECT shown;
    PaintGeometry g = {};
    if (ClipToDisplay(window, &r, &shown))
        GetPaintGeometry(window, shown.left, shown.top, shown.right, shown.bottom, &g);
    if (HDC dc = GetDC(window->window)) {
        FillAroundDisplay(window, dc, g);
        ReleaseDC(window->window, dc);
    }
    PaintDisplayRect(window, &r);
    depth--;
}

bool IsRedrawHeld()
{
    return s_hold;
}

static void RedrawPendingWindows()
{
    for (ImageWindow *w = g_firstWindow; w; w = w->next)
        if (w->redrawPending == 1)
            RedrawImageWindow(w);
    s_anyPending = false;
}

void SetRedrawHold(int hold)
{
    s_hold = hold != 0;
    RedrawPendingWindows();
}

void FlushHeldRedraws()
{
    s_hold = false;
    RedrawPendingWindows();
}

// ---- layout and scroll bars ----

void LayoutImageWindow(ImageWindow *window)
{
    if (!window)
        return;
    if (window->window) {
        RECT r;
        GetClientRect(window->window, &r);
        window->clientWidth = r.right - r.left;
        window->clientHeight = r.bottom - r.top;
    }
    int z = window->display.zoom;
    if (z >= 1) {
        window->visibleColumns = (window->clientWidth + z - 1) / z;
        window->visibleRows = (window->clientHeight + z - 1) / z;
        window->shownWidth = window->visibleColumns * z;
        window->shownHeight = window->visibleRows * z;
    } else {
        window->visibleColumns = window->clientWidth * -z;
        window->visibleRows = window->clientHeight * -z;
        window->shownWidth = window->clientWidth;
        window->shownHeight = window->clientHeight;
    }
    if (window->display.viewX + window->visibleColumns > window->displayWidth)
        window->display.viewX = window->displayWidth - window->visibleColumns;
    if (window->display.viewY + window->visibleRows > window->displayHeight)
        window->display.viewY = window->displayHeight - window->visibleRows;
    UpdateScrollBars(window);
}

static void SetBar(ImageWindow *window, int bar, int size, int visible, int origin)
{
    if (!window->window)
        return;
    SCROLLINFO si = {};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMin = 0;
    si.nMax = bar == SB_HORZ && window->marginX < g_cfg.NoBarFrameSize ? 0 : size;
    si.nPage = visible > 0 ? (UINT)visible : 0;
    si.nPos = origin;
    SetScrollInfo(window->window, bar, &si, TRUE);
}

void UpdateScrollBars(ImageWindow *window)
{
    if (!window)
        return;
    int *origin[2] = {&window->display.viewX, &window->display.viewY};
    int size[2] = {window->displayWidth, window->displayHeight};
    int visible[2] = {window->visibleColumns, window->visibleRows};
    for (int axis = 0; axis < 2; axis++) {
        int room = size[axis] - visible[axis];
        if (room <= 0) {
            *origin[axis] = 0;
            continue;
        }
        if (*origin[axis] > room)
            *origin[axis] = room;
        SetBar(window, axis == 0 ? SB_HORZ : SB_VERT, size[axis], visible[axis], *origin[axis]);
    }
}

void SetScrollBarsFromView(ImageWindow *window)
{
    if (!window || !window->display.header)
        return;
    SetBar(window, SB_HORZ, window->displayWidth, window->visibleColumns, window->display.viewX);
    SetBar(window, SB_VERT, window->displayHeight, window->visibleRows, window->display.viewY);
    InitWindowFrameMetrics(window);
}
