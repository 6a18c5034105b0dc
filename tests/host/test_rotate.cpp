// The image rotation module driven through its tool window: the turn buttons as pixel
// permutations, typed angles against an independent bilinear rotation (ImageMagick), the result
// in a new image, undo, and sizes the host refuses.
#include "image_fixture.h"
#include "../unit/test_bmp_reference.h"
#include "plugins/subwin.h"
#include "view/undo_apply.h"
#include <math.h>
#include <vector>

namespace {

enum { kTurn90 = 300, kTurn180 = 301, kTurn270 = 302, kRotate = 500, kNewImage = 600, kAngle = 2000 };

// A pixel that tells where it came from: every one differs, alpha included.
uint32_t Marked(int x, int y)
{
    return 0x80000000u | (uint32_t)(x * 37 + y * 11) << 16 | (uint32_t)(x & 255) << 8 | (uint32_t)(y & 255);
}

class RotateTest : public LoaderTest {
protected:
    HWND tool = nullptr;
    ImageWindow *w = nullptr;

    void SetUp() override
    {
        LoaderTest::SetUp();
        ASSERT_EQ(1, RegisterSubParentWindowClass());
        g_subParent = CreateWindowExA(0, kClassSubParent, "", WS_OVERLAPPED, 0, 0, 0, 0, NULL, NULL, NULL, NULL);
        PutDelivered(g_cfg.Subwin_dir, "Subwin", "rotate");
        ASSERT_EQ(1, LoadSubWindowPlugins());
        ASSERT_STREQ("RotateImage", g_subWindows[0].name);
        CreateSubWindows();
        ShowSubWindows();
        tool = g_subWindows[0].window;
        ASSERT_NE(nullptr, tool);
        ASSERT_EQ(QzsSetColorRGB(1, 10, 200, 30), 1);
    }
    void TearDown() override
    {
        LoaderTest::TearDown();
        DestroyWindow(g_subParent);
        g_subParent = nullptr;
    }
    // A group of one w x h base, its pixels from pixel(x, y), current in a window.
    template <class F> void Show(int width, int height, F pixel)
    {
        w = ShowNewGroup(width, height, 0, {});
        ASSERT_NE(nullptr, w);
        if (!w->layerImage) // the fixture attaches the group by hand when the display was not built
            w->layerImage = w->group->currentImage;
        uint32_t *px = (uint32_t *)w->layerImage->pixels;
        for (int y = 0; y < height; y++)
            for (int x = 0; x < width; x++)
                px[y * width + x] = pixel(x, y);
    }
    void Press(int id) { SendMessageA(tool, WM_COMMAND, (WPARAM)id, 0); }
    void Rotate(const char *angle)
    {
        SetDlgItemTextA(tool, kAngle, angle);
        Press(kRotate);
    }
    static std::vector<uint32_t> Pixels(CDIB *image, int *width = nullptr, int *height = nullptr)
    {
        int iw = 0, ih = 0, depth = 0;
        QzsGetCDIBinfo(image, &iw, &ih, &depth);
        EXPECT_EQ(32, depth);
        if (width)
            *width = iw, *height = ih;
        return std::vector<uint32_t>((uint32_t *)image->pixels, (uint32_t *)image->pixels + (size_t)iw * ih);
    }
};

} // namespace

TEST_F(RotateTest, TurnButtonsArePixelPermutations)
{
    const int sw = 5, sh = 3;
    struct Case {
        int button, width, height;
        int (*sx)(int x, int y), (*sy)(int x, int y);
    } cases[] = {
        {kTurn90, sh, sw, [](int, int y) { return y; }, [](int x, int) { return sh - 1 - x; }},
        {kTurn180, sw, sh, [](int x, int) { return sw - 1 - x; }, [](int, int y) { return sh - 1 - y; }},
        {kTurn270, sh, sw, [](int, int y) { return sw - 1 - y; }, [](int x, int) { return x; }},
    };
    for (const Case &c : cases) {
        Show(sw, sh, Marked);
        CDIB *before = w->layerImage;
        Press(c.button);
        ASSERT_NE(before, w->layerImage) << c.button;
        int width, height;
        std::vector<uint32_t> px = Pixels(w->layerImage, &width, &height);
        ASSERT_EQ(c.width, width) << c.button;
        ASSERT_EQ(c.height, height) << c.button;
        for (int y = 0; y < height; y++)
            for (int x = 0; x < width; x++)
                EXPECT_EQ(Marked(c.sx(x, y), c.sy(x, y)), px[y * width + x]) << c.button << " " << x << "," << y;
        DiscardAllImages();
    }
}

