// Program entry pieces: the command line, the hand-off of a second start, closing everything.
#include "testsupport.h"
#include "image/group.h"
#include "image/imagelist.h"
#include "shell/commands.h"
#include "shell/startup.h"
#include "plugins/plugdialogs.h"
#include "base/settings.h"
#include <string.h>

class StartupTest : public HostTest {};

TEST_F(StartupTest, CommandLineQuotes)
{
    struct Case {
        const char *in, *out;
    } cases[] = {
        {"\"C:\\my pictures\\a.bmp\"", "C:\\my pictures\\a.bmp"},
        {"\"", ""},
        {"", ""},
        {"C:\\a.bmp", "C:\\a.bmp"},
        {"\"a b\" word", "a b\" wor"}, // the last character goes, whatever it is
    };
    for (const Case &c : cases) {
        char text[64];
        strcpy(text, c.in);
        EXPECT_EQ(StripCommandLineQuotes(text), 1);
        EXPECT_STREQ(text, c.out) << c.in;
    }
}

TEST_F(StartupTest, HandedOverTextIsCopiedAndBounded)
{
    char data[] = {'a', '.', 'b', 'm', 'p'}; // no terminator in the data
    COPYDATASTRUCT cds = {kCommandSecondStartId, sizeof data, data};
    char *copy = TakeHandedOverCommandLine(&cds);
    ASSERT_NE(copy, nullptr);
    EXPECT_STREQ(copy, "a.bmp");
    EXPECT_NE((void *)copy, (void *)data);
    free(copy);
    COPYDATASTRUCT other = {1234, sizeof data, data};
    EXPECT_EQ(TakeHandedOverCommandLine(&other), nullptr);
    COPYDATASTRUCT empty = {kCommandSecondStartId, 0, data};
    EXPECT_EQ(TakeHandedOverCommandLine(&empty), nullptr);
    COPYDATASTRUCT huge = {kCommandSecondStartId, 1u << 30, data};
    EXPECT_EQ(TakeHandedOverCommandLine(&huge), nullptr);
    EXPECT_EQ(TakeHandedOverCommandLine(nullptr), nullptr);
}

TEST_F(StartupTest, SecondStartCommandsTakeOnlyTextsHandedOver)
{
    // A command 32690 whose lParam is not a handed-over text is ignored, not freed.
    char stray[] = "not ours";
    DispatchCommand(nullptr, kCommandSecondStartId, (LPARAM)stray);
    EXPECT_STREQ(stray, "not ours");
}

TEST_F(StartupTest, RefusedCloseStopsClosingAndKeepsTheRest)
{
    CDIB *a = nullptr, *b = nullptr;
    QzsCreateNewImage(&a, 4, 4, 32);
    AddImageGroup(a);
    QzsCreateNewImage(&b, 4, 4, 32);
    AddImageGroup(b);
    a->modified = 0;
    boxes.Answer(IDCANCEL); // for b
    EXPECT_EQ(CloseAllImageGroups(), 0);
    EXPECT_EQ(QzsGetFirstImageGroup(), g_lastGroup);
    EXPECT_EQ(g_firstGroup->base, b);
    b->modified = 0;
    EXPECT_EQ(CloseAllImageGroups(), 1);
    EXPECT_EQ(QzsGetFirstImageGroup(), nullptr);
    EXPECT_EQ(CloseAllImageGroups(), 1);
}

namespace {

struct LanguageSeen {
    std::string title;
    bool englishFirst = false;
} s_language;
int s_pick; // the radio button to press before OK; 0 none

void DriveLanguage(HWND dialog)
{
    char title[64] = "";
    GetWindowTextA(dialog, title, sizeof title);
    s_language.title = title;
    s_language.englishFirst = IsDlgButtonChecked(dialog, 3001) == BST_CHECKED;
    if (s_pick)
        SendMessageA(GetDlgItem(dialog, s_pick), BM_CLICK, 0, 0);
    PostMessageA(dialog, WM_COMMAND, 3000, 0);
}

void CloseLanguage(HWND dialog)
{
    PostMessageA(dialog, WM_CLOSE, 0, 0);
}

} // namespace

// The language dialog of the first start: English checked, OK keeps the checked language; its
// close box chooses as well, so the next start does not ask again.
TEST_F(StartupTest, LanguageDialogSetsTheLanguage)
{
    struct Case {
        int pick, lang;
    } cases[] = {{0, 0}, {3017, 1}, {3001, 0}};
    for (const Case &c : cases) {
        g_cfg.LANG = -99;
        s_language = LanguageSeen();
        s_pick = c.pick;
        DriveNextDialog(DriveLanguage);
        ShowLanguageDialog(nullptr);
        StopDrivingDialogs();
        EXPECT_EQ(s_language.title, "Language");
        EXPECT_TRUE(s_language.englishFirst);
        EXPECT_EQ(g_cfg.LANG, c.lang) << c.pick;
    }
    g_cfg.LANG = -99;
    DriveNextDialog(CloseLanguage);
    ShowLanguageDialog(nullptr);
    StopDrivingDialogs();
    EXPECT_EQ(g_cfg.LANG, 0);
}
