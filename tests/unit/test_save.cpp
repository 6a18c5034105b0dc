// Saving: the save-format table, depth controls, conversion, and what a save leaves behind when
// it works and when it fails.
#include "testsupport.h"
#include "files/bmp.h"
#include "files/openimage.h"
#include "files/save.h"
#include "image/cdib.h"
#include "image/group.h"
#include "image/imagelist.h"
#include "base/settings.h"
#include "view/groupview.h"
#include "view/winlist.h"
#include "shell/winproc.h"
#include <string.h>
#include <fstream>

namespace {

class SaveTest : public HostTest {
protected:
    void SetUp() override
    {
        HostTest::SetUp();
        SetSaveFormat(kFormatBmp);
        SetSaveDepth(24);
        ClearSaveOptions();
        g_cfg.SaveModeInMultiImage = 0;
    }
    ImageGroup *NewGroup(int w, int h, uint32_t colour)
    {
        CDIB *base = nullptr;
        QzsCreateNewImage(&base, w, h, 32);
        EXPECT_NE(base, nullptr);
        for (int i = 0; i < w * h; i++)
            ((uint32_t *)base->pixels)[i] = colour;
        EXPECT_EQ(AddImageGroup(base), 1);
        return g_lastGroup;
    }
    static bool Exists(const std::string &path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
};

} // namespace

TEST(SaveFormatTable, NamesExtensionsAndMasks)
{
    struct Case {
        const char *name;
        int format;
    } names[] = {{"mrf", 1}, {"MRF", 1}, {"Mr2", 2}, {"bmp", 3}, {"BMP", 3}, {"PCT", -1}, {"", -1}, {"bmpx", -1}};
    for (const Case &c : names)
        EXPECT_EQ(FindSaveFormatByName(c.name), c.format) << c.name;
    EXPECT_EQ(FindSaveFormatByName(nullptr), -1);
    struct Ext {
        int format, result;
        const char *text;
        int mask;
    } exts[] = {{1, 1, "mrf", 0x40}, {2, 1, "mr2", 0x40}, {3, 1, "bmp", 0x78}, {4, 0, "@@@", 0}, {99, 0, "@@@", 0},
                {0, 0, "@@@", 0}};
    for (const Ext &e : exts) {
        char text[32];
        EXPECT_EQ(GetSaveFormatExtension(e.format, text, sizeof text), e.result) << e.format;
        EXPECT_STREQ(text, e.text);
        EXPECT_EQ(GetFormatDepthMask(e.format), e.mask) << e.format;
    }
    struct Depth {
        int depth, bit, dialogId, pageId;
    } depths[] = {{8, 0x08, 3003, 8017}, {16, 0x10, 3005, 8018}, {24, 0x20, 3006, 8019}, {32, 0x40, 3009, 8020},
                  {12, 0, 0, 0}, {0, 0, 0, 0}};
    for (const Depth &d : depths) {
        EXPECT_EQ(DepthBit(d.depth), d.bit);
        EXPECT_EQ(DepthToButtonId(d.depth, 1), d.dialogId);
        EXPECT_EQ(DepthToButtonId(d.depth, 0), d.pageId);
    }
}

TEST(SaveFormatTable, OptionTextsAreBounded)
{
    ClearSaveOptions();
    SetSaveOption(0, "300");
    SetSaveOption(1, "a text much longer than nine");
    SetSaveOption(10, "dropped");
    SetSaveOption(-1, "dropped");
    EXPECT_EQ(GetSaveOptionCount(), 2);
    char **table = GetSaveOptionTable();
    EXPECT_STREQ(table[0], "300");
    EXPECT_STREQ(table[1], "a text mu");
    SetSaveOption(9, nullptr);
    EXPECT_EQ(GetSaveOptionCount(), 10);
    EXPECT_STREQ(table[9], "");
}

static INT_PTR CALLBACK NoDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// The depth buttons of the save dialog's template follow each format's mask.
TEST(SaveDepthButtons, FollowTheFormat)
{
    HWND owner = CreateWindowA("STATIC", "", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, NULL, NULL, NULL, NULL);
    HWND dialog = CreateDialogParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(143), owner, NoDialogProc, 0);
    ASSERT_NE(dialog, nullptr);
    auto visible = [&](int id) { return (GetWindowLongA(GetDlgItem(dialog, id), GWL_STYLE) & WS_VISIBLE) != 0; };
    ShowSaveDepthButtons(dialog, kFormatMrf, 1);
    for (int id : {3003, 3005, 3006, 3009})
        EXPECT_FALSE(visible(id)) << id;
    ShowSaveDepthButtons(dialog, kFormatBmp, 1);
    for (int id : {3003, 3005, 3006, 3009})
        EXPECT_TRUE(visible(id)) << id;
    EXPECT_EQ(SelectSaveDepthButton(dialog, kFormatBmp, 8, 1), 8);
    EXPECT_EQ(IsDlgButtonChecked(dialog, 3003), BST_CHECKED);
    // mrf takes 32 bits only: a checked 8 moves to 32.
    EXPECT_EQ(SelectSaveDepthButton(dialog, kFormatMrf, 8, 1), 32);
    EXPECT_EQ(IsDlgButtonChecked(dialog, 3003), BST_UNCHECKED);
    EXPECT_EQ(IsDlgButtonChecked(dialog, 3009), BST_CHECKED);
    // A format with no mask keeps the depth.
    EXPECT_EQ(SelectSaveDepthButton(dialog, 4, 16, 1), 16);
    DestroyWindow(dialog);
    DestroyWindow(owner);
}

