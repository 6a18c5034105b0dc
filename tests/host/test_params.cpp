// Parameter panels with a numeric control type of our own: panel files, both layouts, values in
// ".pdv" files, QzsGetParameter, the extra child ids and the routing of messages to controls.
#include "loader_fixture.h"
#include "plugins/params.h"
#include "plugins/savers.h"
#include "shell/winproc.h"
#include <stdio.h>

namespace {

typedef const char *(QZCAPI *LogProc)(void);
typedef void(QZCAPI *ClearLogProc)(void);

class ParamTest : public LoaderTest {
protected:
    HWND window = nullptr;
    LogProc log = nullptr;
    ClearLogProc clearLog = nullptr;

    void SetUp() override
    {
        LoaderTest::SetUp();
        Put(g_cfg.Parameter_dir, "p_num");
        ASSERT_EQ(LoadParameterPlugins(), 1);
        log = (LogProc)GetProcAddress(g_parameterTypes[0].module, "TpParamLog");
        clearLog = (ClearLogProc)GetProcAddress(g_parameterTypes[0].module, "TpClearParamLog");
        ASSERT_TRUE(log && clearLog);
        window = CreateWindowExA(0, "STATIC", "panel", WS_POPUP | WS_CAPTION | WS_BORDER, 10, 10, 300, 200, nullptr,
                                 nullptr, nullptr, nullptr);
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override
    {
        for (int kind = 1; kind < kPanelKinds; kind++)
            CloseParameterPanel(dir.path().c_str(), GetParameterPanel(kind), 0);
        DestroyWindow(window);
        LoaderTest::TearDown();
    }
    void Ppd(const char *name, const char *text) { WriteFileText(dir.file(std::string(name) + ".ppd"), text); }
    ParameterPanel *Load(const char *name, int mode, int w = 200, int h = 80)
    {
        return LoadParameterPanel(window, dir.path().c_str(), name, mode, w, h, 5, 5);
    }
    void Frame(int *fw, int *fh)
    {
        RECT o, c;
        GetWindowRect(window, &o);
        GetClientRect(window, &c);
        *fw = (o.right - o.left) - c.right;
        *fh = (o.bottom - o.top) - c.bottom - *fw;
    }
    SIZE WindowSize()
    {
        RECT o;
        GetWindowRect(window, &o);
        return SIZE{o.right - o.left, o.bottom - o.top};
    }
};

TEST_F(ParamTest, PanelFileIsReadAndLaidOutInModeZero)
{
    Ppd("p", "120 60\n"
             "TestNumber 10 20 first 5\n"
             "\n"
             "Slider 1 2 x\n"
             "testNUMBER 60 30 second 7\n"
             "\"TestNumber\" 0 0 third 9\n");
    int fw, fh;
    Frame(&fw, &fh);
    ParameterPanel *panel = Load("p", 0);
    ASSERT_NE(panel, nullptr);
    ASSERT_EQ(CountParameterControls(panel), 3);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, dir.file("p.ppd") + "\nline 4: Parameter Slider is not installed");
    EXPECT_STREQ(panel->name, "p");
    EXPECT_EQ(panel->fileWidth, 120);
    EXPECT_EQ(panel->fileHeight, 60);
    EXPECT_EQ(panel->outerWidth, 125);
    EXPECT_EQ(panel->outerHeight, 5 + fh);
    EXPECT_EQ(panel->innerWidth, 120 - 10 - fw);
    EXPECT_EQ(panel->innerHeight, 60 - 10 - fw);
    EXPECT_EQ(panel->left, 5);
    EXPECT_EQ(panel->top, 5);
    SIZE s = WindowSize();
    EXPECT_EQ(s.cx, 125);
    EXPECT_EQ(s.cy, panel->outerHeight + 10 + panel->innerHeight + fw);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(GetParameterControl(panel, 1)->left, -1); // no window yet: no mouse area
    // The rest of each line after its type name reaches the plug-in.
    EXPECT_NE(std::string(log()).find("info: 10 20 first 5;info: 60 30 second 7;info: 0 0 third 9;"),
              std::string::npos)
        << log();
    clearLog();
    CreateParameterControls(window, panel);
    char expect[200];
    snprintf(expect, sizeof expect, "create:%d,%d,20000;create:%d,%d,20001;create:%d,%d,20002;",
             10 * panel->innerWidth / 120 + 5, 20 * panel->innerHeight / 60 + 5, 60 * panel->innerWidth / 120 + 5,
             30 * panel->innerHeight / 60 + 5, 5, 5);
    EXPECT_EQ(std::string(log()), expect);
    CloseParameterPanel(dir.path().c_str(), panel, 0);
}

TEST_F(ParamTest, ModeOneKeepsTheAspectAndSizeLinesOfZeroAreSafe)
{
    int fw, fh;
    Frame(&fw, &fh);
    Ppd("wide", "100 50\nTestNumber 50 25 a 1\n");
    ParameterPanel *panel = Load("wide", 1, 300, 200);
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->outerWidth, 300);
    EXPECT_EQ(panel->outerHeight, 200);
    EXPECT_EQ(panel->innerWidth, 300 - 10 - fw);
    EXPECT_EQ(panel->innerHeight, (300 - 10 - fw) * 50 / 100);
    EXPECT_EQ(panel->top, 200 - fh + 5);
    EXPECT_EQ(WindowSize().cy, 200 + 10 + panel->innerHeight + fw);
    CloseParameterPanel(dir.path().c_str(), panel, 0);
    // A size line of 0, or none: a defined layout, controls at their design positions.
    for (const char *text : {"0 0\nTestNumber 7 9 a 1\n", "\nTestNumber 7 9 a 1\n"}) {
        Ppd("zero", text);
        clearLog();
        panel = Load("zero", 1, 300, 200);
        ASSERT_NE(panel, nullptr);
        EXPECT_EQ(panel->innerHeight, 0);
        CreateParameterControls(window, panel);
        CloseParameterPanel(dir.path().c_str(), panel, 0);
    }
    // Missing files: mode 0 hides the window, mode 1 sizes it without controls.
    ShowWindow(window, SW_SHOWNA);
    EXPECT_EQ(Load("none", 0), nullptr);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_EQ(Load("none", 1, 222, 111), nullptr);
    EXPECT_EQ(WindowSize().cx, 222);
    EXPECT_EQ(WindowSize().cy, 111);
}

