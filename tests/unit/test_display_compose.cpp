// Layer compositing into a window's display, checked against a composite computed here, and the
// display copied to a device context at several zooms.
#include "testsupport.h"
#include "image/cdib.h"
#include "image/colors.h"
#include "view/display.h"
#include "image/group.h"
#include "image/imagelist.h"
#include "view/writers.h"
#include "view/winlist.h"
#include <stdlib.h>
#include <string.h>
#include <algorithm>
#include <memory>
#include <vector>

namespace {

struct Pixel {
    int b, g, r, a;
};

Pixel Unpack(uint32_t v)
{
    return {int(v & 255), int((v >> 8) & 255), int((v >> 16) & 255), int(v >> 24)};
}

uint32_t Pack(const Pixel &p)
{
    return uint32_t(p.b) | uint32_t(p.g) << 8 | uint32_t(p.r) << 16 | uint32_t(p.a) << 24;
}

// Alpha-over of one upper pixel whose alpha is already scaled, as the composite is defined.
Pixel Over(const Pixel &lower, const Pixel &upper)
{
    if (upper.a == 0)
        return lower;
    int d = 255 * (upper.a + lower.a) - upper.a * lower.a;
    auto ch = [&](int cu, int cl) { return (cu * 255 * upper.a + cl * lower.a * (255 - upper.a)) / d; };
    return {ch(upper.b, lower.b), ch(upper.g, lower.g), ch(upper.r, lower.r), d / 255};
}

void FillPattern(CDIB *image, int seed, bool varyAlpha)
{
    int w, h, d;
    GetImageSize(image, &w, &h, &d);
    uint32_t *p = (uint32_t *)image->pixels;
    uint32_t s = (uint32_t)seed;
    for (int i = 0; i < w * h; i++) {
        s = s * 1103515245u + 12345u;
        Pixel px = {int(s >> 8 & 255), int(s >> 16 & 255), int(s >> 24), 255};
        if (varyAlpha) {
            static const int alphas[] = {0, 255, 1, 128, 200, 64};
            px.a = alphas[(s >> 4) % 6];
        }
        p[i] = Pack(px);
    }
}

struct LayerPlan {
    int x, y, w, h, status, opacity;
};

class DisplayComposeTest : public HostTest {
protected:
    void SetUp() override
    {
        HostTest::SetUp();
        InitDisplayWriters(32);
        window = (ImageWindow *)calloc(1, sizeof(ImageWindow));
        window->marginX = 3;
        window->marginY = 2;
        window->dither = 1;
        window->maskDisplay = 1;
        window->regionDisplayMode = 4;
        window->layerFrameMode = 0;
    }
    void TearDown() override
    {
        FreeWindowBuffers(window);
        free(window);
        HostTest::TearDown();
    }
    ImageGroup *MakeGroup(int w, int h, const std::vector<LayerPlan> &layers)
    {
        CDIB *base = nullptr;
        QzsCreateNewImage(&base, w, h, 32);
        FillPattern(base, 7, false);
        AddImageGroup(base);
        ImageGroup *g = g_lastGroup;
        int seed = 100;
        for (const LayerPlan &l : layers) {
            CDIB *image = nullptr;
            CreateImageRecord(&image, l.w, l.h, 32);
            FillPattern(image, seed++, true);
            QzsInsertNewLayer(g, image, l.x, l.y, l.status, l.opacity, 0);
        }
        return g;
    }
    // The group's colour at (x, y) from its base and layers, computed from the records.
    static Pixel Reference(const ImageGroup *g, int x, int y)
    {
        int w, h, d;
        GetImageSize(g->base, &w, &h, &d);
        Pixel c = Unpack(((uint32_t *)g->base->pixels)[y * w + x]);
        for (const LayerRecord *l = g->firstLayer; l; l = l->next) {
            int lw, lh, ld;
            GetImageSize(l->image, &lw, &lh, &ld);
            if (l->status != 1 || x < l->x || y < l->y || x >= l->x + lw || y >= l->y + lh)
                continue;
            Pixel u = Unpack(((uint32_t *)l->image->pixels)[(y - l->y) * lw + (x - l->x)]);
            u.a = u.a * l->opacity / 255;
            c = Over(c, u);
        }
        return c;
    }
    uint32_t DisplayAt(int dx, int dy) const
    {
        return ((uint32_t *)window->display.pixels)[(window->displayHeight - dy - 1) * window->displayWidth + dx];
    }
    ImageWindow *window;
};

TEST_F(DisplayComposeTest, BlendPixelOverCases)
{
    struct Case {
        Pixel lower, upper, out;
    } cases[] = {
        {{10, 20, 30, 255}, {200, 100, 50, 0}, {10, 20, 30, 255}},   // transparent upper leaves lower
        {{10, 20, 30, 255}, {200, 100, 50, 255}, {200, 100, 50, 255}}, // opaque upper replaces
        {{0, 0, 0, 255}, {255, 255, 255, 128}, {128, 128, 128, 255}},  // integer mix over opaque
        {{9, 9, 9, 0}, {40, 80, 120, 128}, {40, 80, 120, 128}},        // over nothing keeps colour and alpha
    };
    for (const Case &c : cases) {
        uint8_t lower[4] = {(uint8_t)c.lower.b, (uint8_t)c.lower.g, (uint8_t)c.lower.r, (uint8_t)c.lower.a};
        uint8_t upper[4] = {(uint8_t)c.upper.b, (uint8_t)c.upper.g, (uint8_t)c.upper.r, (uint8_t)c.upper.a};
        uint8_t out[4];
        BlendPixelOver(lower, upper, 0, 0, out);
        EXPECT_EQ(out[0], c.out.b);
        EXPECT_EQ(out[1], c.out.g);
        EXPECT_EQ(out[2], c.out.r);
        EXPECT_EQ(out[3], c.out.a);
    }
}

TEST_F(DisplayComposeTest, DisplayMatchesReferenceWithNegativeAndOversizedLayers)
{
    // A layer hanging over the top-left corner, one larger than the base, one hidden, one invisible.
    ImageGroup *g = MakeGroup(37, 23, {{-5, -7, 20, 15, 1, 200}, {3, 2, 60, 50, 1, 255}, {1, 1, 10, 10, 0, 255},
                                       {0, 0, 37, 23, 1, 0}});
    ASSERT_EQ(BuildWindowDisplay(window, g, false), 1);
    ASSERT_EQ(window->displayWidth, 37 + 6);
    ASSERT_EQ(window->displayHeight, 23 + 4);
    for (int dy = 0; dy < window->displayHeight; dy++)
        for (int dx = 0; dx < window->displayWidth; dx++) {
            int x = dx - 3, y = dy - 2;
            uint32_t want = x < 0 || y < 0 || x >= 37 || y >= 23 ? 0xFF808080u : Pack(Reference(g, x, y));
            ASSERT_EQ(DisplayAt(dx, dy), want) << "display " << dx << "," << dy;
        }
    // A partial recomposition after a change touches only its rectangle.
    ((uint32_t *)g->base->pixels)[5 * 37 + 30] = 0xFF010203u;
    ComposeDisplayRect(window, g, 30, 5, 30, 5, 0);
    EXPECT_EQ(DisplayAt(33, 7), Pack(Reference(g, 30, 5)));
    // Rectangles beyond the base are clipped instead of read past the stores.
    EXPECT_EQ(ComposeDisplayRect(window, g, -50, -50, 500, 500, 0), 1);
    EXPECT_EQ(ComposeDisplayRect(window, g, 0, 0, -1, 4, 0), 0);
}

TEST_F(DisplayComposeTest, LargeRecompositionOnThreadsMatchesTheReferenceAndTheRowByRowOne)
{
    // Over a million pixels, so that the whole recomposition is shared out by bands of rows.
    const int w = 1100, h = 1000;
    ImageGroup *g = MakeGroup(w, h, {{-40, 30, 900, 800, 1, 230}, {200, -10, 1000, 1020, 1, 128},
                                     {500, 500, 700, 600, 1, 255}});
    ASSERT_EQ(BuildWindowDisplay(window, g, false), 1);
    // A few pixels drawn in the stroke, and the frame around the current layer, are tinted.
    window->layerFrameMode = 1;
    window->group = g;
    for (int y : {0, 17, 500, 999})
        window->editMask[(size_t)y * w + 600] = 0x40;
    ComposeWholeDisplay(window, g);
    size_t cells = (size_t)window->displayWidth * window->displayHeight;
    std::vector<uint32_t> shared((uint32_t *)window->display.pixels, (uint32_t *)window->display.pixels + cells);
    for (int y : {0, 17, 200, 499, 500, 501, 998, 999})
        for (int x = 0; x < w; x++) {
            // The reference colour shown through the one-pixel writer.
            uint32_t color = Pack(Reference(g, x, y)), want;
            int inside = x >= 500 && y >= 500;
            StartWriteRun(&g_displayWrite, 0, 0, 1, 1, 32);
            PutDisplayPixel(window, &want, x + 3, y + 2, (const uint8_t *)&color, window->editMask[(size_t)y * w + x],
                            inside);
            ASSERT_EQ(DisplayAt(x + 3, y + 2), want) << x << "," << y;
        }
    // The margins stay as they were; the picture is composed again one row at a time.
    for (int y = 0; y < h; y++) {
        size_t row = (size_t)(window->displayHeight - (y + 2) - 1) * window->displayWidth + 3;
        memset((uint32_t *)window->display.pixels + row, 0, (size_t)w * 4);
        ComposeDisplayRect(window, g, 0, y, w - 1, y, 0);
    }
    EXPECT_TRUE(std::equal(shared.begin(), shared.end(), (uint32_t *)window->display.pixels));
}

TEST_F(DisplayComposeTest, RowRunsAndHiddenBase)
{
    ImageGroup *g = MakeGroup(40, 40, {{10, 0, 8, 40, 1, 255}});
    std::vector<uint32_t> row(10);
    std::vector<uint8_t> masks(10);
    // The layer begins right after the run: nothing of it shows.
    ComposeRow(0, 3, 0, 10, g, nullptr, nullptr, nullptr, row.data(), masks.data());
    for (int i = 0; i < 10; i++)
        EXPECT_EQ(row[i], ((uint32_t *)g->base->pixels)[3 * 40 + i]);
    // The run ends inside the layer: it contributes up to the run's last pixel.
    ComposeRow(5, 3, 0, 10, g, nullptr, nullptr, nullptr, row.data(), masks.data());
    for (int i = 0; i < 10; i++)
        EXPECT_EQ(row[i], Pack(Reference(g, 5 + i, 3))) << i;
    // A hidden base is a 16-pixel checkerboard starting white.
    g->baseStatus = 0;
    g->firstLayer->status = 0;
    std::vector<uint32_t> wide(40);
    std::vector<uint8_t> wideMask(40);
    for (int y : {0, 16, 39}) {
        ComposeRow(0, y, 0, 40, g, nullptr, nullptr, nullptr, wide.data(), wideMask.data());
        for (int x = 0; x < 40; x++)
            EXPECT_EQ(wide[x], ((x / 16 + y / 16) % 2) ? 0xFFC0C0C0u : 0xFFFFFFFFu) << x << "," << y;
    }
    // Rows outside the base come back empty.
    EXPECT_EQ(ComposeRow(0, 40, 0, 10, g, nullptr, nullptr, nullptr, row.data(), masks.data()), 0);
}

TEST_F(DisplayComposeTest, TintsByMaskRegionAndLayerFrame)
{
    window->activeRegion = 1;
    window->marginX = window->marginY = 0;
    const uint8_t color[4] = {40, 80, 120, 255};
    struct Case {
        uint8_t mask;
        int inside, regionMode, frameMode, maskDisplay, x, y;
        uint32_t want;
    } cases[] = {
        {1, 1, 1, 1, 1, 0, 0, 0xFF785028u},    // inside the active region: the colour
        {0, 1, 1, 1, 1, 0, 0, 0xFF000000u},    // outside it, mode 1: black
        {0, 1, 2, 1, 1, 0, 0, 0xFF3C2814u},    // mode 2: halved
        {0, 1, 3, 1, 1, 1, 0, 0xFF785028u},    // mode 3: colour where x + y is odd
        {0, 1, 3, 1, 1, 1, 1, 0xFFFFFFFFu},    //         white elsewhere
        {0, 1, 4, 1, 1, 0, 0, 0xFF785028u},    // mode 4: unchanged
        {0x41, 1, 1, 1, 1, 0, 0, 0xFF000000u}, // drawn in this stroke
        {0x81, 1, 1, 1, 1, 0, 0, 0xFF87AFD7u}, // protected, shown inverted
        {0x81, 1, 1, 1, 0, 0, 0, 0xFF785028u}, //            not inverted
        {0x21, 1, 1, 1, 1, 0, 0, 0xFF6464FFu}, // marked: light blue
        {1, 0, 1, 2, 1, 0, 0, 0xFF3C2814u},    // outside the layer, frame mode 2: halved
        {1, 0, 1, 0, 1, 0, 0, 0xFF785028u},    // frame mode 0: the colour
    };
    uint32_t pixel;
    for (const Case &c : cases) {
        window->regionDisplayMode = c.regionMode;
        window->layerFrameMode = c.frameMode;
        window->maskDisplay = c.maskDisplay;
        StartWriteRun(&g_displayWrite, 0, 0, 1, 1, 32);
        PutDisplayPixel(window, &pixel, c.x, c.y, color, c.mask, c.inside);
        EXPECT_EQ(pixel, c.want) << "mask " << int(c.mask) << " mode " << c.regionMode;
    }
}

TEST_F(DisplayComposeTest, LayerFrameIsOnePixelOutsideTheCurrentLayer)
{
    ImageGroup *g = MakeGroup(20, 20, {{5, 6, 4, 3, 1, 0}}); // the layer is current
    window->layerFrameMode = 1;
    ASSERT_EQ(BuildWindowDisplay(window, g, false), 1);
    const uint32_t blue = 0xFF0000FFu;
    for (int y = 0; y < 20; y++)
        for (int x = 0; x < 20; x++) {
            bool column = (x == 4 || x == 9) && y >= 6 && y <= 8;
            bool row = (y == 5 || y == 9) && x >= 5 && x <= 8;
            uint32_t want = column || row ? blue : Pack(Reference(g, x, y));
            ASSERT_EQ(DisplayAt(x + 3, y + 2), want) << x << "," << y;
        }
}

// The display copied into a 32-bit device context at a zoom: client pixel (cx, cy) shows display
// pixel (view + c / z).
TEST_F(DisplayComposeTest, PaintedClientMatchesTheDisplayAtSeveralZooms)
{
    ImageGroup *g = MakeGroup(13, 9, {{-2, -1, 6, 6, 1, 180}});
    ASSERT_EQ(BuildWindowDisplay(window, g, false), 1);
    const int cw = 64, ch = 48;
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = cw;
    bi.bmiHeader.biHeight = -ch;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void *bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(bmp, nullptr);
    HGDIOBJ old = SelectObject(dc, bmp);
    struct Case {
        int zoom, viewX, viewY;
    } cases[] = {{1, 0, 0}, {1, -4, -3}, {3, 2, 1}, {16, 5, 4}};
    for (const Case &c : cases) {
        memset(bits, 0x5A, cw * ch * 4);
        window->display.zoom = c.zoom;
        window->display.viewX = c.viewX;
        window->display.viewY = c.viewY;
        window->clientWidth = cw;
        window->clientHeight = ch;
        LayoutImageWindow(window);
        window->display.viewX = c.viewX; // the layout may move a view that runs past the display
        window->display.viewY = c.viewY;
        int mx = window->marginX, my = window->marginY;
        int L = std::max(c.viewX - mx, -mx), T = std::max(c.viewY - my, -my);
        int R = std::min(L + window->visibleColumns, 13 + mx - 1), B = std::min(T + window->visibleRows, 9 + my - 1);
        PaintImageRectOn(dc, window, L, T, R, B);
        GdiFlush();
        for (int cy = 0; cy < ch; cy++)
            for (int cx = 0; cx < cw; cx++) {
                int dx = c.viewX + cx / c.zoom, dy = c.viewY + cy / c.zoom;
                if (dx < std::max(c.viewX, 0) || dy < std::max(c.viewY, 0) || dx > R + mx || dy > B + my)
                    continue;
                uint32_t got = ((uint32_t *)bits)[cy * cw + cx] | 0xFF000000u;
                ASSERT_EQ(got, DisplayAt(dx, dy)) << "zoom " << c.zoom << " client " << cx << "," << cy;
            }
    }
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
}

TEST_F(DisplayComposeTest, PaintGeometryAtReductions)
{
    window->marginX = window->marginY = 3;
    window->displayHeight = 30;
    struct Case {
        int zoom, width, viewX, viewY, x0, y0, x1, y1;
        PaintGeometry want;
    } cases[] = {
        // zoom 2: client = (image - origin) x 2; source rows counted from the bottom
        {2, 30, 3, 3, 0, 0, 4, 5, {0, 0, 10, 12, 3, 21, 5, 6}},
        // reductions: whole blocks of display pixels from the view origin taken down to a multiple
        {-2, 30, 1, 1, -2, -2, 9, 9, {0, 0, 7, 7, 0, 16, 14, 14}},
        {-4, 30, 3, 3, 0, 0, 10, 7, {0, 0, 4, 3, 0, 18, 16, 12}},
        // a negative origin (the display centred in a larger client): floor, not truncation
        {-2, 30, -5, -3, -3, -3, 26, 26, {3, 2, 15, 15, 0, 0, 30, 30}},
        // a display not a whole number of blocks wide: the partial block is not copied
        {-4, 29, 0, 0, -3, -3, 25, 26, {0, 0, 7, 7, 0, 2, 28, 28}},
    };
    for (const Case &c : cases) {
        window->display.zoom = c.zoom;
        window->displayWidth = c.width;
        window->display.viewX = c.viewX;
        window->display.viewY = c.viewY;
        PaintGeometry g;
        GetPaintGeometry(window, c.x0, c.y0, c.x1, c.y1, &g);
        EXPECT_EQ(g.destX, c.want.destX) << c.zoom;
        EXPECT_EQ(g.destY, c.want.destY) << c.zoom;
        EXPECT_EQ(g.destWidth, c.want.destWidth) << c.zoom;
        EXPECT_EQ(g.destHeight, c.want.destHeight) << c.zoom;
        EXPECT_EQ(g.srcX, c.want.srcX) << c.zoom;
        EXPECT_EQ(g.srcY, c.want.srcY) << c.zoom;
        EXPECT_EQ(g.srcWidth, c.want.srcWidth) << c.zoom;
        EXPECT_EQ(g.srcHeight, c.want.srcHeight) << c.zoom;
        // Never a pixel from beyond the display.
        EXPECT_GE(g.srcX, 0);
        EXPECT_GE(g.srcY, 0);
        EXPECT_LE(g.srcX + g.srcWidth, c.width);
        EXPECT_LE(g.srcY + g.srcHeight, 30);
    }
}

TEST_F(DisplayComposeTest, ViewOnlyBaseIsShownThroughItsPaletteWithoutWorkBuffers)
{
    CDIB *base = (CDIB *)calloc(1, sizeof(CDIB));
    ASSERT_EQ(InitImageRecord(9, 7, 8, base, 0, 1), 0);
    base->editDepth = 8;
    uint8_t *rows = (uint8_t *)base->pixels; // bottom-up, 12 bytes a row
    for (int i = 0; i < 12 * 7; i++)
        rows[i] = (uint8_t)(i * 37);
    AppendImage(base);
    AddImageGroup(base);
    ASSERT_EQ(BuildWindowDisplay(window, g_lastGroup, false), 1);
    EXPECT_EQ(window->lock, 1);
    EXPECT_EQ(window->drawBuffer, nullptr);
    EXPECT_EQ(window->editMask, nullptr);
    ASSERT_EQ(window->displayWidth, 15);
    const RGBQUAD *table = base->header->bmiColors;
    for (int y = 0; y < 7; y++)
        for (int x = 0; x < 9; x++) {
            const RGBQUAD &q = table[rows[(6 - y) * 12 + x]];
            uint32_t want = 0xFF000000u | q.rgbRed << 16 | q.rgbGreen << 8 | q.rgbBlue;
            EXPECT_EQ(DisplayAt(x + 3, y + 2), want) << x << "," << y;
        }
}

} // namespace