// 16 bits: the 4 x 4 ordered dither of the 5-bit levels; 24 and 32 bits: the colours as they are.
TEST_F(SaveTest, ConvertsToEveryDepth)
{
    ImageGroup *g = NewGroup(5, 4, 0x80649628); // red 0x64, green 0x96, blue 0x28
    static const int m4[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    auto level = [](int v, int m) { return (v >> 3) + (2 * (v & 7) >= m && (v >> 3) <= 30); };
    CDIB out;
    ASSERT_EQ(ConvertImageDepth(g->base, 16, &out, nullptr), 0);
    EXPECT_EQ(out.header->bmiHeader.biBitCount, 16);
    for (int y = 0; y < 4; y++)
        for (int x = 0; x < 5; x++) {
            const uint8_t *row = (const uint8_t *)out.pixels + (3 - y) * 12; // bottom-up, 12-byte rows
            int v = row[2 * x] | row[2 * x + 1] << 8;
            int m = m4[y & 3][x & 3];
            EXPECT_EQ(v, level(0x64, m) << 10 | level(0x96, m) << 5 | level(0x28, m)) << x << "," << y;
        }
    FreeImageData(&out);
    ASSERT_EQ(ConvertImageDepth(g->base, 24, &out, nullptr), 0);
    const uint8_t *p = (const uint8_t *)out.pixels;
    EXPECT_EQ(p[0], 0x28);
    EXPECT_EQ(p[1], 0x96);
    EXPECT_EQ(p[2], 0x64);
    FreeImageData(&out);
    ASSERT_EQ(ConvertImageDepth(g->base, 32, &out, nullptr), 0);
    EXPECT_EQ(((uint32_t *)out.pixels)[19], 0xFF649628u); // alpha 255
    FreeImageData(&out);
    ASSERT_EQ(ConvertImageDepth(g->base, 12, &out, nullptr), 0);
    EXPECT_EQ(out.header->bmiHeader.biBitCount, 8);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "bad depth value");
    FreeImageData(&out);
}

