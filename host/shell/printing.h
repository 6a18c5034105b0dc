// Printing the current layer on one page.
#pragma once
#include "ovrin.h"

// Draws the layer on any device context whose page is pageWidth x pageHeight pixels at the given
// bits per pixel (bits x planes): at the largest whole scale that fits, each row as a band of two
// halves; grey below 3 bits per pixel; an image larger than the page is fitted to it. The scale
// used, 0 when fitted, -1 when nothing could be drawn.
int RenderPrintPage(HDC dc, const CDIB *layer, int pageWidth, int pageHeight, int deviceDepth);
// The print dialog, then one page; 0 without a current layer, else 1 (also when cancelled).
int PrintImage(ImageWindow *window);
// The system's print set-up dialog; the choice is not kept.
void PrintSetup(HWND owner);
