// The layer manager module driven through its window: rows, selection, visibility, moving,
// opacity, blend mode, its command buttons and scrolling, with the group checked after each action
// and after undo.
#include "image_fixture.h"
#include "plugins/subwin.h"
#include "shell/commands.h"
#include "image/pen.h"
#include "view/paint.h"

namespace {

const uint32_t kBase = 0xFF102030u, kFirst = 0xFF405060u, kSecond = 0xFF708090u;
// The controls of the window.
enum { kOpacityMinus = 3000, kOpacityPlus = 3010, kBlendCombo = 2500, kRowScroll = 2000 };

class LayerManagerTest : public LoaderTest {
protected:
    HWND manager = nullptr;
    ImageWindow *w = nullptr;
    ImageGroup *group = nullptr;

    void SetUp() override
    {
        LoaderTest::SetUp();
        Put(g_cfg.Layer_dir, "b_ok");
        LoadLayerBlendPlugins();
        ASSERT_EQ(1, RegisterSubParentWindowClass());
        g_subParent = CreateWindowExA(0, kClassSubParent, "", WS_OVERLAPPED, 0, 0, 0, 0, NULL, NULL, NULL, NULL);
        PutDelivered(g_cfg.Subwin_dir, "Subwin", "swzinc");
        ASSERT_EQ(1, LoadSubWindowPlugins());
        ASSERT_STREQ("LayerManager", g_subWindows[0].name);
        CreateSubWindows();
        ShowSubWindows();
        manager = g_subWindows[0].window;
        ASSERT_NE(nullptr, manager);
    }
    void TearDown() override
    {
        LoaderTest::TearDown();
        DestroyWindow(g_subParent);
        g_subParent = nullptr;
    }
    // A group of the base and the layers, shown in the current window, as the host tells it.
    void Show(std::initializer_list<uint32_t> layers)
    {
        w = ShowNewGroup(16, 12, kBase, layers);
        ASSERT_NE(nullptr, w);
        group = w->group;
        BroadcastImageChanged(group, group->currentLayer, group->currentImage, 1);
    }
    LayerRecord *Layer(int k) // 1-based from the bottom
    {
        LayerRecord *l = group->firstLayer;
        for (int i = 1; l && i < k; i++)
            l = l->next;
        return l;
    }
    void Click(int x, int y)
    {
        SendMessageA(manager, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        SendMessageA(manager, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    }
    static int RowY(int row) { return 110 + 20 * row + 10; }
    int Entries()
    {
        int n = 1;
        for (LayerRecord *l = group->firstLayer; l; l = l->next)
            n++;
        return n;
    }
    // The colour a pixel of the group has in the window's display, as red, green, blue.
    uint32_t DisplayPixel(int x, int y)
    {
        EXPECT_EQ(32, w->display.header->bmiHeader.biBitCount);
        int dx = x + w->marginX, dy = y + w->marginY;
        return ((uint32_t *)w->display.pixels)[(w->displayHeight - dy - 1) * w->displayWidth + dx] & 0xFFFFFF;
    }
};

} // namespace

TEST_F(LayerManagerTest, RowsSelectShowHideAndMoveLayers)
{
    Show({kFirst, kSecond});
    ASSERT_EQ(Layer(2), group->currentLayer);
    // Rows from the top: layer 2, layer 1, the base.
    Click(100, RowY(1));
    EXPECT_EQ(Layer(1), group->currentLayer);
    Click(100, RowY(2));
    EXPECT_EQ(nullptr, group->currentLayer);
    EXPECT_EQ(group->base, group->currentImage);
    Click(100, RowY(0));
    EXPECT_EQ(Layer(2), group->currentLayer);

    // The visibility cell of layer 2: hidden, the window shows layer 1; shown again.
    EXPECT_EQ(kSecond & 0xFFFFFF, DisplayPixel(3, 3));
    Click(40, RowY(0));
    EXPECT_EQ(0, Layer(2)->status);
    EXPECT_EQ(Layer(2), group->currentLayer); // the cell does not select
    EXPECT_EQ(kFirst & 0xFFFFFF, DisplayPixel(3, 3));
    Click(40, RowY(0));
    EXPECT_EQ(1, Layer(2)->status);
    EXPECT_EQ(kSecond & 0xFFFFFF, DisplayPixel(3, 3));

    // Layer 1 current; the handle of the top row moves it above layer 2.
    LayerRecord *first = Layer(1), *second = Layer(2);
    Click(100, RowY(1));
    ASSERT_EQ(first, group->currentLayer);
    Click(17, 102 + 7); // handle of row 0
    EXPECT_EQ(second, group->firstLayer);
    EXPECT_EQ(first, group->firstLayer->next);
    EXPECT_EQ(kFirst & 0xFFFFFF, DisplayPixel(3, 3));
    // Now current and on top: no handle moves it (the rows of itself and of the one below).
    Click(17, 102 + 20 + 7);
    EXPECT_EQ(second, group->firstLayer);
    // The handle of the base's row moves it to the bottom.
    Click(17, 102 + 40 + 7);
    EXPECT_EQ(first, group->firstLayer);
}

TEST_F(LayerManagerTest, OpacityFromTheBarAndTheButtons)
{
    Show({kFirst});
    LayerRecord *layer = Layer(1);
    SendMessageA(manager, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(115 + 50, 55));
    EXPECT_EQ(100, layer->opacity);
    SendMessageA(manager, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(115 + 128, 55));
    EXPECT_EQ(255, layer->opacity);
    SendMessageA(manager, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(400, 55));
    EXPECT_EQ(255, layer->opacity);
    SendMessageA(manager, WM_LBUTTONUP, 0, MAKELPARAM(100, 55));
    EXPECT_EQ(0, layer->opacity);
    SendMessageA(manager, WM_MOUSEMOVE, 0, MAKELPARAM(200, 55)); // the drag has ended
    EXPECT_EQ(0, layer->opacity);

    struct Case {
        int start, button, want;
    } cases[] = {{254, kOpacityPlus, 255}, {255, kOpacityPlus, 255}, {1, kOpacityMinus, 0}, {100, kOpacityMinus, 98}};
    for (const Case &c : cases) {
        layer->opacity = c.start;
        SendMessageA(manager, WM_COMMAND, (WPARAM)c.button, 0);
        EXPECT_EQ(c.want, layer->opacity) << c.start << " " << c.button;
    }
    // Without a current layer the buttons and the bar do nothing.
    QzsSetCurrentInImageGroup(group, nullptr);
    layer->opacity = 50;
    SendMessageA(manager, WM_COMMAND, kOpacityPlus, 0);
    Click(115 + 100, 55);
    EXPECT_EQ(50, layer->opacity);
}

TEST_F(LayerManagerTest, BlendModeFromTheList)
{
    Show({kFirst});
    HWND combo = GetDlgItem(manager, kBlendCombo);
    ASSERT_EQ(2, SendMessageA(combo, CB_GETCOUNT, 0, 0)); // the normal blend and "Test Blend"
    EXPECT_TRUE(IsWindowEnabled(combo));
    SendMessageA(combo, CB_SETCURSEL, 1, 0);
    SendMessageA(manager, WM_COMMAND, MAKEWPARAM(kBlendCombo, CBN_SELCHANGE), (LPARAM)combo);
    EXPECT_EQ(1, Layer(1)->blend);
    // The base current: nothing to blend, the list goes back to its first entry and is disabled.
    Click(100, RowY(1));
    EXPECT_EQ(0, SendMessageA(combo, CB_GETCURSEL, 0, 0));
    EXPECT_FALSE(IsWindowEnabled(combo));
    Click(100, RowY(0));
    EXPECT_EQ(1, SendMessageA(combo, CB_GETCURSEL, 0, 0));
}

TEST_F(LayerManagerTest, CommandButtons)
{
    Show({kFirst});
    // New and delete layer go to the main window as its commands.
    Click(112, 20);
    ASSERT_EQ(3, Entries());
    EXPECT_EQ(Layer(2), group->currentLayer);
    Click(136, 20);
    ASSERT_EQ(2, Entries());
    EXPECT_EQ(Layer(1), group->currentLayer);
    // A press released away from the button does nothing.
    SendMessageA(manager, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(136, 20));
    SendMessageA(manager, WM_LBUTTONUP, 0, MAKELPARAM(136, 60));
    ASSERT_EQ(2, Entries());

    // Tracing paper: a white layer at half opacity on top.
    Click(216, 20);
    ASSERT_EQ(3, Entries());
    LayerRecord *paper = Layer(2);
    EXPECT_EQ(128, paper->opacity);
    EXPECT_EQ(0xFFFFFFFFu, ((uint32_t *)paper->image->pixels)[0]);

    // Export: the current layer as a new image.
    Click(100, RowY(1));
    ASSERT_EQ(Layer(1), group->currentLayer);
    CDIB *last = g_lastImage;
    Click(241, 20);
    ASSERT_NE(last, g_lastImage);
    EXPECT_EQ(0, memcmp(g_lastImage->pixels, Layer(1)->image->pixels, 16 * 12 * 4));

    // Create layer without a "CreateLayer" draw method: the box, and drawing stays free.
    CloseNextDialog(IDOK);
    Click(161, 20);
    EXPECT_EQ("MES", ClosedDialogTitle());
    EXPECT_EQ(0, QzsCheckLockDraw());
}

TEST_F(LayerManagerTest, TheThumbnailFollowsPaintingAndUndo)
{
    Show({kFirst});
    // The thumbnail of the 16 x 12 layer fills the width of its 80 x 80 square.
    auto thumbnail = [&] {
        UpdateWindow(manager);
        HDC dc = GetDC(manager);
        COLORREF c = GetPixel(dc, 10 + 40, 10 + 40);
        ReleaseDC(manager, dc);
        return (uint32_t)GetRValue(c) << 16 | (uint32_t)GetGValue(c) << 8 | GetBValue(c);
    };
    EXPECT_EQ(kFirst & 0xFFFFFF, thumbnail());
    ASSERT_EQ(1, QzsCreatePen(49));
    MakeDefaultPen();
    QzsSetColorRGB(0, 255, 0, 0);
    QzsWritePen(w, 3, 3, 1);
    CommitStroke(w);
    ASSERT_EQ(0xFFFF0000u, ((uint32_t *)Layer(1)->image->pixels)[5 * 16 + 7]);
    EXPECT_EQ(0xFF0000u, thumbnail());
    DispatchCommand(w, 32034, 0); // undo
    ASSERT_EQ(kFirst, ((uint32_t *)Layer(1)->image->pixels)[5 * 16 + 7]);
    EXPECT_EQ(kFirst & 0xFFFFFF, thumbnail());
    // The rows still follow the group.
    Click(100, RowY(1));
    EXPECT_EQ(nullptr, group->currentLayer);
}

TEST_F(LayerManagerTest, MoreThanFiveEntriesScroll)
{
    Show({kFirst, kSecond, kFirst, kSecond, kFirst, kSecond}); // seven entries
    HWND bar = GetDlgItem(manager, kRowScroll);
    // The current layer, the top one, is in view: entries 6 down to 2, the bar counting from the top.
    EXPECT_EQ(0, GetScrollPos(bar, SB_CTL));
    Click(100, RowY(4));
    EXPECT_EQ(Layer(2), group->currentLayer);
    SendMessageA(manager, WM_VSCROLL, SB_LINEDOWN, (LPARAM)bar);
    EXPECT_EQ(1, GetScrollPos(bar, SB_CTL));
    Click(100, RowY(4));
    EXPECT_EQ(Layer(1), group->currentLayer);
    SendMessageA(manager, WM_VSCROLL, SB_PAGEDOWN, (LPARAM)bar); // stops at the bottom
    Click(100, RowY(4));
    EXPECT_EQ(nullptr, group->currentLayer);
    SendMessageA(manager, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 0), (LPARAM)bar);
    EXPECT_EQ(0, GetScrollPos(bar, SB_CTL));
    Click(100, RowY(0));
    EXPECT_EQ(Layer(6), group->currentLayer);
}

// Closed and opened again from its menu command, or made anew by reloading the plug-ins, it shows
// the current group at once: its rows (the current one in dark blue) and its blend list.
TEST_F(LayerManagerTest, ShownAgainItShowsTheCurrentGroup)
{
    Show({kFirst, kSecond});
    auto at = [&](int x, int y) {
        UpdateWindow(manager);
        HDC dc = GetDC(manager);
        COLORREF c = GetPixel(dc, x, y);
        ReleaseDC(manager, dc);
        return c;
    };
    const COLORREF current = RGB(0, 0, 0x80), other = RGB(255, 255, 255);
    ASSERT_EQ(current, at(200, RowY(0)));
    SendMessageA(manager, WM_CLOSE, 0, 0);
    ASSERT_FALSE(IsWindowVisible(manager));
    DispatchCommand(w, kSubWindowMenuFirst, 0);
    ASSERT_TRUE(IsWindowVisible(manager));
    EXPECT_EQ(current, at(200, RowY(0)));
    EXPECT_EQ(other, at(200, RowY(1)));

    DispatchCommand(w, 32072, 0); // reload: the window is made again by the module loaded again
    ASSERT_NE(manager, g_subWindows[0].window);
    manager = g_subWindows[0].window;
    ASSERT_TRUE(IsWindowVisible(manager));
    EXPECT_EQ(current, at(200, RowY(0)));
    EXPECT_EQ(other, at(200, RowY(2)));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(manager, kBlendCombo)));
    Click(100, RowY(1));
    EXPECT_EQ(Layer(1), group->currentLayer);
}

