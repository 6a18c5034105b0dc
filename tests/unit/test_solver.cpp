// The linear equation solver: solved systems (identity, one equation, systems that need a row
// exchange, an 8 x 8 projective fit), singular ones, refused sizes, and its inputs left alone.
#include "ovrin.h"
#include <gtest/gtest.h>
#include <math.h>
#include <vector>

namespace {

struct System {
    const char *name;
    int n;
    std::vector<double> a, b, x; // x: the known solution
};

// The eight coefficients of a projective map (u, v) = ((ax + by + c) / w, (dx + ey + f) / w) with
// w = gx + hy + 1, fitted from the images of four corners.
System ProjectiveFit()
{
    const double h[8] = {1.2, 0.1, 5.0, -0.2, 0.9, 3.0, 0.001, 0.002};
    const double corners[4][2] = {{0, 0}, {100, 0}, {100, 80}, {0, 80}};
    System s{"projective fit", 8, {}, {}, std::vector<double>(h, h + 8)};
    for (const auto &c : corners) {
        double x = c[0], y = c[1], w = h[6] * x + h[7] * y + 1;
        double u = (h[0] * x + h[1] * y + h[2]) / w, v = (h[3] * x + h[4] * y + h[5]) / w;
        const double rowU[8] = {x, y, 1, 0, 0, 0, -u * x, -u * y}, rowV[8] = {0, 0, 0, x, y, 1, -v * x, -v * y};
        s.a.insert(s.a.end(), rowU, rowU + 8);
        s.b.push_back(u);
        s.a.insert(s.a.end(), rowV, rowV + 8);
        s.b.push_back(v);
    }
    return s;
}

} // namespace

TEST(Solver, SolvesAndLeavesItsInputs)
{
    std::vector<System> systems = {
        {"identity", 3, {1, 0, 0, 0, 1, 0, 0, 0, 1}, {7, -2, 0.5}, {7, -2, 0.5}},
        {"one equation", 1, {4}, {2}, {0.5}},
        {"first pivot zero", 2, {0, 1, 1, 0}, {3, 5}, {5, 3}},
        {"rows in reverse", 3, {0, 0, 2, 0, 3, 1, 1, 1, 1}, {6, 9, 6}, {1, 2, 3}},
        {"scaled rows", 3, {1e-6, 1, 1, 2e6, 1e6, 0, 1, 2, 3}, {3 + 1e-6, 4e6, 8}, {1, 2, 1}},
        ProjectiveFit(),
    };
    for (const System &s : systems) {
        std::vector<double> a = s.a, b = s.b, x(s.n, -99);
        ASSERT_EQ(QzsSolveSystemOfLinearEquations(s.n, a.data(), b.data(), x.data()), 1) << s.name;
        for (int i = 0; i < s.n; i++)
            EXPECT_NEAR(x[i], s.x[i], 1e-9 * (1 + fabs(s.x[i]))) << s.name << " x" << i;
        EXPECT_EQ(a, s.a) << s.name;
        EXPECT_EQ(b, s.b) << s.name;
    }
}

TEST(Solver, SingularSystemsAndRefusedSizesWriteNothing)
{
    struct Case {
        const char *name;
        int n;
        std::vector<double> a;
        int result;
    } cases[] = {
        {"zero row", 3, {1, 2, 3, 0, 0, 0, 4, 5, 6}, -2},
        {"equal rows", 3, {1, 2, 3, 1, 2, 3, 0, 1, 7}, -2},
        {"dependent rows", 2, {1, 2, 2, 4}, -2},
        {"all zero", 1, {0}, -2},
        {"no equations", 0, {1}, -2},
        {"negative size", -3, {1}, -2},
        // 2 PB of work copy, more than the address space (refused at once); a is never read
        {"no memory for the copy", 1 << 24, {1}, -1},
    };
    for (const Case &c : cases) {
        std::vector<double> a = c.a, b(3, 1.0), x(3, -99);
        EXPECT_EQ(QzsSolveSystemOfLinearEquations(c.n, a.data(), b.data(), x.data()), c.result) << c.name;
        EXPECT_EQ(x, std::vector<double>(3, -99)) << c.name;
        EXPECT_EQ(a, c.a) << c.name;
    }
    double one = 1, out = -99;
    EXPECT_EQ(QzsSolveSystemOfLinearEquations(1, nullptr, &one, &out), -2);
    EXPECT_EQ(QzsSolveSystemOfLinearEquations(1, &one, &one, nullptr), -2);
}
