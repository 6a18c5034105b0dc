// The sub-window table with recording plug-ins: broadcasts and messages reach every row with their
// arguments, a row whose window failed leaves no hole, shown flag, window, button and menu check
// stay in step, dialog messages, docking, and plug-ins that hide, destroy or reload from inside a
// notification.
#include "loader_fixture.h"
#include "base/notify.h"
#include "image/colors.h"
#include "plugins/subwin.h"
#include "shell/commands.h"
#include "shell/keymap.h"
#include "shell/toolbar.h"
#include "shell/winproc.h"
#include "image/current.h"
#include <sstream>

namespace {

// A pointer as the recording plug-ins write it.
std::string Hex(const void *p)
{
    std::ostringstream s;
    s << std::hex << (unsigned long long)(uintptr_t)p;
    return s.str();
}

class SubWindowTest : public LoaderTest {
protected:
    HWND mainWindow = nullptr;

    // The modules in list order, each shown; their windows made.
    void Load(std::initializer_list<const char *> stems)
    {
        std::string list = "1280 960\n";
        int i = 0;
        for (const char *stem : stems) {
            Put(g_cfg.Subwin_dir, stem);
            list += std::string(stem) + ".ovp " + std::to_string(100 + 80 * i) + " 100 1\n";
            i++;
        }
        WriteFileText(Stat("subwin.pin"), list);
        ASSERT_EQ((int)stems.size(), LoadSubWindowPlugins());
        CreateSubWindows();
    }
    void TearDown() override
    {
        FreeToolButtons(false);
        if (mainWindow)
            DestroyWindow(mainWindow);
        g_mainWindow = nullptr;
        LoaderTest::TearDown();
    }
    template <class T> T Tp(int row, const char *name)
    {
        return (T)GetProcAddress(g_subWindows[row].module, name);
    }
    std::string Log(int row) { return Tp<const char *(QZCAPI *)(void)>(row, "TpLog")(); }
    void ClearLogs()
    {
        for (int row = 0; row < CountSubWindows(); row++)
            Tp<void(QZCAPI *)(void)>(row, "TpClearLog")();
    }
    // A main window whose menu holds the items of the first rows.
    void MakeMainWindow(int rows)
    {
        HMENU bar = CreateMenu(), view = CreatePopupMenu();
        for (int i = 0; i < rows; i++)
            AppendMenuA(view, MF_STRING, kSubWindowMenuFirst + i, "row");
        AppendMenuA(bar, MF_POPUP, (UINT_PTR)view, "View");
        mainWindow = CreateWindowExA(0, "STATIC", "main", WS_POPUP, 0, 0, 400, 40, NULL, bar, NULL, NULL);
        g_mainWindow = mainWindow;
    }
    bool Checked(int row)
    {
        return (GetMenuState(GetMenu(mainWindow), kSubWindowMenuFirst + row, MF_BYCOMMAND) & MF_CHECKED) != 0;
    }
};

} // namespace

TEST_F(SubWindowTest, BroadcastsReachEveryRowPastAFailedWindowAndSkipMissingEntries)
{
    // "Rec B" leaves out the image, colour, message and directory entries.
    Load({"s_reca", "s_fail", "s_recb", "s_recc"});
    ASSERT_EQ(3, CountSubWindows());
    ASSERT_STREQ("Rec B", g_subWindows[1].name);
    ASSERT_STREQ("Rec C", g_subWindows[2].name);
    for (int row = 0; row < 3; row++) // the hidden parent owns every window
        EXPECT_EQ(g_subParent, Tp<HWND(QZCAPI *)(void)>(row, "TpOwner")());
    ClearLogs();

    ImageGroup *group = (ImageGroup *)0x1230;
    LayerRecord *layer = (LayerRecord *)0x4560;
    CDIB *image = (CDIB *)0x7890;
    PenRecord *pen = QzsGetPen();
    struct Case {
        std::function<void()> send;
        std::string entry;
        bool inB;
    } cases[] = {
        {[&] { BroadcastImageChanged(group, layer, image, 3); }, "Image(1230,4560,7890,3);", false},
        {[&] { BroadcastImageChanged(group, nullptr, image, 102); }, "Image(1230,0,7890,102);", false},
        {[] { BroadcastImageListChanged(); }, "ImageList(0);", true},
        {[] { BroadcastImageGroupListChanged(); }, "GroupList(0);", true},
        {[] { BroadcastDrawChanged(7); }, "Draw(7);", true},
        {[] { BroadcastColorChanged(2); }, "Color(2," + Hex(&g_colorTable[2]) + ");", false},
        {[&] { BroadcastPenChanged(0x200, pen); }, "Pen(200," + Hex(pen) + ");", true},
        {[] { BroadcastGetDirectory(0xA1, 0xB2); }, "Directory(a1,b2,0);", false},
        {[] { BroadcastActiveRegionChanged(4); }, "Region(4);", true},
        {[] { BroadcastSubWindowMessage(6); }, "Message(6,0,0);", false},
        {[] { BroadcastSubWindowMessage(8, 1, 2); }, "Message(8,1,2);", false},
    };
    std::string all, inB;
    for (const Case &c : cases) {
        c.send();
        all += c.entry;
        if (c.inB)
            inB += c.entry;
    }
    EXPECT_EQ(all, Log(0));
    EXPECT_EQ(inB, Log(1));
    EXPECT_EQ(all, Log(2));

    // A message to one window reaches its plug-in alone; nothing for a window no row has, or a row
    // without the entry.
    ClearLogs();
    SendSubWindowMessage(g_subWindows[2].window, 10, 5, 0);
    SendSubWindowMessage(g_subWindows[1].window, 10, 6, 0);
    SendSubWindowMessage((HWND)0x4242, 10, 7, 0);
    EXPECT_EQ("", Log(0));
    EXPECT_EQ("", Log(1));
    EXPECT_EQ("Message(10,5,0);", Log(2));

    // The look-ups see the rows after the failed one.
    EXPECT_EQ(2, FindSubWindowByName("Rec C"));
    EXPECT_EQ(-1, FindSubWindowByName("Test Fail"));
    EXPECT_EQ(-1, FindSubWindowByName("rec c"));
    EXPECT_EQ(2, FindSubWindowByWindow(g_subWindows[2].window));
    EXPECT_EQ(-10, FindSubWindowByWindow((HWND)0x4242));
}

