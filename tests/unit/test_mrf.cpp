// The native format mrf: exact layout, round trips of layered groups, old versions and bad files.
#include "testsupport.h"
#include "files/bmp.h"
#include "files/mrf.h"
#include "files/openimage.h"
#include "files/save.h"
#include "image/cdib.h"
#include "image/colors.h"
#include "image/group.h"
#include "image/imagelist.h"
#include <string.h>
#include <fstream>
#include <random>

namespace {

std::vector<uint8_t> ReadBytes(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string &path, const std::vector<uint8_t> &bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write((const char *)bytes.data(), (std::streamsize)bytes.size());
}

uint32_t Le32(const std::vector<uint8_t> &b, size_t at)
{
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | (uint32_t)b[at + 3] << 24;
}

void Put32(std::vector<uint8_t> &b, uint32_t v)
{
    for (int i = 0; i < 4; i++)
        b.push_back((uint8_t)(v >> (8 * i)));
}

// A record in the layout of a given version, with pixels 0xAARRGGBB = seed + index.
void PutRecord(std::vector<uint8_t> &b, int version, int w, int h, int x, int y, int status, int opacity, int blend,
               const std::string &name, uint32_t seed)
{
    for (int v : {w, h, x, y, status, opacity})
        Put32(b, (uint32_t)v);
    if (version >= 1)
        Put32(b, (uint32_t)blend);
    if (version >= 2)
        for (int c : {10, 20, 30}) {
            b.push_back((uint8_t)c);
            b.push_back(0);
        }
    b.insert(b.end(), name.begin(), name.end());
    b.push_back(0);
    for (int i = 0; i < w * h; i++)
        Put32(b, seed + (uint32_t)i);
}

// The header; layers is the count of layer records a writer puts at byte 8 (0: not said).
std::vector<uint8_t> Header(int version, int maskFlag, uint32_t layers = 0)
{
    std::vector<uint8_t> b = {'Q', 'z', 'F', 'F', (uint8_t)version, (uint8_t)(version >> 8), (uint8_t)maskFlag, 0};
    Put32(b, layers);
    b.resize(64, 0);
    return b;
}

class MrfTest : public HostTest {
protected:
    CDIB *NewImage(int w, int h, uint32_t seed)
    {
        CDIB *image = nullptr;
        EXPECT_EQ(CreateImageRecord(&image, w, h, 32), 0);
        for (int i = 0; i < w * h; i++)
            ((uint32_t *)image->pixels)[i] = seed + (uint32_t)i * 7;
        return image;
    }
    // Reads a file into a fresh group; the result and the group (freed by the fixture).
    int Read(const std::string &path, ImageGroup **out, int readAll = 1)
    {
        *out = CreateImageGroup(nullptr);
        int result = ReadMrfFile(path.c_str(), *out, nullptr, readAll);
        if ((*out)->base)
            AppendImageGroup(*out);
        return result;
    }
    int CountLayers(const ImageGroup *g)
    {
        int n = 0;
        for (LayerRecord *l = g->firstLayer; l; l = l->next)
            n++;
        return n;
    }
};

} // namespace

TEST_F(MrfTest, PlainGroupHasTheExactLayout)
{
    CDIB *base = NewImage(3, 2, 0x11223344);
    base->background[0] = 0x30, base->background[1] = 0x20, base->background[2] = 0x10;
    ASSERT_EQ(AddImageGroup(base), 1);
    std::string path = dir.file("plain.mrf");
    ASSERT_EQ(WriteMrfFile(path.c_str(), g_lastGroup), 0);
    std::vector<uint8_t> b = ReadBytes(path);
    ASSERT_EQ(b.size(), 64u + 35u + 3 * 2 * 4);
    EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "QzFF");
    EXPECT_EQ(b[4] | b[5] << 8, 2);
    EXPECT_EQ(b[6] | b[7] << 8, 0);
    EXPECT_EQ(std::vector<uint8_t>(b.begin() + 8, b.begin() + 64), std::vector<uint8_t>(56, 0));
    uint32_t fields[7] = {3, 2, 0, 0, 1, 255, 0};
    for (int i = 0; i < 7; i++)
        EXPECT_EQ(Le32(b, 64 + 4 * i), fields[i]) << "field " << i;
    EXPECT_EQ(b[92], 0x10); // red, green, blue as 16-bit words
    EXPECT_EQ(b[94], 0x20);
    EXPECT_EQ(b[96], 0x30);
    EXPECT_EQ(b[98], 0); // the empty name
    EXPECT_EQ(memcmp(&b[99], base->pixels, 24), 0);
}

