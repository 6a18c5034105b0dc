// The spline modules: the clicks that end a figure, the curve through its knots, the closed
// curves' return to the first point, the fill of the flattened curve, and figures with repeated,
// coincident or too many points.
#include "drawmodules_fixture.h"
#include <math.h>

using namespace drawtest;

namespace {

// The picture's pixels a polygon fill should paint: every pixel on an edge line and every pixel
// whose centre lies inside by the even-odd rule.
Pixels EvenOddRaster(const Points &p)
{
    Pixels want;
    size_t n = p.size();
    int top = INT32_MAX, bottom = INT32_MIN, left = INT32_MAX, right = INT32_MIN;
    for (size_t i = 0; i < n; i++) {
        QzPoint a = p[i], b = p[(i + 1) % n];
        top = std::min(top, a.y), bottom = std::max(bottom, a.y), left = std::min(left, a.x), right = std::max(right, a.x);
        int dx = b.x - a.x, dy = b.y - a.y, ax = abs(dx), ay = abs(dy), sx = (dx > 0) - (dx < 0), sy = (dy > 0) - (dy < 0);
        int x = a.x, y = a.y, e = ax < ay ? -ay : -ax;
        for (int k = 0; k <= std::max(ax, ay); k++) {
            want.insert({x, y});
            if (ax < ay) {
                e += 2 * ax, y += sy;
                if (e >= 0)
                    x += sx, e -= 2 * ay;
            } else {
                e += 2 * ay, x += sx;
                if (e >= 0)
                    y += sy, e -= 2 * ax;
            }
        }
    }
    for (int y = top; y <= bottom; y++)
        for (int x = left; x <= right; x++) {
            bool inside = false;
            for (size_t i = 0; i < n; i++) {
                QzPoint a = p[i], b = p[(i + 1) % n];
                if ((a.y <= y) != (b.y <= y) && a.x + (double)(y - a.y) * (b.x - a.x) / (b.y - a.y) > x)
                    inside = !inside;
            }
            if (inside)
                want.insert({x, y});
        }
    return want;
}

// Whether a pixel of the set lies at most two pixels from p (the curve is drawn as lines
// between samples).
bool Near(const Pixels &pixels, QzPoint p)
{
    for (int dy = -2; dy <= 2; dy++)
        for (int dx = -2; dx <= 2; dx++)
            if (pixels.count({p.x + dx, p.y + dy}))
                return true;
    return false;
}

const Points kFigures[] = {
    {{30, 30}, {100, 20}, {170, 60}, {120, 120}, {40, 110}},
    {{20, 75}, {60, 30}, {100, 75}, {140, 120}, {180, 75}},
    {{50, 40}, {150, 40}, {150, 110}},
    {{100, 20}, {104, 90}, {60, 100}, {30, 60}, {90, 50}, {170, 130}},
};

// The curve's samples worked out here from the equations: chord-length parameters, the
// coefficients (a sixth of the second derivative) from a dense elimination of the whole system,
// each interval the cubic with those second derivatives through its two knots. Samples are
// rounded and kept when they lie two steps or more from the last one kept, starting at the
// first knot.
Points ReferenceSamples(const Points &figure, bool closed)
{
    std::vector<double> x, y;
    for (QzPoint p : figure)
        x.push_back(p.x), y.push_back(p.y);
    if (closed && (figure.back().x != figure[0].x || figure.back().y != figure[0].y))
        x.push_back(figure[0].x), y.push_back(figure[0].y);
    size_t last = x.size() - 1; // the last knot; intervals 0 .. last - 1
    std::vector<double> t(last + 1, 0.0);
    for (size_t i = 1; i <= last; i++)
        t[i] = t[i - 1] + hypot(x[i] - x[i - 1], y[i] - y[i - 1]);
    for (double &u : t)
        u /= t[last];
    auto h = [&](size_t i) { return t[i + 1] - t[i]; };

    // Gaussian elimination with partial pivoting on the full matrix.
    auto solve = [](std::vector<std::vector<double>> a, std::vector<double> b) {
        size_t n = b.size();
        for (size_t c = 0; c < n; c++) {
            size_t p = c;
            for (size_t r = c + 1; r < n; r++)
                if (fabs(a[r][c]) > fabs(a[p][c]))
                    p = r;
            std::swap(a[c], a[p]);
            std::swap(b[c], b[p]);
            for (size_t r = c + 1; r < n; r++) {
                double f = a[r][c] / a[c][c];
                for (size_t k = c; k < n; k++)
                    a[r][k] -= f * a[c][k];
                b[r] -= f * b[c];
            }
        }
        std::vector<double> v(n);
        for (size_t c = n; c-- > 0;) {
            double sum = b[c];
            for (size_t k = c + 1; k < n; k++)
                sum -= a[c][k] * v[k];
            v[c] = sum / a[c][c];
        }
        return v;
    };
    // M at every knot for the values v: open, the inner knots with M = 0 at both ends; closed,
    // every knot but the last (which is the first), neighbours taken round the loop.
    auto coefficients = [&](const std::vector<double> &v) {
        std::vector<double> m(last + 1, 0.0);
        auto slope = [&](size_t i) { return (v[i + 1] - v[i]) / h(i); };
        if (closed) {
            size_t n = last;
            std::vector<std::vector<double>> a(n, std::vector<double>(n, 0.0));
            std::vector<double> b(n);
            for (size_t i = 0; i < n; i++) {
                size_t before = (i + n - 1) % n, after = (i + 1) % n;
                a[i][before] += h(before);
                a[i][i] += 2 * (h(before) + h(i));
                a[i][after] += h(i);
                b[i] = slope(i) - slope(before);
            }
            std::vector<double> r = solve(a, b);
            for (size_t i = 0; i < n; i++)
                m[i] = r[i];
            m[last] = m[0];
        } else if (last >= 2) {
            size_t n = last - 1; // unknowns for knots 1 .. last - 1
            std::vector<std::vector<double>> a(n, std::vector<double>(n, 0.0));
            std::vector<double> b(n);
            for (size_t k = 1; k < last; k++) {
                if (k > 1)
                    a[k - 1][k - 2] = h(k - 1);
                a[k - 1][k - 1] = 2 * (h(k - 1) + h(k));
                if (k + 1 < last)
                    a[k - 1][k] = h(k);
                b[k - 1] = slope(k) - slope(k - 1);
            }
            std::vector<double> r = solve(a, b);
            for (size_t k = 1; k < last; k++)
                m[k] = r[k - 1];
        }
        return m;
    };
    std::vector<double> mx = coefficients(x), my = coefficients(y);
    // S = [z0 (T1 - u)^3 + z1 (u - T0)^3] / (6 d) + (v0 / d - z0 d / 6)(T1 - u) + (v1 / d - z1 d / 6)(u - T0)
    // with z = 6 M.
    auto at = [&](const std::vector<double> &v, const std::vector<double> &m, size_t i, double u) {
        double d = h(i), a = t[i + 1] - u, b = u - t[i];
        return (m[i] * a * a * a + m[i + 1] * b * b * b) / d + (v[i] / d - m[i] * d) * a + (v[i + 1] / d - m[i + 1] * d) * b;
    };
    size_t count = 16 * (closed ? last : figure.size());
    Points out;
    QzPoint from = figure[0];
    for (size_t j = 0; j < count; j++) {
        double u = (double)j / (double)count;
        size_t i = 0;
        while (i + 1 < last && t[i + 1] <= u)
            i++;
        QzPoint p = {(int)(at(x, mx, i, u) + 0.5), (int)(at(y, my, i, u) + 0.5)};
        if (abs(p.x - from.x) + abs(p.y - from.y) >= 2) {
            out.push_back(p);
            from = p;
        }
    }
    return out;
}

// Whether pixel p lies within a pixel of the segment a b.
bool NearSegment(Spot p, QzPoint a, QzPoint b)
{
    double dx = b.x - a.x, dy = b.y - a.y, len = dx * dx + dy * dy;
    double k = len > 0 ? ((p.first - a.x) * dx + (p.second - a.y) * dy) / len : 0;
    k = k < 0 ? 0 : k > 1 ? 1 : k;
    return hypot(p.first - (a.x + k * dx), p.second - (a.y + k * dy)) <= 1.0;
}

} // namespace

