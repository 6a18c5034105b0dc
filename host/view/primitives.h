// Guides drawn into a window's display only (inverted pixels, restored by drawing them again) and
// lines and boxes drawn with the pen into the current stroke.
#pragma once
#include "ovrin.h"

// Handles of control points and point groups are drawn straight into the display; an inverted
// pixel inside the box they cover damages them, and the next paint of the window draws them again.
void GrowHandleBox(int left, int top, int right, int bottom); // group coordinates
void ResetHandleBox();                                          // no box, nothing damaged
bool AreHandlesDamaged();