namespace {

TEST_F(DisplayComposeTest, FlattenOntoTheBackgroundColour)
{
    CDIB image = {};
    ASSERT_EQ(QzsCreateCDIB(4, 1, 32, &image), 0);
    g_colorTable[1].red = 10, g_colorTable[1].green = 20, g_colorTable[1].blue = 30; // the background
    uint32_t *p = (uint32_t *)image.pixels;
    p[0] = 0x00FFFFFFu; // transparent
    p[1] = 0xFF405060u; // opaque
    p[2] = 0x80FF0000u; // half red
    p[3] = 0x01000000u;
    FlattenOntoBackground(&image);
    EXPECT_EQ(p[0], 0xFF0A141Eu);
    EXPECT_EQ(p[1], 0xFF405060u);
    Pixel half = Over({30, 20, 10, 255}, {0, 0, 255, 128});
    half.a = 255;
    EXPECT_EQ(p[2], Pack(half));
    EXPECT_EQ(p[3] >> 24, 255u);
    QzsDisposeCDIB(&image);
}

TEST_F(DisplayComposeTest, WorkBuffers)
{
    ImageGroup *g = MakeGroup(6, 4, {});
    g->base->mask = (uint8_t *)calloc(24, 1);
    g->base->mask[7] = 0x81;
    window->group = g;
    ASSERT_EQ(BuildWindowDisplay(window, g, false), 1);
    EXPECT_EQ(window->editMask[7], 0x81);
    // The first composition already shows the protected pixel inverted.
    EXPECT_EQ(DisplayAt(1 + 3, 1 + 2), ~((uint32_t *)g->base->pixels)[7] | 0xFF000000u);
    EXPECT_EQ(DisplayAt(0 + 3, 1 + 2), ((uint32_t *)g->base->pixels)[6]);
    for (int i = 0; i < 24; i++) {
        window->drawBuffer[i] = 0xFFFFFFFFu;
        window->coverage[i] = 9;
    }
    // Corners in any order; clipped to the image.
    EXPECT_EQ(ClearWorkRect(window, 8, 2, 4, 1), 1);
    for (int y = 0; y < 4; y++)
        for (int x = 0; x < 6; x++) {
            bool cleared = x >= 4 && y >= 1 && y <= 2;
            EXPECT_EQ(window->drawBuffer[y * 6 + x], cleared ? 0u : 0xFFFFFFFFu) << x << "," << y;
            EXPECT_EQ(window->coverage[y * 6 + x], cleared ? 0 : 9) << x << "," << y;
        }
    EXPECT_EQ(ResetWorkBuffers(window, g->base), 1);
    EXPECT_EQ(window->drawBuffer[0], 0u);
    EXPECT_EQ(window->editMask[7], 0x81);
    EXPECT_EQ(ResetWorkBuffers(window, nullptr), 1);
    EXPECT_EQ(window->editMask[7], 0);
}

} // namespace

