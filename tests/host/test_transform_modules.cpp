// The eight transform modules beside zoom, each applied through transform mode on the layer of
// the transform fixture: every layer pixel is compared with the bilinear sample at the source
// position worked out here from the geometry of the module's body (or left as it was), within one
// level. The projective module is checked against a warp solved here, its refusal and its
// identity; the bow's handles through the mouse; undo restores each.
#include "transform_fixture.h"
#include "effect_fixture.h"
#include "shell/commands.h"
#include "view/undo_apply.h"
#include <functional>
#include <math.h>
#include <string.h>
#include <string>

namespace {

const double kPi = 3.14159265358979;

enum Expect { kKeep, kSample, kEither }; // kEither: on an edge of the mapping, not judged

// The source position of a layer pixel as the test works it out, and the normal when it is lit.
struct Expected {
    Expect expect = kKeep;
    double X = 0, Y = 0;
    bool lit = false;
    double nx = 0, ny = 0, nz = 0;
};
using Reference = std::function<Expected(int x, int y)>;

Expected Sampled(double X, double Y)
{
    Expected e;
    e.expect = kSample, e.X = X, e.Y = Y;
    return e;
}

// Near an edge of 0..1 a rounding decides: such pixels are not judged.
bool OnEdge(double v, double low, double high) { return fabs(v - low) < 1e-6 || fabs(v - high) < 1e-6; }

// Solves the n x n system a x = b by elimination with partial pivoting; false when singular.
bool Solve(int n, std::vector<double> a, std::vector<double> b, std::vector<double> *x)
{
    for (int k = 0; k < n; k++) {
        int p = k;
        for (int r = k + 1; r < n; r++)
            if (fabs(a[r * n + k]) > fabs(a[p * n + k]))
                p = r;
        if (fabs(a[p * n + k]) < 1e-12)
            return false;
        for (int c = 0; c < n; c++)
            std::swap(a[k * n + c], a[p * n + c]);
        std::swap(b[k], b[p]);
        for (int r = k + 1; r < n; r++) {
            double f = a[r * n + k] / a[k * n + k];
            for (int c = k; c < n; c++)
                a[r * n + c] -= f * a[k * n + c];
            b[r] -= f * b[k];
        }
    }
    x->assign(n, 0);
    for (int k = n - 1; k >= 0; k--) {
        double s = b[k];
        for (int c = k + 1; c < n; c++)
            s -= a[k * n + c] * (*x)[c];
        (*x)[k] = s / a[k * n + k];
    }
    return true;
}

// Where a pixel is written when its mapped position, rounded as trunc(X + 0.5), must land in the
// layer: X + 0.5 in (-1, w), since the truncation goes towards zero.
Expected RoundedIntoLayer(double X, double Y, int w, int h)
{
    Expected e;
    double rx = X + 0.5, ry = Y + 0.5;
    if (OnEdge(rx, -1, w) || OnEdge(ry, -1, h))
        e.expect = kEither;
    else if (rx > -1 && rx < w && ry > -1 && ry < h)
        e = Sampled(X, Y);
    return e;
}

class TransformModulesTest : public TransformTest {
protected:
    void SetUp() override
    {
        TransformTest::SetUp();
        for (const char *m : {"cylinder", "cone", "tfkite", "tfmarl", "bow", "tflume", "tfnook", "distort"})
            PutDelivered(g_cfg.Transform_dir, "Trans", m);
    }

    // Starts the module of that display name from the Transform dialog, on the whole layer.
    void StartModule(const char *name)
    {
        CreateTransformDialog(g_mainWindow);
        HWND d = GetTransformDialog();
        ASSERT_NE(d, nullptr);
        int row = -1;
        for (int i = 0; i < kTransformRows && g_transformPlugins[i].module; i++)
            if (strcmp(g_transformPlugins[i].name, name) == 0)
                row = i;
        ASSERT_GE(row, 0) << name;
        SendDlgItemMessageA(d, 3013, LB_SETCURSEL, row, 0);
        SendMessageA(d, WM_COMMAND, 3012, 0);
        ASSERT_TRUE(IsTransformRunning()) << name;
    }

