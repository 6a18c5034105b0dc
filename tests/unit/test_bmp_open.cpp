// The ways in: selections of the open dialog, layers, the command line, directories, view-only
// pictures, the reading service and pictures handed over in memory.
#include "testsupport.h"
#include "files/openimage.h"
#include "plugins/loader.h"
#include "plugins/susie.h"
#include "base/app.h"
#include "files/progress.h"
#include "files/save.h"
#include "image/cdib.h"
#include "image/group.h"
#include "image/imagelist.h"
#include "base/messages.h"
#include "shell/commands.h"
#include "shell/winproc.h"
#include "view/groupview.h"
#include "view/winlist.h"
#include <string.h>
#include <shlobj.h>
#include <commctrl.h>
#include <fstream>
#include <vector>

namespace {

// A 2 x 1 BMP of the given depth whose two pixels are the colours given (0xRRGGBB).
std::string SmallBmp(int depth, uint32_t a, uint32_t b)
{
    std::string s = "BM";
    auto put32 = [&](uint32_t v) {
        for (int i = 0; i < 4; i++)
            s += (char)(v >> (8 * i));
    };
    uint32_t palette = depth == 8 ? 256 * 4 : 0;
    put32(14 + 40 + palette + 8);
    put32(0);
    put32(14 + 40 + palette);
    put32(40);
    put32(2);
    put32(1);
    s += (char)1, s += (char)0, s += (char)depth, s += (char)0;
    for (int i = 0; i < 6; i++)
        put32(0);
    if (depth == 8) {
        for (int i = 0; i < 256; i++)
            put32(i == 1 ? a : i == 2 ? b : 0);
        s += std::string("\x01\x02\0\0\0\0\0\0", 8);
    } else {
        for (uint32_t c : {a, b})
            s += (char)c, s += (char)(c >> 8), s += (char)(c >> 16);
        s += std::string(2, '\0');
    }
    return s;
}

std::string Mrf(int w, int h)
{
    std::string s = "QzFF";
    s += (char)2;
    s.resize(64, '\0');
    auto put32 = [&](uint32_t v) {
        for (int i = 0; i < 4; i++)
            s += (char)(v >> (8 * i));
    };
    for (uint32_t v : {(uint32_t)w, (uint32_t)h, 0u, 0u, 1u, 255u, 0u})
        put32(v);
    s += std::string(7, '\0');
    s += std::string((size_t)w * h * 4, '\x11');
    return s;
}

uint32_t Pixel(const CDIB *image, int x) { return ((const uint32_t *)image->pixels)[x]; }

class OpenTest : public HostTest {
protected:
    std::string Selection(std::initializer_list<std::string> parts)
    {
        std::string s;
        for (const std::string &p : parts)
            s += p + '\0';
        return s + '\0';
    }
    int CountGroups()
    {
        int n = 0;
        for (ImageGroup *g = g_firstGroup; g; g = g->next)
            n++;
        return n;
    }
};

} // namespace

TEST_F(OpenTest, SelectionsOpenEachFileInOrder)
{
    WriteFileText(dir.file("a.bmp"), SmallBmp(24, 0x010203, 0x040506));
    WriteFileText(dir.file("b.bmp"), SmallBmp(24, 0x0A0B0C, 0x0D0E0F));
    OpenSelectedFiles(nullptr, Selection({dir.path(), "a.bmp", "b.bmp"}).c_str(), 1, 0);
    ASSERT_EQ(CountGroups(), 2);
    EXPECT_STREQ(g_firstGroup->base->name, "a.bmp");
    EXPECT_STREQ(g_firstGroup->next->base->name, "b.bmp");
    EXPECT_EQ(Pixel(g_firstGroup->next->base, 1), 0xFF0D0E0Fu);
    // One string: a full path.
    OpenSelectedFiles(nullptr, Selection({dir.file("a.bmp")}).c_str(), 1, 0);
    EXPECT_EQ(CountGroups(), 3);
    // Two strings are one path too: the first string, here a directory, which opens no image.
    OpenSelectedFiles(nullptr, Selection({dir.path(), "b.bmp"}).c_str(), 1, 0);
    EXPECT_EQ(CountGroups(), 3);
    EXPECT_TRUE(boxes.boxes.empty());
}

