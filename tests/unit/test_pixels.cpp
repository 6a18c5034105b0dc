// Pixel access: clamped reads, masked writes into base-sized buffers, the composite write of
// transforms, bilinear sampling and the pen read, on layers that lie partly off the base.
#include "testsupport.h"
#include "image/cdib.h"
#include "image/group.h"
#include "image/imagelist.h"
#include "view/paint.h"
#include "image/pixels.h"
#include "view/winlist.h"
#include <algorithm>
#include <math.h>
#include <random>
#include <string.h>
#include <vector>

namespace {

const int kGuard = 16;             // words kept free before and after each base-sized buffer
const uint32_t kCanary = 0xDEADBEEF;
const uint8_t kByteCanary = 0xA5;

// Every layer pixel tells where it is: x in blue, y in green, the image in red, alpha 0x80.
uint32_t Pattern(int tag, int x, int y)
{
    return 0x80000000u | ((uint32_t)(tag & 255) << 16) | ((uint32_t)(y & 255) << 8) | (uint32_t)(x & 255);
}

class PixelTest : public HostTest {
protected:
    static const int kBaseW = 8, kBaseH = 6;
    ImageGroup *group = nullptr;
    ImageWindow window{};
    std::vector<uint32_t> draw, dest;
    std::vector<uint8_t> coverage, work;

    void SetUp() override
    {
        HostTest::SetUp();
        CDIB *base = nullptr;
        QzsCreateNewImage(&base, kBaseW, kBaseH, 32);
        ASSERT_NE(base, nullptr);
        ASSERT_EQ(AddImageGroup(base), 1);
        group = g_lastGroup;
        base->mask = (uint8_t *)calloc(kBaseW * kBaseH, 1);
        FillImage(base, 0);
        size_t n = kBaseW * kBaseH + 2 * kGuard;
        draw.assign(n, kCanary);
        dest.assign(n, kCanary);
        coverage.assign(n, kByteCanary);
        work.assign(n, kByteCanary);
        for (int i = 0; i < kBaseW * kBaseH; i++)
            coverage[kGuard + i] = work[kGuard + i] = 0;
        window.group = group;
        window.drawBuffer = draw.data() + kGuard;
        window.coverage = coverage.data() + kGuard;
        window.editMask = work.data() + kGuard;
        window.layerImage = base;
        g_currentWindow = &window;
        ClearDirtyRect();
    }
    void TearDown() override
    {
        g_currentWindow = nullptr;
        HostTest::TearDown();
    }
    void FillImage(CDIB *image, int tag)
    {
        int w, h, d;
        GetImageSize(image, &w, &h, &d);
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++)
                ((uint32_t *)image->pixels)[y * w + x] = Pattern(tag, x, y);
    }
    LayerRecord *AddLayer(int w, int h, int x, int y, int tag)
    {
        CDIB *image = nullptr;
        EXPECT_EQ(CreateImageRecord(&image, w, h, 32), 0);
        FillImage(image, tag);
        LayerRecord *layer = QzsInsertNewLayer(group, image, x, y, 1, 255, 0);
        EXPECT_EQ(group->layerX, x);
        window.layerImage = image;
        return layer;
    }
    uint8_t &Mask(int x, int y) { return group->base->mask[y * kBaseW + x]; }
    uint8_t &Work(int x, int y) { return window.editMask[y * kBaseW + x]; }
    void ExpectGuardsIntact()
    {
        for (int i = 0; i < kGuard; i++) {
            size_t end = kGuard + kBaseW * kBaseH + i;
            EXPECT_EQ(dest[i], kCanary);
            EXPECT_EQ(dest[end], kCanary);
            EXPECT_EQ(draw[i], kCanary);
            EXPECT_EQ(draw[end], kCanary);
            EXPECT_EQ(coverage[i], kByteCanary);
            EXPECT_EQ(coverage[end], kByteCanary);
            EXPECT_EQ(work[i], kByteCanary);
            EXPECT_EQ(work[end], kByteCanary);
        }
    }
};

// The two awkward layers: one hanging off the top-left corner, one larger than the base.
struct LayerCase {
    int w, h, x, y;
} const kLayers[] = {{5, 4, -2, -3}, {12, 9, -3, -2}, {4, 3, 6, 4}};

