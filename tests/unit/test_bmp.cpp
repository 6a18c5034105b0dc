// The BMP reader and writer and the conversion of read pictures into images.
#include "testsupport.h"
#include "test_bmp_reference.h"
#include "files/bmp.h"
#include "files/openimage.h"
#include "files/save.h"
#include "image/cdib.h"
#include "image/imagelist.h"
#include <string.h>
#include <algorithm>
#include <fstream>
#include <stdlib.h>

namespace {

void Put16(std::vector<uint8_t> &b, uint32_t v)
{
    b.push_back((uint8_t)v);
    b.push_back((uint8_t)(v >> 8));
}
void Put32(std::vector<uint8_t> &b, uint32_t v)
{
    Put16(b, v);
    Put16(b, v >> 16);
}

// A BMP file as the published layout has it.
struct BmpSpec {
    int width = 1, height = 1, depth = 24;
    std::vector<uint32_t> palette; // 0xRRGGBB
    std::vector<uint8_t> pixels;   // rows bottom-up, padded
    bool core = false;
    uint32_t headerSize = 40, compression = 0, colorsUsed = 0;
    int32_t xres = 0, yres = 0;
};

std::vector<uint8_t> MakeBmp(const BmpSpec &s)
{
    uint32_t head = s.core ? 12 : s.headerSize;
    uint32_t entry = s.core ? 3 : 4;
    uint32_t off = 14 + head + entry * (uint32_t)s.palette.size();
    std::vector<uint8_t> b;
    b.push_back('B');
    b.push_back('M');
    Put32(b, off + (uint32_t)s.pixels.size());
    Put32(b, 0);
    Put32(b, off);
    Put32(b, head);
    if (s.core) {
        Put16(b, (uint32_t)s.width);
        Put16(b, (uint32_t)s.height);
        Put16(b, 1);
        Put16(b, (uint32_t)s.depth);
    } else {
        Put32(b, (uint32_t)s.width);
        Put32(b, (uint32_t)s.height);
        Put16(b, 1);
        Put16(b, (uint32_t)s.depth);
        Put32(b, s.compression);
        Put32(b, (uint32_t)s.pixels.size());
        Put32(b, (uint32_t)s.xres);
        Put32(b, (uint32_t)s.yres);
        Put32(b, s.colorsUsed);
        Put32(b, 0);
        while (b.size() < 14 + head)
            b.push_back(0);
    }
    for (uint32_t c : s.palette) {
        b.push_back((uint8_t)c);
        b.push_back((uint8_t)(c >> 8));
        b.push_back((uint8_t)(c >> 16));
        if (!s.core)
            b.push_back(0);
    }
    b.insert(b.end(), s.pixels.begin(), s.pixels.end());
    return b;
}

void WriteBytes(const std::string &path, const std::vector<uint8_t> &bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write((const char *)bytes.data(), (std::streamsize)bytes.size());
}

std::vector<uint32_t> Ramp(int n)
{
    std::vector<uint32_t> p;
    for (int i = 0; i < n; i++)
        p.push_back((uint32_t)(i * 0x010203 + 0x102030) & 0xFFFFFF);
    return p;
}

// The BMP suite of the shared test data, found above the test data directory or at its usual place.
std::string SuiteDir(const char *kind)
{
    std::string base = OVRIN_TEST_DATA;
    if (!base.empty() && base[0] == '/')
        base = "Z:" + base;
    for (int up = 0; up < 6; up++) {
        base += "/..";
        std::string dir = base + "/shared/testdata/bmpsuite/" + kind + "/";
        if (GetFileAttributesA(dir.c_str()) != INVALID_FILE_ATTRIBUTES)
            return dir;
    }
    // A checkout elsewhere (a clean clone) still finds the machine's shared data.
    std::string shared = std::string("Z:/work/shared/testdata/bmpsuite/") + kind + "/";
    if (GetFileAttributesA(shared.c_str()) != INVALID_FILE_ATTRIBUTES)
        return shared;
    return "";
}

uint32_t Opaque(uint32_t rgb) { return rgb | 0xFF000000u; }

uint32_t Pixel(const CDIB *image, int x, int y)
{
    return ((const uint32_t *)image->pixels)[(size_t)y * image->header->bmiHeader.biWidth + x];
}

class BmpTest : public HostTest {
protected:
    // Opens a file as OpenImage does; the new image or NULL.
    CDIB *Open(const std::vector<uint8_t> &bytes, int keepAlpha = 0)
    {
        std::string path = dir.file("t.bmp");
        WriteBytes(path, bytes);
        CDIB *before = g_lastImage;
        int result = OpenImageFile(path.c_str(), 1, keepAlpha);
        return result == 0 && g_lastImage != before ? g_lastImage : nullptr;
    }
};

} // namespace

