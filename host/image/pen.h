// The current pen, its stamping into the stroke, the stamp counter and loop mode.
#pragma once
#include "ovrin.h"

// Largest pen side: every matrix then stays a few megabytes and cell indexes fit an int.
enum { kMaxPenSide = 1024 };

// Every weight of the side-N matrix 255, hot spot (16, 16), box (13, 13, N - 13, N - 13); the
// sub-window plug-ins are told of the change.
void MakeDefaultPen();
// Outline cells: nonzero weight on the matrix border or next to a zero-weight cell.
void ComputePenOutline(PenRecord *pen);
// The macro recorder's copies of weights (0) and colour indexes (1), side x side like the pen's.
uint32_t *GetPenMacroCopy(int which);
void FreePen();
// The side the matrices were made for: a plug-in writes the record directly, and a side beyond this
// would read past them.
int GetPenCapacity();

// Stamps of the current figure; per-stamp colour plug-ins are told each stamp's number.
int GetStampCounter();
void ResetStampCounter();
void CountStamp(); // raised by one

// Loop mode: stamps wrap around the current layer's edges instead of being clipped.
bool IsLoopMode();
void ToggleLoopMode();
void SetLoopMode(bool on);