TEST_F(SaveTest, SavedImageTakesTheName)
{
    ImageGroup *g = NewGroup(3, 3, 0xFF102030);
    EXPECT_EQ(g->base->modified, 1);
    std::string path = dir.file("saved.bmp");
    ASSERT_EQ(SaveImageGroup(g, path.c_str()), 1);
    EXPECT_EQ(g->base->modified, 0);
    EXPECT_EQ(g->base->untitledNumber, 0);
    EXPECT_STREQ(g->base->name, "saved.bmp");
    EXPECT_EQ(std::string(g->base->path), path);
    HGLOBAL h, b;
    ASSERT_EQ(ReadBmpFile(path.c_str(), &h, &b, nullptr), 1);
    EXPECT_EQ(((BITMAPINFOHEADER *)GlobalLock(h))->biBitCount, 24);
    GlobalUnlock(h);
    GlobalFree(h);
    GlobalFree(b);
    EXPECT_TRUE(boxes.boxes.empty());
}

// Saved under a new name, the group and the windows that show it go by that name.
TEST_F(SaveTest, SaveUnderANewNameRetitlesTheWindows)
{
    ASSERT_EQ(RegisterImageWindowClass(), 1);
    g_statusWindowsOn = 0;
    ImageGroup *g = NewGroup(3, 3, 0xFF102030);
    ImageWindow *w = CreateImageWindow(0, 0, 260, 200);
    ASSERT_NE(w, nullptr);
    MakeWindowCurrent(w);
    ShowGroupInWindow(w, g, 1, 0);
    char title[300];
    GetWindowTextA(w->window, title, sizeof title);
    EXPECT_EQ(std::string(title).find("[[Untitled]]"), 0u) << title;
    for (const char *name : {"first.bmp", "renamed.bmp"}) {
        ASSERT_EQ(SaveImageGroup(g, dir.file(name).c_str()), 1);
        EXPECT_STREQ(g->name, name);
        GetWindowTextA(w->window, title, sizeof title);
        EXPECT_EQ(std::string(title), std::string(name) + " (3*3)");
    }
}

// mrf writes the whole group: the base and every layer count as saved.
TEST_F(SaveTest, MrfSaveClearsTheWholeGroup)
{
    ImageGroup *g = NewGroup(4, 4, 0xFF000000);
    CDIB *layer = nullptr;
    ASSERT_EQ(CreateImageRecord(&layer, 2, 2, 32), 0);
    layer->modified = 1;
    ASSERT_NE(CreateLayer(g, layer, 1, 1, 1, 255, 0), nullptr);
    SetSaveFormat(kFormatMrf);
    ASSERT_EQ(SaveImageGroup(g, dir.file("all.mrf").c_str()), 1);
    EXPECT_EQ(g->base->modified, 0);
    EXPECT_EQ(layer->modified, 0);
    EXPECT_STREQ(g->base->name, "all.mrf");
}

// A failed save says so, keeps the image unsaved under its old name and never touches the file
// already at the path.
TEST_F(SaveTest, FailedSaveChangesNothing)
{
    ImageGroup *g = NewGroup(3, 3, 0xFF102030);
    std::string name = g->base->name;
    std::string old = dir.file("old.bmp");
    WriteFileText(old, "the user's earlier file");
    struct Case {
        int format;
        std::string path;
    } cases[] = {
        {kFormatBmp, dir.file("no\\such\\dir\\x.bmp")},
        {kFormatMrf, dir.file("no\\such\\dir\\x.mrf")},
        {kFirstPluginFormat, old},    // no plug-in in that row
        {kFormatBmp, dir.file(std::string(300, 'n') + ".bmp")}, // longer than an image keeps
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.format);
        boxes.boxes.clear();
        SetSaveFormat(c.format);
        EXPECT_EQ(SaveImageGroup(g, c.path.c_str()), 0);
        ASSERT_EQ(boxes.boxes.size(), 1u);
        EXPECT_EQ(boxes.boxes[0].text, "Can't save");
        EXPECT_EQ(g->base->modified, 1);
        EXPECT_EQ(std::string(g->base->name), name);
        EXPECT_EQ(g->base->path[0], 0);
        EXPECT_NE(g->base->untitledNumber, 0);
        EXPECT_EQ(ReadFileText(old), "the user's earlier file");
    }
    boxes.boxes.clear();
    EXPECT_EQ(SaveImageGroup(nullptr, old.c_str()), 0);
    EXPECT_EQ(SaveImageAsBmp(old.c_str(), nullptr), 0);
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(boxes.boxes[0].text, "No image to save");
}