TEST_F(MrfTest, LayeredGroupSurvivesARoundTrip)
{
    CDIB *base = NewImage(6, 5, 0x01000000);
    base->background[0] = 1, base->background[1] = 2, base->background[2] = 3;
    base->mask = (uint8_t *)malloc(30);
    for (int i = 0; i < 30; i++)
        base->mask[i] = (uint8_t)(i * 9);
    ASSERT_EQ(AddImageGroup(base), 1);
    ImageGroup *g = g_lastGroup;
    g->baseStatus = 0;
    CDIB *a = NewImage(2, 3, 0x02000000), *b = NewImage(4, 1, 0x03000000);
    strcpy(a->name, "first layer");
    strcpy(b->name, "second");
    ASSERT_NE(CreateLayer(g, a, -1, 2, 1, 255, 0), nullptr);
    ASSERT_NE(CreateLayer(g, b, 3, 4, 0, 128, 2), nullptr);
    std::string path = dir.file("layers.mrf");
    ASSERT_EQ(WriteMrfFile(path.c_str(), g), 0);
    EXPECT_EQ(Le32(ReadBytes(path), 8), 2u); // the layer records, counted in the header

    ImageGroup *r;
    ASSERT_EQ(Read(path, &r), 1);
    EXPECT_STREQ(r->base->name, "layers.mrf");
    EXPECT_STREQ(r->name, "layers.mrf");
    EXPECT_EQ(r->baseStatus, 0);
    EXPECT_EQ(memcmp(r->base->background, base->background, 3), 0);
    EXPECT_EQ(memcmp(r->base->pixels, base->pixels, 6 * 5 * 4), 0);
    ASSERT_NE(r->base->mask, nullptr);
    EXPECT_EQ(memcmp(r->base->mask, base->mask, 30), 0);
    EXPECT_EQ(r->currentImage, r->base);
    EXPECT_EQ(r->currentLayer, nullptr);
    ASSERT_EQ(CountLayers(r), 2);
    LayerRecord *l1 = r->firstLayer, *l2 = l1->next;
    EXPECT_EQ(l1->x, -1);
    EXPECT_EQ(l1->y, 2);
    EXPECT_EQ(l1->status, 1);
    EXPECT_EQ(l1->opacity, 255);
    EXPECT_STREQ(l1->image->name, "first layer");
    EXPECT_EQ(memcmp(l1->image->pixels, a->pixels, 2 * 3 * 4), 0);
    EXPECT_EQ(l2->x, 3);
    EXPECT_EQ(l2->y, 4);
    EXPECT_EQ(l2->status, 0);
    EXPECT_EQ(l2->opacity, 128);
    EXPECT_EQ(l2->blend, 2);
    EXPECT_STREQ(l2->image->name, "second");
    EXPECT_EQ(memcmp(l2->image->pixels, b->pixels, 4 * 4), 0);

    // Without the read-all flag only the base is read.
    ImageGroup *only;
    ASSERT_EQ(Read(path, &only, 0), 1);
    EXPECT_EQ(CountLayers(only), 0);
    EXPECT_EQ(only->base->mask, nullptr);
}

// Older versions lack the blend index and the colour; the colour is then the background colour.
TEST_F(MrfTest, ReadsOlderVersions)
{
    g_colorTable[1].red = 40, g_colorTable[1].green = 50, g_colorTable[1].blue = 60;
    for (int version : {0, 1, -3}) {
        SCOPED_TRACE(version);
        std::vector<uint8_t> f = Header(version, 0);
        PutRecord(f, version, 2, 2, 0, 0, 1, 255, 0, "", 100);
        PutRecord(f, version, 1, 1, 5, 6, 1, 77, 3, "L", 200);
        std::string path = dir.file("old.mrf");
        WriteBytes(path, f);
        ImageGroup *g;
        ASSERT_EQ(Read(path, &g), 1);
        EXPECT_EQ(g->base->background[2], 40);
        EXPECT_EQ(g->base->background[1], 50);
        EXPECT_EQ(g->base->background[0], 60);
        ASSERT_EQ(CountLayers(g), 1);
        EXPECT_EQ(g->firstLayer->blend, version >= 1 ? 3 : 0);
        EXPECT_EQ(g->firstLayer->opacity, 77);
        EXPECT_EQ(((uint32_t *)g->firstLayer->image->pixels)[0], 200u);
    }
}

