// Colour records: defaults, the lock, the stack, the eyedropper and configuration lines.
#include "testsupport.h"
#include "image/colors.h"
#include "image/group.h"
#include "image/imagelist.h"
#include "view/winlist.h"
#include <string.h>

namespace {

struct Rgba {
    int red, green, blue, opacity;
};

Rgba RecordOf(int which)
{
    const ColorRecord *c = QzsGetColor(which);
    return {c->red, c->green, c->blue, c->opacity};
}

bool Same(const ColorRecord &a, const ColorRecord &b)
{
    return memcmp(&a, &b, sizeof a) == 0;
}

using ColorTest = HostTest;

TEST_F(ColorTest, DefaultRecords)
{
    const Rgba want[16] = {{0, 0, 0, 255},     {255, 255, 255, 255}, {0, 255, 255, 255}, {255, 0, 255, 255},
                           {255, 255, 0, 255}, {0, 0, 255, 255},     {0, 0, 0, 255},     {0, 0, 0, 255},
                           {0, 0, 0, 255},     {0, 0, 0, 255}};
    for (int i = 0; i < 16; i++) {
        Rgba got = RecordOf(i);
        EXPECT_EQ(memcmp(&got, &want[i], sizeof got), 0) << i;
        EXPECT_EQ(QzsGetColor(i)->function, 0);
        EXPECT_EQ(QzsGetColor(i)->regionMode, 0);
    }
    EXPECT_EQ(GetColorKind(), 0);
}

TEST_F(ColorTest, LockRefusesEverySetter)
{
    QzsGetColor(0)->function = 3;
    QzsGetColor(0)->regionBits = 2;
    QzsGetColor(0)->regionMode = 1;
    ColorRecord before[kColorRecords];
    memcpy(before, g_colorTable, sizeof before);
    QzsLockColor((HWND)0x1234, 1);
    EXPECT_EQ(QzsCheckLockColor(), 1);
    EXPECT_EQ(QzsSetColorRGB(0, 10, 20, 30), 0);
    EXPECT_EQ(QzsSetColorOpacity(1, 7), 0);
    EXPECT_EQ(QzsSetRegion(4, 0), 0);
    EXPECT_EQ(QzsSetColorFunction(0, 2), 0);
    EXPECT_EQ(memcmp(before, g_colorTable, sizeof before), 0);
    QzsLockColor(NULL, 0);
    EXPECT_EQ(QzsCheckLockColor(), 0);
    EXPECT_EQ(QzsSetColorRGB(0, 10, 20, 30), 1);
    EXPECT_EQ(QzsGetColor(0)->green, 20);
    // Opacity lives in the low byte; the rest of the word is kept.
    QzsGetColor(1)->opacity = 0x1200;
    EXPECT_EQ(QzsSetColorOpacity(1, 0x3C7), 1);
    EXPECT_EQ(QzsGetColor(1)->opacity, 0x12C7);
    // Indexes outside the table are refused, not written past it.
    EXPECT_EQ(QzsSetColorRGB(16, 1, 2, 3), 0);
    EXPECT_EQ(QzsSetColorOpacity(-1, 1), 0);
    EXPECT_EQ(QzsPushColor(16), nullptr);
}

TEST_F(ColorTest, ColorKindAndFunctionChoice)
{
    ColorRecord &c0 = *QzsGetColor(0);
    c0.function = 3;
    EXPECT_EQ(GetColorKind(), 2);
    c0.regionBits = 1;
    EXPECT_EQ(GetColorKind(), 1);
    // Ending region drawing brings the functional colour back and clears the region settings.
    EXPECT_EQ(QzsSetRegion(1, 0), 1);
    EXPECT_EQ(c0.function, 3);
    EXPECT_EQ(c0.regionBits, 0);
    EXPECT_EQ(GetColorKind(), 2);
    // Another record keeps its functional-colour word but leaves region drawing.
    ColorRecord &c2 = *QzsGetColor(2);
    c2.function = 7;
    c2.regionBits = 4;
    c2.regionMode = 3;
    EXPECT_EQ(QzsSetColorFunction(2, 5), 1);
    EXPECT_EQ(c2.function, 7);
    EXPECT_EQ(c2.regionBits, 0);
    EXPECT_EQ(c2.regionMode, 0);
    EXPECT_EQ(QzsSetColorFunction(0, 81), 0);
    EXPECT_EQ(QzsSetColorFunction(0, -1), 0);
    EXPECT_EQ(c0.function, 3);
}

TEST_F(ColorTest, StackPopsInAnyOrder)
{
    void *h0 = QzsPushColor(0), *h1 = QzsPushColor(1), *h2 = QzsPushColor(2);
    ASSERT_TRUE(h0 && h1 && h2);
    ColorRecord saved[3] = {g_colorTable[0], g_colorTable[1], g_colorTable[2]};
    for (int i = 0; i < 3; i++) {
        QzsSetColorRGB(i, 1, 2, 3);
        QzsGetColor(i)->reserved[6] = 99;
    }
    struct Step {
        void *handle;
        int result;
        int restored; // record restored by this pop, -1 none
    } const steps[] = {{h1, 1, 1}, {h1, 0, -1}, {h2, 1, 2}, {nullptr, 0, -1}};
    for (const Step &s : steps) {
        EXPECT_EQ(QzsPopColor(s.handle), s.result);
        if (s.restored >= 0) {
            EXPECT_TRUE(Same(g_colorTable[s.restored], saved[s.restored])) << s.restored;
        }
    }
    EXPECT_FALSE(Same(g_colorTable[0], saved[0]));
    // After the last node went, a new push must land behind the first one.
    QzsSetColorRGB(3, 40, 50, 60);
    void *h3 = QzsPushColor(3);
    QzsSetColorRGB(3, 0, 0, 0);
    EXPECT_EQ(QzsPopColor(h3), 1);
    EXPECT_EQ(QzsGetColor(3)->green, 50);
    EXPECT_EQ(QzsPopColor(h0), 1);
    EXPECT_TRUE(Same(g_colorTable[0], saved[0]));
    EXPECT_EQ(QzsPopColor(h0), 0);
}

TEST_F(ColorTest, EyedropperTakesTheLayerPixel)
{
    CDIB *base = nullptr;
    QzsCreateNewImage(&base, 8, 6, 32);
    ASSERT_EQ(AddImageGroup(base), 1);
    ImageGroup *g = g_lastGroup;
    CDIB *image = nullptr;
    ASSERT_EQ(CreateImageRecord(&image, 4, 3, 32), 0);
    for (int y = 0; y < 3; y++)
        for (int x = 0; x < 4; x++)
            ((uint32_t *)image->pixels)[y * 4 + x] = (uint32_t)(200 - x) << 24 | 128u << 16 | (uint32_t)(64 + y) << 8 | 32;
    QzsInsertNewLayer(g, image, -1, 3, 1, 255, 0); // covers group columns 0..2, rows 3..5
    ImageWindow window{};
    window.group = g;
    window.layerImage = image;
    struct Case {
        int x, y, keys;
        int which;      // record expected to change, -1 none
        int green, alpha; // of the pixel taken
    } const cases[] = {
        {0, 3, 0, 0, 64, 199},  // left edge: layer column 1
        {2, 5, 4, 1, 66, 197},  // Shift on the bottom row goes to record 1
        {-1, 4, 0, -1, 0, 0},   // the layer's column 0 is left of the base
        {3, 4, 0, -1, 0, 0},    // right of the layer
        {1, 2, 4, -1, 0, 0},    // above it
    };
    for (const Case &c : cases) {
        SetDefaultColors();
        ColorRecord before[kColorRecords];
        memcpy(before, g_colorTable, sizeof before);
        EXPECT_EQ(QzsSpoitColor(&window, c.x, c.y, c.keys), 0);
        for (int i = 0; i < kColorRecords; i++) {
            if (i != c.which) {
                EXPECT_TRUE(Same(g_colorTable[i], before[i])) << c.x << "," << c.y << " record " << i;
                continue;
            }
            Rgba got = RecordOf(i), want = {128, c.green, 32, c.alpha};
            EXPECT_EQ(memcmp(&got, &want, sizeof got), 0) << c.x << "," << c.y;
        }
    }
    QzsLockColor(NULL, 1);
    SetDefaultColors();
    EXPECT_EQ(QzsSpoitColor(&window, 0, 3, 0), 0);
    EXPECT_EQ(QzsGetColor(0)->red, 0);
    QzsLockColor(NULL, 0);
}

TEST_F(ColorTest, ConfigurationLines)
{
    struct Case {
        const char *values;
        int result, which;
        int32_t want[7]; // red, green, blue, function, opacity, region bits, region mode
    } const cases[] = {
        {"15 1 2 3 4 300 5 1", 1, 15, {1, 2, 3, 4, 44, 5, 1}},
        {" 3   10", 1, 3, {10, 0, 255, 0, 255, 0, 0}},      // a short line sets what it has
        {"2 9 9 9 999 9 0 0", 1, 2, {9, 9, 9, 0, 9, 0, 0}}, // no such functional colour
        {"16 1 1 1 1 1 1 1", 0, -1, {}},
        {"-1 1 1 1 1 1 1 1", 0, -1, {}},
        {"", 0, -1, {}},
        {"x", 0, -1, {}},
    };
    for (const Case &c : cases) {
        SetDefaultColors();
        ColorRecord before[kColorRecords];
        memcpy(before, g_colorTable, sizeof before);
        if (c.which >= 0)
            memcpy(&before[c.which], c.want, sizeof c.want);
        EXPECT_EQ(ReadColorValueLine(c.values), c.result) << c.values;
        EXPECT_EQ(memcmp(before, g_colorTable, sizeof before), 0) << c.values;
    }
    ReadColorValueLine("7 1 22 133 12 200 4 3");
    char line[100];
    int length = FormatColorValueLine(7, line, sizeof line);
    EXPECT_EQ(length, (int)strlen(line));
    EXPECT_STREQ(line, "ColorValue  7   1  22 133    12 200   4   3");
    EXPECT_EQ(FormatColorValueLine(16, line, sizeof line), -1);
}

} // namespace
