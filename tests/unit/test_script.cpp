// Script lines on an image window: keywords and comments, point translation, pen lines from a
// hostile source, draw lines for methods without entries, the canvas resize, and the messages of
// macro replay and of saving in a named format.
#include "testsupport.h"
#include "base/settings.h"
#include "draw/drawsel.h"
#include "files/save.h"
#include "image/cdib.h"
#include "image/group.h"
#include "image/pen.h"
#include "image/pointlist.h"
#include "plugins/loader.h"
#include "script/macro.h"
#include "script/script.h"
#include "shell/commands.h"
#include "shell/winproc.h"
#include "view/display.h"
#include "view/groupview.h"
#include "view/undo_apply.h"
#include "view/winlist.h"
#include <limits.h>
#include <string.h>
#include <string>
#include <vector>

namespace {

// The picture every test starts from: red and green from the position.
uint32_t Pattern(int x, int y) { return 0xFF000000u | (uint32_t)(x & 255) << 16 | (uint32_t)(y & 255) << 8 | 0x40u; }

class ScriptTest : public HostTest {
protected:
    ImageGroup *g = nullptr;
    ImageWindow *w = nullptr;

    void SetUp() override
    {
        HostTest::SetUp();
        ASSERT_EQ(RegisterImageWindowClass(), 1);
        ASSERT_EQ(RegisterStatusWindowClass(), 1);
        g_statusWindowsOn = 0;
        snprintf(g_cfg.Macro_dir, sizeof g_cfg.Macro_dir, "%s\\Macro", dir.path().c_str());
    }
    void TearDown() override
    {
        if (IsMacroRecording())
            ToggleMacroRecording(nullptr);
        SetScriptFixPoint(0, 0, 0);
        memset(g_drawPlugins, 0, sizeof g_drawPlugins);
        ClearSaveOptions();
        HostTest::TearDown();
    }
    // A window showing a new group of the pattern, made current.
    void Open(int width, int height)
    {
        CDIB *image = nullptr;
        QzsCreateNewImage(&image, width, height, 32);
        ASSERT_NE(image, nullptr);
        for (int y = 0; y < height; y++)
            for (int x = 0; x < width; x++)
                ((uint32_t *)image->pixels)[y * width + x] = Pattern(x, y);
        ASSERT_EQ(AddImageGroup(image), 1);
        g = g_lastGroup;
        w = CreateImageWindow(0, 0, 300, 200);
        ASSERT_NE(w, nullptr);
        MakeWindowCurrent(w);
        ShowGroupInWindow(w, g, 1, 0);
        ASSERT_EQ(w->layerImage, image);
        ASSERT_NE(w->drawBuffer, nullptr);
    }
    void Run(const char *line) { ExecuteScriptLine(w, line); }
    std::vector<std::string> Texts() const
    {
        std::vector<std::string> t;
        for (const CapturedBox &b : boxes.boxes)
            t.push_back(b.text);
        return t;
    }
};

struct PenState {
    int fields[8];
    std::vector<uint32_t> weights, colors;
    bool operator==(const PenState &o) const
    {
        return memcmp(fields, o.fields, sizeof fields) == 0 && weights == o.weights && colors == o.colors;
    }
};

PenState CurrentPen()
{
    const PenRecord *p = QzsGetPen();
    PenState s = {{p->side, p->hotX, p->hotY, p->left, p->top, p->right, p->bottom, p->softEdge}, {}, {}};
    size_t cells = (size_t)GetPenCapacity() * GetPenCapacity(); // the whole matrices, past the side too
    if (p->weights)
        s.weights.assign(p->weights, p->weights + cells);
    if (p->colorIndexes)
        s.colors.assign(p->colorIndexes, p->colorIndexes + cells);
    return s;
}

} // namespace