// A mask flag other than 1 means no mask: the next bytes are the first layer.
TEST_F(MrfTest, MaskFlagTwoHasNoMask)
{
    std::vector<uint8_t> f = Header(2, 2);
    PutRecord(f, 2, 2, 2, 0, 0, 1, 255, 0, "", 1);
    PutRecord(f, 2, 1, 1, 0, 0, 1, 255, 0, "top", 9);
    WriteBytes(dir.file("m.mrf"), f);
    ImageGroup *g;
    ASSERT_EQ(Read(dir.file("m.mrf"), &g), 1);
    EXPECT_EQ(g->base->mask, nullptr);
    ASSERT_EQ(CountLayers(g), 1);
    EXPECT_STREQ(g->firstLayer->image->name, "top");
}

// Cut anywhere inside a layer record: the read fails and leaves no image behind. Cut inside the
// mask, or at a record's end before the layers the header counts: what was read stands, and the
// result says that the file is cut (2).
TEST_F(MrfTest, CutFilesFailWholeOrStandAsCut)
{
    std::vector<uint8_t> f = Header(2, 1, 1);
    PutRecord(f, 2, 2, 2, 0, 0, 1, 255, 0, "", 1);
    size_t afterBase = f.size();
    f.insert(f.end(), 4, 0x01);
    size_t afterMask = f.size();
    PutRecord(f, 2, 2, 1, 0, 0, 1, 255, 0, "layer", 5);
    struct Case {
        size_t length;
        int result, layers;
        bool mask;
    } cases[] = {
        {afterBase, 2, 0, false},     {afterBase + 2, 2, 0, false}, {afterMask, 2, 0, true},
        {afterMask + 3, 100, 0, false}, {afterMask + 20, 100, 0, false}, {afterMask + 35, 100, 0, false},
        {afterMask + 40, 100, 0, false}, {f.size() - 1, 100, 0, false}, {f.size(), 1, 1, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.length);
        WriteBytes(dir.file("cut.mrf"), std::vector<uint8_t>(f.begin(), f.begin() + c.length));
        ImageGroup *g;
        EXPECT_EQ(Read(dir.file("cut.mrf"), &g), c.result);
        if (c.result == 100) {
            EXPECT_EQ(g->base, nullptr);
            EXPECT_EQ(g->firstLayer, nullptr);
            EXPECT_EQ(g_firstImage, nullptr);
            FreeImageGroup(g, 0);
            continue;
        }
        EXPECT_EQ(CountLayers(g), c.layers);
        EXPECT_EQ(g->base->mask != nullptr, c.mask);
        DiscardAllImages();
    }
    // A header that does not count its layers cannot tell a cut at a record's end.
    f[8] = 0;
    WriteBytes(dir.file("cut.mrf"), std::vector<uint8_t>(f.begin(), f.begin() + afterMask));
    ImageGroup *g;
    EXPECT_EQ(Read(dir.file("cut.mrf"), &g), 1);
}

