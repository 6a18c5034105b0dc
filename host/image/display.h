// The display image of an image window: built from its group, composed from the layers, refreshed.
#pragma once
#include "ovrin.h"

int BuildWindowDisplay(ImageWindow *window, ImageGroup *group, bool viewOnly); // 1 built
void ComposeWholeDisplay(ImageWindow *window, ImageGroup *group);
void ComposeDisplayRect(ImageWindow *window, ImageGroup *group, int left, int top, int right, int bottom,
                        int useDrawBuffer);
void ComposeRow(int x, int y, int unused, int count, ImageGroup *group, CDIB *substitute, const uint32_t *store,
                const uint8_t *mask, uint32_t *colorRow, uint8_t *maskRow);
int QZCAPI BlendPixelOver(const uint8_t *lower, const uint8_t *upper, int offset, int row, uint8_t *out);
void SetCurrentBlendFunction(BlendFunction blend);
void ClearDisplay(ImageWindow *window);
int RefreshWindowRect(ImageWindow *window, int x0, int y0, int x1, int y1, int now);
void RedrawImageWindow(ImageWindow *window);
void LayoutImageWindow(ImageWindow *window);
void UpdateScrollBars(ImageWindow *window);
void ClearPendingRefresh();
void FlattenOntoBackground(CDIB *image);
