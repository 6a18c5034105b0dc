// The pen: its matrices and outline, the hand-over to the pen maker, and stamps into the stroke
// (clipping to the current layer, hot spot and box, opacity, loop mode, per-stamp messages).
#include "test_paint_fixture.h"
#include "plugins/subwin.h"
#include "base/settings.h"
#include <algorithm>
#include <string>
#include <vector>

namespace {

struct PenMakerCalls {
    std::string code = "(never called)";
    int changes = 0;
    INT_PTR lastValue = -1;
    PenRecord *lastPen = nullptr;
} s_maker;

int QZCAPI FakeMakePen(const char *code)
{
    s_maker.code = code;
    return 1;
}

int QZCAPI FakeChangePen(INT_PTR value, PenRecord *pen)
{
    s_maker.changes++;
    s_maker.lastValue = value;
    s_maker.lastPen = pen;
    return 0;
}

class PenTest : public PaintTest {
protected:
    void TearDown() override
    {
        memset(g_subWindows, 0, 3 * sizeof g_subWindows[0]);
        PaintTest::TearDown();
    }
    // Sub-window rows: one without a pen maker, then one that makes pens and hears of changes.
    void FakeSubWindows()
    {
        s_maker = PenMakerCalls();
        memset(g_subWindows, 0, 3 * sizeof g_subWindows[0]);
        g_subWindows[0].module = g_subWindows[1].module = GetModuleHandleA(nullptr);
        g_subWindows[0].window = (HWND)0x100;
        strcpy(g_subWindows[0].name, "Plain");
        g_subWindows[1].window = (HWND)0x200;
        strcpy(g_subWindows[1].name, "Maker");
        g_subWindows[1].QzcMakePen = FakeMakePen;
        g_subWindows[1].QzcChangePen = FakeChangePen;
    }
    static uint32_t Weight(int c, int r) { return 10 + 10 * c + 50 * r; }
    // A side-4 pen whose weight tells each cell apart.
    void CellPen(int hotX, int hotY, int left, int top, int right, int bottom)
    {
        std::vector<uint32_t> weights(16);
        for (int r = 0; r < 4; r++)
            for (int c = 0; c < 4; c++)
                weights[r * 4 + c] = Weight(c, r);
        SetPen(4, weights, hotX, hotY, left, top, right, bottom);
    }
};

std::vector<uint32_t> Ones(int side)
{
    return std::vector<uint32_t>((size_t)side * side, 255);
}

} // namespace

TEST_F(PenTest, OutlineCells)
{
    struct Case {
        int side;
        std::vector<uint32_t> weights, outline;
    } cases[] = {
        {1, {255}, {1}},
        {3, Ones(3), {1, 1, 1, 1, 0, 1, 1, 1, 1}},
        // A plus inside a 5 x 5 matrix: even its centre touches zeros diagonally.
        {5, {0, 0, 0, 0, 0, 0, 0, 9, 0, 0, 0, 9, 9, 9, 0, 0, 0, 9, 0, 0, 0, 0, 0, 0, 0},
         {0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0}},
        // A full 5 x 5 with a hole in the middle: the hole outlines the ring around it as well.
        {5, {9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 0, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9},
         {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}},
    };
    for (const Case &c : cases) {
        SetPen(c.side, c.weights, 0, 0, 0, 0, c.side - 1, c.side - 1);
        const PenRecord *pen = QzsGetPen();
        std::vector<uint32_t> got(pen->outline, pen->outline + c.side * c.side);
        EXPECT_EQ(got, c.outline) << "side " << c.side;
    }
}

TEST_F(PenTest, CreatePenAllocatesClearedMatricesOrLeavesAnEmptyPen)
{
    ASSERT_EQ(QzsCreatePen(49), 1);
    PenRecord *pen = QzsGetPen();
    EXPECT_EQ(pen->side, 48);
    for (int i = 0; i < 48 * 48; i++)
        ASSERT_TRUE(pen->weights[i] == 0 && pen->colorIndexes[i] == 0 && pen->work[i] == 0 &&
                    pen->shortWork[i] == 0);
    EXPECT_EQ(pen->hotX + pen->hotY + pen->left + pen->right + pen->softEdge, 0);
    EXPECT_NE(GetPenMacroCopy(0), nullptr);
    // A maker that writes a side beyond the matrices is held to them.
    pen->side = 5000;
    EXPECT_EQ(QzsSetPen(0), 48);
    Show(4, 4, 0xFFFFFFFFu);
    Drawing(0, 0, 0, 255);
    for (int n : {0, 1, -5, kMaxPenSide + 2}) {
        EXPECT_EQ(QzsCreatePen(n), 0) << n;
        EXPECT_EQ(pen->side, 0);
        EXPECT_EQ(pen->weights, nullptr);
        EXPECT_EQ(QzsSetPen(0), 0);
        QzsWritePen(window, 1, 1, 0);
        EXPECT_LT(Dirty().right, 0);
    }
}

