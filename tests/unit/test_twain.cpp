// TWAIN acquisition against the stand-in source manager (tests/twain): the states walked up and
// back, the close request, a quit during the modal loop, negotiation, error reports, and the
// pictures that come across.
#include "testsupport.h"
#include "draw/drawmouse.h"
#include "files/twain.h"
#include "files/twain_proto.h"
#include "base/settings.h"
#include "image/group.h"
#include "image/imagelist.h"
#include "shell/commands.h"
#include "shell/commands_pending.h"
#include "view/winlist.h"
#include "shell/winproc.h"
#include <sstream>
#include <string.h>
#include <vector>

namespace {

std::vector<int> s_states;
void RecordState(int state)
{
    s_states.push_back(state);
}

// The picture the stand-in sends: at (x, y) from the top red 4x, green 5y, blue 2(x + y).
void Expected(int x, int y, int *r, int *g, int *b)
{
    *r = (4 * x) & 255;
    *g = (5 * y) & 255;
    *b = (2 * (x + y)) & 255;
}

class TwainTest : public HostTest {
protected:
    void SetUp() override
    {
        HostTest::SetUp();
        snprintf(g_cfg.Stat_dir, sizeof g_cfg.Stat_dir, "%s", dir.path().c_str());
        WriteFileText(dir.file("QzMain.mnu.JPN"), "@&File\n#Quit\n");
        WriteFileText(dir.file("Dazaz.mnu.JPN"), "@&View\n#SetZoom1\n");
        RegisterImageWindowClass();
        g_drawState = 0;
        SetTwainManagerDirectory(("Z:" + std::string(OVRIN_FAKE_TWAIN_DIR)).c_str());
        log = dir.file("twain.log");
        SetEnvironmentVariableA("OVRIN_FAKE_TWAIN_LOG", log.c_str());
        Play("");
        s_states.clear();
        SetTwainStateObserver(RecordState);
    }
    void TearDown() override
    {
        SetTwainStateObserver(nullptr);
        SetTwainManagerDirectory(nullptr);
        SetTwainHideUI(0);
        SetEnvironmentVariableA("OVRIN_FAKE_TWAIN", nullptr);
        SetEnvironmentVariableA("OVRIN_FAKE_TWAIN_LOG", nullptr);
        HostTest::TearDown();
    }
    void Play(const char *words)
    {
        SetEnvironmentVariableA("OVRIN_FAKE_TWAIN", words);
        DeleteFileA(log.c_str());
        s_states.clear();
        boxes.boxes.clear();
    }
    std::vector<std::string> Calls()
    {
        std::istringstream in(ReadFileText(log));
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }
    bool Called(const std::string &line)
    {
        for (const std::string &l : Calls())
            if (l == line)
                return true;
        return false;
    }
    ImageWindow *NewWindow()
    {
        CDIB *base = nullptr;
        QzsCreateNewImage(&base, 16, 16, 32);
        AddImageGroup(base);
        ImageWindow *w = CreateImageWindow(0, 0, 200, 150);
        EXPECT_NE(w, nullptr);
        w->group = g_lastGroup;
        w->layerImage = g_lastGroup->currentImage;
        MakeWindowCurrent(w);
        return w;
    }
    // Pixels of the newest group's base against a colour rule; the number that differ.
    int WrongPixels(int width, int height, void (*rule)(int, int, int *, int *, int *))
    {
        CDIB *image = g_lastGroup->base;
        EXPECT_EQ(image->header->bmiHeader.biWidth, width);
        EXPECT_EQ(image->header->bmiHeader.biHeight, height);
        int wrong = 0;
        for (int y = 0; y < height; y++)
            for (int x = 0; x < width; x++) {
                int r, g, b;
                rule(x, y, &r, &g, &b);
                uint32_t want = (uint32_t)b | (uint32_t)g << 8 | (uint32_t)r << 16 | 0xFF000000u;
                wrong += ((uint32_t *)image->pixels)[y * width + x] != want;
            }
        return wrong;
    }
    std::string log;
};

const std::vector<int> kWholeWay = {2, 3, 4, 5, 6, 7, 5, 4, 3, 2, 1};

} // namespace

TEST_F(TwainTest, AcquireWalksEveryStateAndBackAndMakesAnUntitledChangedGroup)
{
    ImageWindow *w = NewWindow();
    ImageGroup *before = g_lastGroup;
    DispatchCommand(w, 32064, 0);
    EXPECT_EQ(s_states, kWholeWay);
    EXPECT_EQ(GetTwainState(), 1);
    std::vector<std::string> expected = {"OPENDSM",    "OPENDS id=0 product=\"\"", "ENABLEDS show=1 source=7",
                                         "EVENT xferready", "NATIVEXFER", "ENDXFER", "DISABLEDS", "CLOSEDS",
                                         "CLOSEDSM"};
    EXPECT_EQ(Calls(), expected);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].caption, "MES");
    EXPECT_EQ(boxes.boxes[0].text, "(40 30)dep=24");
    ASSERT_NE(g_lastGroup, before);
    EXPECT_GT(g_lastGroup->base->untitledNumber, 0);
    EXPECT_EQ(g_lastGroup->base->modified, 1);
    EXPECT_EQ(WrongPixels(40, 30, Expected), 0);
    EXPECT_TRUE(IsWindowEnabled(w->window));

    // Without the source's dialog, from state 1 again.
    Play("");
    DispatchCommand(w, 32094, 0);
    EXPECT_EQ(s_states, kWholeWay);
    EXPECT_TRUE(Called("ENABLEDS show=0 source=7"));
}

