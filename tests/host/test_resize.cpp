// The resize command, loaded from the extension-command directory as the program
// loads it and called as its caller would: the entry by name through QzsGetCommandProc. Each
// method is checked against a reference for the same kernel: ImageMagick's convert (area average
// as -scale, nearest and bilinear as an affine distortion onto the command's sampling grid), and
// the command's formulas computed here for bilinear and bicubic (the bicubic code itself checked against
// ImageMagick's Catmull-Rom at a = -1/2, the command's kernel being a = -1).
#include "loader_fixture.h"
#include "../unit/test_bmp_reference.h"
#include "base/progress.h"
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <array>
#include <vector>

namespace {

using Px = std::array<int, 4>; // blue, green, red, alpha; unlimited in references

struct Picture {
    int w = 0, h = 0;
    std::vector<uint32_t> px;
    uint32_t At(int x, int y) const // beyond the edges: the nearest edge pixel
    {
        x = x < 0 ? 0 : x >= w ? w - 1 : x;
        y = y < 0 ? 0 : y >= h ? h - 1 : y;
        return px[(size_t)y * w + x];
    }
};

int Ch(uint32_t c, int k) { return (int)(c >> (8 * k) & 255); }
int Limit(int v) { return v < 0 ? 0 : v > 255 ? 255 : v; }

Picture Noise(int w, int h, uint32_t seed, bool opaque)
{
    Picture p;
    p.w = w;
    p.h = h;
    for (int i = 0; i < w * h; i++) {
        seed = seed * 1103515245u + 12345u;
        uint32_t v = seed >> 4;
        p.px.push_back(opaque ? (v | 0xFF000000u) : (v ^ (seed << 20)));
    }
    return p;
}

Picture Flat(int w, int h, uint32_t color)
{
    Picture p;
    p.w = w;
    p.h = h;
    p.px.assign((size_t)w * h, color);
    return p;
}

// ---- references, written from the sampling rules ----

struct Map {
    int64_t nx, dx, ny, dy, xoff, yoff;
};

Map MapFor(const Picture &s, int W, int H, bool keep)
{
    int64_t sw = s.w, sh = s.h, d = (int64_t)W * sh - (int64_t)H * sw;
    if (!keep)
        return {sw, W, sh, H, 0, 0};
    if (d < 1)
        return {sw, W, sw, W, 0, ((int64_t)H * sw - (int64_t)W * sh) / (2 * sw)};
    return {sh, H, sh, H, d / (2 * sh), 0};
}

Px Split(uint32_t c) { return {Ch(c, 0), Ch(c, 1), Ch(c, 2), Ch(c, 3)}; }

template <class F> std::vector<Px> Each(const Picture &s, int W, int H, bool keep, F f)
{
    Map m = MapFor(s, W, H, keep);
    std::vector<Px> out;
    for (int Y = 0; Y < H; Y++)
        for (int X = 0; X < W; X++)
            out.push_back(f(m, X, Y));
    return out;
}

std::vector<Px> RefNearest(const Picture &s, int W, int H, bool keep, uint32_t back)
{
    return Each(s, W, H, keep, [&](const Map &m, int X, int Y) {
        int64_t cx = ((X - m.xoff) * m.nx + m.dx / 2) / m.dx, cy = ((Y - m.yoff) * m.ny + m.dy / 2) / m.dy;
        // Not the plain rounding: a position inside the last pixel that rounds past it keeps that
        // pixel (as ImageMagick does) instead of the background
        if (cx == s.w && (X - m.xoff) * m.nx < s.w * m.dx)
            cx = s.w - 1;
        if (cy == s.h && (Y - m.yoff) * m.ny < s.h * m.dy)
            cy = s.h - 1;
        bool in = cx >= 0 && cy >= 0 && cx < s.w && cy < s.h;
        return Split(in ? s.At((int)cx, (int)cy) : back);
    });
}

std::vector<Px> RefBilinear(const Picture &s, int W, int H, bool keep, uint32_t back)
{
    return Each(s, W, H, keep, [&](const Map &m, int X, int Y) {
        double sx = (double)(X - m.xoff) * m.nx / m.dx, sy = (double)(Y - m.yoff) * m.ny / m.dy;
        if (sx < 0 || sy < 0 || sx >= s.w || sy >= s.h)
            return Split(back);
        int ix = (int)sx, iy = (int)sy;
        double fx = sx - ix, fy = sy - iy;
        Px a = Split(s.At(ix, iy)), b = Split(s.At(ix, iy + 1)), c = Split(s.At(ix + 1, iy)),
           d = Split(s.At(ix + 1, iy + 1)), v;
        for (int k = 0; k < 4; k++)
            v[k] = (int)((1 - fy) * ((1 - fx) * a[k] + fx * c[k]) + fy * ((1 - fx) * b[k] + fx * d[k]) + 0.5);
        return v;
    });
}

// Every source pixel the span touches, from the truncated start to the end rounded up, weighted
// by its overlap; a span running past the far edge (keep aspect) reads the edge pixel there.
std::vector<Px> RefArea(const Picture &s, int W, int H, bool keep, uint32_t back)
{
    return Each(s, W, H, keep, [&](const Map &m, int X, int Y) {
        double x0 = (double)(X - m.xoff) * m.nx / m.dx, y0 = (double)(Y - m.yoff) * m.ny / m.dy;
        double x1 = (double)(X - m.xoff + 1) * m.nx / m.dx, y1 = (double)(Y - m.yoff + 1) * m.ny / m.dy;
        if (x0 < 0 || y0 < 0 || x0 >= s.w || y0 >= s.h)
            return Split(back);
        double sum[4] = {0, 0, 0, 0}, total = 0;
        for (int y = (int)y0; y < ceil(y1); y++)
            for (int x = (int)x0; x < ceil(x1); x++) {
                double w = (std::min(x1, x + 1.0) - std::max(x0, (double)x)) * (std::min(y1, y + 1.0) - std::max(y0, (double)y));
                for (int k = 0; k < 4; k++)
                    sum[k] += w * Ch(s.At(x, y), k);
                total += w;
            }
        Px v;
        for (int k = 0; k < 4; k++)
            v[k] = (int)(sum[k] / total + 0.5);
        return v;
    });
}

// Keys' cubic with parameter a; the command's kernel is a = -1.
double Keys(double t, double a)
{
    t = fabs(t);
    return t < 1 ? (a + 2) * t * t * t - (a + 3) * t * t + 1
                 : t < 2 ? a * t * t * t - 5 * a * t * t + 8 * a * t - 4 * a : 0;
}

std::vector<Px> RefBicubic(const Picture &s, int W, int H, bool keep, uint32_t back, double a = -1)
{
    return Each(s, W, H, keep, [&](const Map &m, int X, int Y) {
        double sx = (double)(X - m.xoff) * m.nx / m.dx, sy = (double)(Y - m.yoff) * m.ny / m.dy;
        if (sx < 0 || sy < 0 || sx >= s.w || sy >= s.h)
            return Split(back);
        int ix = (int)sx, iy = (int)sy;
        double fx = sx - ix, fy = sy - iy, sum[4] = {0, 0, 0, 0};
        for (int j = -1; j <= 2; j++)
            for (int i = -1; i <= 2; i++) {
                double w = Keys(j - fy, a) * Keys(i - fx, a);
                for (int k = 0; k < 4; k++)
                    sum[k] += w * Ch(s.At(ix + i, iy + j), k);
            }
        Px v; // truncated, of the exact sum: rounding of the weights may leave 255 a hair below
        for (int k = 0; k < 4; k++)
            v[k] = (int)(sum[k] + 1e-9);
        return v;
    });
}

// ---- comparison ----

// Pixels whose channels (limited to a byte) differ by more than tolerance; the first few are
// reported with the label.
int CountOff(const std::vector<uint32_t> &got, const std::vector<Px> &want, int W, int tolerance,
             const std::string &label, int channels = 4)
{
    if (got.size() != want.size()) {
        ADD_FAILURE() << label << ": " << got.size() << " pixels, expected " << want.size();
        return -1;
    }
    int off = 0;
    for (size_t i = 0; i < got.size(); i++) {
        bool bad = false;
        for (int k = 0; k < channels; k++)
            bad |= abs(Ch(got[i], k) - Limit(want[i][k])) > tolerance;
        if (bad && ++off <= 3)
            ADD_FAILURE() << label << ": pixel (" << i % W << "," << i / W << ") " << std::hex << got[i]
                          << " expected b,g,r,a " << std::dec << want[i][0] << "," << want[i][1] << ","
                          << want[i][2] << "," << want[i][3];
    }
    return off;
}

// A picture of convert's RGB as opaque pixels.
std::vector<Px> FromReference(const ReferencePicture &r)
{
    std::vector<Px> out;
    for (int y = 0; y < r.height; y++)
        for (int x = 0; x < r.width; x++)
            out.push_back({r.At(x, y)[2], r.At(x, y)[1], r.At(x, y)[0], 255});
    return out;
}

class ResizeTest : public LoaderTest {
protected:
    QzcExtCommandProc resize = nullptr;
    static constexpr uint32_t kBack = 0xFF0AC81Eu; // colour record 1: red 10, green 200, blue 30