TEST_F(ParamTest, ValuesKeepLineBreaksAndSurplusLinesAreIgnored)
{
    Ppd("v", "100 100\nTestNumber 0 0 a 1\nTestNumber 0 0 b 2\nTestNumber 0 0 c 3\n");
    ParameterPanel *panel = Load("v", 0);
    ASSERT_NE(panel, nullptr);
    ParameterControl *a = GetParameterControl(panel, 0), *b = GetParameterControl(panel, 1);
    a->type->QzcSetValue(a, "x\r\ny");
    b->type->QzcSetValue(b, "p\rq\nr");
    CloseParameterPanel(dir.path().c_str(), panel, 1);
    EXPECT_EQ(ReadListText(dir.file("v.pdv")), "x\\ny\np\\nq\\nr\n3\n");
    EXPECT_NE(std::string(log()).find("dispose;dispose;dispose;"), std::string::npos);

    // Fewer lines: the rest keep their values; more lines: the surplus is not used.
    for (const char *text : {"one\\ntwo\n", "1\n2\n3\n4\n5\n"}) {
        WriteFileText(dir.file("v.pdv"), text);
        panel = Load("v", 0);
        SetParameterPanel(kPanelDraw, panel);
        LoadParameterValues(1, panel, dir.path().c_str(), "v");
        if (text[0] == 'o') {
            EXPECT_STREQ(QzsGetParameter(2, 0), "one\r\ntwo");
            EXPECT_STREQ(QzsGetParameter(2, 1), "2");
        } else {
            EXPECT_STREQ(QzsGetParameter(2, 2), "3");
        }
        CloseParameterPanel(dir.path().c_str(), panel, 0);
        EXPECT_EQ(GetParameterPanel(kPanelDraw), nullptr);
    }
    LoadParameterValues(1, nullptr, dir.path().c_str(), "v"); // nothing for no panel
}

