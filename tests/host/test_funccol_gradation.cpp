// The gradation modules painted through the host on small figures, against colours computed here
// from their formulas: sloped (every kind of angle, held to the two end colours), rectangular,
// four-colour along either axis, and the continuous gradation stamp by stamp; boxes one pixel
// across get a defined colour.
#include "funccol_fixture.h"

namespace {

struct Rgb {
    int r, g, b;
};
Rgb Colour(int which)
{
    const ColorRecord *c = QzsGetColor(which);
    return Rgb{c->red, c->green, c->blue};
}

// A channel truncated from exact (after adding 0.5 when rounded). Where exact lies on the edge of
// the truncation the module's arithmetic may fall on either side: both values are accepted there.
bool Near(int got, double exact, bool rounded)
{
    double v = rounded ? exact + 0.5 : exact;
    double edge = floor(v + 0.5);
    if (fabs(v - edge) < 1e-6)
        return got == (int)edge || got == (int)edge - 1;
    return got == (int)floor(v);
}

} // namespace

TEST_F(FuncColTest, ModulesBindWithTheirNamesKindsAndButtons)
{
    struct Case {
        const char *file, *name;
        int info;
        bool bitmap, post, color, message, parameter;
    } cases[] = {
        {"fcteal.ovp", "SlopedGradation", 1, true, true, false, false, true},
        {"fcyarrow.ovp", "RectangularGradation", 1, false, true, false, false, false},
        {"fcwren.ovp", "4ColorGradation", 1, true, true, false, false, false},
        {"fcvale.ovp", "ContinuousGradation", 6, true, false, true, true, false},
        {"fcumbra.ovp", "Fcumbra", 1, true, true, false, false, false},
    };
    for (const Case &c : cases) {
        int row = Row(c.file);
        ASSERT_GE(row, 0);
        const ColorFunctionRecord &f = g_colorFunctions[row];
        EXPECT_STREQ(f.name, c.name);
        EXPECT_EQ(f.info, c.info) << c.file;
        EXPECT_EQ(f.bitmap != nullptr, c.bitmap) << c.file;
        EXPECT_EQ(f.QzcPostProcess != nullptr, c.post) << c.file;
        EXPECT_EQ(f.QzcColorFunc != nullptr, c.color) << c.file;
        EXPECT_EQ(f.QzcReceiveMessage != nullptr, c.message) << c.file;
        EXPECT_EQ(f.QzcChangedParameter != nullptr, c.parameter) << c.file;
    }
    EXPECT_EQ(Texts(), std::vector<std::string>{});
}

// The position along the slope over the extent, f = p / E, held to 0..1: colour 2 along the slope
// line through the top-left corner (for angles down to -90 degrees).
TEST_F(FuncColTest, SlopedGradationAtEveryKindOfAngle)
{
    Show(16, 12);
    Rgb c2 = Colour(2), c3 = Colour(3);
    struct Case {
        const char *panel; // minus the angle; nullptr: no panel, the angle as loaded
        double angle;
    } cases[] = {
        {nullptr, -60}, {"0", 0},     {"-90", 90}, {"90", -90},   {"45", -45}, {"120", -120}, {"60", -60},
        {"30", -30},    {"-30", 30},  {"-1", 1},   {"-60", 60},   {"-89", 89}, {"-135", 135},
    };
    const Inside boxes[] = {
        [](int x, int y) { return Box(3, 2, 12, 9)(x, y) && !(x == 7 && y == 5); }, // with a hole
        Box(4, 2, 11, 9),                                                          // square
        Box(5, 5, 5, 5), Box(2, 3, 9, 3), Box(4, 1, 4, 8),                         // one pixel across
    };
    const int extents[5][4] = {{3, 2, 12, 9}, {4, 2, 11, 9}, {5, 5, 5, 5}, {2, 3, 9, 3}, {4, 1, 4, 8}};
    for (const Case &c : cases) {
        if (c.panel)
            Choose("fcteal.ovp", {c.panel});
        else
            Choose("fcteal.ovp");
        for (int b = 0; b < 5; b++) {
            int x0 = extents[b][0], y0 = extents[b][1];
            double W = extents[b][2] - x0 + 1, H = extents[b][3] - y0 + 1;
            double a = c.angle, t = a == 90 ? 0 : tan(a * 3.1415926 / 180);
            auto P = [&](double cx, double dy) { return a == 90 ? cx : dy - cx * t; };
            double E = a >= -90 ? P(W, H) : H - P(W, 0);
            auto expected = [&](int x, int y) {
                double dx = x - x0, dy = y - y0, p = a >= -90 ? P(dx, dy) : H - P(dx, dy);
                double f = E != 0 ? p / E : 0;
                f = f < 0 ? 0 : f > 1 ? 1 : f;
                return Opaque((int)(c3.r * f + (1 - f) * c2.r), (int)(c3.g * f + (1 - f) * c2.g),
                              (int)(c3.b * f + (1 - f) * c2.b));
            };
            PaintFigure(boxes[b]);
            ExpectFigure(boxes[b], expected, (std::string("sloped ") + std::to_string(a)).c_str());
            if (a >= -90) {
                EXPECT_EQ(Base(x0, y0), Opaque(c2.r, c2.g, c2.b)) << a << " box " << b;
            }
            // Steep slopes run from the left column: it keeps colour 2 down to the bottom-left corner.
            if (b == 1 && (a == 89 || a == 90)) {
                EXPECT_EQ(Base(x0, extents[b][3]), Opaque(c2.r, c2.g, c2.b)) << a;
            }
        }
    }
}