TEST_F(PenTest, StampLandsByHotSpotAndBoxClippedToTheLayer)
{
    struct Case {
        const char *what;
        bool layer; // a white layer at (3, 2), 6 x 5, current
        int x, y, hotX, hotY, left, top, right, bottom;
    } cases[] = {
        {"inside the base", false, 5, 5, 1, 1, 0, 0, 3, 3},
        {"part of the box", false, 5, 5, 0, 0, 1, 0, 2, 3},
        {"over the base's top-left corner", false, 1, 0, 2, 2, 0, 0, 3, 3},
        {"over the base's bottom-right corner", false, 11, 9, 1, 1, 0, 0, 3, 3},
        {"half over the layer's left edge", true, 3, 4, 2, 1, 0, 0, 3, 3},
        {"over the layer's top edge", true, 6, 2, 1, 2, 0, 0, 3, 3},
        {"over the layer's right and bottom", true, 8, 6, 0, 0, 0, 0, 3, 3},
        {"wholly left of the layer", true, 0, 4, 0, 0, 0, 0, 2, 3},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        DiscardAllImages();
        Show(12, 10, 0xFFFFFFFFu);
        int lx = 0, ly = 0, lr = 11, lb = 9;
        if (c.layer) {
            AddLayer(3, 2, 6, 5, 0xFFFFFFFFu);
            lx = 3, ly = 2, lr = 8, lb = 6;
        }
        Drawing(0, 0, 0, 255);
        CellPen(c.hotX, c.hotY, c.left, c.top, c.right, c.bottom);
        ClearPendingRefresh();
        QzsWritePen(window, c.x, c.y, 0);
        int painted = 0;
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++) {
                int col = x - c.x + c.hotX, row = y - c.y + c.hotY;
                bool hit = col >= c.left && col <= c.right && row >= c.top && row <= c.bottom && x >= lx &&
                           x <= lr && y >= ly && y <= lb;
                int a = hit ? (int)Weight(col, row) : 0;
                ASSERT_EQ(Draw(x, y), hit ? PaintedOver(0, 0, 0, a, 0xFFFFFFFFu) : 0u) << x << "," << y;
                painted += hit;
            }
        RECT pending;
        bool refreshed = GetPendingRefresh(&pending);
        EXPECT_EQ(refreshed, painted > 0);
        if (painted) {
            EXPECT_EQ(pending.left, std::max(lx, c.x - c.hotX + c.left));
            EXPECT_EQ(pending.bottom, std::min(lb, c.y - c.hotY + c.bottom));
        }
    }
}

TEST_F(PenTest, StampAlphaIsWeightTimesOpacity)
{
    struct Case {
        uint32_t weight;
        int opacity, alpha;
    } cases[] = {{255, 128, 128}, {1, 128, 0}, {255, 255, 255}, {100, 200, 78}, {999, 255, 255}};
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.weight << " x " << c.opacity);
        DiscardAllImages();
        ClearDirtyRect();
        Show(3, 3, 0xFFFFFFFFu);
        Drawing(0, 0, 0, c.opacity);
        SetPen(1, {c.weight}, 0, 0, 0, 0, 0, 0);
        QzsWritePen(window, 1, 2, 0);
        EXPECT_EQ(Coverage(1, 2), c.alpha);
        EXPECT_EQ(Draw(1, 2), c.alpha ? PaintedOver(0, 0, 0, c.alpha, 0xFFFFFFFFu) : 0u);
        // Even a stamp too faint to paint marks the area touched.
        RECT d = Dirty();
        EXPECT_TRUE(d.left == 1 && d.top == 2 && d.right == 1 && d.bottom == 2);
    }
}

TEST_F(PenTest, CellsPaintInTheirColourRecords)
{
    Show(4, 1, 0xFFFFFFFFu);
    Drawing(0, 0, 0, 255);
    QzsSetColorRGB(1, 0, 0, 255);
    SetPen(3, Ones(3), 0, 0, 0, 0, 2, 0);
    PenRecord *pen = QzsGetPen();
    pen->colorIndexes[0] = 1;
    pen->colorIndexes[1] = 16;         // past the table: the drawing colour
    pen->colorIndexes[2] = 0xFFFFFFFFu; // likewise
    QzsWritePen(window, 0, 0, 0);
    EXPECT_EQ(Draw(0, 0), Bgra(255, 0, 0, 255));
    EXPECT_EQ(Draw(1, 0), Bgra(0, 0, 0, 255));
    EXPECT_EQ(Draw(2, 0), Bgra(0, 0, 0, 255));
}