TEST_F(RotateTest, TurnsThatAddUpToWholeTurnsGiveTheOriginalAndUndoTakesATurnBack)
{
    const int sw = 7, sh = 4;
    std::vector<uint32_t> original;
    for (int y = 0; y < sh; y++)
        for (int x = 0; x < sw; x++)
            original.push_back(Marked(x, y));
    std::vector<std::vector<int>> sequences = {
        {kTurn90, kTurn90, kTurn90, kTurn90}, {kTurn90, kTurn270}, {kTurn180, kTurn180}, {kTurn270, kTurn180, kTurn270}};
    for (const std::vector<int> &buttons : sequences) {
        Show(sw, sh, Marked);
        for (int b : buttons)
            Press(b);
        int width, height;
        EXPECT_EQ(original, Pixels(w->layerImage, &width, &height)) << buttons.size();
        EXPECT_EQ(sw, width);
        DiscardAllImages();
    }
    // Undo gives back the image before the last turn, size and pixels.
    Show(sw, sh, Marked);
    Press(kTurn90);
    EXPECT_EQ(1, w->layerImage->modified);
    ASSERT_EQ(0, UndoImage(w));
    int width, height;
    EXPECT_EQ(original, Pixels(w->layerImage, &width, &height));
    EXPECT_EQ(sw, width);
    EXPECT_EQ(sh, height);
}

TEST_F(RotateTest, NewImageLeavesTheCurrentImageAndNothingHappensWithoutAWindow)
{
    // No image window: the buttons do nothing.
    for (int id : {kTurn90, kTurn180, kTurn270, kRotate})
        Press(id);
    EXPECT_EQ(nullptr, g_firstGroup);
    EXPECT_TRUE(boxes.boxes.empty());

    auto opaque = [](int x, int y) { return Marked(x, y) | 0xFF000000u; }; // a new image is flattened
    Show(6, 2, opaque);
    ImageGroup *group = w->group;
    CDIB *image = w->layerImage;
    std::vector<uint32_t> before = Pixels(image);
    SendDlgItemMessageA(tool, kNewImage, BM_SETCHECK, BST_CHECKED, 0);
    Press(kTurn270);
    EXPECT_EQ(image, group->base);
    EXPECT_EQ(before, Pixels(image));
    EXPECT_EQ(nullptr, image->undoFirst);
    ASSERT_NE(group, g_lastGroup);
    int width, height;
    std::vector<uint32_t> turned = Pixels(g_lastGroup->base, &width, &height);
    ASSERT_EQ(2, width);
    ASSERT_EQ(6, height);
    for (int y = 0; y < 6; y++)
        for (int x = 0; x < 2; x++)
            EXPECT_EQ(opaque(5 - y, x), turned[y * 2 + x]) << x << "," << y;
}

