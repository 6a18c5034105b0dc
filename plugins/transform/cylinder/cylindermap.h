// The cylinder: the source wrapped round an upright cylinder as wide as the destination.
#pragma once
#include "curves.h"

namespace tf {

inline void CylinderSource(const Rect &d, const Source &s, int x, int y, double *sx, double *sy)
{
    double R = (double)d.w / 2;
    double a = AcrossAngle(R, (double)((long long)x - d.x0));
    *sx = (double)s.W * a / kPi + s.left;
    *sy = (double)(((long long)y - d.y0) * s.H) / (double)d.h + s.top;
}

} // namespace tf
