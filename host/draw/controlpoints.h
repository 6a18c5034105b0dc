// Control points: the points a transform plug-in places and the user drags, drawn as small
// square handles straight into a window's display. The same handles serve point groups.
#pragma once
#include "ovrin.h"

enum {
    kMaxControlPoints = 2560,
    kHandleHalf = 4,
    kHandleEdge = 0x00FF0000, // red (B G R A in memory: 0, 0, 255, 0)
    kHandleFill = 0x0000FF00, // green
    kHitHandle = 100,         // a press on a handle
    kHitNone = 200,           // a press away from every handle: the whole outline moves
};

// Draws (show 1) or erases (show 0) one handle square of half size h around (x, y); with layer
// set, (x, y) are layer coordinates of the window's group. 1 done, 0 nothing to draw on.
int DrawHandleMark(ImageWindow *window, int x, int y, int h, uint32_t fill, uint32_t edge, int show, int refresh,
                   int layer);
// The first point whose handle holds (x, y) (group coordinates): kind 100 and its index, result 1;
// none: kind 200, index 0, result 0.
int HitTestControlPoint(ImageWindow *window, int x, int y, int *kind, int *index);
// The cursor of the point under a hit, when it has one.
void SetControlPointCursor(int kind, int index);
int GetControlPointCount();
void ResetControlPoints(); // no points, no cursors: as at start-up
