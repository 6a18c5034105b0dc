// Regions: bits 1, 2 and 4 of the mask of a group's base image, their slots with cached bounds,
// region strokes and their commit.
#pragma once
#include "ovrin.h"

// Border following directions 0..7 as (x, y) steps; odd ones are the four edge neighbours.
extern const int kBorderStepX[8], kBorderStepY[8];

// slots
void ResetRegionSlots(CDIB *image); // every slot empty; for records whose fields hold nothing yet
void ExtendRegionBounds(CDIB *image, int left, int top, int right, int bottom); // every slot state 1
int UpdateRegionSlotBounds(CDIB *image, int slot, int bit); // 1 when the slot holds a region
void ClipRectangle(int *left, int *top, int *right, int *bottom, int minLeft, int minTop, int maxRight,
                   int maxBottom);

// Region strokes. RegionWrite sets the window's work-mask byte at a base index to the bits
// combined (1 OR, 2 AND, 3 XOR) with the base mask byte; RegionCommit moves the work mask over the
// DirtyRectangle into the base mask with a region undo record (the stroke commit calls it while
// colour record 0 draws regions). RegionCommit: 1 committed, 0 nothing (or no memory for the mask).
void RegionWrite(ImageWindow *window, int64_t baseIndex, int bits, int mode);
void RegionWriteRecord(ImageWindow *window, int64_t baseIndex, const ColorRecord *record);
int RegionCommit(ImageWindow *window);
int GetRegionDrawTarget(); // the region bit colour record 0 adds to, 0 when it adds none
void SetWindowActiveRegion(ImageWindow *window, int bits);

// Border points, kept in the first slot of the group's base image.
void AddBorderPoint(RegionSlot *slot, int x, int y);
void ClearBorderPoints(RegionSlot *slot); // counts 0, blocks kept and cleared
void FreeBorderPoints(RegionSlot *slot);
bool GetBorderPoint(const RegionSlot *slot, int k, int *x, int *y);