TEST_F(DrawModulesTest, ASecondClickOnTheLastSpotEndsTheFigure)
{
    const QzPoint a = {10, 10}, b = {50, 20}, c = {30, 60};
    struct Case {
        const char *what;
        Points clicks;
        std::vector<int> results;
        Points list;
    } cases[] = {
        {"A B C C", {a, b, c, c}, {1, 1, 1, 4}, {a, b, c}},
        {"A B C A A", {a, b, c, a, a}, {1, 1, 1, 1, 4}, {a, b, c, a}},
        {"the first point is not remembered", {a, a, b, b}, {1, 1, 1, 4}, {a, a, b}},
    };
    for (const std::string module : {"spline", "dwreed", "dwsage"}) {
        DrawPluginRecord &r = Choose(module);
        for (const Case &k : cases) {
            SCOPED_TRACE(module + ": " + k.what);
            QzsInitPoint();
            std::vector<int> results;
            for (QzPoint p : k.clicks)
                results.push_back(r.QzcSetPoint(w, p.x, p.y, 0));
            EXPECT_EQ(results, k.results);
            EXPECT_EQ(List(), k.list);
        }
        // A point taken back is remembered: a click on its spot ends the figure.
        QzsInitPoint();
        for (QzPoint p : {a, b, c})
            r.QzcSetPoint(w, p.x, p.y, 0);
        EXPECT_EQ(r.QzcCancelOne(w, 0, 0), 1);
        EXPECT_EQ(List(), (Points{a, b}));
        EXPECT_EQ(r.QzcSetPoint(w, c.x, c.y, 0), 4);
        EXPECT_EQ(r.QzcCancelOne(w, 0, 0), 1);
        EXPECT_EQ(r.QzcCancelOne(w, 0, 0), 4); // the last one
        CloseNextDialog(IDOK);
        EXPECT_EQ(r.QzcCancelOne(w, 0, 0), 4);
        EXPECT_EQ(ClosedDialogTitle(), "SYSerr");
    }
}

