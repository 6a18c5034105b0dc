// The item window: its class and window, the colour swatch for a table of colour records, a change
// of one record touching only its cell, and the pen swatch for small, large, hostile and far-off
// pens, read back from the screen-depth images.
#include "testsupport.h"
#include "base/app.h"
#include "image/bindings.h"
#include "image/colors.h"
#include "shell/toolbar.h"
#include "shell/itemwin.h"
#include "view/writers.h"
#include <string.h>
#include <vector>

namespace {

class ItemWindowTest : public HostTest {
protected:
    void SetUp() override
    {
        HostTest::SetUp();
        InitDisplayWriters(32);
        ASSERT_EQ(1, RegisterItemWindowClass());
        ASSERT_NE(nullptr, CreateItemWindow(NULL, 50, 60));
    }
    void TearDown() override
    {
        DestroyItemWindow();
        HostTest::TearDown();
    }
    // Red, green and blue of a swatch pixel in top-down coordinates.
    static COLORREF Pixel(CDIB *image, int x, int y)
    {
        const uint8_t *p = (const uint8_t *)image->pixels + ((kItemSwatchSide - 1 - y) * kItemSwatchSide + x) * 4;
        return RGB(p[2], p[1], p[0]);
    }
    static void SetRecord(int i, int r, int g, int b)
    {
        g_colorTable[i].red = r;
        g_colorTable[i].green = g;
        g_colorTable[i].blue = b;
    }
};

} // namespace

TEST_F(ItemWindowTest, WindowIsASmallPopupDraggedByItsBody)
{
    char text[16];
    GetClassNameA(g_itemWindow, text, sizeof text);
    EXPECT_STREQ("ItemWin", text);
    GetWindowTextA(g_itemWindow, text, sizeof text);
    EXPECT_STREQ("Item", text);
    RECT r;
    GetWindowRect(g_itemWindow, &r);
    EXPECT_EQ(50, r.left);
    EXPECT_EQ(94, r.right - r.left);
    EXPECT_EQ(34, r.bottom - r.top);
    EXPECT_EQ(HTCAPTION, SendMessageA(g_itemWindow, WM_NCHITTEST, 0, MAKELPARAM(50 + 47, 60 + 17)));
    UpdateWindow(g_itemWindow); // paints without a draw method or functional colour
}

TEST_F(ItemWindowTest, ColourSwatchShowsTheRecordsAndOneChangeTouchesOnlyItsCell)
{
    const int kColours[6][3] = {{200, 10, 20}, {0, 0, 255}, {1, 2, 3}, {40, 50, 60}, {70, 80, 90}, {100, 110, 120}};
    for (int i = 0; i < 6; i++)
        SetRecord(i, kColours[i][0], kColours[i][1], kColours[i][2]);
    UpdateItemSwatches();
    CDIB *s = ItemColorSwatch();
    struct Case {
        int x, y, record;
    } cases[] = {
        {0, 0, 2},   {4, 4, 2},   {5, 5, 0},   {3, 5, 0},    {15, 15, 0}, {26, 15, 0}, {2, 15, 1},
        {27, 15, 1}, {15, 2, 1},  {15, 27, 1}, {25, 0, 3},   {29, 4, 3},  {24, 4, 0},  {25, 25, 4},
        {29, 29, 4}, {26, 24, 0}, {0, 25, 5},  {4, 29, 5},   {5, 29, 1},  {0, 24, 1},
    };
    for (const Case &c : cases) {
        const int *rgb = kColours[c.record];
        EXPECT_EQ(RGB(rgb[0], rgb[1], rgb[2]), Pixel(s, c.x, c.y)) << c.x << "," << c.y;
    }

    COLORREF before[kItemSwatchSide][kItemSwatchSide];
    for (int y = 0; y < kItemSwatchSide; y++)
        for (int x = 0; x < kItemSwatchSide; x++)
            before[y][x] = Pixel(s, x, y);
    SetRecord(3, 9, 9, 9);
    RefreshItemWindow();
    for (int y = 0; y < kItemSwatchSide; y++)
        for (int x = 0; x < kItemSwatchSide; x++)
            EXPECT_EQ(x >= 25 && y < 5 ? RGB(9, 9, 9) : before[y][x], Pixel(s, x, y)) << x << "," << y;
}

