// The plug-in maintenance dialog driven by posted mouse messages and its buttons: setting modules
// aside, reordering, bringing them back, and the tables and tool bar afterwards.
#include "loader_fixture.h"
#include "shell/maintain.h"
#include "shell/toolbar.h"
#include "draw/drawsel.h"
#include "image/bindings.h"
#include "image/colors.h"
#include "plugins/subwin.h"
#include <algorithm>
#include <functional>
#include <vector>

namespace {

using Step = std::function<void(HWND)>;
std::vector<Step> g_steps;
size_t g_next;

// One step per timer tick, so what a step posted is handled before the next one looks.
void NextStep(HWND dialog)
{
    size_t i = g_next++;
    if (i >= g_steps.size())
        return;
    if (i + 1 < g_steps.size())
        DriveNextDialog(NextStep);
    g_steps[i](dialog);
}

// Runs the dialog for kind; the steps are followed by "End".
void RunSteps(int kind, std::vector<Step> steps)
{
    steps.push_back([](HWND d) { PostMessageA(d, WM_COMMAND, 2, 0); });
    g_steps = std::move(steps);
    g_next = 0;
    DriveNextDialog(NextStep);
    RunPluginMaintenanceDialog(nullptr, kind);
    StopDrivingDialogs();
}

Step Click(int x, int y)
{
    return [x, y](HWND d) {
        PostMessageA(d, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        PostMessageA(d, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    };
}
Step Press(int id)
{
    return [id](HWND d) { PostMessageA(d, WM_COMMAND, id, 0); };
}
// The keep button and the name of regular row r, the install button of reserve row r.
Step Keep(int r) { return Click(40, kRegularTop + r * kRowPitch + 5); }
Step Choose(int r) { return Click(100, kRegularTop + r * kRowPitch + 5); }
Step Reserve(int r) { return Click(40, kReserveTop + r * kRowPitch + 5); }
enum { kDelete = 1, kUp = 3000, kDown = 3001, kInstall = 3002 };

} // namespace

class MaintainPointerTest : public LoaderTest {
protected:
    void TearDown() override
    {
        FreeToolButtons(false);
        LoaderTest::TearDown();
    }
    void LoadDraws(std::initializer_list<const char *> stems)
    {
        for (const char *s : stems)
            Put(g_cfg.Draw_dir, s);
        WriteFileText(Stat("draw.pin"), "");
        std::string list;
        for (const char *s : stems)
            list += std::string(s) + ".ovp\n";
        WriteFileText(Stat("draw.pin"), list);
        ASSERT_EQ(LoadDrawPlugins(), (int)stems.size());
        RebuildToolBarAfterMaintenance();
    }
    static std::string Draw(const char *name) { return std::string(g_cfg.Draw_dir) + "\\" + name; }
    static bool Exists(const std::string &p) { return GetFileAttributesA(p.c_str()) != INVALID_FILE_ATTRIBUTES; }
    static std::vector<std::string> DrawFiles()
    {
        std::vector<std::string> files;
        for (int i = 0; i < kDrawRows && g_drawPlugins[i].module; i++)
            files.push_back(g_drawPlugins[i].file);
        return files;
    }
    static int DrawButtons()
    {
        int n = 0;
        for (ToolButton *b = g_firstButton; b; b = b->next)
            n += b->kind == kButtonDraw;
        return n;
    }
};

TEST_F(MaintainPointerTest, DeleteSetsModulesAsideAndReopeningListsThem)
{
    LoadDraws({"d_drag", "d_click", "d_free", "d_five"});
    SelectDrawIndex(3);
    // Row 1 set aside (row 0's flag toggled back); the current row is after it.
    RunSteps(kMaintainDraw, {Keep(1), Keep(0), Keep(0), Press(kDelete)});
    EXPECT_EQ(DrawFiles(), (std::vector<std::string>{"d_drag.ovp", "d_free.ovp", "d_five.ovp"}));
    EXPECT_EQ(g_drawPlugins[3].module, nullptr);
    EXPECT_EQ(g_drawPlugins[3].interaction, -1);
    EXPECT_EQ(GetCurrentDraw(), 2); // the current method moved up with its row
    EXPECT_FALSE(Exists(Draw("d_click.ovp")));
    EXPECT_TRUE(Exists(Draw("d_click.ovp.del")));
    EXPECT_EQ(DrawButtons(), 3);

    // Deleting the current method makes row 0 current.
    RunSteps(kMaintainDraw, {Keep(2), Press(kDelete)});
    EXPECT_EQ(DrawFiles(), (std::vector<std::string>{"d_drag.ovp", "d_free.ovp"}));
    EXPECT_EQ(GetCurrentDraw(), 0);

    MaintenanceState s;
    OpenMaintenance(&s, kMaintainDraw, nullptr);
    ASSERT_EQ(s.reserveCount, 2);
    std::vector<std::string> names = {s.reserve[0].name, s.reserve[1].name};
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"Test Click", "Test Five"}));
    EXPECT_EQ(s.regularCount, 2);
}