    void SetHandles(const QzPoint (&p)[4])
    {
        for (int i = 0; i < 4; i++)
            QzsSetControlPoint(i, p[i].x, p[i].y, 0, 3);
    }

    // Applies ("Do!") and compares every layer pixel with the reference; then undoes.
    void ApplyAndCompare(const char *name, const Reference &reference)
    {
        ref::Picture pic;
        pic.w = kLayerW, pic.h = kLayerH;
        pic.px = LayerPixels();
        DispatchCommand(w, 30000, 0);
        EXPECT_FALSE(InTransformMode());
        int wrong = 0, sampled = 0;
        for (int y = 0; y < kLayerH; y++)
            for (int x = 0; x < kLayerW; x++) {
                Expected e = reference(x, y);
                if (e.expect == kEither)
                    continue;
                uint32_t want = pic.px[y * kLayerW + x];
                if (e.expect == kSample) {
                    sampled++;
                    want = pic.Sample(e.X, e.Y);
                    if (e.lit)
                        want = ref::Argb(ref::A(want), ref::Shade(ref::R(want), e.nx, e.ny, e.nz),
                                         ref::Shade(ref::G(want), e.nx, e.ny, e.nz),
                                         ref::Shade(ref::B(want), e.nx, e.ny, e.nz));
                }
                uint32_t got = Px(x, y);
                for (int k = 0; k < 4; k++)
                    if (abs(ref::Channel(got, k) - ref::Channel(want, k)) > 1) {
                        if (++wrong < 5)
                            ADD_FAILURE() << name << " at " << x << "," << y << std::hex << " got " << got
                                          << " want " << want << std::dec << " from " << e.X << "," << e.Y;
                        break;
                    }
            }
        EXPECT_EQ(wrong, 0) << name;
        EXPECT_GT(sampled, 40) << name;
        EXPECT_EQ(UndoCount(), 1) << name;
        EXPECT_EQ(UndoImage(w), 0);
        EXPECT_TRUE(LayerPixels() == pic.px) << name;
        FreeUndoRecords(layer, layer->undoFirst);
    }
};

// The four curved bodies on the rectangle (2, 2)-(22, 17): w = 21, h = 16.
TEST_F(TransformModulesTest, CurvedBodies)
{
    const int x0 = 2, y0 = 2, x2 = 22, y2 = 17;
    const double W = kLayerW, H = kLayerH, w = x2 - x0 + 1, h = y2 - y0 + 1;
    auto inRect = [&](int x, int y) { return x >= x0 && x <= x2 && y >= y0 && y <= y2; };
    // The column a circle of radius r shows at offset t from its left edge.
    auto across = [&](double r, double t) { return W * acos(r > 0 ? 1 - t / r : 0) / kPi; };
    // Disc: radius 7.5 in y, half width 10 in x, centred at (12, 9.5).
    const double R = (y2 - y0) / 2.0, A = (x2 - x0) / 2.0, cx = (x0 + x2) / 2.0, cy = (y0 + y2) / 2.0;
    const double Ws = (W - 1) / 2, Hs = (H - 1) / 2;
    struct Body {
        const char *name;
        Reference reference;
    } bodies[] = {
        {"Cylinder",
         [&](int x, int y) {
             return inRect(x, y) ? Sampled(across(w / 2, x - x0), (y - y0) * H / h) : Expected();
         }},
        {"Cone",
         [&](int x, int y) {
             if (!inRect(x, y))
                 return Expected();
             double r = (y - y0) / h * (w / 2);
             int xl = x0 + (int)(w / 2 - r), xr = x0 + (int)(w / 2 + r);
             if (x < xl || x > xr)
                 return Expected();
             double t = x - xl;
             return Sampled(t > 2 * r ? W : across(r, t), (y - y0) * H / h);
         }},
        {"Circle",
         [&](int x, int y) {
             double u = (x - cx) * R / A, v = y - cy;
             if (!inRect(x, y) || sqrt(u * u + v * v) > R)
                 return Expected();
             if (fabs(fabs(u) - R) < 1e-9 || fabs(fabs(v) - R) < 1e-9) {
                 Expected pole; // a pole: its own choice
                 pole.expect = kEither;
                 return pole;
             }
             return Sampled(u / sqrt(R * R - v * v) * Ws + Ws, v / sqrt(R * R - u * u) * Hs + Hs);
         }},
        {"Sphere",
         [&](int x, int y) {
             double u = (x - cx) * R / A, v = y - cy;
             if (!inRect(x, y) || sqrt(u * u + v * v) > R)
                 return Expected();
             if (fabs(fabs(u) - R) < 1e-9 || fabs(fabs(v) - R) < 1e-9) {
                 Expected pole;
                 pole.expect = kEither;
                 return pole;
             }
             Expected e = Sampled(asin(u / sqrt(R * R - v * v)) / (kPi / 2) * Ws + Ws,
                                  asin(v / sqrt(R * R - u * u)) / (kPi / 2) * Hs + Hs);
             e.lit = true, e.nx = x - cx, e.ny = v, e.nz = sqrt(fmax(0, R * R - u * u - v * v));
             return e;
         }},
    };
    for (const Body &b : bodies) {
        StartModule(b.name);
        QzsSetControlPoint(0, x0, y0, 0, 3);
        QzsSetControlPoint(2, x2, y2, 0, 3);
        ApplyAndCompare(b.name, b.reference);
    }
}

// The bow started on the layer, its right end dragged through the mouse (it keeps its distance
// from the centre) and its inner end dragged to half the radius: the ring sector round the
// layer's centre, the source's top on the outer arc. Indexes and messages it does not know move
// nothing.
TEST_F(TransformModulesTest, BowRingSector)
{
    StartModule("Bow");
    const TransformPluginRecord &bow = g_transformPlugins[g_transform.row];
    const int cx = (kLayerW - 1) / 2, cy = (kLayerH - 1) / 2;
    EXPECT_TRUE(Handle(0).x == 0 && Handle(0).y == 0 && Handle(2).x == cx && Handle(2).y == cy);
    const double R = sqrt((double)cx * cx + (double)cy * cy);
    auto dist = [&](double x, double y) { return sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy)); };
    auto dir = [](double dx, double dy) { return atan2(dx, -dy); }; // clockwise from straight up
    const double A0 = dir(-cx, -cy);
    const int dropX = 28, dropY = 22;
    Drag(Handle(1).x + kLayerX, Handle(1).y + kLayerY, dropX + kLayerX, dropY + kLayerY);
    const double A1 = dir(dropX - cx, dropY - cy);
    EXPECT_NEAR(dist(Handle(1).x, Handle(1).y), R, 1.0);
    EXPECT_NEAR(dir(Handle(1).x - cx, Handle(1).y - cy), A1, 0.1);
    const int toX = cx, toY = cy - (int)(R / 2);
    EXPECT_EQ(bow.QzcDragPoint(w, Handle(3).x, Handle(3).y, toX, toY, 100, 3), 1);
    const double k = dist(toX, toY) / R;
    EXPECT_NEAR(dist(Handle(3).x, Handle(3).y), R * k, 1.0);

    QzPoint kept[4] = {Handle(0), Handle(1), Handle(2), Handle(3)};
    EXPECT_EQ(bow.QzcDragPoint(w, 0, 0, 5, 5, 100, 4), 0);
    EXPECT_EQ(bow.QzcDragPoint(w, 0, 0, 5, 5, 100, -1), 0);
    EXPECT_EQ(bow.QzcDragPoint(w, 0, 0, 5, 5, 300, 1), 300);
    for (int i = 0; i < 4; i++)
        EXPECT_TRUE(Handle(i).x == kept[i].x && Handle(i).y == kept[i].y) << i;

    ApplyAndCompare("Bow", [&](int x, int y) {
        double a = dir(x - cx, y - cy);
        if (a < A0)
            a += 2 * kPi;
        double t = (a - A0) / (A1 - A0), q = (dist(x, y) / R - k) / (1 - k);
        Expected e;
        if (OnEdge(t, 0, 1) || OnEdge(q, 0, 1))
            e.expect = kEither;
        else if (t >= 0 && t <= 1 && q >= 0 && q <= 1)
            e = Sampled(t * kLayerW, (1 - q) * kLayerH);
        return e;
    });
}