TEST_F(PixelTest, ReadsClampIntoTheStartedImage)
{
    AddLayer(12, 9, -3, -2, 7);
    EXPECT_EQ(QzsStartOnImage(group->currentImage), window.coverage);
    struct Case {
        int x, y, ex, ey, result;
    } const cases[] = {
        {0, 0, 0, 0, 1},     {11, 8, 11, 8, 1},  {-5, 3, 0, 3, 0},     {12, 9, 11, 8, 0},
        {3, -1, 3, 0, 0},    {12, 2, 11, 2, 0},  {INT32_MIN, INT32_MAX, 0, 8, 0}, {INT32_MAX, INT32_MIN, 11, 0, 0},
    };
    for (const Case &c : cases) {
        uint32_t color = 0;
        EXPECT_EQ(QzsGetColorOnImage(group->currentImage, c.x, c.y, &color), c.result) << c.x << "," << c.y;
        EXPECT_EQ(color, Pattern(7, c.ex, c.ey)) << c.x << "," << c.y;
    }
    // The window's service reads in group coordinates.
    uint32_t color = 0;
    EXPECT_EQ(QzsGetColorOnImageGlobal(&window, 0, 0, &color), 1);
    EXPECT_EQ(color, Pattern(7, 3, 2));
    EXPECT_EQ(QzsGetColorOnImageGlobal(&window, -10, 100, &color), 0);
    EXPECT_EQ(color, Pattern(7, 0, 8));
}

TEST_F(PixelTest, WritesStayInsideTheBaseForLayersPartlyOffIt)
{
    for (const LayerCase &lc : kLayers) {
        SCOPED_TRACE(testing::Message() << "layer " << lc.w << "x" << lc.h << " at " << lc.x << "," << lc.y);
        LayerRecord *layer = AddLayer(lc.w, lc.h, lc.x, lc.y, 3);
        QzsStartOnImage(layer->image);
        for (int i = 0; i < kBaseW * kBaseH; i++)
            dest[kGuard + i] = draw[kGuard + i] = coverage[kGuard + i] = 0;
        ClearDirtyRect();
        int written = 0;
        // Every layer pixel and a margin around it, through both writers.
        for (int y = -2; y < lc.h + 2; y++) {
            for (int x = -2; x < lc.w + 2; x++) {
                int gx = x + lc.x, gy = y + lc.y;
                bool onLayer = x >= 0 && y >= 0 && x < lc.w && y < lc.h;
                bool onBase = gx >= 0 && gy >= 0 && gx < kBaseW && gy < kBaseH;
                uint32_t c = 0xFF000000u | (uint32_t)(gy << 8 | gx);
                EXPECT_EQ(QzsSetColorOnImage(layer->image, dest.data() + kGuard, x, y, &c, 0, 1), onLayer && onBase)
                    << x << "," << y;
                EXPECT_EQ(QzsSetColorOnEdtWin(&window, x, y, &c), onLayer && onBase) << x << "," << y;
                written += onLayer && onBase;
            }
        }
        EXPECT_GT(written, 0);
        ExpectGuardsIntact();
        for (int gy = 0; gy < kBaseH; gy++) {
            for (int gx = 0; gx < kBaseW; gx++) {
                bool covered = gx >= lc.x && gy >= lc.y && gx < lc.x + lc.w && gy < lc.y + lc.h;
                uint32_t want = covered ? 0xFF000000u | (uint32_t)(gy << 8 | gx) : 0;
                EXPECT_EQ(dest[kGuard + gy * kBaseW + gx], want) << gx << "," << gy;
                EXPECT_EQ(draw[kGuard + gy * kBaseW + gx], want) << gx << "," << gy;
                EXPECT_EQ(coverage[kGuard + gy * kBaseW + gx], covered ? 255 : 0) << gx << "," << gy;
            }
        }
        // The transform's dirty rectangle is the written part, in group coordinates.
        RECT r;
        ASSERT_TRUE(GetDirtyRect(&r));
        EXPECT_EQ(r.left, lc.x > 0 ? lc.x : 0);
        EXPECT_EQ(r.top, lc.y > 0 ? lc.y : 0);
        EXPECT_EQ(r.right, lc.x + lc.w < kBaseW ? lc.x + lc.w - 1 : kBaseW - 1);
        EXPECT_EQ(r.bottom, lc.y + lc.h < kBaseH ? lc.y + lc.h - 1 : kBaseH - 1);
        RemoveLayer(group, layer, 0, 0, 1);
    }
}

