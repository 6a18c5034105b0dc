// The command table and the dispatcher: gates, ranges and single identifiers, window commands.
#include "testsupport.h"
#include "image/undo.h"
#include "view/paint.h"
#include "image/group.h"
#include "image/imagelist.h"
#include "shell/commands.h"
#include "shell/commands_pending.h"
#include "draw/drawmouse.h"
#include "draw/drawsel.h"
#include "plugins/loader.h"
#include "plugins/subwin.h"
#include "base/settings.h"
#include "shell/menus.h"
#include "view/winlist.h"
#include "shell/winproc.h"
#include <set>
#include <string.h>
#include <string>

class CommandTest : public HostTest {
protected:
    void SetUp() override
    {
        HostTest::SetUp();
        snprintf(g_cfg.Stat_dir, sizeof g_cfg.Stat_dir, "%s", dir.path().c_str());
        WriteFileText(dir.file("QzMain.mnu.JPN"), "@&File\n#Quit\n");
        WriteFileText(dir.file("Dazaz.mnu.JPN"), "@&View\n#SetZoom1\n#ToggleGridDisplay\n#RegionDisplayBlack\n"
                                                 "#RegionDisplayAnimate\n");
        RegisterImageWindowClass();
        g_drawState = 0;
        ClearPendingCall();
    }
    void TearDown() override
    {
        g_drawState = 0;
        HostTest::TearDown();
    }
    ImageGroup *NewGroup()
    {
        CDIB *base = nullptr;
        QzsCreateNewImage(&base, 16, 16, 32);
        AddImageGroup(base);
        base->modified = 0;
        return g_lastGroup;
    }
    ImageWindow *NewWindow(ImageGroup *group)
    {
        ImageWindow *w = CreateImageWindow(0, 0, 200, 150);
        EXPECT_NE(w, nullptr);
        w->group = group;
        w->layerImage = group ? group->currentImage : nullptr;
        MakeWindowCurrent(w);
        return w;
    }
    int WindowCount()
    {
        int n = 0;
        for (ImageWindow *w = g_firstWindow; w; w = w->next)
            n++;
        return n;
    }
};

TEST_F(CommandTest, TableRowsInOrder)
{
    int rows = 0;
    std::set<std::string> names;
    std::set<uint32_t> ids;
    for (const CommandEntry *row = CommandTable; row->name; row++, rows++) {
        names.insert(row->name);
        ids.insert(row->id);
    }
    EXPECT_EQ(rows, 98);
    EXPECT_EQ(names.size(), 98u);
    EXPECT_EQ(ids.size(), 98u);
    EXPECT_STREQ(CommandTable[0].name, "Undo");
    EXPECT_STREQ(CommandTable[97].name, "LoadLayer");
    EXPECT_EQ(CommandTable[98].name, nullptr);
    for (int i = 2; i <= 9; i++) {
        const CommandEntry &row = CommandTable[59 + i - 1];
        EXPECT_EQ(std::string(row.name), "TESTforDev" + std::to_string(i));
        EXPECT_EQ(row.id, 20000u + i);
        EXPECT_EQ(std::string(row.label), "&TEST" + std::to_string(i));
    }
    struct Label {
        const char *name;
        int id;
        const char *label;
    } labels[] = {{"PrintSetUp", 32058, "&P&age Setup"},
                  {"DispLayerNone", 32092, "Undisplay Layer Flame"},
                  {"ImageInfo", 32068, "&Image infomation..."},
                  {"OpenBroseWindow", 32028, "Open &Brose window"},
                  {"SetZoom/8", 32049, "&12.5%"},
                  {"MaskDisplayOFF", 32037, "(Can't)"}};
    for (const Label &l : labels) {
        int id;
        const char *label;
        ASSERT_TRUE(LookUpCommand(l.name, &id, &label)) << l.name;
        EXPECT_EQ(id, l.id);
        EXPECT_STREQ(label, l.label);
        EXPECT_STREQ(CommandLabel(l.id), l.label);
    }
    int id;
    const char *label;
    EXPECT_FALSE(LookUpCommand("undo", &id, &label)); // exact case
    EXPECT_FALSE(LookUpCommand("", &id, &label));
}

