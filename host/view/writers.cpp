// Display pixel writers, their selection by screen depth and dither switch, and the ordered-dither
// tables: 4 x 4 thresholds into 5-5-5 pixels, 8 x 8 thresholds into the 3-3-2 palette.
#include "view/writers.h"
#include "image/cdib.h"
#include "base/app.h"
#include "base/messages.h"
#include <string.h>

DisplayWriteContext g_displayWrite = {WritePixel32, 0, 32};


const uint8_t kDitherMatrix4[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

const uint8_t kDitherMatrix8[8][8] = {
    {0, 32, 8, 40, 2, 34, 10, 42},  {48, 16, 56, 24, 50, 18, 58, 26}, {12, 44, 4, 36, 14, 46, 6, 38},
    {60, 28, 52, 20, 62, 30, 54, 22}, {3, 35, 11, 43, 1, 33, 9, 41},   {51, 19, 59, 27, 49, 17, 57, 25},
    {15, 47, 7, 39, 13, 45, 5, 37},  {63, 31, 55, 23, 61, 29, 53, 21}};

// Each intensity's place inside its step of the palette scale 0, 36, 73, 109, 146, 182, 219, 255,
// on a 0..63 scale, level by level.
static const uint8_t kRemainder3[256] = {
    0,  2,  4,  6,  8,  10, 12, 14, 15, 17, 19, 21, 22, 24, 26, 28, 29, 31, 33, 35, 36, 38, 40, 42, 43, 45,
    47, 49, 50, 52, 54, 56, 57, 59, 61, 63, // level 0
    0,  2,  4,  5,  7,  9,  11, 12, 14, 16, 18, 19, 21, 23, 25, 26, 28, 30, 32, 33, 35, 37, 39, 40, 42, 44,
    46, 47, 49, 51, 53, 54, 56, 58, 60, 61, 63, // level 1
    1,  3,  4,  6,  8,  10, 11, 13, 15, 17, 18, 20, 22, 24, 25, 27, 29, 31, 32, 34, 36, 38, 39, 41, 43, 45,
    46, 48, 50, 52, 53, 55, 57, 59, 60, 62, // level 2
    0,  2,  3,  5,  7,  9,  10, 12, 14, 16, 17, 19, 21, 23, 24, 26, 28, 30, 31, 33, 35, 37, 38, 40, 42, 44,
    45, 47, 49, 51, 52, 54, 56, 58, 59, 61, 63, // level 3
    1,  2,  4,  6,  8,  9,  11, 13, 15, 16, 18, 20, 22, 23, 25, 27, 29, 30, 32, 34, 36, 37, 39, 41, 43, 44,
    46, 48, 50, 51, 53, 55, 57, 58, 60, 62, // level 4
    0,  1,  3,  5,  7,  8,  10, 12, 14, 15, 17, 19, 21, 22, 24, 26, 28, 29, 31, 33, 35, 36, 38, 40, 42, 43,
    45, 47, 49, 50, 52, 54, 56, 57, 59, 61, 63, // level 5
    0,  2,  4,  6,  7,  9,  11, 13, 14, 16, 18, 20, 21, 23, 25, 27, 28, 30, 32, 34, 35, 37, 39, 41, 42, 44,
    46, 48, 49, 51, 53, 55, 56, 58, 60, 62, // level 6
    0};                                     // level 7

static int Level3(int v)
{
    static const int kFirst[8] = {0, 36, 73, 109, 146, 182, 219, 255};
    int level = 0;
    while (level < 7 && v >= kFirst[level + 1])
        level++;
    return level;
}

static uint8_t s_level5[256][16];
static uint8_t s_level3[256][64], s_level2[256][64];
static bool s_tablesBuilt;

int Dither5Level(int value, int threshold)
{
    int level = value >> 3;
    if (2 * (value % 8) >= threshold && level <= 30)
        level++;
    return level;
}

void Dither8Levels(int value, int threshold, int *redGreen, int *blue)
{
    *redGreen = Level3(value) + (kRemainder3[value] > threshold ? 1 : 0);
    int w = value * 109 / 255;
    *blue = Level3(w) + (kRemainder3[w] > threshold ? 1 : 0);
}

int BuildDitherTables()
{
    if (s_tablesBuilt)
        return 1;
    for (int v = 0; v < 256; v++) {
        for (int c = 0; c < 16; c++)
            s_level5[v][c] = (uint8_t)Dither5Level(v, kDitherMatrix4[c >> 2][c & 3]);
        for (int c = 0; c < 64; c++) {
            int rg, b;
            Dither8Levels(v, kDitherMatrix8[c >> 3][c & 7], &rg, &b);
            s_level3[v][c] = (uint8_t)rg;
            s_level2[v][c] = (uint8_t)b;
        }
    }
    s_tablesBuilt = true;
    return 1;
}

// ---- the writers ----

int WritePixel32(DisplayWriteContext *context, void *bits, int, int, const uint8_t *color)
{
    memcpy((uint32_t *)bits + context->position, color, 4);
    context->position++;
    return 1;
}

int WritePixel24(DisplayWriteContext *context, void *bits, int, int, const uint8_t *color)
{
    uint8_t *p = (uint8_t *)bits + context->position;
    p[0] = color[0];
    p[1] = color[1];
    p[2] = color[2];
    context->position += 3;
    return 1;
}

int WritePixel16Dither(DisplayWriteContext *context, void *bits, int x, int y, const uint8_t *color)
{
    int cell = (y & 3) * 4 + (x & 3);
    ((uint16_t *)bits)[context->position] = (uint16_t)(s_level5[color[2]][cell] << 10 |
                                                       s_level5[color[1]][cell] << 5 | s_level5[color[0]][cell]);
    context->position++;
    return 1;
}

int WritePixel16(DisplayWriteContext *context, void *bits, int, int, const uint8_t *color)
{
    ((uint16_t *)bits)[context->position] = (uint16_t)((color[2] & 0xF8) << 7 | (color[1] & 0xF8) << 2 | color[0] >> 3);
    context->position++;
    return 1;
}

int WritePixel8Dither(DisplayWriteContext *context, void *bits, int x, int y, const uint8_t *color)
{
    int cell = (y & 7) * 8 + (x & 7);
    ((uint8_t *)bits)[context->position] =
        (uint8_t)(s_level3[color[1]][cell] << 5 | s_level3[color[2]][cell] << 2 | s_level2[color[0]][cell]);
    context->position++;
    return 1;
}

int WritePixel8(DisplayWriteContext *context, void *bits, int, int, const uint8_t *color)
{
    ((uint8_t *)bits)[context->position] = (uint8_t)((color[1] & 0xE0) | ((color[2] >> 3) & 0x1C) | (color[0] >> 6));
    context->position++;
    return 1;
}

// ---- selection ----

DisplayPixelWriter ChooseDisplayWriter(int depth, int dither)
{
    switch (depth) {
    case 32: return WritePixel32;
    case 24: return WritePixel24;
    case 16: return dither ? WritePixel16Dither : WritePixel16;
    default: return dither ? WritePixel8Dither : WritePixel8;
    }
}

int InitDisplayWriters(int screenDepth)
{
    SetInterfaceThread();
    if (screenDepth != 32 && screenDepth != 24 && screenDepth != 16 && screenDepth != 8) {
        screenDepth = 8;
        ShowErrorMessage(g_mainWindow, 2);
    }
    g_screenDepth = screenDepth;
    BuildDitherTables();
    g_displayWrite.write = ChooseDisplayWriter(screenDepth, 1);
    g_displayWrite.position = 0;
    g_displayWrite.depth = screenDepth;
    return 1;
}

void SelectDisplayWriter(int dither)
{
    if (!OnInterfaceThread())
        return;
    if (g_screenDepth == 16 || g_screenDepth == 8) {
        BuildDitherTables();
        g_displayWrite.write = ChooseDisplayWriter(g_screenDepth, dither);
    }
}

// ---- positions ----

int StartWriteRun(DisplayWriteContext *context, int x, int y, int width, int height, int depth)
{
    int row = GetRowLength(width, depth);
    if (row < 0)
        row = 0;
    // Plug-ins give any sizes: a position past the int range is one no store holds.
    int64_t position = ((int64_t)height - y - 1) * row + (depth == 24 ? 3 * (int64_t)x : x);
    context->position = position < INT32_MIN || position > INT32_MAX ? -1 : (int)position;
    context->depth = depth;
    return 1;
}

static int WriterDepth(DisplayPixelWriter write)
{
    if (write == WritePixel32)
        return 32;
    if (write == WritePixel24)
        return 24;
    if (write == WritePixel16 || write == WritePixel16Dither)
        return 16;
    return 8;
}

int StartDitherAtDepth(int x, int y, int width, int height, int depth)
{
    if (!OnInterfaceThread())
        return 0;
    // A run at another depth than the writer's (a picture converted for saving) gets the dithering
    // writer of its depth: a writer of wider pixels would write past the picture.
    if (!g_displayWrite.write || WriterDepth(g_displayWrite.write) != depth) {
        BuildDitherTables();
        g_displayWrite.write = ChooseDisplayWriter(depth, 1);
    }
    return StartWriteRun(&g_displayWrite, x, y, width, height, depth);
}

int AdvanceDisplayPosition()
{
    if (!OnInterfaceThread())
        return 0;
    g_displayWrite.position += g_displayWrite.depth == 24 ? 3 : 1;
    return 1;
}

int PixelWriteHook(int, int, int)
{
    return 1;
}

QZS_DECL(int) QzsStartDither(int x, int y, int width, int height)
{
    return StartDitherAtDepth(x, y, width, height, g_screenDepth);
}

// Plug-ins give the picture and the position separately: a write is refused unless the picture is
// at the depth of the run and the position lies inside its store.
QZS_DECL(int) QzsSetDitherColor(CDIB *image, int x, int y, const uint8_t *color)
{
    if (!OnInterfaceThread() || !image || !image->header || !image->pixels || !color || !g_displayWrite.write)
        return 0;
    const BITMAPINFOHEADER *h = &image->header->bmiHeader;
    if (h->biBitCount != g_displayWrite.depth || WriterDepth(g_displayWrite.write) != g_displayWrite.depth ||
        h->biWidth <= 0 || h->biHeight == 0)
        return 0;
    int64_t rows = h->biHeight < 0 ? -(int64_t)h->biHeight : h->biHeight;
    int64_t units = (int64_t)GetRowLength(h->biWidth, h->biBitCount) * rows;
    int64_t step = g_displayWrite.depth == 24 ? 3 : 1;
    if (g_displayWrite.position < 0 || g_displayWrite.position + step > units)
        return 0;
    return g_displayWrite.write(&g_displayWrite, image->pixels, x, y, color);
}