// Each depth with the expected pixels worked out from the published layout (rows bottom-up).
TEST_F(BmpTest, ReadsEveryDepth)
{
    auto v16 = [](int r5, int g5, int b5) { return (uint32_t)(r5 << 10 | g5 << 5 | b5); };
    auto c16 = [](uint32_t v) {
        uint32_t r = ((v >> 7) & 0xF8) | 7, g = ((v >> 2) & 0xF8) | 7, b = ((v << 3) & 0xF8) | 7;
        return Opaque(r << 16 | g << 8 | b);
    };
    std::vector<uint32_t> pal = Ramp(256);
    struct Case {
        int depth;
        std::vector<uint8_t> pixels;
        std::vector<uint32_t> palette;
        std::vector<uint32_t> top, bottom; // expected 0xAARRGGBB
    } cases[] = {
        {1, {0xA0, 0, 0, 0, 0x40, 0, 0, 0}, {0x000000, 0xFF8000},
         {Opaque(0), Opaque(0xFF8000), Opaque(0)}, {Opaque(0xFF8000), Opaque(0), Opaque(0xFF8000)}},
        {4, {0x12, 0x30, 0, 0, 0x45, 0x60, 0, 0}, Ramp(16),
         {Opaque(pal[4]), Opaque(pal[5]), Opaque(pal[6])}, {Opaque(pal[1]), Opaque(pal[2]), Opaque(pal[3])}},
        {8, {7, 8, 9, 0, 250, 251, 252, 0}, pal,
         {Opaque(pal[250]), Opaque(pal[251]), Opaque(pal[252])}, {Opaque(pal[7]), Opaque(pal[8]), Opaque(pal[9])}},
        {16,
         {(uint8_t)v16(31, 0, 0), (uint8_t)(v16(31, 0, 0) >> 8), (uint8_t)v16(0, 31, 0), (uint8_t)(v16(0, 31, 0) >> 8),
          (uint8_t)v16(1, 2, 3), (uint8_t)(v16(1, 2, 3) >> 8), 0, 0, 0, 0, 0xFF, 0x7F, 0x10, 0x42, 0, 0},
         {},
         {c16(0), c16(0x7FFF), c16(0x4210)}, {c16(v16(31, 0, 0)), c16(v16(0, 31, 0)), c16(v16(1, 2, 3))}},
        {24, {1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0, 10, 11, 12, 13, 14, 15, 16, 17, 18, 0, 0, 0}, {},
         {Opaque(0x0C0B0A), Opaque(0x0F0E0D), Opaque(0x121110)}, {Opaque(0x030201), Opaque(0x060504), Opaque(0x090807)}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.depth);
        BmpSpec s;
        s.width = 3;
        s.height = 2;
        s.depth = c.depth;
        s.palette = c.palette;
        s.pixels = c.pixels;
        CDIB *image = Open(MakeBmp(s));
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->header->bmiHeader.biBitCount, 32);
        for (int x = 0; x < 3; x++) {
            EXPECT_EQ(Pixel(image, x, 0), c.top[x]) << "x " << x;
            EXPECT_EQ(Pixel(image, x, 1), c.bottom[x]) << "x " << x;
        }
        EXPECT_STREQ(image->name, "t.bmp");
        EXPECT_EQ(std::string(image->format, 5), "*.BMP");
        EXPECT_EQ(image->untitledNumber, 0);
    }
}

