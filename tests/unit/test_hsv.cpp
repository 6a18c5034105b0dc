// RGB and HSV at the doubled integer scale: a table of known conversions both ways, the sector
// edges, and a round trip over a sweep of colours.
#include "ovrin.h"
#include <gtest/gtest.h>
#include <stdlib.h>

TEST(Hsv, ConversionTable)
{
    struct Case {
        int r, g, b, h, s, v;
    } toHsv[] = {
        {255, 0, 0, 0, 510, 510},      {0, 255, 0, 1024, 510, 510}, {0, 0, 255, 2048, 510, 510},
        {255, 255, 0, 510, 510, 510},  {0, 255, 255, 1534, 510, 510}, {255, 0, 255, 2562, 510, 510},
        {128, 128, 128, 0, 0, 256},    {0, 0, 0, 0, 0, 0},           {255, 255, 255, 0, 0, 510},
        {255, 0, 100, 2872, 510, 510}, // red highest, blue above green: the magenta side
        {100, 50, 25, 170, 383, 200},  // s = 75 x 255 / 100 = 191.25, doubled and rounded up
    };
    for (const Case &c : toHsv) {
        int h = -1, s = -1, v = -1;
        QzsRGBtoHSV(c.r, c.g, c.b, &h, &s, &v);
        EXPECT_EQ(h, c.h) << c.r << "," << c.g << "," << c.b;
        EXPECT_EQ(s, c.s) << c.r << "," << c.g << "," << c.b;
        EXPECT_EQ(v, c.v) << c.r << "," << c.g << "," << c.b;
    }
    Case toRgb[] = {
        {255, 0, 0, 0, 510, 510},     {255, 0, 0, 3072, 510, 510}, // 3072 is the circle's start
        {0, 255, 0, 1024, 510, 510},  {0, 0, 255, 2048, 510, 510},
        // sector edges: the base channel that reaches 256 there is held at 255
        {255, 255, 0, 512, 510, 510}, {0, 255, 255, 1536, 510, 510}, {255, 0, 255, 2560, 510, 510},
        {255, 128, 0, 256, 510, 510}, {128, 128, 128, 700, 0, 256},   {0, 0, 0, 1500, 510, 0},
        {0, 0, 0, 0, 0, 0},           {255, 191, 191, 0, 128, 510},
    };
    for (const Case &c : toRgb) {
        int r = -1, g = -1, b = -1;
        QzsHSVtoRGB(c.h, c.s, c.v, &r, &g, &b);
        EXPECT_EQ(r, c.r) << c.h << "/" << c.s << "/" << c.v;
        EXPECT_EQ(g, c.g) << c.h << "/" << c.s << "/" << c.v;
        EXPECT_EQ(b, c.b) << c.h << "/" << c.s << "/" << c.v;
    }
    // Values off the scale still give colours.
    for (int h : {-1, -3072, 3073, 100000, INT32_MIN, INT32_MAX})
        for (int sv : {-5, 0, 700, INT32_MAX}) {
            int r = -1, g = -1, b = -1;
            QzsHSVtoRGB(h, sv, sv, &r, &g, &b);
            EXPECT_TRUE(r >= 0 && r <= 255 && g >= 0 && g <= 255 && b >= 0 && b <= 255) << h << "/" << sv;
        }
}

TEST(Hsv, RoundTripStaysWithinOne)
{
    int worst = 0;
    for (int r = 0; r <= 255; r += 15)
        for (int g = 0; g <= 255; g += 17)
            for (int b = 0; b <= 255; b += 5) {
                int h, s, v, r2, g2, b2;
                QzsRGBtoHSV(r, g, b, &h, &s, &v);
                ASSERT_TRUE(h >= 0 && h <= 3072 && s >= 0 && s <= 510 && v >= 0 && v <= 510);
                QzsHSVtoRGB(h, s, v, &r2, &g2, &b2);
                int d = abs(r - r2) > abs(g - g2) ? abs(r - r2) : abs(g - g2);
                d = abs(b - b2) > d ? abs(b - b2) : d;
                worst = d > worst ? d : worst;
                ASSERT_LE(d, 1) << r << "," << g << "," << b << " -> " << r2 << "," << g2 << "," << b2;
            }
    EXPECT_LE(worst, 1);
}
