// Smooth cubic curves through clicked points, shared by the open, the closed and the filled
// closed module. Knots get chord-length parameters from 0 to 1; the coefficients are a sixth of
// the second derivative at each knot, with natural ends for an open curve and a periodic system
// for a closed one. A figure ends with a second click on the spot of the previous click.
#pragma once
#include "drawmodule.h"
#include <math.h>

namespace draw {

const int kMaxKnots = 2048;
const int kSamplesPerInterval = 16;

struct SplineCurve {
    double x[kMaxKnots], y[kMaxKnots], t[kMaxKnots], mx[kMaxKnots], my[kMaxKnots];
    int knots;   // knots held, the closing one included
    bool closed; // the last knot is the first one again

    // Knots that repeat the one before are dropped: an interval of length 0 has no parameter
    // step to divide by. Past the arrays, further knots are ignored.
    void Start(bool closedCurve) { knots = 0, closed = closedCurve; }
    void Add(QzPoint p)
    {
        if (knots > 0 && x[knots - 1] == p.x && y[knots - 1] == p.y)
            return;
        if (knots < kMaxKnots) {
            x[knots] = p.x, y[knots] = p.y;
            knots++;
        }
    }
    // The points of the list, leaving room in the arrays for the pointer and the closing knot.
    void AddList()
    {
        int n = QzsGetHowManyPoints();
        for (int i = 0; i < n && knots < kMaxKnots - 2; i++) {
            QzPoint p;
            if (Point(i, &p))
                Add(p);
        }
    }
    // A closed curve ends on its first knot; intervals() counts the knots' intervals.
    void Close()
    {
        if (knots > 1 && (x[knots - 1] != x[0] || y[knots - 1] != y[0])) {
            if (knots == kMaxKnots)
                knots--;
            x[knots] = x[0], y[knots] = y[0];
            knots++;
        }
    }
    int Intervals() const { return knots > 0 ? knots - 1 : 0; }

    // Parameters and coefficients; false when there are not two distinct knots (or, closed, no
    // loop of two intervals) to run a curve through.
    bool Prepare()
    {
        int m = Intervals();
        if (m < 1 || (closed && m < 2))
            return false;
        t[0] = 0;
        for (int i = 1; i <= m; i++)
            t[i] = t[i - 1] + sqrt((x[i] - x[i - 1]) * (x[i] - x[i - 1]) + (y[i] - y[i - 1]) * (y[i] - y[i - 1]));
        double total = t[m];
        for (int i = 1; i <= m; i++)
            t[i] /= total;
        t[m] = 1;
        Coefficients(x, mx);
        Coefficients(y, my);
        return true;
    }

    // The point at parameter u (0 <= u < 1), rounded.
    QzPoint At(double u) const
    {
        int m = Intervals();
        if (closed)
            u -= floor(u);
        int lo = 0, hi = m;
        while (hi - lo > 1) {
            int mid = (lo + hi) / 2;
            if (t[mid] <= u)
                lo = mid;
            else
                hi = mid;
        }
        return QzPoint{Round(Value(x, mx, lo, u)), Round(Value(y, my, lo, u))};
    }

private:
    static int Round(double v)
    {
        v += 0.5;
        return v <= INT32_MIN ? INT32_MIN : v >= INT32_MAX ? INT32_MAX : (int)v;
    }
    double Value(const double *v, const double *m, int lo, double u) const
    {
        double c = u - t[lo], d = t[lo + 1] - t[lo], s = (v[lo + 1] - v[lo]) / d;
        return v[lo] + c * (s - d * (2 * m[lo] + m[lo + 1]) + c * (3 * m[lo] + c * (m[lo + 1] - m[lo]) / d));
    }
    // The slope of interval i.
    double Slope(const double *v, int i) const { return (v[i + 1] - v[i]) / (t[i + 1] - t[i]); }

    // h(i-1) M(i-1) + 2 (h(i-1) + h(i)) M(i) + h(i) M(i+1) = s(i) - s(i-1) at every inner knot,
    // round the loop for a closed curve.
    void Coefficients(const double *v, double *m)
    {
        int n = Intervals();
        if (!closed) {
            m[0] = m[n] = 0;
            if (n < 2)
                return;
            // Forward elimination over the inner knots 1 .. n - 1, then back substitution.
            static double diag[kMaxKnots], rhs[kMaxKnots];
            for (int i = 1; i < n; i++) {
                double hl = t[i] - t[i - 1], hr = t[i + 1] - t[i];
                diag[i] = 2 * (hl + hr);
                rhs[i] = Slope(v, i) - Slope(v, i - 1);
                if (i > 1) {
                    double f = hl / diag[i - 1];
                    diag[i] -= f * hl;
                    rhs[i] -= f * rhs[i - 1];
                }
            }
            for (int i = n - 1; i >= 1; i--)
                m[i] = (rhs[i] - (i < n - 1 ? (t[i + 1] - t[i]) * m[i + 1] : 0)) / diag[i];
            return;
        }
        SolvePeriodic(v, m, n);
        m[n] = m[0];
    }