TEST_F(BmpTest, ThirtyTwoBitAlphaIsForcedUnlessKept)
{
    BmpSpec s;
    s.width = 2;
    s.depth = 32;
    s.pixels = {1, 2, 3, 0x80, 4, 5, 6, 0};
    CDIB *forced = Open(MakeBmp(s), 0);
    ASSERT_NE(forced, nullptr);
    EXPECT_EQ(Pixel(forced, 0, 0), 0xFF030201u);
    EXPECT_EQ(Pixel(forced, 1, 0), 0xFF060504u);
    CDIB *kept = Open(MakeBmp(s), 1);
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(Pixel(kept, 0, 0), 0x80030201u);
    EXPECT_EQ(Pixel(kept, 1, 0), 0x00060504u);
}

TEST_F(BmpTest, CoreHeaderGivesTheSameImage)
{
    BmpSpec s;
    s.width = 4;
    s.height = 2;
    s.depth = 8;
    s.palette = Ramp(256);
    s.pixels = {0, 1, 2, 3, 200, 201, 202, 255};
    CDIB *info = Open(MakeBmp(s));
    s.core = true;
    CDIB *core = Open(MakeBmp(s));
    ASSERT_NE(info, nullptr);
    ASSERT_NE(core, nullptr);
    EXPECT_EQ(memcmp(info->pixels, core->pixels, 4 * 2 * 4), 0);
    EXPECT_EQ(Pixel(core, 3, 0), Opaque(s.palette[255]));
}

// Files that are no readable BMP: refused with message 17, nothing listed, nothing leaked.
TEST_F(BmpTest, RefusesBadFiles)
{
    BmpSpec good;
    good.width = 4;
    good.height = 2;
    good.depth = 8;
    good.palette = Ramp(256);
    good.pixels.assign(8, 1);
    struct Case {
        const char *what;
        std::vector<uint8_t> bytes;
    };
    std::vector<Case> cases;
    auto with = [&](const char *what, void (*change)(BmpSpec &)) {
        BmpSpec s = good;
        change(s);
        cases.push_back({what, MakeBmp(s)});
    };
    with("compressed", [](BmpSpec &s) { s.compression = 1; });
    with("too many colours", [](BmpSpec &s) { s.colorsUsed = 300; });
    with("colours past the file", [](BmpSpec &s) { s.colorsUsed = 256, s.palette.resize(10), s.pixels.clear(); });
    with("top-down", [](BmpSpec &s) { s.height = -2; });
    with("no width", [](BmpSpec &s) { s.width = 0; });
    with("odd depth", [](BmpSpec &s) { s.depth = 7; });
    with("header 64", [](BmpSpec &s) { s.headerSize = 64; });
    with("huge", [](BmpSpec &s) { s.width = 100000, s.height = 100000; });
    with("overflowing", [](BmpSpec &s) { s.width = 0x7FFFFFFF, s.height = 0x7FFFFFFF, s.depth = 32; });
    std::vector<uint8_t> cut = MakeBmp(good);
    cut.pop_back();
    cases.push_back({"pixels cut", cut});
    cases.push_back({"header cut", std::vector<uint8_t>(cut.begin(), cut.begin() + 30)});
    cases.push_back({"not BM", std::vector<uint8_t>(cut.size(), 'x')});
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        boxes.boxes.clear();
        EXPECT_EQ(Open(c.bytes), nullptr);
        EXPECT_EQ(g_firstImage, nullptr);
        ASSERT_EQ(boxes.boxes.size(), 1u);
        EXPECT_EQ(boxes.boxes[0].text, "Not supported format!");
        HGLOBAL h = (HGLOBAL)1, b = (HGLOBAL)1;
        EXPECT_EQ(ReadBmpFile(dir.file("t.bmp").c_str(), &h, &b, nullptr), 0);
        EXPECT_EQ(h, nullptr);
        EXPECT_EQ(b, nullptr);
    }
    boxes.boxes.clear();
    EXPECT_EQ(OpenImageFile(dir.file("missing.bmp").c_str(), 1, 0), 1);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_NE(boxes.boxes[0].text.find("missing.bmp can't open!"), std::string::npos);
}

