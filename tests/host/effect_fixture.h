// The effect modules loaded as the program loads them, a small picture to run them on, and the
// effects worked out here from their formulas, independently of the modules, to compare with.
#pragma once
#include "loader_fixture.h"
#include "image/pixels.h"
#include "plugins/effectdlg.h"
#include "plugins/params.h"
#include <math.h>
#include <functional>
#include <initializer_list>
#include <vector>

namespace ref {

inline int B(uint32_t c) { return c & 255; }
inline int G(uint32_t c) { return c >> 8 & 255; }
inline int R(uint32_t c) { return c >> 16 & 255; }
inline int A(uint32_t c) { return c >> 24; }
inline int Channel(uint32_t c, int k) { return c >> (8 * k) & 255; } // 0 blue, 1 green, 2 red
inline uint32_t Argb(int a, int r, int g, int b)
{
    return (uint32_t)a << 24 | (uint32_t)r << 16 | (uint32_t)g << 8 | (uint32_t)b;
}
inline int Luma(uint32_t c) { return (77 * R(c) + 151 * G(c) + 28 * B(c)) / 256; }
inline int Clamp(long long v, int low, int high) { return (int)(v < low ? low : v > high ? high : v); }

// A picture held in the test: pixels read with the edge repeated outside it.
struct Picture {
    int w = 0, h = 0;
    std::vector<uint32_t> px;
    uint32_t At(int x, int y) const
    {
        x = x < 0 ? 0 : x >= w ? w - 1 : x;
        y = y < 0 ? 0 : y >= h ? h - 1 : y;
        return px[(size_t)y * w + x];
    }
    // The bilinear sample: the four neighbours weighed by the fractions, + 0.5, truncated.
    uint32_t Sample(double x, double y) const
    {
        int ix = (int)x, iy = (int)y;
        double fx = x - ix, fy = y - iy;
        uint32_t a = At(ix, iy), c = At(ix + 1, iy), b = At(ix, iy + 1), d = At(ix + 1, iy + 1);
        uint32_t out = 0;
        for (int k = 0; k < 4; k++) {
            double v = (1 - fy) * ((1 - fx) * Channel(a, k) + fx * Channel(c, k)) +
                       fy * ((1 - fx) * Channel(b, k) + fx * Channel(d, k)) + 0.5;
            out |= (uint32_t)Clamp((long long)v, 0, 255) << (8 * k);
        }
        return out;
    }
};

// The shade of a value under the default light: the direction (-1, -1, 1) made unit length,
// highlight 130, no environment.
inline int Shade(int value, double nx, double ny, double nz)
{
    double len = sqrt(nx * nx + ny * ny + nz * nz);
    nx /= len, ny /= len, nz /= len;
    double l = sqrt(3.0), lx = -1 / l, ly = -1 / l, lz = 1 / l;
    double d = nx * lx + ny * ly + nz * lz;
    double r = 2 * d * nz - lz;
    double shade = value * (1 + d) / 2 + 130 * (r > 0 ? r * r : 0);
    return shade >= 255 ? 255 : shade < 0 ? 0 : (int)shade;
}

// The sideways shift through a surface of slope a against b at depth d, refractive ratio n; false
// where no ray comes through.
inline bool Refract(double a, double b, double d, double n, double *out)
{
    if (b == 0)
        return false;
    double t1 = -a / b, s = n * (-a / sqrt(a * a + b * b));
    if (s * s >= 1)
        return false;
    double t2 = sqrt(1 / (1 - s * s) - 1);
    if (a > 0)
        t2 = -t2;
    *out = d * (t1 - t2) / (1 + t1 * t2);
    return isfinite(*out);
}

// The pixel (x, y) seen through a surface of slope (gx, gy) against b at depth d, shaded with the
// normal (gx, gy, nz); the source pixel itself where no ray comes through.
inline uint32_t Refracted(const Picture &p, int x, int y, double gx, double gy, double b, double nz, double d,
                          double n)
{
    double ox, oy;
    if (!Refract(gx, b, d, n, &ox) || !Refract(gy, b, d, n, &oy))
        return p.At(x, y);
    uint32_t c = p.Sample(x + ox, y + oy);
    return Argb(A(p.At(x, y)), Shade(R(c), gx, gy, nz), Shade(G(c), gx, gy, nz), Shade(B(c), gx, gy, nz));
}

struct Rect {
    int left, top, right, bottom;
};

// What an effect wrote: a colour, or nothing (the destination keeps what it held).
struct Out {
    bool written;
    uint32_t colour;
};
using Effect = std::function<Out(const Picture &, const Rect &, int x, int y)>;

// Wave: rows (across not 0) or columns shifted by amplitude x sin((position + phase) 2 pi / length),
// the source pixel at the rounded position; nothing written where that lies outside the rectangle.
inline Effect Wave(int across, int length, int amplitude, int phase)
{
    return [=](const Picture &p, const Rect &r, int x, int y) {
        double k = 6.2831852 / length, sx = x, sy = y;
        if (across)
            sx = x + amplitude * sin(((double)y - r.top + phase) * k);
        else
            sy = y + amplitude * sin(((double)x - r.left + phase) * k);
        if (sx < r.left || sx > r.right || sy < r.top || sy > r.bottom)
            return Out{false, 0};
        return Out{true, p.At((int)(sx + 0.5), (int)(sy + 0.5))};
    };
}

} // namespace ref

