// What the mappings share beyond the skeleton: the quadrilateral of free handles and the checks
// that keep a computed source position from reaching the host as NaN or as an int out of range.
#pragma once
#include "transformmain.h"
#include <math.h>

namespace tf {

// The four handles of a quadrilateral, P0..P3: the images of the source's top-left, top-right,
// bottom-right and bottom-left corners.
struct Quad {
    double x[4], y[4];
};

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

// All coefficients usable: a solver may report success on a system so near singular that its
// answer overflows.
inline bool CoefficientsFinite(const double *c, int n)
{
    for (int i = 0; i < n; i++)
        if (!Finite(c[i]))
            return false;
    return true;
}

} // namespace tf