// Loading as layers: pictures join the current group at (0, 0), shown and opaque; an mrf file
// still becomes a group of its own.
TEST_F(OpenTest, LoadLayerAddsLayersButNativeFilesStayGroups)
{
    WriteFileText(dir.file("base.bmp"), SmallBmp(24, 0, 0));
    WriteFileText(dir.file("layer.bmp"), SmallBmp(24, 0x112233, 0x445566));
    WriteFileText(dir.file("own.mrf"), Mrf(2, 2));
    OpenSelectedFiles(nullptr, Selection({dir.file("base.bmp")}).c_str(), 1, 0);
    ImageGroup *g = g_lastGroup;
    ASSERT_NE(g, nullptr);
    OpenSelectedFiles(g, Selection({dir.path(), "layer.bmp", "own.mrf"}).c_str(), 1, 1);
    ASSERT_NE(g->firstLayer, nullptr);
    LayerRecord *l = g->firstLayer;
    EXPECT_STREQ(l->image->name, "layer.bmp");
    EXPECT_EQ(l->x, 0);
    EXPECT_EQ(l->y, 0);
    EXPECT_EQ(l->status, 1);
    EXPECT_EQ(l->opacity, 255);
    EXPECT_EQ(l->next, nullptr);
    EXPECT_EQ(CountGroups(), 2);
    EXPECT_STREQ(g_lastGroup->name, "own.mrf");
}

TEST_F(OpenTest, CommandLineTakesTheFirstMatchOfEachPiece)
{
    WriteFileText(dir.file("pic1.bmp"), SmallBmp(24, 1, 1));
    WriteFileText(dir.file("other.bmp"), SmallBmp(24, 2, 2));
    std::string line = "  " + dir.file("pic*.bmp") + "   " + dir.file("other.bmp") + " ";
    OpenCommandLineFiles(line.c_str());
    ASSERT_EQ(CountGroups(), 2);
    EXPECT_EQ(std::string(g_firstGroup->base->path), dir.file("pic1.bmp"));
    EXPECT_STREQ(g_lastGroup->base->name, "other.bmp");
    boxes.boxes.clear();
    OpenCommandLineFiles(dir.file("nothing*.bmp").c_str());
    EXPECT_EQ(CountGroups(), 2);
    EXPECT_EQ(boxes.boxes.size(), 1u);
    // A name too long for any image is said too, cut to fit the message with its end kept; the
    // pieces after it still open.
    boxes.boxes.clear();
    std::string longName = dir.file(std::string(600, 'n') + "_end.bmp");
    OpenCommandLineFiles((longName + " " + dir.file("other.bmp")).c_str());
    EXPECT_EQ(CountGroups(), 3);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    const std::string &text = boxes.boxes[0].text;
    EXPECT_LT(text.size(), 250u);
    EXPECT_EQ(text.compare(0, 3, longName.substr(0, 3)), 0);
    EXPECT_NE(text.find("..."), std::string::npos);
    EXPECT_NE(text.find("n_end.bmp can't open!"), std::string::npos);
}

TEST_F(OpenTest, DirectoryOpensNothing)
{
    EXPECT_EQ(OpenImageFile(dir.path().c_str(), 1, 0), 1);
    EXPECT_EQ(g_firstImage, nullptr);
    EXPECT_TRUE(boxes.boxes.empty());
}

// The view-only open keeps the read blocks: an 8-bit picture stays an 8-bit image.
TEST_F(OpenTest, ViewOnlyKeepsThePictureAsRead)
{
    WriteFileText(dir.file("v.bmp"), SmallBmp(8, 0x102030, 0x405060));
    CDIB *before = g_lastImage;
    ASSERT_EQ(OpenImageFile(dir.file("v.bmp").c_str(), 0, 0), 0);
    CDIB *image = g_lastImage;
    ASSERT_NE(image, before);
    EXPECT_EQ(image->editDepth, 8);
    EXPECT_EQ(image->header->bmiHeader.biBitCount, 8);
    EXPECT_NE(image->packedHeader, nullptr);
    EXPECT_NE(image->packedBits, nullptr);
    EXPECT_EQ(((const uint8_t *)image->pixels)[1], 2);
}