// Angle 0 samples every pixel at its own position; a text that is no number reads as 0; 45
// degrees on 100 x 100 gives 141 x 141 with the corners in the background colour, alpha 0.
TEST_F(RotateTest, TypedAnglesGiveTheirSizesAndTheBackground)
{
    struct Case {
        const char *text;
        int sw, sh, width, height;
        bool same; // every pixel as it was
    } cases[] = {{"0", 100, 100, 100, 100, true},    {"abc", 100, 100, 100, 100, true},
                 {"0x5A", 100, 100, 100, 100, true}, {"1e999", 100, 100, 100, 100, true},
                 {" 45", 100, 100, 141, 141, false}, {"90", 100, 60, 60, 100, false},
                 {"-90.0e0", 100, 60, 60, 100, false}};
    auto pixel = [](int x, int y) { return 0xFF000000u | (uint32_t)(x * 2) << 16 | (uint32_t)(y * 2) << 8 | 77; };
    for (const Case &c : cases) {
        Show(c.sw, c.sh, pixel);
        std::vector<uint32_t> before = Pixels(w->layerImage);
        Rotate(c.text);
        int width, height;
        std::vector<uint32_t> px = Pixels(w->layerImage, &width, &height);
        EXPECT_EQ(c.width, width) << c.text;
        EXPECT_EQ(c.height, height) << c.text;
        if (c.same) {
            EXPECT_EQ(before, px) << c.text;
        }
        DiscardAllImages();
    }
    Show(100, 100, pixel);
    Rotate("45");
    std::vector<uint32_t> px = Pixels(w->layerImage);
    ASSERT_EQ(141u * 141u, px.size());
    const uint32_t background = 0x000AC81Eu; // colour record 1, alpha 0
    for (int k : {0, 140, 140 * 141, 141 * 141 - 1})
        EXPECT_EQ(background, px[k]) << k;
    EXPECT_EQ(0xFFu, px[70 * 141 + 70] >> 24); // the picture is opaque
    EXPECT_EQ(77u, px[70 * 141 + 70] & 255);
}

// A free angle against ImageMagick's bilinear rotation onto the same grid, away from the edges.
TEST_F(RotateTest, FreeAngleMatchesAnIndependentBilinearRotation)
{
    if (!ReferenceAvailable())
        GTEST_SKIP() << "convert is not available";
    const int sw = 41, sh = 29;
    auto pixel = [](int x, int y) {
        uint32_t r = (uint32_t)(x * 97 + y * 31) & 255, g = (uint32_t)(x * x + 7 * y) & 255,
                 b = (uint32_t)(128 + 100 * sin(x * 0.5) * cos(y * 0.3));
        return 0xFF000000u | r << 16 | g << 8 | b;
    };
    for (double angle : {30.0, 117.5, -200.0}) {
        Show(sw, sh, pixel);
        char text[32];
        snprintf(text, sizeof text, "%g", angle);
        Rotate(text);
        int width, height;
        std::vector<uint32_t> px = Pixels(w->layerImage, &width, &height);

        // The turn of the test: the same angle (with the program's pi), the corners' extremes.
        double t = -angle * 3.14159 / 180, c = cos(t), s = sin(t), W = sw - 1, H = sh - 1;
        double xs[4] = {0, W * c, W * c + H * s, H * s}, ys[4] = {0, -W * s, -W * s + H * c, H * c};
        double minX = *std::min_element(xs, xs + 4), minY = *std::min_element(ys, ys + 4);
        ASSERT_EQ((int)(*std::max_element(xs, xs + 4) - minX + 0.5) + 1, width) << angle;
        ASSERT_EQ((int)(*std::max_element(ys, ys + 4) - minY + 0.5) + 1, height) << angle;

        // convert: the source centre (pixel centres at +1/2) to where the turn puts it, clockwise
        // by the same angle in degrees of the exact pi, top row first as the rows are stored.
        std::string path = dir.file("src.ppm");
        FILE *f = fopen(path.c_str(), "wb");
        ASSERT_NE(nullptr, f);
        fprintf(f, "P6 %d %d 255\n", sw, sh);
        for (int y = 0; y < sh; y++)
            for (int x = 0; x < sw; x++) {
                uint32_t p = pixel(x, y);
                uint8_t rgb[3] = {(uint8_t)(p >> 16), (uint8_t)(p >> 8), (uint8_t)p};
                fwrite(rgb, 1, 3, f);
            }
        fclose(f);
        double cx = W / 2, cy = H / 2, X0 = cx * c + cy * s - minX, Y0 = -cx * s + cy * c - minY;
        char ops[400];
        snprintf(ops, sizeof ops,
                 "-virtual-pixel edge -filter point -interpolate bilinear -define distort:viewport=%dx%d+0+0 "
                 "-distort SRT %.17g,%.17g,1,%.17g,%.17g,%.17g",
                 width, height, cx + 0.5, cy + 0.5, angle * 3.14159 / M_PI, X0 + 0.5, Y0 + 0.5);
        ReferencePicture ref;
        ASSERT_TRUE(ReadWithReference(path, &ref, ops));
        ASSERT_EQ(width, ref.width);
        ASSERT_EQ(height, ref.height);
        int compared = 0, off = 0;
        for (int r = 0; r < height; r++)
            for (int q = 0; q < width; q++) {
                double X = q + minX, Y = r + minY, sx = X * c - Y * s, sy = X * s + Y * c;
                uint32_t got = px[r * width + q];
                if (sx < -0.5 || sx > W + 0.5 || sy < -0.5 || sy > H + 0.5) {
                    EXPECT_EQ(0x000AC81Eu, got) << q << "," << r; // outside: background, alpha 0
                    continue;
                }
                if (sx < 1 || sy < 1 || sx > W - 1 || sy > H - 1)
                    continue; // the edges: convert's and the host's edge rules differ
                compared++;
                const uint8_t *want = ref.At(q, r);
                int d = std::max({abs((int)(got >> 16 & 255) - want[0]), abs((int)(got >> 8 & 255) - want[1]),
                                  abs((int)(got & 255) - want[2])});
                if (d > 2 && ++off <= 3)
                    ADD_FAILURE() << angle << ": (" << q << "," << r << ") " << std::hex << got << " expected "
                                  << std::dec << (int)want[0] << "," << (int)want[1] << "," << (int)want[2];
                EXPECT_EQ(255u, got >> 24);
            }
        EXPECT_GT(compared, sw * sh / 2) << angle;
        EXPECT_EQ(0, off) << angle;
        DiscardAllImages();
    }
}

