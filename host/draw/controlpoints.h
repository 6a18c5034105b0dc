// Control points: the points a transform plug-in places and the user drags, drawn as small
// square handles straight into a window's display. The same handles serve point groups.
#pragma once
#include "ovrin.h"
#include "view/handles.h"

enum {
    kMaxControlPoints = 2560,
    kHitHandle = 100,         // a press on a handle
    kHitNone = 200,           // a press away from every handle: the whole outline moves
};

// The first point whose handle holds (x, y) (group coordinates): kind 100 and its index, result 1;
// none: kind 200, index 0, result 0.
int HitTestControlPoint(ImageWindow *window, int x, int y, int *kind, int *index);
// The cursor of the point under a hit, when it has one.
void SetControlPointCursor(int kind, int index);
int GetControlPointCount();
void ResetControlPoints(); // no points, no cursors: as at start-up
