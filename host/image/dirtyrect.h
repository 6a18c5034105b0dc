// The dirty rectangle: the area touched since the last commit, in group coordinates.
#pragma once
#include <windows.h>

void SetDirtyRect(int left, int top, int right, int bottom);
void ClearDirtyRect();
bool GetDirtyRect(RECT *out); // false when empty; out gets the raw values either way
void ExtendDirtyRect(int x, int y); // grows by one point (group coordinates)