// The free quadrilaterals on one shape: tflume by its forward map inverted here with Newton's
// method, tfnook by the projective map through the four corners, distort by the bilinear fit.
TEST_F(TransformModulesTest, Quadrilaterals)
{
    const QzPoint quad[4] = {{4, 2}, {27, 4}, {24, 21}, {2, 17}};
    const double W = kLayerW - 1, H = kLayerH - 1;
    const double X[4] = {0, W, W, 0}, Y[4] = {0, 0, H, H};
    // Only the handles' bounding box is visited.
    auto inBox = [&](int x, int y) { return x >= 2 && x <= 27 && y >= 2 && y <= 21; };

    StartModule("Tflumesform");
    SetHandles(quad);
    ApplyAndCompare("Tflumesform", [&](int x, int y) {
        // The corners weighed by the unit coordinates.
        auto fx = [&](double u, double v) {
            return (1 - v) * ((1 - u) * quad[0].x + u * quad[1].x) + v * (u * quad[2].x + (1 - u) * quad[3].x);
        };
        auto fy = [&](double u, double v) {
            return (1 - v) * ((1 - u) * quad[0].y + u * quad[1].y) + v * (u * quad[2].y + (1 - u) * quad[3].y);
        };
        double u = 0.5, v = 0.5;
        for (int i = 0; i < 50; i++) {
            double ex = fx(u, v) - x, ey = fy(u, v) - y, e = 1e-6;
            double a = (fx(u + e, v) - fx(u, v)) / e, b = (fx(u, v + e) - fx(u, v)) / e;
            double c = (fy(u + e, v) - fy(u, v)) / e, d = (fy(u, v + e) - fy(u, v)) / e;
            double det = a * d - b * c;
            u -= (d * ex - b * ey) / det, v -= (a * ey - c * ex) / det;
        }
        Expected e;
        if (OnEdge(u, 0, 1) || OnEdge(v, 0, 1))
            e.expect = kEither;
        else if (u >= 0 && u <= 1 && v >= 0 && v <= 1)
            e = Sampled(u * W, v * H);
        return e;
    });

    std::vector<double> a, b, k;
    for (int j = 0; j < 4; j++) {
        double x = quad[j].x, y = quad[j].y;
        const double r0[8] = {x, y, 1, 0, 0, 0, -x * X[j], -y * X[j]}, r1[8] = {0, 0, 0, x, y, 1, -x * Y[j], -y * Y[j]};
        a.insert(a.end(), r0, r0 + 8), b.push_back(X[j]);
        a.insert(a.end(), r1, r1 + 8), b.push_back(Y[j]);
    }
    ASSERT_TRUE(Solve(8, a, b, &k));
    StartModule("Tfnook");
    SetHandles(quad);
    ApplyAndCompare("Tfnook", [&](int x, int y) {
        double w = k[6] * x + k[7] * y + 1;
        if (!inBox(x, y))
            return Expected();
        return RoundedIntoLayer((k[0] * x + k[1] * y + k[2]) / w, (k[3] * x + k[4] * y + k[5]) / w, kLayerW, kLayerH);
    });

    std::vector<double> m, cx, cy;
    for (int j = 0; j < 4; j++) {
        const double row[4] = {(double)quad[j].x * quad[j].y, (double)quad[j].x, (double)quad[j].y, 1};
        m.insert(m.end(), row, row + 4);
    }
    ASSERT_TRUE(Solve(4, m, {X[0], X[1], X[2], X[3]}, &cx));
    ASSERT_TRUE(Solve(4, m, {Y[0], Y[1], Y[2], Y[3]}, &cy));
    StartModule("Distort");
    SetHandles(quad);
    ApplyAndCompare("Distort", [&](int x, int y) {
        if (!inBox(x, y))
            return Expected();
        double X = cx[0] * x * y + cx[1] * x + cx[2] * y + cx[3], Y = cy[0] * x * y + cy[1] * x + cy[2] * y + cy[3];
        return RoundedIntoLayer(X, Y, kLayerW, kLayerH);
    });
}

