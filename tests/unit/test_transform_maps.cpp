// The transform mappings as functions: destination pixels mapped back to source positions
// computed here from the geometry of each body, the bow's handle rules, the inverse bilinear map
// against its forward map, the projective and bilinear fits, and the degenerate shapes.
#include "ovrin.h"
#include "bowgeom.h"
#include "conemap.h"
#include "cylindermap.h"
#include "distortmap.h"
#include "kitemap.h"
#include "lumemap.h"
#include "marlmap.h"
#include "nookmap.h"
#include <gtest/gtest.h>
#include <math.h>

using namespace tf;

namespace {

Rect Box(int x0, int y0, int x2, int y2) { return Rect{x0, y0, x2, y2, (int64_t)x2 - x0 + 1, (int64_t)y2 - y0 + 1}; }

const double kTrue = 3.14159265358979;

// The source column a cylinder of radius r shows at offset t: arccos(1 - t / r) of the half turn.
double CylinderColumn(double W, double r, double t) { return W * acos(1 - t / r) / kTrue; }

// The angle of b along the chord at a on a circle of radius R, as a fraction of a quarter turn.
double ArcFraction(double R, double a, double b) { return asin(b / sqrt(R * R - a * a)) / (kTrue / 2); }

} // namespace

TEST(TransformMaps, CylinderWrapsAcrossTheWidth)
{
    Rect d = Box(10, 20, 29, 39); // w = h = 20, R = 10
    Source s(nullptr, 5, 0, 104, 49, 0); // W = 100, H = 50
    const int columns[] = {10, 13, 15, 20, 25, 29};
    for (int x : columns) {
        double sx, sy;
        CylinderSource(d, s, x, 30, &sx, &sy);
        EXPECT_NEAR(sx, CylinderColumn(100, 10, x - 10) + 5, 1e-4) << x;
        EXPECT_DOUBLE_EQ(sy, 25.0);
    }
}

TEST(TransformMaps, ConeRowsNarrowToTheApex)
{
    Rect d = Box(0, 0, 20, 10); // w = 21, h = 11, R = 10.5
    Source s(nullptr, 0, 0, 99, 109, 0);
    ConeRow top = ConeRowAt(d, 0);
    EXPECT_EQ(top.xl, 10);
    EXPECT_EQ(top.xr, 10);
    double sx, sy;
    ConeSource(d, s, top, 10, 0, &sx, &sy);
    EXPECT_NEAR(sx, 50.0, 1e-4);
    EXPECT_DOUBLE_EQ(sy, 0.0);

    ConeRow row = ConeRowAt(d, 10);
    double r = 10.0 / 11 * 10.5;
    EXPECT_EQ(row.xl, (long long)(10.5 - r));
    EXPECT_EQ(row.xr, (long long)(10.5 + r));
    for (int x = (int)row.xl; x <= row.xr; x++) {
        ConeSource(d, s, row, x, 10, &sx, &sy);
        double t = x - row.xl;
        // The last pixel of a truncated row lies past the diameter: it keeps the right edge.
        double expect = t > 2 * r ? 100.0 : CylinderColumn(100, r, t);
        EXPECT_NEAR(sx, expect, 1e-4) << x;
        EXPECT_DOUBLE_EQ(sy, 100.0);
    }
}

