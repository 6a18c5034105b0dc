// The image record: store sizes, colour tables, packed pixels, creation and release.
#include "testsupport.h"
#include "image/cdib.h"
#include "image/colors.h"
#include "image/imagelist.h"
#include "base/settings.h"
#include "base/sysinfo.h"
#include <stdlib.h>
#include <string.h>
#include <vector>

class ImageRecordTest : public HostTest {};

TEST_F(ImageRecordTest, RowLengthAndStoreSizeFollowTheDibRules)
{
    // Reference: packed rows are the bits of a row rounded up to whole 32-bit words.
    for (int depth : {1, 4, 8, 16, 24, 32})
        for (int w : {1, 2, 3, 7, 8, 9, 31, 33}) {
            int64_t rowBytes = ((int64_t)w * depth + 31) / 32 * 4;
            EXPECT_EQ(GetPixelBufferSize(w, 5, depth), rowBytes * 5) << "depth " << depth << " width " << w;
            int unitBytes = depth == 32 ? 4 : depth == 16 ? 2 : 1;
            EXPECT_EQ(GetRowLength(w, depth), depth == 32 ? w : rowBytes / unitBytes) << depth << " " << w;
        }
    EXPECT_EQ(GetPixelBufferSize(10, 10, 7), -1);
    EXPECT_EQ(GetRowLength(10, 2), -1);
}

TEST_F(ImageRecordTest, OversizedAndEmptyStoresAreRefused)
{
    EXPECT_EQ(GetPixelBufferSize(40000, 40000, 32), -1); // 6.4 GB would wrap a 32-bit size
    EXPECT_EQ(GetPixelBufferSize(0x7FFFFFFF, 2, 8), -1);
    EXPECT_EQ(GetPixelBufferSize(0x7FFFFFFF, 0x7FFFFFFF, 32), -1); // row x height would wrap 64 bits
    EXPECT_EQ(GetPixelBufferSize(0x7FFFFFFF, 0x7FFFFFFF, 24), -1);
    EXPECT_EQ(GetPixelBufferSize(0, 10, 32), -1);
    EXPECT_EQ(GetPixelBufferSize(10, -3, 32), -1);
    EXPECT_EQ(AllocPixelBuffer(40000, 40000, 32), nullptr);
    CDIB rec = {};
    EXPECT_EQ(QzsCreateCDIB(40000, 40000, 32, &rec), 1);
    EXPECT_EQ(rec.header, nullptr);
    EXPECT_EQ(rec.pixels, nullptr);
    QzsDisposeCDIB(&rec); // harmless on the failed record
    ASSERT_GE(boxes.boxes.size(), 2u);
    EXPECT_EQ(boxes.boxes[0].text, "Not enough memory!!\n for stock image");
    EXPECT_EQ(boxes.boxes[1].caption, "MES");
    EXPECT_EQ(boxes.boxes[1].text, "40000 40000 32");
}

TEST_F(ImageRecordTest, UnsupportedDepthShowsMessage8)
{
    EXPECT_EQ(AllocPixelBuffer(4, 4, 12), nullptr);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Illegal depth!");
    EXPECT_EQ(boxes.boxes[0].caption, "Error");
}

TEST_F(ImageRecordTest, ColorTable332)
{
    static const int levels[8] = {0, 36, 73, 109, 146, 182, 219, 255};
    BITMAPINFO *h = (BITMAPINFO *)calloc(1, QZ_HEADER_BLOCK_SIZE);
    SetColorTable332(h);
    for (int i = 0; i < 256; i++) {
        EXPECT_EQ(h->bmiColors[i].rgbRed, levels[(i >> 2) & 7]) << i;
        EXPECT_EQ(h->bmiColors[i].rgbGreen, levels[i >> 5]) << i;
        EXPECT_EQ(h->bmiColors[i].rgbBlue, levels[2 * (i & 3) + 1]) << i;
    }
    EXPECT_EQ(h->bmiColors[0x1C].rgbRed, 255);
    EXPECT_EQ(h->bmiColors[0x1C].rgbBlue, 36);
    SetGreyColorTable(h);
    EXPECT_EQ(h->bmiColors[200].rgbRed, 200);
    EXPECT_EQ(h->bmiColors[200].rgbBlue, 200);
    free(h);
    EXPECT_EQ(CreateDisplayPalette(), 1);
}

