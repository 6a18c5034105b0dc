// The ball: the disc of the handles seen as a sphere, sampled along arcs and shaded.
#pragma once
#include "curves.h"

namespace tf {

// The source position of (x, y), false outside the disc; nz is the depth of the sphere there,
// the third component of the normal.
inline bool SphereSource(const Disc &c, int x, int y, double *sx, double *sy, double *nz)
{
    double u, v;
    if (!DiscPoint(c, x, y, &u, &v))
        return false;
    *sx = ChordArc(c.R, v, u) * c.Ws + c.cxs;
    *sy = ChordArc(c.R, u, v) * c.Hs + c.cys;
    double depth = c.R * c.R - u * u - v * v;
    *nz = depth > 0 ? sqrt(depth) : 0.0;
    return true;
}

} // namespace tf