class EffectModuleTest : public LoaderTest {
protected:
    static constexpr uint32_t kUnwritten = 0x5A5A5A5Au;
    CDIB image{};
    ref::Picture pic;

    void SetUp() override
    {
        LoaderTest::SetUp();
        std::string app = std::string("Z:") + OVRIN_APP_DIR + "/Effect";
        for (char &c : app)
            if (c == '/')
                c = '\\';
        for (const char *m : Modules())
            ASSERT_TRUE(CopyFileA((app + "\\" + m + ".ovp").c_str(),
                                  (std::string(g_cfg.Effect_dir) + "\\" + m + ".ovp").c_str(), FALSE))
                << m;
        BeforeLoading();
        EnsureEffectsLoaded();
    }
    void TearDown() override
    {
        FreeGlobalParameters();
        QzsDisposeCDIB(&image);
        LoaderTest::TearDown();
    }
    virtual std::vector<const char *> Modules() const
    {
        return {"fxhaze", "fxalba", "edge", "relief", "fxgale", "fxfern", "wave", "water", "fxdune", "ripple", "fxelma"};
    }
    virtual void BeforeLoading() {}

    // The picture to run on, started for the pixel services as the preview starts its copy.
    void MakePicture(int w, int h, std::function<uint32_t(int x, int y)> colour)
    {
        QzsDisposeCDIB(&image);
        image = CDIB{};
        ASSERT_EQ(QzsCreateCDIB(w, h, 32, &image), 0);
        pic.w = w, pic.h = h;
        pic.px.assign((size_t)w * h, 0);
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++)
                pic.px[(size_t)y * w + x] = ((uint32_t *)image.pixels)[y * w + x] = colour(x, y);
        StartOnPlainImage(&image);
    }
    // A picture with some of everything: gradients, a hard edge, noise and varied alpha.
    void MakeMixedPicture(int w = 16, int h = 12)
    {
        MakePicture(w, h, [](int x, int y) {
            uint32_t n = (uint32_t)(x * 73856093 ^ y * 19349663) * 2654435761u;
            int r = x < 8 ? 30 + 9 * y : 220 - 5 * y, g = (int)(n >> 8 & 255), b = (17 * x + 11 * y) & 255;
            int a = (x + y) % 5 == 0 ? 0 : (int)(n >> 24 | 1);
            return ref::Argb(a, r, g, b);
        });
    }

    QzcEffectProc Effect(const char *name)
    {
        int row = FindEffectByName(name);
        return row >= 0 ? g_effectPlugins[row].QzcEffect : nullptr;
    }
    void Params(std::initializer_list<const char *> values)
    {
        FreeGlobalParameters();
        int i = 0;
        for (const char *v : values)
            SetGlobalParameter(i++, v);
    }
    // Runs the effect over the rectangle into a destination of the picture's size that starts
    // with kUnwritten everywhere; the result of the effect.
    int Run(const char *name, const ref::Rect &r, std::vector<uint32_t> *dest, QzProgressProc progress = nullptr)
    {
        QzcEffectProc effect = Effect(name);
        EXPECT_NE(effect, nullptr) << name;
        if (!effect)
            return -1;
        dest->assign(pic.px.size(), kUnwritten);
        return effect(&image, dest->data(), r.left, r.top, r.right, r.bottom, 0, progress);
    }
    // Every pixel of the destination against the reference: inside the rectangle what it gives,
    // outside it untouched. Reports the first few differences.
    void ExpectPixels(const char *what, const ref::Rect &r, const std::vector<uint32_t> &dest, const ref::Effect &want)
    {
        int wrong = 0;
        for (int y = 0; y < pic.h; y++)
            for (int x = 0; x < pic.w; x++) {
                bool inside = x >= r.left && x <= r.right && y >= r.top && y <= r.bottom;
                ref::Out o = inside ? want(pic, r, x, y) : ref::Out{false, 0};
                uint32_t expect = o.written ? o.colour : kUnwritten, got = dest[(size_t)y * pic.w + x];
                if (got != expect && ++wrong <= 4)
                    ADD_FAILURE() << what << " at " << x << "," << y << std::hex << ": got " << got << ", expected "
                                  << expect;
            }
        EXPECT_EQ(wrong, 0) << what;
    }
};