TEST_F(ScriptTest, KeywordsAreFoundWithoutRegardToCaseAndCommentsDoNothing)
{
    struct {
        const char *token;
        int code;
    } cases[] = {
        {"draw", 100},     {"DRAW", 100},      {"SetColor", 101},  {"setpen", 102},   {"SETPENOPA", 103},
        {"setPenCol", 104}, {"setdraw", 105},  {"Effect", 106},    {"setpenend", 107}, {"Command", 108},
        {"drawing", 0},    {"set", 0},         {"", 0},            {"setcolor0", 0},
    };
    for (const auto &c : cases)
        EXPECT_EQ(FindScriptKeyword(c.token), c.code) << c.token;

    Open(8, 8);
    Run("; setcolor 2 200 100 50 0 128 0 0");
    Run("nosuchword 2 200 100 50 0 128 0 0");
    EXPECT_NE(QzsGetColor(2)->red, 200);
    Run("SETCOLOR 2 200 100 50 7 128 1 1\r\n"); // a plug-in's line may come with its line break
    const ColorRecord *c = QzsGetColor(2);
    EXPECT_EQ(c->red, 200);
    EXPECT_EQ(c->green, 100);
    EXPECT_EQ(c->blue, 50);
    EXPECT_EQ(c->opacity & 255, 128);
    EXPECT_EQ(c->function, 0); // functional colour and region only for the drawing colour
    EXPECT_EQ(c->regionMode, 0);
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(ScriptTest, PointsMoveByTheFixPointLessTheFirstPoint)
{
    Open(8, 8);
    struct Step {
        const char *what;
        int x, y, wantX, wantY;
    };
    SetScriptFixPoint(110, 220, 1);
    ResetScriptOrigin();
    for (const Step &s : {Step{"the first point becomes the origin", 10, 20, 110, 220},
                          Step{"later points keep their distance to it", 15, 20, 115, 220},
                          Step{"also to the left and above", 5, -3, 105, 197},
                          Step{"far points are held to the int range", INT_MAX, 20, INT_MAX, 220}}) {
        int x = s.x, y = s.y;
        TranslateScriptPoint(&x, &y);
        EXPECT_EQ(x, s.wantX) << s.what;
        EXPECT_EQ(y, s.wantY) << s.what;
    }
    Run("command FixPoint");
    int x = 15, y = 20;
    TranslateScriptPoint(&x, &y);
    EXPECT_EQ(x, 15); // offset mode off: points as written
    EXPECT_EQ(y, 20);
}

// Pen lines come from macro files and plug-ins: a side beyond the limit, a box or row outside the
// matrix is refused and leaves the pen as it was.
TEST_F(ScriptTest, PenLinesOutsideThePenAreRefused)
{
    Open(8, 8);
    for (const char *line : {"setpen 3 1 1 0 0 2 2 1", "setpenopa 0 ff 80  1", "setpenopa 1 a0 B0 c",
                             "setpenopa 2 0 zz 7f", "setpencol 0 0 1 2", "setpencol 2 3 4 ffffffff", "setpenend"})
        Run(line);
    PenState built = CurrentPen();
    int fields[8] = {3, 1, 1, 0, 0, 2, 2, 1};
    EXPECT_EQ(memcmp(built.fields, fields, sizeof fields), 0);
    EXPECT_EQ(built.weights, (std::vector<uint32_t>{0xff, 0x80, 1, 0xa0, 0xb0, 0xc, 0, 0, 0x7f}));
    EXPECT_EQ(built.colors, (std::vector<uint32_t>{0, 1, 2, 0, 0, 0, 3, 4, 0xffffffffu}));

    for (const char *line : {
             "setpen 0 0 0 0 0 0 0 0",
             "setpen -4 0 0 0 0 1 1 0",
             "setpen 1025 0 0 0 0 1 1 0",
             "setpen 2147483648 0 0 0 0 1 1 0",
             "setpen 4 0 0 0 0 4 3 0",
             "setpen 4 0 0 0 0 3 4 0",
             "setpen 4 0 0 -1 0 3 3 0",
             "setpen 4 0 0 0 -2 3 3 0",
             "setpenopa 3 1 2 3",
             "setpenopa -1 1 2 3",
             "setpencol 99999999999 1 2 3",
             "setpencol 4294967296 1 2 3",
         }) {
        Run(line);
        EXPECT_TRUE(CurrentPen() == built) << line;
    }
    // A pen maker may leave a box past the matrix, or a side below it: such rows are not written.
    PenRecord *pen = QzsGetPen();
    pen->right = 40;
    Run("setpenopa 0 1 2 3 4 5 6 7 8 9");
    pen->side = 2, pen->right = pen->bottom = 1;
    Run("setpenopa 2 1 2");
    Run("setpencol 2 1 2");
    pen->side = 3, pen->right = pen->bottom = 2;
    EXPECT_TRUE(CurrentPen() == built);
    EXPECT_TRUE(boxes.boxes.empty());
}

// "draw" lines call only the entries the current method has; "drawit" still ends the figure.
TEST_F(ScriptTest, DrawLinesSkipEntriesTheMethodLacks)
{
    Open(16, 16);
    struct Case {
        const char *what;
        bool module;
    } cases[] = {{"an empty row", false}, {"a method without point entries", true}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        memset(g_drawPlugins, 0, sizeof g_drawPlugins);
        if (c.module) {
            g_drawPlugins[0].module = GetModuleHandleA(nullptr);
            g_drawPlugins[0].interaction = 0;
            snprintf(g_drawPlugins[0].name, sizeof g_drawPlugins[0].name, "Bare");
            ASSERT_EQ(SelectDraw(0), 1);
        }
        QzPoint p = {3, 3};
        QzsSetNewEntryPoint(&p);
        for (const char *line : {"draw setpoint 1 2 0", "draw cancelone 1 2 0", "draw drawit 3 4 0"})
            Run(line);
        EXPECT_EQ(QzsGetHowManyPoints(), c.module ? 0 : 1);
        EXPECT_EQ(((uint32_t *)g->base->pixels)[2 * 16 + 1], Pattern(1, 2));
    }
    EXPECT_TRUE(boxes.boxes.empty());
}

// "command resizeimage <mode> w h x y": a new canvas in the new-image background with the old
// picture at (x, y), clipped on every side.
TEST_F(ScriptTest, ResizeImagePlacesTheOldPictureOnANewCanvas)
{
    g_cfg.NewImageBackground = 0;
    QzsSetColorRGB(1, 10, 20, 30);
    const uint32_t background = 0xFF0A141Eu;
    struct Case {
        const char *line;
        int width, height, x, y; // 0 x 0: refused, the picture as it was
        const char *message;
    } cases[] = {
        {"command resizeimage add 10 0 -5 0", 110, 50, -5, 0, nullptr},
        {"command RESIZEIMAGE fix 40 30 3 4", 40, 30, 3, 4, nullptr},
        {"command resizeimage rate 50 20 0 0", 150, 60, 0, 0, nullptr},
        {"command resizeimage rate -50 -50 -20 7", 50, 25, -20, 7, nullptr},
        {"command resizeimage add 0 0 200 -100", 100, 50, 200, -100, nullptr},
        {"command resizeimage add -100 0 0 0", 0, 0, 0, 0, "Can't open new image"},
        {"command resizeimage fix 10 -1 0 0", 0, 0, 0, 0, "Can't open new image"},
        {"command resizeimage rate -100 0 0 0", 0, 0, 0, 0, "Can't open new image"},
        {"command resizeimage fix 2147483647 2147483647 0 0", 0, 0, 0, 0, "Can't open new image"},
        {"command resizeimage grow 10 10 0 0", 0, 0, 0, 0, nullptr},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.line);
        boxes.boxes.clear();
        Open(100, 50);
        CDIB *before = w->layerImage;
        Run(c.line);
        EXPECT_EQ(Texts(), c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{});
        int width, height, depth;
        ASSERT_TRUE(GetImageSize(w->layerImage, &width, &height, &depth));
        if (!c.width) {
            EXPECT_EQ(w->layerImage, before);
            EXPECT_EQ(width * 1000 + height, 100 * 1000 + 50);
            continue;
        }
        EXPECT_EQ(g->base, w->layerImage);
        EXPECT_EQ(width * 1000 + height, c.width * 1000 + c.height);
        EXPECT_EQ(depth, 32);
        int bad = 0;
        for (int y = 0; y < height; y++)
            for (int x = 0; x < width; x++) {
                int sx = x - c.x, sy = y - c.y;
                uint32_t want = sx >= 0 && sx < 100 && sy >= 0 && sy < 50 ? Pattern(sx, sy) : background;
                bad += ((uint32_t *)w->layerImage->pixels)[y * width + x] != want;
            }
        EXPECT_EQ(bad, 0);
        EXPECT_EQ(w->layerImage->modified, 1);
    }
    // No group in the window, or no current window: nothing at all.
    ImageWindow *empty = CreateImageWindow(0, 0, 100, 100);
    ASSERT_NE(empty, nullptr);
    boxes.boxes.clear();
    ExecuteScriptLine(empty, "command resizeimage fix 0 0 0 0");
    g_currentWindow = nullptr;
    QzsExecuteScript("command resizeimage fix 0 0 0 0");
    QzsExecuteScript(nullptr);
    EXPECT_TRUE(boxes.boxes.empty());
}