// Which handler each identifier reaches, by draw state.
TEST_F(CommandTest, GatesRangesAndSingleIdentifiers)
{
    ImageGroup *g = NewGroup();
    ImageWindow *w = NewWindow(g);
    struct Case {
        int state, id;
        const char *handler;
        INT_PTR arg;
        const char *message;
    } cases[] = {
        {0, 32241, nullptr, 0, nullptr},
        {0, 32301, nullptr, 0, nullptr}, // sub-windows, none loaded here (tests/host toggles them)
        {0, 32400, nullptr, 0, nullptr},
        {0, 32160, nullptr, 0, nullptr},
        {0, 34001, nullptr, 0, nullptr}, // no such recent file
        {0, 25000, nullptr, 0, nullptr}, // nothing registered
        {3, 32162, nullptr, 0, nullptr},
        {3, 32032, nullptr, 0, nullptr},
        {10, 32086, nullptr, 0, nullptr},
        {0, 32030, nullptr, 0, "Not support yet!"},
        {0, 32037, nullptr, 0, nullptr},
        {0, 32055, nullptr, 0, nullptr},
        {0, 32073, nullptr, 0, nullptr},
        {0, 32084, nullptr, 0, nullptr},
        {0, 32091, nullptr, 0, nullptr},
        {0, 20005, nullptr, 0, nullptr},
        {0, 20009, nullptr, 0, nullptr},
    };
    for (const Case &c : cases) {
        g_drawState = c.state;
        ClearPendingCall();
        boxes.boxes.clear();
        DispatchCommand(w, c.id, 0);
        PendingCall call = LastPendingCall();
        std::string where = std::to_string(c.state) + "/" + std::to_string(c.id);
        if (c.handler) {
            EXPECT_STREQ(call.handler, c.handler) << where;
            EXPECT_EQ(call.arg, c.arg) << where;
        } else {
            EXPECT_EQ(call.handler, nullptr) << where << " reached " << call.handler;
        }
        if (c.message) {
            ASSERT_EQ(boxes.boxes.size(), 1u) << where;
            EXPECT_EQ(boxes.boxes[0].text, c.message) << where;
        } else {
            EXPECT_TRUE(boxes.boxes.empty()) << where;
        }
    }
    EXPECT_TRUE(IsWindowListed(w));
}

// Draw-menu items choose their row, the whole table's worth of them; not while a figure is drawn.
TEST_F(CommandTest, DrawMenuItemsChooseTheMethod)
{
    ImageWindow *w = NewWindow(NewGroup());
    for (int row : {1, 50, 79}) {
        DrawPluginRecord &r = g_drawPlugins[row];
        r.module = GetModuleHandleA(nullptr);
        r.interaction = 1;
        snprintf(r.file, sizeof r.file, "row%d.ovp", row);
    }
    struct {
        int state, id, want;
    } steps[] = {{0, 32211, 50}, {3, 32162, 50}, {0, 32240, 79}, {10, 32162, 1}, {0, 32210, 1}};
    for (auto &s : steps) {
        g_drawState = s.state;
        DispatchCommand(w, s.id, 0);
        EXPECT_EQ(GetCurrentDraw(), s.want) << s.state << "/" << s.id;
    }
    g_drawState = 0;
    memset(g_drawPlugins, 0, sizeof g_drawPlugins);
}

// Sub-window items show and hide rows 0 to 39 only; a later row keeps its tool button's toggle.
TEST_F(CommandTest, SubWindowItemsReachTheFirstFortyRows)
{
    ImageWindow *w = NewWindow(NewGroup());
    for (int row : {0, 39, 40, 99}) {
        g_subWindows[row].module = GetModuleHandleA(nullptr);
        g_subWindows[row].shown = 0;
    }
    struct {
        int id, row, shown;
    } steps[] = {{32301, 0, 1}, {32340, 39, 1}, {32341, 40, 0}, {32400, 99, 0}, {32301, 0, 0}};
    for (auto &s : steps) {
        DispatchCommand(w, s.id, 0);
        EXPECT_EQ(g_subWindows[s.row].shown, s.shown) << s.id;
    }
    ToggleSubWindow(40); // as its tool button does
    EXPECT_EQ(g_subWindows[40].shown, 1);
    memset(g_subWindows, 0, sizeof g_subWindows);
}

