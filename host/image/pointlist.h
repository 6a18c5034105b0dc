// The points of the figure being drawn: one list for the whole program, in the coordinates of the
// image group drawn in. Draw plug-ins fill it through the point services; the polygon fill reads it.
#pragma once
#include "ovrin.h"

enum { kPointListCapacity = 5120 };

// Point i (0 <= i < count) moved; 1 done, 0 for an index outside the list.
int SetPointAt(int i, int x, int y);
// The count set back or forward within what the list has held: a guide drawn as if the last
// point were the pointer lowers it by one and then restores it.
void SetPointCount(int n);
