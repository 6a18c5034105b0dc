// Thumbnails: the fit of a picture into the box (aspect kept, centred, 1-pixel pictures included)
// and the pixels drawn, checked against the rules written out here.
#include "testsupport.h"
#include "files/thumbnail.h"
#include "image/cdib.h"
#include <string.h>
#include <vector>

TEST(Thumbnail, FitKeepsTheAspectAndCentres)
{
    struct Case {
        const char *what;
        int width, height, boxW, boxH; // picture and box
        int fitW, fitH, offX, offY;
    } cases[] = {
        // 76 x 99 / 199 = 37 rows, (76 - 37) / 2 = 19
        {"landscape", 200, 100, 76, 76, 76, 37, 0, 19},
        {"portrait", 100, 200, 76, 76, 37, 76, 19, 0},
        {"square, wide box", 50, 50, 80, 60, 60, 60, 10, 0},
        {"square, tall box", 50, 50, 60, 80, 60, 60, 0, 10},
        // 76 x 2999 / 3999 = 56
        {"larger than the box", 4000, 3000, 76, 76, 76, 56, 0, 10},
        {"1 x N", 1, 50, 76, 76, 1, 76, 37, 0},
        {"N x 1", 50, 1, 76, 76, 76, 1, 0, 37},
        {"1 x 1", 1, 1, 76, 76, 76, 76, 0, 0},
        {"2 x 3", 2, 3, 76, 76, 38, 76, 19, 0},
        {"too thin for a column", 3, 1000, 76, 76, 1, 76, 37, 0},
    };
    for (const Case &c : cases) {
        ThumbFit f = FitThumbnail(c.width - 1, c.height - 1, c.boxW, c.boxH);
        EXPECT_EQ(f.width, c.fitW) << c.what;
        EXPECT_EQ(f.height, c.fitH) << c.what;
        EXPECT_EQ(f.offsetX, c.offX) << c.what;
        EXPECT_EQ(f.offsetY, c.offY) << c.what;
        EXPECT_GT(f.size, 0) << c.what;
    }
}