TEST_F(ImageRecordTest, CreateCDIBFillsACallerRecordOutsideTheList)
{
    CDIB rec;
    memset(&rec, 0xCD, sizeof rec);
    ASSERT_EQ(QzsCreateCDIB(10, 10, 8, &rec), 0);
    const BITMAPINFOHEADER &h = rec.header->bmiHeader;
    EXPECT_EQ(h.biSize, 40u);
    EXPECT_EQ(h.biWidth, 10);
    EXPECT_EQ(h.biHeight, 10);
    EXPECT_EQ(h.biBitCount, 8);
    EXPECT_EQ(h.biXPelsPerMeter, 300);
    EXPECT_EQ(GetRowLength(10, 8), 12);
    EXPECT_EQ(rec.editDepth, 32);
    EXPECT_EQ(rec.mask, nullptr);
    EXPECT_EQ(rec.slots[2].state, 0);
    EXPECT_EQ(rec.slots[2].right, -1);
    EXPECT_EQ(rec.undoFirst, nullptr);
    EXPECT_EQ(QzsGetFirstImage(), nullptr);
    int w, hh, d;
    EXPECT_EQ(QzsGetCDIBinfo(&rec, &w, &hh, &d), 1);
    EXPECT_EQ(d, 8);
    QzsDisposeCDIB(&rec);
    EXPECT_EQ(rec.header, nullptr);
    QzsDisposeCDIB(&rec);
    EXPECT_EQ(QzsGetCDIBinfo(&rec, &w, &hh, &d), 0);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(hh, 0);
    EXPECT_EQ(d, 32);
}

// A packed DIB built byte by byte in the test.
struct PackedDib {
    BITMAPINFO *header;
    std::vector<uint8_t> bits;
    PackedDib(int w, int h, int depth, int colors)
    {
        header = (BITMAPINFO *)calloc(1, QZ_HEADER_BLOCK_SIZE);
        header->bmiHeader.biSize = 40;
        header->bmiHeader.biWidth = w;
        header->bmiHeader.biHeight = h;
        header->bmiHeader.biBitCount = (WORD)depth;
        header->bmiHeader.biClrUsed = colors;
        for (int i = 0; i < 256; i++) {
            header->bmiColors[i].rgbRed = (BYTE)i;
            header->bmiColors[i].rgbGreen = (BYTE)(255 - i);
            header->bmiColors[i].rgbBlue = 7;
        }
        bits.assign((size_t)GetPixelBufferSize(w, h, depth), 0);
    }
    ~PackedDib() { free(header); }
    uint8_t *row(int memoryRow, int depth) { return &bits[(size_t)memoryRow * GetPixelBufferSize(header->bmiHeader.biWidth, 1, depth)]; }
};

TEST_F(ImageRecordTest, PackedPixelsReadBottomUpThroughTheTable)
{
    uint8_t px[4];
    {
        PackedDib d(3, 4, 4, 16);
        d.row(3, 4)[0] = 0x52; // last row in memory is y = 0: high nibble x 0, low nibble x 1
        d.row(0, 4)[0] = 0x0B; // first row in memory is y = 3
        GetDIBPixel(d.header, d.bits.data(), 0, 0, px);
        EXPECT_EQ(px[2], 5);
        GetDIBPixel(d.header, d.bits.data(), 1, 0, px);
        EXPECT_EQ(px[2], 2);
        GetDIBPixel(d.header, d.bits.data(), 1, 3, px);
        EXPECT_EQ(px[2], 11);
        EXPECT_EQ(px[1], 255 - 11);
        EXPECT_EQ(px[0], 7);
        EXPECT_EQ(px[3], 255);
    }
    {
        PackedDib d(10, 2, 1, 2);
        d.row(1, 1)[1] = 0x40; // y 0, x 9
        GetDIBPixel(d.header, d.bits.data(), 9, 0, px);
        EXPECT_EQ(px[2], 1);
        GetDIBPixel(d.header, d.bits.data(), 8, 0, px);
        EXPECT_EQ(px[2], 0);
    }
    {
        PackedDib d(2, 2, 24, 0);
        uint8_t *r = d.row(1, 24);
        r[3] = 10, r[4] = 20, r[5] = 30;
        GetDIBPixel(d.header, d.bits.data(), 1, 0, px);
        EXPECT_EQ(px[0], 10);
        EXPECT_EQ(px[1], 20);
        EXPECT_EQ(px[2], 30);
    }
    {
        PackedDib d(2, 2, 16, 0);
        memset(d.bits.data(), 0xFF, d.bits.size());
        GetDIBPixel(d.header, d.bits.data(), 1, 1, px);
        EXPECT_EQ(px[0] | px[1] | px[2], 0); // no conversion: black
        EXPECT_EQ(px[3], 255);
    }
    {
        PackedDib d(2, 2, 32, 0);
        uint32_t first = 0x11223344;
        memcpy(d.bits.data(), &first, 4); // a 32-bit store is top-down: (0, 0) comes first
        GetDIBPixel(d.header, d.bits.data(), 0, 0, px);
        EXPECT_EQ(px[0], 0x44);
        EXPECT_EQ(px[3], 0x11);
    }
}

