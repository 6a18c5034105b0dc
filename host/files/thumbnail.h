// Thumbnails: a picture, or a rectangle of it, fitted into a screen-depth image with its aspect
// kept, over a checkerboard where it is transparent. Used by the open dialog's preview (on its own
// thread) and by plug-ins through QzsCreateThumbImage(Ex).
#pragma once
#include "ovrin.h"

// Where the picture lands in a W x H thumbnail and which source step a thumbnail pixel takes:
// source = position x span / size + corner.
struct ThumbFit {
    int width, height;   // of the fitted picture, at least 1 x 1
    int offsetX, offsetY; // centring
    int span, size;
};
// sw, sh: the source spans (right - left, bottom - top of an inclusive rectangle).
ThumbFit FitThumbnail(int sw, int sh, int W, int H);

// Fills the thumbnail (a screen-depth image) with dark grey and draws the source rectangle
// (x0, y0)-(x1, y1), inclusive, into it. A 32-bit source is read top row first (an image's own
// store) unless flip32 is set (a bottom-up DIB); other depths are DIB rows, bottom-up unless the
// height is negative. The rectangle is kept inside the picture. 1 drawn, 0 refused.
int DrawThumbnail(CDIB *thumb, const BITMAPINFOHEADER *header, const void *pixels, int x0, int y0, int x1, int y1,
                  bool flip32);
