// Handles: small squares drawn straight into a window's display over control points and point
// groups, and erased by showing what the group shows there again.
#pragma once
#include "ovrin.h"

enum {
    kHandleHalf = 4,
    kHandleEdge = 0x00FF0000, // red (B G R A in memory: 0, 0, 255, 0)
    kHandleFill = 0x0000FF00, // green
};

// Draws (show 1) or erases (show 0) one handle square of half size h around (x, y), h scaled by
// the zoom when it is reduced; with layer set, (x, y) are layer coordinates of the window's group,
// else group coordinates. 1 done, 0 nothing to draw on.
int DrawHandleMark(ImageWindow *window, int x, int y, int h, uint32_t fill, uint32_t edge, int show, int refresh,
                   int layer);
