// The image record: initialisation, release, the pixel store and its row length, the colour
// tables and the program's display palette, and the reading of packed pixels.
#pragma once
#include "ovrin.h"

// Largest pixel store the program makes: every byte and pixel index then fits a 32-bit int.
const int64_t kMaxPixelBytes = 0x7FFFFFFF;

int GetRowLength(int width, int depth);                      // in the depth's units; -1 unsupported
int64_t GetPixelBufferSize(int width, int height, int depth); // bytes; -1 unsupported or too large
void *AllocPixelBuffer(int width, int height, int depth);
int InitImageRecord(int width, int height, int depth, CDIB *image, int report, int withStore); // 0 ok
void FreeImageData(CDIB *image);
void FreeImagePixels(CDIB *image); // the header and pixel store only (packed blocks unlocked and freed)
void FreeImageStore(CDIB *image);  // with the mask and border points
int GetImageSize(const CDIB *image, int *width, int *height, int *depth);
int GetDisplaySize(const ImageWindow *window, int *width, int *height, int *depth);

int CountColorTableEntries(const BITMAPINFOHEADER *header); // entries the table really holds
// Bytes of the image's header that hold information (header and colour table), within its block.
size_t ImageHeaderBytes(const CDIB *image);
void GetDIBPixel(const BITMAPINFO *header, const void *bits, int x, int y, uint8_t out[4]);

void FillImageBackground(CDIB *image, int mode, int alpha);
void SetColorTable332(BITMAPINFO *header);
void SetGreyColorTable(BITMAPINFO *header);
int CreateDisplayPalette();
extern HPALETTE g_displayPalette;