TEST_F(ImageRecordTest, PaletteIndexesPastTheTableReadBlack)
{
    PackedDib d(4, 1, 8, 4); // four colours in the table
    d.row(0, 8)[0] = 3;
    d.row(0, 8)[1] = 200;
    uint8_t px[4];
    GetDIBPixel(d.header, d.bits.data(), 0, 0, px);
    EXPECT_EQ(px[2], 3);
    GetDIBPixel(d.header, d.bits.data(), 1, 0, px);
    EXPECT_EQ(px[0] | px[1] | px[2], 0);
}

TEST_F(ImageRecordTest, BackgroundFillByModeAndSetting)
{
    QzsGetColor(1)->red = 10;
    QzsGetColor(1)->green = 20;
    QzsGetColor(1)->blue = 30;
    struct Case {
        int setting, mode, alpha;
        uint8_t b, g, r, a;
    } cases[] = {
        {0, 0, 7, 30, 20, 10, 255}, {1, 0, 7, 255, 255, 255, 255}, {2, 0, 0, 0, 0, 0, 255},
        {2, 1, 40, 255, 255, 255, 40},
    };
    for (const Case &c : cases) {
        g_cfg.NewImageBackground = c.setting;
        CDIB rec = {};
        ASSERT_EQ(QzsCreateCDIB(3, 2, 32, &rec), 0);
        QzsInitImage(&rec, c.mode, c.alpha);
        const uint8_t *p = (const uint8_t *)rec.pixels;
        for (int i = 0; i < 6; i++) {
            EXPECT_EQ(p[i * 4], c.b);
            EXPECT_EQ(p[i * 4 + 1], c.g);
            EXPECT_EQ(p[i * 4 + 2], c.r);
            EXPECT_EQ(p[i * 4 + 3], c.a);
        }
        EXPECT_EQ(memcmp(rec.background, p, 4), 0);
        QzsDisposeCDIB(&rec);
    }
}

TEST_F(ImageRecordTest, NewImagesAreListedAndNumberedAcrossCloses)
{
    CDIB *a = nullptr, *b = nullptr, *c = nullptr;
    int base = NextUntitledNumber();
    EXPECT_EQ(QzsCreateNewImage(&a, 8, 8, 32), 1);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(std::string(a->name), "[[Untitled]]:" + std::to_string(base));
    EXPECT_EQ(a->modified, 1);
    EXPECT_EQ(a->untitledNumber, base);
    QzsCreateNewImage(&b, 8, 8, 32);
    EXPECT_EQ(QzsGetFirstImage(), a);
    EXPECT_EQ(a->next, b);
    EXPECT_EQ(g_currentImage, b);
    b->modified = 0;
    EXPECT_EQ(CloseImageWithPrompt(nullptr, b, 0), a);
    QzsCreateNewImage(&c, 8, 8, 32);
    EXPECT_EQ(c->untitledNumber, base + 2); // a closed image's number is not given again
    EXPECT_EQ(g_lastImage, c);
}

TEST_F(ImageRecordTest, LowPageFileRefusesNewImagesWithMessage55)
{
    MEMORYSTATUS status = {};
    status.dwTotalPageFile = 1000000;
    status.dwAvailPageFile = 99999; // 9999 after the rate of 10, below 1/100 of the total
    SetMemoryStatusOverride(&status);
    CDIB *image = (CDIB *)1;
    EXPECT_EQ(QzsCreateNewImage(&image, 8, 8, 32), 1);
    EXPECT_EQ(image, nullptr);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Not Enough Memory");
    EXPECT_EQ(QzsGetFirstImage(), nullptr);
    status.dwAvailPageFile = 100000;
    SetMemoryStatusOverride(&status);
    QzsCreateNewImage(&image, 8, 8, 32);
    EXPECT_NE(image, nullptr);
}

TEST_F(ImageRecordTest, ImagesBelow32BitsAreListedWithoutAStore)
{
    CDIB *image;
    ASSERT_EQ(CreateImageRecord(&image, 16, 16, 8), 0);
    EXPECT_EQ(image->header, nullptr);
    EXPECT_EQ(image->editDepth, 8);
    EXPECT_TRUE(IsImageListed(image));
}
