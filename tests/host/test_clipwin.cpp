// Clip windows with sub-window plug-ins docked: the bar's size and the members' places for one to
// five members, its buttons, the grip, changing sides, releasing and disposing, and the layout
// file written and read back, also when it is malformed.
#include "loader_fixture.h"
#include "base/notify.h"
#include "plugins/subwin.h"
#include "shell/clipwin.h"
#include "shell/commands.h"
#include "shell/toolbar.h"

namespace {

class ClipTest : public LoaderTest {
protected:
    HWND mainWindow = nullptr;

    void SetUp() override
    {
        LoaderTest::SetUp();
        ASSERT_EQ(1, RegisterClipWindowClass());
        g_notify.dockedClips = ClipWindowsOfMember;
        HMENU bar = CreateMenu(), view = CreatePopupMenu();
        for (int i = 0; i < 5; i++)
            AppendMenuA(view, MF_STRING, kSubWindowMenuFirst + i, "row");
        AppendMenuA(bar, MF_POPUP, (UINT_PTR)view, "View");
        mainWindow = CreateWindowExA(0, "STATIC", "main", WS_POPUP, 0, 0, 400, 40, NULL, bar, NULL, NULL);
        g_mainWindow = mainWindow;
    }
    void TearDown() override
    {
        while (FirstClipWindow())
            DisposeClip(FirstClipWindow());
        FreeToolButtons(false);
        DestroyWindow(mainWindow);
        g_mainWindow = nullptr;
        LoaderTest::TearDown();
    }
    // Five sub-window plug-ins, their windows and tool buttons.
    void Load()
    {
        std::string list = "1280 960\n";
        int i = 0;
        for (const char *stem : {"s_plain", "s_other", "s_reca", "s_recc", "s_zpen"}) {
            Put(g_cfg.Subwin_dir, stem);
            list += std::string(stem) + ".ovp " + std::to_string(100 + 80 * i++) + " 500 1\n";
        }
        WriteFileText(Stat("subwin.pin"), list);
        ASSERT_EQ(5, LoadSubWindowPlugins());
        CreateSubWindows();
        ShowSubWindows();
        CreateSubWindowButtons();
    }
    std::string Stat(const char *name) { return std::string(g_cfg.Stat_dir) + "\\" + name; }
    static RECT Rect(HWND w)
    {
        RECT r = {};
        GetWindowRect(w, &r);
        return r;
    }
    static bool Visible(int row) { return IsWindowVisible(g_subWindows[row].window) != 0; }
    bool Greyed(int row)
    {
        return (GetMenuState(GetMenu(mainWindow), kSubWindowMenuFirst + row, MF_BYCOMMAND) & MF_GRAYED) != 0;
    }
    static void Click(ClipWindow *clip, int x) { SendMessageA(clip->window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, 10)); }
    static int Clips()
    {
        int n = 0;
        for (ClipWindow *c = FirstClipWindow(); c; c = c->next)
            n++;
        return n;
    }
};

} // namespace

TEST_F(ClipTest, BarGrowsPerMemberAndEachMemberHangsBelowIt)
{
    Load();
    ClipWindow *clip = CreateClipWindow(NULL, 200, 100, 0);
    ASSERT_NE(nullptr, clip);
    char text[16];
    GetClassNameA(clip->window, text, sizeof text);
    EXPECT_STREQ("CLIPWIN", text);
    GetWindowTextA(clip->window, text, sizeof text);
    EXPECT_STREQ("Clip", text);
    for (int k = 0; k <= 5; k++) {
        SCOPED_TRACE(k);
        if (k > 0) {
            SendMessageA(clip->window, WM_COMMAND, kSubWindowMenuFirst + k - 1, 0); // from its popup
        }
        ASSERT_EQ(k, CountClipMembers(clip));
        RECT client, bar = Rect(clip->window);
        GetClientRect(clip->window, &client);
        EXPECT_EQ((k + 1) * 23 + 16, client.right);
        EXPECT_EQ(23, client.bottom);
        EXPECT_EQ(200, bar.left);
        for (int row = 0; row < k; row++) {
            RECT r = Rect(g_subWindows[row].window);
            EXPECT_EQ(bar.left, r.left) << row;
            EXPECT_EQ(bar.bottom + 1, r.top) << row;
            EXPECT_EQ(row == k - 1, Visible(row)) << row; // the newest shown, the others hidden
            EXPECT_EQ(1, g_subWindows[row].docked);
            EXPECT_FALSE(FindToolButton(kButtonSubWindow, row)->visible);
            EXPECT_TRUE(Greyed(row));
        }
        if (k > 0) {
            EXPECT_EQ(g_subWindows[k - 1].window, clip->active->window);
        }
    }
    // A row docks once only.
    DockSubWindow(clip, 0);
    EXPECT_EQ(5, CountClipMembers(clip));
}

