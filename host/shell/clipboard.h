// Pictures to and from the Windows clipboard: the current layer out as a device-independent bitmap,
// a device-independent bitmap or an enhanced metafile in as a new image or layer.
#pragma once
#include "ovrin.h"

// Copies the inclusive rectangle (group coordinates) of the window's current layer; the rectangle
// is clipped to the layer first. 1 when the clipboard took it, 0 otherwise.
int CopyToClipboard(ImageWindow *window, int left, int top, int right, int bottom);
// 1 when an image was made: a new group shown in the window, or with asLayer a layer at (x, y).
int PasteFromClipboard(ImageWindow *window, int asLayer, int x, int y);
// A new listed 32-bit image holding the metafile drawn on white from (0, 0) of its frame.
int RenderMetafileToImage(HENHMETAFILE metafile, CDIB **out);
// A new listed 32-bit image from a packed DIB of the given bytes, checked whole before any pixel is
// read; NULL when it is refused or there is no memory.
CDIB *ImageFromPackedDib(const void *block, size_t bytes);