// A result past the host's image limit is refused with its messages; the image stays as it was.
TEST_F(RotateTest, ResultsTooLargeAreRefusedWithTheHostsMessage)
{
    Show(40000, 1, Marked); // at 45 degrees: 28285 x 28285, more than 2 GB
    CDIB *image = w->layerImage;
    Rotate("45");
    ASSERT_EQ(2u, boxes.boxes.size());
    EXPECT_EQ("Not enough memory!!\n for stock image", boxes.boxes[0].text);
    EXPECT_EQ("28285 28285 32", boxes.boxes[1].text);
    EXPECT_EQ("MES", boxes.boxes[1].caption);
    EXPECT_EQ(image, w->layerImage);
    EXPECT_EQ(nullptr, image->undoFirst);
    EXPECT_EQ(Marked(39999, 0), ((uint32_t *)image->pixels)[39999]);
}

// A layer of a group is turned in its place, at its new size; the base stays, and undo gives the
// layer back.
TEST_F(RotateTest, ALayerOfAGroupIsTurnedInItsPlace)
{
    w = ShowNewGroup(6, 4, 0xFF112233u, {0xFF445566u});
    ASSERT_NE(nullptr, w);
    if (!w->layerImage)
        w->layerImage = w->group->currentImage;
    ImageGroup *group = w->group;
    CDIB *layer = group->currentImage;
    ASSERT_NE(group->base, layer);
    uint32_t *px = (uint32_t *)layer->pixels;
    for (int y = 0; y < 4; y++)
        for (int x = 0; x < 6; x++)
            px[y * 6 + x] = Marked(x, y) | 0xFF000000u;
    Press(kTurn90);
    CDIB *turned = group->currentImage;
    ASSERT_NE(layer, turned);
    ASSERT_EQ(turned, w->layerImage);
    int width, height;
    std::vector<uint32_t> got = Pixels(turned, &width, &height);
    ASSERT_EQ(4, width);
    ASSERT_EQ(6, height);
    EXPECT_EQ(Marked(0, 3) | 0xFF000000u, got[0]);
    EXPECT_EQ(Marked(5, 0) | 0xFF000000u, got[5 * 4 + 3]);
    EXPECT_EQ(0xFF112233u, ((uint32_t *)group->base->pixels)[0]);
    ASSERT_EQ(0, UndoImage(w));
    got = Pixels(group->currentImage, &width, &height);
    EXPECT_EQ(6, width);
    EXPECT_EQ(Marked(5, 3) | 0xFF000000u, got[3 * 6 + 5]);
}
