// The stepping of the drawing primitives: from (x1, y1) to (x2, y2) in max(|dx|, |dy|) + 1 steps,
// both ends visited, the shorter axis moving when the error term turns non-negative. Any point of the
// walk is found without walking to it, so far-away ends cost nothing outside the area looked at.
#pragma once
#include <stdint.h>

inline int AbsInt(int v) { return v < 0 ? -v : v; }
inline int SignInt(int v) { return v > 0 ? 1 : v < 0 ? -1 : 0; }

struct LineSteps {
    int64_t x1, y1;
    uint64_t ax, ay; // |dx|, |dy|
    int sx, sy;
    bool steep;      // |dx| < |dy|: one step per row
    int64_t last;    // index of the last step

    LineSteps(int fromX, int fromY, int toX, int toY)
    {
        int64_t dx = (int64_t)toX - fromX, dy = (int64_t)toY - fromY;
        x1 = fromX, y1 = fromY;
        ax = (uint64_t)(dx < 0 ? -dx : dx), ay = (uint64_t)(dy < 0 ? -dy : dy);
        sx = dx > 0 ? 1 : dx < 0 ? -1 : 0, sy = dy > 0 ? 1 : dy < 0 ? -1 : 0;
        steep = ax < ay;
        last = (int64_t)(steep ? ay : ax);
    }

    // Moves of the shorter axis after k steps: round(k x short / long), halves rounded up, as the
    // error term of the walk gives them. k x short stays below 2^64.
    static int64_t Moves(uint64_t k, uint64_t shortSide, uint64_t longSide)
    {
        if (longSide == 0)
            return 0;
        uint64_t p = k * shortSide, q = p / longSide, r = p % longSide;
        return (int64_t)(q + (2 * r >= longSide ? 1 : 0));
    }

    int64_t X(int64_t k) const { return x1 + sx * (steep ? Moves((uint64_t)k, ax, ay) : k); }
    int64_t Y(int64_t k) const { return y1 + sy * (steep ? k : Moves((uint64_t)k, ay, ax)); }

    // The steps whose points lie in the box (inclusive): first..lastStep; false when there are none.
    bool InBox(int64_t left, int64_t top, int64_t right, int64_t bottom, int64_t *first, int64_t *lastStep) const
    {
        int64_t a = 0, b = last;
        Narrow(true, left, right, &a, &b);
        Narrow(false, top, bottom, &a, &b);
        *first = a, *lastStep = b;
        return a <= b;
    }

    // The steps on row y: first..lastStep; false when the walk never reaches the row.
    bool OnRow(int64_t y, int64_t *first, int64_t *lastStep) const
    {
        int64_t a = 0, b = last;
        Narrow(false, y, y, &a, &b);
        *first = a, *lastStep = b;
        return a <= b;
    }

private:
    int64_t At(bool xAxis, int64_t k) const { return xAxis ? X(k) : Y(k); }

    // First step in [0, last] at which pred holds, pred being false and then true; last + 1 when never.
    template <class P> int64_t FirstStep(P pred) const
    {
        int64_t lo = 0, hi = last + 1;
        while (lo < hi) {
            int64_t mid = lo + (hi - lo) / 2;
            if (pred(mid))
                hi = mid;
            else
                lo = mid + 1;
        }
        return lo;
    }

    // Both coordinates move one way only, so the steps inside [lo, hi] on one axis are a run.
    void Narrow(bool xAxis, int64_t lo, int64_t hi, int64_t *a, int64_t *b) const
    {
        int s = xAxis ? sx : sy;
        int64_t from, to;
        if (s == 0) {
            int64_t v = At(xAxis, 0);
            from = 0, to = v >= lo && v <= hi ? last : -1;
        } else if (s > 0) {
            from = FirstStep([&](int64_t k) { return At(xAxis, k) >= lo; });
            to = FirstStep([&](int64_t k) { return At(xAxis, k) > hi; }) - 1;
        } else {
            from = FirstStep([&](int64_t k) { return At(xAxis, k) <= hi; });
            to = FirstStep([&](int64_t k) { return At(xAxis, k) < lo; }) - 1;
        }
        *a = from > *a ? from : *a;
        *b = to < *b ? to : *b;
    }
};
