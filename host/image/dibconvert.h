// DIB pairs and the image model: the facts of a DIB header, and the conversion of a picture read
// by a reader or acquired into a 32-bit image.
#pragma once
#include "ovrin.h"

int IsInfoHeader(const void *header);                         // 0 for a 12-byte core header
int CountDibPaletteEntries(const BITMAPINFOHEADER *header);   // as the header says, not clamped
int64_t GetDibRowBytes(int width, int depth);                 // -1 for an unsupported depth

void FitPixelAspect(const BITMAPINFOHEADER *header, int *width, int *height);
void ConvertDibToImage(CDIB *image, const CDIB *dib, const RGBQUAD *palette, int width, int height, int depth,
                       int targetWidth, int targetHeight, int keepAlpha);
// One DIB row of 1, 4, 8, 16, 24 or 32 bits as width 32-bit colours.
void ConvertDibRow(uint32_t *out, const uint8_t *src, const RGBQUAD *palette, int width, int depth, int keepAlpha);
void CopyPixels32(uint32_t *dst, const uint32_t *src, int64_t count, int keepAlpha);
CDIB *CreateImageFromDib(const BITMAPINFO *dib, int flag); // a listed 32-bit image, or NULL

