// The circle: the source squeezed into the disc of the handles along straight chords.
#pragma once
#include "curves.h"

namespace tf {

inline bool CircleSource(const Disc &c, int x, int y, double *sx, double *sy)
{
    double u, v;
    if (!DiscPoint(c, x, y, &u, &v))
        return false;
    *sx = ChordLinear(c.R, v, u) * c.Ws + c.cxs;
    *sy = ChordLinear(c.R, u, v) * c.Hs + c.cys;
    return true;
}

} // namespace tf