TEST_F(TwainTest, CancelThroughTheCloseRequestGivesNothingAndNoMessage)
{
    ImageWindow *w = NewWindow();
    ImageGroup *before = g_lastGroup;
    Play("cancel");
    DispatchCommand(w, 32064, 0);
    std::vector<int> states = {2, 3, 4, 5, 4, 3, 2, 1};
    EXPECT_EQ(s_states, states);
    EXPECT_TRUE(Called("EVENT closedsreq"));
    EXPECT_TRUE(Called("DISABLEDS"));
    EXPECT_FALSE(Called("NATIVEXFER"));
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(g_lastGroup, before);
}

TEST_F(TwainTest, QuitDuringTheAcquisitionIsPostedAgain)
{
    ImageWindow *w = NewWindow();
    Play("noevent");
    PostQuitMessage(7);
    EXPECT_EQ(TwainAcquireNative(w->window, 0), nullptr);
    EXPECT_EQ(GetTwainState(), 1);
    EXPECT_TRUE(IsWindowEnabled(w->window));
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);
}

TEST_F(TwainTest, SelectSourceReturnsToTheStateItFound)
{
    ImageWindow *w = NewWindow();
    DispatchCommand(w, 32063, 0);
    std::vector<int> states = {2, 3, 2, 1};
    EXPECT_EQ(s_states, states);
    EXPECT_TRUE(Called("USERSELECT"));
    Play("selectcancel");
    EXPECT_EQ(TwainSelectSource(w->window), 0);
    EXPECT_EQ(GetTwainState(), 1);
}

TEST_F(TwainTest, NoManagerGivesMessage104)
{
    ImageWindow *w = NewWindow();
    EXPECT_EQ(IsTwainAvailable(), 1);
    EXPECT_EQ(GetTwainState(), 1); // asked by loading, then unloaded
    TempDir empty;
    SetTwainManagerDirectory(empty.path().c_str());
    EXPECT_EQ(IsTwainAvailable(), 0);
    for (int id : {32064, 32094}) {
        boxes.boxes.clear();
        DispatchCommand(w, id, 0);
        ASSERT_EQ(boxes.boxes.size(), 1u) << id;
        EXPECT_EQ(boxes.boxes[0].caption, "SysError");
        EXPECT_EQ(boxes.boxes[0].text, "Can't open TWAIN device");
    }
    // A source that cannot be opened is the same to the command: the glue's own box is not shown.
    SetTwainManagerDirectory(("Z:" + std::string(OVRIN_FAKE_TWAIN_DIR)).c_str());
    Play("failopends");
    DispatchCommand(w, 32064, 0);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Can't open TWAIN device");
    EXPECT_EQ(GetTwainState(), 1);
}

TEST_F(TwainTest, ErrorReportTexts)
{
    struct Case {
        int code, rc, cc;
        const char *text;
    } cases[] = {
        {4, 1, 5,
         "M\nSource Manager operation failed\nRC:   TWRC_FAILURE\nCC:   TWCC_OPERATIONERROR (DS or DSM reported "
         "error, app shouldn't)"},
        {2, 2, 6, "M\nDAT_CAPABILITY/MSG_GET failed\nRC:   TWRC_CHECKSTATUS ('tried hard')\nCC:   TWCC_BADCAP "
                  "(Unknown capability)"},
        {5, 9, 40, "M\nDataSource operation failed\nRC:   (unknown)\nCC:   (unknown)"},
        {12, 1, 1, "M\nReturned container is empty"},
        {13, 1, 1, "M\nApp and source found NO values in common"},
        {0, 0, 0, "M\n[no details available]"},
        {6, 0, 0, "M\n"},
    };
    for (const Case &c : cases) {
        char text[512];
        FormatTwainErrorReport(text, sizeof text, "M", c.code, c.rc, c.cc);
        EXPECT_STREQ(text, c.text) << c.code;
    }
}

