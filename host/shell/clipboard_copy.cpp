// Copying the current layer, or a rectangle of it, to the clipboard as a device-independent bitmap.
#include "shell/clipboard.h"
#include "base/app.h"
#include "base/messages.h"
#include "base/settings.h"
#include "image/cdib.h"
#include "image/colors.h"
#include "image/dibconvert.h"
#include <string.h>

// The layer's origin in group coordinates: (0, 0) for the base.
static void LayerOrigin(const ImageWindow *window, int *x, int *y)
{
    *x = *y = 0;
    const ImageGroup *group = window->group;
    if (group && group->currentLayer && group->currentLayer->image == window->layerImage) {
        *x = group->currentLayer->x;
        *y = group->currentLayer->y;
    }
}

// The base image's mask, read at group positions: 0 outside the base or without a mask.
struct BaseMask {
    const uint8_t *bytes;
    int width, height;
    uint8_t At(int x, int y) const
    {
        return bytes && x >= 0 && y >= 0 && x < width && y < height ? bytes[(int64_t)y * width + x] : 0;
    }
};

static BaseMask MaskOf(const ImageWindow *window)
{
    BaseMask m = {NULL, 0, 0};
    const CDIB *base = window->group ? window->group->base : NULL;
    int d;
    if (base && base->mask && GetImageSize(base, &m.width, &m.height, &d))
        m.bytes = base->mask;
    return m;
}

static void Copy32(const ImageWindow *window, uint8_t *rows, int64_t rowBytes, int left, int top, int right,
                   int bottom, int layerX, int layerY, int layerWidth)
{
    const uint32_t *store = (const uint32_t *)window->layerImage->pixels;
    uint32_t bits = window->activeRegion;
    bool onlyRegion = g_cfg.CopyOnlyRegionToClip && bits;
    BaseMask mask = MaskOf(window);
    const ColorRecord &c = g_colorTable[1];
    uint32_t background = (uint32_t)(c.blue & 255) | (uint32_t)(c.green & 255) << 8 | (uint32_t)(c.red & 255) << 16;
    for (int y = top; y <= bottom; y++) {
        uint32_t *out = (uint32_t *)(rows + (int64_t)(bottom - y) * rowBytes);
        const uint32_t *in = store + (int64_t)(y - layerY) * layerWidth;
        for (int x = left; x <= right; x++) {
            uint32_t p = in[x - layerX];
            if (onlyRegion && !(mask.At(x, y) & bits))
                p = background; // alpha 0
            out[x - left] = p;
        }
    }
}

// Packed rows of 1 to 24 bits, bottom-up: only the rectangle's rows and columns are taken.
static void CopyPacked(const CDIB *layer, int depth, uint8_t *rows, int64_t rowBytes, int left, int top, int right,
                       int bottom, int layerX, int layerY, int layerWidth, int layerHeight)
{
    const uint8_t *store = (const uint8_t *)layer->pixels;
    int64_t layerRow = GetDibRowBytes(layerWidth, depth);
    int columns = right - left + 1;
    for (int y = top; y <= bottom; y++) {
        uint8_t *out = rows + (int64_t)(bottom - y) * rowBytes;
        const uint8_t *in = store + (int64_t)(layerHeight - 1 - (y - layerY)) * layerRow;
        int first = left - layerX;
        if (depth >= 8) {
            int bytes = depth / 8;
            memcpy(out, in + (int64_t)first * bytes, (size_t)columns * bytes);
            continue;
        }
        // 1 and 4 bits: pixel by pixel, the first pixel in the high bits of its byte.
        int perByte = 8 / depth, mask = (1 << depth) - 1;
        for (int i = 0; i < columns; i++) {
            int sx = first + i;
            int value = (in[sx / perByte] >> ((perByte - 1 - sx % perByte) * depth)) & mask;
            out[i / perByte] |= (uint8_t)(value << ((perByte - 1 - i % perByte) * depth));
        }
    }
}

int CopyToClipboard(ImageWindow *window, int left, int top, int right, int bottom)
{
    if (!window || !window->layerImage || !window->layerImage->pixels || right < left || bottom < top)
        return 0;
    const CDIB *layer = window->layerImage;
    int lw, lh, depth, lx, ly;
    if (!GetImageSize(layer, &lw, &lh, &depth) || lw <= 0 || lh <= 0)
        return 0;
    LayerOrigin(window, &lx, &ly);
    // Never read outside the layer's store.
    left = left > lx ? left : lx;
    top = top > ly ? top : ly;
    right = right < lx + lw - 1 ? right : lx + lw - 1;
    bottom = bottom < ly + lh - 1 ? bottom : ly + lh - 1;
    if (right < left || bottom < top)
        return 0;
    int width = right - left + 1, height = bottom - top + 1;
    int64_t rowBytes = GetDibRowBytes(width, depth);
    // The colour table follows the layer's header, whatever that header's size, inside its block.
    size_t tableStart = layer->header->bmiHeader.biSize, headerBlock = ImageHeaderBytes(layer);
    int entries = CountColorTableEntries(&layer->header->bmiHeader);
    if (tableStart + (size_t)entries * 4 > headerBlock)
        entries = headerBlock > tableStart ? (int)((headerBlock - tableStart) / 4) : 0;
    if (rowBytes <= 0)
        return 0;
    size_t headerBytes = sizeof(BITMAPINFOHEADER) + (size_t)entries * 4;
    size_t total = headerBytes + (size_t)(rowBytes * height);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_DDESHARE, total);
    uint8_t *data = block ? (uint8_t *)GlobalLock(block) : NULL;
    if (!data) {
        if (block)
            GlobalFree(block);
        ShowErrorMessage(g_mainWindow, 30);
        return 0;
    }
    BITMAPINFOHEADER *h = (BITMAPINFOHEADER *)data;
    memcpy(h, &layer->header->bmiHeader, sizeof *h);
    h->biSize = sizeof *h;
    h->biWidth = width;
    h->biHeight = height;
    h->biCompression = BI_RGB;
    h->biSizeImage = (DWORD)(rowBytes * height);
    h->biClrUsed = (DWORD)entries;
    memcpy(data + sizeof *h, (const uint8_t *)layer->header + tableStart, (size_t)entries * 4);
    uint8_t *rows = data + headerBytes;
    if (depth == 32)
        Copy32(window, rows, rowBytes, left, top, right, bottom, lx, ly, lw);
    else
        CopyPacked(layer, depth, rows, rowBytes, left, top, right, bottom, lx, ly, lw, lh);
    GlobalUnlock(block);
    if (!OpenClipboard(window->window)) {
        GlobalFree(block);
        ShowErrorMessage(window->window, 31);
        return 0;
    }
    EmptyClipboard();
    // The clipboard owns the block once it took it.
    bool taken = SetClipboardData(CF_DIB, block) != NULL;
    if (!taken)
        GlobalFree(block);
    return CloseClipboard() && taken ? 1 : 0;
}
