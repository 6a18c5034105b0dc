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
