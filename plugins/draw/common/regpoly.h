// Regular polygons around a centre C through a corner P, shared by the filled and the outline
// module. Angles grow with the image rows, downward; corner n is P itself, so the outline closes
// exactly whatever the rounding of the others.
#pragma once
#include "drawmodule.h"
#include <math.h>

namespace draw {

// More corners than the point list holds make no other figure than a circle.
const int kMaxCorners = 5120;

struct RegularPolygon {
    QzPoint centre, corner;
    int n;
    double radius, start, step;

    // False when nothing can be drawn: no corners (a step would divide by zero).
    bool Set(QzPoint c, QzPoint p, int corners)
    {
        centre = c, corner = p;
        n = corners > kMaxCorners ? kMaxCorners : corners;
        if (n <= 0)
            return false;
        int64_t dx = (int64_t)c.x - p.x, dy = (int64_t)c.y - p.y;
        radius = sqrt((double)(dx * dx + dy * dy));
        if (p.x != c.x)
            start = atan((double)dy / (double)dx);
        else
            start = p.y > c.y ? 1.5707963267950003 : -1.5707963267950003;
        if (p.x < c.x)
            start += 3.1415926535900005;
        step = 6.283185307180001 / n;
        return true;
    }

    // Corner k, 1..n, truncated toward zero.
    QzPoint Corner(int k) const
    {
        if (k >= n)
            return corner;
        double a = start + k * step;
        return QzPoint{Truncate(cos(a) * radius + centre.x), Truncate(sin(a) * radius + centre.y)};
    }

    // Corners of a polygon reaching past the int range stop at its ends.
    static int32_t Truncate(double v) { return v <= INT32_MIN ? INT32_MIN : v >= INT32_MAX ? INT32_MAX : (int32_t)v; }
};

// The polygon of the figure: centre point 0, the corner given (the pointer in a guide, point 1
// when drawn), the corner count from parameter 0.
inline bool FigurePolygon(QzPoint corner, RegularPolygon *polygon)
{
    QzPoint centre;
    return Point(0, &centre) && polygon->Set(centre, corner, Param(0));
}

// The rubber band: every edge from P round to P, inverted (show) or restored, and the two points
// in the status line.
inline int PolygonGuide(ImageWindow *window, int x, int y, int show, int refresh, int)
{
    RegularPolygon polygon;
    if (!FigurePolygon(QzPoint{x, y}, &polygon))
        return 0;
    QzPoint previous = polygon.corner;
    for (int k = 1; k <= polygon.n; k++) {
        QzPoint next = polygon.Corner(k);
        QzsEorLine(window, previous.x, previous.y, next.x, next.y, show, refresh);
        previous = next;
    }
    QzsDispStat2Points(window, polygon.centre.x, polygon.centre.y, x, y);
    return 0;
}

// The finished figure's polygon: point 1 is its corner; false when it has none or it is the centre.
inline bool FinishedPolygon(RegularPolygon *polygon)
{
    QzPoint corner;
    if (!Point(1, &corner) || !FigurePolygon(corner, polygon))
        return false;
    return corner.x != polygon->centre.x || corner.y != polygon->centre.y;
}

} // namespace draw