// After a rebuild the tool bar's frame is painted again at once: filled with the button face, so
// that no picture of a button gone stays behind, and edged along its top.
TEST_F(MaintainPointerTest, RebuildingTheToolBarRepaintsItsFrame)
{
    // A main window that erases nothing itself: only the rebuild paints over the black.
    WNDCLASSA c = {};
    c.lpfnWndProc = DefWindowProcA;
    c.hInstance = g_instance;
    c.lpszClassName = "MaintainTestMain";
    RegisterClassA(&c);
    g_mainWindow = CreateWindowA(c.lpszClassName, "main", WS_POPUP | WS_VISIBLE, 0, 0, 700, 60, NULL, NULL,
                                 g_instance, NULL);
    ASSERT_NE(g_mainWindow, nullptr);
    UpdateWindow(g_mainWindow);
    RECT client;
    GetClientRect(g_mainWindow, &client);
    HDC dc = GetDC(g_mainWindow);
    FillRect(dc, &client, (HBRUSH)GetStockObject(BLACK_BRUSH));
    LoadDraws({"d_drag", "d_click"});
    int x = client.right - 3, y = client.bottom - 3;
    for (ToolButton *b = g_firstButton; b; b = b->next)
        ASSERT_FALSE(x >= b->left && x <= b->right && y >= b->top && y <= b->bottom) << "under a button";
    EXPECT_EQ(GetPixel(dc, x, y), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(GetPixel(dc, x, 0), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(GetPixel(dc, x, 1), GetSysColor(COLOR_BTNHIGHLIGHT));
    ReleaseDC(g_mainWindow, dc);
    DestroyWindow(g_mainWindow);
    g_mainWindow = NULL;
}

TEST_F(MaintainPointerTest, UpAndDownSwapRowsAndStopAtTheEnds)
{
    LoadDraws({"d_drag", "d_click", "d_free"});
    SelectDrawIndex(2);
    RunSteps(kMaintainDraw, {Press(kUp), Choose(2), Press(kDown), Press(kUp), Press(kUp), Press(kUp)});
    EXPECT_EQ(DrawFiles(), (std::vector<std::string>{"d_free.ovp", "d_drag.ovp", "d_click.ovp"}));
    EXPECT_EQ(GetCurrentDraw(), 0); // followed its row
    ASSERT_NE(FindToolButton(kButtonDraw, 0), nullptr);
    EXPECT_EQ(FindToolButton(kButtonDraw, 0)->bitmap, g_drawPlugins[0].bitmap);
    EXPECT_TRUE(FindToolButton(kButtonDraw, 0)->pressed);

    // The keep flags stay with their positions: row 0's flag, cleared, then its row moved down.
    RunSteps(kMaintainDraw, {Keep(0), Press(kDown), Press(kDelete)});
    EXPECT_EQ(DrawFiles(), (std::vector<std::string>{"d_free.ovp", "d_click.ovp"}));
}

TEST_F(MaintainPointerTest, InstallBringsSetAsideModulesBack)
{
    LoadDraws({"d_drag"});
    Put(g_cfg.Draw_dir, "d_click", "d_click.ovp.del");
    Put(g_cfg.Draw_dir, "d_free", "d_free.ovp.del");
    WriteFileText(Draw("broken.ovp.del"), "not a module");
    // The broken one is reported at opening and left out. Both others are checked, then the first
    // one's file goes before Install: reported, not loaded.
    std::vector<std::string> order;
    RunSteps(kMaintainDraw, {[&](HWND) {
                                 MaintenanceState s;
                                 OpenMaintenance(&s, kMaintainDraw, nullptr);
                                 for (int i = 0; i < s.reserveCount; i++)
                                     order.push_back(s.reserve[i].file);
                             }});
    ASSERT_EQ(order.size(), 2u);
    std::vector<std::string> texts = Texts();
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "Can't load delete plug-in(broken.ovp.del)"), 2);
    boxes.boxes.clear();

    RunSteps(kMaintainDraw, {Reserve(0), Reserve(1), [&](HWND) { DeleteFileA(Draw(order[0].c_str()).c_str()); },
                             Press(kInstall)});
    std::string second = order[1].substr(0, order[1].size() - 4);
    EXPECT_EQ(DrawFiles(), (std::vector<std::string>{"d_drag.ovp", second}));
    EXPECT_TRUE(Exists(Draw(second.c_str())));
    EXPECT_EQ(DrawButtons(), 2);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Can't load delete plug-in(broken.ovp.del)",
                                                 order[0] + ":Can't load!"}));
}

