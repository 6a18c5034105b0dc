// The pen selector module through the host: its pen code, the pens it builds against the growth
// rules of each shape, weights by hardness and fuzz, tablet pressure, its window, and the pen it
// makes painting in an image window.
#include "image_fixture.h"
#include "image/colors.h"
#include "plugins/subwin.h"
#include "view/paint.h"
#include <math.h>

namespace {

const int kSide = 48, kCentre = 23;

int Need(int d) { return d > 0 ? 2 * d : d < 0 ? -2 * d + 1 : 1; }

// The growth order of each shape as the pen selector is meant to have it; -1 for the spark's cells
// outside the part that is fixed (rows 22 to 24, columns 18 to 29).
int Growth(const std::string &shape, int size, int r, int c)
{
    int dy = r - kCentre, dx = c - kCentre;
    if (shape == "RECT")
        return std::max(Need(dy), Need(dx));
    if (shape == "DIAM") {
        int v = 2 * (abs(dy) + abs(dx)) + (dy >= 0 ? 1 : 0);
        return v >= 48 ? 49 : v;
    }
    if (shape == "HOZL")
        return r == kCentre ? Need(dx) : 49;
    if (shape == "VERL")
        return c == kCentre ? Need(dy) : 49;
    if (shape == "DNSL")
        return dy == dx ? Need(dy) : 49;
    if (shape == "UPSL")
        return dy == -(c - 24) ? Need(dy) : 49;
    if (shape == "RUND") {
        double centre = size % 2 ? 23.0 : 23.5, offset = size % 2 ? 1.5 : 0.1;
        return (int)(2 * sqrt((r - centre) * (r - centre) + (c - centre) * (c - centre)) + offset);
    }
    static const int kSpark[3][12] = {{11, 9, 7, 9, 9, 3, 9, 10, 6, 8, 10, 42},
                                      {12, 11, 14, 5, 3, 1, 2, 4, 14, 20, 20, 16},
                                      {11, 19, 14, 5, 8, 2, 2, 10, 8, 10, 12, 23}};
    return r >= 22 && r <= 24 && c >= 18 && c <= 29 ? kSpark[r - 22][c - 18] : -1;
}

class PensTest : public LoaderTest {
protected:
    HWND window = nullptr;
    void SetUp() override
    {
        LoaderTest::SetUp();
        ASSERT_EQ(1, QzsCreatePen(49));
        PutDelivered(g_cfg.Subwin_dir, "Subwin", "pens");
        ASSERT_EQ(1, LoadSubWindowPlugins());
        ASSERT_STREQ("PenSelector", g_subWindows[0].name);
        CreateSubWindows();
        window = g_subWindows[0].window;
        ASSERT_NE(nullptr, window);
        char cls[16];
        GetClassNameA(window, cls, sizeof cls);
        ASSERT_STREQ("Pens", cls);
    }
    // The code through the host, as the configuration and macros hand it over.
    void Make(const std::string &code) { ASSERT_EQ(1, QzsCreatePenShape(window, code.c_str())); }
    // The module's settings as it writes them: a change of nothing in the window sends its code.
    std::string Settings()
    {
        HWND combo = GetDlgItem(window, 2000);
        SendMessageA(window, WM_COMMAND, MAKEWPARAM(2000, CBN_SELCHANGE), (LPARAM)combo);
        return g_cfg.PenParameter;
    }
    uint32_t Weight(int r, int c)
    {
        const PenRecord *pen = QzsGetPen();
        return pen->weights[r * pen->side + c];
    }
    void Click(UINT down, int x, int y)
    {
        SendMessageA(window, down, down == WM_LBUTTONDOWN ? MK_LBUTTON : MK_RBUTTON, MAKELPARAM(x, y));
        SendMessageA(window, down + 1, 0, MAKELPARAM(x, y));
    }
};

} // namespace

TEST_F(PensTest, TheCodeIsReadAndWrittenBackWithinItsRanges)
{
    struct Case {
        std::string code, settings;
    } cases[] = {
        {"RECT 4 50100 FFF", "RECT 4 50100 FFF"},
        {"", "RECT 4 50100 FFF"},
        {"DIAM12 30 70GTFT", "DIAM12 30 70GTFT"},
        {"RUND48100  0HFFT", "RUND48100  0HFFT"},
        {"PEN1 1  0  1FTTT", "PEN1 1  0  1FTTT"},
        {"DNSL 2 99 98 FFF", "DNSL 2 99 98 FFF"},
        {"UPSL 3 10 20GFFF", "UPSL 3 10 20GFFF"},
        {"HOZL 5 60 70HFFF", "HOZL 5 60 70HFFF"},
        {"VERL 6 70 80FFTF", "VERL 6 70 80FFTF"},
        // cut short: what the code does not reach keeps its value, the flags it does not reach clear
        {"UPSL", "UPSL 4 50100 FFF"},
        {"VERL 9", "VERL 9 50100 FFF"},
        {"HOZL 7 6", "HOZL 7  6100 FFF"},
        {"DIAM 8 60 90GT", "DIAM 8 60 90GTFF"},
        {"RE", "RECT 4 50100 FFF"},
        // an unknown shape keeps the shape
        {"XXXX 5 50100 FFF", "RECT 5 50100 FFF"},
        // out of range, signed, not numbers: the nearest value in range
        {"RECT99999999FFF", "RECT48100100FFFF"},
        {"RECT-5-20-30 TTT", "RECT 1  0  0 TTT"},
        {"RECTabcdefghijkl", "RECT 1  0  0 FFF"},
        // only the first characters of a long code count
        {"DIAM 8 60 90HTTT" + std::string(3000, 'x'), "DIAM 8 60 90HTTT"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.code.substr(0, 20));
        Make("");
        Make(c.code);
        EXPECT_EQ(c.settings, Settings());
    }
    EXPECT_STREQ("PenSelector", PenCreatorPluginName());
}

