// Undo and redo: pixel-rectangle and whole-image records in an image's chain, region records in a
// group's chain.
#pragma once
#include "ovrin.h"

void FreeUndoRecords(CDIB *image, UndoRecord *from);
void FreeRegionUndoRecords(ImageGroup *group, UndoRecord *from);
void PushWholeImageUndo(CDIB *newImage, CDIB *oldImage);