TEST_F(SubWindowTest, CommandsOfTheProgramReachThePlugins)
{
    Load({"s_reca", "s_recc"});
    ImageWindow window = {};
    ClearLogs();
    // A key command a plug-in registered goes back to it with its value.
    ASSERT_EQ(1, QzsRegisterKeyCommand((INT_PTR)g_subWindows[1].window, "TestKey", 9));
    int id;
    const char *label;
    ASSERT_TRUE(LookUpCommand("TestKey", &id, &label));
    DispatchCommand(&window, id, 0);
    EXPECT_EQ("", Log(0));
    EXPECT_EQ("Message(10,9,0);", Log(1));
    // The language switch is told to every plug-in.
    ClearLogs();
    g_cfg.LANG = 0;
    DispatchCommand(&window, 32046, 0);
    EXPECT_EQ(1, g_cfg.LANG);
    EXPECT_EQ("Message(4,0,0);", Log(0));
    EXPECT_EQ("Message(4,0,0);", Log(1));
}

TEST_F(SubWindowTest, ShownFlagWindowButtonAndMenuCheckStayInStep)
{
    Load({"s_reca", "s_fail", "s_recc"});
    ASSERT_EQ(2, CountSubWindows());
    MakeMainWindow(2);
    ShowSubWindows();
    CreateSubWindowButtons();
    for (int row : {0, 1}) {
        CheckSubWindowMenuItem(row);
        ASSERT_NE(nullptr, FindToolButton(kButtonSubWindow, row)) << row;
    }
    EXPECT_EQ(nullptr, FindToolButton(kButtonSubWindow, 2)); // the failed row left no button behind
    auto inStep = [&](int row, bool shown) {
        SCOPED_TRACE(row);
        EXPECT_EQ(shown ? 1 : 0, g_subWindows[row].shown);
        EXPECT_EQ(shown, IsWindowVisible(g_subWindows[row].window) != 0);
        EXPECT_EQ(shown ? 1 : 0, FindToolButton(kButtonSubWindow, row)->pressed);
        EXPECT_EQ(shown, Checked(row));
    };
    inStep(0, true);
    inStep(1, true);

    ToggleSubWindow(1);
    inStep(1, false);
    ImageWindow window = {};
    DispatchCommand(&window, kSubWindowMenuFirst + 1, 0); // the menu command toggles it back
    inStep(1, true);
    inStep(0, true);

    // The plug-in hides its own window: 0, and everything follows.
    EXPECT_EQ(0, QzsHideDlg(g_subWindows[0].window));
    inStep(0, false);
    SetSubWindowShown(0, 1);
    inStep(0, true);

    // A window of no plug-in is hidden all the same: 1.
    HWND foreign = CreateWindowExA(0, "STATIC", "x", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
    EXPECT_EQ(1, QzsHideDlg(foreign));
    EXPECT_FALSE(IsWindowVisible(foreign));
    DestroyWindow(foreign);
    inStep(0, true);
    inStep(1, true);
}

TEST_F(SubWindowTest, DialogMessagesGoOnlyToWindowsThatAskForThem)
{
    Load({"s_recc", "s_reca"}); // "Rec A" asks for dialog messages, "Rec C" does not
    MSG tab = {};
    tab.hwnd = g_subWindows[1].window;
    tab.message = WM_KEYDOWN;
    tab.wParam = VK_TAB;
    EXPECT_EQ(1, IsSubWindowDialogMessage(&tab));
    tab.hwnd = g_subWindows[0].window;
    EXPECT_EQ(0, IsSubWindowDialogMessage(&tab));
    HWND other = CreateWindowExA(0, "STATIC", "x", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
    tab.hwnd = other;
    EXPECT_EQ(0, IsSubWindowDialogMessage(&tab));
    DestroyWindow(other);
}

namespace {

HWND s_dockedTo, s_clips[2];
int DockedClips(HWND subWindow, HWND *clips, int *right, int capacity)
{
    if (subWindow != s_dockedTo || capacity < 2)
        return 0;
    clips[0] = s_clips[0], right[0] = 0;
    clips[1] = s_clips[1], right[1] = 1;
    return 2;
}

RECT Rect(HWND window)
{
    RECT r;
    GetWindowRect(window, &r);
    return r;
}

HWND Popup(int x, int y, int w, int h)
{
    return CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP | WS_VISIBLE, x, y, w, h, NULL, NULL, NULL, NULL);
}

} // namespace

TEST_F(SubWindowTest, DockedClipWindowsFollowAndRiseWithTheirSubWindow)
{
    HWND sub = Popup(300, 300, 200, 100);
    s_dockedTo = sub;
    s_clips[0] = Popup(0, 0, 60, 27);  // left-aligned
    s_clips[1] = Popup(0, 0, 50, 27);  // right-aligned
    g_notify.dockedClips = DockedClips;

    QzsDefSubWinProc(sub, WM_MOVE, 0, 0);
    RECT left = Rect(s_clips[0]), right = Rect(s_clips[1]);
    EXPECT_EQ(300, left.left);
    EXPECT_EQ(300 - 27 - 1, left.top);
    EXPECT_EQ(60, left.right - left.left); // moved, not sized
    EXPECT_EQ(500 - 50, right.left);
    EXPECT_EQ(300 - 27 - 1, right.top);

    // A window on top of the clips, then the sub-window is activated: the clips rise above it.
    HWND cover = Popup(0, 0, 600, 600);
    SetWindowPos(cover, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    auto above = [](HWND a, HWND b) {
        for (HWND w = GetWindow(b, GW_HWNDPREV); w; w = GetWindow(w, GW_HWNDPREV))
            if (w == a)
                return true;
        return false;
    };
    ASSERT_TRUE(above(cover, s_clips[0]));
    SetDockRaiseAlong(0);
    QzsDefSubWinProc(sub, WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_TRUE(above(cover, s_clips[0]));
    SetDockRaiseAlong(1);
    QzsDefSubWinProc(sub, WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_TRUE(above(s_clips[0], cover));
    EXPECT_TRUE(above(s_clips[1], cover));

    // Move-along off: the clips stay where they are; other windows' moves never move them.
    SetDockMoveAlong(0);
    SetWindowPos(sub, NULL, 400, 350, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    QzsDefSubWinProc(sub, WM_MOVE, 0, 0);
    EXPECT_EQ(300, Rect(s_clips[0]).left);
    EXPECT_EQ(272, Rect(s_clips[0]).top);
    SetDockMoveAlong(1);
    QzsDefSubWinProc(cover, WM_MOVE, 0, 0);
    EXPECT_EQ(272, Rect(s_clips[0]).top);
    QzsDefSubWinProc(sub, WM_MOVE, 0, 0);
    EXPECT_EQ(400, Rect(s_clips[0]).left);
    EXPECT_EQ(350 - 28, Rect(s_clips[0]).top);
    EXPECT_EQ(600 - 50, Rect(s_clips[1]).left);

    for (HWND w : {sub, s_clips[0], s_clips[1], cover})
        DestroyWindow(w);
}

TEST_F(SubWindowTest, PluginsMayHideDestroyOrReloadFromInsideANotification)
{
    ASSERT_EQ(1, RegisterSubParentWindowClass());
    g_subParent = CreateWindowExA(0, kClassSubParent, "", WS_OVERLAPPED, 0, 0, 0, 0, NULL, NULL, NULL, NULL);
    Load({"s_hide", "s_destroy", "s_reload", "s_recc"});
    ImageWindow window = {};
    g_currentWindow = &window; // commands need a window to reach the dispatcher
    HMODULE modules[4];
    for (int row = 0; row < 4; row++)
        modules[row] = g_subWindows[row].module;
    ClearLogs();

    BroadcastImageChanged(nullptr, nullptr, nullptr, 1);
    for (int row = 0; row < 4; row++) {
        EXPECT_EQ("Image(0,0,0,1);", Log(row)) << row; // every row heard it
        EXPECT_EQ(modules[row], g_subWindows[row].module) << row;
    }
    EXPECT_EQ(0, g_subWindows[0].shown); // hidden through the host
    EXPECT_FALSE(IsWindow(g_subWindows[1].window));
    EXPECT_FALSE(InSubWindowCall());
    // The reload waits in the queue until the plug-in's call has returned.
    MSG posted;
    ASSERT_TRUE(PeekMessageA(&posted, (HWND)-1, WM_COMMAND, WM_COMMAND, PM_REMOVE));
    EXPECT_EQ(32072u, LOWORD(posted.wParam));

    // The next broadcast goes on as before; the destroyed window is simply gone.
    ClearLogs();
    BroadcastImageListChanged();
    EXPECT_EQ("ImageList(0);", Log(3));
    g_currentWindow = nullptr;
    DestroyWindow(g_subParent);
    g_subParent = nullptr;
}