    void SetUp() override
    {
        LoaderTest::SetUp();
        std::string from = std::string("Z:") + OVRIN_APP_DIR + "/ExtCmd/resize.ovp";
        for (char &c : from)
            if (c == '/')
                c = '\\';
        ASSERT_TRUE(CopyFileA(from.c_str(), (std::string(g_cfg.ExtCommand_dir) + "\\resize.ovp").c_str(), FALSE));
        LoadExtCommandPlugins();
        resize = QzsGetCommandProc("ResizeImage");
        ASSERT_NE(resize, nullptr);
        ASSERT_EQ(QzsSetColorRGB(1, 10, 200, 30), 1);
    }

    struct Result {
        int ok = -1;
        bool image = false;
        int w = 0, h = 0, depth = 0;
        std::vector<uint32_t> px;
    };

    // The command on a copy of src; the new image is read and released as its owner would.
    Result Run(const Picture &src, INT_PTR W, INT_PTR H, INT_PTR method, bool keep)
    {
        Result r;
        CDIB source{};
        if (QzsCreateCDIB(src.w, src.h, 32, &source) != 0) {
            ADD_FAILURE() << "no source";
            return r;
        }
        memcpy(source.pixels, src.px.data(), src.px.size() * 4);
        ExtCommandArgs args = {101, W, 102, H, 103, method, 104, keep ? 1 : 0, 105, &source};
        ExtCommandResult out = {0x5151, (CDIB *)&args};
        r.ok = resize(0x7777, &args, &out);
        EXPECT_EQ(out.tag, 0x5151) << "word 0 of the result is left alone";
        if (out.image) {
            r.image = true;
            QzsGetCDIBinfo(out.image, &r.w, &r.h, &r.depth);
            r.px.assign((uint32_t *)out.image->pixels, (uint32_t *)out.image->pixels + (size_t)r.w * r.h);
            QzsDisposeCDIB(out.image);
            free(out.image);
        }
        QzsDisposeCDIB(&source);
        return r;
    }