TEST_F(PixelTest, EffectWritesMatchTheCheckedWriteOnRandomData)
{
    // A layer wholly on the base (the quick write) and one partly off it, random masks, colours,
    // coordinates a little past the layer and region bits now and then.
    std::mt19937 rng(9);
    for (const LayerCase &lc : {LayerCase{5, 4, 1, 1}, LayerCase{5, 4, -2, -3}}) {
        SCOPED_TRACE(lc.x);
        LayerRecord *layer = AddLayer(lc.w, lc.h, lc.x, lc.y, 3);
        const uint32_t *own = (const uint32_t *)layer->image->pixels;
        for (int i = 0; i < kBaseW * kBaseH; i++) {
            group->base->mask[i] = (uint8_t)rng();
            window.editMask[i] = (uint8_t)rng();
        }
        QzsStartOnImage(layer->image);
        for (int n = 0; n < 2000; n++) {
            int x = (int)(rng() % (lc.w + 4)) - 2, y = (int)(rng() % (lc.h + 4)) - 2;
            int bits = rng() % 4 == 0 ? (int)(rng() & 0x3F) : 0, useAlpha = (int)(rng() & 1);
            uint32_t color = rng();
            std::vector<uint32_t> wantDest(dest);
            std::vector<uint8_t> wantCover(coverage);
            // The write as every call made it: each check in turn.
            int64_t gx = (int64_t)x + lc.x, gy = (int64_t)y + lc.y;
            int want = 0;
            if (x >= 0 && y >= 0 && x < lc.w && y < lc.h && gx >= 0 && gy >= 0 && gx < kBaseW && gy < kBaseH) {
                size_t i = (size_t)(gy * kBaseW + gx);
                unsigned m = group->base->mask[i];
                bool refused = m >= 128;
                if (!refused && bits & 0x20) {
                    unsigned e = window.editMask[i], b = bits & ~0x20 ? bits & ~0x20 : 255;
                    refused = !(e & 0x20) || !(e & b);
                } else if (!refused && bits) {
                    refused = !(m & bits);
                }
                if (!refused) {
                    wantDest[kGuard + i] = useAlpha ? color : (color & 0x00FFFFFF) | (own[y * lc.w + x] & 0xFF000000);
                    wantCover[kGuard + i] = 255;
                    want = 1;
                }
            }
            ASSERT_EQ(QzsSetColorOnImage(layer->image, dest.data() + kGuard, x, y, &color, bits, useAlpha), want)
                << x << "," << y << " bits " << bits;
            ASSERT_EQ(dest, wantDest);
            ASSERT_EQ(coverage, wantCover);
        }
        RemoveLayer(group, layer, 0, 0, 1);
    }
}

TEST_F(PixelTest, MaskAndWorkMaskServicesRefuseOutsideTheBase)
{
    AddLayer(12, 9, -3, -2, 1);
    QzsStartOnImage(group->currentImage);
    Mask(7, 5) = 0x84;
    Work(0, 5) = 0x21;
    struct Case {
        int x, y;
        int mask, work; // expected bytes; -1 outside
    } const cases[] = {{7, 5, 0x84, 0}, {0, 5, 0, 0x21}, {-1, 0, -1, -1}, {8, 0, -1, -1}, {0, 6, -1, -1}, {0, -1, -1, -1}};
    for (const Case &c : cases) {
        uint8_t m = 0x55;
        QzsGetMaskOnImage(nullptr, c.x, c.y, &m);
        EXPECT_EQ(m, c.mask < 0 ? 0 : c.mask) << c.x << "," << c.y;
        EXPECT_EQ(QzsGetMask(&window, c.x, c.y), c.work < 0 ? 0 : c.work) << c.x << "," << c.y;
        uint8_t *row = QzsSetDrawFlag(&window, c.x, c.y, 1);
        if (c.work < 0) {
            EXPECT_EQ(row, nullptr);
        } else {
            EXPECT_EQ(row, window.editMask + c.y * kBaseW);
            EXPECT_EQ(QzsGetMask(&window, c.x, c.y), c.work | 0x40);
            QzsSetDrawFlag(&window, c.x, c.y, 0);
            EXPECT_EQ(QzsGetMask(&window, c.x, c.y), c.work);
        }
    }
    ExpectGuardsIntact();
}