// A read-only file or a directory at the path is refused before anything is written, in every
// format and by the BMP save: the file stays as it was and read-only, no temporary file is left,
// and the image stays unsaved under the path it had.
TEST_F(SaveTest, ReadOnlyFileOrDirectoryIsNeverReplaced)
{
    ImageGroup *g = NewGroup(3, 3, 0xFF102030);
    std::string earlier = dir.file("earlier.bmp");
    ASSERT_EQ(SaveImageGroup(g, earlier.c_str()), 1);
    std::string locked = dir.file("locked.bmp"), folder = dir.file("folder.bmp");
    WriteFileText(locked, "the user's kept file");
    ASSERT_TRUE(SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), NULL));
    struct Case {
        int format;
        std::string path;
    } cases[] = {{kFormatBmp, locked}, {kFormatMrf, locked}, {kFormatBmp, folder}, {kFormatMrf, folder}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.path + " " + std::to_string(c.format));
        boxes.boxes.clear();
        g->base->modified = 1;
        SetSaveFormat(c.format);
        EXPECT_EQ(SaveImageGroup(g, c.path.c_str()), 0);
        ASSERT_EQ(boxes.boxes.size(), 1u);
        EXPECT_EQ(boxes.boxes[0].text, "Can't save");
        EXPECT_EQ(g->base->modified, 1);
        EXPECT_EQ(std::string(g->base->path), earlier);
        EXPECT_STREQ(g->base->name, "earlier.bmp");
    }
    boxes.boxes.clear();
    EXPECT_EQ(SaveImageAsBmp(locked.c_str(), g->base), 0);
    EXPECT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(ReadFileText(locked), "the user's kept file");
    EXPECT_NE(GetFileAttributesA(locked.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_NE(GetFileAttributesA(folder.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA(dir.file("*.tmp").c_str(), &fd);
    EXPECT_EQ(find, INVALID_HANDLE_VALUE);
    if (find != INVALID_HANDLE_VALUE)
        FindClose(find);
    SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// A layered group in a one-image format: the current layer by mode 0, a merged copy by mode 1
// (the group's images keep their names and flags).
TEST_F(SaveTest, LayeredGroupInAOneImageFormat)
{
    ImageGroup *g = NewGroup(4, 4, 0xFF000000);
    CDIB *layer = nullptr;
    ASSERT_EQ(CreateImageRecord(&layer, 2, 2, 32), 0);
    strcpy(layer->name, "layer");
    layer->modified = 1;
    ASSERT_NE(CreateLayer(g, layer, 0, 0, 1, 255, 0), nullptr);
    QzsSetCurrentInImageGroup(g, g->firstLayer);
    g_cfg.SaveModeInMultiImage = 1;
    ASSERT_EQ(SaveImageGroup(g, dir.file("merged.bmp").c_str()), 1);
    EXPECT_TRUE(Exists(dir.file("merged.bmp")));
    EXPECT_EQ(g->base->modified, 1);
    EXPECT_STREQ(layer->name, "layer");
    EXPECT_EQ(layer->modified, 1);
    HGLOBAL h, b;
    ASSERT_EQ(ReadBmpFile(dir.file("merged.bmp").c_str(), &h, &b, nullptr), 1);
    EXPECT_EQ(((BITMAPINFOHEADER *)GlobalLock(h))->biWidth, 4); // the base's size
    GlobalUnlock(h);
    GlobalFree(h);
    GlobalFree(b);
    g_cfg.SaveModeInMultiImage = 0;
    ASSERT_EQ(SaveImageGroup(g, dir.file("layer.bmp").c_str()), 1);
    EXPECT_STREQ(layer->name, "layer.bmp");
    EXPECT_EQ(layer->modified, 0);
    EXPECT_EQ(g->base->modified, 1);

    // Mode 10 asks: Cancel writes nothing, "Merge && Save" writes the base's size. The question is
    // found by its title: a progress window of the save is a dialog too.
    g_cfg.SaveModeInMultiImage = 10;
    for (int button : {3019, 3000}) {
        static int s_button;
        static void (*s_answer)(HWND);
        s_button = button;
        s_answer = [](HWND) {
            if (HWND question = FindOwnWindow("#32770", "Save"))
                PostMessageA(question, WM_COMMAND, s_button, 0);
            else
                DriveNextDialog(s_answer);
        };
        DriveNextDialog(s_answer);
        SaveImageGroup(g, dir.file("asked.bmp").c_str());
        StopDrivingDialogs();
        EXPECT_EQ(Exists(dir.file("asked.bmp")), button == 3000) << button;
    }
    ASSERT_EQ(ReadBmpFile(dir.file("asked.bmp").c_str(), &h, &b, nullptr), 1);
    EXPECT_EQ(((BITMAPINFOHEADER *)GlobalLock(h))->biWidth, 4);
    GlobalUnlock(h);
    GlobalFree(h);
    GlobalFree(b);
}

TEST_F(SaveTest, ProposedNameAndDefaultSave)
{
    ImageGroup *g = NewGroup(2, 2, 0xFF000000);
    g->base->untitledNumber = 7;
    strcpy(g_cfg.UntitledFileHeader, "img");
    snprintf(g_lastOpenDirectory, sizeof g_lastOpenDirectory, "%s", dir.path().c_str());
    char d[512], n[512];
    GetProposedSaveName(g, d, sizeof d, n, sizeof n);
    EXPECT_EQ(std::string(d), dir.path());
    EXPECT_STREQ(n, "img007");

    strcpy(g_cfg.DefaultSaveFormat, "BMP");
    g_cfg.DefaultSaveDepth = 32;
    ASSERT_EQ(SaveAsDefault(g), 1);
    EXPECT_TRUE(Exists(dir.file("img007.bmp")));
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].caption, "MES");
    EXPECT_EQ(boxes.boxes[0].text, "     3");
    EXPECT_EQ(GetSaveDepth(), 32);
    EXPECT_EQ(GetSaveFormat(), kFormatBmp);

    // Now titled: the base's own directory and name without its extension.
    GetProposedSaveName(g, d, sizeof d, n, sizeof n);
    EXPECT_EQ(std::string(d), dir.path());
    EXPECT_STREQ(n, "img007");
    boxes.boxes.clear();
    strcpy(g_cfg.DefaultSaveFormat, "gif");
    EXPECT_EQ(SaveAsDefault(g), 0);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Undefined save type");
    EXPECT_EQ(SaveAsDefault(nullptr), 0);
}

// The wallpaper copy is written at 24 bits into the application directory; the user's image
// stays as unsaved as it was.
TEST_F(SaveTest, WallpaperLeavesTheImageUnsaved)
{
    ImageGroup *g = NewGroup(3, 2, 0xFF405060);
    ImageWindow window = {};
    window.group = g;
    window.layerImage = g->base;
    ImageWindow *before = g_currentWindow;
    g_currentWindow = &window;
    snprintf(g_cfg.appDir, sizeof g_cfg.appDir, "%s", dir.path().c_str());
    SetSaveDepth(8);
    EXPECT_EQ(SetWallPaper(1), 1);
    g_currentWindow = before;
    EXPECT_EQ(g->base->modified, 1);
    EXPECT_EQ(GetSaveDepth(), 8);
    HGLOBAL h, b;
    ASSERT_EQ(ReadBmpFile(dir.file("wall.bmp").c_str(), &h, &b, nullptr), 1);
    EXPECT_EQ(((BITMAPINFOHEADER *)GlobalLock(h))->biBitCount, 24);
    GlobalUnlock(h);
    GlobalFree(h);
    GlobalFree(b);
    char value[8] = "";
    DWORD size = sizeof value;
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_READ, &key), ERROR_SUCCESS);
    RegQueryValueExA(key, "TileWallpaper", NULL, NULL, (BYTE *)value, &size);
    RegCloseKey(key);
    EXPECT_STREQ(value, "1");
}
