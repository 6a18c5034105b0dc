// The painting pipeline: pixel runs, painting one pixel into a window's
// stroke buffers, composing one shown pixel, and the commit of a stroke.
#pragma once
#include "ovrin.h"
#include "image/dirtyrect.h"

// The pixel run: started at the first pixel of a row, then advanced one pixel per painted or
// skipped pixel, so that painting never multiplies per pixel. Callers keep that alignment.
void StartPaintRun(ImageWindow *window, int x, int y);
void AdvanceRun(); // every run index and the display write position one pixel on
void SetPsetPosition(int x, int y, int width); // every run index := y x width + x

// One pixel of the current stroke (group coordinates) in the colour of the record with alpha
// 0..255; penColumn and penRow are handed to per-pixel functional colours. Advances the run.
void PaintPixel(ImageWindow *window, int x, int y, int penColumn, int penRow, const ColorRecord *record,
                int alpha);
// Pen cells x.. x + count - 1 of row y at the run's position, as PaintPixel paints them, while
// their colour records need no colour function and write no region; weights and colorIndexes are
// the pen matrix rows from the first cell, each cell's alpha weight x alphaScale / 255. Returns
// the cells done: the next one, if any, needs PaintPixel.
int PaintPlainCells(ImageWindow *window, int x, int y, int count, const uint32_t *weights,
                    const uint32_t *colorIndexes, int alphaScale);
// The displayed colour of a group's pixel: the base (or the checkerboard when the base is
// hidden) and every shown layer through its blend; subImage's pixel there is taken as subPixel.
// inside (may be NULL) tells whether the point lies in the current layer's rectangle.
uint32_t ComposeGroupPixel(const ImageGroup *group, const CDIB *subImage, uint32_t subPixel, int x, int y,
                           int *inside);

// The stroke into the edited image (or the region bits into the base mask) with an undo record;
// the stroke buffers are left empty.
void CommitStroke(ImageWindow *window);
// Whether a covered pixel of the draw buffer differs from the edited image inside the rectangle
// (group coordinates): a stroke that changes nothing is no change of the image.
bool StrokeChangesPixels(const ImageWindow *window, int left, int top, int right, int bottom);
void PostProcessStroke(ImageWindow *window);
// Clamp to the window's image (0..width - 1, 0..height - 1).
void ClipRectangleToWindow(const ImageWindow *window, int *left, int *top, int *right, int *bottom);
void ClipDirtyRectangle(const ImageWindow *window);
