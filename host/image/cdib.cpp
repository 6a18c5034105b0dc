#include "image/cdib.h"
#include "base/notify.h"
#include "image/colors.h"
#include "image/pixels.h"
#include "image/regions.h"
#include "image/undo.h"
#include "base/app.h"
#include "base/settings.h"
#include "base/messages.h"
#include "base/msgbox.h"
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

HPALETTE g_displayPalette;

static const uint8_t kLevels[8] = {0, 36, 73, 109, 146, 182, 219, 255};

int GetRowLength(int width, int depth)
{
    int64_t w = width;
    int64_t n;
    switch (depth) {
    case 32: n = w; break;
    case 24: n = (3 * w + 3) / 4 * 4; break;
    case 16: n = (w + 1) / 2 * 2; break;
    case 8: n = (w + 3) / 4 * 4; break;
    case 4: n = ((w + 1) / 2 + 3) / 4 * 4; break;
    case 1: n = ((w + 7) / 8 + 3) / 4 * 4; break;
    default: return -1;
    }
    return n > INT32_MAX ? -1 : (int)n;
}

int64_t GetPixelBufferSize(int width, int height, int depth)
{
    if (width <= 0 || height <= 0)
        return -1;
    int64_t w = width, h = height, row;
    switch (depth) {
    case 32: row = w * 4; break;
    case 24: row = (3 * w + 3) / 4 * 4; break;
    case 16: row = (2 * w + 3) / 4 * 4; break;
    case 8: row = (w + 3) / 4 * 4; break;
    case 4: row = ((w + 1) / 2 + 3) / 4 * 4; break;
    case 1: row = ((w + 7) / 8 + 3) / 4 * 4; break;
    default: return -1;
    }
    // The row is bounded before the product: a width and a height near 2^31 would wrap 64 bits.
    if (row > kMaxPixelBytes)
        return -1;
    int64_t size = row * h;
    return size > kMaxPixelBytes ? -1 : size;
}

void *AllocPixelBuffer(int width, int height, int depth)
{
    if (depth != 32 && depth != 24 && depth != 16 && depth != 8 && depth != 4 && depth != 1) {
        ShowErrorMessage(g_mainWindow, 8);
        return NULL;
    }
    int64_t size = GetPixelBufferSize(width, height, depth);
    if (size < 0)
        return NULL;
    void *store = malloc((size_t)size);
    if (store)
        NotifyMemoryChanged();
    return store;
}

static void WriteHeader(BITMAPINFO *header, int width, int height, int depth)
{
    BITMAPINFOHEADER *h = &header->bmiHeader;
    h->biSize = sizeof(BITMAPINFOHEADER);
    h->biWidth = width;
    h->biHeight = height;
    h->biPlanes = 1;
    h->biBitCount = (WORD)depth;
    h->biCompression = BI_RGB;
    h->biSizeImage = 0;
    h->biXPelsPerMeter = 300;
    h->biYPelsPerMeter = 300;
    h->biClrUsed = 0;
    h->biClrImportant = 0;
}

static void ResetRecordFields(CDIB *image, int depth, int withStore)
{
    image->zoom = g_cfg.InitZoom;
    image->editDepth = withStore ? 32 : depth;
    image->viewX = image->viewY = 0;
    image->modified = 0;
    image->untitledNumber = 0;
    image->undoFirst = image->undoLast = image->undoCurrent = NULL;
    image->undoBytes = 0;
    image->mask = NULL;
    image->packedHeader = image->packedBits = NULL;
    memset(image->name, 0, sizeof image->name);
    memset(image->path, 0, sizeof image->path);
    memset(image->format, 0, sizeof image->format);
    const ColorRecord *back = QzsGetColor(1);
    image->background[0] = (uint8_t)back->blue;
    image->background[1] = (uint8_t)back->green;
    image->background[2] = (uint8_t)back->red;
    ResetRegionSlots(image);
}