TEST_F(ItemWindowTest, PenSwatchCentresTheHotSpotAndDarkensHeavyCells)
{
    struct Case {
        const char *what;
        int side, hot, left, top, right, bottom;
        int weight; // -1: x + y
        struct {
            int x, y, grey;
        } pixels[4];
    } cases[] = {
        {"small", 5, 2, 1, 1, 3, 3, 200, {{15, 15, 55}, {14, 16, 55}, {13, 15, 255}, {0, 0, 255}}},
        {"large", 49, 24, 0, 0, 48, 48, -1, {{0, 0, 237}, {29, 29, 179}, {15, 15, 207}, {29, 0, 208}}},
        {"box past the matrix", 5, 2, -3, -3, 40, 40, 100, {{15, 15, 155}, {12, 12, 255}, {17, 17, 155}, {18, 18, 255}}},
        {"hot spot far off", 5, 100000, 0, 0, 4, 4, 100, {{15, 15, 255}, {0, 0, 255}, {29, 29, 255}, {7, 7, 255}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(1, QzsCreatePen(c.side + 1));
        PenRecord *pen = QzsGetPen();
        pen->hotX = pen->hotY = c.hot;
        pen->left = c.left;
        pen->top = c.top;
        pen->right = c.right;
        pen->bottom = c.bottom;
        for (int y = 0; y < c.side; y++)
            for (int x = 0; x < c.side; x++)
                pen->weights[y * c.side + x] = c.weight < 0 ? x + y : c.weight;
        UpdateItemSwatches();
        for (const auto &p : c.pixels)
            EXPECT_EQ(RGB(p.grey, p.grey, p.grey), Pixel(ItemPenSwatch(), p.x, p.y)) << p.x << "," << p.y;
    }
}

// The icon over the colour swatch follows the drawing colour: the region bitmap while region
// drawing is on, else the chosen functional colour's button, else nothing.
TEST_F(ItemWindowTest, IconShowsRegionDrawingOrTheFunctionalColour)
{
    LoadToolBarBitmaps();
    ASSERT_NE(nullptr, g_itemWindowBitmap);
    HDC screen = GetDC(NULL);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP canvas = CreateCompatibleBitmap(screen, 94, 34);
    HBITMAP button = CreateCompatibleBitmap(screen, 20, 20);
    ReleaseDC(NULL, screen);
    HGDIOBJ old = SelectObject(dc, button);
    RECT all = {0, 0, 20, 20};
    HBRUSH green = CreateSolidBrush(RGB(0, 200, 0));
    FillRect(dc, &all, green);
    DeleteObject(green);
    SelectObject(dc, canvas);
    g_colorFunctions[2].module = GetModuleHandleA(NULL); // a row that holds a module
    g_colorFunctions[2].bitmap = button;

    // The region bitmap's own pixels, read apart from the painting.
    std::vector<COLORREF> region;
    {
        HDC m = CreateCompatibleDC(dc);
        HGDIOBJ was = SelectObject(m, g_itemWindowBitmap);
        for (int y = 0; y < 20; y++)
            for (int x = 0; x < 20; x++)
                region.push_back(GetPixel(m, x, y));
        SelectObject(m, was);
        DeleteDC(m);
    }
    struct Case {
        const char *what;
        int regionMode, function;
    } cases[] = {{"plain", 0, 0}, {"region", 1, 0}, {"region over a functional colour", 3, 3}, {"functional colour", 0, 3}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        RECT r = {0, 0, 94, 34};
        FillRect(dc, &r, (HBRUSH)GetStockObject(BLACK_BRUSH));
        g_colorTable[0].regionMode = c.regionMode;
        g_colorTable[0].function = c.function;
        PaintItemBitmaps(dc);
        int differ = 0;
        for (int y = 0; y < 20; y++)
            for (int x = 0; x < 20; x++) {
                COLORREF want = c.regionMode ? region[y * 20 + x] : c.function ? RGB(0, 200, 0) : RGB(0, 0, 0);
                differ += GetPixel(dc, 7 + x, 7 + y) != want;
            }
        EXPECT_EQ(0, differ);
        EXPECT_EQ(RGB(0, 0, 0), GetPixel(dc, 6, 6)); // nothing outside the icon's place
        EXPECT_EQ(RGB(0, 0, 0), GetPixel(dc, 27, 27));
    }
    memset(&g_colorFunctions[2], 0, sizeof g_colorFunctions[2]);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(canvas);
    DeleteObject(button);
}