namespace {

// A 32-bit thumbnail store is bottom-up: (x, y) from the top is row H - 1 - y.
uint32_t ThumbPixel(const CDIB &thumb, int x, int y)
{
    const BITMAPINFOHEADER &h = thumb.header->bmiHeader;
    return ((const uint32_t *)thumb.pixels)[(size_t)(h.biHeight - 1 - y) * h.biWidth + x];
}

uint32_t Bgra(int r, int g, int b, int a = 255)
{
    return (uint32_t)b | (uint32_t)g << 8 | (uint32_t)r << 16 | (uint32_t)a << 24;
}

const uint32_t kDarkGrey = Bgra(64, 64, 64);

// Picture colour at (x, y) from the top: 8 colours so that the 8-bit copy holds it exactly.
uint32_t PictureColour(int x, int y)
{
    int i = (x / 25 + 2 * (y / 25)) & 7;
    return Bgra(i & 1 ? 255 : 0, i & 2 ? 255 : 0, i & 4 ? 255 : 0);
}

// The same 200 x 100 picture as an image store, a bottom-up 32-bit DIB, a 24-bit and an 8-bit DIB.
struct Pictures {
    static const int W = 200, H = 100;
    BITMAPINFOHEADER store = {}, dib32 = {}, dib24 = {};
    struct {
        BITMAPINFOHEADER h;
        RGBQUAD table[8];
    } dib8 = {};
    std::vector<uint32_t> topDown, bottomUp;
    std::vector<uint8_t> rows24, rows8;
    Pictures()
    {
        BITMAPINFOHEADER h = {sizeof h, W, H, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        store = dib32 = dib24 = dib8.h = h;
        dib24.biBitCount = 24;
        dib8.h.biBitCount = 8;
        dib8.h.biClrUsed = 8;
        for (int i = 0; i < 8; i++)
            dib8.table[i] = {(BYTE)(i & 4 ? 255 : 0), (BYTE)(i & 2 ? 255 : 0), (BYTE)(i & 1 ? 255 : 0), 0};
        topDown.resize(W * H);
        bottomUp.resize(W * H);
        rows24.resize(W * 3 * H);
        rows8.resize(W * H);
        for (int y = 0; y < H; y++)
            for (int x = 0; x < W; x++) {
                uint32_t c = PictureColour(x, y);
                topDown[y * W + x] = c;
                int r = H - 1 - y;
                bottomUp[r * W + x] = c;
                memcpy(&rows24[(r * W + x) * 3], &c, 3);
                rows8[r * W + x] = (uint8_t)((x / 25 + 2 * (y / 25)) & 7);
            }
    }
};

CDIB MakeThumb(int w, int h)
{
    CDIB thumb = {};
    EXPECT_EQ(QzsCreateCDIB(w, h, 32, &thumb), 0);
    return thumb;
}

} // namespace

// Every row order gives the same upright picture: fitted 76 x 37 at row 19, dark grey around it,
// each pixel the source pixel at (x * 199 / 76, y * 199 / 76).
TEST(Thumbnail, EveryRowOrderGivesTheSameUprightPicture)
{
    ResetProgramState();
    Pictures p;
    struct Source {
        const char *what;
        const BITMAPINFOHEADER *header;
        const void *pixels;
        bool flip32;
    } sources[] = {
        {"image store", &p.store, p.topDown.data(), false},
        {"32-bit DIB", &p.dib32, p.bottomUp.data(), true},
        {"24-bit DIB", &p.dib24, p.rows24.data(), true},
        {"8-bit DIB", &p.dib8.h, p.rows8.data(), true},
    };
    for (const Source &s : sources) {
        CDIB thumb = MakeThumb(76, 76);
        ASSERT_EQ(DrawThumbnail(&thumb, s.header, s.pixels, 0, 0, 199, 99, s.flip32), 1) << s.what;
        int wrong = 0;
        for (int y = 0; y < 76; y++)
            for (int x = 0; x < 76; x++) {
                uint32_t want = y >= 19 && y < 19 + 37 ? PictureColour(x * 199 / 76, (y - 19) * 199 / 76) : kDarkGrey;
                wrong += ThumbPixel(thumb, x, y) != want;
            }
        EXPECT_EQ(wrong, 0) << s.what;
        QzsDisposeCDIB(&thumb);
    }
}

TEST(Thumbnail, TransparentPartsShowTheCheckerboard)
{
    ResetProgramState();
    // 40 x 40: the left half clear, the right half half-transparent red.
    std::vector<uint32_t> pixels(40 * 40);
    for (int y = 0; y < 40; y++)
        for (int x = 0; x < 40; x++)
            pixels[y * 40 + x] = x < 20 ? 0 : Bgra(255, 0, 0, 128);
    BITMAPINFOHEADER h = {sizeof h, 40, 40, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    CDIB thumb = MakeThumb(40, 40);
    ASSERT_EQ(DrawThumbnail(&thumb, &h, pixels.data(), 0, 0, 39, 39, false), 1);
    auto checker = [](int x, int y) { return ((x / 4 + y / 4) & 1) ? 192 : 255; };
    int wrong = 0;
    for (int y = 0; y < 40; y++)
        for (int x = 0; x < 40; x++) {
            int c = checker(x, y);
            // Source x = x * 39 / 40: the left half is clear up to x = 20.
            uint32_t want = x * 39 / 40 < 20 ? Bgra(c, c, c)
                                            : Bgra((255 * 128 + c * 127) / 255, c * 127 / 255, c * 127 / 255);
            wrong += ThumbPixel(thumb, x, y) != want;
        }
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(ThumbPixel(thumb, 0, 0), Bgra(255, 255, 255));
    EXPECT_EQ(ThumbPixel(thumb, 4, 0), Bgra(192, 192, 192));
    QzsDisposeCDIB(&thumb);
}

// One-pixel pictures and rectangles, and rectangles outside the picture, through the service.
TEST(Thumbnail, ServiceTakesOnePixelAndStrayRectangles)
{
    ResetProgramState();
    Pictures p;
    struct Case {
        const char *what;
        int x0, y0, x1, y1;
        int fitW, fitH, offX, offY;
        uint32_t colour; // of the whole fitted area
    } cases[] = {
        {"one pixel", 30, 60, 30, 60, 50, 50, 0, 5, PictureColour(30, 60)},
        {"one column", 130, 0, 130, 20, 2, 60, 24, 0, PictureColour(130, 0)},
        {"one row", 0, 80, 20, 80, 50, 2, 0, 29, PictureColour(0, 80)},
        {"corners swapped", 24, 24, 0, 0, 50, 50, 0, 5, PictureColour(0, 0)},
        {"outside the picture", 190, 90, 500, 400, 50, 50, 0, 5, PictureColour(199, 99)},
    };
    for (const Case &c : cases) {
        CDIB thumb = {};
        ASSERT_EQ(QzsCreateThumbImageEx(&p.store, p.topDown.data(), &thumb, 50, 60, c.x0, c.y0, c.x1, c.y1), 1)
            << c.what;
        int wrong = 0;
        for (int y = 0; y < 60; y++)
            for (int x = 0; x < 50; x++) {
                bool inside = x >= c.offX && x < c.offX + c.fitW && y >= c.offY && y < c.offY + c.fitH;
                wrong += ThumbPixel(thumb, x, y) != (inside ? c.colour : kDarkGrey);
            }
        EXPECT_EQ(wrong, 0) << c.what;
        QzsDisposeCDIB(&thumb);
    }
    CDIB thumb = {};
    EXPECT_EQ(QzsCreateThumbImage(&p.store, p.topDown.data(), &thumb, 0, 10), 0);
    EXPECT_EQ(QzsCreateThumbImage(nullptr, p.topDown.data(), &thumb, 10, 10), 0);
}

// Pictures with colour masks through the services: each field scaled to 8 bits, rows in the
// services' order (16 bits as DIB rows, bottom-up unless the height is negative; 32 bits first row
// on top), so the same 200 x 100 picture comes out in every case.
TEST(Thumbnail, ServicesReadColourMasks)
{
    ResetProgramState();
    const int W = Pictures::W, H = Pictures::H;
    struct MaskedHeader {
        BITMAPINFOHEADER h;
        DWORD masks[3]; // red, green, blue
    };
    // A pixel of the picture in the fields of the masks: all bits of a field set or none.
    auto pack = [](uint32_t colour, const DWORD masks[3]) {
        uint32_t v = 0;
        for (int c = 0; c < 3; c++)
            if ((colour >> (16 - 8 * c)) & 0xFF)
                v |= masks[c];
        return v;
    };
    struct Case {
        const char *what;
        int depth;
        bool topDown;
        DWORD masks[3];
    } cases[] = {
        {"16 bits 5-6-5", 16, false, {0xF800, 0x07E0, 0x001F}},
        {"16 bits 5-6-5 top-down", 16, true, {0xF800, 0x07E0, 0x001F}},
        {"16 bits 4-4-4", 16, false, {0x0F00, 0x00F0, 0x000F}},
        {"32 bits red low", 32, false, {0x000000FF, 0x0000FF00, 0x00FF0000}},
    };
    for (const Case &c : cases) {
        MaskedHeader mh = {{sizeof(BITMAPINFOHEADER), W, c.topDown ? -H : H, 1, (WORD)c.depth, BI_BITFIELDS, 0, 0,
                            0, 0, 0},
                           {c.masks[0], c.masks[1], c.masks[2]}};
        int bytes = c.depth / 8, rowBytes = (W * bytes + 3) / 4 * 4;
        std::vector<uint8_t> rows((size_t)rowBytes * H);
        for (int y = 0; y < H; y++) {
            // Stored row of picture row y: 32 bits and top-down pictures keep the top row first.
            int stored = c.depth == 32 || c.topDown ? y : H - 1 - y;
            for (int x = 0; x < W; x++) {
                uint32_t v = pack(PictureColour(x, y), c.masks);
                memcpy(&rows[(size_t)stored * rowBytes + x * bytes], &v, (size_t)bytes);
            }
        }
        CDIB thumb = {};
        ASSERT_EQ(QzsCreateThumbImage(&mh.h, rows.data(), &thumb, 76, 76), 1) << c.what;
        int wrong = 0;
        for (int y = 0; y < 76; y++)
            for (int x = 0; x < 76; x++) {
                uint32_t want = y >= 19 && y < 19 + 37 ? PictureColour(x * 199 / 76, (y - 19) * 199 / 76) : kDarkGrey;
                wrong += ThumbPixel(thumb, x, y) != want;
            }
        EXPECT_EQ(wrong, 0) << c.what << ": centre " << std::hex << ThumbPixel(thumb, 38, 38);
        QzsDisposeCDIB(&thumb);
    }
}