// Failures the manager and the source report, each shown once in a "TWAIN Error" box; the
// session always ends in state 1 with the window enabled again.
TEST_F(TwainTest, FailuresAreReportedWithTheirCodes)
{
    ImageWindow *w = NewWindow();
    struct Case {
        const char *words;
        unsigned pixelTypes;
        const char *text;
    } cases[] = {
        {"failopendsm", 0, "Unable to open Source Manager (TWAINDSM.DLL)"},
        {"failopends", 0,
         "Unable to open default Data Source.\nSource Manager operation failed\nRC:   TWRC_FAILURE\nCC:   TWCC_NODS "
         "(No Data Source)"},
        {"failenable", 0,
         "Failed to enable Data Source.\nDataSource operation failed\nRC:   TWRC_FAILURE\nCC:   TWCC_BADPROTOCOL "
         "(Unrecognized triplet)"},
        {"cap=range", 6, "Failed to negotiate Pixel Type.\nReturned container is not valid type"},
        {"cap=uint32", 6, "Failed to negotiate Pixel Type.\nReturned container has invalid ItemType"},
        {"cap=empty", 6, "Failed to negotiate Pixel Type.\nReturned container is empty"},
        {"cap=enum", 8, "Failed to negotiate Pixel Type.\nApp and source found NO values in common"},
        {"cap=one", 1, "Failed to negotiate Pixel Type.\nApp and source found NO values in common"},
    };
    for (const Case &c : cases) {
        Play(c.words);
        EXPECT_EQ(TwainAcquireNative(w->window, c.pixelTypes), nullptr) << c.words;
        ASSERT_EQ(boxes.boxes.size(), 1u) << c.words;
        EXPECT_EQ(boxes.boxes[0].caption, "TWAIN Error");
        EXPECT_TRUE(boxes.boxes[0].type & MB_ICONEXCLAMATION);
        EXPECT_EQ(boxes.boxes[0].text, c.text) << c.words;
        EXPECT_EQ(GetTwainState(), 1) << c.words;
        EXPECT_TRUE(IsWindowEnabled(w->window)) << c.words;
    }
}

// Enumerations and arrays are cut down to the asked types in increasing order and set back; a
// single value is only checked.
TEST_F(TwainTest, NegotiationContainers)
{
    ImageWindow *w = NewWindow();
    struct Case {
        const char *words, *set; // the SET line, "" for none
    } cases[] = {
        {"cap=enum", "SET enumeration current=-1 default=-1: 1 2"},
        {"cap=array", "SET array: 1 2"},
        {"cap=one", ""},
    };
    for (const Case &c : cases) {
        Play(c.words);
        HGLOBAL picture = TwainAcquireNative(w->window, 1u << 1 | 1u << 2 | 1u << 5);
        EXPECT_NE(picture, nullptr) << c.words;
        if (picture)
            GlobalFree(picture);
        bool setLine = false;
        for (const std::string &l : Calls())
            if (l.rfind("SET", 0) == 0) {
                EXPECT_EQ(l, c.set) << c.words;
                setLine = true;
            }
        EXPECT_EQ(setLine, c.set[0] != 0) << c.words;
        EXPECT_TRUE(Called("GET cap=0x101")) << c.words;
        EXPECT_TRUE(boxes.boxes.empty()) << c.words;
    }
    // A count the block cannot hold is refused before an item is read.
    uint8_t block[sizeof(TwEnumerationHead) + 4] = {};
    TwEnumerationHead head = {kTyUInt16, 1000, 0, 0};
    memcpy(block, &head, sizeof head);
    bool changed;
    EXPECT_EQ(ReducePixelTypes(kOnEnumeration, block, sizeof block, 0xFF, &changed), kTwainErrBadContainer);
    EXPECT_EQ(ReducePixelTypes(kOnOneValue, block, 4, 0xFF, &changed), kTwainErrBadContainer);
}

namespace {

void Expected565(int x, int y, int *r, int *g, int *b)
{
    Expected(x, y, r, g, b);
    *r = (*r >> 3) * 255 / 31;
    *g = (*g >> 2) * 255 / 63;
    *b = (*b >> 3) * 255 / 31;
}

} // namespace

// Bit fields and top-down rows are converted; a block shorter than its header says is refused.
TEST_F(TwainTest, TransferredPicturesAreCheckedAndConverted)
{
    ImageWindow *w = NewWindow();
    Play("pic=565");
    DispatchCommand(w, 32064, 0);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "(40 30)dep=16");
    EXPECT_EQ(WrongPixels(40, 30, Expected565), 0);

    Play("pic=topdown");
    DispatchCommand(w, 32064, 0);
    EXPECT_EQ(boxes.boxes[0].text, "(40 -30)dep=32");
    EXPECT_EQ(WrongPixels(40, 30, Expected), 0);

    ImageGroup *before = g_lastGroup;
    Play("pic=short");
    DispatchCommand(w, 32064, 0);
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(boxes.boxes[1].caption, "SysError");
    EXPECT_EQ(boxes.boxes[1].text, "Can't acquire from TWAIN device");
    EXPECT_EQ(g_lastGroup, before);
    EXPECT_EQ(GetTwainState(), 1);
}