TEST_F(FuncColTest, RectangularGradationFromCentreToBorder)
{
    Show(14, 11);
    Choose("fcyarrow.ovp");
    Rgb c2 = Colour(2), c3 = Colour(3);
    const int boxes[4][4] = {{3, 2, 11, 8}, {2, 1, 9, 6}, {1, 4, 12, 4}, {6, 0, 6, 9}};
    for (const auto &e : boxes) {
        int x0 = e[0], y0 = e[1], x1 = e[2], y1 = e[3];
        Inside inside = Box(x0, y0, x1, y1);
        PaintFigure(inside);
        if (x0 == x1 || y0 == y1) { // every pixel lies on the border
            ExpectFigure(inside, [&](int, int) { return Opaque(c2.r, c2.g, c2.b); }, "rectangular, thin");
            continue;
        }
        double cx = (x0 + x1) / 2.0, cy = (y0 + y1) / 2.0, R = x1 - cx, q = double(x1 - x0) / (y1 - y0);
        ExpectFigure(inside, [&](int x, int y) {
            int dx = (int)(x - cx), dy = (int)(y - cy);
            double m = std::max<double>(abs(dx), q * abs(dy));
            return Opaque((int)((c2.r * m + (R - m) * c3.r) / R), (int)((c2.g * m + (R - m) * c3.g) / R),
                          (int)((c2.b * m + (R - m) * c3.b) / R));
        }, "rectangular");
    }
    // The odd box of the first case: colour 3 in the middle, colour 2 left and right of it.
    PaintFigure(Box(3, 2, 11, 8));
    EXPECT_EQ(Base(7, 5), Opaque(c3.r, c3.g, c3.b));
    EXPECT_EQ(Base(3, 5), Opaque(c2.r, c2.g, c2.b));
    EXPECT_EQ(Base(11, 5), Opaque(c2.r, c2.g, c2.b));
}

TEST_F(FuncColTest, FourColourGradationThroughColoursTwoToFive)
{
    Show(14, 12);
    Rgb c[4] = {Colour(2), Colour(3), Colour(4), Colour(5)};
    // The cubic through the four colours at t = 0..3, as Lagrange gives it.
    auto cubic = [&](double t, int ch) {
        double v = 0;
        for (int i = 0; i < 4; i++) {
            double l = 1;
            for (int j = 0; j < 4; j++)
                if (j != i)
                    l *= (t - j) / (i - j);
            v += l * (ch == 0 ? c[i].r : ch == 1 ? c[i].g : c[i].b);
        }
        return v < 0 ? -0.5 : v > 255 ? 254.5 : v;
    };
    struct Case {
        const char *panel;
        int box[4];
    } cases[] = {
        {"0", {3, 2, 10, 7}}, {"1", {2, 3, 9, 8}}, // along y over six rows, along x over eight columns
        {"0", {1, 5, 12, 5}}, {"7", {4, 1, 4, 9}}, // one pixel across the gradation: colour 2
    };
    for (const Case &k : cases) {
        Choose("fcwren.ovp", {k.panel});
        bool alongX = strcmp(k.panel, "0") != 0;
        int x0 = k.box[0], y0 = k.box[1], x1 = k.box[2], y1 = k.box[3];
        Inside inside = Box(x0, y0, x1, y1);
        PaintFigure(inside);
        double span = alongX ? x1 - x0 : y1 - y0;
        int wrong = 0;
        for (int y = y0; y <= y1; y++)
            for (int x = x0; x <= x1; x++) {
                double t = span > 0 ? 3.0 * (alongX ? x - x0 : y - y0) / span : 0;
                uint32_t got = Base(x, y);
                int r = got >> 16 & 255, g = got >> 8 & 255, b = got & 255;
                if ((!Near(r, cubic(t, 0), true) || !Near(g, cubic(t, 1), true) || !Near(b, cubic(t, 2), true)) &&
                    wrong++ < 4)
                    ADD_FAILURE() << k.panel << " at " << x << "," << y << ": " << r << "," << g << "," << b << " t " << t;
            }
        // The ends are the first and last colours, and the gradation runs along one axis only.
        EXPECT_EQ(Base(x0, y0), Opaque(c[0].r, c[0].g, c[0].b)) << k.panel;
        if (span > 0) {
            EXPECT_EQ(Base(x1, y1), Opaque(c[3].r, c[3].g, c[3].b)) << k.panel;
        }
        EXPECT_EQ(Base(alongX ? x0 : x1, alongX ? y1 : y0), Base(x0, y0)) << k.panel;
    }
}