// Names and sizes from the file are bounded before use; opening such a file opens nothing
// and says so.
TEST_F(MrfTest, HostileRecordsAreRefused)
{
    struct Case {
        const char *what;
        std::vector<uint8_t> bytes;
    };
    std::vector<Case> cases;
    auto base = [](int w, int h, const std::string &name, int pixels) {
        std::vector<uint8_t> f = Header(2, 0);
        for (int v : {w, h, 0, 0, 1, 255, 0})
            Put32(f, (uint32_t)v);
        f.resize(f.size() + 6, 0);
        f.insert(f.end(), name.begin(), name.end());
        f.push_back(0);
        f.resize(f.size() + (size_t)pixels, 0);
        return f;
    };
    cases.push_back({"negative width", base(-4, 2, "", 64)});
    cases.push_back({"zero height", base(4, 0, "", 64)});
    cases.push_back({"overflowing size", base(0x40000000, 0x40000000, "", 64)});
    cases.push_back({"sides near 2^31", base(0x7FFFFFFF, 0x7FFFFFFF, "", 64)}); // x 4 wraps 64 bits
    cases.push_back({"larger than the file", base(1000, 1000, "", 64)});
    cases.push_back({"long name", base(1, 1, std::string(300, 'n'), 4)});
    std::vector<uint8_t> open = base(1, 1, "", 0);
    open.pop_back();
    open.insert(open.end(), {'a', 'b', 'c'}); // no NUL before the end
    cases.push_back({"unterminated name", open});
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        std::string path = dir.file("bad.mrf");
        WriteBytes(path, c.bytes);
        ImageGroup *g;
        EXPECT_EQ(Read(path, &g), 100);
        FreeImageGroup(g, 0);
        boxes.boxes.clear();
        EXPECT_EQ(OpenImageFile(path.c_str(), 1, 0), 1);
        EXPECT_EQ(g_firstImage, nullptr);
        EXPECT_EQ(g_firstGroup, nullptr);
        ASSERT_EQ(boxes.boxes.size(), 1u);
        EXPECT_NE(boxes.boxes[0].text.find("can't open!"), std::string::npos);
    }
    // A name of 255 bytes still fits.
    WriteBytes(dir.file("long.mrf"), base(1, 1, std::string(255, 'n'), 4));
    ImageGroup *g;
    EXPECT_EQ(Read(dir.file("long.mrf"), &g), 1);
}

TEST_F(MrfTest, OpeningAnMrfFileMakesAGroup)
{
    std::vector<uint8_t> f = Header(2, 0);
    PutRecord(f, 2, 3, 3, 0, 0, 1, 255, 0, "", 50);
    PutRecord(f, 2, 1, 1, 1, 1, 1, 255, 0, "L", 60);
    std::string path = dir.file("pic.mrf");
    WriteBytes(path, f);
    EXPECT_EQ(IsMrfFile(path.c_str()), 1);
    EXPECT_EQ(IsMrfFile(dir.file("none.mrf").c_str()), 0);
    EXPECT_EQ(OpenImageFile(path.c_str(), 1, 0), 1);
    ASSERT_NE(g_lastGroup, nullptr);
    CDIB *b = g_lastGroup->base;
    EXPECT_EQ(std::string(b->format, 5), "*.MRF");
    EXPECT_EQ(std::string(b->path), path);
    EXPECT_STREQ(g_lastGroup->name, "pic.mrf");
    EXPECT_EQ(std::string(g_lastOpenDirectory), dir.path());
    EXPECT_EQ(CountLayers(g_lastGroup), 1);
    EXPECT_EQ(b->modified, 0);
    EXPECT_TRUE(boxes.boxes.empty());
}

// A cut file opens as far as it goes: one message says that it is damaged, and the image stays
// unsaved, so that it is never taken for the file and closed or saved over unasked.
TEST_F(MrfTest, OpeningACutFileSaysSoOnceAndKeepsTheImageUnsaved)
{
    std::vector<uint8_t> f = Header(2, 1, 2);
    PutRecord(f, 2, 2, 2, 0, 0, 1, 255, 0, "", 50);
    f.insert(f.end(), 4, 0x01);
    PutRecord(f, 2, 1, 1, 1, 1, 1, 255, 0, "first", 60); // the second layer is missing
    std::string path = dir.file("cut.mrf");
    WriteBytes(path, f);
    EXPECT_EQ(OpenImageFile(path.c_str(), 1, 0), 1);
    ASSERT_NE(g_lastGroup, nullptr);
    EXPECT_EQ(CountLayers(g_lastGroup), 1);
    EXPECT_NE(g_lastGroup->base->mask, nullptr);
    EXPECT_EQ(g_lastGroup->base->modified, 1);
    EXPECT_EQ(std::string(g_lastGroup->base->path), path);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, path + " can't open!");
}