// Control types that no parameter plug-in provides are told in one box per file, naming the first
// few and counting the rest; the controls of the file that are known are made. A panel read again
// (every selection of its plug-in reads it) says nothing more until the file changes.
TEST_F(ParamTest, UnknownControlTypesAreToldInOneBoxPerFile)
{
    std::string text = "100 100\n", want = dir.file("many.ppd");
    for (int i = 0; i < 50; i++) {
        text += "Type" + std::to_string(i) + " 0 0 x\n";
        if (i == 20)
            text += "TestNumber 0 0 a 1\n";
    }
    for (int i = 0; i < 5; i++)
        want += "\nline " + std::to_string(i + 2) + ": Parameter Type" + std::to_string(i) + " is not installed";
    Ppd("many", text.c_str());
    for (int round = 0; round < 3; round++) {
        ParameterPanel *panel = Load("many", round == 1 ? 1 : 0);
        ASSERT_NE(panel, nullptr);
        EXPECT_EQ(CountParameterControls(panel), 1);
        CloseParameterPanel(dir.path().c_str(), panel, 0);
    }
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].caption, "Error");
    EXPECT_EQ(boxes.boxes[0].text, want + "\n(45 more bad lines)");

    std::string repeated = "10 10\n";
    for (int i = 0; i < 3000; i++)
        repeated += "Slider 1 2 x\n";
    Ppd("repeated", repeated.c_str());
    CloseParameterPanel(dir.path().c_str(), Load("repeated", 0), 0);
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(boxes.boxes[1].text.substr(boxes.boxes[1].text.rfind('\n') + 1), "(2995 more bad lines)");
}

// The values that the default save hands to a save format are shown together in one box: the first
// few lines and how many more; every line still becomes its option.
TEST_F(ParamTest, SaveOptionValuesAreShownInOneBox)
{
    std::string text = "a\\nb\n";
    for (int i = 1; i < 30; i++)
        text += "v" + std::to_string(i) + "\n";
    WriteFileText(dir.file("opts.pdv"), text);
    ClearSaveOptions();
    LoadParameterValues(2, nullptr, dir.path().c_str(), "opts");
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].caption, "MES");
    EXPECT_EQ(boxes.boxes[0].text, "a\r\nb\nv1\nv2\nv3\nv4\n(25 more lines)");
    ASSERT_EQ(GetSaveOptionCount(), kSaveOptionSlots);
    EXPECT_STREQ(GetSaveOptionTable()[0], "a\r\nb");
    EXPECT_STREQ(GetSaveOptionTable()[9], "v9");
    ClearSaveOptions();
}

TEST_F(ParamTest, GetParameterReadsPanelsAndTheGlobalTable)
{
    Ppd("g", "100 100\nTestNumber 0 0 a 11\nTestNumber 0 0 b 22\nTestNumber 0 0 c 33\n");
    ParameterPanel *panel = Load("g", 0);
    SetParameterPanel(kPanelDraw, panel);
    EXPECT_EQ(GetParameterPanelKind(panel), kPanelDraw);
    struct Case {
        int kind, index;
        const char *value;
    } cases[] = {{2, 0, "11"}, {2, 2, "33"}, {2, 7, "0"}, {2, -1, "0"}, {3, 0, "0"}, {6, 0, "0"},
                 {0, 0, "0"},  {1, 7, ""},    {1, -1, ""}, {1, 256, ""}};
    for (const Case &c : cases)
        EXPECT_STREQ(QzsGetParameter(c.kind, c.index), c.value) << c.kind << "/" << c.index;
    EXPECT_EQ(SetGlobalParameter(7, "abc"), 1);
    EXPECT_EQ(SetGlobalParameter(256, "x"), 0);
    EXPECT_STREQ(QzsGetParameter(1, 7), "abc");
    // The effect panel's values go into the table and leave it again.
    SetParameterPanel(kPanelDraw, nullptr);
    SetParameterPanel(kPanelEffect, panel);
    CollectGlobalParameters(kPanelEffect);
    EXPECT_STREQ(QzsGetParameter(1, 1), "22");
    EXPECT_STREQ(QzsGetParameter(1, 7), "");
    FreeGlobalParameters();
    EXPECT_STREQ(QzsGetParameter(1, 0), "");
    // A plug-in that writes past the buffer's size: the value is cut to 1023 characters.
    ParameterControl *a = GetParameterControl(panel, 0);
    std::string big(1100, 'q');
    a->type->QzcSetValue(a, big.c_str());
    SetParameterPanel(kPanelEffect, nullptr);
    SetParameterPanel(kPanelSaveAs, panel);
    EXPECT_EQ(strlen(QzsGetParameter(4, 0)), 1023u);
}

