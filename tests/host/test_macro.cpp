// Keyboard macros with real plug-ins: figures drawn with the mouse are recorded with the state
// that changed before each one and replayed at the mouse position; an effect is recorded with its
// parameters and replays with the same ones.
#include "draw_fixture.h"
#include "image/cdib.h"
#include "plugins/effectdlg.h"
#include "plugins/params.h"
#include "script/macro.h"
#include "script/script.h"
#include "view/groupview.h"
#include <stdio.h>
#include <string>

namespace {

typedef void(QZCAPI *SetupProc)(int kind, int info, const char *results, int cancelResult);
typedef const char *(QZCAPI *LogProc)(void);

// The real pointer places the replay: "Pointer" in the name runs the test alone.
class MacroPointerTest : public DrawWindowTest {
protected:
    std::string path;

    void SetUp() override
    {
        DrawWindowTest::SetUp();
        Put(g_cfg.Draw_dir, "d_rec");
        ASSERT_EQ(LoadDrawPlugins(), 1);
        width = 200, height = 100;
        OpenWindow();
        path = dir.file("keymac1.ovm");
    }
    void TearDown() override
    {
        if (IsMacroRecording())
            ToggleMacroRecording(nullptr);
        SetScriptFixPoint(0, 0, 0);
        DrawWindowTest::TearDown();
    }
    std::string Calls()
    {
        std::string log = ((LogProc)GetProcAddress(g_drawPlugins[0].module, "TpDrawLog"))();
        ((void(QZCAPI *)(void))GetProcAddress(g_drawPlugins[0].module, "TpClearDrawLog"))();
        return log;
    }
    void Drag(int x0, int y0, int x1, int y1)
    {
        Send(WM_LBUTTONDOWN, x0, y0, MK_LBUTTON);
        Send(WM_MOUSEMOVE, (x0 + x1) / 2, (y0 + y1) / 2, MK_LBUTTON);
        Send(WM_LBUTTONUP, x1, y1);
    }
    static std::string ColorLine(int i)
    {
        const ColorRecord *c = QzsGetColor(i);
        char line[160];
        snprintf(line, sizeof line, "SetColor %d %d %d %d %d %d %d %d\n", i, c->red, c->green, c->blue, c->function,
                 c->opacity, c->regionBits, c->regionMode);
        return line;
    }
};

} // namespace

