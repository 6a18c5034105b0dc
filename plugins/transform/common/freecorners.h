// Handles of the quadrilateral modules: they start on the source rectangle's corners as the
// rectangle template does, but each one moves alone, so the outline may become any quadrilateral.
// The destination is the bounding box of the four.
#pragma once
#include "mapgeom.h"

namespace tf {

// Message 100: only handle index moves to (newX, newY). Message 200: the whole outline moves.
// Other messages come back unchanged, as does an index that is no handle, and nothing moves.
inline int DragFreeCorner(ImageWindow *view, int oldX, int oldY, int newX, int newY, int message, int index)
{
    if (message == 100) {
        if (index < 0 || index > 3)
            return 0;
        DrawOutline(view, 0, 0);
        QzsSetControlPoint(index, newX, newY, 0, 3);
        return DrawOutline(view, 1, 1);
    }
    if (message == 200) {
        DrawOutline(view, 0, 0);
        QzsMoveAllControlPoint(0, 3, (int)((int64_t)newX - oldX), (int)((int64_t)newY - oldY));
        return DrawOutline(view, 1, 1);
    }
    return message;
}

inline Quad ReadCorners()
{
    Quad c;
    for (int i = 0; i < 4; i++) {
        Point p = Handle(i);
        c.x[i] = p.x;
        c.y[i] = p.y;
    }
    return c;
}

// The bounding box of the four handles.
inline Rect CornerBox()
{
    Point p = Handle(0);
    Rect r = {p.x, p.y, p.x, p.y, 0, 0};
    for (int i = 1; i < 4; i++) {
        p = Handle(i);
        r.x0 = p.x < r.x0 ? p.x : r.x0, r.x2 = p.x > r.x2 ? p.x : r.x2;
        r.y0 = p.y < r.y0 ? p.y : r.y0, r.y2 = p.y > r.y2 ? p.y : r.y2;
    }
    r.w = (int64_t)r.x2 - r.x0 + 1, r.h = (int64_t)r.y2 - r.y0 + 1;
    return r;
}

} // namespace tf

// The entries of a module with four free corners.
#define QZ_FREE_CORNERS() QZ_TRANSFORM_ENTRIES(tf::DragFreeCorner)
