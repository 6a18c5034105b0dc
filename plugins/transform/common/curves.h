// The arcs of the curved mappings: the angle across a half circle (cylinder, cone) and the chord
// functions of the disc (sphere, circle). Every division is guarded so that a pole or a
// one-pixel-wide destination gives a finite position.
#pragma once
#include "mapgeom.h"

namespace tf {

const double kPi = 3.1415926;
const double kHalfPi = 1.5707963;
const double kArcScale = 1.5707963267950003;

// The angle seen from the axis of a circle of radius r at offset t from its left edge: 0 at the
// left edge, pi at the right one (arccos(1 - t / r)). Offsets past the diameter, which the
// truncated cone rows can reach, stay at pi.
inline double AcrossAngle(double r, double t)
{
    if (r - t == 0)
        return kHalfPi;
    double under = 2 * r * t - t * t;
    if (under < 0)
        under = 0;
    double a = atan(sqrt(under) / (r - t));
    if (a < 0 || (a == 0 && r - t < 0))
        a += kPi;
    return a;
}

// The disc inside the handle rectangle: R the radius, A the half width, both reals, and the
// centres of destination and source.
struct Disc {
    double R, A, cxd, cyd;
    double Ws, Hs, cxs, cys;
};

inline Disc MakeDisc(const Rect &d, const Source &s)
{
    Disc c;
    c.R = ((double)d.y2 - d.y0) / 2;
    c.A = ((double)d.x2 - d.x0) / 2;
    c.cxd = ((double)d.x0 + d.x2) / 2;
    c.cyd = ((double)d.y0 + d.y2) / 2;
    c.Ws = ((double)s.right - s.left) / 2;
    c.Hs = ((double)s.bottom - s.top) / 2;
    c.cxs = ((double)s.left + s.right) / 2;
    c.cys = ((double)s.top + s.bottom) / 2;
    return c;
}

// The pixel (x, y) in disc coordinates (u, v), u scaled by R / A so the handle ellipse becomes the
// circle of radius R; false for pixels outside that circle. A destination one pixel wide has
// A = 0: its only column is the vertical diameter.
inline bool DiscPoint(const Disc &c, int x, int y, double *u, double *v)
{
    *v = y - c.cyd;
    *u = c.A == 0 ? 0.0 : (x - c.cxd) * c.R / c.A;
    return sqrt(*u * *u + *v * *v) <= c.R;
}

// Half the chord through a: sqrt(R^2 - a^2), 0 at the poles and beyond.
inline double HalfChord(double R, double a)
{
    double s = R * R - a * a;
    return s > 0 ? sqrt(s) : 0.0;
}

// The linear chord function b / sqrt(R^2 - a^2), kept to -1..1; at a pole (chord 0) the point
// is its end, so it samples the source edge on its own side, or the middle when b is 0.
inline double ChordLinear(double R, double a, double b)
{
    if (b == 0)
        return 0.0;
    double half = HalfChord(R, a);
    if (fabs(b) >= half)
        return b < 0 ? -1.0 : 1.0;
    return b / half;
}

// The arc chord function: the angle of b along its chord, arcsin(|b| / sqrt(R^2 - a^2)) scaled
// to -1..1 with the sign of b; ends and poles as for ChordLinear.
inline double ChordArc(double R, double a, double b)
{
    if (b == 0)
        return 0.0;
    double half = HalfChord(R, a);
    double ab = fabs(b);
    double angle;
    if (ab >= half) {
        angle = kArcScale;
    } else {
        double d = R * ab / half;
        double e2 = R * R - d * d;
        angle = e2 > 0 ? atan(d / sqrt(e2)) : kArcScale;
    }
    double f = angle / kArcScale;
    return b < 0 ? -f : f;
}

} // namespace tf