TEST(TransformMaps, DiscMappingsSampleAlongChords)
{
    Rect d = Box(0, 0, 40, 20); // R = 10, A = 20, centre (20, 10): the ellipse squeezed to a circle
    Source s(nullptr, 0, 0, 100, 50, 0);
    Disc c = MakeDisc(d, s);
    double sx, sy, nz;
    ASSERT_TRUE(CircleSource(c, 20, 10, &sx, &sy));
    EXPECT_DOUBLE_EQ(sx, 50.0);
    EXPECT_DOUBLE_EQ(sy, 25.0);
    ASSERT_TRUE(SphereSource(c, 20, 10, &sx, &sy, &nz));
    EXPECT_DOUBLE_EQ(sx, 50.0);
    EXPECT_DOUBLE_EQ(nz, 10.0);
    for (int x = 0; x <= 40; x += 5) { // the horizontal diameter: the middle row, linearly
        ASSERT_TRUE(CircleSource(c, x, 10, &sx, &sy));
        EXPECT_NEAR(sx, x * 2.5, 1e-9);
        EXPECT_DOUBLE_EQ(sy, 25.0);
    }
    struct {
        int x, y;
    } points[] = {{25, 14}, {12, 7}, {33, 12}, {20, 3}};
    for (auto p : points) {
        double u = (p.x - 20) * 0.5, v = p.y - 10.0;
        ASSERT_TRUE(CircleSource(c, p.x, p.y, &sx, &sy));
        EXPECT_NEAR(sx, u / sqrt(100 - v * v) * 50 + 50, 1e-9);
        EXPECT_NEAR(sy, v / sqrt(100 - u * u) * 25 + 25, 1e-9);
        ASSERT_TRUE(SphereSource(c, p.x, p.y, &sx, &sy, &nz));
        EXPECT_NEAR(sx, ArcFraction(10, v, u) * 50 + 50, 1e-6);
        EXPECT_NEAR(sy, ArcFraction(10, u, v) * 25 + 25, 1e-6);
        EXPECT_NEAR(nz, sqrt(100 - u * u - v * v), 1e-9);
    }
    EXPECT_FALSE(CircleSource(c, 0, 0, &sx, &sy));
    EXPECT_FALSE(SphereSource(c, 40, 20, &sx, &sy, &nz));
}

TEST(TransformMaps, BowStartsOnTheSourceRectangle)
{
    BowState st;
    BowPoint h[4];
    BowStart(0, 0, 200, 100, &st, h);
    double R = sqrt(100.0 * 100 + 50 * 50);
    EXPECT_EQ(h[2].x, 100);
    EXPECT_EQ(h[2].y, 50);
    EXPECT_DOUBLE_EQ(st.R, R);
    EXPECT_NEAR(st.A0, -atan(2.0), 1e-9);
    EXPECT_NEAR(st.A1, atan(2.0), 1e-9);
    EXPECT_DOUBLE_EQ(st.k, 0.2);
    // R / 5 towards (200, 0) is (20, -10) from the centre; trunc(-10 + 0.5) rounds towards zero.
    EXPECT_EQ(h[3].x, 120);
    EXPECT_EQ(h[3].y, 41);
    BowArea a = BowAreaOf(st, h);
    EXPECT_EQ(a.top, 50 - (int)(R + 0.9)); // the arc passes straight up
    EXPECT_EQ(a.left, 0);
    EXPECT_EQ(a.right, 200);
    EXPECT_EQ(a.bottom, 50);

    // The top corners are the ends of the source's top edge; straight up, the middle column.
    Source s(nullptr, 0, 0, 199, 99, 0);
    double sx, sy;
    ASSERT_TRUE(BowSource(st, h[2], s, 0, 0, &sx, &sy));
    EXPECT_NEAR(sx, 0.0, 1e-9);
    EXPECT_NEAR(sy, 0.0, 1e-9);
    ASSERT_TRUE(BowSource(st, h[2], s, 100, -10, &sx, &sy));
    EXPECT_NEAR(sx, 100.0, 1e-9);
    EXPECT_NEAR(sy, (1 - (60 / R - 0.2) / 0.8) * 100, 1e-9);
    // Inside the inner arc, beyond the outer one, and round past the edges: not in the sector.
    EXPECT_FALSE(BowSource(st, h[2], s, 100, 45, &sx, &sy));
    EXPECT_FALSE(BowSource(st, h[2], s, 100, -70, &sx, &sy));
    EXPECT_FALSE(BowSource(st, h[2], s, 0, 100, &sx, &sy));
}