// Sizes whose image passes its own limit but whose window cannot be built (the display with its
// frame, the work buffers): refused with one box before anything changes, and the window goes on.
TEST_F(ScriptTest, ResizeImageRefusesSizesTheWindowCannotShow)
{
    auto title = [&] {
        char text[400] = "";
        GetWindowTextA(w->window, text, sizeof text);
        return std::string(text);
    };
    for (const char *line : {"command resizeimage fix 23170 23170 0 0", "command resizeimage fix 1 200000000 0 0"}) {
        SCOPED_TRACE(line);
        boxes.boxes.clear();
        Open(100, 50);
        CDIB *before = w->layerImage;
        const std::string shown = title();
        const int wasModified = before->modified;
        ASSERT_NE(shown.find("(100*50)"), std::string::npos);
        Run(line);
        EXPECT_EQ(Texts(), std::vector<std::string>{"Can't open new image"});
        EXPECT_EQ(w->layerImage, before);
        EXPECT_EQ(g->base, before);
        EXPECT_EQ(before->undoFirst, nullptr);
        EXPECT_EQ(w->contentWidth * 1000 + w->contentHeight, 100 * 1000 + 50);
        EXPECT_NE(w->drawBuffer, nullptr);
        EXPECT_NE(w->display.pixels, nullptr);
        EXPECT_EQ(title(), shown);
        EXPECT_EQ(before->modified, wasModified);

        // Later lines still act on the window, and the undo chain takes the resize back.
        boxes.boxes.clear();
        Run("command resizeimage add 10 0 0 0");
        EXPECT_NE(title().find("(110*50)"), std::string::npos);
        EXPECT_EQ(w->contentWidth, 110);
        EXPECT_EQ(UndoImage(w), 0);
        int width, height, depth;
        ASSERT_TRUE(GetImageSize(w->layerImage, &width, &height, &depth));
        EXPECT_EQ(width * 1000 + height, 100 * 1000 + 50);
        EXPECT_EQ(((uint32_t *)w->layerImage->pixels)[49 * 100 + 99], Pattern(99, 49));
        EXPECT_TRUE(boxes.boxes.empty());
    }
}

