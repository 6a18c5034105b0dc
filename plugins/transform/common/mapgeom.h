// Geometry the transform modules share: the source and destination rectangles and the checks that
// keep a computed source position from reaching the host as NaN or as an int out of range.
#pragma once
#include <math.h>

namespace tf {

// Source rectangle, inclusive; W and H are the sizes in pixels.
struct Source {
    int left, top, right, bottom;
    long long W() const { return (long long)right - left + 1; }
    long long H() const { return (long long)bottom - top + 1; }
};

// Destination rectangle of the template modules, always with x0 <= x2 and y0 <= y2.
struct Dest {
    int x0, y0, x2, y2;
    long long w() const { return (long long)x2 - x0 + 1; }
    long long h() const { return (long long)y2 - y0 + 1; }
};

// The rectangle spanned by two opposite corners, whichever way round they were dragged.
inline Dest DestFromCorners(int ax, int ay, int bx, int by)
{
    Dest d;
    d.x0 = ax < bx ? ax : bx;
    d.x2 = ax < bx ? bx : ax;
    d.y0 = ay < by ? ay : by;
    d.y2 = ay < by ? by : ay;
    return d;
}

inline bool Finite(double v) { return v == v && v > -1e300 && v < 1e300; }

// trunc(v + 0.5) when it fits an int; false for NaN, infinities and far-off positions.
inline bool RoundToInt(double v, int *out)
{
    double r = v + 0.5;
    if (!(r > -2147483648.0 && r < 2147483648.0))
        return false;
    *out = (int)r;
    return true;
}

// The rounded position (trunc(X + 0.5), trunc(Y + 0.5)) lies inside the source rectangle.
inline bool RoundedInside(const Source &s, double X, double Y)
{
    int ix, iy;
    return RoundToInt(X, &ix) && RoundToInt(Y, &iy) && ix >= s.left && ix <= s.right && iy >= s.top &&
           iy <= s.bottom;
}

} // namespace tf
