// The display image of an image window: built from its group, composed from the layers, tinted,
// copied to the screen at the window's zoom, refreshed and laid out.
#pragma once
#include "ovrin.h"
#include "image/blend.h"

// building (display_build.cpp)
int BuildWindowDisplay(ImageWindow *window, ImageGroup *group, bool viewOnly); // 1 built, 0 failed (message)
// Whether the window could be built for a base of w x h now (sizes and memory), without a message:
// asked before an image the window shows is given up for one of another size.
bool CanBuildWindowDisplay(const ImageWindow *window, int w, int h);
void RefreshWindowDisplay(ImageWindow *window, ImageGroup *group);
void ClearDisplay(ImageWindow *window);
void FillDisplayMargins(ImageWindow *window, ImageGroup *group);
void FreeWindowBuffers(ImageWindow *window); // display and work buffers
int ClearWorkRect(ImageWindow *window, int x0, int y0, int x1, int y1);
int ResetWorkBuffers(ImageWindow *window, CDIB *image);
int ConvertLayerTo32Bit(ImageWindow *window);
void FlattenOntoBackground(CDIB *image);
int GetDisplayRowUnits(int width, int depth);

// composing (display_compose.cpp)
void ComposeWholeDisplay(ImageWindow *window, ImageGroup *group);
int ComposeDisplayRect(ImageWindow *window, ImageGroup *group, int left, int top, int right, int bottom,
                       int useDrawBuffer);
int ComposeRow(int x, int y, int unused, int count, ImageGroup *group, CDIB *substitute, const uint32_t *store,
               const uint8_t *mask, uint32_t *colorRow, uint8_t *maskRow);
// One composed colour into the display with the window's tints; x and y are display coordinates.
int PutDisplayPixel(const ImageWindow *window, void *bits, int x, int y, const uint8_t *color, uint8_t mask,
                    int inside);

// painting and refreshing (display_paint.cpp)
struct PaintGeometry {
    int destX, destY, destWidth, destHeight; // client pixels
    int srcX, srcY, srcWidth, srcHeight;     // display pixels, y counted from the bottom row
};
void GetPaintGeometry(const ImageWindow *window, int x0, int y0, int x1, int y1, PaintGeometry *out);
void PaintImageRect(ImageWindow *window, int x0, int y0, int x1, int y1);
void PaintImageRectOn(HDC dc, ImageWindow *window, int x0, int y0, int x1, int y1); // any device context
void PaintDisplayRect(ImageWindow *window, const RECT *rect);
void RefreshClippedRect(ImageWindow *window, const RECT *rect);
int RefreshWindowRect(ImageWindow *window, int x0, int y0, int x1, int y1, int now);
void ClearPendingRefresh();
bool GetPendingRefresh(RECT *out); // false when empty
// While a figure is drawn piece by piece, each piece asking to be shown at once, the pieces are
// gathered and shown together at the end: one paint instead of hundreds, the figure whole at once.
void BeginGatheredRefresh();
void EndGatheredRefresh(ImageWindow *window);
void RedrawImageWindow(ImageWindow *window);
void SetRedrawHold(int hold);
void FlushHeldRedraws();
bool IsRedrawHeld();
void LayoutImageWindow(ImageWindow *window);
void UpdateScrollBars(ImageWindow *window);
void SetScrollBarsFromView(ImageWindow *window);
void DrawGrid(HDC dc, int x0, int y0, int x1, int y1, int zoom, HPEN pen);
int GetStretchMode();
HPEN GetGridPen();
void DeleteGridPen();
// Counts every StretchDIBits a window's paint makes (tests see the redraws).
extern int g_displayPaintCount;