TEST_F(PensTest, EachShapeGrowsByItsTable)
{
    for (const char *shape : {"RECT", "DIAM", "RUND", "PEN1", "DNSL", "UPSL", "HOZL", "VERL"})
        for (int size : {1, 2, 48}) {
            SCOPED_TRACE(std::string(shape) + " " + std::to_string(size));
            char code[32];
            snprintf(code, sizeof code, "%s%2d100100 FFF", shape, size);
            Make(code);
            const PenRecord *pen = QzsGetPen();
            ASSERT_EQ(kSide, pen->side);
            int left = kSide, top = kSide, right = -1, bottom = -1, hotX = -1, hotY = -1;
            for (int r = 0; r < kSide; r++)
                for (int c = 0; c < kSide; c++) {
                    int v = Growth(shape, size, r, c);
                    if (v < 0)
                        continue; // the spark's cells outside its fixed part
                    ASSERT_EQ(v <= size ? 255u : 0u, Weight(r, c)) << r << "," << c;
                    if (v == 1)
                        hotX = c, hotY = r;
                    if (v <= size) {
                        left = std::min(left, c), right = std::max(right, c);
                        top = std::min(top, r), bottom = std::max(bottom, r);
                    }
                }
            EXPECT_EQ(hotX, pen->hotX);
            EXPECT_EQ(hotY, pen->hotY);
            if (std::string(shape) != "PEN1") {
                EXPECT_EQ(left, pen->left);
                EXPECT_EQ(top, pen->top);
                EXPECT_EQ(right, pen->right);
                EXPECT_EQ(bottom, pen->bottom);
            }
            EXPECT_EQ(0, pen->softEdge);
        }
}

TEST_F(PensTest, TheSparkOnlyGrows)
{
    std::vector<uint32_t> before(kSide * kSide, 0);
    for (int size = 1; size <= 48; size++) {
        char code[32];
        snprintf(code, sizeof code, "PEN1%2d100100 FFF", size);
        Make(code);
        int cells = 0;
        for (int i = 0; i < kSide * kSide; i++) {
            uint32_t w = QzsGetPen()->weights[i];
            ASSERT_TRUE(w == 0 || w == 255);
            ASSERT_FALSE(before[i] && !w) << "size " << size << " lost cell " << i;
            before[i] = w;
            cells += w != 0;
        }
        if (size == 1) {
            EXPECT_EQ(1, cells);
        }
    }
}

TEST_F(PensTest, HardnessFuzzAndDensityWeighTheCells)
{
    // Square of size 10: its cells have the values 1 to 10; the cell value sets the fuzz weight.
    struct Case {
        const char *code;
        std::function<uint32_t(int v)> weight;
        int soft;
    } cases[] = {
        {"RECT10100100FFFF", [](int) { return 255u; }, 1},  // hardness 100: no fuzz width
        {"RECT10100100GFFF", [](int) { return 255u; }, 1},
        {"RECT10 50100FFFF", [](int v) { return std::min(255u, (uint32_t)((10 - v) * 255 / 10)); }, 1},
        {"RECT10 20100GFFF",
         [](int v) { // hardness at most 50: the peak falls to 102, the width is the size
             int d = 10 - v, t = d - 11;
             return t * t > 100 ? 0u : (uint32_t)(102 * sqrt(100.0 - t * t) / 10);
         },
         1},
        {"RECT10  0100GFFF", [](int) { return 0u; }, 1},
        {"RECT10 40100HFFF", [](int) { return 102u; }, 1},
        {"RECT10 40  0 FFF", [](int) { return 0u; }, 0}, // density 0 drops every cell
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.code);
        Make(c.code);
        const PenRecord *pen = QzsGetPen();
        for (int r = 0; r < kSide; r++)
            for (int col = 0; col < kSide; col++) {
                int v = Growth("RECT", 10, r, col);
                ASSERT_EQ(v <= 10 ? c.weight(v) : 0u, Weight(r, col)) << r << "," << col;
            }
        // The box holds the shape, also where density dropped its cells.
        EXPECT_EQ(19, pen->left);
        EXPECT_EQ(19, pen->top);
        EXPECT_EQ(28, pen->right);
        EXPECT_EQ(28, pen->bottom);
        EXPECT_EQ(c.soft, pen->softEdge);
    }
}