TEST_F(OpenTest, ReadingServiceGivesADibPairOrNothing)
{
    WriteFileText(dir.file("s.bmp"), SmallBmp(24, 0x010203, 0x040506));
    HGLOBAL h, b;
    ASSERT_EQ(QzsReadImageFile(dir.file("s.bmp").c_str(), nullptr, &h, &b), 1);
    EXPECT_EQ(((BITMAPINFOHEADER *)GlobalLock(h))->biWidth, 2);
    GlobalUnlock(h);
    GlobalFree(h);
    GlobalFree(b);
    EXPECT_EQ(g_firstImage, nullptr); // no image record is made
    WriteFileText(dir.file("bad.bmp"), "BM and nothing else");
    EXPECT_EQ(QzsReadImageFile(dir.file("bad.bmp").c_str(), nullptr, &h, &b), 0);
    EXPECT_EQ(h, nullptr);
    EXPECT_EQ(b, nullptr);
    EXPECT_TRUE(boxes.boxes.empty()); // collected, not shown
    EXPECT_FALSE(IsMessageBatching());
    EXPECT_EQ(QzsReadImageFile(nullptr, nullptr, &h, &b), 0);
}

// A packed picture in memory becomes a new untitled 32-bit image; a short colour table leaves
// higher indexes black instead of reading past it.
TEST_F(OpenTest, PictureFromMemory)
{
    std::vector<uint8_t> dib(40 + 3 * 4 + 4, 0);
    BITMAPINFOHEADER *h = (BITMAPINFOHEADER *)dib.data();
    h->biSize = 40;
    h->biWidth = 4;
    h->biHeight = 1;
    h->biPlanes = 1;
    h->biBitCount = 4;
    h->biClrUsed = 3;
    RGBQUAD *table = (RGBQUAD *)(dib.data() + 40);
    table[1] = {0x30, 0x20, 0x10, 0};
    table[2] = {0x60, 0x50, 0x40, 0};
    dib[52] = 0x12;
    dib[53] = 0xF0;
    ASSERT_EQ(QzsSetDIBImage((BITMAPINFO *)dib.data(), 0), 1);
    CDIB *image = g_lastImage;
    ASSERT_NE(image, nullptr);
    EXPECT_NE(image->untitledNumber, 0);
    EXPECT_EQ(image->modified, 1);
    EXPECT_EQ(Pixel(image, 0), 0xFF102030u);
    EXPECT_EQ(Pixel(image, 1), 0xFF405060u);
    EXPECT_EQ(Pixel(image, 2), 0xFF000000u);
    h->biClrUsed = 1000;
    EXPECT_EQ(QzsSetDIBImage((BITMAPINFO *)dib.data(), 0), 0);
    // Compressed bits are shorter than plain rows: refused rather than read past the block.
    h->biClrUsed = 3;
    h->biCompression = BI_RLE4;
    h->biWidth = 4096;
    EXPECT_EQ(QzsSetDIBImage((BITMAPINFO *)dib.data(), 0), 0);
}

TEST(FileNamePart, WalksByCharacter)
{
    EXPECT_STREQ(GetFileNamePart("C:\\dir\\name.bmp"), "name.bmp");
    EXPECT_STREQ(GetFileNamePart("name.bmp"), "name.bmp");
    EXPECT_STREQ(GetFileNamePart(""), "");
    EXPECT_STREQ(GetFileNamePart("C:\\dir\\"), "");
    char dir[8];
    GetDirectoryPart("C:\\a long directory\\x", dir, sizeof dir);
    EXPECT_STREQ(dir, "C:\\a lo"); // cut to the buffer, never past it
}

// A drop of ANSI names, as the shell hands it over.
HDROP MakeDrop(const std::vector<std::string> &names)
{
    size_t bytes = sizeof(DROPFILES) + 1;
    for (const std::string &n : names)
        bytes += n.size() + 1;
    HGLOBAL memory = GlobalAlloc(GHND, bytes);
    DROPFILES *drop = (DROPFILES *)GlobalLock(memory);
    drop->pFiles = sizeof(DROPFILES);
    char *p = (char *)(drop + 1);
    for (const std::string &n : names) {
        memcpy(p, n.c_str(), n.size() + 1);
        p += n.size() + 1;
    }
    GlobalUnlock(memory);
    return (HDROP)memory;
}

