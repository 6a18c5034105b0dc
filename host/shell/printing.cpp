// Printing: the page rendering, which takes any device context, and the print and set-up dialogs.
#include "shell/printing.h"
#include "base/app.h"
#include "base/msgbox.h"
#include "image/cdib.h"
#include <commdlg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

// The picture handed to the device: bottom-up rows padded to 4 bytes, 8-bit grey or 24-bit.
struct PrintSource {
    BITMAPINFO *info; // header and 256 table entries
    uint8_t *rows;
};

static void FreePrintSource(PrintSource *s)
{
    free(s->info);
    free(s->rows);
    s->info = NULL;
    s->rows = NULL;
}

static bool MakePrintSource(const CDIB *layer, int width, int height, bool grey, PrintSource *out)
{
    int depth = grey ? 8 : 24;
    int64_t row = ((int64_t)width * depth / 8 + 3) / 4 * 4;
    out->info = (BITMAPINFO *)calloc(1, sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
    out->rows = (uint8_t *)malloc((size_t)(row * height));
    if (!out->info || !out->rows) {
        FreePrintSource(out);
        return false;
    }
    BITMAPINFOHEADER &h = out->info->bmiHeader;
    h.biSize = sizeof h;
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = (WORD)depth;
    h.biCompression = BI_RGB;
    if (grey) {
        SetGreyColorTable(out->info);
        h.biClrUsed = 256;
    }
    for (int y = 0; y < height; y++) {
        uint8_t *line = out->rows + (int64_t)(height - 1 - y) * row;
        for (int x = 0; x < width; x++) {
            uint8_t p[4];
            GetDIBPixel(layer->header, layer->pixels, x, y, p);
            if (grey)
                line[x] = (uint8_t)((77 * p[2] + 151 * p[1] + 28 * p[0]) / 256);
            else
                memcpy(line + 3 * x, p, 3);
        }
    }
    return true;
}

// One stretch of source columns [x, x + columns) of image row y (counted from the top).
static void Band(HDC dc, const PrintSource &s, int height, int y, int x, int columns, int left, int top, int wide,
                 int tall)
{
    if (columns > 0 && wide > 0 && tall > 0)
        StretchDIBits(dc, left, top, wide, tall, x, height - 1 - y, columns, 1, s.rows, s.info, DIB_RGB_COLORS,
                      SRCCOPY);
}

int RenderPrintPage(HDC dc, const CDIB *layer, int pageWidth, int pageHeight, int deviceDepth)
{
    int width, height, depth;
    if (!dc || !layer || !layer->pixels || !GetImageSize(layer, &width, &height, &depth) || width <= 0 ||
        height <= 0 || pageWidth <= 0 || pageHeight <= 0)
        return -1;
    PrintSource source = {};
    if (!MakePrintSource(layer, width, height, deviceDepth * 8 < 24, &source))
        return -1;
    int scale = pageWidth / width < pageHeight / height ? pageWidth / width : pageHeight / height;
    if (scale > 0) {
        // Two halves per row; the right one takes the odd column too.
        int half = width / 2;
        for (int y = 0; y < height; y++) {
            Band(dc, source, height, y, 0, half, 0, y * scale, half * scale, scale);
            Band(dc, source, height, y, half, width - half, half * scale, y * scale, (width - half) * scale, scale);
        }
    } else {
        // Larger than the page: the whole picture shrunk to fit, keeping its aspect.
        int64_t wide = pageWidth, tall = (int64_t)height * pageWidth / width;
        if (tall > pageHeight)
            tall = pageHeight, wide = (int64_t)width * pageHeight / height;
        SetStretchBltMode(dc, HALFTONE);
        StretchDIBits(dc, 0, 0, (int)wide, (int)tall, 0, 0, width, height, source.rows, source.info, DIB_RGB_COLORS,
                      SRCCOPY);
    }
    FreePrintSource(&source);
    return scale;
}

static void FreeDialogBlocks(PRINTDLGA &pd)
{
    if (pd.hDevMode)
        GlobalFree(pd.hDevMode);
    if (pd.hDevNames)
        GlobalFree(pd.hDevNames);
}

int PrintImage(ImageWindow *window)
{
    if (!window || !window->layerImage)
        return 0;
    PRINTDLGA pd = {};
    pd.lStructSize = sizeof pd;
    pd.hwndOwner = g_mainWindow;
    pd.Flags = PD_RETURNDC;
    if (!PrintDlgA(&pd)) {
        char text[32];
        snprintf(text, sizeof text, "ErrCode=%d", (int)CommDlgExtendedError());
        AppMessageBox(g_mainWindow, text, "MES", MB_OK);
        FreeDialogBlocks(pd);
        return 1;
    }
    DOCINFOA doc = {};
    doc.cbSize = sizeof doc;
    doc.lpszDocName = "Ovrin Test";
    if (StartDocA(pd.hDC, &doc) > 0) {
        int pageWidth = GetDeviceCaps(pd.hDC, HORZRES), pageHeight = GetDeviceCaps(pd.hDC, VERTRES);
        int depth = GetDeviceCaps(pd.hDC, BITSPIXEL) * GetDeviceCaps(pd.hDC, PLANES);
        StartPage(pd.hDC);
        RenderPrintPage(pd.hDC, window->layerImage, pageWidth, pageHeight, depth);
        EndPage(pd.hDC);
        EndDoc(pd.hDC);
    }
    DeleteDC(pd.hDC);
    FreeDialogBlocks(pd);
    return 1;
}

void PrintSetup(HWND)
{
    PRINTDLGA pd = {};
    pd.lStructSize = sizeof pd;
    pd.hwndOwner = g_mainWindow;
    pd.Flags = PD_PRINTSETUP;
    PrintDlgA(&pd);
    FreeDialogBlocks(pd);
}