TEST_F(PensTest, TabletPressureScalesTheFlaggedValuesAndTheStrokeEndRestoresThePen)
{
    Make("RECT 8100100 TFF");
    auto box = [] { return QzsGetPen()->right - QzsGetPen()->left + 1; };
    ASSERT_EQ(8, box());
    SendPenPressure(128, 255); // 8 x 128 / 255 = 4
    EXPECT_EQ(4, box());
    EXPECT_EQ(22, QzsGetPen()->left);
    EXPECT_EQ(25, QzsGetPen()->right);
    // The same pressure again rebuilds nothing.
    QzsGetPen()->weights[23 * kSide + 23] = 7;
    SendPenPressure(128, 255);
    EXPECT_EQ(7u, Weight(23, 23));
    SendPenPressure(64, 255);
    EXPECT_EQ(2, box());
    // The stroke ends: the nominal pen; the next stroke's first pressure rebuilds it even when it
    // equals the last one of the stroke before.
    SendPenPressure(64, 255);
    SendPenPressure(0, 0);
    EXPECT_EQ(8, box());
    SendPenPressure(64, 255);
    EXPECT_EQ(2, box());
    SendPenPressure(0, 0);
    // A pressure past the maximum stays within the ranges.
    SendPenPressure(100000, 255);
    EXPECT_EQ(48, box());
    SendPenPressure(0, 0);
    EXPECT_EQ("RECT 8100100 TFF", Settings());
}

TEST_F(PensTest, TheWindowChangesThePen)
{
    // No tablet here: the pressure check boxes are disabled.
    for (int id : {600, 601, 602})
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window, id))) << id;
    Make("");
    Click(WM_LBUTTONDOWN, 90, 20); // the size bar: size = x - 80
    EXPECT_EQ("RECT10 50100 FFF", std::string(g_cfg.PenParameter));
    SendMessageA(window, WM_COMMAND, 301, 0);
    SendMessageA(window, WM_COMMAND, 500, 0);
    EXPECT_EQ("RECT11 50 99 FFF", Settings());
    Click(WM_LBUTTONDOWN, 30, 70); // the round fuzz button, twice: on and off again
    EXPECT_EQ("RECT11 50 99GFFF", std::string(g_cfg.PenParameter));
    Click(WM_LBUTTONDOWN, 30, 70);
    EXPECT_EQ("RECT11 50 99 FFF", std::string(g_cfg.PenParameter));
    // Dragging the hardness bar past its end stops at 100.
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 90));
    EXPECT_EQ("RECT11 15 99 FFF", std::string(g_cfg.PenParameter));
    SendMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(400, 90));
    SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(400, 90));
    SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(30, 90)); // no longer dragging
    EXPECT_EQ("RECT11100 99 FFF", Settings());
    // The preview: left click the next shape, right click the one before, both wrapping.
    Click(WM_RBUTTONDOWN, 20, 20);
    EXPECT_EQ("VERL11100 99 FFF", std::string(g_cfg.PenParameter));
    Click(WM_LBUTTONDOWN, 20, 20);
    Click(WM_LBUTTONDOWN, 20, 20);
    EXPECT_EQ("DIAM11100 99 FFF", std::string(g_cfg.PenParameter));
    // Closing hides the window.
    SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_EQ(0, g_subWindows[0].shown);
}

TEST_F(PensTest, ThePenMadeInTheWindowIsThePenThatPaints)
{
    const uint32_t kWhite = 0xFFFFFFFFu;
    ImageWindow *w = ShowNewGroup(40, 30, kWhite, {});
    ASSERT_NE(nullptr, w);
    QzsSetColorRGB(0, 200, 0, 0);
    Make("");
    Click(WM_LBUTTONDOWN, 85, 20); // size 5
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(2000, CBN_SELCHANGE), 0);
    ASSERT_EQ("RECT 5 50100 FFF", std::string(g_cfg.PenParameter));
    for (int i = 0; i < 50; i++) // hardness 100: every cell of the square fully
        SendMessageA(window, WM_COMMAND, 401, 0);
    ASSERT_EQ("RECT 5100100 FFF", std::string(g_cfg.PenParameter));

    QzsWritePen(w, 12, 9, 1);
    CommitStroke(w);
    const uint32_t *px = (const uint32_t *)w->group->base->pixels;
    for (int y = 0; y < 30; y++)
        for (int x = 0; x < 40; x++) {
            // The square of size 5 grows from its hot spot two cells each way.
            bool in = std::max(Need(y - 9), Need(x - 12)) <= 5;
            ASSERT_EQ(in ? 0xFFC80000u : kWhite, px[y * 40 + x]) << x << "," << y;
        }
}
