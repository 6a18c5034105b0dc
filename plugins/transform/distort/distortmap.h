// The bilinear map fitted from the destination side: X = a1 x y + b1 x + c1 y + d1 and likewise
// Y, through the four handles and the source corners.
#pragma once
#include "mapgeom.h"

namespace tf {

// The 4 x 4 matrix [x y, x, y, 1] of the handles (row-major) and the two right sides.
inline void DistortSystem(const double x[4], const double y[4], const Source &s, double m[16], double rx[4],
                          double ry[4])
{
    for (int j = 0; j < 4; j++) {
        m[4 * j] = x[j] * y[j];
        m[4 * j + 1] = x[j];
        m[4 * j + 2] = y[j];
        m[4 * j + 3] = 1;
    }
    rx[0] = rx[3] = s.left;
    rx[1] = rx[2] = s.right;
    ry[0] = ry[1] = s.top;
    ry[2] = ry[3] = s.bottom;
}

inline double DistortAxis(const double c[4], int x, int y)
{
    return c[0] * (double)x * (double)y + c[1] * x + c[2] * y + c[3];
}

} // namespace tf