namespace {

TEST_F(DisplayComposeTest, ViewOnlyImageBecomesEditable)
{
    CDIB *base = (CDIB *)calloc(1, sizeof(CDIB));
    ASSERT_EQ(InitImageRecord(5, 3, 8, base, 0, 1), 0);
    base->editDepth = 8;
    uint8_t *rows = (uint8_t *)base->pixels; // bottom-up, 8 bytes a row
    for (int i = 0; i < 8 * 3; i++)
        rows[i] = (uint8_t)(i * 11);
    RGBQUAD table[256];
    memcpy(table, base->header->bmiColors, sizeof table);
    AppendImage(base);
    AddImageGroup(base);
    window->layerImage = base;
    EXPECT_EQ(ConvertLayerTo32Bit(window), 1);
    EXPECT_EQ(base->editDepth, 32);
    ASSERT_EQ(base->header->bmiHeader.biBitCount, 32);
    for (int y = 0; y < 3; y++)
        for (int x = 0; x < 5; x++) {
            const RGBQUAD &q = table[rows == base->pixels ? 0 : (uint8_t)(((2 - y) * 8 + x) * 11)];
            uint32_t want = 0xFF000000u | q.rgbRed << 16 | q.rgbGreen << 8 | q.rgbBlue;
            EXPECT_EQ(((uint32_t *)base->pixels)[y * 5 + x], want) << x << "," << y;
        }
    EXPECT_EQ(ConvertLayerTo32Bit(window), 0) << "already editable";
}

} // namespace