TEST_F(ParamTest, ExtraIdsAndMouseReachTheRightControl)
{
    Ppd("r", "100 100\nTestNumber 0 0 a 1\nTestNumber 0 50 b 2\nTestNumber 50 0 c 3\n");
    ParameterPanel *panel = Load("r", 0);
    SetParameterPanel(kPanelDraw, panel);
    CreateParameterControls(window, panel);
    const int ids[4] = {20000, 20002, 20001, 20001};
    for (int i = 0; i < 4; i++)
        EXPECT_EQ(QzsGetParameterSubWindowID(panel, ids[i]), 25000 + i);
    clearLog();
    RouteCommandToParameterControl(window, WM_COMMAND, panel, 25003, 0);
    RouteCommandToParameterControl(window, WM_COMMAND, panel, 25001, 0);
    RouteCommandToParameterControl(window, WM_COMMAND, panel, 25004, 0); // not handed out
    RouteCommandToParameterControl(window, WM_COMMAND, panel, 20003, 0); // no such control
    EXPECT_EQ(std::string(log()), "msg:b:273;msg:c:273;");
    EXPECT_EQ(ParameterControlIndex(panel, 20002), 2);
    EXPECT_EQ(ParameterControlIndex(panel, 19999), -1);
    // The table holds 128 per kind; then no more ids. Creating the controls again starts afresh.
    for (int i = 4; i < kExtraIds; i++)
        QzsGetParameterSubWindowID(panel, 20000);
    EXPECT_EQ(QzsGetParameterSubWindowID(panel, 20000), 0);
    CreateParameterControls(window, panel);
    EXPECT_EQ(QzsGetParameterSubWindowID(panel, 20001), 25000);

    // A press goes to the control under it; moves and releases to every control.
    ParameterControl *c = GetParameterControl(panel, 2);
    clearLog();
    EXPECT_EQ(RouteMouseToParameterControls(window, WM_LBUTTONDOWN, panel, 0, MAKELPARAM(c->left + 2, c->top + 2)), 1);
    EXPECT_EQ(RouteMouseToParameterControls(window, WM_LBUTTONDOWN, panel, 0, MAKELPARAM(400, 400)), 0);
    EXPECT_EQ(std::string(log()), "msg:c:513;");
    clearLog();
    RouteMouseToParameterControls(window, WM_MOUSEMOVE, panel, 0, MAKELPARAM(400, 400));
    EXPECT_EQ(std::string(log()), "msg:a:512;msg:b:512;msg:c:512;");
}

// Closing the draw panel while one of its edits has the focus: the kill-focus command the edit
// sends its window on the way out reaches no control of the panel being taken apart.
TEST_F(ParamTest, ClosingAPanelRoutesNothingToItsControls)
{
    ASSERT_EQ(RegisterDrawParameterClass(), 1);
    HWND drawWindow = CreateDrawParameterWindow();
    ASSERT_NE(drawWindow, nullptr);
    Ppd("k", "100 100\nTestNumber 0 0 a 1\nTestNumber 0 50 b 2\nTestNumber 50 0 c 3\n");
    ParameterPanel *panel = ExchangeParameterPanel(kPanelDraw, drawWindow, dir.path().c_str(), "k");
    ASSERT_NE(panel, nullptr);
    SetForegroundWindow(drawWindow);
    SetFocus(GetParameterControl(panel, 1)->window);
    ASSERT_EQ(GetFocus(), GetParameterControl(panel, 1)->window);
    clearLog();
    CloseParameterPanel(dir.path().c_str(), panel, 0);
    EXPECT_EQ(std::string(log()), "dispose;dispose;dispose;");
    EXPECT_EQ(GetParameterPanel(kPanelDraw), nullptr);
    DestroyWindow(drawWindow);
    g_drawParamWindow = nullptr;
}

TEST_F(ParamTest, FontCommentDescribesTheParameterFont)
{
    LOGFONTA *font = QzsGetParameterFont();
    ASSERT_NE(font, nullptr);
    strcpy(font->lfFaceName, "Serif Face");
    font->lfWeight = 700;
    font->lfItalic = 1;
    font->lfUnderline = 0;
    font->lfStrikeOut = 1;
    ParameterControl control{};
    EXPECT_EQ(QzsSetFontComment(&control), 1);
    EXPECT_STREQ(control.comment, "Serif Face W700 I1 U0 S1");
    int w = -1, h = -1;
    Ppd("f", "10 10\n");
    CloseParameterPanel(dir.path().c_str(), Load("f", 0), 0);
    EXPECT_EQ(QzsGetParameterFontMetric(&w, &h), 1);
    EXPECT_GT(w, 0);
    EXPECT_GT(h, 0);
}

} // namespace
