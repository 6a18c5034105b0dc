// Undo and redo in an image window: the records of its image or group applied, the display
// composed again and shown.
#pragma once
#include "ovrin.h"

// Commands Undo, Redo, RegionUndo and RegionRedo: 0 done, 1 not possible now (transform or
// re-edit mode, no edited image), 2 nothing to undo or redo.
int UndoImage(ImageWindow *window);
int RedoImage(ImageWindow *window);
int UndoRegion(ImageWindow *window);
int RedoRegion(ImageWindow *window);