TEST_F(ClipTest, ButtonsSwapAndHideMembersAndTheGripDrags)
{
    Load();
    ClipWindow *clip = CreateClipWindow(NULL, 200, 100, 0);
    DockSubWindow(clip, 0);
    DockSubWindow(clip, 1);
    ASSERT_TRUE(Visible(1));
    ASSERT_FALSE(Visible(0));
    Click(clip, 39 + 10); // member 0's button
    EXPECT_TRUE(Visible(0));
    EXPECT_FALSE(Visible(1));
    EXPECT_EQ(g_subWindows[0].window, clip->active->window);
    EXPECT_EQ(1, g_subWindows[0].shown);
    Click(clip, 39 + 10); // the shown member's button hides it
    EXPECT_FALSE(Visible(0));
    EXPECT_FALSE(Visible(1));
    EXPECT_EQ(nullptr, clip->active);
    Click(clip, 39 + 23 + 12);
    EXPECT_TRUE(Visible(1));
    Click(clip, 39 + 23 * 2 + 12); // no member there
    EXPECT_TRUE(Visible(1));

    RECT bar = Rect(clip->window);
    POINT client = {0, 0};
    ClientToScreen(clip->window, &client);
    EXPECT_EQ(HTCAPTION, SendMessageA(clip->window, WM_NCHITTEST, 0, MAKELPARAM(bar.left + 5, client.y + 5)));
    EXPECT_EQ(HTCLIENT, SendMessageA(clip->window, WM_NCHITTEST, 0, MAKELPARAM(bar.left + 30, client.y + 5)));
    SendMessageA(clip->window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(clip->window));

    // The bar moves: its members follow. A member moves: the bar follows it.
    SetWindowPos(clip->window, NULL, 300, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(300, Rect(g_subWindows[0].window).left);
    EXPECT_EQ(Rect(clip->window).bottom + 1, Rect(g_subWindows[0].window).top);
    SetWindowPos(g_subWindows[1].window, NULL, 500, 400, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    QzsDefSubWinProc(g_subWindows[1].window, WM_MOVE, 0, 0);
    EXPECT_EQ(500, Rect(clip->window).left);
    EXPECT_EQ(399, Rect(clip->window).bottom);
    EXPECT_EQ(500, Rect(g_subWindows[0].window).left);
}

// A bar made by the command belongs to the main window; one read from the layout file to the
// sub-window parent, as its members do.
TEST_F(ClipTest, OwnersOfNewAndRestoredBars)
{
    Load();
    HWND subParent = CreateWindowExA(0, "STATIC", "sub parent", WS_POPUP, 0, 0, 0, 0, NULL, NULL, NULL, NULL);
    g_subParent = subParent;
    ImageWindow window = {};
    DispatchCommand(&window, 32088, 0);
    ASSERT_EQ(1, Clips());
    EXPECT_EQ(mainWindow, GetWindow(FirstClipWindow()->window, GW_OWNER));
    RECT bar = Rect(FirstClipWindow()->window);
    EXPECT_EQ(400, bar.left);
    EXPECT_EQ(300, bar.top);
    DisposeClip(FirstClipWindow());

    WriteFileText(Stat("clipwin.dat"), "10 20 0\r\n//\r\n##");
    RestoreClipWindowLayout();
    ASSERT_EQ(1, Clips());
    EXPECT_EQ(subParent, GetWindow(FirstClipWindow()->window, GW_OWNER));
    DisposeClip(FirstClipWindow());
    g_subParent = NULL;
    DestroyWindow(subParent);
}

TEST_F(ClipTest, ChangePositionAndMoveToSide)
{
    Load();
    ClipWindow *left = CreateClipWindow(NULL, 200, 100, 0), *right = CreateClipWindow(NULL, 300, 300, 0);
    DockSubWindow(left, 0);
    DockSubWindow(right, 1);
    DockSubWindow(right, 2);
    SendMessageA(right->window, WM_COMMAND, 30400, 0);
    EXPECT_EQ(1, right->rightEdge);
    for (int row : {1, 2})
        EXPECT_EQ(Rect(right->window).right, Rect(g_subWindows[row].window).right) << row;
    MoveClipWindowsToSide();
    int screen = GetSystemMetrics(SM_CXSCREEN);
    EXPECT_EQ(0, Rect(left->window).left);
    EXPECT_EQ(100, Rect(left->window).top);
    EXPECT_EQ(screen, Rect(right->window).right);
    EXPECT_EQ(300, Rect(right->window).top);
    EXPECT_EQ(0, Rect(g_subWindows[0].window).left);
    EXPECT_EQ(screen, Rect(g_subWindows[2].window).right);
    SendMessageA(right->window, WM_COMMAND, 30400, 0); // and back to the left edge
    EXPECT_EQ(Rect(right->window).left, Rect(g_subWindows[1].window).left);
}

TEST_F(ClipTest, ReleaseAndDisposeGiveTheToolWindowsBack)
{
    Load();
    ClipWindow *clip = CreateClipWindow(NULL, 200, 100, 0);
    for (int row : {0, 1, 2})
        DockSubWindow(clip, row);
    // The active member released: the first one left is shown.
    ReleaseClipMember(clip, clip->active);
    EXPECT_EQ(2, CountClipMembers(clip));
    EXPECT_EQ(g_subWindows[0].window, clip->active->window);
    EXPECT_TRUE(Visible(0));
    for (int row : {2}) {
        EXPECT_TRUE(Visible(row));
        EXPECT_EQ(0, g_subWindows[row].docked);
        EXPECT_TRUE(FindToolButton(kButtonSubWindow, row)->visible);
        EXPECT_TRUE(FindToolButton(kButtonSubWindow, row)->pressed);
        EXPECT_FALSE(Greyed(row));
    }
    RECT client;
    GetClientRect(clip->window, &client);
    EXPECT_EQ(3 * 23 + 16, client.right);

    HWND window = clip->window;
    SendMessageA(window, WM_COMMAND, 30300, 0); // "Dispose clip"
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(nullptr, FirstClipWindow());
    for (int row : {0, 1, 2}) {
        EXPECT_TRUE(Visible(row)) << row;
        EXPECT_EQ(0, g_subWindows[row].docked) << row;
        EXPECT_TRUE(FindToolButton(kButtonSubWindow, row)->visible) << row;
        EXPECT_FALSE(Greyed(row)) << row;
    }
    // The list still works after its only record went.
    ClipWindow *again = CreateClipWindow(NULL, 10, 10, 0);
    EXPECT_EQ(again, FirstClipWindow());
}

TEST_F(ClipTest, LayoutIsWrittenAndReadBack)
{
    Load();
    ClipWindow *a = CreateClipWindow(NULL, 100, 200, 0), *b = CreateClipWindow(NULL, 400, 300, 1);
    DockSubWindow(a, 0);
    DockSubWindow(a, 1);
    DockSubWindow(b, 3);
    SetActiveClipMember(b, b->active, 0, 1);
    SaveClipWindowLayout();
    EXPECT_EQ(nullptr, FirstClipWindow());
    // A text file: CR LF line ends, no line end after the closing "##".
    const std::string written = "100 200 0\r\nSubWin \"Test Sub\"\r\nSubWin \"Test Sub 2\" *\r\n//\r\n"
                                "400 300 1\r\nSubWin \"Rec C\"\r\n//\r\n##";
    EXPECT_EQ(written, ReadFileText(Stat("clipwin.dat")));

    // Read back as written, and the same with bare LF line ends.
    std::string bare;
    for (char c : written)
        if (c != '\r')
            bare += c;
    for (const std::string &text : {written, bare}) {
        SCOPED_TRACE(text.size());
        WriteFileText(Stat("clipwin.dat"), text);
        while (FirstClipWindow())
            DisposeClip(FirstClipWindow());
        RestoreClipWindowLayout();
        EXPECT_TRUE(boxes.boxes.empty());
        ASSERT_EQ(2, Clips());
        a = FirstClipWindow();
        b = a->next;
        EXPECT_EQ(100, Rect(a->window).left);
        EXPECT_EQ(200, Rect(a->window).top);
        EXPECT_EQ(400, Rect(b->window).left);
        EXPECT_EQ(1, b->rightEdge);
        ASSERT_EQ(2, CountClipMembers(a));
        EXPECT_EQ(g_subWindows[0].window, ClipMemberAt(a, 0)->window);
        EXPECT_EQ(g_subWindows[1].window, a->active->window);
        EXPECT_TRUE(Visible(1));
        EXPECT_FALSE(Visible(0));
        ASSERT_EQ(1, CountClipMembers(b));
        EXPECT_EQ(nullptr, b->active); // no mark: nothing shown
        EXPECT_FALSE(Visible(3));
        EXPECT_EQ(Rect(b->window).right, Rect(g_subWindows[3].window).right);
    }

    // A file that cannot be replaced stays as it was; the bars go all the same.
    std::string before = ReadFileText(Stat("clipwin.dat"));
    SetFileAttributesA(Stat("clipwin.dat").c_str(), FILE_ATTRIBUTE_READONLY);
    DockSubWindow(a, 2);
    SaveClipWindowLayout();
    SetFileAttributesA(Stat("clipwin.dat").c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(before, ReadFileText(Stat("clipwin.dat")));
    EXPECT_EQ(nullptr, FirstClipWindow());
}

TEST_F(ClipTest, MalformedLayoutsAreReportedAndKeepWhatWasRead)
{
    Load();
    std::string many;
    for (int i = 0; i < 70; i++)
        many += "1 1 0\n//\n";
    struct Case {
        const char *what;
        std::string text;
        bool box;
        int clips, members; // members of the first bar
    } cases[] = {
        {"empty", "", true, 0, 0},
        {"no end", "100 100 0\n//\n", true, 1, 0},
        {"ends among members", "100 100 0\nSubWin \"Test Sub\"\n", true, 1, 1},
        {"empty member line", "100 100 0\n\n//\n##", true, 1, 0},
        {"empty clip line", "\n##", true, 0, 0},
        {"no numbers", "left top 0\n//\n##", true, 0, 0},
        {"two numbers", "5 5\n//\n##", true, 0, 0},
        {"huge position", "99999999999 5 0\n//\n##", true, 0, 0},
        {"too many bars", many + "##", true, kMostClipWindows, 0},
        {"unknown and repeated names, other lines, any case",
         "10 10 0\nsubwin \"Not Loaded\" *\nSUBWIN \"test sub\"\nSubWin \"Test Sub\" *\nnoise\n//\n##", false, 1, 1},
        {"a name longer than a line", "10 10 0\nSubWin \"" + std::string(5000, 'x') + "\" *\n//\n##", false, 1, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        WriteFileText(Stat("clipwin.dat"), c.text);
        boxes.boxes.clear();
        RestoreClipWindowLayout();
        if (c.box) {
            ASSERT_EQ(1u, boxes.boxes.size());
            EXPECT_EQ("EE", boxes.boxes[0].text);
            EXPECT_EQ("MES", boxes.boxes[0].caption);
        } else {
            EXPECT_TRUE(boxes.boxes.empty());
        }
        EXPECT_EQ(c.clips, Clips());
        EXPECT_EQ(c.members, CountClipMembers(FirstClipWindow()));
        while (FirstClipWindow())
            DisposeClip(FirstClipWindow());
    }
    // No file: nothing, and no box.
    DeleteFileA(Stat("clipwin.dat").c_str());
    boxes.boxes.clear();
    RestoreClipWindowLayout();
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(0, Clips());
}
