// Building an image window's display image and work buffers, its margins, and the two image
// operations that belong to the display: making a view-only image editable, flattening onto the
// background colour.
#include "view/regionborder.h"
#include "view/groupview.h"
#include "view/display.h"
#include "base/notify.h"
#include "image/pixels.h"
#include "image/cdib.h"
#include "image/colors.h"
#include "image/dibconvert.h"
#include "image/group.h"
#include "image/regions.h"
#include "view/writers.h"
#include "base/app.h"
#include "base/settings.h"
#include "base/messages.h"
#include "view/winlist.h"
#include <stdlib.h>
#include <string.h>

int GetDisplayRowUnits(int width, int depth)
{
    switch (depth) {
    case 16: return (width + 1) / 2 * 2;
    case 8: return (width + 3) / 4 * 4;
    default: return width;
    }
}

void FreeWindowBuffers(ImageWindow *window)
{
    ForgetWindowBuffers(window);
    FreeImageStore(&window->display);
    free(window->editMask);
    free(window->drawBuffer);
    free(window->coverage);
    window->editMask = NULL;
    window->drawBuffer = NULL;
    window->coverage = NULL;
}

// A byte store of depth 8 for the base size, rows padded to 4.
static uint8_t *AllocByteStore(int width, int height)
{
    int64_t size = GetPixelBufferSize(width, height, 8);
    return size > 0 ? (uint8_t *)calloc((size_t)size, 1) : NULL;
}

static int AllocWorkBuffers(ImageWindow *window, int w, int h)
{
    int64_t bytes = (int64_t)w * h * 4;
    if (w > 0 && h > 0 && bytes <= kMaxPixelBytes)
        window->drawBuffer = (uint32_t *)calloc((size_t)bytes, 1);
    if (window->drawBuffer)
        window->coverage = AllocByteStore(w, h);
    if (!window->drawBuffer || !window->coverage) {
        ShowErrorMessage(g_mainWindow, 14);
        free(window->drawBuffer);
        window->drawBuffer = NULL;
        return 0;
    }
    window->editMask = AllocByteStore(w, h);
    if (!window->editMask) {
        ShowErrorMessage(g_mainWindow, 15);
        free(window->drawBuffer);
        free(window->coverage);
        window->drawBuffer = NULL;
        window->coverage = NULL;
        return 0;
    }
    return 1;
}

// The display of a base of w x h: the base with the window's frame on every side.
static void GetDisplaySize(const ImageWindow *window, int w, int h, int64_t *dw, int64_t *dh)
{
    int mx = window->marginX > 0 ? window->marginX : 0;
    int my = window->marginY > 0 ? window->marginY : 0;
    *dw = (int64_t)w + 2 * (int64_t)mx;
    *dh = (int64_t)h + 2 * (int64_t)my;
}

bool CanBuildWindowDisplay(const ImageWindow *window, int w, int h)
{
    if (!window || w < 1 || h < 1)
        return false;
    int64_t dw, dh;
    GetDisplaySize(window, w, h, &dw, &dh);
    if (dw > INT32_MAX || dh > INT32_MAX)
        return false;
    int64_t display = GetPixelBufferSize((int)dw, (int)dh, g_screenDepth), bytes = GetPixelBufferSize(w, h, 8);
    if (display < 0 || bytes < 0 || (int64_t)w * h * 4 > kMaxPixelBytes)
        return false;
    // Tried together, as the build holds them, and given back at once.
    void *stores[4] = {malloc((size_t)display), malloc((size_t)w * h * 4), malloc((size_t)bytes),
                       malloc((size_t)bytes)};
    bool fits = true;
    for (void *store : stores) {
        fits = fits && store;
        free(store);
    }
    return fits;
}