    // The cyclic system of the n knots 0 .. n - 1 of a closed curve (n >= 2), by elimination
    // with the last unknown carried along as a second right-hand column.
    void SolvePeriodic(const double *v, double *m, int n)
    {
        auto h = [&](int i) { return t[(i + n) % n + 1] - t[(i + n) % n]; };
        auto s = [&](int i) { return Slope(v, (i + n) % n); };
        if (n == 2) {
            // Both neighbours of a knot are the other knot.
            double a00 = 2 * (h(-1) + h(0)), a01 = h(-1) + h(0), a10 = h(0) + h(1), a11 = 2 * (h(0) + h(1));
            double r0 = s(0) - s(-1), r1 = s(1) - s(0), det = a00 * a11 - a01 * a10;
            m[0] = (r0 * a11 - a01 * r1) / det;
            m[1] = (a00 * r1 - a10 * r0) / det;
            return;
        }
        // Rows 0 .. n - 2 in the unknowns 0 .. n - 2, each with a column for unknown n - 1:
        // diag(i) M(i) + up(i) M(i+1) + last(i) M(n-1) = rhs(i).
        static double diag[kMaxKnots], up[kMaxKnots], last[kMaxKnots], rhs[kMaxKnots];
        for (int i = 0; i <= n - 2; i++) {
            diag[i] = 2 * (h(i - 1) + h(i));
            up[i] = i < n - 2 ? h(i) : 0;
            last[i] = (i == 0 ? h(-1) : 0) + (i == n - 2 ? h(i) : 0);
            rhs[i] = s(i) - s(i - 1);
            if (i > 0) {
                double f = h(i - 1) / diag[i - 1];
                diag[i] -= f * up[i - 1];
                last[i] -= f * last[i - 1];
                rhs[i] -= f * rhs[i - 1];
            }
        }
        // M(i) = p(i) + q(i) M(n-1), from the bottom row up.
        static double p[kMaxKnots], q[kMaxKnots];
        for (int i = n - 2; i >= 0; i--) {
            double nextP = i < n - 2 ? p[i + 1] : 0, nextQ = i < n - 2 ? q[i + 1] : 0;
            p[i] = (rhs[i] - up[i] * nextP) / diag[i];
            q[i] = (-last[i] - up[i] * nextQ) / diag[i];
        }
        // The row of knot n - 1: h(n-2) M(n-2) + 2 (h(n-2) + h(n-1)) M(n-1) + h(n-1) M(0).
        double a = h(n - 2), b = 2 * (h(n - 2) + h(n - 1)), c = h(n - 1);
        double r = s(n - 1) - s(n - 2);
        m[n - 1] = (r - a * p[n - 2] - c * p[0]) / (b + a * q[n - 2] + c * q[0]);
        for (int i = 0; i <= n - 2; i++)
            m[i] = p[i] + q[i] * m[n - 1];
    }
};

// The figure's remembered click: a second click on it ends the figure.
struct ClickMemory {
    QzPoint spot = {-100, -100};

    int SetPoint(int x, int y)
    {
        bool started = QzsGetHowManyPoints() > 0;
        if (started && x == spot.x && y == spot.y) {
            spot = QzPoint{-100, -100};
            return 4;
        }
        if (started)
            spot = QzPoint{x, y};
        QzPoint p = {x, y};
        QzsSetNewEntryPoint(&p);
        return 1;
    }
    int CancelOne()
    {
        int n = QzsGetHowManyPoints();
        if (n <= 0) {
            MessageBoxA(NULL, "Strange internal status", "SYSerr", MB_OK);
            return 4;
        }
        Point(n - 1, &spot);
        QzsDeletePoint();
        return n > 1 ? 1 : 4;
    }
};

// The samples of a prepared curve, 16 per interval (per knot for an open curve), each one
// handed on that lies more than a pixel from the last one handed on, starting from `from`.
// Returns the last point handed on.
template <class F> QzPoint ForEachSample(const SplineCurve &curve, QzPoint from, F sample)
{
    int64_t count = (int64_t)kSamplesPerInterval * (curve.closed ? curve.Intervals() : curve.knots);
    for (int64_t j = 0; j < count; j++) {
        QzPoint p = curve.At((double)j / (double)count);
        int64_t dx = (int64_t)p.x - from.x, dy = (int64_t)p.y - from.y;
        if ((dx < 0 ? -dx : dx) + (dy < 0 ? -dy : dy) >= 2) {
            sample(from, p);
            from = p;
        }
    }
    return from;
}

// The rubber band of the figure with the pointer as its next point: shown or restored.
inline int SplineGuide(SplineCurve &curve, bool closed, ImageWindow *window, int x, int y, int show, int refresh)
{
    int n = QzsGetHowManyPoints();
    QzPoint first, mouse = {x, y};
    if (n <= 0 || !Point(0, &first))
        return 1;
    if (n == 1) {
        QzsEorLine(window, first.x, first.y, x, y, show, refresh);
        return 1;
    }
    curve.Start(closed);
    curve.AddList();
    curve.Add(mouse);
    if (closed) {
        curve.Close();
        if (curve.Intervals() <= 1) {
            QzsEorLine(window, first.x, first.y, x, y, show, refresh);
            return 4;
        }
    }
    if (!curve.Prepare()) {
        QzsEorLine(window, first.x, first.y, x, y, show, refresh);
        return 1;
    }
    QzPoint last = ForEachSample(curve, first, [&](QzPoint a, QzPoint b) { QzsEorLine(window, a.x, a.y, b.x, b.y, show, 0); });
    QzPoint end = closed ? first : mouse;
    QzsEorLine(window, last.x, last.y, end.x, end.y, show, refresh);
    return 1;
}

} // namespace draw

// The entries that take and give back clicks, around the module's remembered click.
#ifdef QZ_DRAW_FIGURE
#define QZ_CLICK_ENTRIES(memory)
#else
#define QZ_CLICK_ENTRIES(memory)                                                                              \
    QZC_EXPORT(int) QzcSetPoint(ImageWindow *, int x, int y, int) { return memory.SetPoint(x, y); }            \
    QZC_EXPORT(int) QzcCancelOne(ImageWindow *, int, int) { return memory.CancelOne(); }
#endif