TEST_F(PenTest, LoopModeWrapsStampsAroundTheLayer)
{
    Show(10, 6, 0xFFFFFFFFu);
    Drawing(0, 0, 0, 255);
    SetPen(3, Ones(3), 1, 1, 0, 0, 2, 2);
    SetLoopMode(true);
    ClearPendingRefresh();
    QzsWritePen(window, 0, 2, 0);
    for (int y = 0; y < 6; y++)
        for (int x = 0; x < 10; x++) {
            bool hit = (x == 9 || x <= 1) && y >= 1 && y <= 3;
            ASSERT_EQ(Draw(x, y), hit ? 0xFF000000u : 0u) << x << "," << y;
        }
    // The wrapped left corner lies right of the right one: the whole width is refreshed.
    RECT r;
    ASSERT_TRUE(GetPendingRefresh(&r));
    EXPECT_TRUE(r.left == 0 && r.right == 9 && r.top == 1 && r.bottom == 3);
    RECT d = Dirty();
    EXPECT_TRUE(d.left == 0 && d.right == 9);
    // The command flips the mode.
    ToggleLoopMode();
    EXPECT_FALSE(IsLoopMode());
}

TEST_F(PenTest, PerStampColourHearsOfEachStamp)
{
    Show(12, 10, 0xFFFFFFFFu);
    AddLayer(3, 2, 6, 5, 0xFFFFFFFFu);
    Drawing(0, 0, 0, 255);
    UseFakeColor(0);
    SetPen(2, Ones(2), 0, 0, 0, 0, 1, 1);
    ResetStampCounter();
    QzsWritePen(window, 5, 4, 0);
    EXPECT_EQ(g_fake.messages, 1);
    EXPECT_EQ(g_fake.lastStamp, 0);
    EXPECT_EQ(g_fake.messageX, 2);
    EXPECT_EQ(g_fake.messageY, 2);
    // Every painted cell asked the colour, in layer coordinates with its pen cell.
    EXPECT_EQ(g_fake.calls, 4);
    EXPECT_EQ(g_fake.lastX, 3);
    EXPECT_EQ(g_fake.lastRow, 1);
    QzsWritePen(window, 6, 4, 0);
    EXPECT_EQ(g_fake.lastStamp, 1);
    EXPECT_EQ(GetStampCounter(), 2);
}

TEST_F(PenTest, PenMakerAndChangeNotices)
{
    FakeSubWindows();
    snprintf(g_cfg.PenParameter, sizeof g_cfg.PenParameter, "before");
    for (HWND other : {(HWND)0x100, (HWND)0x300, (HWND)NULL})
        EXPECT_EQ(QzsCreatePenShape(other, "RECT 9"), 0);
    EXPECT_STREQ(g_cfg.PenParameter, "before");
    EXPECT_EQ(s_maker.code, "(never called)");
    EXPECT_EQ(QzsCreatePenShape((HWND)0x200, "RECT 4 50100 FFF"), 1);
    EXPECT_EQ(s_maker.code, "RECT 4 50100 FFF");
    EXPECT_STREQ(g_cfg.PenParameter, "RECT 4 50100 FFF");
    EXPECT_STREQ(PenCreatorPluginName(), "Maker");
    // A code longer than the setting is cut, not written past it.
    std::string longCode(3000, 'A');
    EXPECT_EQ(QzsCreatePenShape((HWND)0x200, longCode.c_str()), 1);
    EXPECT_EQ(strlen(g_cfg.PenParameter), sizeof g_cfg.PenParameter - 1);

    QzsCreatePen(49);
    MakeDefaultPen();
    const PenRecord *pen = QzsGetPen();
    EXPECT_EQ(s_maker.changes, 1);
    EXPECT_EQ(s_maker.lastValue, 0);
    EXPECT_EQ(s_maker.lastPen, pen);
    EXPECT_TRUE(pen->hotX == 16 && pen->hotY == 16 && pen->left == 13 && pen->top == 13 && pen->right == 35 &&
                pen->bottom == 35);
    for (int i = 0; i < 48 * 48; i++)
        ASSERT_EQ(pen->weights[i], 255u);
    EXPECT_EQ(pen->outline[0], 1u);
    EXPECT_EQ(pen->outline[48 + 1], 0u);
    EXPECT_EQ(QzsSetPen(0x200), 48);
    EXPECT_EQ(s_maker.lastValue, 0x200);
}