int BuildWindowDisplay(ImageWindow *window, ImageGroup *group, bool viewOnly)
{
    if (!window)
        return 0;
    CDIB *base = group ? group->base : NULL;
    if (base && base->editDepth < 32)
        viewOnly = true;
    int w, h, d;
    GetImageSize(base, &w, &h, &d);
    int64_t dw, dh;
    GetDisplaySize(window, w, h, &dw, &dh);
    int mx = window->marginX > 0 ? window->marginX : 0;
    int my = window->marginY > 0 ? window->marginY : 0;

    FreeWindowBuffers(window);
    if (dw > INT32_MAX || dh > INT32_MAX ||
        InitImageRecord((int)dw, (int)dh, g_screenDepth, &window->display, 0, dw > 0 && dh > 0) != 0 ||
        (dw > 0 && dh > 0 && !window->display.header)) {
        ShowErrorMessage(g_mainWindow, 13);
        return 0;
    }
    window->display.editDepth = 32;
    window->lock = 0;
    window->grid = 0;
    window->recompose = 0;
    SelectDisplayWriter(window->dither);

    window->displayWidth = (int)dw;
    window->displayHeight = (int)dh;
    window->displayPitch = GetDisplayRowUnits((int)dw, g_screenDepth);
    window->contentWidth = w;
    window->contentHeight = h;
    window->contentLeft = window->marginX = mx;
    window->contentTop = window->marginY = my;
    // The view comes with the image: its zoom and origin as last shown.
    window->display.zoom = base ? ClampZoomValue(base->zoom) : 1;
    window->display.viewX = base ? base->viewX : 0;
    window->display.viewY = base ? base->viewY : 0;
    NotifyZoomChanged(window);

    if (!viewOnly && w > 0 && h > 0) {
        if (!AllocWorkBuffers(window, w, h))
            return 0;
    } else {
        window->lock = viewOnly ? 1 : 0;
    }
    NotifyMenusChanged();
    window->activeRegion = 0;
    QzsSetActiveRegion(0);
    StopBorderAnimation();
    if (group) {
        // The buffers start empty and the work mask as the base's own, before the first
        // composition reads it.
        if (window->editMask && base && base->mask)
            memcpy(window->editMask, base->mask, (size_t)w * (size_t)h);
        RefreshWindowDisplay(window, group);
    }
    return 1;
}

void RefreshWindowDisplay(ImageWindow *window, ImageGroup *group)
{
    if (group)
        FillDisplayMargins(window, group);
    ComposeWholeDisplay(window, group);
}

// Writes one colour over a run of display row r, columns c0..c1, with the dither phase of (0, 0).
static void FillDisplayRun(ImageWindow *window, DisplayWriteContext *context, int r, int c0, int c1,
                           const uint8_t *color)
{
    if (c1 < c0 || r < 0 || r >= window->displayHeight)
        return;
    StartWriteRun(context, c0, r, window->displayWidth, window->displayHeight, g_screenDepth);
    for (int c = c0; c <= c1; c++)
        context->write(context, window->display.pixels, 0, 0, color);
}

static bool HasDisplayStore(const ImageWindow *window)
{
    return window && window->display.header && window->display.pixels && window->displayWidth > 0 &&
           window->displayHeight > 0;
}

void FillDisplayMargins(ImageWindow *window, ImageGroup *)
{
    if (!HasDisplayStore(window) || !OnInterfaceThread())
        return;
    static const uint8_t grey[4] = {128, 128, 128, 255};
    DisplayWriteContext context = {ChooseDisplayWriter(g_screenDepth, window->dither), 0, g_screenDepth};
    BuildDitherTables();
    int W = window->displayWidth, H = window->displayHeight;
    int mx = window->marginX, my = window->marginY, w = window->contentWidth, h = window->contentHeight;
    for (int r = 0; r < H; r++) {
        if (r < my || r >= my + h) {
            FillDisplayRun(window, &context, r, 0, W - 1, grey);
        } else {
            FillDisplayRun(window, &context, r, 0, mx - 1, grey);
            FillDisplayRun(window, &context, r, mx + w, W - 1, grey);
        }
    }
}

void ClearDisplay(ImageWindow *window)
{
    if (!HasDisplayStore(window))
        return;
    static const uint8_t black[4] = {0, 0, 0, 0};
    DisplayWriteContext context = {ChooseDisplayWriter(g_screenDepth, window->dither), 0, g_screenDepth};
    BuildDitherTables();
    for (int r = 0; r < window->displayHeight; r++)
        FillDisplayRun(window, &context, r, 0, window->displayWidth - 1, black);
}

// ---- work buffers ----

