// View geometry of an image window: zoom, keeping the view origin inside the image, scrolling and
// fitting the window to its image.
#include "view/regionborder.h"
#include "base/notify.h"
#include "image/regions.h"
#include "view/winlist.h"
#include "image/imagelist.h"
#include "image/cdib.h"
#include "view/display.h"
#include "base/app.h"
#include "base/settings.h"

static int ClampAxis(int origin, int position, int extent, int visible)
{
    if (extent >= visible) {
        if (origin < position)
            origin = position;
        if (origin > position + extent - visible)
            origin = position + extent - visible;
        return origin;
    }
    return position - (visible - extent) / 2;
}

void ClampViewOrigin(ImageWindow *window)
{
    if (!window)
        return;
    window->display.viewX =
        ClampAxis(window->display.viewX, window->contentLeft, window->contentWidth, window->visibleColumns);
    window->display.viewY =
        ClampAxis(window->display.viewY, window->contentTop, window->contentHeight, window->visibleRows);
}

static int Zoomed(int size, int zoom)
{
    if (zoom >= 1)
        return size * zoom;
    if (zoom < 0)
        return size / -zoom;
    return size;
}

static int FitAxis(int size, int maximum)
{
    if (size < 260)
        return 260;
    return size > maximum ? maximum : size;
}

void FitWindowToImage(ImageWindow *window)
{
    if (!window || !window->window || !window->group || !window->group->base)
        return;
    int w, h, d;
    GetImageSize(window->group->base, &w, &h, &d);
    int zoom = window->display.zoom;
    // The frame is measured as the window is now (its menu bar may have been built, or wrap at the
    // new width): a second pass makes up for what the first size left short.
    for (int pass = 0; pass < 2; pass++) {
        InitWindowFrameMetrics(window);
        int width =
            FitAxis(Zoomed(w, zoom) + window->frameWidth, window->maxWidth > 0 ? window->maxWidth : g_screenWidth);
        int height =
            FitAxis(Zoomed(h, zoom) + window->frameHeight, window->maxHeight > 0 ? window->maxHeight : g_screenHeight);
        RECT r;
        GetWindowRect(window->window, &r);
        if (r.left + width > g_screenWidth)
            width = g_screenWidth - r.left;
        if (r.top + height > g_screenHeight)
            height = g_screenHeight - r.top;
        if (pass == 1 && width == r.right - r.left && height == r.bottom - r.top)
            break;
        SetWindowPos(window->window, NULL, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    LayoutImageWindow(window);
    ClampViewOrigin(window);
}

// ---- zoom ----

int ClampZoomValue(int zoom)
{
    if (zoom > 16)
        return 16;
    if (zoom < -8)
        return -8;
    return zoom == 0 || zoom == -1 ? 1 : zoom;
}

// Overlays drawn at the old zoom are taken off at that zoom and drawn again at the new one.
static void RedrawOverlays(ImageWindow *window, int show)
{
    if (AskCheckMode())
        NotifyDrawReeditGuide(window);
    if (show && AskTransformMode())
        NotifyRedrawTransformOverlay(window);
    if (window->layerImage)
        NotifyDrawParameterPointGroups(window, show);
    if (window->activeRegion && window->regionDisplayMode == 4)
        AnimateRegionBorder(window, show);
}

void ApplyZoomChange(ImageWindow *window, int oldZoom)
{
    if (!window)
        return;
    int zoom = window->display.zoom;
    if (window == g_currentWindow && IsWindowListed(window)) {
        window->display.zoom = oldZoom;
        RedrawOverlays(window, 0);
        window->display.zoom = zoom;
        RedrawOverlays(window, 1);
    }
    NotifyZoomChanged(window);
    LayoutImageWindow(window);
    UpdateScrollBars(window);
    ClampViewOrigin(window);
}

QZS_DECL(int) QzsSetWindowZoom(ImageWindow *window, int zoom, int setOrg, int x, int y)
{
    if (!window)
        return 0;
    zoom = ClampZoomValue(zoom);
    if (setOrg) {
        window->display.viewX = x;
        window->display.viewY = y;
    }
    int old = window->display.zoom;
    window->display.zoom = zoom;
    if (zoom != old)
        ApplyZoomChange(window, old);
    return zoom;
}

static int OriginOnAxis(int value, int origin, int content, int display, int visible)
{
    if (content < visible)
        return origin;
    int most = display - visible;
    return value < 0 ? 0 : value > most ? most : value;
}

QZS_DECL(int) QzsSetWindowOrg(ImageWindow *window, int x, int y)
{
    if (!window)
        return 0;
    window->display.viewX =
        OriginOnAxis(x, window->display.viewX, window->contentWidth, window->displayWidth, window->visibleColumns);
    window->display.viewY =
        OriginOnAxis(y, window->display.viewY, window->contentHeight, window->displayHeight, window->visibleRows);
    return 1;
}

// ---- scrolling ----

static void ScrollAxis(ImageWindow *window, int bar, WPARAM wParam, int lineStep)
{
    bool horizontal = bar == SB_HORZ;
    int D = horizontal ? window->displayWidth : window->displayHeight;
    int v = horizontal ? window->visibleColumns : window->visibleRows;
    int *origin = horizontal ? &window->display.viewX : &window->display.viewY;
    if (D - v <= 0)
        return;
    int pos = *origin;
    switch (LOWORD(wParam)) {
    case SB_LINEUP: pos -= lineStep; break;
    case SB_LINEDOWN: pos += lineStep; break;
    case SB_PAGEUP: pos -= v / 2; break;
    case SB_PAGEDOWN: pos += v / 2; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: {
        pos = HIWORD(wParam);
        // The message carries 16 bits; a larger display takes the bar's own 32-bit position.
        SCROLLINFO si = {};
        si.cbSize = sizeof si;
        si.fMask = SIF_TRACKPOS;
        if (D > 0xFFFF && window->window && GetScrollInfo(window->window, bar, &si))
            pos = si.nTrackPos;
        break;
    }
    default: break;
    }
    pos = pos < 0 ? 0 : pos > D - v ? D - v : pos;
    // Held over the picture as the layout holds it: the margins show only around a picture
    // smaller than the window, which stays centred.
    if (horizontal)
        pos = ClampAxis(pos, window->contentLeft, window->contentWidth, v);
    else
        pos = ClampAxis(pos, window->contentTop, window->contentHeight, v);
    *origin = pos;
    if (window->window) {
        SCROLLINFO si = {};
        si.cbSize = sizeof si;
        si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        si.nMax = D;
        si.nPage = (UINT)v;
        si.nPos = pos;
        SetScrollInfo(window->window, bar, &si, TRUE);
    }
}

void ScrollWindowHorizontally(ImageWindow *window, WPARAM wParam, LPARAM)
{
    if (window)
        ScrollAxis(window, SB_HORZ, wParam, 5);
}

void ScrollWindowVertically(ImageWindow *window, WPARAM wParam, LPARAM)
{
    if (window)
        ScrollAxis(window, SB_VERT, wParam, 10);
}

// The window shown again for its group's current layer.
void RelayoutImageWindow(ImageWindow *window)
{
    if (!window)
        return;
    window->layerImage = window->group ? window->group->currentImage : NULL;
    if (window == g_currentWindow)
        g_currentImage = window->layerImage;
    LayoutImageWindow(window);
    ClampViewOrigin(window);
}