static std::vector<std::vector<int>> s_calls;
static int QZCAPI Record(int done, int total, int zero)
{
    s_calls.push_back({done, total, zero});
    return 0;
}

TEST_F(MrfTest, FirstImageAsADibPair)
{
    std::vector<uint8_t> f = Header(1, 0);
    PutRecord(f, 1, 16, 17, 0, 0, 1, 255, 0, "", 1000); // 1088 bytes: one whole piece and a rest
    PutRecord(f, 1, 1, 1, 0, 0, 1, 255, 0, "L", 1);
    WriteBytes(dir.file("first.mrf"), f);
    HGLOBAL h, b;
    s_calls.clear();
    ASSERT_EQ(ReadMrfFirstImage(dir.file("first.mrf").c_str(), Record, &h, &b), 1);
    EXPECT_EQ(s_calls, (std::vector<std::vector<int>>{{0, 0, 0}, {0, 1, 0}, {1, 1, 0}}));
    const BITMAPINFOHEADER *bih = (const BITMAPINFOHEADER *)GlobalLock(h);
    EXPECT_EQ(bih->biWidth, 16);
    EXPECT_EQ(bih->biHeight, 17);
    EXPECT_EQ(bih->biBitCount, 32);
    const uint32_t *p = (const uint32_t *)GlobalLock(b);
    EXPECT_EQ(p[0], 1000u); // stored order: top row first
    EXPECT_EQ(p[16 * 17 - 1], 1000u + 16 * 17 - 1);
    GlobalUnlock(h);
    GlobalUnlock(b);
    GlobalFree(h);
    GlobalFree(b);
    HGLOBAL viaService, bitsViaService;
    EXPECT_EQ(QzsReadImageFile(dir.file("first.mrf").c_str(), Record, &viaService, &bitsViaService), 1);
    GlobalFree(viaService);
    GlobalFree(bitsViaService);
}

// A view-only picture below 32 bits is written as its 32-bit colours, never read past its store.
TEST_F(MrfTest, ViewOnlyPictureIsConvertedForWriting)
{
    std::vector<uint8_t> bmp = {'B', 'M'};
    Put32(bmp, 0);
    Put32(bmp, 0);
    Put32(bmp, 14 + 40 + 8);
    for (uint32_t v : {40u, 3u, 2u})
        Put32(bmp, v);
    bmp.insert(bmp.end(), {1, 0, 1, 0});
    for (int i = 0; i < 6; i++)
        Put32(bmp, 0);
    Put32(bmp, 0x000000); // black
    Put32(bmp, 0xFF8040);
    bmp.insert(bmp.end(), {0x40, 0, 0, 0, 0xA0, 0, 0, 0}); // bottom row 010, top row 101
    WriteBytes(dir.file("v.bmp"), bmp);
    CDIB *before = g_lastImage;
    ASSERT_EQ(OpenImageFile(dir.file("v.bmp").c_str(), 0, 0), 0);
    AddOpenedImage(nullptr, before, g_lastImage);
    ImageGroup *g = g_lastGroup;
    ASSERT_NE(g, nullptr);
    ASSERT_EQ(g->base->editDepth, 1);
    ASSERT_EQ(WriteMrfFile(dir.file("v.mrf").c_str(), g), 0);
    std::vector<uint8_t> f = ReadBytes(dir.file("v.mrf"));
    ASSERT_EQ(f.size(), 64u + 35u + 3 * 2 * 4);
    uint32_t want[6] = {0xFFFF8040, 0xFF000000, 0xFFFF8040, 0xFF000000, 0xFFFF8040, 0xFF000000};
    for (int i = 0; i < 6; i++)
        EXPECT_EQ(Le32(f, 99 + 4 * i), want[i]) << i;
}

