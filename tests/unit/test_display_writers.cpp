// Display pixel writers and the ordered dither, through an injected screen depth.
#include "testsupport.h"
#include "image/cdib.h"
#include "view/display.h"
#include "image/group.h"
#include "image/imagelist.h"
#include "view/writers.h"
#include "base/app.h"
#include <stdlib.h>
#include <string.h>
#include <vector>

namespace {

const int M4[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

// The 5-bit dither rule: v >> 3, raised by one when 2 (v mod 8) reaches the threshold, at most 31.
int Level5(int v, int m)
{
    int level = v / 8;
    return (2 * (v % 8) >= m && level < 31) ? level + 1 : level;
}

class DisplayWritersTest : public HostTest {};

TEST_F(DisplayWritersTest, SixteenBitDitherFollowsTheRule)
{
    for (int v = 0; v < 256; v++)
        for (int c = 0; c < 16; c++)
            ASSERT_EQ(Dither5Level(v, M4[c / 4][c % 4]), Level5(v, M4[c / 4][c % 4])) << v << " " << c;
    for (int c = 0; c < 16; c++) {
        int m = M4[c / 4][c % 4];
        EXPECT_EQ(Dither5Level(255, m), 31);
        EXPECT_EQ(Dither5Level(0, m), m == 0 ? 1 : 0);
        EXPECT_EQ(Dither5Level(4, m), m <= 8 ? 1 : 0); // 2 x 4 = 8 reaches every threshold up to 8
    }
    // The writer takes the cell of the pixel's place: red << 10, green << 5, blue.
    InitDisplayWriters(16);
    SelectDisplayWriter(1);
    uint16_t word[1];
    for (int y = 0; y < 4; y++)
        for (int x = 0; x < 4; x++)
            for (int v = 0; v < 256; v += 5) {
                const uint8_t colour[4] = {(uint8_t)v, (uint8_t)(v / 3), (uint8_t)(255 - v), 255};
                DisplayWriteContext c = {g_displayWrite.write, 0, 16};
                g_displayWrite.write(&c, word, x + 8, y + 4, colour);
                int m = M4[y][x];
                ASSERT_EQ(word[0], (uint16_t)(Level5(255 - v, m) << 10 | Level5(v / 3, m) << 5 | Level5(v, m)))
                    << v << " at " << x << "," << y;
            }
}

TEST_F(DisplayWritersTest, EightBitDitherLevels)
{
    for (int m = 0; m < 64; m++) {
        int rg, b;
        Dither8Levels(255, m, &rg, &b);
        EXPECT_EQ(rg, 7);
        EXPECT_EQ(b, 3);
        Dither8Levels(36, m, &rg, &b);
        EXPECT_EQ(rg, 1);
        Dither8Levels(0, m, &rg, &b);
        EXPECT_EQ(rg, 0);
        EXPECT_EQ(b, 0);
        int lastRg = 0, lastB = 0;
        for (int v = 0; v < 256; v++) {
            Dither8Levels(v, m, &rg, &b);
            ASSERT_LE(rg, 7);
            ASSERT_LE(b, 3);
            ASSERT_GE(rg, lastRg) << "levels never fall as intensity rises";
            ASSERT_GE(b, lastB);
            lastRg = rg, lastB = b;
        }
    }
    // Half way through a step, half of the thresholds raise the level.
    int raised = 0;
    for (int m = 0; m < 64; m++) {
        int rg, b;
        Dither8Levels(54, m, &rg, &b); // level 1 step 36..72
        raised += rg == 2;
    }
    EXPECT_NEAR(raised, 32, 2);
}

// The 8 x 8 thresholds and the level tables as published for the 3-3-2 palette, written out here:
// every level the dither gives, and the palette index the writer makes of it.
TEST_F(DisplayWritersTest, EightBitDitherMatchesThePublishedTables)
{
    static const int M8[8][8] = {
        {0, 32, 8, 40, 2, 34, 10, 42},  {48, 16, 56, 24, 50, 18, 58, 26}, {12, 44, 4, 36, 14, 46, 6, 38},
        {60, 28, 52, 20, 62, 30, 54, 22}, {3, 35, 11, 43, 1, 33, 9, 41},   {51, 19, 59, 27, 49, 17, 57, 25},
        {15, 47, 7, 39, 13, 45, 5, 37},  {63, 31, 55, 23, 61, 29, 53, 21}};
    static const int kFirst[8] = {0, 36, 73, 109, 146, 182, 219, 255};
    static const std::vector<int> kRemainders[8] = {
        {0, 2, 4, 6, 8, 10, 12, 14, 15, 17, 19, 21, 22, 24, 26, 28, 29, 31, 33, 35, 36, 38, 40, 42, 43, 45, 47, 49,
         50, 52, 54, 56, 57, 59, 61, 63},
        {0, 2, 4, 5, 7, 9, 11, 12, 14, 16, 18, 19, 21, 23, 25, 26, 28, 30, 32, 33, 35, 37, 39, 40, 42, 44, 46, 47,
         49, 51, 53, 54, 56, 58, 60, 61, 63},
        {1, 3, 4, 6, 8, 10, 11, 13, 15, 17, 18, 20, 22, 24, 25, 27, 29, 31, 32, 34, 36, 38, 39, 41, 43, 45, 46, 48,
         50, 52, 53, 55, 57, 59, 60, 62},
        {0, 2, 3, 5, 7, 9, 10, 12, 14, 16, 17, 19, 21, 23, 24, 26, 28, 30, 31, 33, 35, 37, 38, 40, 42, 44, 45, 47,
         49, 51, 52, 54, 56, 58, 59, 61, 63},
        {1, 2, 4, 6, 8, 9, 11, 13, 15, 16, 18, 20, 22, 23, 25, 27, 29, 30, 32, 34, 36, 37, 39, 41, 43, 44, 46, 48,
         50, 51, 53, 55, 57, 58, 60, 62},
        {0, 1, 3, 5, 7, 8, 10, 12, 14, 15, 17, 19, 21, 22, 24, 26, 28, 29, 31, 33, 35, 36, 38, 40, 42, 43, 45, 47,
         49, 50, 52, 54, 56, 57, 59, 61, 63},
        {0, 2, 4, 6, 7, 9, 11, 13, 14, 16, 18, 20, 21, 23, 25, 27, 28, 30, 32, 34, 35, 37, 39, 41, 42, 44, 46, 48,
         49, 51, 53, 55, 56, 58, 60, 62},
        {0}};
    int level3[256], remainder[256];
    for (int level = 0; level < 8; level++) {
        int last = level < 7 ? kFirst[level + 1] - 1 : 255;
        ASSERT_EQ((int)kRemainders[level].size(), last - kFirst[level] + 1) << "level " << level;
        for (int v = kFirst[level]; v <= last; v++) {
            level3[v] = level;
            remainder[v] = kRemainders[level][v - kFirst[level]];
        }
    }
    auto redGreen = [&](int v, int m) { return level3[v] + (remainder[v] > m ? 1 : 0); };
    auto blue = [&](int v, int m) { return redGreen(v * 109 / 255, m); };
    InitDisplayWriters(8);
    SelectDisplayWriter(1);
    uint8_t bytes[1];
    for (int v = 0; v < 256; v++)
        for (int cell = 0; cell < 64; cell++) {
            int m = M8[cell / 8][cell % 8];
            int rg, b;
            Dither8Levels(v, m, &rg, &b);
            ASSERT_EQ(rg, redGreen(v, m)) << "intensity " << v << " threshold " << m;
            ASSERT_EQ(b, blue(v, m)) << "intensity " << v << " threshold " << m;
            // The writer at the pixel of that cell: green in bits 5-7, red in 2-4, blue in 0-1.
            const uint8_t colour[4] = {(uint8_t)v, (uint8_t)(255 - v), (uint8_t)(v / 2), 255};
            DisplayWriteContext c = {g_displayWrite.write, 0, 8};
            g_displayWrite.write(&c, bytes, cell % 8, cell / 8, colour);
            ASSERT_EQ(bytes[0], (uint8_t)(redGreen(255 - v, m) << 5 | redGreen(v / 2, m) << 2 | blue(v, m)))
                << v << " " << cell;
        }
    // The published edges: 36 is level 1 in every cell, 255 is level 7 (blue 3) in every cell.
    for (int m = 0; m < 64; m++) {
        int rg, b;
        Dither8Levels(36, m, &rg, &b);
        EXPECT_EQ(rg, 1);
        Dither8Levels(255, m, &rg, &b);
        EXPECT_EQ(rg, 7);
        EXPECT_EQ(b, 3);
    }
}

TEST_F(DisplayWritersTest, PlainWritersAndPositions)
{
    InitDisplayWriters(32);
    DisplayWriteContext c = {WritePixel8, 0, 8};
    uint8_t bytes[8] = {};
    const uint8_t white[4] = {255, 255, 255, 255}, red[4] = {0, 0, 255, 255};
    WritePixel8(&c, bytes, 0, 0, white);
    WritePixel8(&c, bytes, 0, 0, red);
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(bytes[1], 0x1C);
    EXPECT_EQ(c.position, 2);
    uint16_t words[2] = {};
    c.position = 1;
    const uint8_t mixed[4] = {0x18, 0x80, 0xF8, 255};
    WritePixel16(&c, words, 0, 0, mixed);
    EXPECT_EQ(words[1], (0x1F << 10) | (0x10 << 5) | 0x03);
    c.position = 3;
    WritePixel24(&c, bytes, 0, 0, mixed);
    EXPECT_EQ(bytes[3], 0x18);
    EXPECT_EQ(bytes[4], 0x80);
    EXPECT_EQ(bytes[5], 0xF8);
    EXPECT_EQ(c.position, 6);

    // Rows are bottom-up; 24-bit rows pad to 4 bytes and x counts 3 bytes.
    InitDisplayWriters(24);
    QzsStartDither(5, 0, 7, 3);
    EXPECT_EQ(g_displayWrite.position, 2 * 24 + 15);
    AdvanceDisplayPosition();
    EXPECT_EQ(g_displayWrite.position, 2 * 24 + 18);
    StartDitherAtDepth(3, 1, 7, 3, 16);
    EXPECT_EQ(g_displayWrite.position, 1 * 8 + 3);
    StartDitherAtDepth(3, 1, 7, 3, 8);
    EXPECT_EQ(g_displayWrite.position, 1 * 8 + 3);
}

TEST_F(DisplayWritersTest, DitherServiceRefusesWritesOutsideThePicture)
{
    InitDisplayWriters(16);
    CDIB picture = {};
    ASSERT_EQ(QzsCreateCDIBwithSYSDEPTH(3, 2, &picture), 0);
    const uint8_t grey[4] = {100, 100, 100, 255};
    QzsStartDither(0, 0, 3, 2); // top row: the second row of the store
    EXPECT_EQ(QzsSetDitherColor(&picture, 0, 0, grey), 1);
    EXPECT_EQ(g_displayWrite.position, 5);
    QzsStartDither(2, 1, 3, 2);
    EXPECT_EQ(QzsSetDitherColor(&picture, 2, 1, grey), 1);
    QzsStartDither(3, 0, 3, 2); // past the end of the store
    EXPECT_EQ(QzsSetDitherColor(&picture, 3, 0, grey), 1); // the padding pixel of the last row
    EXPECT_EQ(QzsSetDitherColor(&picture, 4, 0, grey), 0);
    QzsStartDither(0, 5, 3, 2); // a row above the picture
    EXPECT_EQ(QzsSetDitherColor(&picture, 0, 5, grey), 0);
    QzsStartDither(1, 0, 65536, 65537); // a run whose position lies 2^32 + 1 units on
    EXPECT_EQ(QzsSetDitherColor(&picture, 1, 0, grey), 0);
    EXPECT_EQ(QzsSetDitherColor(nullptr, 0, 0, grey), 0);
    CDIB other = {};
    ASSERT_EQ(QzsCreateCDIB(3, 2, 32, &other), 0); // not at the run's depth
    QzsStartDither(0, 0, 3, 2);
    EXPECT_EQ(QzsSetDitherColor(&other, 0, 0, grey), 0);
    QzsDisposeCDIB(&picture);
    QzsDisposeCDIB(&other);

    // A picture at another depth than the screen's is written with a writer of its own depth.
    InitDisplayWriters(32);
    CDIB saved = {};
    ASSERT_EQ(QzsCreateCDIB(3, 2, 16, &saved), 0);
    uint16_t *words = (uint16_t *)saved.pixels;
    memset(words, 0, 8);
    StartDitherAtDepth(3, 0, 3, 2, 16); // the padding pixel of the top row, the last of the store
    EXPECT_EQ(QzsSetDitherColor(&saved, 3, 0, grey), 1);
    const int m = M4[0][3];
    EXPECT_EQ(words[7], Level5(100, m) << 10 | Level5(100, m) << 5 | Level5(100, m));
    EXPECT_EQ(words[6], 0);
    QzsStartDither(0, 0, 3, 2); // back at the screen's depth
    EXPECT_EQ(g_displayWrite.write, WritePixel32);
    QzsDisposeCDIB(&saved);
}

TEST_F(DisplayWritersTest, UnsupportedDepthRunsAsEightBits)
{
    InitDisplayWriters(15);
    EXPECT_EQ(g_screenDepth, 8);
    EXPECT_EQ(g_displayWrite.write, WritePixel8Dither);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_NE(boxes.boxes[0].text.find("screen mode"), std::string::npos);
    EXPECT_EQ(ChooseDisplayWriter(16, 0), WritePixel16);
    EXPECT_EQ(ChooseDisplayWriter(32, 0), WritePixel32);
    EXPECT_EQ(ChooseDisplayWriter(24, 1), WritePixel24);
}

// A group composed into 24-, 16- and 8-bit displays: at 16 and 8 bits every pixel is the dither of
// the colour at its display position, margins included.
TEST_F(DisplayWritersTest, DisplaysAtSixteenAndEightBitsAreDithered)
{
    CDIB *base = nullptr;
    QzsCreateNewImage(&base, 11, 6, 32);
    uint32_t *p = (uint32_t *)base->pixels;
    for (int i = 0; i < 66; i++)
        p[i] = 0xFF000000u | (uint32_t)(i * 3) << 16 | (uint32_t)(255 - i * 2) << 8 | (uint32_t)(i * 7 % 256);
    AddImageGroup(base);
    for (int depth : {24, 16, 8}) {
        for (int dither : {1, 0}) {
            InitDisplayWriters(depth);
            ImageWindow *w = (ImageWindow *)calloc(1, sizeof(ImageWindow));
            w->marginX = 2;
            w->marginY = 1;
            w->dither = dither;
            w->regionDisplayMode = 4;
            ASSERT_EQ(BuildWindowDisplay(w, g_lastGroup, false), 1);
            int W = w->displayWidth, H = w->displayHeight;
            ASSERT_EQ(w->displayPitch, depth == 24 ? 15 : 16);
            for (int dy = 0; dy < H; dy++)
                for (int dx = 0; dx < W; dx++) {
                    int x = dx - 2, y = dy - 1;
                    bool margin = x < 0 || y < 0 || x >= 11 || y >= 6;
                    uint32_t v = margin ? 0xFF808080u : p[y * 11 + x];
                    int r = v >> 16 & 255, g = v >> 8 & 255, b = v & 255;
                    // Margins are written with the phase of (0, 0).
                    int px = margin ? 0 : dx, py = margin ? 0 : dy;
                    if (depth == 24) {
                        const uint8_t *at = (const uint8_t *)w->display.pixels + (H - dy - 1) * 48 + dx * 3;
                        ASSERT_EQ(at[0] | at[1] << 8 | at[2] << 16, (int)(v & 0xFFFFFF)) << dx << "," << dy;
                    } else if (depth == 16) {
                        int m = M4[py & 3][px & 3];
                        int want = dither ? Level5(r, m) << 10 | Level5(g, m) << 5 | Level5(b, m)
                                          : (r & 0xF8) << 7 | (g & 0xF8) << 2 | b >> 3;
                        uint16_t got = ((uint16_t *)w->display.pixels)[(H - dy - 1) * 16 + dx];
                        ASSERT_EQ(got, want) << dx << "," << dy;
                    } else {
                        uint8_t got = ((uint8_t *)w->display.pixels)[(H - dy - 1) * 16 + dx];
                        int want;
                        if (dither) {
                            int m = kDitherMatrix8[py & 7][px & 7], rl, gl, bl, unused;
                            Dither8Levels(r, m, &rl, &unused);
                            Dither8Levels(g, m, &gl, &unused);
                            Dither8Levels(b, m, &unused, &bl);
                            want = gl << 5 | rl << 2 | bl;
                        } else {
                            want = (g & 0xE0) | ((r >> 3) & 0x1C) | (b >> 6);
                        }
                        ASSERT_EQ(got, want) << dx << "," << dy;
                    }
                }
            FreeWindowBuffers(w);
            free(w);
        }
    }
}

} // namespace

#include <thread>

namespace {

// Only the user-interface thread moves the program-wide write position or the current blend.
TEST_F(DisplayWritersTest, OtherThreadsLeaveTheProgramWideStateAlone)
{
    InitDisplayWriters(32);
    QzsStartDither(2, 0, 10, 4);
    int position = g_displayWrite.position;
    SetCurrentBlendFunction(BlendPixelOver);
    int started = -1, advanced = -1;
    std::thread other([&] {
        started = QzsStartDither(0, 0, 10, 4);
        advanced = AdvanceDisplayPosition();
        SetCurrentBlendFunction(nullptr);
    });
    other.join();
    EXPECT_EQ(started, 0);
    EXPECT_EQ(advanced, 0);
    EXPECT_EQ(g_displayWrite.position, position);
    EXPECT_EQ(GetCurrentBlendFunction(), (BlendFunction)BlendPixelOver);
}

} // namespace
