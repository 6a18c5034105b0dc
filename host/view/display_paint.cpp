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

static int AlignDown(int c, int n)
{
    return c >= 0 ? n * (c / n) : (c / n - 1) * n;
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
    int n = -z;
    x0 = AlignDown(x0, n);
    y0 = AlignDown(y0, n);
    x1 = x1 >= 0 ? (x1 / n + 1) * n : n * (x1 / n);
    y1 = y1 >= 0 ? (y1 / n + 1) * n : n * (y1 / n);
    ox = AlignDown(ox, n);
    oy = AlignDown(oy, n);
    out->destX = (x0 - ox) / n;
    out->destY = (y0 - oy) / n;
    out->destWidth = (x1 - x0) / n + 1;
    out->destHeight = (y1 - y0) / n + 1;
    out->srcX = mx + x0;
    out->srcY = ((H - y1 - 1 - my) / n) * n;
    out->srcWidth = out->destWidth * n;
    out->srcHeight = out->destHeight * n;
}

static bool HasPaintableDisplay(const ImageWindow *window)
{
    return window && window->window && window->display.header && window->display.pixels;
}

void DrawGrid(HDC dc, int x0, int y0, int x1, int y1, int zoom, HPEN pen)
{
    if (zoom <= 1 || (g_noWindowState && g_firstWindow && !g_firstWindow->next))
        return;
    // Every eighth client pixel up to zoom 8; above it every image pixel.
    int s = 8 / zoom > 0 ? 8 / zoom : 1;
    int step = s * zoom;
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

void PaintDisplayRect(ImageWindow *window, const RECT *rect)
{
    if (!window)
        return;
    int mx = window->marginX, my = window->marginY;
    int w = window->contentWidth, h = window->contentHeight;
    RECT r = *rect;
    r.left = r.left < -mx ? -mx : r.left;
    r.top = r.top < -my ? -my : r.top;
    r.right = r.right > w + mx - 1 ? w + mx - 1 : r.right;
    r.bottom = r.bottom > h + my - 1 ? h + my - 1 : r.bottom;
    if (r.left > r.right || r.top > r.bottom)
        return;
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
    if (now != 1)
        return 0;
    RefreshClippedRect(window, &s_pending);
    ClearPendingRefresh();
    return -1;
}

// Paints black what the client shows beyond the display on each side.
static void ClearOutsideDisplay(ImageWindow *window, HDC dc)
{
    int z = window->display.zoom, cw = window->clientWidth, ch = window->clientHeight;
    int vx = window->display.viewX, vy = window->display.viewY;
    int W = window->displayWidth, H = window->displayHeight;
    auto toClient = [z](int displayPixels) { return z >= 1 ? displayPixels * z : displayPixels / -z; };
    int left = toClient(-vx), right = toClient(W - vx), top = toClient(-vy), bottom = toClient(H - vy);
    if (left > 0)
        PatBlt(dc, 0, 0, left, ch, BLACKNESS);
    if (right < cw)
        PatBlt(dc, right, 0, cw - right, ch, BLACKNESS);
    if (top > 0)
        PatBlt(dc, 0, 0, cw, top, BLACKNESS);
    if (bottom < ch)
        PatBlt(dc, 0, bottom, cw, ch - bottom, BLACKNESS);
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
    HDC dc = GetDC(window->window);
    if (dc) {
        ClearOutsideDisplay(window, dc);
        ReleaseDC(window->window, dc);
    }
    int mx = window->marginX, my = window->marginY;
    int L = window->display.viewX - mx > -mx ? window->display.viewX - mx : -mx;
    int T = window->display.viewY - my > -my ? window->display.viewY - my : -my;
    RECT r = {L, T, L + window->visibleColumns, T + window->visibleRows};
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