TEST_F(MaintainPointerTest, SubWindowsInstallAtTheirReservePositions)
{
    Put(g_cfg.Subwin_dir, "s_plain", "s_plain.ovp.del");
    Put(g_cfg.Subwin_dir, "s_other", "s_other.ovp.del");
    MaintenanceState s;
    OpenMaintenance(&s, kMaintainSubWindow, nullptr);
    ASSERT_EQ(s.reserveCount, 2);
    s.reserve[0].install = s.reserve[1].install = 1;
    EXPECT_EQ(InstallReservedPlugins(&s, nullptr), 1);
    EXPECT_EQ(s.reserveCount, 0);
    ASSERT_EQ(s.regularCount, 2);
    for (int i = 0; i < 2; i++) {
        EXPECT_EQ(GetFileAttributesA((std::string(g_cfg.Subwin_dir) + "\\" + g_subWindows[i].file).c_str()) !=
                      INVALID_FILE_ATTRIBUTES, true);
        EXPECT_EQ(g_subWindows[i].x, 1280 / 2 + 5);
        EXPECT_EQ(g_subWindows[i].y, 100 + 20 * i);
    }
    CreateSubWindows();
    EXPECT_NE(g_subWindows[0].window, nullptr);
    EXPECT_EQ(CountSubWindows(), 2);
}

TEST_F(MaintainPointerTest, FunctionalColourFollowsItsRow)
{
    Put(g_cfg.FuncColor_dir, "f_post");
    Put(g_cfg.FuncColor_dir, "f_color");
    WriteFileText(Stat("funccol.pin"), "f_post.ovp\nf_color.ovp\n");
    ASSERT_EQ(LoadFuncColorPlugins(), 2);
    g_colorTable[0].function = 2; // f_color
    EXPECT_EQ(SwapPluginRows(kMaintainFuncColor, 0, 1), 0);
    EXPECT_EQ(g_colorTable[0].function, 1);
    EXPECT_STREQ(g_colorFunctions[0].file, "f_color.ovp");
    MaintenanceState s;
    OpenMaintenance(&s, kMaintainFuncColor, nullptr);
    s.regular[1].keep = 0; // f_post, after the chosen one: the choice stays
    EXPECT_EQ(DeleteUncheckedPlugins(&s), 0);
    EXPECT_EQ(g_colorTable[0].function, 1);
    s.regular[0].keep = 0; // the chosen one itself: none is chosen
    DeleteUncheckedPlugins(&s);
    EXPECT_EQ(g_colorTable[0].function, 0);
    EXPECT_EQ(g_colorFunctions[0].module, nullptr);
    EXPECT_EQ(s.reserveCount, 2);
}

TEST(MaintainHitTest, OnlyRowsShownAreHit)
{
    struct Case {
        int x, y;
        MaintenanceHit hit;
        int row;
    } cases[] = {
        {32, 48, kHitKeep, 0},     {55, 208, kHitKeep, 6},    {55, 209, kHitNone, 0},  {31, 60, kHitNone, 0},
        {56, 60, kHitNone, 0},     {62, 71, kHitSelect, 1},   {232, 100, kHitSelect, 2}, {233, 100, kHitNone, 0},
        {32, 278, kHitInstall, 0}, {55, 369, kHitInstall, 3}, {32, 370, kHitNone, 0},  {100, 300, kHitNone, 0},
        {40, 47, kHitNone, 0},     {40, 277, kHitNone, 0},
    };
    for (const Case &c : cases) {
        int row = -1;
        EXPECT_EQ(HitMaintenanceList(c.x, c.y, &row), c.hit) << c.x << "," << c.y;
        if (c.hit != kHitNone) {
            EXPECT_EQ(row, c.row) << c.x << "," << c.y;
        }
    }
}

TEST_F(MaintainPointerTest, ReserveListIsBoundedAndHiddenRowsDoNotToggle)
{
    for (int i = 0; i < kReserveEntries + 3; i++)
        Put(g_cfg.Draw_dir, "d_drag", "m" + std::to_string(i) + ".ovp.del");
    MaintenanceState s;
    OpenMaintenance(&s, kMaintainDraw, nullptr);
    EXPECT_EQ(s.reserveCount, kReserveEntries);

    // One entry in the reserve: clicks on the three blank rows below it change nothing.
    for (int i = 1; i < kReserveEntries + 3; i++)
        DeleteFileA(Draw(("m" + std::to_string(i) + ".ovp.del").c_str()).c_str());
    LoadDraws({"d_click"});
    RunSteps(kMaintainDraw, {Reserve(1), Reserve(2), Reserve(3), Keep(1), Keep(6), Press(kInstall), Press(kDelete)});
    EXPECT_EQ(DrawFiles(), (std::vector<std::string>{"d_click.ovp"}));
    EXPECT_TRUE(Exists(Draw("m0.ovp.del")));
}
