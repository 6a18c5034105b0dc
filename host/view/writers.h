// Display pixel writers: one 32-bit colour (blue, green, red, alpha) into one pixel of a store at
// the screen's depth, with ordered dither for 16- and 8-bit screens.
#pragma once
#include "ovrin.h"

struct DisplayWriteContext;
// Writes one colour at the context's position and steps past it; x and y only give the dither phase.
typedef int (*DisplayPixelWriter)(DisplayWriteContext *context, void *bits, int x, int y, const uint8_t *color);

// Where a run of pixels is written. The program-wide one belongs to the user-interface thread; any
// other thread that writes pictures brings its own.
struct DisplayWriteContext {
    DisplayPixelWriter write;
    int position; // next unit: a pixel at 32 and 16 bits, a byte at 24 and 8 bits
    int depth;    // depth given at the last start of a run
};
extern DisplayWriteContext g_displayWrite;

int WritePixel32(DisplayWriteContext *context, void *bits, int x, int y, const uint8_t *color);
int WritePixel24(DisplayWriteContext *context, void *bits, int x, int y, const uint8_t *color);
int WritePixel16Dither(DisplayWriteContext *context, void *bits, int x, int y, const uint8_t *color);
int WritePixel16(DisplayWriteContext *context, void *bits, int x, int y, const uint8_t *color);
int WritePixel8Dither(DisplayWriteContext *context, void *bits, int x, int y, const uint8_t *color);
int WritePixel8(DisplayWriteContext *context, void *bits, int x, int y, const uint8_t *color);

// Start-up: the screen depth (an unsupported one runs as 8 bits after message 2), its writer and
// the dither tables. The calling thread becomes the user-interface thread.
int InitDisplayWriters(int screenDepth);
int BuildDitherTables();
// The writer of a screen depth with or without dither (32 and 24 bits have one each).
DisplayPixelWriter ChooseDisplayWriter(int depth, int dither);
void SelectDisplayWriter(int dither); // the program-wide writer for the screen depth

int StartWriteRun(DisplayWriteContext *context, int x, int y, int width, int height, int depth);
int StartDitherAtDepth(int x, int y, int width, int height, int depth);
int AdvanceDisplayPosition();
int PixelWriteHook(int x, int y, int flag);

// Ordered-dither levels, exposed for the tests.
int Dither5Level(int value, int threshold);
void Dither8Levels(int value, int threshold, int *redGreen, int *blue);
extern const uint8_t kDitherMatrix4[4][4];
extern const uint8_t kDitherMatrix8[8][8];