TEST_F(DrawModulesTest, CurvesPassThroughTheirKnotsAndClosedOnesReturn)
{
    for (const std::string module : {"spline", "dwreed"}) {
        DrawPluginRecord &r = Choose(module);
        for (const Points &figure : kFigures) {
            SCOPED_TRACE(testing::Message() << module << " from " << figure[0].x << "," << figure[0].y);
            SetList(figure);
            EXPECT_EQ(r.QzcDrawIt(w, figure.back().x, figure.back().y, 0), 4);
            Pixels painted = PaintedPixels();
            for (QzPoint k : figure)
                EXPECT_TRUE(Near(painted, k)) << k.x << "," << k.y;
            // A closed curve is a loop: every pixel has two neighbours on it. An open one ends at
            // its first knot.
            auto neighbours = [&](Spot p) {
                int n = 0;
                for (int dy = -1; dy <= 1; dy++)
                    for (int dx = -1; dx <= 1; dx++)
                        n += (dx || dy) && painted.count({p.first + dx, p.second + dy});
                return n;
            };
            if (module == "dwreed") {
                for (Spot p : painted)
                    ASSERT_GE(neighbours(p), 2) << p.first << "," << p.second;
            } else {
                EXPECT_EQ(neighbours({figure[0].x, figure[0].y}), 1);
            }
            SendMessageA(w->window, WM_COMMAND, 32034, 0);
        }
    }
    // Knots on a line give the line itself.
    DrawPluginRecord &open = Choose("spline");
    SetList({{20, 50}, {50, 50}, {140, 50}, {170, 50}});
    open.QzcDrawIt(w, 170, 50, 0);
    Pixels line;
    for (int x = 20; x <= 170; x++)
        line.insert({x, 50});
    EXPECT_EQ(PaintedPixels(), line);
}

TEST_F(DrawModulesTest, TheFillPaintsTheFlattenedClosedCurve)
{
    DrawPluginRecord &r = Choose("dwsage");
    for (const Points &figure : kFigures) {
        SCOPED_TRACE(testing::Message() << "from " << figure[0].x << "," << figure[0].y);
        SetList(figure);
        EXPECT_EQ(r.QzcDrawIt(w, figure.back().x, figure.back().y, 0), 4);
        // The list now holds the curve's samples, which run through every knot and back.
        Points flat = List();
        ASSERT_GT(flat.size(), 16 * figure.size() / 2);
        for (QzPoint k : figure) {
            double nearest = 1e9;
            for (QzPoint s : flat)
                nearest = std::min(nearest, hypot(s.x - k.x, s.y - k.y));
            EXPECT_LE(nearest, 6.0) << k.x << "," << k.y;
        }
        EXPECT_LE(hypot(flat.back().x - figure[0].x, flat.back().y - figure[0].y), 16.0);
        EXPECT_EQ(PaintedPixels(), EvenOddRaster(flat));
        SendMessageA(w->window, WM_COMMAND, 32034, 0);
    }
}

