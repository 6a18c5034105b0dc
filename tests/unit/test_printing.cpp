// The printed page drawn on a memory context: the whole-number scale, the two halves of each row
// (an odd column included), grey for devices of 1 and 2 bits, a picture larger than the page, and
// the box of a print dialog that gives no printer.
#include "testsupport.h"
#include "base/app.h"
#include "image/cdib.h"
#include "image/imagelist.h"
#include "shell/printing.h"
#include "shell/winproc.h"
#include "view/winlist.h"
#include <vector>

class PrintingTest : public HostTest {
protected:
    static uint32_t Colour(int x, int y) { return 0xFF000000u | (uint32_t)(x * 8) << 16 | (uint32_t)(y * 12) << 8 | (x + y) * 5; }
    CDIB *Picture(int w, int h)
    {
        CDIB *image = nullptr;
        EXPECT_EQ(CreateImageRecord(&image, w, h, 32), 0);
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++)
                ((uint32_t *)image->pixels)[y * w + x] = Colour(x, y);
        return image;
    }
    // A white top-down 32-bit page the rendering draws on; its pixels are read back after.
    struct Page {
        HDC dc;
        HBITMAP bitmap;
        uint32_t *bits;
        int w, h;
        Page(int width, int height) : w(width), h(height)
        {
            BITMAPINFO info = {};
            info.bmiHeader.biSize = sizeof info.bmiHeader;
            info.bmiHeader.biWidth = width;
            info.bmiHeader.biHeight = -height;
            info.bmiHeader.biPlanes = 1;
            info.bmiHeader.biBitCount = 32;
            dc = CreateCompatibleDC(NULL);
            bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, (void **)&bits, NULL, 0);
            SelectObject(dc, bitmap);
            for (int i = 0; i < width * height; i++)
                bits[i] = 0xFFFFFF;
        }
        ~Page()
        {
            DeleteDC(dc);
            DeleteObject(bitmap);
        }
        uint32_t At(int x, int y)
        {
            GdiFlush();
            return bits[y * w + x] & 0xFFFFFF;
        }
    };
};

TEST_F(PrintingTest, WholeScaleHalvesAndGrey)
{
    struct Case {
        int w, h, pageW, pageH, depth, scale;
    } cases[] = {
        {30, 20, 240, 330, 24, 8}, // the width limits the scale
        {31, 20, 250, 90, 32, 4},  // the height does; an odd width keeps its last column
        {30, 20, 240, 330, 1, 8},  // grey
        {5, 3, 18, 10, 2, 3},
    };
    for (const Case &c : cases) {
        CDIB *image = Picture(c.w, c.h);
        Page page(c.pageW, c.pageH);
        ASSERT_EQ(RenderPrintPage(page.dc, image, c.pageW, c.pageH, c.depth), c.scale) << c.w;
        bool grey = c.depth < 3;
        int s = c.scale;
        for (int y = 0; y < c.pageH; y++)
            for (int x = 0; x < c.pageW; x++) {
                uint32_t want = 0xFFFFFF;
                if (x < c.w * s && y < c.h * s) {
                    uint32_t p = Colour(x / s, y / s);
                    int r = p >> 16 & 255, g = p >> 8 & 255, b = p & 255;
                    int v = (77 * r + 151 * g + 28 * b) / 256;
                    want = grey ? (uint32_t)(v << 16 | v << 8 | v) : p & 0xFFFFFF;
                }
                ASSERT_EQ(page.At(x, y), want) << c.w << "x" << c.h << " at " << x << "," << y;
            }
        DiscardAllImages();
    }
}

// Larger than the page: shrunk to fit with its aspect rather than a blank page.
TEST_F(PrintingTest, LargerThanThePageIsFitted)
{
    CDIB *image = Picture(60, 40);
    for (int i = 0; i < 60 * 40; i++)
        ((uint32_t *)image->pixels)[i] = 0xFF0000FF;
    Page page(30, 50);
    ASSERT_EQ(RenderPrintPage(page.dc, image, 30, 50, 24), 0);
    EXPECT_EQ(page.At(0, 0), 0x0000FFu);
    EXPECT_EQ(page.At(29, 19), 0x0000FFu);
    EXPECT_EQ(page.At(15, 20), 0xFFFFFFu);
}

// The dialog closed without a printer chosen: the box with the dialog's error code, result 1.
TEST_F(PrintingTest, DialogWithoutChoiceShowsItsErrorCode)
{
    CDIB *image = Picture(4, 4);
    EXPECT_EQ(PrintImage(nullptr), 0);
    RegisterImageWindowClass();
    ImageWindow *w = CreateImageWindow(0, 0, 100, 100);
    ASSERT_NE(w, nullptr);
    w->layerImage = image;
    CloseNextDialog(IDCANCEL);
    EXPECT_EQ(PrintImage(w), 1);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].caption, "MES");
    EXPECT_EQ(boxes.boxes[0].text.rfind("ErrCode=", 0), 0u) << boxes.boxes[0].text;
}