// Undo and redo reach the window's undo chain, except while a figure is being drawn or re-edited.
TEST_F(CommandTest, UndoAndRedoThroughTheGates)
{
    ImageGroup *g = NewGroup();
    ImageWindow *w = NewWindow(g);
    uint32_t *pixels = (uint32_t *)w->layerImage->pixels;
    uint32_t before = pixels[0];
    SetDirtyRect(0, 0, 0, 0);
    UndoRecord *record = PushUndo(g, w->layerImage, kUndoPixelRect);
    ASSERT_NE(record, nullptr);
    pixels[0] = before ^ 0x00FFFFFFu;
    ((uint32_t *)record->before)[0] = before;
    ((uint32_t *)record->after)[0] = pixels[0];
    ClearDirtyRect();
    struct {
        int state, id;
        bool original;
    } steps[] = {{3, 32034, false}, {0, 32034, true}, {3, 32035, true}, {0, 32035, false}, {10, 32034, false}};
    for (auto &s : steps) {
        g_drawState = s.state;
        DispatchCommand(w, s.id, 0);
        EXPECT_EQ(pixels[0] == before, s.original) << s.state << "/" << s.id;
    }
    g_drawState = 0;
}

TEST_F(CommandTest, WithoutAWindowOnlyOpeningCommandsGoOn)
{
    for (int id : {32034, 32162, 33001, 32009, 32029}) {
        DispatchCommand(nullptr, id, 0);
        EXPECT_EQ(LastPendingCall().handler, nullptr) << id;
    }
    EXPECT_TRUE(boxes.boxes.empty());
    // Bound to one window and no image at all: no window opens, so the dialog does not run.
    CloseNextDialog();
    DispatchCommand(nullptr, 32017, 0);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "There is no image to display");
    EXPECT_EQ(ClosedDialogTitle(), "");
    EXPECT_EQ(WindowCount(), 0);

    g_cfg.BindImageToOneWindow = 0;
    DispatchCommand(nullptr, 32017, 0); // the dialog left from above is closed now
    EXPECT_EQ(WindowCount(), 1);
    EXPECT_EQ(g_currentWindow, g_firstWindow);
    EXPECT_NE(ClosedDialogTitle(), "");
    // The other opening commands run the open dialog too.
    for (int id : {32069, 32100}) {
        CloseNextDialog();
        DispatchCommand(g_currentWindow, id, 0);
        EXPECT_NE(ClosedDialogTitle(), "") << id;
    }
    DiscardAllImages();
    // NewImage opens its window the same way, and can run again afterwards.
    CloseNextDialog();
    DispatchCommand(nullptr, 32016, 0);
    EXPECT_EQ(WindowCount(), 1);
    EXPECT_EQ(ClosedDialogTitle(), "Create New Image");
    CloseNextDialog();
    DispatchCommand(g_currentWindow, 32016, 0);
    EXPECT_EQ(ClosedDialogTitle(), "Create New Image");
    // The options sheet runs from its command too.
    CloseNextDialog();
    DispatchCommand(g_currentWindow, 32066, 0);
    EXPECT_EQ(ClosedDialogTitle(), "Options");
}