TEST(TransformMaps, BowDragRules)
{
    double R = sqrt(12500.0);
    struct Case {
        const char *name;
        int index, oldX, oldY, newX, newY;
        BowPoint h0, h1, h2, h3;
        double R, A0, A1, k;
    } cases[] = {
        // handle 1 keeps its distance, only its direction follows
        {"right end", 1, 200, 0, 300, 50, {0, 0}, {100 + (int)(R + 0.5), 50}, {100, 50}, {122, 50}, R, -atan(2.0),
         kTrue / 2, 0.2},
        // handle 0 sets the radius and the left direction; the right end follows at the new radius
        {"left end", 0, 0, 0, 100, -50, {100, -50}, {189, 6}, {100, 50}, {118, 42}, 100, 0, atan(2.0), 0.2},
        // handle 3 sets the inner radius
        {"inner", 3, 120, 40, 100, 50 - (int)(R / 2), {0, 0}, {200, 0}, {100, 50}, {149, 26}, R, -atan(2.0),
         atan(2.0), (int)(R / 2) / R},
        // the centre carries every handle along and keeps the shape
        {"centre", 2, 100, 50, 110, 55, {10, 5}, {210, 5}, {110, 55}, {130, 46}, R, -atan(2.0), atan(2.0), 0.2},
        // handle 3 dragged beyond the outer arc stays inside it
        {"inner beyond", 3, 120, 40, 100, -400, {0, 0}, {200, 0}, {100, 50}, {199, 1}, R, -atan(2.0), atan(2.0),
         kBowMaxInner},
    };
    for (const Case &c : cases) {
        BowState st;
        BowPoint h[4];
        BowStart(0, 0, 200, 100, &st, h);
        ASSERT_TRUE(BowDrag(&st, h, c.index, c.oldX, c.oldY, c.newX, c.newY)) << c.name;
        const BowPoint want[4] = {c.h0, c.h1, c.h2, c.h3};
        for (int i = 0; i < 3; i++) {
            EXPECT_EQ(h[i].x, want[i].x) << c.name << " handle " << i;
            EXPECT_EQ(h[i].y, want[i].y) << c.name << " handle " << i;
        }
        // handle 3 is a rounded point on the right edge: within a pixel of where it is computed here
        EXPECT_NEAR(h[3].x, want[3].x, 1) << c.name;
        EXPECT_NEAR(h[3].y, want[3].y, 1) << c.name;
        EXPECT_NEAR(st.R, c.R, 1e-9) << c.name;
        EXPECT_NEAR(st.A0, c.A0, 1e-9) << c.name;
        EXPECT_NEAR(st.A1, c.A1, 1e-9) << c.name;
        EXPECT_NEAR(st.k, c.k, 1e-9) << c.name;
    }
    BowState st;
    BowPoint h[4];
    BowStart(0, 0, 200, 100, &st, h);
    BowPoint before[4] = {h[0], h[1], h[2], h[3]};
    for (int index : {-1, 4, 1000}) // not a handle: nothing moves
        EXPECT_FALSE(BowDrag(&st, h, index, 0, 0, 50, 50));
    for (int i = 0; i < 4; i++)
        EXPECT_TRUE(h[i].x == before[i].x && h[i].y == before[i].y);
}

TEST(TransformMaps, BowTheLongWayRound)
{
    BowState st{100, 0.5, -0.5, 0.2}; // the right edge before the left one
    BowPoint h[4] = {{148, 12}, {52, 12}, {100, 100}, {90, 82}};
    Source s(nullptr, 0, 0, 99, 99, 0);
    double sx, sy;
    ASSERT_TRUE(BowSource(st, h[2], s, 100, 160, &sx, &sy)); // straight down: half way
    EXPECT_NEAR(sx, (kBowPi - 0.5) / (kBowTwoPi - 1) * 100, 1e-6);
    EXPECT_NEAR(sy, (1 - (0.6 - 0.2) / 0.8) * 100, 1e-9);
    BowArea a = BowAreaOf(st, h);
    EXPECT_EQ(a.bottom, 200);
    EXPECT_EQ(a.left, 0);
    EXPECT_EQ(a.right, 200);
    EXPECT_EQ(a.top, 12); // the arc does not pass straight up
}