// Cut at every length: only the whole file reads.
TEST_F(BmpTest, EveryCutLengthIsRefusedButTheWhole)
{
    BmpSpec s;
    s.width = 3;
    s.height = 2;
    s.depth = 4;
    s.palette = Ramp(16);
    s.pixels = {0x12, 0x30, 0, 0, 0x45, 0x60, 0, 0};
    std::vector<uint8_t> whole = MakeBmp(s);
    for (size_t n = 0; n <= whole.size(); n++) {
        WriteBytes(dir.file("c.bmp"), std::vector<uint8_t>(whole.begin(), whole.begin() + n));
        HGLOBAL h, b;
        int result = ReadBmpFile(dir.file("c.bmp").c_str(), &h, &b, nullptr);
        EXPECT_EQ(result, n == whole.size() ? 1 : 0) << n;
        if (result) {
            GlobalFree(h);
            GlobalFree(b);
        }
    }
}

static std::vector<std::vector<int>> s_calls;
static int s_cancelAt;
static int QZCAPI Record(int done, int total, int zero)
{
    s_calls.push_back({done, total, zero});
    return s_cancelAt && done == s_cancelAt;
}

TEST_F(BmpTest, ReportsProgressPerPiece)
{
    struct Case {
        int height, cancelAt;
        std::vector<std::vector<int>> calls;
        int result;
    } cases[] = {
        {2560, 0, {{0, 0, 0}, {1, 2, 0}}, 1},            // exactly 10240 pixel bytes
        {2561, 0, {{0, 0, 0}, {1, 2, 0}, {2, 2, 0}}, 1}, // a rest after the whole piece
        {5120, 1, {{0, 0, 0}, {1, 3, 0}}, 0},            // a cancel frees both blocks
    };
    for (const Case &c : cases) {
        BmpSpec s;
        s.width = 4;
        s.height = c.height;
        s.depth = 8;
        s.pixels.assign((size_t)4 * c.height, 9);
        WriteBytes(dir.file("p.bmp"), MakeBmp(s));
        s_calls.clear();
        s_cancelAt = c.cancelAt;
        HGLOBAL h, b;
        EXPECT_EQ(ReadBmpFile(dir.file("p.bmp").c_str(), &h, &b, Record), c.result);
        EXPECT_EQ(s_calls, c.calls);
        if (c.result) {
            EXPECT_EQ(GlobalSize(b), (SIZE_T)4 * c.height);
            GlobalFree(h);
            GlobalFree(b);
        } else {
            EXPECT_EQ(h, nullptr);
            EXPECT_EQ(b, nullptr);
        }
    }
}

TEST(FitPixelAspect, KeepsOrCorrectsTheAspect)
{
    struct Case {
        int w, h, x, y, outW, outH;
    } cases[] = {
        {10, 10, 0, 0, 10, 10}, {10, 10, 300, 300, 10, 10}, {10, 10, 200, 100, 10, 20}, {10, 10, 100, 300, 30, 10},
        {3, 3, 3, 2, 3, 4},     {3, 3, 2, 3, 5, 3},         {10, 10, 0, 100, 10, 10},   {10, 10, 100, 0, 10, 10},
        {10, 10, -5, 100, 10, 10}, {50000, 50000, 1000000, 1, 50000, 50000},
        {2147483647, 1, 1, 2147483647, 2147483647, 1}, // the corrected width would pass 63 bits
    };
    for (const Case &c : cases) {
        BITMAPINFOHEADER h = {};
        h.biWidth = c.w;
        h.biHeight = c.h;
        h.biXPelsPerMeter = c.x;
        h.biYPelsPerMeter = c.y;
        int w, hh;
        FitPixelAspect(&h, &w, &hh);
        EXPECT_EQ(w, c.outW) << c.x << " " << c.y;
        EXPECT_EQ(hh, c.outH) << c.x << " " << c.y;
    }
}