TEST_F(ScriptTest, ReplayAndSaveMessages)
{
    Open(6, 4);
    std::string missing = dir.file("none.ovm");
    EXPECT_EQ(PlayMacroFile(missing.c_str()), 0);
    // The macro directory does not exist yet: recording makes it.
    DispatchCommand(w, 32060, 0);
    EXPECT_TRUE(IsMacroRecording());
    DispatchCommand(w, 32061, 0);
    DispatchCommand(w, 32060, 0);
    EXPECT_FALSE(IsMacroRecording());
    EXPECT_EQ(GetFileAttributesA((std::string(g_cfg.Macro_dir) + "\\keymac1.ovm").c_str()) & FILE_ATTRIBUTE_DIRECTORY,
              0u);

    SetSaveFormat(kFormatMrf);
    SetSaveDepth(32);
    std::string out = dir.file("script out.bmp");
    Run(("command saveimage \"" + out + "\" NoSuchType 24").c_str());
    EXPECT_EQ(GetFileAttributesA(out.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"macro file " + missing + " can't open", "Now macro recoding",
                                                 "Undefined save type"}));

    // The user's save options outlive a line that saves with options of its own.
    ClearSaveOptions();
    SetSaveOption(0, "q90");
    SetSaveOption(1, "fast");
    Run(("command saveimage \"" + out + "\" BMP 24 1 2 3").c_str());
    std::string file = ReadFileText(out);
    ASSERT_EQ(file.size(), 54u + 4 * 20); // rows of 18 bytes padded to 20
    auto word = [&](size_t at) { return (uint8_t)file[at] | (uint8_t)file[at + 1] << 8; };
    EXPECT_EQ(word(18), 6);
    EXPECT_EQ(word(22), 4);
    EXPECT_EQ(word(28), 24);
    // The top row is stored last, blue first.
    EXPECT_EQ((uint8_t)file[54 + 3 * 20 + 5 * 3 + 2], 5);
    EXPECT_EQ((uint8_t)file[54 + 3 * 20 + 5 * 3 + 0], 0x40);
    EXPECT_EQ(GetSaveFormat(), kFormatMrf);
    EXPECT_EQ(GetSaveDepth(), 32);
    ASSERT_EQ(GetSaveOptionCount(), 2);
    EXPECT_STREQ(GetSaveOptionTable()[0], "q90");
    EXPECT_STREQ(GetSaveOptionTable()[1], "fast");
    EXPECT_EQ(boxes.boxes.size(), 3u);
}
