// The exact inverse of the bilinear map of the unit square onto the quadrilateral P0..P3 (images
// of the source's top-left, top-right, bottom-right and bottom-left corners).
#pragma once
#include "mapgeom.h"

namespace tf {

// Forward map x = x0 + B u + C v + A u v, y = y0 + F u + G v + E u v.
struct Bilinear {
    double x0, y0, A, B, C, E, F, G;
};

inline Bilinear MakeBilinear(const Quad &q)
{
    Bilinear m;
    m.x0 = q.x[0];
    m.y0 = q.y[0];
    m.A = q.x[2] + q.x[0] - q.x[3] - q.x[1];
    m.B = q.x[1] - q.x[0];
    m.C = q.x[3] - q.x[0];
    m.E = q.y[2] + q.y[0] - q.y[3] - q.y[1];
    m.F = q.y[1] - q.y[0];
    m.G = q.y[3] - q.y[0];
    return m;
}

inline void BilinearForward(const Bilinear &m, double u, double v, double *x, double *y)
{
    *x = m.x0 + m.B * u + m.C * v + m.A * u * v;
    *y = m.y0 + m.F * u + m.G * v + m.E * u * v;
}

const double kNoCandidate = -1000.0;

// (u, v) in the unit square whose image is (x, y): the first root of the quadratic in v that
// lands there; false when none does.
inline bool BilinearInverse(const Bilinear &m, double x, double y, double *uOut, double *vOut)
{
    double dx = x - m.x0, dy = y - m.y0;
    double a = m.G * m.A - m.E * m.C;
    double b = m.G * m.B + m.E * dx - m.C * m.F - m.A * dy;
    double c = dx * m.F - m.B * dy;
    double v[2] = {kNoCandidate, kNoCandidate};
    if (a != 0) {
        double disc = b * b - 4 * a * c;
        if (disc >= 0) {
            v[0] = (sqrt(disc) - b) / (2 * a);
            v[1] = (-b - sqrt(disc)) / (2 * a);
        }
    } else if (b != 0) {
        v[0] = v[1] = -c / b;
    }
    for (int i = 0; i < 2; i++) {
        if (v[i] == kNoCandidate)
            continue;
        // u from whichever of the two equations depends on it more: the x equation alone loses u
        // where the top edge runs straight down (a quarter turn), the y one where it runs across.
        double denX = m.B + m.A * v[i], denY = m.F + m.E * v[i];
        double u = kNoCandidate;
        if (fabs(denX) >= fabs(denY) && denX != 0)
            u = (dx - m.C * v[i]) / denX;
        else if (denY != 0)
            u = (dy - m.G * v[i]) / denY;
        if (u >= 0 && u <= 1 && v[i] >= 0 && v[i] <= 1) {
            *uOut = u;
            *vOut = v[i];
            return true;
        }
    }
    return false;
}

// The source position of unit coordinates: the differences right - left and bottom - top span
// the square, so its corners land on the corner pixels.
inline void LumeSource(const Source &s, double u, double v, double *sx, double *sy)
{
    *sx = u * ((double)s.right - s.left) + s.left;
    *sy = v * ((double)s.bottom - s.top) + s.top;
}

} // namespace tf
