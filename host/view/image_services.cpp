// Host services that show images in windows: new and replaced images in the current window,
// refreshing a window's area, drawing an image into any window.
#include "image/cdib.h"
#include "image/dibconvert.h"
#include "image/group.h"
#include "image/imagelist.h"
#include "base/notify.h"
#include "view/display.h"
#include "view/groupview.h"
#include "view/winlist.h"
#include <string.h>

QZS_DECL(int) QzsDrawCDIB(HWND window, CDIB *cdib, int x, int y)
{
    if (!cdib || !cdib->header || !cdib->pixels)
        return 0;
    HDC dc = GetDC(window);
    HPALETTE old = NULL;
    if (g_displayPalette) {
        old = SelectPalette(dc, g_displayPalette, TRUE);
        RealizePalette(dc);
    }
    const BITMAPINFOHEADER *h = &cdib->header->bmiHeader;
    StretchDIBits(dc, x, y, h->biWidth, h->biHeight, 0, 0, h->biWidth, h->biHeight, cdib->pixels, cdib->header,
                  DIB_RGB_COLORS, SRCCOPY);
    if (old)
        SelectPalette(dc, old, TRUE);
    return ReleaseDC(window, dc);
}

QZS_DECL(int) QzsSetNewImage(CDIB *image)
{
    ImageGroup *group = FindGroupOfImage(image);
    if (!group && IsImageListed(image) && AddImageGroup(image))
        group = g_lastGroup; // a new image gets its group when it is first shown
    if (!group || ShowGroupInWindow(g_currentWindow, group, 0, 1) != 0)
        return 0;
    NotifyImageChanged(group, group->currentLayer, group->currentImage, kChangeShown);
    return 1;
}

// A listed image taken over as a new untitled image: its own group, shown in the current window.
static int AdoptNewImage(CDIB *image)
{
    NotifyImageListChanged();
    QzsSetUntitle(image, 1);
    if (!AddImageGroup(image))
        return 0;
    ShowGroupInWindow(g_currentWindow, g_lastGroup, 0, 1);
    if (g_currentWindow)
        RelayoutImageWindow(g_currentWindow);
    return 1;
}

QZS_DECL(int) QzsSetCDIB(CDIB *image)
{
    if (!image || !image->header || !image->pixels || image->header->bmiHeader.biBitCount != 32 ||
        IsImageListed(image))
        return 0;
    FlattenOntoBackground(image);
    AppendImage(image);
    return AdoptNewImage(image);
}

QZS_DECL(int) QzsSetDIBImage(BITMAPINFO *dib, int flag)
{
    if (!dib)
        return 0;
    CDIB *image = CreateImageFromDib(dib, flag);
    if (!image)
        return 0;
    return AdoptNewImage(image);
}

QZS_DECL(int) QzsReplaceWinImage(ImageWindow *window, CDIB *image, int keepUndo)
{
    if (!window || !image || !window->layerImage)
        return 0;
    CDIB *old = window->layerImage;
    // The image takes the old one's place in the list: one a group holds cannot be in two places,
    // and a listed one of no group leaves its own place first, or the list would lose images or
    // loop.
    if (image != old) {
        if (FindGroupOfImage(image))
            return 0;
        UnlinkImage(image);
    }
    old->zoom = window->display.zoom;
    old->viewX = window->display.viewX;
    old->viewY = window->display.viewY;
    ReplaceImage(old, image, keepUndo);
    if (IsWindowListed(window))
        RelayoutImageWindow(window);
    return 1;
}

static void RefreshShownGroup(ImageGroup *group)
{
    ShowGroupInWindow(g_currentWindow, group, 0, 1);
    ImageWindow *window = g_currentWindow;
    if (!window)
        return;
    LayoutImageWindow(window);
    UpdateScrollBars(window);
    NotifyMenusChanged();
    UpdateWindowTitle(window, window->group);
    RedrawImageWindow(window);
}

QZS_DECL(int) QzsSetImage(CDIB *image)
{
    RefreshShownGroup(FindGroupOfImage(image));
    return 0;
}

QZS_DECL(int) QzsSetImageGroup(ImageGroup *group)
{
    RefreshShownGroup(IsGroupListed(group) ? group : NULL);
    return 0;
}

QZS_DECL(int) QzsUpdateImageWindow(ImageWindow *window, int x0, int y0, int x1, int y1)
{
    return RefreshWindowRect(window, x0, y0, x1, y1, 1);
}

QZS_DECL(int) QzsUpdateImageWindowEx(ImageWindow *window, int x0, int y0, int x1, int y1, int now)
{
    return RefreshWindowRect(window, x0, y0, x1, y1, now);
}