TEST_F(PixelTest, RegionBitsDecideEachWrite)
{
    struct Case {
        uint8_t mask, work;
        int bits, written;
    } const cases[] = {
        {0x00, 0x00, 0, 1},    {0x81, 0x00, 0, 0},    {0x80, 0x20, 0x20, 0}, {0x01, 0x00, 2, 0},
        {0x01, 0x00, 1, 1},    {0x03, 0x00, 6, 1},    {0x04, 0x00, 3, 0},    {0x00, 0x20, 0x20, 1},
        {0x00, 0x00, 0x20, 0}, {0x00, 0x21, 0x21, 1}, {0x00, 0x20, 0x21, 0}, {0x01, 0x20, 0x21, 0},
        {0x00, 0x01, 0x21, 0}, {0x00, 0x24, 0x26, 1},
    };
    AddLayer(4, 4, 2, 1, 9);
    QzsStartOnImage(group->currentImage);
    for (const Case &c : cases) {
        Mask(3, 2) = c.mask;
        Work(3, 2) = c.work;
        dest[kGuard + 2 * kBaseW + 3] = 0;
        uint32_t color = 0xFF112233;
        EXPECT_EQ(QzsSetColorOnImage(group->currentImage, dest.data() + kGuard, 1, 1, &color, c.bits, 1), c.written)
            << std::hex << "mask " << (int)c.mask << " work " << (int)c.work << " bits " << c.bits;
        EXPECT_EQ(dest[kGuard + 2 * kBaseW + 3], c.written ? color : 0u);
        EXPECT_EQ(QzsCheckInRegion(c.mask, 0, 0, c.bits & 7), (c.bits & 7) == 0 || (c.mask & c.bits & 7) != 0);
    }
    // Without useAlpha the layer pixel keeps its own alpha.
    Mask(3, 2) = 0;
    uint32_t color = 0x11223344;
    EXPECT_EQ(QzsSetColorOnImage(group->currentImage, dest.data() + kGuard, 1, 1, &color, 0, 0), 1);
    EXPECT_EQ(dest[kGuard + 2 * kBaseW + 3], 0x80223344u);
    EXPECT_EQ(((uint32_t *)group->currentImage->pixels)[1 * 4 + 1], Pattern(9, 1, 1)); // the image is untouched
}

TEST_F(PixelTest, CompositeWriteOverTheEditedPixel)
{
    struct Case {
        uint32_t source, under;
        int written;
        uint32_t result;
    } const cases[] = {
        {0xFF0A141E, 0xFF646464, 1, 0xFF0A141E},  // opaque over opaque
        {0x8000C800, 0x00000000, 1, 0x8000C800},  // half over transparent keeps its colour
        {0x8000C800, 0xFF006400, 1, 0xFF009600},  // half over opaque: (200*255*128 + 100*255*127) / 65025
        {0x00FFFFFF, 0xFF000000, 0, 0xCCCCCCCC},  // transparent colour refused
    };
    AddLayer(4, 4, 1, 2, 0);
    uint32_t *pixels = (uint32_t *)window.layerImage->pixels;
    for (const Case &c : cases) {
        pixels[1 * 4 + 2] = c.under;
        draw[kGuard + 3 * kBaseW + 3] = 0xCCCCCCCC;
        EXPECT_EQ(QzsSetColorOnEdtWin(&window, 2, 1, &c.source), c.written) << std::hex << c.source;
        EXPECT_EQ(draw[kGuard + 3 * kBaseW + 3], c.result) << std::hex << c.source;
    }
    Mask(3, 3) = 0x80;
    uint32_t opaque = 0xFF000000;
    EXPECT_EQ(QzsSetColorOnEdtWin(&window, 2, 1, &opaque), 0);
}