TEST(TransformMaps, InverseBilinearUndoesTheForwardMap)
{
    const Quad quads[] = {
        {{10, 90, 80, 20}, {10, 20, 70, 90}},   // convex, no two sides parallel
        {{0, 50, 70, -10}, {0, -5, 40, 30}},    // a kite
        {{10, 30, 40, 20}, {10, 10, 30, 30}},   // a parallelogram: the linear case
        {{23, 23, 0, 0}, {0, 31, 31, 0}},       // a quarter turn: the top edge straight down
        {{0, 5, -25, -30}, {0, 30, 40, 5}},     // the top edge steep, convex, no two sides parallel
    };
    for (const Quad &q : quads) {
        Bilinear m = MakeBilinear(q);
        for (double u = 0; u <= 1; u += 0.125)
            for (double v = 0; v <= 1; v += 0.125) {
                double x, y, uu = -1, vv = -1;
                BilinearForward(m, u, v, &x, &y);
                ASSERT_TRUE(BilinearInverse(m, x, y, &uu, &vv)) << u << "," << v;
                EXPECT_NEAR(uu, u, 1e-9);
                EXPECT_NEAR(vv, v, 1e-9);
            }
    }
    // The leaning parallelogram: straight, evenly spaced source columns.
    Bilinear m = MakeBilinear(quads[2]);
    EXPECT_EQ(m.A, 0);
    EXPECT_EQ(m.E, 0);
    Source s(nullptr, 0, 0, 20, 40, 0);
    for (int y = 10; y <= 30; y += 4)
        for (int x = 10 + (y - 10) / 2; x <= 30 + (y - 10) / 2; x += 3) {
            double u, v, sx, sy;
            ASSERT_TRUE(BilinearInverse(m, x, y, &u, &v));
            LumeSource(s, u, v, &sx, &sy);
            double ev = (y - 10) / 20.0;
            EXPECT_NEAR(sx, (x - 10 - 10 * ev) / 20 * 20, 1e-9);
            EXPECT_NEAR(sy, ev * 40, 1e-9);
        }
    // Handles on the source rectangle: every pixel is its own source.
    Quad same{{3, 12, 12, 3}, {4, 4, 9, 9}};
    Source r(nullptr, 3, 4, 12, 9, 0);
    Bilinear id = MakeBilinear(same);
    for (int y = 4; y <= 9; y++)
        for (int x = 3; x <= 12; x++) {
            double u, v, sx, sy;
            ASSERT_TRUE(BilinearInverse(id, x, y, &u, &v));
            LumeSource(r, u, v, &sx, &sy);
            EXPECT_NEAR(sx, x, 1e-9);
            EXPECT_NEAR(sy, y, 1e-9);
        }
    double u, v;
    EXPECT_FALSE(BilinearInverse(MakeBilinear(quads[0]), 0, 0, &u, &v)); // outside the quadrilateral
}