TEST(DroppedFiles, NamesThatDoNotFitWholeAreRefused)
{
    const std::string fits(15, 'a'), exact(16, 'b');
    HDROP drop = MakeDrop({fits, exact, "c"});
    char name[16];
    EXPECT_EQ(GetDroppedFileName(drop, 0, name, sizeof name), 1);
    EXPECT_EQ(name, fits);
    EXPECT_EQ(GetDroppedFileName(drop, 1, name, sizeof name), 0); // cut, it would name another file
    EXPECT_EQ(GetDroppedFileName(drop, 2, name, sizeof name), 1);
    EXPECT_STREQ(name, "c");
    EXPECT_EQ(GetDroppedFileName(drop, 3, name, sizeof name), 0); // past the last name
    GlobalFree(drop);
}

// Twenty steps over a read or a save: done x 20 / total, never back, 20 at the end.
TEST_F(OpenTest, ProgressStepsTowardTwenty)
{
    MarkFileProgressClosed();
    ShowLoadProgress(0, 0, 0);
    EXPECT_EQ(GetFileProgressSteps(), 0);
    struct Case {
        int done, total, steps;
    } cases[] = {{1, 3, 6}, {5, 10, 10}, {3, 10, 10}, {9, 10, 18}, {10, 10, 20}, {11, 10, 20}};
    // The window itself: shown with its caption, its bar following the steps.
    HWND window = FindOwnWindow("#32770", "Now loading...");
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(IsWindowVisible(window));
    HWND bar = FindWindowExA(window, nullptr, PROGRESS_CLASSA, nullptr);
    ASSERT_NE(bar, nullptr);
    for (const Case &c : cases) {
        EXPECT_EQ(ShowLoadProgress(c.done, c.total, 0), 0);
        EXPECT_EQ(GetFileProgressSteps(), c.steps) << c.done << "/" << c.total;
        EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), c.steps);
    }
    CloseFileProgress();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(ShowSaveProgress(0, 0, 0), 0); // a new run starts at 0
    EXPECT_EQ(GetFileProgressSteps(), 0);
    EXPECT_EQ(ShowSaveProgress(1, 2, 0), 0);
    EXPECT_EQ(GetFileProgressSteps(), 10);
}

namespace {

struct OpenDrive {
    std::string names;
    bool previewBox = false, found = false, releaseIgnored = false;
    std::vector<std::string> types;
} s_open;

// Types two names into the open dialog and confirms.
void DriveOpen(HWND dialog)
{
    s_open.found = true;
    HWND preview = FindDescendant(dialog, 3000);
    char text[32] = "";
    if (preview)
        GetWindowTextA(preview, text, sizeof text);
    s_open.previewBox = strcmp(text, "Preview") == 0;
    s_open.releaseIgnored = g_ignoreNextLeftRelease;
    HWND types = FindDescendant(dialog, 0x470); // the file-type box
    for (int i = 0; types && i < (int)SendMessageA(types, CB_GETCOUNT, 0, 0); i++) {
        char type[128] = "";
        if (SendMessageA(types, CB_GETLBTEXTLEN, (WPARAM)i, 0) < (LRESULT)sizeof type)
            SendMessageA(types, CB_GETLBTEXT, (WPARAM)i, (LPARAM)type);
        s_open.types.push_back(type);
    }
    HWND box = FindDescendant(dialog, 0x47c); // the file-name box
    if (!box)
        box = FindDescendant(dialog, 0x480);
    SetWindowTextA(box, s_open.names.c_str());
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
}

} // namespace