// Reference bilinear sample: clamped neighbours, weights from the truncated coordinate.
void ReferenceSample(const std::vector<uint32_t> &px, int w, int h, double x, double y, uint8_t out[4])
{
    int ix = (int)x, iy = (int)y;
    double fx = x - ix, fy = y - iy;
    auto at = [&](int cx, int cy, int k) {
        cx = std::min(std::max(cx, 0), w - 1);
        cy = std::min(std::max(cy, 0), h - 1);
        return (double)((px[cy * w + cx] >> (8 * k)) & 255);
    };
    for (int k = 0; k < 4; k++) {
        double top = at(ix, iy, k) * (1 - fx) + at(ix + 1, iy, k) * fx;
        double bottom = at(ix, iy + 1, k) * (1 - fx) + at(ix + 1, iy + 1, k) * fx;
        double v = floor(top * (1 - fy) + bottom * fy + 0.5);
        out[k] = (uint8_t)std::min(std::max(v, 0.0), 255.0);
    }
}

TEST_F(PixelTest, BilinearSamplesMatchTheReference)
{
    const int w = 5, h = 4;
    LayerRecord *layer = AddLayer(w, h, -2, 3, 0);
    std::vector<uint32_t> px(w * h);
    uint32_t seed = 12345;
    for (uint32_t &p : px) {
        seed = seed * 1103515245u + 12345u;
        p = seed;
    }
    memcpy(layer->image->pixels, px.data(), px.size() * 4);
    Mask(0, 3) = 0x05;
    QzsStartOnImage(layer->image);
    const double xs[] = {-3.2, -0.75, 0, 0.25, 1.5, 2.999, 4, 4.6, 7};
    const double ys[] = {-1.5, 0, 0.4, 2.5, 3, 3.75, 9};
    for (double x : xs) {
        for (double y : ys) {
            uint8_t got[4], want[4], mask = 0x77;
            int result = QzsLinearInterpolate(layer->image, x, y, got, &mask);
            ReferenceSample(px, w, h, x, y, want);
            EXPECT_EQ(memcmp(got, want, 4), 0) << x << "," << y;
            int gx = (int)x - 2, gy = (int)y + 3;
            bool onBase = gx >= 0 && gy >= 0 && gx < kBaseW && gy < kBaseH;
            EXPECT_EQ(result, onBase) << x << "," << y;
            EXPECT_EQ(mask, onBase ? group->base->mask[gy * kBaseW + gx] : 0) << x << "," << y;
        }
    }
    // The midpoint of red 100 and 201 rounds up to 151; the window's form works in group coordinates.
    px[0] = 0xFF640000;
    px[1] = 0xFFC90000;
    memcpy(layer->image->pixels, px.data(), 8);
    uint8_t c[4], mask;
    EXPECT_EQ(QzsLinearInterpolateGlobal(&window, -1.5, 3, c, &mask), 0); // left of the base
    EXPECT_EQ(c[2], 151);
    EXPECT_EQ(QzsLinearInterpolate(layer->image, 2, 0, c, &mask), 1);
    EXPECT_EQ(mask, 0x05);
    // A position that is no number reads nothing and answers as a point off the base, clear; a
    // finite one far away still samples the nearest edge.
    const double nowhere[][2] = {{NAN, 1}, {1, NAN}, {INFINITY, 0}, {0, -INFINITY}, {NAN, 1e300}};
    for (const auto &p : nowhere) {
        memset(c, 0x77, 4);
        mask = 0x77;
        EXPECT_EQ(QzsLinearInterpolate(layer->image, p[0], p[1], c, &mask), 0) << p[0] << "," << p[1];
        EXPECT_TRUE(c[0] == 0 && c[1] == 0 && c[2] == 0 && c[3] == 0 && mask == 0) << p[0] << "," << p[1];
        EXPECT_EQ(QzsLinearInterpolateGlobal(&window, p[0], p[1], c, &mask), 0);
        EXPECT_TRUE(c[0] == 0 && c[3] == 0 && mask == 0);
    }
    EXPECT_EQ(QzsLinearInterpolate(layer->image, -1e300, 0, c, &mask), 0);
    EXPECT_EQ(c[2], 100);
}