// The conversion goes a row at a time: random pictures of each depth give the colours the whole
// picture converted at once gives.
TEST_F(MrfTest, ViewOnlyPicturesConvertRowByRowAsAWhole)
{
    const int w = 13, h = 5;
    std::mt19937 rng(17);
    for (int depth : {1, 4, 8, 24}) {
        SCOPED_TRACE(depth);
        DiscardAllImages();
        std::vector<uint8_t> block(sizeof(BITMAPINFOHEADER) + 256 * 4);
        BITMAPINFO *info = (BITMAPINFO *)block.data();
        info->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info->bmiHeader.biWidth = w;
        info->bmiHeader.biHeight = h;
        info->bmiHeader.biPlanes = 1;
        info->bmiHeader.biBitCount = (WORD)depth;
        for (int i = 0; i < 256; i++) {
            uint32_t c = rng();
            memcpy(&info->bmiColors[i], &c, 4);
        }
        std::vector<uint8_t> bits((size_t)GetDibRowBytes(w, depth) * h);
        for (uint8_t &b : bits)
            b = (uint8_t)rng();
        ASSERT_EQ(WriteBmpFile(dir.file("r.bmp").c_str(), info, bits.data(), nullptr), 0);
        CDIB *before = g_lastImage;
        ASSERT_EQ(OpenImageFile(dir.file("r.bmp").c_str(), 0, 0), 0);
        AddOpenedImage(nullptr, before, g_lastImage);
        ImageGroup *g = g_lastGroup;
        ASSERT_NE(g, nullptr);
        ASSERT_EQ(g->base->editDepth, depth);
        // The whole picture at once, as the writer converted it before.
        CDIB *wide = nullptr;
        ASSERT_EQ(CreateImageRecord(&wide, w, h, 32), 0);
        const RGBQUAD *palette =
            (const RGBQUAD *)((const uint8_t *)g->base->header + g->base->header->bmiHeader.biSize);
        ConvertDibToImage(wide, g->base, palette, w, h, depth, w, h, 0);
        ASSERT_EQ(WriteMrfFile(dir.file("r.mrf").c_str(), g), 0);
        std::vector<uint8_t> f = ReadBytes(dir.file("r.mrf"));
        ASSERT_EQ(f.size(), 99u + (size_t)w * h * 4);
        EXPECT_EQ(memcmp(f.data() + 99, wide->pixels, (size_t)w * h * 4), 0);
    }
}

// A failed write leaves an existing file as it was.
TEST_F(MrfTest, FailedWriteKeepsTheOldFile)
{
    ASSERT_EQ(AddImageGroup(NewImage(2, 2, 1)), 1);
    std::string path = dir.file("keep.mrf");
    WriteFileText(path, "old contents");
    ImageGroup empty = {};
    EXPECT_NE(WriteMrfFile(path.c_str(), &empty), 0);
    EXPECT_NE(WriteMrfFile(dir.file("no\\such\\dir.mrf").c_str(), g_lastGroup), 0);
    EXPECT_EQ(ReadFileText(path), "old contents");
    EXPECT_EQ(WriteMrfFile(path.c_str(), g_lastGroup), 0);
    EXPECT_EQ(ReadBytes(path).size(), 64u + 35u + 16u);
    // No temporary file is left beside it.
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA(dir.file("*.tmp").c_str(), &fd);
    EXPECT_EQ(find, INVALID_HANDLE_VALUE);
    if (find != INVALID_HANDLE_VALUE)
        FindClose(find);
}

// Cut at every length: never more than what the file holds, never a stray image.
TEST_F(MrfTest, EveryCutLengthReadsCleanly)
{
    std::vector<uint8_t> f = Header(2, 1, 1);
    PutRecord(f, 2, 2, 2, 0, 0, 1, 255, 0, "", 1);
    f.insert(f.end(), 4, 0x02);
    PutRecord(f, 2, 1, 2, 3, 4, 0, 9, 1, "ab", 7);
    for (size_t n = 0; n <= f.size(); n++) {
        WriteBytes(dir.file("c.mrf"), std::vector<uint8_t>(f.begin(), f.begin() + n));
        ImageGroup *g;
        int result = Read(dir.file("c.mrf"), &g);
        if (n < 64) {
            EXPECT_EQ(result, 0) << n;
        } else if (result == 100) {
            EXPECT_EQ(g_firstImage, nullptr) << n;
        } else {
            EXPECT_EQ(result, n == f.size() ? 1 : 2) << n;
            EXPECT_EQ(CountLayers(g), n == f.size() ? 1 : 0) << n;
        }
        if (!g->base)
            FreeImageGroup(g, 0);
        DiscardAllImages();
    }
}
