// Thumbnails: a picture fitted into a small image at the screen depth, centred with its aspect
// kept, transparent parts over a grey and white checkerboard.
#pragma once
#include "ovrin.h"

// Draws the source rectangle (x0, y0)-(x1, y1), inclusive, of the picture into thumb, an image at
// the screen depth. A 32-bit picture is read top row first unless bottomUp is set; other depths are
// DIB rows. 1 drawn, 0 refused (a picture or rectangle that cannot be read, a thumb of another depth).
int DrawThumbnail(CDIB *thumb, const BITMAPINFOHEADER *header, const void *pixels, bool bottomUp, int x0, int y0,
                  int x1, int y1);