TEST_F(MacroPointerTest, RecordsTheChangedStateBeforeEachFigureAndReplaysAtTheMouse)
{
    ((SetupProc)GetProcAddress(g_drawPlugins[0].module, "TpDrawSetup"))(1, 0, "4", 4);
    ASSERT_EQ(SelectDraw(0), 1);
    // A 5 x 5 pen whose cells in use are the middle 3 x 3.
    for (const char *line : {"setpen 5 2 2 1 1 3 3 0", "setpenopa 1 10 ff 10", "setpenopa 2 ff ff ff",
                             "setpenopa 3 10 ff 1", "setpencol 2 0 2 0", "setpenend"})
        ExecuteScriptLine(w, line);

    ASSERT_EQ(ToggleMacroRecording(path.c_str()), 1);
    std::string want;
    for (int i = 0; i < 16; i++)
        want += ColorLine(i);
    want += "SetPen 5 2 2 1 1 3 3 0\n"
            "SetPenOpa 1 10 ff 10 \nSetPenOpa 2 ff ff ff \nSetPenOpa 3 10 ff  1 \n"
            "SetPenCol 1  0  0  0 \nSetPenCol 2  0  2  0 \nSetPenCol 3  0  0  0 \n"
            "SetPenEnd\n"
            "SetDraw \"Test Recorder\"\n"
            "Draw SetPoint 10 10 1\nDraw SetPoint 30 20 0\nDraw DrawIt 30 20 0\n";
    Drag(10, 10, 30, 20);
    // Nothing changed: the second figure has its points only.
    want += "Draw SetPoint 40 12 1\nDraw SetPoint 50 30 0\nDraw DrawIt 50 30 0\n";
    Drag(40, 12, 50, 30);
    // The opacity of record 1 and one cell of the pen.
    QzsSetColorOpacity(1, 77);
    QzsGetPen()->weights[2 * 5 + 2] = 0x33;
    want += ColorLine(1) +
            "SetPen 5 2 2 1 1 3 3 0\n"
            "SetPenOpa 1 10 ff 10 \nSetPenOpa 2 ff 33 ff \nSetPenOpa 3 10 ff  1 \n"
            "SetPenCol 1  0  0  0 \nSetPenCol 2  0  2  0 \nSetPenCol 3  0  0  0 \n"
            "SetPenEnd\n"
            "Draw SetPoint 60 5 1\nDraw SetPoint 62 40 0\nDraw DrawIt 62 40 0\n";
    Drag(60, 5, 62, 40);
    EXPECT_EQ(ToggleMacroRecording(path.c_str()), 0);
    EXPECT_EQ(ReadListText(path), want);
    EXPECT_EQ(Calls(), "S 10 10 1\nG 10 10 0 0 1\nG 20 15 1 1 1\nG 20 15 0 0 0\nS 30 20 0\nD 30 20 0\n"
                       "S 40 12 1\nG 40 12 0 0 1\nG 45 21 1 1 1\nG 45 21 0 0 0\nS 50 30 0\nD 50 30 0\n"
                       "S 60 5 1\nG 60 5 0 0 1\nG 61 22 1 1 1\nG 61 22 0 0 0\nS 62 40 0\nD 62 40 0\n");

    // Another pen and colour in between: the replay brings back the recorded ones.
    ExecuteScriptLine(w, "setpen 2 0 0 0 0 1 1 0");
    const int recordedRed = QzsGetColor(3)->red;
    QzsSetColorRGB(3, recordedRed ^ 1, 2, 3);
    PutCursor(110, 10); // 100 pixels right of the first recorded point
    EXPECT_EQ(PlayMacroFile(path.c_str()), 1);
    EXPECT_EQ(Calls(), "S 110 10 1\nS 130 20 0\nD 130 20 0\nS 140 12 1\nS 150 30 0\nD 150 30 0\n"
                       "S 160 5 1\nS 162 40 0\nD 162 40 0\n");
    for (POINT p : {POINT{110, 10}, POINT{130, 20}, POINT{140, 12}, POINT{150, 30}, POINT{160, 5}, POINT{162, 40}})
        EXPECT_EQ(Pixel(p.x, p.y), 0xFF000000u) << p.x << "," << p.y;
    EXPECT_EQ(QzsGetPen()->side, 5);
    EXPECT_EQ(QzsGetPen()->weights[2 * 5 + 2], 0x33u);
    EXPECT_EQ(QzsGetColor(3)->red, recordedRed);
    EXPECT_EQ(QzsGetColor(1)->opacity & 255, 77);
    EXPECT_EQ(g_drawState, kDrawIdle);
    EXPECT_TRUE(boxes.boxes.empty());
}

namespace {

// The test effect paints from a hash of its first three parameters (tests/plugins/testplugin.c).
uint32_t ParamPixel(const char *const params[3], int x, int y)
{
    uint32_t hash = 2166136261u;
    for (int i = 0; i < 3; i++) {
        for (const unsigned char *p = (const unsigned char *)params[i]; *p; p++)
            hash = (hash ^ *p) * 16777619u;
        hash = (hash ^ '|') * 16777619u;
    }
    return 0xFF000000u | ((hash ^ (uint32_t)(x * 0x9E37 + y * 0x85EB)) & 0xFFFFFFu);
}

class EffectMacroTest : public LoaderTest {
protected:
    ImageGroup *group = nullptr;
    ImageWindow *w = nullptr;
    static const int kW = 24, kH = 16;