namespace {

// A stamp painted the way stamps always were, every cell through PaintPixel, for comparison.
void StampCellByCell(ImageWindow *window, int x, int y)
{
    const ImageGroup *g = window->group;
    const PenRecord *pen = QzsGetPen();
    int n = pen->side, alphaScale = QzsGetColor(0)->opacity & 255;
    int x0 = x - pen->hotX, y0 = y - pen->hotY;
    for (int r = 0; r < n; r++) {
        int py = y0 + r, cx = std::max(x0, g->clampedX);
        if (py < g->clampedY || py > g->bottom)
            continue;
        StartPaintRun(window, cx, py);
        for (int px = cx; px <= std::min(x0 + n - 1, g->right); px++) {
            int c = px - x0;
            uint32_t weight = std::min<uint32_t>(pen->weights[r * n + c], 255), index = pen->colorIndexes[r * n + c];
            if (weight)
                PaintPixel(window, px, py, c, r, QzsGetColor(index < 16 ? (int)index : 0),
                           (int)weight * alphaScale / 255);
            else
                AdvanceRun();
        }
    }
}

} // namespace

TEST_F(PenTest, StampsPaintAsCellByCellOnRandomScenes)
{
    srand(19);
    auto random = [](int n) { return rand() % n; };
    auto colour = [&] { return (uint32_t)rand() << 17 ^ (uint32_t)rand() << 4 ^ (uint32_t)rand(); };
    for (int scene = 0; scene < 24; scene++) {
        DiscardAllImages();
        ClearDirtyRect();
        Show(37, 29, 0);
        for (int i = 0; i < w * h; i++) {
            uint32_t c = colour(), alphas[] = {0, 255, c >> 24};
            Base(i % w, i / w) = (c & 0xFFFFFF) | alphas[random(3)] << 24;
        }
        if (scene % 3 == 1)
            AddLayer(random(8) - 3, random(8) - 3, 30, 20, 0x80406080u);
        ComposeWholeDisplay(window, group);
        UseFakeColor(0); // record 3 goes through a colour function; the others are plain
        Drawing(random(256), random(256), random(256), random(3) ? 255 : random(256), random(2) ? 4 : 0);
        for (int k = 1; k < 4; k++) {
            QzsSetColorRGB(k, random(256), random(256), random(256));
            QzsGetColor(k)->drawFlags = random(2) ? 4 : 0;
            QzsGetColor(k)->function = k == 3;
        }
        window->activeRegion = scene % 4 == 3 ? 1 : 0;
        window->layerFrameMode = scene % 3;
        int side = 5 + random(12);
        std::vector<uint32_t> weights((size_t)side * side);
        for (uint32_t &v : weights)
            v = random(4) ? random(300) : 0;
        SetPen(side, weights, random(side), random(side), 0, 0, side - 1, side - 1);
        PenRecord *pen = QzsGetPen();
        for (int i = 0; i < side * side; i++)
            pen->colorIndexes[i] = random(8) ? random(3) : random(2) ? 3 : 40;
        uint8_t marks[] = {0, 0, 0, 1, 0x80, 0x40, 0x20, 0x21};
        for (int i = 0; i < w * h; i++) {
            window->editMask[i] = marks[random(8)];
            window->coverage[i] = random(2) ? (uint8_t)random(256) : 0;
            window->drawBuffer[i] = window->coverage[i] ? colour() : 0;
        }
        size_t displayBytes = (size_t)window->displayWidth * window->displayHeight * 4;
        std::vector<uint32_t> draw0(window->drawBuffer, window->drawBuffer + w * h);
        std::vector<uint8_t> cover0(window->coverage, window->coverage + w * h),
            shown0((uint8_t *)window->display.pixels, (uint8_t *)window->display.pixels + displayBytes);
        int stamps[4][2];
        for (auto &s : stamps)
            s[0] = random(w + 10) - 5, s[1] = random(h + 10) - 5;
        std::vector<uint32_t> draws[2];
        std::vector<uint8_t> covers[2], shown[2];
        RECT dirty[2];
        for (int pass = 0; pass < 2; pass++) {
            memcpy(window->drawBuffer, draw0.data(), draw0.size() * 4);
            memcpy(window->coverage, cover0.data(), cover0.size());
            memcpy(window->display.pixels, shown0.data(), displayBytes);
            SetDirtyRect(3, 4, 5, 6);
            for (auto &s : stamps)
                pass ? StampCellByCell(window, s[0], s[1]) : (void)QzsWritePen(window, s[0], s[1], 0);
            draws[pass].assign(window->drawBuffer, window->drawBuffer + w * h);
            covers[pass].assign(window->coverage, window->coverage + w * h);
            shown[pass].assign((uint8_t *)window->display.pixels, (uint8_t *)window->display.pixels + displayBytes);
            GetDirtyRect(&dirty[pass]);
        }
        ASSERT_EQ(draws[0], draws[1]) << scene;
        ASSERT_EQ(covers[0], covers[1]) << scene;
        ASSERT_EQ(shown[0], shown[1]) << scene;
        ASSERT_TRUE(EqualRect(&dirty[0], &dirty[1])) << scene;
        ASSERT_NE(draws[0], draw0) << scene; // the stamps painted
    }
}
