// Tool-bar records: placement, strict hit testing, press and release, labels and the grey
// replacement in bitmaps.
#include "base/app.h"
#include "shell/toolbar.h"
#include "testsupport.h"
#include <vector>

namespace {
std::vector<int> g_commands;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND)
        g_commands.push_back(LOWORD(wParam));
    return DefWindowProcA(window, message, wParam, lParam);
}

class ToolBarTest : public HostTest {
protected:
    void SetUp() override
    {
        HostTest::SetUp();
        WNDCLASSA c = {};
        c.lpfnWndProc = RecordingProc;
        c.hInstance = g_instance;
        c.lpszClassName = "ToolBarTestMain";
        RegisterClassA(&c);
        HMENU bar = CreateMenu(), edit = CreatePopupMenu();
        AppendMenuA(edit, MF_STRING, 32034, "&Undo\tCtrl+Z");
        AppendMenuA(bar, MF_POPUP, (UINT_PTR)edit, "&Edit");
        g_mainWindow = CreateWindowA("ToolBarTestMain", "main", WS_OVERLAPPEDWINDOW, 0, 0, 500, 200, NULL, bar,
                                     g_instance, NULL);
        g_commands.clear();
        LoadToolBarBitmaps();
        CreateToolBarButtons();
    }
    void TearDown() override
    {
        FreeToolButtons(false);
        DestroyWindow(g_mainWindow);
        g_mainWindow = NULL;
        HostTest::TearDown();
    }
};
} // namespace

TEST_F(ToolBarTest, SixteenCommandButtonsInARow)
{
    static const int ids[16] = {32016, 32017, 32064, 32027, 32057, 32056, 32077, 32015,
                                32034, 32035, 32074, 32075, 32031, 32045, 32062, 32086};
    int i = 0;
    for (ToolButton *b = g_firstButton; b; b = b->next, i++) {
        ASSERT_LT(i, 16);
        EXPECT_EQ(b->id, ids[i]);
        EXPECT_EQ(b->kind, kButtonCommand);
        EXPECT_EQ(b->left, 23 * i);
        EXPECT_EQ(b->right, 23 * i + 22);
        EXPECT_EQ(b->top, 5);
        EXPECT_EQ(b->bottom, 27);
        EXPECT_EQ(b->visible, 1);
        EXPECT_EQ(b->pressed, 0);
        EXPECT_TRUE(b->bitmap) << "button " << i;
    }
    EXPECT_EQ(i, 16);
    EXPECT_EQ(g_lastCommandButton, 15);
    EXPECT_EQ(FindToolButton(kButtonCommand, 32045)->left, 299);
    EXPECT_EQ(FindToolButton(kButtonDraw, 32045), nullptr);
}

TEST_F(ToolBarTest, HitTestIsStrictOnAllSides)
{
    struct {
        int x, y, id;
    } cases[] = {{0, 10, 0},      {1, 10, 32016},  {21, 10, 32016}, {22, 10, 0},     {23, 10, 0},
                 {24, 10, 32017}, {10, 5, 0},      {10, 6, 32016},  {10, 26, 32016}, {10, 27, 0},
                 {346, 20, 32086}, {367, 20, 0},   {400, 20, 0}};
    for (auto &c : cases) {
        ToolButton *b = FindToolButtonAt(c.x, c.y);
        EXPECT_EQ(b ? b->id : 0, c.id) << c.x << "," << c.y;
    }
    FindToolButton(kButtonCommand, 32017)->visible = 0;
    EXPECT_EQ(FindToolButtonAt(30, 10), nullptr);
}

TEST_F(ToolBarTest, CommandRunsOnlyWhenReleasedOverTheSameButton)
{
    ToolButton *undo = FindToolButton(kButtonCommand, 32034);
    ToolBarButtonDown(190, 10);
    EXPECT_EQ(undo->pressed, 1);
    ToolBarMouseMove(300, 10);
    EXPECT_EQ(undo->pressed, 0);
    ToolBarButtonUp(300, 10);
    EXPECT_TRUE(g_commands.empty());
    EXPECT_EQ(undo->pressed, 0);

    ToolBarButtonDown(190, 10);
    ToolBarMouseMove(300, 10);
    ToolBarMouseMove(191, 11);
    EXPECT_EQ(undo->pressed, 1);
    ToolBarButtonUp(191, 11);
    EXPECT_EQ(g_commands, std::vector<int>{32034});
    EXPECT_EQ(undo->pressed, 0);

    // Check mode's button keeps the state the command is about to give it.
    ToolBarButtonDown(350, 10);
    ToolBarButtonUp(350, 10);
    EXPECT_EQ(g_commands.back(), 32086);
    EXPECT_EQ(FindToolButton(kButtonCommand, 32086)->pressed, 1);

    SetToolButtonPressed(32034, 1);
    EXPECT_EQ(undo->pressed, 1);
}

TEST_F(ToolBarTest, LabelsComeFromTheMainMenu)
{
    char label[kTextLabelBytes];
    GetCommandMenuLabel(32034, label, sizeof label);
    EXPECT_STREQ(label, "&Undo\tCtrl+Z");
    GetCommandMenuLabel(32035, label, sizeof label);
    EXPECT_STREQ(label, "");

    NMTTDISPINFOA info = {};
    info.hdr.idFrom = 32034;
    GetToolTipText(&info);
    EXPECT_STREQ(info.lpszText, "&Undo\tCtrl+Z");
    EXPECT_EQ(info.lpszText, info.szText);
    info.hdr.idFrom = 32035;
    GetToolTipText(&info);
    EXPECT_STREQ(info.lpszText, "");
}

TEST_F(ToolBarTest, ExactLightGreyTakesTheMenuColour)
{
    EXPECT_EQ(QzsSetBackColorInBitmap(NULL), 0);
    HDC screen = GetDC(NULL);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 4, 1);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, bitmap);
    const COLORREF in[4] = {RGB(192, 192, 192), RGB(192, 192, 193), RGB(191, 192, 192), RGB(0, 0, 0)};
    for (int x = 0; x < 4; x++)
        SetPixel(memory, x, 0, in[x]);
    SelectObject(memory, old);
    EXPECT_EQ(QzsSetBackColorInBitmap(bitmap), 1);
    old = SelectObject(memory, bitmap);
    EXPECT_EQ(GetPixel(memory, 0, 0), GetSysColor(COLOR_MENU));
    for (int x = 1; x < 4; x++)
        EXPECT_EQ(GetPixel(memory, x, 0), in[x]) << x;
    SelectObject(memory, old);
    DeleteObject(bitmap);

    // Rows stay in place: only the grey pixel of the lower row, an odd width's last, changes.
    bitmap = CreateCompatibleBitmap(screen, 3, 2);
    old = SelectObject(memory, bitmap);
    for (int y = 0; y < 2; y++)
        for (int x = 0; x < 3; x++)
            SetPixel(memory, x, y, x == 2 && y == 1 ? RGB(192, 192, 192) : RGB(10 * x, 20 * y, 30));
    SelectObject(memory, old);
    EXPECT_EQ(QzsSetBackColorInBitmap(bitmap), 1);
    old = SelectObject(memory, bitmap);
    for (int y = 0; y < 2; y++)
        for (int x = 0; x < 3; x++)
            EXPECT_EQ(GetPixel(memory, x, y), x == 2 && y == 1 ? GetSysColor(COLOR_MENU) : RGB(10 * x, 20 * y, 30))
                << x << "," << y;
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(NULL, screen);
    DeleteObject(bitmap);
}
