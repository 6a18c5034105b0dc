// The 3D shading module painted through the host on small figures, against a relief computed here
// from its description: the chamfer distance map, the bevel profile (linear or rounded, raised or
// sunk, from the figure's own size, roughened by the C library's rand()), the normals of the
// 11 x 11 kernels and the host's light; as glass, the picture seen through the relief.
#include "funccol_fixture.h"
#include "image/lighting.h"

namespace {

struct Umbra {
    int height = 0, width = 0, radius = 0, sunk = 0, rounded = 0, fromFigure = 0, roughness = 0, glass = 0,
        refraction = 0;
    std::vector<std::string> Panel() const
    {
        std::vector<std::string> v;
        for (int p : {height, width, radius, sunk, rounded, fromFigure, roughness, glass, refraction})
            v.push_back(std::to_string(p));
        return v;
    }
};

int Kx(int dx, int dy)
{
    if (dx == 0)
        return 0;
    int v = (int)floor(100 / sqrt(double(dx * dx + dy * dy)) + 0.5);
    return dx < 0 ? -v : v;
}

double Refract(double a, double b, double depth, double n)
{
    double t1 = -a / b, s = n * (-a / sqrt(a * a + b * b)), t2 = sqrt(1 / (1 - s * s) - 1);
    if (a > 0)
        t2 = -t2;
    return depth * (t1 - t2) / (1 + t1 * t2);
}

// The shade of the host's light as it stands (already of length 1).
int Shade(int value, double nx, double ny, double nz)
{
    double n = sqrt(nx * nx + ny * ny + nz * nz);
    nx /= n, ny /= n, nz /= n;
    const LightSettings &l = g_light;
    double d = nx * l.x + ny * l.y + nz * l.z, r = 2 * d * nz - l.z;
    double shade = value * (1 + d) / 2 + l.highlight * (r > 0 ? r * r : 0) + l.environment;
    int v = shade > 255 ? 255 : (int)shade;
    return v < 0 ? 0 : v;
}

// The colour of every pixel of the box (x0, y0) .. (x1, y1) that the figure covers.
// The noise is the C library's rand(), one number per cell of the box, seeded by the caller.
std::vector<uint32_t> Relief(const Inside &inside, int x0, int y0, int x1, int y1, Umbra u, const ColorRecord &drawing)
{
    int w = x1 - x0 + 1, h = y1 - y0 + 1;
    auto marked = [&](int i, int j) { return inside(x0 + i, y0 + j); };
    std::vector<int> d(w * h, 0);
    for (int j = 0; j < h; j++)
        for (int i = 0; i < w; i++)
            if ((i == 0 || j == 0 || i == w - 1 || j == h - 1) && marked(i, j))
                d[j * w + i] = 32;
    for (int j = 1; j < h - 1; j++)
        for (int i = 1; i < w - 1; i++)
            if (marked(i, j))
                d[j * w + i] = std::min({d[j * w + i - 1] + 32, d[(j - 1) * w + i - 1] + 45, d[(j - 1) * w + i] + 32}) + 1;
    for (int j = h - 2; j >= 1; j--)
        for (int i = w - 2; i >= 1; i--)
            if (marked(i, j))
                d[j * w + i] = std::min({d[j * w + i], d[j * w + i + 1] + 32, d[(j + 1) * w + i + 1] + 45,
                                         d[(j + 1) * w + i] + 32});
    // Limits of the parameters: a bevel at least one pixel wide, kernels of radius 1 to 5.
    u.width = std::max(u.width, 1);
    u.radius = std::min(std::max(u.radius, 1), 5);
    if (u.fromFigure) {
        int m = *std::max_element(d.begin(), d.end());
        u.width = std::max(m / 32, 1);
        u.height = m / 96;
    }
    int sign = u.sunk ? -1 : 1;
    for (int &v : d) {
        int top = 32 * u.width, height;
        if (v > top)
            height = 32 * u.height;
        else if (u.rounded)
            height = (int)(sqrt(double(top) * top - double(top - v) * (top - v)) * u.height / u.width);
        else
            height = (v * u.height + u.width / 2) / u.width;
        v = sign * height + rand() % (2 * u.roughness + 1) - u.roughness;
    }
    int lowest = *std::min_element(d.begin(), d.end());
    int positive = 0;
    for (int dy = 1; dy <= u.radius; dy++)
        for (int dx = -u.radius; dx <= u.radius; dx++)
            positive += Kx(dy, dx);
    double nz = 64.0 * positive;
    std::vector<uint32_t> out(w * h, 0);
    for (int j = 0; j < h; j++)
        for (int i = 0; i < w; i++) {
            double sx = 0, sy = 0;
            for (int dy = -u.radius; dy <= u.radius; dy++)
                for (int dx = -u.radius; dx <= u.radius; dx++) {
                    int a = i + dx, b = j + dy;
                    if (a >= 0 && b >= 0 && a < w && b < h) {
                        sx += d[b * w + a] * Kx(dx, dy);
                        sy += d[b * w + a] * Kx(dy, dx);
                    }
                }
            double nx = -sx, ny = -sy;
            int red = drawing.red, green = drawing.green, blue = drawing.blue;
            if (u.glass) {
                double depth = (u.sunk ? d[j * w + i] - lowest : d[j * w + i]) / 32.0, n = u.refraction / 100.0;
                int ox = (int)Refract(nx, nz, depth, n), oy = (int)Refract(ny, nz, depth, n);
                uint32_t seen = Pattern(x0 + i + ox, y0 + j + oy);
                red = seen >> 16 & 255, green = seen >> 8 & 255, blue = seen & 255;
            }
            out[j * w + i] = Opaque(Shade(red, nx, ny, nz), Shade(green, nx, ny, nz), Shade(blue, nx, ny, nz));
        }
    return out;
}

class ShadingTest : public FuncColTest {
protected:
    unsigned seed = 7;