    Result RunOk(const Picture &src, int W, int H, int method, bool keep)
    {
        Result r = Run(src, W, H, method, keep);
        EXPECT_EQ(r.ok, 1);
        EXPECT_TRUE(r.image && r.w == W && r.h == H && r.depth == 32) << W << "x" << H;
        return r;
    }

    // The same resize by convert on src's RGB; false when convert is not there.
    bool Convert(const Picture &src, const std::string &operations, ReferencePicture *out)
    {
        std::string path = dir.file("src.ppm");
        FILE *f = fopen(path.c_str(), "wb");
        if (!f)
            return false;
        fprintf(f, "P6 %d %d 255\n", src.w, src.h);
        for (uint32_t c : src.px) {
            uint8_t rgb[3] = {(uint8_t)Ch(c, 2), (uint8_t)Ch(c, 1), (uint8_t)Ch(c, 0)};
            fwrite(rgb, 1, 3, f);
        }
        fclose(f);
        return ReadWithReference(path, out, operations);
    }

    // convert's point-sampling affine distortion onto the command's grid: output pixel X samples the
    // source at X sw / W (pixel centres are at +1/2 in convert's coordinates).
    static std::string Distort(const Picture &s, int W, int H, const char *interpolate)
    {
        double kx = (double)W / s.w, ky = (double)H / s.h;
        char text[400];
        snprintf(text, sizeof text,
                 "-virtual-pixel edge -filter point -interpolate %s -define distort:viewport=%dx%d+0+0 "
                 "-distort AffineProjection %.17g,0,0,%.17g,%.17g,%.17g",
                 interpolate, W, H, kx, ky, 0.5 * (1 - kx), 0.5 * (1 - ky));
        return text;
    }
};

struct Size {
    int w, h;
    bool keep;
};
// Enlarging, reducing, both at once, the same size, and keep aspect in both directions.
const Size kSizes[] = {{80, 50, false}, {15, 9, false}, {50, 12, false}, {37, 23, false},
                       {60, 60, true},  {90, 30, true}, {20, 31, true}};

TEST_F(ResizeTest, EntryIsHandedOutByItsExactName)
{
    EXPECT_STREQ(g_extCommands[0].name, "ResizeImage");
    EXPECT_STREQ(g_extCommands[0].file, "resize.ovp");
    EXPECT_EQ(resize, g_extCommands[0].QzcExtCommand);
    EXPECT_EQ(QzsGetCommandProc("resizeimage"), nullptr);
    EXPECT_EQ(QzsGetCommandProc("Resize"), nullptr);
}

TEST_F(ResizeTest, NearestNeighbour)
{
    Picture src = Noise(37, 23, 1, false);
    Result same = RunOk(src, 37, 23, 0, false);
    EXPECT_EQ(same.px, src.px) << "the same size copies the image";
    for (const Size &z : kSizes) {
        Result r = RunOk(src, z.w, z.h, 0, z.keep);
        EXPECT_EQ(CountOff(r.px, RefNearest(src, z.w, z.h, z.keep, kBack), z.w, 0, "nearest"), 0) << z.w << "x" << z.h;
    }
    // An enlargement ends on the source's last row and column: plain rounding would send them
    // past the edge, to the background, a line of it along two sides of every enlargement.
    Picture small = Noise(4, 3, 12, false);
    Result big = RunOk(small, 10, 7, 0, false); // the last column at 3.6 rounds to 4, the last row at 2.57 to 3
    for (int y = 0; y < 7; y++)
        EXPECT_EQ(big.px[(size_t)y * 10 + 9], small.At(3, (y * 3 + 3) / 7)) << "row " << y;
    for (int x = 0; x < 10; x++)
        EXPECT_EQ(big.px[6 * 10 + x], small.At(std::min((x * 4 + 5) / 10, 3), 2)) << "column " << x;
    // convert's nearest neighbour at odd sizes (no position falls half-way between two pixels);
    // the last row and column of an enlargement keep the edge pixels.
    Picture opaque = Noise(37, 23, 2, true);
    for (const Size &z : {Size{111, 69, false}, Size{15, 9, false}, Size{51, 7, false}}) {
        ReferencePicture ref;
        if (!Convert(opaque, Distort(opaque, z.w, z.h, "nearest-neighbor"), &ref))
            GTEST_SKIP() << "no ImageMagick";
        Result r = RunOk(opaque, z.w, z.h, 0, false);
        EXPECT_EQ(CountOff(r.px, FromReference(ref), z.w, 0, "nearest/convert", 3), 0) << z.w << "x" << z.h;
    }
}

TEST_F(ResizeTest, Bilinear)
{
    Picture src = Noise(37, 23, 3, false);
    for (const Size &z : kSizes) {
        Result r = RunOk(src, z.w, z.h, 1, z.keep);
        EXPECT_EQ(CountOff(r.px, RefBilinear(src, z.w, z.h, z.keep, kBack), z.w, 1, "bilinear"), 0)
            << z.w << "x" << z.h;
    }
    Picture opaque = Noise(37, 23, 4, true);
    for (const Size &z : kSizes) {
        if (z.keep)
            continue;
        ReferencePicture ref;
        if (!Convert(opaque, Distort(opaque, z.w, z.h, "bilinear"), &ref))
            GTEST_SKIP() << "no ImageMagick";
        Result r = RunOk(opaque, z.w, z.h, 1, false);
        EXPECT_EQ(CountOff(r.px, FromReference(ref), z.w, 1, "bilinear/convert", 3), 0) << z.w << "x" << z.h;
    }
}

// Plain bilinear tests only the truncated position, so the row or column just outside an
// enlarged picture (position -1/2 here) was sampled with a negative fraction: extrapolated,
// unlimited colours, wrapped into bytes. It is background now, as bicubic has it.
TEST_F(ResizeTest, BilinearLeavesNoExtrapolatedLineBesideThePicture)
{
    Picture rows = Flat(100, 50, 0xFFFFFFFFu), cols = Flat(50, 100, 0xFFFFFFFFu);
    for (int x = 0; x < 100; x++) // a dark first line under a white one extrapolates past 255
        rows.px[x] = cols.px[(size_t)x * 50] = 0xFF000000u;
    Result r = RunOk(rows, 200, 200, 1, true); // yoff 50: row 49 is at -1/2
    Result c = RunOk(cols, 200, 200, 1, true); // xoff 50: column 49 is at -1/2
    for (int y = 0; y < 200; y++)
        for (int x = 0; x < 200; x++) {
            bool inR = y >= 50 && y < 150, inC = x >= 50 && x < 150;
            if (!inR) {
                ASSERT_EQ(r.px[(size_t)y * 200 + x], kBack) << x << "," << y;
            }
            if (!inC) {
                ASSERT_EQ(c.px[(size_t)y * 200 + x], kBack) << x << "," << y;
            }
        }
    EXPECT_EQ(r.px[50 * 200 + 7], 0xFF000000u);
    EXPECT_EQ(c.px[7 * 200 + 50], 0xFF000000u);
}

TEST_F(ResizeTest, AreaAverage)
{
    // Halving: the rounded mean of each 2 x 2 block, alpha too.
    Picture src = Noise(38, 24, 5, false);
    Result half = RunOk(src, 19, 12, 2, false);
    for (int y = 0; y < 12; y++)
        for (int x = 0; x < 19; x++)
            for (int k = 0; k < 4; k++) {
                int sum = Ch(src.At(2 * x, 2 * y), k) + Ch(src.At(2 * x + 1, 2 * y), k) +
                          Ch(src.At(2 * x, 2 * y + 1), k) + Ch(src.At(2 * x + 1, 2 * y + 1), k);
                ASSERT_EQ(Ch(half.px[(size_t)y * 19 + x], k), (sum + 2) / 4) << x << "," << y << " channel " << k;
            }
    for (const Size &z : kSizes) {
        Result r = RunOk(src, z.w, z.h, 2, z.keep);
        EXPECT_EQ(CountOff(r.px, RefArea(src, z.w, z.h, z.keep, kBack), z.w, 1, "area"), 0) << z.w << "x" << z.h;
    }
    // convert's -scale averages the covered area the same way.
    Picture opaque = Noise(37, 23, 6, true);
    for (const Size &z : kSizes) {
        if (z.keep)
            continue;
        ReferencePicture ref;
        if (!Convert(opaque, "-scale " + std::to_string(z.w) + "x" + std::to_string(z.h) + "!", &ref))
            GTEST_SKIP() << "no ImageMagick";
        Result r = RunOk(opaque, z.w, z.h, 2, false);
        EXPECT_EQ(CountOff(r.px, FromReference(ref), z.w, 1, "area/convert", 3), 0) << z.w << "x" << z.h;
    }
}

TEST_F(ResizeTest, Bicubic)
{
    Picture src = Noise(37, 23, 7, false);
    for (const Size &z : kSizes) {
        Result r = RunOk(src, z.w, z.h, 3, z.keep);
        EXPECT_EQ(CountOff(r.px, RefBicubic(src, z.w, z.h, z.keep, kBack), z.w, 1, "bicubic"), 0)
            << z.w << "x" << z.h;
    }
    // The reference's own code, at a = -1/2, against convert's Catmull-Rom.
    Picture opaque = Noise(37, 23, 8, true);
    for (const Size &z : {Size{80, 50, false}, Size{15, 9, false}}) {
        ReferencePicture ref;
        if (!Convert(opaque, Distort(opaque, z.w, z.h, "catrom"), &ref))
            GTEST_SKIP() << "no ImageMagick";
        std::vector<Px> mine = RefBicubic(opaque, z.w, z.h, false, kBack, -0.5), theirs = FromReference(ref);
        int off = 0;
        for (size_t i = 0; i < mine.size(); i++)
            for (int k = 0; k < 3; k++)
                off += abs(Limit(mine[i][k]) - theirs[i][k]) > 1;
        EXPECT_EQ(off, 0) << z.w << "x" << z.h;
    }
}

// The kernel overshoots beside a hard edge: below 0 on the dark side, past 255 on the light one.
// Both are limited to a byte, never wrapped.
TEST_F(ResizeTest, BicubicOvershootIsLimited)
{
    Picture bars = Flat(12, 12, 0xFFFFFFFFu);
    for (int y = 0; y < 12; y++)
        for (int x = 0; x < 12; x++)
            if ((x / 3 + y / 3) % 2)
                bars.px[(size_t)y * 12 + x] = 0xFF000000u;
    std::vector<Px> want = RefBicubic(bars, 41, 41, false, kBack);
    int below = 0, above = 0;
    for (const Px &p : want)
        for (int k = 0; k < 3; k++)
            below += p[k] < 0, above += p[k] > 255;
    ASSERT_GT(below, 0);
    ASSERT_GT(above, 0);
    Result r = RunOk(bars, 41, 41, 3, false);
    EXPECT_EQ(CountOff(r.px, want, 41, 1, "bicubic overshoot"), 0);
    for (size_t i = 0; i < want.size(); i++)
        for (int k = 0; k < 3; k++) {
            if (want[i][k] > 255) {
                ASSERT_EQ(Ch(r.px[i], k), 255) << i;
            }
            if (want[i][k] < 0) {
                ASSERT_EQ(Ch(r.px[i], k), 0) << i;
            }
        }
}

// Keep aspect: background bands of the expected widths around the centred picture, by method.
TEST_F(ResizeTest, KeepAspectGeometry)
{
    struct Row {
        int method, sw, sh, W, H;
        bool keep;
        int top, bottom, left, right;
    } table[] = {
        // 100 x 50 into 100 x 100: yoff 25; nearest rounds row -1/2 to row 0
        {3, 100, 50, 100, 100, true, 25, 25, 0, 0},
        {2, 100, 50, 100, 100, true, 25, 25, 0, 0},
        {1, 100, 50, 100, 100, true, 25, 25, 0, 0},
        {0, 100, 50, 100, 100, true, 24, 25, 0, 0},
        // 50 x 100 into 100 x 100: xoff 25
        {3, 50, 100, 100, 100, true, 0, 0, 25, 25},
        {0, 50, 100, 100, 100, true, 0, 0, 24, 25},
        // 37 x 23 into 40 x 40: yoff 560 / 74 = 7; rows from (Y - 7) 37 / 40 >= 23, Y >= 32, are below
        {3, 37, 23, 40, 40, true, 7, 8, 0, 0},
        {2, 37, 23, 40, 40, true, 7, 8, 0, 0},
        // 30 x 20 into 100 x 30: xoff 1100 / 40 = 27; columns from (X - 27) 20 / 30 >= 30, X >= 72
        {3, 30, 20, 100, 30, true, 0, 0, 27, 28},
        {1, 30, 20, 100, 30, true, 0, 0, 27, 28},
        // the same aspect (D = 0): no band; without keep aspect: none either
        {3, 100, 50, 200, 100, true, 0, 0, 0, 0},
        {3, 100, 50, 100, 100, false, 0, 0, 0, 0},
        {0, 100, 50, 100, 100, false, 0, 0, 0, 0},
    };
    for (const Row &t : table) {
        Result r = RunOk(Flat(t.sw, t.sh, 0xFF808080u), t.W, t.H, t.method, t.keep);
        auto back = [&](int x, int y) { return r.px[(size_t)y * t.W + x] == kBack; };
        int top = 0, bottom = 0, left = 0, right = 0;
        while (top < t.H && back(t.W / 2, top))
            top++;
        while (bottom < t.H && back(t.W / 2, t.H - 1 - bottom))
            bottom++;
        while (left < t.W && back(left, t.H / 2))
            left++;
        while (right < t.W && back(t.W - 1 - right, t.H / 2))
            right++;
        EXPECT_TRUE(top == t.top && bottom == t.bottom && left == t.left && right == t.right)
            << "method " << t.method << " " << t.sw << "x" << t.sh << " to " << t.W << "x" << t.H << ": bands "
            << top << " " << bottom << " " << left << " " << right;
        // inside the bands only picture
        int stray = 0;
        for (int y = t.top; y < t.H - t.bottom; y++)
            for (int x = t.left; x < t.W - t.right; x++)
                stray += r.px[(size_t)y * t.W + x] != 0xFF808080u;
        EXPECT_EQ(stray, 0) << "method " << t.method << " " << t.sw << "x" << t.sh;
    }
}

TEST_F(ResizeTest, MethodAboveThreeGivesAnAllZeroImage)
{
    Picture src = Noise(10, 10, 9, false);
    for (int method : {4, 99}) {
        Result r = RunOk(src, 13, 7, method, true);
        EXPECT_EQ(r.px, std::vector<uint32_t>(13 * 7, 0u)) << method;
    }
}

// No source picture to read (none given): every method gives the background, keep aspect or not.
TEST_F(ResizeTest, WithoutASourceEveryPixelIsBackground)
{
    for (int method = 0; method < 4; method++)
        for (int keep = 0; keep < 2; keep++) {
            ExtCommandArgs args = {0, 9, 0, 5, 0, method, 0, keep, 0, nullptr};
            ExtCommandResult out = {0, nullptr};
            ASSERT_EQ(resize(0, &args, &out), 1);
            ASSERT_NE(out.image, nullptr);
            std::vector<uint32_t> px((uint32_t *)out.image->pixels, (uint32_t *)out.image->pixels + 45);
            EXPECT_EQ(px, std::vector<uint32_t>(45, kBack)) << method << " " << keep;
            QzsDisposeCDIB(out.image);
            free(out.image);
        }
}

// Sizes the host cannot hold are refused by its image creation with its own messages (number 11
// and the "MES" box with the size); no image is stored and the result is 0. A size word past the
// int range is not cut to its low bits.
TEST_F(ResizeTest, BadSizesAreRefusedWithTheHostsMessage)
{
    struct Case {
        INT_PTR w, h;
        const char *mes;
    };
    std::vector<Case> cases = {{0, 10, "0 10 32"},
                               {10, -3, "10 -3 32"},
                               {32768, 16385, "32768 16385 32"}, // 2 GB and 128 KB: past the host's limit
                               {65536, 65536, "65536 65536 32"}}; // a store size that wraps to 0 in 32 bits
    if (sizeof(INT_PTR) == 8)
        cases.push_back({(INT_PTR)((int64_t)1 << 32) + 16, 16, "2147483647 16 32"});
    Picture src = Noise(10, 10, 10, false);
    for (const Case &c : cases) {
        boxes.boxes.clear();
        Result r = Run(src, c.w, c.h, 1, false);
        EXPECT_EQ(r.ok, 0) << c.mes;
        EXPECT_FALSE(r.image) << c.mes;
        std::vector<std::string> texts = Texts();
        EXPECT_EQ(texts, (std::vector<std::string>{"Not enough memory!!\n for stock image", c.mes}));
        ASSERT_EQ(boxes.boxes.size(), 2u);
        EXPECT_EQ(boxes.boxes[1].caption, "MES");
        EXPECT_EQ(ProgressWindow(), nullptr);
    }
    // Null records: nothing done.
    EXPECT_EQ(resize(0, nullptr, nullptr), 0);
}

TEST_F(ResizeTest, ProgressRunsOverEveryRowAndCloses)
{
    const char *text = QzsSetProgressMessage("");
    Result r = RunOk(Noise(37, 23, 11, false), 20, 31, 3, false);
    EXPECT_STREQ(text, "Now Resizing...");
    EXPECT_EQ(ProgressStepsShown(), 20);
    EXPECT_EQ(ProgressWindow(), nullptr);
}

} // namespace