TEST_F(DrawModulesTest, RepeatedCoincidentAndSurplusPointsAreSafe)
{
    const Points figure = {{40, 40}, {150, 50}, {120, 120}, {50, 100}};
    const Points repeated = {{40, 40}, {40, 40}, {150, 50}, {120, 120}, {120, 120}, {120, 120}, {50, 100}};
    for (const std::string module : {"spline", "dwreed", "dwsage"}) {
        SCOPED_TRACE(module);
        DrawPluginRecord &r = Choose(module);
        // A repeated knot adds nothing to the curve.
        SetList(figure);
        r.QzcDrawIt(w, 50, 100, 0);
        Pixels once = PaintedPixels();
        SendMessageA(w->window, WM_COMMAND, 32034, 0);
        SetList(repeated);
        r.QzcDrawIt(w, 50, 100, 0);
        EXPECT_EQ(PaintedPixels(), once);
        SendMessageA(w->window, WM_COMMAND, 32034, 0);
        // All on one spot: a dot for the open curve (its rule for one point), nothing closed.
        SetList({{70, 70}, {70, 70}, {70, 70}, {70, 70}});
        EXPECT_EQ(r.QzcDrawGuideLine(w, 70, 70, 1, 0, 0) != 0, true);
        r.QzcDrawGuideLine(w, 70, 70, 0, 0, 0);
        EXPECT_EQ(r.QzcDrawIt(w, 70, 70, 0), 4);
        EXPECT_EQ(PaintedPixels(), (module == "spline" ? Pixels{{70, 70}} : Pixels{}));
        SendMessageA(w->window, WM_COMMAND, 32034, 0);
    }
    // A full point list: the knots past the arrays are left out, and the curve is still drawn.
    QzsInitPoint();
    for (int i = 0; i < kPointListCapacity; i++) {
        QzPoint p = {20 + (i * 37) % 160, 20 + (i * 53) % 110};
        QzsSetNewEntryPoint(&p);
    }
    Points full = List();
    for (const std::string module : {"spline", "dwreed", "dwsage"}) {
        SCOPED_TRACE(module);
        DrawPluginRecord &r = Choose(module);
        SetList(full);
        EXPECT_EQ(r.QzcDrawGuideLine(w, 5, 5, 1, 0, 0), 1);
        EXPECT_EQ(r.QzcDrawIt(w, full.back().x, full.back().y, 0), 4);
        EXPECT_FALSE(PaintedPixels().empty());
        SendMessageA(w->window, WM_COMMAND, 32034, 0);
    }
}

// The curves against the spline worked out from the equations: the fill's list holds exactly the
// reference samples; the drawn curves paint every reference sample and nothing farther than a
// pixel from the lines joining them (and the last one to the end).
TEST_F(DrawModulesTest, SamplesMatchTheSplineOfTheEquations)
{
    const Points backToStart = {{40, 40}, {150, 50}, {120, 120}, {50, 100}, {40, 40}};
    struct Case {
        const char *module;
        Points figure;
    } cases[] = {
        {"spline", kFigures[0]}, {"spline", kFigures[1]}, {"spline", kFigures[2]}, {"spline", kFigures[3]},
        {"spline", backToStart}, {"dwreed", kFigures[0]}, {"dwreed", kFigures[2]}, {"dwreed", kFigures[3]},
        {"dwreed", backToStart}, {"dwsage", kFigures[0]}, {"dwsage", kFigures[1]}, {"dwsage", kFigures[2]},
        {"dwsage", backToStart},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.module << " from " << c.figure[0].x << "," << c.figure[0].y << ", "
                                        << c.figure.size() << " points");
        bool closed = std::string(c.module) != "spline";
        Points want = ReferenceSamples(c.figure, closed);
        DrawPluginRecord &r = Choose(c.module);
        SetList(c.figure);
        QzPoint end = c.figure.back();
        EXPECT_EQ(r.QzcDrawIt(w, end.x, end.y, 0), 4);
        if (std::string(c.module) == "dwsage") {
            EXPECT_EQ(List(), want);
        } else {
            Pixels painted = PaintedPixels();
            for (QzPoint p : want)
                EXPECT_TRUE(painted.count({p.x, p.y})) << p;
            Points path = want;
            path.insert(path.begin(), c.figure[0]);
            path.push_back(closed ? c.figure[0] : end);
            int astray = 0;
            for (Spot p : painted) {
                bool onCurve = false;
                for (size_t i = 0; i + 1 < path.size() && !onCurve; i++)
                    onCurve = NearSegment(p, path[i], path[i + 1]);
                if (!onCurve && ++astray < 4)
                    ADD_FAILURE() << "painted off the curve at " << p.first << "," << p.second;
            }
        }
        SendMessageA(w->window, WM_COMMAND, 32034, 0);
    }
}