int InitImageRecord(int width, int height, int depth, CDIB *image, int report, int withStore)
{
    image->header = NULL;
    image->pixels = NULL;
    if (withStore) {
        BITMAPINFO *header = (BITMAPINFO *)calloc(1, QZ_HEADER_BLOCK_SIZE);
        if (!header) {
            if (report)
                ShowErrorMessage(g_mainWindow, 10);
            return 1;
        }
        void *store = AllocPixelBuffer(width, height, depth);
        if (!store) {
            if (report)
                ShowErrorMessage(g_mainWindow, 11);
            char text[64];
            snprintf(text, sizeof text, "%d %d %d", width, height, depth);
            AppMessageBox(g_mainWindow, text, "MES", MB_OK);
            free(header);
            return 1;
        }
        WriteHeader(header, width, height, depth);
        SetColorTable332(header);
        image->header = header;
        image->pixels = store;
    }
    ResetRecordFields(image, depth, withStore);
    return 0;
}

void FreeImagePixels(CDIB *image)
{
    if (!image)
        return;
    ForgetStartedImage(image);
    if (image->packedHeader) {
        GlobalUnlock(image->packedHeader);
        GlobalFree(image->packedHeader);
        if (image->packedBits) {
            GlobalUnlock(image->packedBits);
            GlobalFree(image->packedBits);
        }
        image->packedHeader = image->packedBits = NULL;
    } else {
        free(image->header);
        free(image->pixels);
    }
    image->header = NULL;
    image->pixels = NULL;
}

void FreeImageStore(CDIB *image)
{
    if (!image)
        return;
    FreeImagePixels(image);
    free(image->mask);
    image->mask = NULL;
    FreeBorderPoints(&image->slots[0]);
}

void FreeImageData(CDIB *image)
{
    if (!image)
        return;
    FreeImageStore(image);
    FreeUndoRecords(image, image->undoFirst);
    image->undoFirst = image->undoLast = image->undoCurrent = NULL;
    image->undoBytes = 0;
    NotifyMemoryChanged();
}

int GetImageSize(const CDIB *image, int *width, int *height, int *depth)
{
    if (!image || !image->header) {
        *width = *height = 0;
        *depth = 32;
        return 0;
    }
    const BITMAPINFOHEADER *h = &image->header->bmiHeader;
    *width = h->biWidth;
    *height = h->biHeight;
    *depth = h->biBitCount;
    return 1;
}

int GetDisplaySize(const ImageWindow *window, int *width, int *height, int *depth)
{
    if (!window)
        return GetImageSize(NULL, width, height, depth);
    return GetImageSize(&window->display, width, height, depth);
}

int CountColorTableEntries(const BITMAPINFOHEADER *header)
{
    int depth = header->biBitCount;
    if (depth > 8)
        return 0;
    int full = 1 << depth;
    if (header->biClrUsed == 0 || header->biClrUsed > (DWORD)full)
        return full;
    return (int)header->biClrUsed;
}

size_t ImageHeaderBytes(const CDIB *image)
{
    if (!image || !image->header)
        return 0;
    const BITMAPINFOHEADER &h = image->header->bmiHeader;
    size_t bytes = sizeof(BITMAPINFOHEADER) + 4 * (size_t)CountColorTableEntries(&h);
    if (image->packedHeader) {
        // A reader's block may be smaller than the program's own header blocks.
        SIZE_T block = GlobalSize(image->packedHeader);
        if (block < bytes)
            bytes = block;
    }
    return bytes < QZ_HEADER_BLOCK_SIZE ? bytes : QZ_HEADER_BLOCK_SIZE;
}

