// The line of text on an image window's status pop-up, which the window list keeps with each window.
#pragma once
#include "ovrin.h"
#include <stddef.h>

// The status text of a rectangle dragged from (x1, y1) to (x2, y2), with its size.
void FormatStat2Points(char *out, size_t size, int x1, int y1, int x2, int y2);
// The sunken edge around a status pop-up's client area.
void PaintSunkenFrame(HWND hwnd, HDC dc);
