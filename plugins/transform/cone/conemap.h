// The cone: standing on its base, apex at the middle of the top row; each row is a circle of its
// own radius.
#pragma once
#include "curves.h"

namespace tf {

struct ConeRow {
    double r;
    long long xl, xr; // the pixels the row covers; none when xr < xl
};

inline ConeRow ConeRowAt(const Rect &d, int y)
{
    double R = (double)d.w / 2;
    ConeRow row;
    row.r = (double)((long long)y - d.y0) / (double)d.h * R;
    row.xl = d.x0 + (long long)(R - row.r);
    row.xr = d.x0 + (long long)(R + row.r);
    return row;
}

inline void ConeSource(const Rect &d, const Source &s, const ConeRow &row, int x, int y, double *sx, double *sy)
{
    double a = AcrossAngle(row.r, (double)(x - row.xl));
    *sx = (double)s.W * a / kPi + s.left;
    *sy = (double)(((long long)y - d.y0) * s.H) / (double)d.h + s.top;
}

} // namespace tf