    void SetUp() override
    {
        LoaderTest::SetUp();
        ASSERT_EQ(RegisterImageWindowClass(), 1);
        ASSERT_EQ(RegisterStatusWindowClass(), 1);
        g_statusWindowsOn = 0;
        Put(g_cfg.Effect_dir, "e_param");
        Put(g_cfg.Effect_dir, "e_set");
        CDIB *base = nullptr;
        QzsCreateNewImage(&base, kW, kH, 32);
        ASSERT_NE(base, nullptr);
        ASSERT_EQ(AddImageGroup(base), 1);
        group = g_lastGroup;
        w = CreateImageWindow(0, 0, 200, 150);
        ASSERT_NE(w, nullptr);
        ShowGroupInWindow(w, group, 1, 0);
        if (!w->drawBuffer) {
            w->group = group;
            ASSERT_EQ(BuildWindowDisplay(w, group, false), 1);
        }
        MakeWindowCurrent(w);
        Clear();
    }
    void TearDown() override
    {
        if (IsMacroRecording())
            ToggleMacroRecording(nullptr);
        FreeGlobalParameters();
        LoaderTest::TearDown();
    }
    void Clear()
    {
        for (int i = 0; i < kW * kH; i++)
            ((uint32_t *)group->base->pixels)[i] = 0xFF808080u;
    }
    // What the setter effect read from its first three parameters, "p0|p1|p2|".
    static std::string SetterParams()
    {
        int row = FindEffectByName("Test Setter");
        if (row < 0)
            return "(not loaded)";
        return ((LogProc)GetProcAddress(g_effectPlugins[row].module, "TpEffectParams"))();
    }
    int Wrong(const char *const params[3])
    {
        int bad = 0;
        for (int y = 0; y < kH; y++)
            for (int x = 0; x < kW; x++)
                bad += ((uint32_t *)group->base->pixels)[y * kW + x] != ParamPixel(params, x, y);
        return bad;
    }
};

} // namespace

TEST_F(EffectMacroTest, AnEffectReplaysWithTheParametersItWasAppliedWith)
{
    const char *const params[3] = {"7", "say \"hi\" \\o/", "two\r\nlines"};
    std::string path = dir.file("keymac1.ovm");
    ASSERT_EQ(ToggleMacroRecording(path.c_str()), 1);
    EnsureEffectsLoaded();
    int row = FindEffectByName("Test Params");
    ASSERT_GE(row, 0);
    for (int i = 0; i < 3; i++)
        SetGlobalParameter(i, params[i]);
    EXPECT_EQ(ApplyEffect(w, row, 0, 0, kW - 1, kH - 1, 0, 1, 0), 1);
    EXPECT_EQ(Wrong(params), 0);
    ToggleMacroRecording(path.c_str());
    EXPECT_EQ(ReadListText(path), R"(Effect "Test Params"  "7" \"say \"hi\" \\o/" \"two\r\nlines")" "\n");

    Clear();
    EXPECT_EQ(PlayMacroFile(path.c_str()), 1);
    EXPECT_EQ(Wrong(params), 0);
    EXPECT_EQ(QzsGetParameter(1, 0), std::string()); // the table is empty again after the run

    // An effect that is not loaded does nothing.
    Clear();
    ExecuteScriptLine(w, "effect \"No Such Effect\" \"7\"");
    ExecuteScriptLine(w, "effect Test \"Params\"");
    EXPECT_EQ(((uint32_t *)group->base->pixels)[0], 0xFF808080u);
    EXPECT_TRUE(boxes.boxes.empty());
}

// Lines written by hand read as the host tokenizer reads them: quotes removed and nothing else, so
// a backslash stays a backslash; only a token the recorder marked (a backslash before its opening
// quote) has its escapes undone.
TEST_F(EffectMacroTest, ScriptLinesHandTheEffectTheirValuesAsWritten)
{
    EnsureEffectsLoaded();
    struct Case {
        const char *line, *params;
    } cases[] = {
        {R"(effect "Test Setter" "C:\new\tex.bmp" 5)", R"(C:\new\tex.bmp|5||)"},
        {R"(Effect "Test Setter" "C:\dir\" "\\srv\share\")", R"(C:\dir\|\\srv\share\||)"},
        {"effect \"Test Setter\" \"\" \"a b\"\tx\"y", R"(|a b|x"y|)"},
        {R"(effect "Test Setter" "say \"hi\"")", R"(say \|hi\""||)"},
        {R"(effect "Test Setter" "a""b" "open \n)", R"(a|b|open \n|)"},
        {R"(effect "Test Setter" \n \\"one" x\"two")", R"(\n|\\"one"|x\"two"|)"},
        {R"(effect "Test Setter" \"two\r\nlines" \"say \"hi\" \\o/" \"\t\\")", "two\r\nlines|say \"hi\" \\o/|\\t\\|"},
        {R"(effect \"Test Setter" \"\"" \"open)", "\"|open||"},
    };
    for (const Case &c : cases) {
        Clear();
        QzsExecuteScript(c.line);
        EXPECT_EQ(SetterParams(), c.params) << c.line;
        EXPECT_EQ(((uint32_t *)group->base->pixels)[kW + 1], 0xFFAB0101u) << c.line;
    }
    EXPECT_TRUE(boxes.boxes.empty());
}