TEST(TransformMaps, ProjectiveFitKeepsLinesAndCorners)
{
    // Destination quadrilateral and its source rectangle.
    const double x[4] = {10, 90, 80, 20}, y[4] = {10, 20, 70, 90};
    Source s(nullptr, 0, 0, 100, 60, 0);
    double m[64], rhs[8], k[8];
    ProjectiveSystem(x, y, s, m, rhs);
    ASSERT_EQ(QzsSolveSystemOfLinearEquations(8, m, rhs, k), 1);
    ASSERT_TRUE(CoefficientsFinite(k, 8));
    const double cx[4] = {0, 100, 100, 0}, cy[4] = {0, 0, 60, 60};
    double X, Y;
    for (int j = 0; j < 4; j++) {
        ASSERT_TRUE(ProjectiveSource(k, (int)x[j], (int)y[j], &X, &Y));
        EXPECT_NEAR(X, cx[j], 1e-6);
        EXPECT_NEAR(Y, cy[j], 1e-6);
    }
    // A projective map keeps lines: the diagonals' crossing lands on the rectangle's centre.
    double d1x = 70, d1y = 60, d2x = -70, d2y = 70;
    double t = ((90 - 10) * d2y - (20 - 10) * d2x) / (d1x * d2y - d1y * d2x);
    double px = 10 + t * d1x, py = 10 + t * d1y;
    double w = k[6] * px + k[7] * py + 1;
    EXPECT_NEAR((k[0] * px + k[1] * py + k[2]) / w, 50, 1e-6);
    EXPECT_NEAR((k[3] * px + k[4] * py + k[5]) / w, 30, 1e-6);
    // Points of the top edge stay on the top edge.
    ASSERT_TRUE(ProjectiveSource(k, 50, 15, &X, &Y));
    EXPECT_NEAR(Y, 0, 1e-6);
}

TEST(TransformMaps, BilinearFitHitsTheCorners)
{
    const double x[4] = {10, 90, 80, 20}, y[4] = {10, 20, 70, 90};
    Source s(nullptr, 5, 7, 105, 67, 0);
    double m[16], rx[4], ry[4], a[4], b[4];
    DistortSystem(x, y, s, m, rx, ry);
    ASSERT_EQ(QzsSolveSystemOfLinearEquations(4, m, rx, a), 1);
    ASSERT_EQ(QzsSolveSystemOfLinearEquations(4, m, ry, b), 1);
    const double cx[4] = {5, 105, 105, 5}, cy[4] = {7, 7, 67, 67};
    for (int j = 0; j < 4; j++) {
        EXPECT_NEAR(DistortAxis(a, (int)x[j], (int)y[j]), cx[j], 1e-6);
        EXPECT_NEAR(DistortAxis(b, (int)x[j], (int)y[j]), cy[j], 1e-6);
    }
    // Handles on the source rectangle: the identity.
    const double ix[4] = {5, 105, 105, 5}, iy[4] = {7, 7, 67, 67};
    DistortSystem(ix, iy, s, m, rx, ry);
    ASSERT_EQ(QzsSolveSystemOfLinearEquations(4, m, rx, a), 1);
    ASSERT_EQ(QzsSolveSystemOfLinearEquations(4, m, ry, b), 1);
    EXPECT_NEAR(DistortAxis(a, 37, 50), 37, 1e-9);
    EXPECT_NEAR(DistortAxis(b, 37, 50), 50, 1e-9);
}