TEST_F(FuncColTest, ContinuousGradationTakesTheNextColourAtEveryStamp)
{
    Show(84, 3);
    Choose("fcvale.ovp");
    ASSERT_EQ(QzsCreatePen(2), 1); // one cell of full weight on the stamped point
    PenRecord *pen = QzsGetPen();
    pen->weights[0] = 255;
    pen->hotX = pen->hotY = pen->left = pen->top = pen->right = pen->bottom = 0;
    ASSERT_EQ(QzsSetPen(0), 1);

    // The quintic through colours 2, 3, 4, 5, 2 at t = 0..4 with slope 0 at t = 4: the quartic
    // through the five points plus the multiple of t(t-1)(t-2)(t-3)(t-4) that flattens it there.
    auto quintic = [](const double v[5], double t) {
        double lagrange = 0, slope = 0, w = 1;
        for (int i = 0; i < 5; i++) {
            double l = 1, d = 1, dl = 0;
            for (int j = 0; j < 5; j++)
                if (j != i) {
                    l *= (t - j) / (i - j);
                    d *= i - j;
                }
            if (i == 4)
                dl = 1.0 / 4 + 1.0 / 3 + 1.0 / 2 + 1; // the derivative of its own basis at t = 4
            else {
                dl = 1;
                for (int j = 0; j < 4; j++)
                    if (j != i)
                        dl *= 4 - j;
                dl /= d;
            }
            lagrange += l * v[i];
            slope += dl * v[i];
            w *= t - i;
        }
        return lagrange - slope / 24 * w;
    };
    auto stroke = [&](int row, int stamps, int changeAt) {
        Rgb c[4] = {Colour(2), Colour(3), Colour(4), Colour(5)};
        for (int n = 0; n < stamps; n++) {
            if (n == changeAt)
                SetColor(2, 0, 0, 0); // the curve stays that of the stroke's first stamp
            QzsWritePen(window, n, row, 0);
        }
        CommitStroke(window);
        ResetStampCounter();
        const double v[3][5] = {{(double)c[0].r, (double)c[1].r, (double)c[2].r, (double)c[3].r, (double)c[0].r},
                                {(double)c[0].g, (double)c[1].g, (double)c[2].g, (double)c[3].g, (double)c[0].g},
                                {(double)c[0].b, (double)c[1].b, (double)c[2].b, (double)c[3].b, (double)c[0].b}};
        int wrong = 0;
        for (int n = 0; n < stamps; n++) {
            double t = (n % 64) / 16.0;
            uint32_t got = Base(n, row);
            int ch[3] = {int(got >> 16 & 255), int(got >> 8 & 255), int(got & 255)};
            for (int k = 0; k < 3; k++) {
                double e = quintic(v[k], t);
                e = e < 0 ? 0 : e > 255 ? 255 : e;
                if (!Near(ch[k], e, false) && wrong++ < 4)
                    ADD_FAILURE() << "stamp " << n << " channel " << k << ": " << ch[k] << " expected " << e;
            }
        }
        return c[0];
    };
    Rgb first = stroke(0, 84, 10);
    // Stamps 0 and 64 have colour 2, stamps 16 and 80 colour 3 (within the edge of truncation).
    for (int n : {0, 64, 16, 80}) {
        Rgb want = n % 64 == 0 ? first : Colour(3);
        uint32_t got = Base(n, 0);
        EXPECT_LE(abs(int(got >> 16 & 255) - want.r), 1) << n;
        EXPECT_LE(abs(int(got >> 8 & 255) - want.g), 1) << n;
        EXPECT_LE(abs(int(got & 255) - want.b), 1) << n;
    }
    // The next stroke starts again at stamp 0 and fits the curve to the colours of now.
    stroke(2, 20, -1);
    EXPECT_LE(Base(0, 2) & 0xFFFFFF, 0x010101u);
}