void GetDIBPixel(const BITMAPINFO *header, const void *bits, int x, int y, uint8_t out[4])
{
    out[0] = out[1] = out[2] = 0;
    out[3] = 255;
    const BITMAPINFOHEADER *h = &header->bmiHeader;
    int depth = h->biBitCount;
    int row = GetRowLength(h->biWidth, depth);
    if (row < 0)
        return;
    if (depth == 32) {
        memcpy(out, (const uint32_t *)bits + (int64_t)y * row + x, 4);
        return;
    }
    const uint8_t *line = (const uint8_t *)bits + (int64_t)(h->biHeight - y - 1) * row;
    int index;
    switch (depth) {
    case 24:
        out[0] = line[x * 3];
        out[1] = line[x * 3 + 1];
        out[2] = line[x * 3 + 2];
        return;
    case 8: index = line[x]; break;
    case 4: index = (x & 1) ? line[x / 2] & 15 : line[x / 2] >> 4; break;
    case 1: index = (line[x / 8] >> (7 - x % 8)) & 1; break;
    default: return; // 16 bits: no conversion
    }
    // A packed picture from a file may hold fewer colours than its indexes reach.
    if (index >= CountColorTableEntries(h))
        return;
    const RGBQUAD *table = (const RGBQUAD *)((const uint8_t *)header + h->biSize);
    out[0] = table[index].rgbBlue;
    out[1] = table[index].rgbGreen;
    out[2] = table[index].rgbRed;
}

void FillImageBackground(CDIB *image, int mode, int alpha)
{
    if (!image || !image->header || !image->pixels || image->header->bmiHeader.biBitCount != 32)
        return;
    uint8_t c[4] = {255, 255, 255, 255};
    if (mode == 0) {
        if (g_cfg.NewImageBackground == 0) {
            const ColorRecord *back = QzsGetColor(1);
            c[0] = (uint8_t)back->blue;
            c[1] = (uint8_t)back->green;
            c[2] = (uint8_t)back->red;
        } else if (g_cfg.NewImageBackground == 2) {
            c[0] = c[1] = c[2] = 0;
        }
    } else {
        c[3] = (uint8_t)alpha;
    }
    uint32_t value;
    memcpy(&value, c, 4);
    int64_t count = (int64_t)image->header->bmiHeader.biWidth * image->header->bmiHeader.biHeight;
    uint32_t *p = (uint32_t *)image->pixels;
    for (int64_t i = 0; i < count; i++)
        p[i] = value;
    memcpy(image->background, c, 4);
}

static void Entry332(int i, uint8_t *red, uint8_t *green, uint8_t *blue)
{
    *red = kLevels[(i >> 2) & 7];
    *green = kLevels[i >> 5];
    *blue = kLevels[2 * (i & 3) + 1];
}

void SetColorTable332(BITMAPINFO *header)
{
    for (int i = 0; i < 256; i++)
        Entry332(i, &header->bmiColors[i].rgbRed, &header->bmiColors[i].rgbGreen, &header->bmiColors[i].rgbBlue);
}

void SetGreyColorTable(BITMAPINFO *header)
{
    for (int i = 0; i < 256; i++)
        header->bmiColors[i].rgbRed = header->bmiColors[i].rgbGreen = header->bmiColors[i].rgbBlue = (BYTE)i;
}

int CreateDisplayPalette()
{
    LOGPALETTE *lp = (LOGPALETTE *)malloc(sizeof(LOGPALETTE) + 255 * sizeof(PALETTEENTRY));
    if (!lp) {
        ShowErrorMessage(g_mainWindow, 12);
        return 0;
    }
    lp->palVersion = 0x300;
    lp->palNumEntries = 256;
    for (int i = 0; i < 256; i++) {
        Entry332(i, &lp->palPalEntry[i].peRed, &lp->palPalEntry[i].peGreen, &lp->palPalEntry[i].peBlue);
        lp->palPalEntry[i].peFlags = 0;
    }
    HPALETTE palette = CreatePalette(lp);
    free(lp);
    if (!palette) {
        ShowErrorMessage(g_mainWindow, 12);
        return 0;
    }
    if (g_displayPalette)
        DeleteObject(g_displayPalette);
    g_displayPalette = palette;
    return 1;
}