// Only 24-bit pictures stretch: twice the horizontal resolution doubles the height, rows repeat.
TEST_F(BmpTest, TwentyFourBitStretchRepeatsRows)
{
    CDIB *image = nullptr;
    ASSERT_EQ(CreateImageRecord(&image, 2, 4, 32), 0);
    uint8_t bits[2 * 8] = {1, 1, 1, 2, 2, 2, 0, 0, 3, 3, 3, 4, 4, 4, 0, 0}; // bottom row first
    CDIB dib = {};
    dib.pixels = bits;
    ConvertDibToImage(image, &dib, nullptr, 2, 2, 24, 2, 4, 0);
    uint32_t top = Opaque(0x030303), bottom = Opaque(0x010101);
    EXPECT_EQ(Pixel(image, 0, 0), top);
    EXPECT_EQ(Pixel(image, 0, 1), top);
    EXPECT_EQ(Pixel(image, 0, 2), bottom);
    EXPECT_EQ(Pixel(image, 1, 3), Opaque(0x020202));
}

// Every well-formed file of the BMP suite that the reader takes gives the pixels ImageMagick
// reads; the rest is refused with message 17.
TEST_F(BmpTest, SuiteOfGoodFilesMatchesTheReference)
{
    if (!ReferenceAvailable())
        GTEST_SKIP() << "no reference reader";
    const std::string suite = SuiteDir("g");
    if (suite.empty())
        GTEST_SKIP() << "the BMP suite is not beside this checkout";
    const char *accepted[] = {"pal1.bmp", "pal1bg.bmp", "pal1wb.bmp", "pal4.bmp", "pal4gs.bmp", "pal8-0.bmp",
                              "pal8.bmp", "pal8gs.bmp", "pal8nonsquare.bmp", "pal8os2.bmp", "pal8w124.bmp",
                              "pal8w125.bmp", "pal8w126.bmp", "rgb16.bmp", "rgb24.bmp", "rgb24pal.bmp", "rgb32.bmp"};
    const char *refused[] = {"pal4rle.bmp", "pal8rle.bmp", "pal8topdown.bmp", "pal8v4.bmp", "pal8v5.bmp",
                             "rgb16-565.bmp", "rgb16-565pal.bmp", "rgb16bfdef.bmp", "rgb32bf.bmp", "rgb32bfdef.bmp"};
    for (const char *name : accepted) {
        SCOPED_TRACE(name);
        std::string path = suite + name;
        CDIB *before = g_lastImage;
        ASSERT_EQ(OpenImageFile(path.c_str(), 1, 0), 0);
        CDIB *image = g_lastImage;
        ASSERT_NE(image, before);
        ReferencePicture ref;
        ASSERT_TRUE(ReadWithReference(path, &ref));
        ASSERT_EQ(image->header->bmiHeader.biWidth, ref.width);
        ASSERT_EQ(image->header->bmiHeader.biHeight, ref.height);
        // 5-bit channels widen as (v << 3) | 7 here, by scaling there.
        int tolerance = strncmp(name, "rgb16", 5) == 0 ? 8 : 0;
        int worst = 0;
        for (int y = 0; y < ref.height; y++)
            for (int x = 0; x < ref.width; x++) {
                uint32_t p = Pixel(image, x, y);
                const uint8_t *r = ref.At(x, y);
                worst = std::max({worst, abs((int)((p >> 16) & 255) - r[0]), abs((int)((p >> 8) & 255) - r[1]),
                                  abs((int)(p & 255) - r[2])});
            }
        EXPECT_LE(worst, tolerance);
    }
    for (const char *name : refused) {
        SCOPED_TRACE(name);
        boxes.boxes.clear();
        EXPECT_EQ(OpenImageFile((suite + name).c_str(), 1, 0), 1);
        ASSERT_EQ(boxes.boxes.size(), 1u);
        EXPECT_EQ(boxes.boxes[0].text, "Not supported format!");
    }
}

