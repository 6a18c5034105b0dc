// Point groups shown as handles: the sixteen parameter slots and groups owned by their callers.
#pragma once
#include "ovrin.h"

enum { kPointGroupSlots = 16 };

// Every handle of the group drawn (show 1) or erased; only the last refreshes, by lastRefresh.
void DrawPointGroupHandles(ImageWindow *window, const PointGroup *group, int show, int lastRefresh);
// The first point whose handle (grown at a reduced zoom) holds (x, y), group coordinates: 1 and
// its index; 0 when none.
int HitTestPointGroup(ImageWindow *window, int x, int y, const PointGroup *group, int *index);
// Point i's handle taken from its old place and drawn at its new one.
void MovePointGroupHandle(ImageWindow *window, const PointGroup *group, int i, int oldX, int oldY);
void ClearPointGroupSlots(); // every slot free, as at start-up