TEST_F(CommandTest, ViewSwitchesOfTheWindow)
{
    ImageWindow *w = NewWindow(NewGroup());
    BuildWindowMenu(w);
    struct Zoom {
        int id, zoom;
    } zooms[] = {{32009, 1}, {32010, 2}, {32011, 4}, {32012, 8}, {32047, -2}, {32048, -4}, {32049, -8}};
    for (const Zoom &z : zooms) {
        DispatchCommand(w, z.id, 0);
        EXPECT_EQ(w->display.zoom, z.zoom) << z.id;
    }
    int grid = w->grid;
    DispatchCommand(w, 32044, 0);
    EXPECT_EQ(w->grid, !grid);
    EXPECT_EQ((GetMenuState(w->menu, 32044, MF_BYCOMMAND) & MF_CHECKED) != 0, w->grid != 0);
    w->regionDisplayMode = 4;
    CheckMenuItem(w->menu, 32041, MF_BYCOMMAND | MF_CHECKED);
    DispatchCommand(w, 32038, 0);
    EXPECT_EQ(w->regionDisplayMode, 1);
    EXPECT_TRUE(GetMenuState(w->menu, 32038, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_FALSE(GetMenuState(w->menu, 32041, MF_BYCOMMAND) & MF_CHECKED);
    DispatchCommand(w, 32092, 0);
    EXPECT_EQ(w->layerFrameMode, 0);
    DispatchCommand(w, 32093, 0);
    EXPECT_EQ(w->layerFrameMode, 2);
    int lock = w->lock;
    DispatchCommand(w, 32065, 0);
    EXPECT_EQ(w->lock, !lock);
}

TEST_F(CommandTest, LayerAndImageListCommands)
{
    g_cfg.BindImageToOneWindow = 0;
    ImageGroup *g = NewGroup();
    CDIB *a = nullptr, *b = nullptr;
    QzsCreateNewImage(&a, 4, 4, 32);
    QzsCreateNewImage(&b, 4, 4, 32);
    LayerRecord *la = QzsInsertNewLayer(g, a, 0, 0, 1, 255, 0);
    LayerRecord *lb = QzsInsertNewLayer(g, b, 0, 0, 1, 255, 0);
    ImageGroup *other = NewGroup();
    ImageWindow *w = NewWindow(g);
    DispatchCommand(w, 33001, 0);
    EXPECT_EQ(g->currentLayer, nullptr);
    DispatchCommand(w, 33003, 0);
    EXPECT_EQ(g->currentLayer, lb);
    DispatchCommand(w, 33010, 0); // past the layers
    EXPECT_EQ(g->currentLayer, lb);
    DispatchCommand(w, 33002, 0);
    EXPECT_EQ(g->currentLayer, la);
    EXPECT_EQ(w->layerImage, a);
    DispatchCommand(w, 32071, 0); // hide the current layer
    EXPECT_EQ(la->status, 0);
    // Image-list entry 1 shows the second group; entry 2 names no group.
    DispatchCommand(w, 32001, 0);
    EXPECT_EQ(w->group, other);
    DispatchCommand(w, 32019, 0);
    EXPECT_EQ(w->group, other);
}

TEST_F(CommandTest, CloseWindowLetsTheNestedCloseFreeTheWindow)
{
    ImageGroup *g1 = NewGroup(), *g2 = NewGroup();
    ImageWindow *b = NewWindow(g2);
    ImageWindow *a = NewWindow(g1);
    HWND handleA = a->window;
    // Bound to one window: a is g1's sole viewer, so g1 closes; b shows what remains and a goes.
    DispatchCommand(a, 32029, 0);
    EXPECT_EQ(FindImageWindow(handleA), nullptr);
    EXPECT_EQ(WindowCount(), 1);
    EXPECT_EQ(g_firstWindow, b);
    EXPECT_EQ(g_currentWindow, b);
    EXPECT_EQ(g_firstGroup, g2);
    EXPECT_EQ(g2->next, nullptr);
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(CommandTest, TheSoleViewerKeepsItsWindowForTheNextGroup)
{
    ImageGroup *g1 = NewGroup(), *g2 = NewGroup();
    ImageWindow *a = NewWindow(g1);
    DispatchCommand(a, 32029, 0);
    EXPECT_EQ(g_firstGroup, g2);
    ASSERT_EQ(g_firstWindow, a);
    EXPECT_EQ(a->group, g2);
    EXPECT_FALSE(g_noWindowState);
}

TEST_F(CommandTest, OpenEditWindowCascadesAndNamesTheGroup)
{
    g_cfg.BindImageToOneWindow = 0;
    g_cfg.AutoAdjustMode = 0;
    ImageGroup *g = NewGroup();
    g_currentGroup = g;
    g_currentImage = g->base;
    RECT r[2];
    for (int i = 0; i < 2; i++) {
        DispatchCommand(nullptr, 32031, 0);
        ASSERT_NE(g_currentWindow, nullptr);
        EXPECT_EQ(g_currentWindow->group, g);
        EXPECT_NE(g_currentWindow->menu, nullptr);
        GetWindowRect(g_currentWindow->window, &r[i]);
    }
    EXPECT_EQ(WindowCount(), 2);
    EXPECT_EQ(r[1].left - r[0].left, 16);
    EXPECT_EQ(r[1].top - r[0].top, 16);
    char title[300];
    GetWindowTextA(g_currentWindow->window, title, sizeof title);
    EXPECT_EQ(std::string(title), std::string(g->name) + " (16*16)");
}

TEST_F(CommandTest, ARefusedCloseLeavesWindowsAndGroups)
{
    ImageGroup *g1 = NewGroup(), *g2 = NewGroup();
    ImageWindow *b = NewWindow(g2);
    ImageWindow *a = NewWindow(g1);
    g1->base->modified = 1;
    boxes.Answer(IDCANCEL);
    DispatchCommand(a, 32029, 0);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(WindowCount(), 2);
    EXPECT_EQ(a->group, g1);
    EXPECT_EQ(b->group, g2);
    EXPECT_EQ(g_currentWindow, a);
    g1->base->modified = 0;
}

TEST_F(CommandTest, CloseImageWithoutBindingShowsTheNextGroup)
{
    g_cfg.BindImageToOneWindow = 0;
    ImageGroup *g1 = NewGroup(), *g2 = NewGroup();
    ImageWindow *a = NewWindow(g1);
    ImageWindow *b = NewWindow(g1);
    DispatchCommand(a, 32026, 0);
    EXPECT_EQ(g_firstGroup, g2);
    EXPECT_EQ(a->group, g2);
    EXPECT_EQ(b->group, g2);
    EXPECT_EQ(WindowCount(), 2);
}

TEST_F(CommandTest, CloseWindowInModeZeroHidesTheLastWindow)
{
    g_cfg.BindImageToOneWindow = 0;
    g_cfg.CloseImageWithWindow = 0;
    ImageGroup *g = NewGroup();
    ImageWindow *w = NewWindow(g);
    DispatchCommand(w, 32029, 0);
    EXPECT_TRUE(g_noWindowState);
    EXPECT_EQ(g_firstWindow, w);
    EXPECT_EQ(g_firstGroup, g); // the image stays
}

TEST_F(CommandTest, ChangeLanguageTwiceComesBack)
{
    g_cfg.LANG = 0;
    ImageWindow *w = NewWindow(NewGroup());
    DispatchCommand(w, 32046, 0);
    EXPECT_EQ(g_cfg.LANG, 1);
    DispatchCommand(w, 32046, 0);
    EXPECT_EQ(g_cfg.LANG, 0);
    // Before a language was chosen the translation shows: the switch leads to English and back.
    for (int unset : {-99, -1, 100}) {
        g_cfg.LANG = unset;
        DispatchCommand(w, 32046, 0);
        EXPECT_EQ(g_cfg.LANG, 0) << unset;
        DispatchCommand(w, 32046, 0);
        EXPECT_EQ(g_cfg.LANG, 1) << unset;
    }
}

TEST_F(CommandTest, ExtensionCommandsByName)
{
    EXPECT_EQ(QzsGetCommandProc("resize"), nullptr);
    EXPECT_EQ(QzsGetCommandProc(""), nullptr);
    EXPECT_EQ(QzsGetCommandProc(nullptr), nullptr);
}

TEST_F(CommandTest, ASecondStartDuringAFigureWaitsForIt)
{
    char *text = _strdup("C:\\none.bmp");
    PostHandedOverCommandLine(text); // without a main window it is posted to this thread
    MSG m;
    while (PeekMessageA(&m, (HWND)-1, 0, 0, PM_REMOVE)) {
    }
    g_drawState = 3;
    DispatchCommand(nullptr, kCommandSecondStartId, (LPARAM)text);
    g_drawState = 0;
    bool reposted = false;
    DWORD end = GetTickCount() + 3000;
    while (!reposted && GetTickCount() < end) {
        if (!PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            Sleep(10);
            continue;
        }
        if (m.message == WM_COMMAND && !m.hwnd && LOWORD(m.wParam) == kCommandSecondStartId &&
            m.lParam == (LPARAM)text)
            reposted = true;
        else
            DispatchMessageA(&m);
    }
    EXPECT_TRUE(reposted);
    DispatchCommand(nullptr, kCommandSecondStartId, (LPARAM)text); // opened now, and freed
}
