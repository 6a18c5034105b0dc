// Axis-parallel ellipses from a centre and a corner point, shared by the outline, the filled and
// the shaded module and by the spray's hover circle. The outline is built row by row from the
// outermost row toward the centre row; every row owns a run of offsets from the centre column.
#pragma once
#include "drawmodule.h"
#include <math.h>
#include <stdio.h>

namespace draw {

// Larger semi-axes are not drawn: the row sums stay inside 64 bits and a figure no image holds
// costs no endless loop.
const int64_t kMaxSemiAxis = 32768;

struct EllipseFigure {
    QzPoint centre;
    int64_t a, b;
};

inline int64_t Sign(int64_t v) { return (v > 0) - (v < 0); }

// Coordinates past the int range of the services stop at its ends.
inline int ClampInt(int64_t v) { return v < INT32_MIN ? INT32_MIN : v > INT32_MAX ? INT32_MAX : (int)v; }

// With Shift the smaller semi-axis wins and the figure becomes a circle.
inline QzPoint ConstrainToCircle(QzPoint c, QzPoint p, int keys)
{
    if (!(keys & MK_SHIFT))
        return p;
    int64_t dx = (int64_t)p.x - c.x, dy = (int64_t)p.y - c.y;
    int64_t ax = dx < 0 ? -dx : dx, ay = dy < 0 ? -dy : dy;
    if (ay < ax)
        p.x = ClampInt(c.x + ay * Sign(dx));
    else
        p.y = ClampInt(c.y + ax * Sign(dy));
    return p;
}

// False when the semi-axes are out of reach.
inline bool SetEllipse(QzPoint c, QzPoint p, EllipseFigure *e)
{
    e->centre = c;
    e->a = (int64_t)p.x - c.x, e->b = (int64_t)p.y - c.y;
    e->a = e->a < 0 ? -e->a : e->a;
    e->b = e->b < 0 ? -e->b : e->b;
    return e->a <= kMaxSemiAxis && e->b <= kMaxSemiAxis;
}

// The rows r = b .. 0 (distance from the centre row) with the run of offsets each owns:
// run(r, first, last). Row 0 reaches the full semi-axis a; a row whose half-width does not grow
// still owns one offset.
template <class F> void ForEachRowRun(int64_t a, int64_t b, F run)
{
    int64_t h = b / 2, previous = 0, sum = 0;
    for (int64_t r = b; r >= 0; r--) {
        int64_t half = a;
        if (r > 0) {
            sum += (2 * r - 1) * a * a; // a^2 (b^2 - (r - 1)^2)
            half = (int64_t)((sqrt((double)sum) + h) / b);
        }
        run(r, previous, half > previous ? half - 1 : previous);
        previous = half > previous ? half : previous;
    }
}

// The half-width of row r taken straight from the ellipse's equation (row 0: a).
inline int64_t DirectHalfWidth(int64_t a, int64_t b, int64_t r)
{
    if (r == 0)
        return a;
    return (int64_t)((sqrt((double)((b * b - r * r) * a * a)) + b / 2) / b);
}

// Every pixel of the outline once: the four mirror images of each run offset, fewer on the
// centre row and the centre column where they coincide.
template <class F> void ForEachOutlinePixel(const EllipseFigure &e, F pixel)
{
    int64_t cx = e.centre.x, cy = e.centre.y;
    ForEachRowRun(e.a, e.b, [&](int64_t r, int64_t first, int64_t last) {
        for (int64_t i = first; i <= last; i++) {
            pixel(cx + i, cy + r);
            if (i)
                pixel(cx - i, cy + r);
            if (r) {
                pixel(cx + i, cy - r);
                if (i)
                    pixel(cx - i, cy - r);
            }
        }
    });
}

// Its bounding box in the int range of the services.
inline void EllipseBox(const EllipseFigure &e, int box[4])
{
    box[0] = ClampInt(e.centre.x - e.a), box[1] = ClampInt(e.centre.y - e.b);
    box[2] = ClampInt(e.centre.x + e.a), box[3] = ClampInt(e.centre.y + e.b);
}

// The rubber band of an ellipse: its outline inverted (show) or restored, then refreshed.
inline void EorEllipse(ImageWindow *window, const EllipseFigure &e, int show, int refresh)
{
    ForEachOutlinePixel(e, [&](int64_t x, int64_t y) { QzsEorPoint(window, ClampInt(x), ClampInt(y), show); });
    int box[4];
    EllipseBox(e, box);
    QzsUpdateImageWindowEx(window, box[0], box[1], box[2], box[3], refresh);
}

// The guide the three ellipse modules share: the outline through the pointer and the centre
// with its semi-axes in the status line.
inline int EllipseGuide(ImageWindow *window, int x, int y, int show, int refresh, int keys)
{
    QzPoint centre;
    EllipseFigure e;
    if (!Point(0, &centre) || !SetEllipse(centre, ConstrainToCircle(centre, QzPoint{x, y}, keys), &e))
        return 0;
    EorEllipse(window, e, show, refresh);
    char text[96];
    snprintf(text, sizeof text, "[%3d %3d](a:%3d b:%3d)", centre.x, centre.y, (int)e.a, (int)e.b);
    QzsStatMessage(window, text);
    return 0;
}

// The finished figure: centre point 0, corner point 1 under this call's Shift; false when the
// two coincide or the figure is out of reach.
inline bool FinishedEllipse(int keys, EllipseFigure *e)
{
    QzPoint centre, corner;
    if (!Point(0, &centre) || !Point(1, &corner))
        return false;
    corner = ConstrainToCircle(centre, corner, keys);
    if (corner.x == centre.x && corner.y == centre.y)
        return false;
    return SetEllipse(centre, corner, e);
}

} // namespace draw