// The "Unknown status" boxes shown while the watch runs: each is counted and answered as it
// appears. Only that box is looked for: another test's dialog left on this thread is not it.
namespace {
int s_unknownBoxes;
std::string s_unknownText;

void CALLBACK AnswerUnknownStatus(HWND, UINT, UINT_PTR, DWORD)
{
    HWND box = FindOwnWindow("#32770", "SUBWIN error");
    if (!box || !IsWindowVisible(box))
        return;
    s_unknownBoxes++;
    s_unknownText = MessageBoxText(box);
    SendMessageA(box, WM_COMMAND, IDOK, 0); // ends its loop before the next tick
}
} // namespace

// A current layer that its group does not list is said once ("Unknown status"), after the paint
// that finds it and not again on later paints; it is never read or handed to the host. Once the
// group is sound again, a new such state is said again.
TEST_F(LayerManagerTest, ACurrentLayerOutsideItsGroupIsReportedOnce)
{
    Show({kFirst});
    LayerRecord *listed = Layer(1);
    LayerRecord stray = *listed;
    stray.next = nullptr;
    stray.opacity = 77;
    s_unknownBoxes = 0;
    s_unknownText.clear();
    UINT_PTR watch = SetTimer(NULL, 0, 20, AnswerUnknownStatus);
    auto settle = [&] {
        for (int i = 0; i < 4; i++) {
            UpdateWindow(manager);
            MSG m;
            while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&m);
                DispatchMessageA(&m);
            }
        }
    };
    auto lose = [&] {
        group->currentLayer = &stray;
        BroadcastImageChanged(group, &stray, stray.image, 2);
        settle();
    };
    lose();
    EXPECT_EQ(1, s_unknownBoxes);
    EXPECT_EQ("Unknown status", s_unknownText);

    InvalidateRect(manager, NULL, TRUE);
    settle();
    BroadcastImageChanged(group, &stray, stray.image, 5);
    settle();
    EXPECT_EQ(1, s_unknownBoxes);
    SendMessageA(manager, WM_COMMAND, kOpacityPlus, 0);
    Click(115 + 20, 55);
    EXPECT_EQ(77, stray.opacity);
    EXPECT_EQ(255, listed->opacity);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(manager, kBlendCombo)));

    group->currentLayer = listed;
    BroadcastImageChanged(group, listed, listed->image, 2);
    settle();
    EXPECT_EQ(1, s_unknownBoxes);
    lose();
    EXPECT_EQ(2, s_unknownBoxes);
    KillTimer(NULL, watch);
    group->currentLayer = listed;
}
