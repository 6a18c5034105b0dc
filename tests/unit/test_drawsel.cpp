// Choosing the draw method: refusals that change nothing, choosing by name, the stack of saved
// methods, the greyed draw buttons and the mode text.
#include "testsupport.h"
#include "draw/drawmouse.h"
#include "draw/drawsel.h"
#include "base/app.h"
#include "base/notify.h"
#include "base/settings.h"
#include "image/bindings.h"
#include "image/colors.h"
#include "plugins/params.h"
#include "shell/commands.h"
#include "shell/menus.h"
#include "shell/toolbar.h"
#include <string.h>
#include <string>
#include <vector>

namespace {

int QZCAPI FakeSetPoint(ImageWindow *, int, int, int) { return 1; }
int QZCAPI FakeGuide(ImageWindow *, int, int, int, int, int) { return 0; }
int QZCAPI FakeDrawIt(ImageWindow *, int, int, int) { return 0; }
int QZCAPI FakeCancel(ImageWindow *, int, int) { return 4; }

std::string g_status;
void CaptureStatus(int part, const char *text)
{
    if (part == 1)
        g_status = text;
}

class DrawSelectTest : public HostTest {
protected:
    void SetUp() override
    {
        HostTest::SetUp();
        snprintf(g_cfg.Stat_dir, sizeof g_cfg.Stat_dir, "%s", dir.path().c_str());
        snprintf(g_cfg.Draw_dir, sizeof g_cfg.Draw_dir, "%s", dir.path().c_str());
        WriteFileText(dir.file("QzMain.mnu.JPN"), "@&File\n#Quit\n$draw Draw-J\n");
        // Rows 0 plain, 1 a fill tool, 2 empty, 3 a click method, 4 a free method that draws at once.
        Row(0, "Plain", 1, 0, "plain.ovp");
        Row(1, "Filler", 3, 1, "filler.ovp");
        Row(3, "Later", 2, 0, "later.ovp");
        Row(4, "Sprayer", 4, 0x22, "sprayer.ovp");
        for (const char *panel : {"plain", "filler", "later", "sprayer"})
            WriteFileText(dir.file(std::string(panel) + ".ppd"), "100 50\n");
        g_drawParamWindow = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 200, 100, NULL, NULL, g_instance, NULL);
        CreateDrawButtons();
        BuildMainMenu();
        g_notify.statusBarText = CaptureStatus;
        g_status.clear();
    }
    void TearDown() override
    {
        CloseParameterPanel(g_cfg.Draw_dir, GetParameterPanel(kPanelDraw), 0);
        DestroyWindow(g_drawParamWindow);
        g_drawParamWindow = NULL;
        FreeToolButtons(false);
        memset(g_drawPlugins, 0, sizeof g_drawPlugins);
        memset(&g_colorFunctions[0], 0, sizeof g_colorFunctions[0]);
        HostTest::TearDown();
    }
    static void Row(int i, const char *name, int kind, int info, const char *file)
    {
        DrawPluginRecord &r = g_drawPlugins[i];
        memset(&r, 0, sizeof r);
        r.module = GetModuleHandleA(NULL);
        r.interaction = kind;
        r.info = info;
        strcpy(r.name, name);
        strcpy(r.file, file);
        r.QzcSetPoint = FakeSetPoint;
        r.QzcDrawGuideLine = FakeGuide;
        r.QzcDrawIt = FakeDrawIt;
        r.QzcCancelOne = FakeCancel;
    }
    // Functional colour 1 for the drawing colour, with its info word.
    static void UseColorFunction(int info)
    {
        ColorFunctionRecord &row = g_colorFunctions[0];
        row.module = GetModuleHandleA(NULL);
        row.info = info;
        QzsGetColor(0)->function = 1;
    }
    // What shows which method is current: its row, the pressed buttons, the checked menu items and
    // the draw panel's name.
    std::string Shown()
    {
        std::string s = std::to_string(GetCurrentDraw()) + " buttons";
        for (ToolButton *b = g_firstButton; b; b = b->next)
            if (b->kind == kButtonDraw && b->pressed)
                s += " " + std::to_string(b->id);
        s += " menu";
        for (int row = 0; row < 5; row++) {
            UINT state = GetMenuState(GetMainMenu(), kFirstDrawCommand + row, MF_BYCOMMAND);
            if (state != (UINT)-1 && (state & MF_CHECKED))
                s += " " + std::to_string(row);
        }
        ParameterPanel *panel = GetParameterPanel(kPanelDraw);
        return s + " panel " + (panel ? panel->name : "none");
    }
    std::string Greyed()
    {
        std::string s;
        for (int row = 0; row < 5; row++)
            s += IsDrawButtonEnabled(row) ? '.' : 'x';
        return s;
    }
};

} // namespace