// The inverse bilinear quadrilateral turned and mirrored: each destination pixel shows the source
// pixel the turn brings there. With the top edge running straight down (a quarter turn, the
// mirror across the diagonal) the horizontal equation says nothing about u. The layer is 32 x 24,
// so the upright shapes reach below it and only its rows are judged.
TEST_F(TransformModulesTest, QuadrilateralTurnedAndMirrored)
{
    const int R = kLayerW - 1, B = kLayerH - 1; // 31, 23
    struct Case {
        const char *what;
        QzPoint quad[4];
        std::function<Expected(int x, int y)> reference;
    } cases[] = {
        {"quarter turn clockwise", {{B, 0}, {B, R}, {0, R}, {0, 0}},
         [&](int x, int y) { return x <= B ? Sampled(y, B - x) : Expected(); }},
        {"quarter turn anticlockwise", {{0, R}, {0, 0}, {B, 0}, {B, R}},
         [&](int x, int y) { return x <= B ? Sampled(R - y, x) : Expected(); }},
        {"half turn", {{R, B}, {0, B}, {0, 0}, {R, 0}}, [&](int x, int y) { return Sampled(R - x, B - y); }},
        {"mirrored left to right", {{R, 0}, {0, 0}, {0, B}, {R, B}}, [&](int x, int y) { return Sampled(R - x, y); }},
        {"mirrored across the diagonal", {{0, 0}, {0, R}, {B, R}, {B, 0}},
         [&](int x, int y) { return x <= B ? Sampled(y, x) : Expected(); }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        StartModule("Tflumesform");
        SetHandles(c.quad);
        ApplyAndCompare(c.what, c.reference);
    }
}

// Handles left on the layer: the three quadrilaterals give the layer back unchanged, and a drag
// moves one corner alone. Three corners on one line: tfnook says so and draws nothing; distort,
// with all four on one point, draws nothing.
TEST_F(TransformModulesTest, QuadrilateralIdentityAndRefusals)
{
    const std::vector<uint32_t> before = LayerPixels();
    for (const char *name : {"Tflumesform", "Tfnook", "Distort"}) {
        StartModule(name);
        QzPoint p1 = Handle(1), p3 = Handle(3);
        Drag(Handle(2).x + kLayerX, Handle(2).y + kLayerY, 20 + kLayerX, 15 + kLayerY);
        EXPECT_TRUE(Handle(2).x == 20 && Handle(2).y == 15) << name;
        EXPECT_TRUE(Handle(1).x == p1.x && Handle(1).y == p1.y && Handle(3).x == p3.x && Handle(3).y == p3.y) << name;
        QzsSetControlPoint(2, kLayerW - 1, kLayerH - 1, 0, 3);
        DispatchCommand(w, 30000, 0);
        EXPECT_TRUE(LayerPixels() == before) << name;
        EXPECT_EQ(UndoCount(), 0) << name;
    }

    StartModule("Tfnook");
    const QzPoint line[4] = {{0, 0}, {10, 10}, {20, 20}, {0, 20}};
    SetHandles(line);
    std::string text, caption;
    DriveNextDialog([&](HWND box) {
        char t[64] = "";
        GetWindowTextA(box, t, sizeof t);
        caption = t;
        text = MessageBoxText(box);
        SendMessageA(box, WM_COMMAND, IDOK, 0);
    });
    DispatchCommand(w, 30000, 0);
    StopDrivingDialogs();
    EXPECT_EQ(text, "Can't transform");
    EXPECT_EQ(caption, "ERR");
    EXPECT_FALSE(InTransformMode());
    EXPECT_TRUE(LayerPixels() == before);
    EXPECT_EQ(UndoCount(), 0);

    StartModule("Distort");
    const QzPoint point[4] = {{5, 5}, {5, 5}, {5, 5}, {5, 5}};
    SetHandles(point);
    DispatchCommand(w, 30000, 0);
    EXPECT_TRUE(LayerPixels() == before);
    EXPECT_EQ(UndoCount(), 0);
}

} // namespace