int ClearWorkRect(ImageWindow *window, int x0, int y0, int x1, int y1)
{
    if (!window || !window->drawBuffer || !window->coverage)
        return 0;
    int w = window->contentWidth, h = window->contentHeight;
    if (x0 > x1) {
        int t = x0;
        x0 = x1;
        x1 = t;
    }
    if (y0 > y1) {
        int t = y0;
        y0 = y1;
        y1 = t;
    }
    x0 = x0 < 0 ? 0 : x0;
    y0 = y0 < 0 ? 0 : y0;
    x1 = x1 >= w ? w - 1 : x1;
    y1 = y1 >= h ? h - 1 : y1;
    for (int y = y0; y <= y1 && x0 <= x1; y++) {
        int64_t at = (int64_t)y * w + x0;
        memset(window->drawBuffer + at, 0, (size_t)(x1 - x0 + 1) * 4);
        memset(window->coverage + at, 0, (size_t)(x1 - x0 + 1));
    }
    return 1;
}

int ResetWorkBuffers(ImageWindow *window, CDIB *image)
{
    if (!window || !window->group || !window->drawBuffer || !window->coverage || !window->editMask)
        return 0;
    size_t count = (size_t)window->contentWidth * (size_t)window->contentHeight;
    memset(window->drawBuffer, 0, count * 4);
    memset(window->coverage, 0, count);
    int w, h, d;
    GetImageSize(image, &w, &h, &d);
    // The mask is the image's own: copied only when it covers the same pixels.
    if (image && image->mask && (size_t)w * (size_t)h == count)
        memcpy(window->editMask, image->mask, count);
    else
        memset(window->editMask, 0, count);
    return 1;
}

// ---- image operations ----

int ConvertLayerTo32Bit(ImageWindow *window)
{
    CDIB *image = window ? window->layerImage : NULL;
    if (!image || !image->header || !image->pixels || image->editDepth == 32)
        return 0;
    int w, h, d;
    GetImageSize(image, &w, &h, &d);
    if (GetDibRowBytes(w, d) < 0)
        return 0;
    CDIB fresh;
    memset(&fresh, 0, sizeof fresh);
    if (InitImageRecord(w, h, 32, &fresh, 1, 1) != 0)
        return 0;
    // The colour table as far as the header's block holds it.
    const BITMAPINFOHEADER *info = &image->header->bmiHeader;
    size_t block = image->packedHeader ? GlobalSize(image->packedHeader) : QZ_HEADER_BLOCK_SIZE;
    int entries = CountDibPaletteEntries(info);
    entries = entries < 0 ? 0 : entries > 256 ? 256 : entries;
    RGBQUAD palette[256] = {};
    if ((uint64_t)info->biSize + (uint64_t)entries * 4 <= block)
        memcpy(palette, (const uint8_t *)info + info->biSize, (size_t)entries * 4);
    CDIB source;
    memset(&source, 0, sizeof source);
    source.pixels = image->pixels;
    ConvertDibToImage(&fresh, &source, palette, w, h, d, w, h, 0);
    FreeImagePixels(image); // the mask and region slots stay with the image
    image->header = fresh.header;
    image->pixels = fresh.pixels;
    image->editDepth = 32;
    RefreshImageGeometry(image);
    ImageGroup *group = FindGroupOfImage(image);
    int held = g_cfg.BindImageToOneWindow;
    g_cfg.BindImageToOneWindow = 0;
    if (group)
        ReshowGroupInWindows(group, group, 1, 1);
    g_cfg.BindImageToOneWindow = held;
    return 1;
}

void FlattenOntoBackground(CDIB *image)
{
    int w, h, d;
    if (!GetImageSize(image, &w, &h, &d) || d != 32 || !image->pixels)
        return;
    const ColorRecord *back = QzsGetColor(1);
    uint8_t lower[4] = {(uint8_t)back->blue, (uint8_t)back->green, (uint8_t)back->red, 255};
    uint8_t *p = (uint8_t *)image->pixels;
    int64_t count = (int64_t)w * h;
    for (int64_t i = 0; i < count; i++, p += 4) {
        uint8_t out[4];
        BlendPixelOver(lower, p, 0, 0, out);
        out[3] = 255;
        memcpy(p, out, 4);
    }
}
