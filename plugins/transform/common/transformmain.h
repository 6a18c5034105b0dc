// What every transform module shares: the rectangle template of handles and the destination-to-
// source rendering loop. A module built on the template:
//
//     #include "transformmain.h"
//     QZ_RECTANGLE_TEMPLATE()              // QzcStartTransform, QzcDragPoint, QzcDrawControlPoint
//     QZC_EXPORT(int) QzcTransforming(ImageWindow *view, CDIB *source, int left, int top, int right,
//                                     int bottom, int mask)
//     {
//         tf::Source src(source, left, top, right, bottom, mask);
//         tf::Rect d = tf::DestinationRect();        // handles 0 and 2, put in order
//         return tf::Render(view, src, d, [&](int x, int y, double *sx, double *sy) { ...; return true; });
//     }
//
// Modules with handles of their own may still start with tf::StartRectangle and draw with
// tf::DrawOutline(view, show, refresh, last). Handles are in layer coordinates; the host keeps them.
#pragma once
#include "ovrin.h"
#include <stdint.h>

namespace tf {

struct Point {
    int x, y;
};

inline Point Handle(int i)
{
    Point p = {0, 0};
    QzsGetControlPoint(i, &p.x, &p.y);
    return p;
}

// The outline through handles first..last and their squares: show 1 draws, 0 erases.
inline int DrawOutline(ImageWindow *view, int show, int refresh, int last = 3)
{
    return QzsDrawRegionBorder(view, 0, last, show, refresh);
}

// Four handles on the corners of the source rectangle, clockwise from the top left, drawn.
inline int StartRectangle(ImageWindow *view, int left, int top, int right, int bottom)
{
    if (!QzsAllocControlPoint(4))
        return 0;
    QzsSetControlPoint(0, left, top, 5, 3);
    QzsSetControlPoint(1, right, top, 3, 3);
    QzsSetControlPoint(2, right, bottom, 5, 3);
    QzsSetControlPoint(3, left, bottom, 3, 3);
    return DrawOutline(view, 1, 1);
}

// Message 100: handle index dragged to (newX, newY), its neighbours follow so that the outline
// stays an axis-parallel rectangle. Message 200: the whole outline moved. Other messages come back
// unchanged and nothing moves.
inline int DragRectangle(ImageWindow *view, int oldX, int oldY, int newX, int newY, int message, int index)
{
    if (message == 100) {
        if (index < 0 || index > 3)
            return 0;
        // [dragged] = {neighbour whose y follows, neighbour whose x follows}
        static const int follow[4][2] = {{1, 3}, {0, 2}, {3, 1}, {2, 0}};
        DrawOutline(view, 0, 0);
        QzsSetControlPoint(index, newX, newY, 0, 3);
        QzsSetControlPoint(follow[index][0], 0, newY, 0, 2);
        QzsSetControlPoint(follow[index][1], newX, 0, 0, 1);
        return DrawOutline(view, 1, 1);
    }
    if (message == 200) {
        DrawOutline(view, 0, 0);
        QzsMoveAllControlPoint(0, 3, (int)((int64_t)newX - oldX), (int)((int64_t)newY - oldY));
        return DrawOutline(view, 1, 1);
    }
    return message;
}

// The source rectangle (layer coordinates, inclusive) and its region bits.
struct Source {
    CDIB *image;
    int left, top, right, bottom, mask;
    int64_t W, H;
    Source(CDIB *i, int l, int t, int r, int b, int m)
        : image(i), left(l), top(t), right(r), bottom(b), mask(m), W((int64_t)r - l + 1), H((int64_t)b - t + 1)
    {
    }
};

// The destination rectangle (layer coordinates, inclusive) and its size.
struct Rect {
    int x0, y0, x2, y2;
    int64_t w, h;
};

// Handles 0 and 2, swapped where needed: a rectangle turned inside out is not mirrored.
inline Rect DestinationRect()
{
    Point a = Handle(0), b = Handle(2);
    Rect r;
    r.x0 = a.x < b.x ? a.x : b.x, r.x2 = a.x < b.x ? b.x : a.x;
    r.y0 = a.y < b.y ? a.y : b.y, r.y2 = a.y < b.y ? b.y : a.y;
    r.w = (int64_t)r.x2 - r.x0 + 1, r.h = (int64_t)r.y2 - r.y0 + 1;
    return r;
}

struct NoShade {
    void operator()(int, int, uint8_t *) const {}
};

// Every destination pixel of d, rows outer, columns inner: map(x, y, &sx, &sy) gives the real
// source position (false: the pixel is left as it is); the source colour there is written where the
// source covers it and the region bits accept it. The host's result of marking d comes back.
// Only pixels on the layer are visited: the host takes no others. shade(x, y, bgra), when given,
// changes an accepted colour before it is written.
template <class Map, class Shade = NoShade>
int Render(ImageWindow *view, const Source &src, const Rect &d, Map map, Shade shade = Shade())
{
    int lw = 0, lh = 0, depth = 0;
    QzsGetCDIBinfo(src.image, &lw, &lh, &depth);
    int64_t xFrom = d.x0 < 0 ? 0 : d.x0, xTo = d.x2 > lw - 1 ? lw - 1 : d.x2;
    int64_t yFrom = d.y0 < 0 ? 0 : d.y0, yTo = d.y2 > lh - 1 ? lh - 1 : d.y2;
    uint32_t colour = 0x00FFFFFF;
    uint8_t maskByte = 0;
    for (int64_t y = yFrom; y <= yTo; y++)
        for (int64_t x = xFrom; x <= xTo; x++) {
            double sx, sy;
            if (!map((int)x, (int)y, &sx, &sy))
                continue;
            if (QzsLinearInterpolate(src.image, sx, sy, (uint8_t *)&colour, &maskByte) &&
                QzsCheckInRegion(maskByte, (int)x, (int)y, src.mask)) {
                shade((int)x, (int)y, (uint8_t *)&colour);
                QzsSetColorOnEdtWin(view, (int)x, (int)y, &colour);
            }
        }
    return QzsUpdateRegion(1, view, d.x0, d.y0, d.x2, d.y2);
}

} // namespace tf

// The three entries of a transform module; `drag` moves its handles.
#define QZ_TRANSFORM_ENTRIES(drag)                                                                              \
    QZC_EXPORT(int) QzcStartTransform(ImageWindow *view, int left, int top, int right, int bottom)              \
    {                                                                                                           \
        return tf::StartRectangle(view, left, top, right, bottom);                                              \
    }                                                                                                           \
    QZC_EXPORT(int)                                                                                             \
    QzcDragPoint(ImageWindow *view, int oldX, int oldY, int newX, int newY, int message, int index)             \
    {                                                                                                           \
        return drag(view, oldX, oldY, newX, newY, message, index);                                              \
    }                                                                                                           \
    QZC_EXPORT(int) QzcDrawControlPoint(ImageWindow *view, int show, int refresh)                               \
    {                                                                                                           \
        return tf::DrawOutline(view, show, refresh);                                                            \
    }

// The entries of a module whose handles are the rectangle template.
#define QZ_RECTANGLE_TEMPLATE() QZ_TRANSFORM_ENTRIES(tf::DragRectangle)