TEST_F(DrawSelectTest, RefusedChoicesChangeNothing)
{
    ASSERT_EQ(SelectDraw(0), 1);
    const std::string chosen = "0 buttons 0 menu 0 panel plain";
    EXPECT_EQ(Shown(), chosen);
    EXPECT_EQ(g_status, "Drag");
    struct Case {
        const char *what;
        int row;
        bool lock;
        int colorInfo; // -1: no functional colour
        const char *message;
    } cases[] = {
        {"an empty row", 2, false, -1, nullptr},
        {"past the table", kDrawRows, false, -1, nullptr},
        {"before the table", -1, false, -1, nullptr},
        {"locked", 3, true, -1, "Can't change drawing method.\nBecause it is locked"},
        {"a fill tool with a colour that cannot fill", 1, false, 2, "Illegal combination--draw and color"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        boxes.boxes.clear();
        g_status.clear();
        if (c.lock)
            QzsLockDraw(g_mainWindow, 1);
        if (c.colorInfo >= 0)
            UseColorFunction(c.colorInfo);
        EXPECT_EQ(SelectDraw(c.row), 0);
        EXPECT_EQ(Shown(), chosen);
        EXPECT_EQ(g_status, "");
        ASSERT_EQ(boxes.boxes.size(), c.message ? 1u : 0u);
        if (c.message) {
            EXPECT_EQ(boxes.boxes[0].text, c.message);
        }
        QzsLockDraw(g_mainWindow, 0);
        QzsGetColor(0)->function = 0;
    }
    // A fill tool with a colour that can fill, then a method found by name in any case, past the
    // empty row.
    UseColorFunction(0);
    EXPECT_EQ(SelectDraw(1), 1);
    EXPECT_EQ(Shown(), "1 buttons 1 menu 1 panel filler");
    EXPECT_EQ(g_status, "Drag");
    EXPECT_EQ(QzsSetDrawByName("lATER"), 3);
    EXPECT_EQ(Shown(), "3 buttons 3 menu 3 panel later");
    EXPECT_EQ(g_status, "Click");
    EXPECT_EQ(QzsSetDrawByName("Nothing"), -1);
    QzsLockDraw(g_mainWindow, 1);
    EXPECT_EQ(QzsSetDrawByName("Plain"), -2);
    EXPECT_EQ(QzsCheckLockDraw(), 1);
    EXPECT_EQ(Shown(), "3 buttons 3 menu 3 panel later");
    EXPECT_EQ(QzsGetDrawInfo(3), &g_drawPlugins[3]);
    EXPECT_EQ(QzsGetDrawInfo(2), nullptr);
    EXPECT_EQ(QzsGetDrawInfo(80), nullptr);
}

TEST_F(DrawSelectTest, SavedMethodsComeBackFromAnyPlaceOfTheStack)
{
    SelectDraw(0);
    void *head = QzsPushDraw();
    SelectDraw(3);
    void *middle = QzsPushDraw();
    SelectDraw(4);
    void *tail = QzsPushDraw();
    SelectDraw(1);
    ASSERT_TRUE(head && middle && tail);

    EXPECT_EQ(QzsPopDraw(middle), 1);
    EXPECT_EQ(GetCurrentDraw(), 3);
    EXPECT_EQ(QzsPopDraw(middle), 0); // gone
    EXPECT_EQ(QzsPopDraw(tail), 1);
    EXPECT_EQ(GetCurrentDraw(), 4);
    void *again = QzsPushDraw(); // appended after the head, which is now also the tail
    EXPECT_EQ(QzsPopDraw(head), 1);
    EXPECT_EQ(GetCurrentDraw(), 0);
    // A choice refused while locked still takes the node off the stack.
    QzsLockDraw(g_mainWindow, 1);
    EXPECT_EQ(QzsPopDraw(again), 1);
    EXPECT_EQ(GetCurrentDraw(), 0);
    EXPECT_EQ(QzsPopDraw(again), 0);
    EXPECT_EQ(QzsPopDraw(nullptr), 0);
}

TEST_F(DrawSelectTest, ButtonsAreGreyedByTheLockAndTheFillRule)
{
    SelectDraw(0);
    struct Step {
        const char *what;
        int lock;       // -1 leave
        int colorInfo;  // -1 no functional colour
        const char *greyed;
    } steps[] = {
        {"locked", 1, -1, "xxxxx"},
        {"unlocked", 0, -1, "....."},
        {"a colour that cannot fill", -1, 2, ".x..."},
        {"locked with it", 1, 2, "xxxxx"},
        {"unlocked with it", 0, 2, ".x..."},
        {"a colour that can fill", -1, 0, "....."},
    };
    for (const Step &s : steps) {
        SCOPED_TRACE(s.what);
        if (s.colorInfo >= 0) {
            UseColorFunction(s.colorInfo);
            SetColorFunctionDrawMode(1);
        } else {
            QzsGetColor(0)->function = 0;
        }
        if (s.lock >= 0)
            QzsLockDraw(g_mainWindow, s.lock);
        EXPECT_EQ(Greyed(), s.greyed);
    }
    // The colour's draw flags go to the drawing colour.
    UseColorFunction(2 | 4);
    SetColorFunctionDrawMode(1);
    EXPECT_EQ(QzsGetColor(0)->drawFlags, 4);
    SetColorFunctionDrawMode(0);
    EXPECT_EQ(QzsGetColor(0)->drawFlags, 0);
}

TEST_F(DrawSelectTest, AColourThatCannotFillMovesOffAFillTool)
{
    SelectDraw(1);
    UseColorFunction(2);
    EXPECT_EQ(SelectDrawForColorFunction(), 1);
    EXPECT_EQ(GetCurrentDraw(), 0);
    EXPECT_TRUE(boxes.boxes.empty());
    // With only fill tools left nothing fits.
    g_drawPlugins[0].info = g_drawPlugins[3].info = g_drawPlugins[4].info = 1;
    g_drawPlugins[1].info = 1;
    EXPECT_EQ(SelectDrawForColorFunction(), 0);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "No draw-method using pen\n Can't use function color");
}

TEST_F(DrawSelectTest, ModeTextInTheStatusBar)
{
    struct Case {
        int row, clickMode;
        bool checkMode;
        const char *text;
    } cases[] = {
        {0, 1, false, "Drag"},          {0, 1, true, "Drag/CHECK_ON"}, {1, 1, false, "Drag"},
        {1, 2, false, "Click"},         {1, 2, true, "Click/CHECK_ON"}, {3, 1, false, "Click"},
        {4, 1, true, "Free"}, // draws at once even in check mode
    };
    for (const Case &c : cases) {
        if (QzsGetClickMode() != c.clickMode)
            ChangeDrawMode();
        SetCheckMode(c.checkMode);
        g_status.clear();
        SelectDraw(c.row);
        EXPECT_EQ(g_status, c.text) << c.row << " " << c.clickMode << " " << c.checkMode;
    }
    char text[32];
    for (int mode : {0, 3, 5, -1}) {
        DrawModeName(mode, text, sizeof text);
        EXPECT_STREQ(text, mode == 0 ? "***" : mode == 3 ? "!SYSError!" : "") << mode;
    }
    SetCheckMode(false);
}