// Shapes where a formula would divide by zero: each gives either no source position or a finite one.
TEST(TransformMaps, DegenerateShapesGiveDefinedResults)
{
    double sx, sy, nz;
    Source s(nullptr, 0, 0, 99, 49, 0);
    // Disc poles: top and bottom of the vertical diameter, left and right of the horizontal one.
    Disc c = MakeDisc(Box(0, 0, 20, 20), s);
    const int poles[][2] = {{10, 0}, {10, 20}, {0, 10}, {20, 10}};
    for (auto p : poles) {
        ASSERT_TRUE(CircleSource(c, p[0], p[1], &sx, &sy));
        EXPECT_TRUE(Finite(sx) && Finite(sy));
        ASSERT_TRUE(SphereSource(c, p[0], p[1], &sx, &sy, &nz));
        EXPECT_TRUE(Finite(sx) && Finite(sy) && Finite(nz));
    }
    // One pixel wide (A = 0) and one pixel high (R = 0).
    Disc thin = MakeDisc(Box(5, 0, 5, 10), s), flat = MakeDisc(Box(0, 5, 10, 5), s);
    ASSERT_TRUE(SphereSource(thin, 5, 3, &sx, &sy, &nz));
    EXPECT_TRUE(Finite(sx) && Finite(sy));
    ASSERT_TRUE(CircleSource(flat, 5, 5, &sx, &sy));
    EXPECT_TRUE(Finite(sx) && Finite(sy));
    // Cone and cylinder one pixel wide.
    CylinderSource(Box(3, 3, 3, 3), s, 3, 3, &sx, &sy);
    EXPECT_TRUE(Finite(sx) && Finite(sy));
    Rect one = Box(3, 0, 3, 9);
    ConeRow row = ConeRowAt(one, 9);
    for (long long x = row.xl; x <= row.xr; x++) {
        ConeSource(one, s, row, (int)x, 9, &sx, &sy);
        EXPECT_TRUE(Finite(sx) && Finite(sy));
    }
    // Bow: the outer radius 0 (handle 0 on the centre), the inner radius at the outer one, and
    // both edges in one direction (no sector at all).
    BowState st;
    BowPoint h[4];
    BowStart(0, 0, 0, 0, &st, h);
    EXPECT_GT(st.R, 0);
    EXPECT_TRUE(BowSource(st, h[2], s, 0, 0, &sx, &sy) ? Finite(sx) && Finite(sy) : true);
    BowStart(0, 0, 200, 100, &st, h);
    BowDrag(&st, h, 3, 120, 41, h[1].x, h[1].y);
    EXPECT_LT(st.k, 1);
    ASSERT_TRUE(BowSource(st, h[2], s, 100, -61, &sx, &sy)); // the thin ring left at the outer arc
    EXPECT_TRUE(Finite(sx) && Finite(sy));
    BowDrag(&st, h, 0, 0, 0, 100, 50);
    EXPECT_GT(st.R, 0);
    for (int y = 40; y <= 60; y += 5)
        for (int x = 90; x <= 110; x += 5)
            EXPECT_TRUE(!BowSource(st, h[2], s, x, y, &sx, &sy) || (Finite(sx) && Finite(sy)));
    BowStart(0, 0, 200, 100, &st, h);
    st.A1 = st.A0;
    EXPECT_FALSE(BowSource(st, h[2], s, 50, 10, &sx, &sy));
    // Quadrilaterals collapsed to a point and to a line: no candidate, no NaN.
    double u = 7, v = 7;
    EXPECT_FALSE(BilinearInverse(MakeBilinear(Quad{{5, 5, 5, 5}, {5, 5, 5, 5}}), 5, 5, &u, &v));
    Quad line{{0, 10, 20, 30}, {0, 10, 20, 30}};
    for (int p = 0; p <= 30; p += 5) {
        bool found = BilinearInverse(MakeBilinear(line), p, p, &u, &v);
        EXPECT_TRUE(!found || (Finite(u) && Finite(v)));
    }
    // Three handles on one line: the projective and the bilinear fits have no solution.
    const double x[4] = {0, 50, 100, 0}, y[4] = {0, 50, 100, 100};
    double m[64], rhs[8], k[8];
    ProjectiveSystem(x, y, s, m, rhs);
    EXPECT_NE(QzsSolveSystemOfLinearEquations(8, m, rhs, k), 1);
    const double px[4] = {0, 0, 0, 0}, py[4] = {0, 0, 0, 0};
    double m4[16], rx[4], ry[4], a[4];
    DistortSystem(px, py, s, m4, rx, ry);
    EXPECT_NE(QzsSolveSystemOfLinearEquations(4, m4, rx, a), 1);
    // A projective map with w = 0 on a pixel skips it; far-off positions are never rounded.
    const double vanish[8] = {1, 0, 0, 0, 1, 0, -0.1, 0};
    EXPECT_FALSE(ProjectiveSource(vanish, 10, 4, &sx, &sy));
    EXPECT_FALSE(RoundedInside(s, 1e300, 0));
    EXPECT_FALSE(RoundedInside(s, NAN, 0));
    EXPECT_TRUE(RoundedInside(s, 99.4, 48.6));
    EXPECT_FALSE(RoundedInside(s, 99.5, 0));
}