// The recorder writes every value so that it comes back byte for byte in its own slot: plain
// values as a hand-written line would hold them, values with quotes or line breaks marked and
// escaped, the unset slots below the last set one as empty values. Effects run by script lines
// while recording are written too.
TEST_F(EffectMacroTest, RecordedEffectsReplayEveryValueInItsSlot)
{
    EnsureEffectsLoaded();
    const int row = FindEffectByName("Test Setter");
    ASSERT_GE(row, 0);
    std::string path = dir.file("keymac1.ovm");
    struct Case {
        const char *values[3]; // NULL: the slot is not set
        const char *line;      // the line written, when checked
    } cases[] = {
        {{"C:\\new\\tex.bmp", "5", ""}, R"(Effect "Test Setter"  "C:\new\tex.bmp" "5" "")" "\n"},
        {{"a", nullptr, "c"}, R"(Effect "Test Setter"  "a" "" "c")" "\n"},
        {{nullptr, nullptr, "last"}, R"(Effect "Test Setter"  "" "" "last")" "\n"},
        {{"\\", "\"", "\n"}, R"(Effect "Test Setter"  "\" \"\"" \"\n")" "\n"},
        {{"\x95\x5C\"", "tab\there", "\r"}, nullptr},
        {{"\\\"", "\"\\", "a\\\"b\r\n\\"}, nullptr},
        {{nullptr, nullptr, nullptr}, "Effect \"Test Setter\" \n"},
    };
    for (const Case &c : cases) {
        std::string want;
        for (const char *v : c.values)
            want += std::string(v ? v : "") + "|";
        SCOPED_TRACE(want);
        ASSERT_EQ(ToggleMacroRecording(path.c_str()), 1);
        for (int i = 0; i < 3; i++)
            if (c.values[i])
                SetGlobalParameter(i, c.values[i]);
        EXPECT_EQ(ApplyEffect(w, row, 0, 0, kW - 1, kH - 1, 0, 1, 0), 1);
        ASSERT_EQ(SetterParams(), want);
        ToggleMacroRecording(path.c_str());
        if (c.line) {
            EXPECT_EQ(ReadListText(path), c.line);
        }
        Clear();
        EXPECT_EQ(PlayMacroFile(path.c_str()), 1);
        EXPECT_EQ(SetterParams(), want);
        EXPECT_EQ(((uint32_t *)group->base->pixels)[kW + 1], 0xFFAB0101u);
    }

    // A script line run while recording is recorded, and replays the same.
    ASSERT_EQ(ToggleMacroRecording(path.c_str()), 1);
    QzsExecuteScript(R"(effect "Test Setter" "C:\new" \"say \"hi\"\r\n")");
    ToggleMacroRecording(path.c_str());
    const std::string want = "C:\\new|say \"hi\"\r\n||";
    EXPECT_EQ(SetterParams(), want);
    EXPECT_EQ(ReadListText(path), R"(Effect "Test Setter"  "C:\new" \"say \"hi\"\r\n")" "\n");
    Clear();
    EXPECT_EQ(PlayMacroFile(path.c_str()), 1);
    EXPECT_EQ(SetterParams(), want);
    EXPECT_TRUE(boxes.boxes.empty());
}