TEST_F(BmpTest, SuiteOfBadFilesNeverCrashes)
{
    const std::string suite = SuiteDir("b");
    if (suite.empty())
        GTEST_SKIP() << "the BMP suite is not beside this checkout";
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA((suite + "*.bmp").c_str(), &fd);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    int files = 0;
    do {
        std::string path = suite + fd.cFileName;
        CDIB *before = g_lastImage;
        int result = OpenImageFile(path.c_str(), 1, 0);
        // Either a whole image or a refusal; never both, never a stray image.
        EXPECT_TRUE(result == 0 ? g_lastImage != before : g_lastImage == before) << fd.cFileName;
        OpenImageFile(path.c_str(), 0, 0);
        files++;
    } while (FindNextFileA(find, &fd));
    FindClose(find);
    EXPECT_GE(files, 20);
}

// BMP files written at every depth read back in ImageMagick with the expected pixels.
TEST_F(BmpTest, WrittenFilesMatchTheReference)
{
    if (!ReferenceAvailable())
        GTEST_SKIP() << "no reference reader";
    const int w = 7, h = 5;
    CDIB *source = nullptr;
    ASSERT_EQ(CreateImageRecord(&source, w, h, 32), 0);
    auto colour = [](int x, int y) { return (uint32_t)((x * 37) << 16 | (y * 51) << 8 | ((x + y) * 19)); };
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            ((uint32_t *)source->pixels)[y * w + x] = colour(x, y) | 0x40000000u;
    auto level5 = [](int v, int m) { return (v >> 3) + (2 * (v & 7) >= m && (v >> 3) <= 30); };
    static const int m4[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    for (int depth : {16, 24, 32}) {
        SCOPED_TRACE(depth);
        SetSaveDepth(depth);
        std::string path = dir.file("w" + std::to_string(depth) + ".bmp");
        ASSERT_EQ(SaveImageAsBmp(path.c_str(), source), 1);
        ReferencePicture ref;
        ASSERT_TRUE(ReadWithReference(path, &ref));
        ASSERT_EQ(ref.width, w);
        ASSERT_EQ(ref.height, h);
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++) {
                uint32_t c = colour(x, y);
                int want[3] = {(int)(c >> 16) & 255, (int)(c >> 8) & 255, (int)c & 255};
                for (int k = 0; k < 3; k++) {
                    int got = ref.At(x, y)[k];
                    if (depth == 16) {
                        // a 5-bit level per channel from the 4 x 4 dither, widened by the reader
                        int level = level5(want[k], m4[y & 3][x & 3]);
                        EXPECT_NEAR(got, level * 255 / 31, 1) << x << "," << y << " channel " << k;
                    } else {
                        EXPECT_EQ(got, want[k]) << x << "," << y << " channel " << k;
                    }
                }
            }
    }
    // An 8-bit picture with its own palette.
    BITMAPINFO *header = (BITMAPINFO *)calloc(1, QZ_HEADER_BLOCK_SIZE);
    header->bmiHeader.biSize = 40;
    header->bmiHeader.biWidth = 5;
    header->bmiHeader.biHeight = 2;
    header->bmiHeader.biBitCount = 8;
    for (int i = 0; i < 256; i++)
        header->bmiColors[i] = {(BYTE)(255 - i), (BYTE)(i / 2), (BYTE)i, 0};
    uint8_t bits[16] = {0, 1, 2, 3, 4, 0, 0, 0, 100, 150, 200, 250, 255, 0, 0, 0};
    std::string path = dir.file("w8.bmp");
    ASSERT_EQ(WriteBmpFile(path.c_str(), header, bits, nullptr), 0);
    ReferencePicture ref;
    ASSERT_TRUE(ReadWithReference(path, &ref));
    for (int x = 0; x < 5; x++) {
        int top = bits[8 + x];
        EXPECT_EQ(ref.At(x, 0)[0], top);
        EXPECT_EQ(ref.At(x, 0)[1], top / 2);
        EXPECT_EQ(ref.At(x, 0)[2], 255 - top);
        EXPECT_EQ(ref.At(x, 1)[0], bits[x]);
    }
    free(header);
}
