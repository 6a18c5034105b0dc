// The ways in: selections of the open dialog, layers, the command line, directories, view-only
// pictures, the reading service and pictures handed over in memory.
#include "testsupport.h"
#include "files/openimage.h"
#include "files/progress.h"
#include "files/save.h"
#include "image/cdib.h"
#include "image/group.h"
#include "image/imagelist.h"
#include "base/messages.h"
#include <string.h>
#include <shlobj.h>
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
    for (const Case &c : cases) {
        EXPECT_EQ(ShowLoadProgress(c.done, c.total, 0), 0);
        EXPECT_EQ(GetFileProgressSteps(), c.steps) << c.done << "/" << c.total;
    }
    EXPECT_EQ(ShowSaveProgress(0, 0, 0), 0); // a new run starts at 0
    EXPECT_EQ(GetFileProgressSteps(), 0);
    EXPECT_EQ(ShowSaveProgress(1, 2, 0), 0);
    EXPECT_EQ(GetFileProgressSteps(), 10);
}

namespace {

struct OpenDrive {
    std::string names;
    bool previewBox = false, found = false;
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
    DriveNextDialog(DriveOpen, 300);
    char selection[1024];
    int result = ShowOpenFileDialog(selection, sizeof selection);
    StopDrivingDialogs();
    ASSERT_TRUE(s_open.found);
    EXPECT_TRUE(s_open.previewBox);
    ASSERT_EQ(result, 0);
    EXPECT_EQ(std::string(selection), dir.path());
    OpenSelectedFiles(nullptr, selection, 1, 0);
    ASSERT_EQ(CountGroups(), 2);
    EXPECT_STREQ(g_firstGroup->base->name, "one.bmp");
    EXPECT_STREQ(g_lastGroup->base->name, "two.bmp");
}
