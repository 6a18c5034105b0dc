// Pasting from the clipboard: a device-independent bitmap from any program, checked against its
// block before a pixel is read, or an enhanced metafile drawn into a new image.
#include "shell/clipboard.h"
#include "base/app.h"
#include "base/messages.h"
#include "image/cdib.h"
#include "image/dibcheck.h"
#include "image/dibconvert.h"
#include "image/group.h"
#include "image/imagelist.h"
#include "plugins/subwin.h"
#include "view/display.h"
#include "view/groupview.h"
#include "view/winlist.h"
#include <stdlib.h>
#include <string.h>

static void DropImage(CDIB *image)
{
    UnlinkImage(image);
    FreeImageData(image);
    free(image);
}

CDIB *ImageFromPackedDib(const void *block, size_t bytes)
{
    DibLayout dib;
    if (!CheckPackedDib(block, bytes, &dib))
        return NULL;
    // Top-down rows and bit fields become plain bottom-up rows first.
    uint8_t *plain = NULL;
    if (!IsPlainDib(dib)) {
        size_t plainBytes;
        plain = MakePlainPackedDib(dib, &plainBytes);
        if (!plain || !CheckPackedDib(plain, plainBytes, &dib)) {
            free(plain);
            return NULL;
        }
    }
    if ((int64_t)dib.width * dib.height > kMaxPixelBytes / 4) {
        free(plain);
        return NULL;
    }
    CDIB *image = NULL;
    if (CreateImageRecord(&image, dib.width, dib.height, 32) != 0) {
        free(plain);
        return NULL;
    }
    // A short colour table is copied into a full one so that every index finds an entry.
    RGBQUAD palette[256] = {};
    if (dib.palette)
        memcpy(palette, dib.palette, (size_t)dib.entries * 4);
    CDIB source = {};
    source.pixels = (void *)dib.bits;
    ConvertDibToImage(image, &source, palette, dib.width, dib.height, dib.depth, dib.width, dib.height, 0);
    free(plain);
    return image;
}

static CDIB *ImageFromClipboardDib(HANDLE data)
{
    const void *block = GlobalLock(data);
    if (!block)
        return NULL;
    CDIB *image = ImageFromPackedDib(block, GlobalSize(data));
    GlobalUnlock(data);
    return image;
}

int RenderMetafileToImage(HENHMETAFILE metafile, CDIB **out)
{
    *out = NULL;
    ENHMETAHEADER header;
    if (!metafile || GetEnhMetaFileHeader(metafile, sizeof header, &header) < sizeof header)
        return 0;
    HDC screen = GetDC(NULL);
    int64_t hres = GetDeviceCaps(screen, HORZRES), vres = GetDeviceCaps(screen, VERTRES);
    int64_t hsize = (int64_t)GetDeviceCaps(screen, HORZSIZE) * 100, vsize = (int64_t)GetDeviceCaps(screen, VERTSIZE) * 100;
    if (hsize <= 0 || vsize <= 0) {
        ReleaseDC(NULL, screen);
        return 0;
    }
    // The frame is in hundredths of a millimetre; the image starts at (0, 0), margin included.
    RECT frame = {(LONG)(header.rclFrame.left * hres / hsize), (LONG)(header.rclFrame.top * vres / vsize),
                  (LONG)(header.rclFrame.right * hres / hsize), (LONG)(header.rclFrame.bottom * vres / vsize)};
    int64_t width = (int64_t)frame.right + 1, height = (int64_t)frame.bottom + 1;
    if (width <= 0 || height <= 0 || width > 0x7FFF || height > 0x7FFF || width * height > kMaxPixelBytes / 4) {
        ReleaseDC(NULL, screen);
        return 0;
    }
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, (int)width, (int)height);
    HGDIOBJ old = memory && bitmap ? SelectObject(memory, bitmap) : NULL;
    CDIB *image = NULL;
    if (old && CreateImageRecord(&image, (int)width, (int)height, 32) == 0) {
        RECT all = {0, 0, (LONG)width, (LONG)height};
        FillRect(memory, &all, (HBRUSH)GetStockObject(WHITE_BRUSH));
        PlayEnhMetaFile(memory, metafile, &frame);
        SelectObject(memory, old);
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = (LONG)width;
        info.bmiHeader.biHeight = -(LONG)height; // the image store's rows are top-down
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        if (GetDIBits(memory, bitmap, 0, (UINT)height, image->pixels, &info, DIB_RGB_COLORS) == height) {
            uint32_t *p = (uint32_t *)image->pixels;
            for (int64_t i = 0; i < width * height; i++)
                p[i] |= 0xFF000000u;
        } else {
            DropImage(image);
            image = NULL;
        }
    } else if (old) {
        SelectObject(memory, old);
    }
    if (bitmap)
        DeleteObject(bitmap);
    if (memory)
        DeleteDC(memory);
    ReleaseDC(NULL, screen);
    *out = image;
    return image ? 1 : 0;
}

// The clipboard's picture as a new listed image, or NULL; the clipboard is open.
static CDIB *TakeClipboardPicture()
{
    if (HANDLE dib = GetClipboardData(CF_DIB))
        return ImageFromClipboardDib(dib);
    CDIB *image = NULL;
    if (HENHMETAFILE metafile = (HENHMETAFILE)GetClipboardData(CF_ENHMETAFILE))
        RenderMetafileToImage(metafile, &image);
    return image;
}

int PasteFromClipboard(ImageWindow *window, int asLayer, int x, int y)
{
    HWND owner = window ? window->window : g_mainWindow;
    if (!OpenClipboard(owner)) {
        ShowErrorMessage(owner, 28);
        return 0;
    }
    CDIB *image = TakeClipboardPicture();
    CloseClipboard();
    if (!image) {
        ShowErrorMessage(owner, 29);
        return 0;
    }
    int w, h, d;
    GetImageSize(image, &w, &h, &d);
    for (RegionSlot &s : image->slots) {
        s.state = 1;
        s.left = 0, s.top = 0, s.right = w - 1, s.bottom = h - 1;
    }
    BroadcastImageListChanged();
    QzsSetUntitle(image, 1);
    if (asLayer && window && window->group) {
        if (QzsInsertNewLayer(window->group, image, x, y, 1, 255, 1))
            return 1;
        DropImage(image);
        return 0;
    }
    FlattenOntoBackground(image);
    if (!AddImageGroup(image)) {
        DropImage(image);
        return 0;
    }
    ImageGroup *group = g_lastGroup;
    window = FindImageWindow(owner);
    if (!window)
        return 0;
    ShowGroupInWindow(window, group, 0, 1);
    // Another window may be the one that shows it when images are bound to one window.
    return (window = FindImageWindow(owner)) != NULL && window->group == group ? 1 : 0;
}
