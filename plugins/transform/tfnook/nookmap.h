// The projective map of the quadrilateral P0..P3 onto the source rectangle: eight coefficients
// from an 8 x 8 system, X = (a x + b y + c) / w and Y = (d x + e y + f) / w with w = g x + h y + 1.
#pragma once
#include "mapgeom.h"

namespace tf {

// The source corners in handle order: top-left, top-right, bottom-right, bottom-left.
inline void SourceCorners(const Source &s, double X[4], double Y[4])
{
    X[0] = X[3] = s.left;
    X[1] = X[2] = s.right;
    Y[0] = Y[1] = s.top;
    Y[2] = Y[3] = s.bottom;
}

// The system for handles (x[j], y[j]): rows [x, y, 1, 0, 0, 0, -x X, -y X | X] and
// [0, 0, 0, x, y, 1, -x Y, -y Y | Y], row-major.
inline void ProjectiveSystem(const double x[4], const double y[4], const Source &s, double m[64], double rhs[8])
{
    double X[4], Y[4];
    SourceCorners(s, X, Y);
    for (int j = 0; j < 4; j++) {
        double *r0 = m + 16 * j, *r1 = r0 + 8;
        double row0[8] = {x[j], y[j], 1, 0, 0, 0, -x[j] * X[j], -y[j] * X[j]};
        double row1[8] = {0, 0, 0, x[j], y[j], 1, -x[j] * Y[j], -y[j] * Y[j]};
        for (int i = 0; i < 8; i++) {
            r0[i] = row0[i];
            r1[i] = row1[i];
        }
        rhs[2 * j] = X[j];
        rhs[2 * j + 1] = Y[j];
    }
}

// The source position of (x, y) for coefficients k[0..7]; false where w is 0 or the position
// cannot be represented.
inline bool ProjectiveSource(const double k[8], int x, int y, double *X, double *Y)
{
    double w = k[6] * x + k[7] * y + 1;
    if (w == 0)
        return false;
    *X = (k[0] * x + k[1] * y + k[2]) / w;
    *Y = (k[3] * x + k[4] * y + k[5]) / w;
    return Finite(*X) && Finite(*Y);
}

} // namespace tf