TEST_F(PixelTest, PenReadTakesClampedPixelsUnderWeightedCells)
{
    AddLayer(6, 5, 0, 0, 4);
    QzsStartOnImage(group->currentImage);
    const int n = 4;
    uint32_t weights[n * n] = {0, 9, 9, 0, 9, 9, 9, 9, 0, 9, 0, 9, 0, 0, 0, 0};
    uint32_t work[n * n];
    for (uint32_t &v : work)
        v = 0xEEEEEEEE;
    PenRecord pen{};
    pen.side = n;
    pen.hotX = pen.hotY = 1;
    pen.left = 0, pen.top = 0, pen.right = 3, pen.bottom = 2;
    pen.weights = weights;
    pen.work = work;
    EXPECT_EQ(FillPenWork(&pen, 0, 4), work);
    for (int r = 0; r < n; r++) {
        for (int c = 0; c < n; c++) {
            uint32_t want = 0xEEEEEEEE; // outside the box: as it was
            if (r <= 2)
                want = weights[r * n + c] ? Pattern(4, std::max(c - 1, 0), std::min(4 + r - 1, 4)) : 0;
            EXPECT_EQ(work[r * n + c], want) << r << "," << c;
        }
    }
}

// A side a plug-in wrote past the pen's matrices is not walked by the pen read.
TEST_F(PixelTest, PenReadKeepsToThePenMatrices)
{
    ASSERT_EQ(QzsCreatePen(5), 1); // side 4
    PenRecord *pen = QzsGetPen();
    uint32_t *ownWeights = pen->weights, *ownWork = pen->work;
    std::vector<uint32_t> weights(64, 9), work(64, kCanary);
    pen->weights = weights.data();
    pen->work = work.data();
    pen->side = 8;
    pen->left = pen->top = 0;
    pen->right = pen->bottom = 7;
    QzsGetColorInPen(0, 0);
    for (int i = 16; i < 64; i++)
        EXPECT_EQ(work[i], kCanary) << i;
    pen->weights = ownWeights;
    pen->work = ownWork;
    pen->side = 4;
}

TEST_F(PixelTest, PlainStartReadsWithinThePlainImage)
{
    AddLayer(12, 9, 0, 0, 2);
    QzsStartOnImage(group->currentImage);
    CDIB small{};
    ASSERT_EQ(InitImageRecord(3, 2, 32, &small, 0, 1), 0);
    uint32_t *px = (uint32_t *)small.pixels;
    for (int i = 0; i < 6; i++)
        px[i] = 0xFF000000u | (uint32_t)i;
    StartOnPlainImage(&small);
    uint32_t color = 0;
    EXPECT_EQ(QzsGetColorOnImage(&small, 5, 1, &color), 0);
    EXPECT_EQ(color, px[5]);
    uint32_t out[6] = {}, c = 0xFF00FF00;
    EXPECT_EQ(QzsSetColorOnImage(&small, out, 2, 1, &c, 0, 1), 1);
    EXPECT_EQ(out[5], c);
    EXPECT_EQ(QzsSetColorOnImage(&small, out, 3, 1, &c, 0, 1), 0);
    // A plain image has no window: the window's coverage stays as it was.
    for (int i = 0; i < kBaseW * kBaseH; i++)
        EXPECT_EQ(window.coverage[i], 0);
    // Another, wider image read while the small one is started: its own rows, within the part the
    // started size covers.
    CDIB *layer = group->currentImage;
    EXPECT_EQ(QzsGetColorOnImage(layer, 2, 1, &color), 1);
    EXPECT_EQ(color, Pattern(2, 2, 1));
    EXPECT_EQ(QzsGetColorOnImage(layer, 7, 5, &color), 0);
    EXPECT_EQ(color, Pattern(2, 2, 1));
    uint8_t sample[4], mask;
    QzsLinearInterpolate(layer, 1.0, 1.0, sample, &mask);
    EXPECT_EQ(sample[0], 1); // blue: x
    EXPECT_EQ(sample[1], 1); // green: y
    FreeImageStore(&small);
}

// A plug-in that disposes the image it started on and goes on writing reads no freed store.
TEST_F(PixelTest, FreeingTheStartedStoreEndsTheStart)
{
    CDIB temp{};
    ASSERT_EQ(QzsCreateCDIB(4, 4, 32, &temp), 0);
    StartOnPlainImage(&temp);
    QzsDisposeCDIB(&temp);
    uint32_t out[16] = {}, c = 0xFF00FF00, color = 1;
    EXPECT_EQ(QzsSetColorOnImage(&temp, out, 1, 1, &c, 0, 0), 0);
    EXPECT_EQ(out[5], 0u);
    EXPECT_EQ(QzsGetColorOnImage(&temp, 1, 1, &color), 0);
    EXPECT_EQ(color, 0u);
}

} // namespace