    // The C library's generator, shared by the program and its modules, starts each figure from a
    // seed of the test's and again for the reference.
    void Check(const Inside &inside, int x0, int y0, int x1, int y1, const Umbra &u, const char *what)
    {
        Choose("fcumbra.ovp", u.Panel());
        srand(++seed);
        PaintFigure(inside);
        srand(seed);
        std::vector<uint32_t> want = Relief(inside, x0, y0, x1, y1, u, *QzsGetColor(0));
        ExpectFigure(inside, [&](int x, int y) { return want[(y - y0) * (x1 - x0 + 1) + (x - x0)]; }, what);
    }
};

// A diamond with a notch at the bottom, in the box (3, 1) .. (17, 14).
bool Diamond(int x, int y)
{
    return abs(x - 10) + abs(y - 8) <= 7 && !(x == 10 && y >= 12);
}

} // namespace

TEST_F(ShadingTest, ReliefFollowsTheDistanceMapAndBevel)
{
    Show(22, 18);
    g_light = LightSettings{-1, -1, 1, 10, 130};
    struct Case {
        const char *what;
        Umbra u;
    } cases[] = {
        {"linear", {2, 3, 2}},
        {"sunk rounded", {3, 4, 3, 1, 1}},
        {"from the figure", {0, 0, 1, 0, 0, 1}},
        {"rough", {1, 2, 1, 0, 0, 0, 5}},
        {"wide kernel held to 5", {2, 2, 9}},
        {"no width held to 1", {2, 0, 1}},
        {"negative radius held to 1", {2, 2, -4}},
    };
    for (const Case &c : cases) {
        Check(Diamond, 3, 1, 17, 14, c.u, c.what);
        Check(Box(4, 3, 15, 11), 4, 3, 15, 11, c.u, c.what);
    }
}

TEST_F(ShadingTest, ThinFiguresAndDefaults)
{
    Show(16, 12);
    // Without a panel every parameter reads 0: a flat relief, the drawing colour lit head on.
    Check(Box(2, 2, 12, 9), 2, 2, 12, 9, Umbra{}, "no panel");
    ColorRecord *drawing = QzsGetColor(0);
    EXPECT_EQ(Base(5, 5), Opaque(Shade(drawing->red, 0, 0, 1), Shade(drawing->green, 0, 0, 1),
                                 Shade(drawing->blue, 0, 0, 1)));
    // One pixel wide or high: every pixel on the box's edge, at distance 32.
    for (const Umbra &u : {Umbra{4, 1, 2}, Umbra{4, 1, 2, 1, 1}}) {
        Check(Box(3, 5, 13, 5), 3, 5, 13, 5, u, "one high");
        Check(Box(7, 1, 7, 10), 7, 1, 7, 10, u, "one wide");
        Check(Box(9, 9, 9, 9), 9, 9, 9, 9, u, "one pixel");
    }
}

TEST_F(ShadingTest, GlassShadesThePictureSeenThroughTheRelief)
{
    Show(22, 18);
    // A refraction index of 1 bends nothing: the picture under each pixel, shaded.
    Check(Diamond, 3, 1, 17, 14, Umbra{2, 3, 2, 0, 0, 0, 0, 1, 100}, "glass, index 1");
    Check(Box(4, 3, 15, 11), 4, 3, 15, 11, Umbra{2, 2, 1, 1, 0, 0, 0, 1, 130}, "sunk glass, index 1.3");
}
