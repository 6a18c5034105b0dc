// View geometry of an image window: keeping the scroll origin inside the image, and fitting the
// window to its image.
#include "shell/startup.h"
#include "image/cdib.h"
#include "image/display.h"
#include "shell/app.h"
#include "shell/config.h"

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
    int width = FitAxis(Zoomed(w, zoom) + window->frameWidth, window->maxWidth > 0 ? window->maxWidth : g_screenWidth);
    int height =
        FitAxis(Zoomed(h, zoom) + window->frameHeight, window->maxHeight > 0 ? window->maxHeight : g_screenHeight);
    RECT r;
    GetWindowRect(window->window, &r);
    if (r.left + width > g_screenWidth)
        width = g_screenWidth - r.left;
    if (r.top + height > g_screenHeight)
        height = g_screenHeight - r.top;
    SetWindowPos(window->window, NULL, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    LayoutImageWindow(window);
    ClampViewOrigin(window);
}
