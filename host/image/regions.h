// Regions: bits 1, 2 and 4 of an image's mask, their slots and animated borders.
#pragma once
#include "ovrin.h"

void ResetRegionSlots(CDIB *image);   // every slot empty, no border points
void FreeBorderPoints(RegionSlot *slot);
void StopBorderAnimation();
void AnimateRegionBorder(ImageWindow *window, int on);
void ClearBorderRepaintRect();
