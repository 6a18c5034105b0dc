// Window procedures: the image window's messages, activation, status pop-ups, cursors, the main
// window's placement and timer, and the repaint requests.
#include "testsupport.h"
#include "image/colors.h"
#include "view/display.h"
#include "image/group.h"
#include "image/imagelist.h"
#include "view/writers.h"
#include "draw/drawmouse.h"
#include "base/app.h"
#include "base/cursors.h"
#include "base/settings.h"
#include "shell/startup.h"
#include "shell/keymap.h"
#include "base/sysinfo.h"
#include "view/status.h"
#include "view/winlist.h"
#include "shell/winproc.h"
#include <algorithm>
#include <stdlib.h>
#include <string.h>
#include <vector>

namespace {

class WindowProcTest : public HostTest {
protected:
    void SetUp() override
    {
        HostTest::SetUp();
        ASSERT_EQ(RegisterImageWindowClass(), 1);
        ASSERT_EQ(RegisterStatusWindowClass(), 1);
        InitDisplayWriters(32);
        g_statusWindowsOn = 0;
        ResetMainTimerState();
    }
    ImageGroup *NewGroup(int w, int h)
    {
        CDIB *image = nullptr;
        QzsCreateNewImage(&image, w, h, 32);
        AddImageGroup(image);
        return g_lastGroup;
    }
    void Show(ImageWindow *w, ImageGroup *g)
    {
        w->group = g;
        w->layerImage = g->currentImage;
        ASSERT_EQ(BuildWindowDisplay(w, g, false), 1);
        LayoutImageWindow(w);
    }
};

TEST_F(WindowProcTest, DraggedWindowsSnapToEightPixels)
{
    ImageWindow *w = CreateImageWindow(0, 0, 200, 150);
    struct Case {
        int x, want;
    } cases[] = {{13, 8}, {-3, -8}, {16, 16}, {7, 0}};
    for (const Case &c : cases) {
        SetWindowPos(w->window, NULL, c.x, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        RECT r;
        GetWindowRect(w->window, &r);
        EXPECT_EQ(r.left, c.want) << c.x;
    }
}

TEST_F(WindowProcTest, CloseBox)
{
    // A window of the class without a record (the hidden owner) gets the default answer.
    HWND owner = CreateWindowExA(0, kClassImageWindow, "", WS_OVERLAPPED, 0, 0, 0, 0, NULL, NULL, g_instance, NULL);
    SendMessageA(owner, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(owner));
    // An image window never closes itself by default; the commands decide.
    ImageWindow *w = CreateImageWindow(0, 0, 200, 150);
    EXPECT_EQ(SendMessageA(w->window, WM_CLOSE, 0, 0), 0);
    EXPECT_TRUE(IsWindow(w->window));
    struct Case {
        int bind, button, mode;
    } cases[] = {{1, 1, 0}, {1, 0, 0}, {0, 1, 1}, {0, 0, 0}};
    for (const Case &c : cases) {
        g_cfg.BindImageToOneWindow = c.bind;
        g_cfg.CloseButtonAsCloseImage = c.button;
        EXPECT_EQ(EffectiveCloseButtonMode(), c.mode) << c.bind << c.button;
    }
}

TEST_F(WindowProcTest, AWindowClosedByItsOwnCommandIsNotTouchedAfterwards)
{
    ImageGroup *g = NewGroup(16, 16);
    g->base->modified = 0;
    ImageWindow *a = CreateImageWindow(0, 0, 200, 150), *b = CreateImageWindow(0, 0, 200, 150);
    Show(a, g);
    Show(b, g);
    MakeWindowCurrent(a);
    HWND handle = a->window;
    // Closing every image closes the windows left without one: this one among them.
    EXPECT_EQ(SendMessageA(handle, WM_COMMAND, 32076, 0), 0);
    EXPECT_EQ(FindImageWindow(handle), nullptr);
    EXPECT_FALSE(IsWindow(handle));
    EXPECT_EQ(g_firstWindow, b);
    EXPECT_TRUE(g_noWindowState);
    EXPECT_NE(g_currentWindow, nullptr);
    EXPECT_EQ(g_currentWindow, b);
}

TEST_F(WindowProcTest, RestoreGuardSwallowsOneButtonRelease)
{
    ImageWindow *w = CreateImageWindow(0, 0, 200, 150);
    SendMessageA(w->window, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_TRUE(IsRestoreGuardSet());
    SendMessageA(w->window, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_FALSE(IsRestoreGuardSet());
    SendMessageA(w->window, WM_SYSCOMMAND, SC_RESTORE, 0);
    SendMessageA(w->window, WM_LBUTTONDOWN, 0, MAKELPARAM(5, 5));
    EXPECT_FALSE(IsRestoreGuardSet()) << "a press ends the guard and is handled";
}

TEST_F(WindowProcTest, ActivationMakesCurrentAndRecomposesStaleDisplays)
{
    ImageGroup *g = NewGroup(20, 10);
    ImageWindow *a = CreateImageWindow(0, 0, 200, 150), *b = CreateImageWindow(0, 0, 200, 150);
    Show(a, g);
    Show(b, g);
    MakeWindowCurrent(a);
    ((uint32_t *)g->base->pixels)[0] = 0xFF123456u;
    b->recompose = 1;
    SendMessageA(b->window, WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_EQ(g_currentWindow, b);
    EXPECT_EQ(g_currentGroup, g);
    EXPECT_EQ(b->recompose, 0);
    uint32_t *display = (uint32_t *)b->display.pixels;
    EXPECT_EQ(display[(b->displayHeight - b->marginY - 1) * b->displayWidth + b->marginX], 0xFF123456u);
    // Deactivation changes nothing.
    SendMessageA(b->window, WM_ACTIVATE, WA_INACTIVE, (LPARAM)a->window);
    EXPECT_EQ(g_currentWindow, b);
}

// The status text in the 12-pixel status font: what the pop-up shows is what that font draws,
// read back from the screen and compared with the same text drawn here.
TEST_F(WindowProcTest, StatusTextUsesTheStatusFont)
{
    g_statusWindowsOn = 1;
    ImageWindow *w = CreateImageWindow(100, 50, 300, 200);
    ASSERT_NE(w->statusWindow, nullptr);
    ShowWindow(w->statusWindow, SW_SHOWNOACTIVATE);
    UpdateWindow(w->statusWindow);
    const char text[] = "[ 10  20]-[  5  30]( -5  10)";
    ASSERT_EQ(QzsStatMessage(w, text), 1);
    RECT c;
    GetClientRect(w->statusWindow, &c);
    auto capture = [&](HDC from, std::vector<uint32_t> &out) {
        BITMAPINFO bi = {};
        bi.bmiHeader = {sizeof(BITMAPINFOHEADER), c.right, -c.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void *bits = nullptr;
        HDC mem = CreateCompatibleDC(nullptr);
        HBITMAP bmp = CreateDIBSection(mem, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = SelectObject(mem, bmp);
        if (from)
            BitBlt(mem, 0, 0, c.right, c.bottom, from, 0, 0, SRCCOPY);
        else {
            // The reference: black on light grey in a font of 12 pixels made here.
            HBRUSH grey = CreateSolidBrush(0xC0C0C0);
            FillRect(mem, &c, grey);
            DeleteObject(grey);
            HFONT font = CreateFontA(12, 0, 0, 0, FW_DONTCARE, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, NULL);
            HGDIOBJ oldFont = SelectObject(mem, font);
            SetTextColor(mem, 0);
            SetBkColor(mem, 0xC0C0C0);
            TextOutA(mem, 2, 2, text, (int)strlen(text));
            SelectObject(mem, oldFont);
            DeleteObject(font);
        }
        GdiFlush();
        out.assign((uint32_t *)bits, (uint32_t *)bits + c.right * c.bottom);
        SelectObject(mem, old);
        DeleteObject(bmp);
        DeleteDC(mem);
    };
    std::vector<uint32_t> shown, reference;
    HDC dc = GetDC(w->statusWindow);
    capture(dc, shown);
    ReleaseDC(w->statusWindow, dc);
    capture(nullptr, reference);
    // The text's own pixels: inside the sunken edge, up to where the reference text ends.
    int right = 0;
    for (int y = 3; y < c.bottom - 3; y++)
        for (int x = 3; x < c.right - 3; x++)
            if ((reference[y * c.right + x] & 0xFFFFFF) == 0)
                right = std::max(right, x);
    ASSERT_GT(right, 40);
    int differ = 0;
    for (int y = 3; y < c.bottom - 3; y++)
        for (int x = 3; x <= right; x++)
            differ += (shown[y * c.right + x] & 0xFFFFFF) != (reference[y * c.right + x] & 0xFFFFFF);
    EXPECT_EQ(differ, 0);
}

TEST_F(WindowProcTest, SizeChangesLayTheWindowOut)
{
    ImageGroup *g = NewGroup(500, 400);
    ImageWindow *w = CreateImageWindow(0, 0, 300, 200);
    Show(w, g);
    QzsSetWindowZoom(w, 2, 0, 0, 0);
    QzsAdjustClientRegion(w->window, 151, 99);
    EXPECT_EQ(w->visibleColumns, 76);
    EXPECT_EQ(w->visibleRows, 50);
    EXPECT_EQ(w->shownWidth, 152);
}

TEST_F(WindowProcTest, StatusPopups)
{
    char text[100];
    FormatStat2Points(text, sizeof text, 10, 20, 5, 30);
    EXPECT_STREQ(text, "[ 10  20]-[  5  30]( -5  10)");
    ImageWindow *bare = CreateImageWindow(0, 0, 200, 150);
    EXPECT_EQ(QzsStatMessage(bare, "x"), 0);
    EXPECT_EQ(QzsStatMessage(nullptr, "x"), 0);
    EXPECT_EQ(QzsDispStatXY(bare, 1, 2), 0);

    g_statusWindowsOn = 1;
    ImageWindow *w = CreateImageWindow(100, 50, 300, 200);
    ASSERT_NE(w->statusWindow, nullptr);
    RECT p, s;
    GetWindowRect(w->window, &p);
    GetWindowRect(w->statusWindow, &s);
    EXPECT_EQ(s.left, p.right - 240);
    EXPECT_EQ(s.top, p.bottom);
    EXPECT_EQ(s.right - s.left, 180);
    EXPECT_EQ(QzsDispStat2Points(w, 10, 20, 5, 30), 1);
    // Dragging the pop-up keeps its new place relative to the window.
    SetWindowPos(w->statusWindow, NULL, p.right - 100, p.bottom - 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_EQ(w->statusOffsetX, 100);
    EXPECT_EQ(w->statusOffsetY, 10);
    SetWindowPos(w->window, NULL, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    GetWindowRect(w->window, &p);
    GetWindowRect(w->statusWindow, &s);
    EXPECT_EQ(s.left, p.right - 100);
    EXPECT_EQ(s.top, p.bottom - 10);
}

TEST_F(WindowProcTest, Cursors)
{
    LoadProgramCursors();
    // The system's cursors come with the program's own.
    const LPCSTR system[kSystemCursors] = {IDC_ARROW,  IDC_CROSS,    IDC_IBEAM,  IDC_SIZEALL, IDC_SIZENESW,
                                           IDC_SIZENS, IDC_SIZENWSE, IDC_SIZEWE, IDC_UPARROW, IDC_WAIT};
    for (int i = 0; i < kSystemCursors; i++) {
        EXPECT_NE(GetSystemCursor(i), nullptr) << i;
        EXPECT_EQ(GetSystemCursor(i), LoadCursorA(nullptr, system[i])) << i;
    }
    EXPECT_EQ(GetSystemCursor(kSystemCursors), nullptr);
    HCURSOR expected[5];
    for (int i = 0; i < 5; i++) {
        expected[i] = LoadCursorA(g_instance, MAKEINTRESOURCEA(200 + i));
        ASSERT_NE(expected[i], nullptr);
    }
    EXPECT_EQ(QzsGetCursor(4), expected[3]);
    for (int kind : {0, 1, 2, 3, 5, -1})
        EXPECT_EQ(QzsGetCursor(kind), nullptr) << kind;
    ImageWindow *w = CreateImageWindow(0, 0, 100, 100);
    MakeWindowCurrent(w);
    EXPECT_EQ(UpdateCursor(w), expected[0]);
    g_colorTable[0].function = 1;
    EXPECT_EQ(UpdateCursor(w), expected[2]);
    g_colorTable[0].regionBits = 2;
    EXPECT_EQ(UpdateCursor(w), expected[1]);
    w->lock = 1;
    EXPECT_EQ(UpdateCursor(w), expected[4]);
    EXPECT_EQ(g_currentCursor, expected[4]);
}

TEST_F(WindowProcTest, MainWindowPlacementByTaskBar)
{
    const int W = 1280;
    struct Case {
        RECT bar;
        RECT want;
    } cases[] = {
        {{0, 0, 1280, 30}, {0, 30, 1280, 83}},        // along the top
        {{0, 994, 1280, 1024}, {0, 0, 1280, 53}},     // along the bottom
        {{0, 0, 60, 1024}, {60, 0, 1280, 53}},        // along the left
        {{1220, 0, 1280, 1024}, {0, 0, 1220, 53}},    // along the right
    };
    for (const Case &c : cases) {
        RECT r;
        GetMainWindowPlacement(&c.bar, W, &r);
        EXPECT_EQ(r.left, c.want.left) << c.bar.left << "," << c.bar.top;
        EXPECT_EQ(r.top, c.want.top) << c.bar.left << "," << c.bar.top;
        EXPECT_EQ(r.right, c.want.right) << c.bar.left << "," << c.bar.top;
        EXPECT_EQ(r.bottom, c.want.bottom) << c.bar.left << "," << c.bar.top;
    }
    RECT none;
    GetMainWindowPlacement(nullptr, W, &none);
    EXPECT_EQ(none.left, 0);
    EXPECT_EQ(none.right, W);
}

TEST_F(WindowProcTest, TimerAdvancesTheBorderEverySixthTick)
{
    ImageWindow *w = CreateImageWindow(0, 0, 100, 100);
    MakeWindowCurrent(w);
    w->activeRegion = 1;
    w->regionDisplayMode = 4;
    g_cfg.RegAnimationVelocity = 5;
    SetBorderAnimation(true);
    for (int i = 0; i < 12; i++)
        OnMainTimerTick();
    EXPECT_EQ(GetBorderAnimationSteps(), 2);
    w->regionDisplayMode = 3; // only the animated contour moves
    for (int i = 0; i < 12; i++)
        OnMainTimerTick();
    EXPECT_EQ(GetBorderAnimationSteps(), 2);
}

TEST_F(WindowProcTest, HeldRedrawsPaintOnceAndRefreshRectanglesGrow)
{
    ImageGroup *g = NewGroup(30, 20);
    ImageWindow *w = CreateImageWindow(0, 0, 200, 150);
    Show(w, g);
    RedrawImageWindow(w); // settles the scroll bars, whose changes lay the window out again
    SetRedrawHold(1);
    int before = g_displayPaintCount;
    for (int i = 0; i < 3; i++)
        RedrawImageWindow(w);
    EXPECT_EQ(g_displayPaintCount, before);
    EXPECT_EQ(w->redrawPending, 1);
    FlushHeldRedraws();
    EXPECT_EQ(g_displayPaintCount, before + 1);
    EXPECT_EQ(w->redrawPending, 0);

    ClearPendingRefresh();
    RECT r;
    EXPECT_EQ(RefreshWindowRect(w, 5, 6, 2, 3, 0), 0);
    ASSERT_TRUE(GetPendingRefresh(&r));
    EXPECT_EQ(r.left, 2);
    EXPECT_EQ(r.bottom, 6);
    RefreshWindowRect(w, -4, 10, 1, 1, 0);
    GetPendingRefresh(&r);
    EXPECT_EQ(r.left, 0); // grown, then clamped at 0
    EXPECT_EQ(r.top, 1);
    EXPECT_EQ(r.right, 5);
    EXPECT_EQ(r.bottom, 10);
    EXPECT_EQ(RefreshWindowRect(w, 0, 0, 1, 1, 1), -1);
    EXPECT_FALSE(GetPendingRefresh(&r));
}

// Clearing the border rectangle forgets what XOR outlines left to refresh: the next deferred
// refresh starts a rectangle of its own instead of growing the old one.
TEST_F(WindowProcTest, ClearingTheBorderRectangleForgetsDeferredRefreshes)
{
    ImageGroup *g = NewGroup(30, 20);
    ImageWindow *w = CreateImageWindow(0, 0, 200, 150);
    Show(w, g);
    ClearPendingRefresh();
    QzsEorLine(w, 2, 3, 9, 7, 1, 0);
    RECT r;
    ASSERT_TRUE(GetPendingRefresh(&r));
    EXPECT_EQ(ClearBorderDirtyRect(), -1);
    EXPECT_FALSE(GetPendingRefresh(&r));
    EXPECT_EQ(r.left, -1);
    EXPECT_EQ(r.top, -1);
    EXPECT_EQ(r.right, -1);
    EXPECT_EQ(r.bottom, -1);
    QzsEorLine(w, 20, 15, 21, 16, 1, 0);
    ASSERT_TRUE(GetPendingRefresh(&r));
    EXPECT_EQ(r.left, 20);
    EXPECT_EQ(r.top, 15);
    EXPECT_EQ(r.right, 21);
    EXPECT_EQ(r.bottom, 16);
    QzsEorLine(w, 20, 15, 21, 16, 0, 0);
    QzsEorLine(w, 2, 3, 9, 7, 0, 1);
}

// The arrow keys of the key map, pressed in an image window and run through the program's message
// loop, scroll the view only as far as the view origin clamp allows: a picture that fits the
// window on an axis stays centred on it, a larger one scrolls up to its own edges and no further.
TEST_F(WindowProcTest, ArrowKeysScrollOnlyOverThePicture)
{
    snprintf(g_cfg.Stat_dir, sizeof g_cfg.Stat_dir, "%s", dir.path().c_str());
    WriteFileText(dir.file("Ovrin.key"),
                  "LEFTARROW ScrollLeft\nRIGHTARROW ScrollRight\nUPARROW ScrollUp\nDOWNARROW ScrollDown\n");
    g_accelerators = LoadKeyMapAndAccelerators();
    ASSERT_NE(g_accelerators, nullptr);
    ImageGroup *g = NewGroup(40, 30);
    ImageWindow *w = CreateImageWindow(0, 0, 260, 200);
    ShowWindow(w->window, SW_SHOWNOACTIVATE);
    Show(w, g);
    MakeWindowCurrent(w);
    auto press = [&](WPARAM key) {
        PostMessageA(w->window, WM_KEYDOWN, key, 1);
        PostMessageA(w->window, WM_KEYUP, key, 0xC0000001);
        PostQuitMessage(0);
        RunMessageLoop();
    };
    // Where the origin may lie on an axis: picture at o, c long, v shown.
    auto lowest = [](int o, int c, int v) { return c >= v ? o : o - (v - c) / 2; };
    auto highest = [](int o, int c, int v) { return c >= v ? o + c - v : o - (v - c) / 2; };
    struct Case {
        int zoom, clientW, clientH;
    } cases[] = {{2, 80, 60}, {1, 200, 150}, {4, 80, 60}, {8, 80, 200}};
    for (const Case &c : cases) {
        QzsSetWindowZoom(w, c.zoom, 0, 0, 0);
        QzsAdjustClientRegion(w->window, c.clientW, c.clientH);
        LayoutImageWindow(w);
        ClampViewOrigin(w);
        int &x = w->display.viewX, &y = w->display.viewY;
        int o = w->contentLeft, cw = w->contentWidth, ch = w->contentHeight;
        SCOPED_TRACE(testing::Message() << "zoom " << c.zoom << ", " << w->visibleColumns << " x " << w->visibleRows
                                        << " shown");
        for (int i = 0; i < 8; i++) {
            press(VK_UP);
            press(VK_LEFT);
        }
        EXPECT_EQ(x, lowest(o, cw, w->visibleColumns));
        EXPECT_EQ(y, lowest(w->contentTop, ch, w->visibleRows));
        press(VK_RIGHT);
        press(VK_DOWN);
        EXPECT_EQ(x, std::min(lowest(o, cw, w->visibleColumns) + 5, highest(o, cw, w->visibleColumns)));
        EXPECT_EQ(y, std::min(lowest(w->contentTop, ch, w->visibleRows) + 10, highest(w->contentTop, ch, w->visibleRows)));
        for (int i = 0; i < 8; i++) {
            press(VK_DOWN);
            press(VK_RIGHT);
        }
        EXPECT_EQ(x, highest(o, cw, w->visibleColumns));
        EXPECT_EQ(y, highest(w->contentTop, ch, w->visibleRows));
    }
    DestroyAcceleratorTable(g_accelerators);
    g_accelerators = NULL;
    ClearKeyTables();
}

TEST_F(WindowProcTest, GridLinesFallOnTheLastColumnOfTheirPixel)
{
    BITMAPINFO bi = {};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), 64, -64, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void *bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bmp);
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    auto at = [&](int x, int y) { return ((uint32_t *)bits)[y * 64 + x] & 0xFFFFFF; };
    struct Case {
        int zoom, cells;
        std::vector<int> lines;
        int row; // a client row no horizontal line crosses
    } cases[] = {
        {2, 31, {1, 9, 17, 25, 33, 41, 49, 57}, 62},
        {3, 20, {2, 10, 18, 26, 34, 42, 50, 58}, 62}, // from (0 / 2) 2 3 + 2, every 8 up to (20 / 2) 2 3 + 2
        {4, 15, {3, 11, 19, 27, 35, 43, 51, 59}, 62},
        {5, 12, {4, 12, 20, 28, 36, 44, 52, 60}, 62}, // step 8 / 5 = 1 image pixel: up to 12 5 + 4
        {6, 10, {5, 13, 21, 29, 37, 45, 53, 61}, 62},
        {7, 9, {6, 14, 22, 30, 38, 46, 54, 62}, 60},
        {16, 3, {15, 31, 47, 63}, 62},
    };
    for (const Case &c : cases) {
        memset(bits, 0xFF, 64 * 64 * 4);
        DrawGrid(dc, 0, 0, c.cells, c.cells, c.zoom, pen);
        GdiFlush();
        for (int x = 0; x < 64; x++) {
            bool line = std::find(c.lines.begin(), c.lines.end(), x) != c.lines.end();
            EXPECT_EQ(at(x, c.row) == 0, line) << "zoom " << c.zoom << " column " << x;
        }
    }
    SelectObject(dc, old);
    DeleteObject(pen);
    DeleteObject(bmp);
    DeleteDC(dc);
}

} // namespace

namespace {

// A shown window painted on the screen: the display centred at zoom 1 with the margins' grey
// beyond it, each image pixel as 2 x 2 at zoom 2, and at reductions each client pixel one pixel of
// its block of the display, the rest grey: nothing black, nothing of the picture outside its frame.
// Read back from the window's device context.
TEST_F(WindowProcTest, RepaintShowsTheDisplayOnScreen)
{
    ImageGroup *g = NewGroup(40, 30);
    uint32_t *p = (uint32_t *)g->base->pixels;
    for (int i = 0; i < 40 * 30; i++)
        p[i] = 0xFF000000u | (uint32_t)(i % 40 * 6) << 16 | (uint32_t)(i / 40 * 8) << 8 | 0x40;
    ImageWindow *w = CreateImageWindow(0, 0, 260, 200);
    ShowWindow(w->window, SW_SHOWNOACTIVATE);
    QzsAdjustClientRegion(w->window, 200, 150);
    Show(w, g);
    MakeWindowCurrent(w);
    auto readBack = [&](std::vector<uint32_t> &out) {
        RECT c;
        GetClientRect(w->window, &c);
        BITMAPINFO bi = {};
        bi.bmiHeader = {sizeof(BITMAPINFOHEADER), c.right, -c.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void *bits = nullptr;
        HDC mem = CreateCompatibleDC(nullptr);
        HBITMAP bmp = CreateDIBSection(mem, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = SelectObject(mem, bmp);
        HDC dc = GetDC(w->window);
        BitBlt(mem, 0, 0, c.right, c.bottom, dc, 0, 0, SRCCOPY);
        ReleaseDC(w->window, dc);
        GdiFlush();
        out.assign((uint32_t *)bits, (uint32_t *)bits + c.right * c.bottom);
        SelectObject(mem, old);
        DeleteObject(bmp);
        DeleteDC(mem);
        return (int)c.right;
    };
    const uint32_t grey = 0x808080;
    auto displayAt = [&](int dx, int dy) -> uint32_t {
        if (dx < 33 || dy < 33 || dx >= 73 || dy >= 63)
            return grey;
        return p[(dy - 33) * 40 + dx - 33] & 0xFFFFFF;
    };
    auto floorTo = [](int c, int n) { return c >= 0 ? c / n * n : -((-c + n - 1) / n) * n; };
    std::vector<uint32_t> screen;
    for (int zoom : {1, 2, -2, -4}) {
        QzsSetWindowZoom(w, zoom, 0, 0, 0);
        ClampViewOrigin(w);
        RedrawImageWindow(w);
        int cw = readBack(screen), ch = (int)screen.size() / cw;
        ASSERT_GT(cw, 150);
        int vx = w->display.viewX, vy = w->display.viewY, W = w->displayWidth, H = w->displayHeight;
        for (int cy = 0; cy < ch; cy += 3)
            for (int cx = 0; cx < cw; cx += 3) {
                uint32_t got = screen[cy * cw + cx] & 0xFFFFFF;
                if (zoom >= 1) {
                    int dx = vx + cx / zoom, dy = vy + cy / zoom;
                    uint32_t want = dx < 0 || dy < 0 || dx >= W || dy >= H ? grey : displayAt(dx, dy);
                    ASSERT_EQ(got, want) << "zoom " << zoom << " client " << cx << "," << cy;
                    continue;
                }
                int n = -zoom, bx = floorTo(vx, n) + cx * n, by = floorTo(vy, n) + cy * n;
                bool whole = bx >= 0 && by >= 0 && bx + n <= W && by + n <= H;
                bool found = !whole && got == grey;
                for (int y = by; y < by + n && !found; y++)
                    for (int x = bx; x < bx + n && !found; x++)
                        found = x >= 0 && y >= 0 && x < W && y < H && got == displayAt(x, y);
                ASSERT_TRUE(found) << "zoom " << zoom << " client " << cx << "," << cy << " shows " << std::hex
                                   << got;
            }
    }
}

} // namespace

namespace {

TEST_F(WindowProcTest, AFinishedFigureIsCommittedAfterAnyMessage)
{
    ImageWindow *w = CreateImageWindow(0, 0, 100, 100);
    SetDrawState(4);
    SendMessageA(w->window, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
    EXPECT_EQ(GetDrawState(), 0);
}

} // namespace

namespace {

TEST_F(WindowProcTest, MemoryDisplay)
{
    CDIB *image = nullptr;
    QzsCreateNewImage(&image, 4, 4, 32);
    ASSERT_NE(image, nullptr);
    MEMORYSTATUS ms = {};
    ms.dwAvailPageFile = 3 * 1048576 + 524288;
    ms.dwTotalPageFile = 1024 * 1048576;
    SetMemoryStatusOverride(&ms);
    g_currentImage = nullptr;
    char text[128];
    FormatMemoryStatus(text, sizeof text);
    EXPECT_STREQ(text, "Mem:3.50(Mb)/1024.00(Mb)");
    g_currentImage = image;
    image->undoBytes = 4096;
    FormatMemoryStatus(text, sizeof text);
    EXPECT_STREQ(text, "Mem:3.50(Mb)/1024.00(Mb):4096");
#ifdef _WIN64
    image->undoBytes = (INT_PTR)3 << 30; // past what an int holds
    FormatMemoryStatus(text, sizeof text);
    EXPECT_STREQ(text, "Mem:3.50(Mb)/1024.00(Mb):3221225472");
#endif
}

} // namespace
