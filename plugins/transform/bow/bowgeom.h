// The bow's geometry: a ring sector round handle 2, its outer radius R, the directions A0 and A1
// of its two edges and its inner radius as the fraction k of R. Handles: 0 and 1 the outer ends
// of the left and right edges, 2 the centre, 3 the inner end of the right edge.
#pragma once
#include "mapgeom.h"

namespace tf {

const double kBowPi = 3.14159265358;
const double kBowHalfPi = 1.57079632679;
const double kBowTwoPi = 6.28318530716;
// q = (rho / R - k) / (1 - k) needs R above 0 and k below 1.
const double kBowMinRadius = 1.0;
const double kBowMaxInner = 0.99;

struct BowPoint {
    int x, y;
};

struct BowState {
    double R, A0, A1, k;
};

// The direction of (dx, dy) (dy growing downward), clockwise from straight up, in -pi..pi.
inline double BowDirection(double dx, double dy)
{
    if (dy == 0)
        return dx >= 0 ? kBowHalfPi : -kBowHalfPi;
    double a = atan(dx / -dy);
    if (dy > 0) {
        if (dx > 0)
            a += kBowPi;
        else if (dx < 0)
            a -= kBowPi;
        else
            a = kBowPi;
    }
    return a;
}

inline double BowDistance(double dx, double dy) { return sqrt(dx * dx + dy * dy); }

inline int BowClampInt(double v)
{
    return v < -2147483648.0 ? (-2147483647 - 1) : v > 2147483647.0 ? 2147483647 : (int)v;
}

// The point at distance d from the centre in direction a.
inline BowPoint BowPointAt(BowPoint c, double d, double a)
{
    BowPoint p;
    p.x = BowClampInt((double)c.x + (double)(long long)(d * sin(a) + 0.5));
    p.y = BowClampInt((double)c.y + (double)(long long)(-d * cos(a) + 0.5));
    return p;
}

inline double BowRadius(double r) { return r < kBowMinRadius ? kBowMinRadius : r; }
inline double BowInner(double k) { return k > kBowMaxInner ? kBowMaxInner : k < 0 ? 0.0 : k; }

// The handles and state for the source rectangle l, t, r, b.
inline void BowStart(int l, int t, int r, int b, BowState *s, BowPoint h[4])
{
    h[0] = BowPoint{l, t};
    h[1] = BowPoint{r, t};
    h[2] = BowPoint{(int)(((long long)l + r) / 2), (int)(((long long)t + b) / 2)};
    double dx0 = (double)l - h[2].x, dy0 = (double)t - h[2].y;
    s->R = BowRadius(BowDistance(dx0, dy0));
    s->A0 = BowDirection(dx0, dy0);
    s->A1 = BowDirection((double)r - h[2].x, (double)t - h[2].y);
    s->k = 0.2;
    h[3] = BowPointAt(h[2], s->R * s->k, s->A1);
}

// Handle index dragged from (oldX, oldY) to (newX, newY); false for an index that is not a handle.
inline bool BowDrag(BowState *s, BowPoint h[4], int index, int oldX, int oldY, int newX, int newY)
{
    BowPoint c = h[2];
    double dx = (double)newX - c.x, dy = (double)newY - c.y;
    switch (index) {
    case 0:
        h[0] = BowPoint{newX, newY};
        s->R = BowRadius(BowDistance(dx, dy));
        s->A0 = BowDirection(dx, dy);
        h[1] = BowPointAt(c, s->R, s->A1);
        break;
    case 1:
        s->A1 = BowDirection(dx, dy);
        h[1] = BowPointAt(c, s->R, s->A1);
        break;
    case 2: {
        long long mx = (long long)newX - oldX, my = (long long)newY - oldY;
        for (int i = 0; i < 4; i++)
            h[i] = BowPoint{BowClampInt((double)(h[i].x + mx)), BowClampInt((double)(h[i].y + my))};
        return true;
    }
    case 3:
        s->k = BowInner(BowDistance(dx, dy) / s->R);
        break;
    default:
        return false;
    }
    h[3] = BowPointAt(c, s->R * s->k, s->A1);
    return true;
}

// A1 moved past A0 by a full turn when it lies before A0: the sector then goes the long way round.
inline double BowEnd(const BowState &s) { return s.A1 < s.A0 ? s.A1 + kBowTwoPi : s.A1; }

struct BowArea {
    int left, top, right, bottom;
};

// The bounding box of handles 0, 1 and 2, widened where the outer arc passes straight up, right,
// down or left of the centre.
inline BowArea BowAreaOf(const BowState &s, const BowPoint h[4])
{
    BowArea a{h[0].x, h[0].y, h[0].x, h[0].y};
    for (int i = 1; i < 3; i++) {
        a.left = h[i].x < a.left ? h[i].x : a.left;
        a.right = h[i].x > a.right ? h[i].x : a.right;
        a.top = h[i].y < a.top ? h[i].y : a.top;
        a.bottom = h[i].y > a.bottom ? h[i].y : a.bottom;
    }
    double end = BowEnd(s);
    double e = (double)(long long)(s.R + 0.9);
    BowPoint c = h[2];
    if ((s.A0 < 0 && 0 < end) || end > kBowTwoPi)
        a.top = BowClampInt(c.y - e);
    if ((s.A0 < kBowHalfPi && kBowHalfPi < end) || end > 7.85398163395)
        a.right = BowClampInt(c.x + e);
    if (end > kBowPi)
        a.bottom = BowClampInt(c.y + e);
    if ((s.A0 < -kBowHalfPi && -kBowHalfPi < end) || end > 4.71238898037)
        a.left = BowClampInt(c.x - e);
    return a;
}

// The source position of (x, y) around centre c; false for pixels outside the sector (so a source
// smaller than the picture is not smeared round it) and when the sector has no width (A1 = A0).
inline bool BowSource(const BowState &s, BowPoint c, const Source &src, int x, int y, double *sx, double *sy)
{
    double end = BowEnd(s);
    double span = end - s.A0;
    double R = BowRadius(s.R), k = BowInner(s.k);
    if (!(span > 0))
        return false;
    double dx = (double)x - c.x, dy = (double)y - c.y;
    double a = BowDirection(dx, dy);
    if (!(s.A0 <= 0 && end <= 0) && a < s.A0)
        a += kBowTwoPi;
    double t = (a - s.A0) / span;
    double q = (BowDistance(dx, dy) / R - k) / (1 - k);
    if (!(t >= 0 && t <= 1 && q >= 0 && q <= 1))
        return false;
    *sx = t * (double)src.W + src.left;
    *sy = (1 - q) * (double)src.H + src.top;
    return Finite(*sx) && Finite(*sy);
}

} // namespace tf