// The open dialog with its preview template: two chosen files come back as a directory and two
// names, and open in that order.
TEST_F(OpenTest, OpenDialogReturnsTheSelection)
{
    WriteFileText(dir.file("one.bmp"), SmallBmp(24, 1, 2));
    WriteFileText(dir.file("two.bmp"), SmallBmp(24, 3, 4));
    snprintf(g_lastOpenDirectory, sizeof g_lastOpenDirectory, "%s", dir.path().c_str());
    s_open = OpenDrive();
    s_open.names = "\"one.bmp\" \"two.bmp\"";
    // As the start-up does once the readers are loaded: the list, then its bars made NULs.
    BuildOpenFilter();
    SplitBarList(GetOpenFilterText());
    DriveNextDialog(DriveOpen, 300);
    char selection[1024];
    int result = ShowOpenFileDialog(selection, sizeof selection);
    StopDrivingDialogs();
    ASSERT_TRUE(s_open.found);
    EXPECT_TRUE(s_open.previewBox);
    // The release of the button that closes the dialog is not for an image window.
    EXPECT_TRUE(s_open.releaseIgnored);
    EXPECT_EQ(s_open.types, (std::vector<std::string>{"All Image File", "Mirel File (*.mrf)", "BMP (*.bmp)"}));
    ASSERT_EQ(result, 0);
    EXPECT_EQ(std::string(selection), dir.path());
    OpenSelectedFiles(nullptr, selection, 1, 0);
    ASSERT_EQ(CountGroups(), 2);
    EXPECT_STREQ(g_firstGroup->base->name, "one.bmp");
    EXPECT_STREQ(g_lastGroup->base->name, "two.bmp");
}

namespace {

// A 2 x 1 BMP of 16 bits (5-5-5) holding the two words given.
std::string Bmp16(uint16_t a, uint16_t b)
{
    std::string s = "BM";
    auto put32 = [&](uint32_t v) {
        for (int i = 0; i < 4; i++)
            s += (char)(v >> (8 * i));
    };
    put32(14 + 40 + 4);
    put32(0);
    put32(14 + 40);
    put32(40);
    put32(2);
    put32(1);
    s += (char)1, s += (char)0, s += (char)16, s += (char)0;
    for (int i = 0; i < 6; i++)
        put32(0);
    for (uint16_t v : {a, b})
        s += (char)v, s += (char)(v >> 8);
    return s;
}

std::string Title(HWND window)
{
    char text[400] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

} // namespace

// "Convert into edit" on pictures opened for viewing only, through the command as the menu sends
// it: the window that showed them view-only can edit them, with the colours the file holds.
TEST_F(OpenTest, ConvertIntoEditMakesAViewOnlyPictureEditable)
{
    ASSERT_EQ(RegisterImageWindowClass(), 1);
    g_statusWindowsOn = 0;
    // 5-5-5 words: each 5-bit level v reads as (v << 3) | 7.
    auto from555 = [](uint16_t v) {
        return 0xFF000000u | (uint32_t)(((v >> 7) & 0xF8) | 7) << 16 | (uint32_t)(((v >> 2) & 0xF8) | 7) << 8 |
               (uint32_t)(((v << 3) & 0xF8) | 7);
    };
    struct Case {
        std::string file;
        uint32_t a, b;
    } cases[] = {
        {SmallBmp(8, 0x102030, 0xA0B0C0), 0xFF102030u, 0xFFA0B0C0u},
        {Bmp16(0x7C00 | 0x0015, 0x03E0 | 0x0001), from555(0x7C15), from555(0x03E1)},
    };
    int n = 0;
    for (const Case &c : cases) {
        std::string path = dir.file("view" + std::to_string(n++) + ".bmp");
        WriteFileText(path, c.file);
        ImageWindow *w = CreateImageWindow(0, 0, 260, 200);
        ASSERT_NE(w, nullptr);
        MakeWindowCurrent(w);
        CDIB *before = g_lastImage;
        ASSERT_EQ(OpenImageFile(path.c_str(), 0, 0), 0);
        CDIB *image = g_lastImage;
        ASSERT_NE(image->editDepth, 32);
        AddOpenedImage(nullptr, before, image); // shown in the current window, view-only
        ASSERT_EQ(w->layerImage, image);
        EXPECT_EQ(w->drawBuffer, nullptr);
        EXPECT_NE(Title(w->window).find(" <<< VIEW >>>"), std::string::npos);
        DispatchCommand(w, 32067, 0);
        EXPECT_EQ(image->editDepth, 32);
        ASSERT_EQ(image->header->bmiHeader.biBitCount, 32);
        EXPECT_EQ(image->packedHeader, nullptr);
        EXPECT_EQ(((uint32_t *)image->pixels)[0], c.a);
        EXPECT_EQ(((uint32_t *)image->pixels)[1], c.b);
        EXPECT_NE(w->drawBuffer, nullptr) << "the window edits it now";
        EXPECT_EQ(Title(w->window).find("VIEW"), std::string::npos) << Title(w->window);
        DiscardAllImages();
    }
}
