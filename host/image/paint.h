// The painting pipeline: the dirty rectangle, pixel runs and the commit of a stroke.
#pragma once
#include "ovrin.h"

void SetDirtyRect(int left, int top, int right, int bottom);
void ClearDirtyRect();
bool GetDirtyRect(RECT *out); // false when empty
void CommitStroke(ImageWindow *window);
