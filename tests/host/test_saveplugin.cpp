// The PICT save plug-in, loaded the way the program loads save plug-ins, and its files read back
// byte by byte and by ImageMagick.
#include "testsupport.h"
#include "../unit/test_bmp_reference.h"
#include "files/save.h"
#include "base/settings.h"
#include "image/cdib.h"
#include "image/group.h"
#include "image/imagelist.h"
#include <string.h>
#include <fstream>

namespace {

std::string SaveDir()
{
    std::string dir = OVRIN_APP_DIR "/SavePlug";
    return dir[0] == '/' ? "Z:" + dir : dir;
}

std::vector<uint8_t> ReadBytes(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

int Be16(const std::vector<uint8_t> &b, size_t at) { return b[at] << 8 | b[at + 1]; }
uint32_t Be32(const std::vector<uint8_t> &b, size_t at) { return (uint32_t)Be16(b, at) << 16 | Be16(b, at + 2); }

// A packed picture: header with a 256-entry table and bottom-up rows.
struct Picture {
    std::vector<uint8_t> header = std::vector<uint8_t>(QZ_HEADER_BLOCK_SIZE, 0);
    std::vector<uint8_t> bits;
    int stride = 0;
    Picture(int w, int h, int depth)
    {
        BITMAPINFOHEADER *bih = Info();
        bih->biSize = 40;
        bih->biWidth = w;
        bih->biHeight = h;
        bih->biPlanes = 1;
        bih->biBitCount = (WORD)depth;
        stride = (w * depth / 8 + 3) / 4 * 4;
        bits.assign((size_t)stride * h, 0);
    }
    BITMAPINFOHEADER *Info() { return (BITMAPINFOHEADER *)header.data(); }
    RGBQUAD *Palette() { return (RGBQUAD *)(header.data() + 40); }
    uint8_t *Row(int y) { return &bits[(size_t)(Info()->biHeight - 1 - y) * stride]; } // y from the top
};

class SavePluginTest : public HostTest {
protected:
    void SetUp() override
    {
        HostTest::SetUp();
        UnloadSavePlugins();
        // The save modules of the build, in name order: savera (FXT), saverb (PICT).
        ASSERT_EQ(LoadSavePlugins(g_saverTable, SaveDir().c_str(), g_furtherSaveFilter, sizeof g_furtherSaveFilter), 2);
        row = &g_saverTable[1];
        pct = FindSaveFormatByName("PCT");
    }
    void TearDown() override
    {
        UnloadSavePlugins();
        HostTest::TearDown();
    }
    int Write(Picture &p, const std::string &path, const char *dpi = "72", QzProgressProc progress = nullptr)
    {
        char option[10];
        snprintf(option, sizeof option, "%s", dpi);
        char *options[1] = {option};
        return row->WritePicture(path.c_str(), 1, p.Info(), p.bits.data(), progress, 1, options);
    }
    SaverRecord *row = nullptr;
    int pct = -1; // the PICT format's number
};

std::vector<std::vector<int>> s_calls;
int QZCAPI Record(int done, int total, int zero)
{
    s_calls.push_back({done, total, zero});
    return 0;
}

} // namespace

TEST_F(SavePluginTest, BindsIntoTheSaveFormatTable)
{
    EXPECT_STREQ(row->name, "saverb.ovp");
    EXPECT_STREQ(row->formatName, "PCT");
    EXPECT_STREQ(row->filter, "*.PCT");
    EXPECT_EQ(g_saverTable[2].module, nullptr);
    EXPECT_STREQ(g_furtherSaveFilter, "BMP (*.bmp)|*.bmp|FXT (*.FXT)|*.FXT|PCT (*.PCT)|*.PCT|");
    EXPECT_EQ(FindSaveFormatByName("pct"), 5);
    char ext[32];
    EXPECT_EQ(GetSaveFormatExtension(5, ext, sizeof ext), 1);
    EXPECT_STREQ(ext, "PCT");
    EXPECT_EQ(GetFormatDepthMask(5), 0x28);

    GetAddinInfoProc info = (GetAddinInfoProc)(void *)GetProcAddress(row->module, "GetAddinInfo");
    const char *texts[] = {"00XN", "PICT Saver Ver0.01 By D'q", "*.PCT", "PCT"};
    for (int n = 0; n < 4; n++) {
        char buffer[64] = {};
        EXPECT_EQ(info(n, buffer, sizeof buffer), (int)strlen(texts[n]));
        EXPECT_STREQ(buffer, texts[n]);
    }
    char untouched[20];
    memset(untouched, 'x', sizeof untouched);
    EXPECT_EQ(info(4, untouched, 20), 0);
    EXPECT_EQ(untouched[0], 'x');
    EXPECT_EQ(info(-1, untouched, 20), 0);
}

static INT_PTR CALLBACK NoDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// A plug-in that takes 8 and 24 bits shows only those buttons and moves 32 to 24.
TEST_F(SavePluginTest, DepthButtonsFollowThePluginMask)
{
    HWND owner = CreateWindowA("STATIC", "", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, NULL, NULL, NULL, NULL);
    HWND dialog = CreateDialogParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(143), owner, NoDialogProc, 0);
    ASSERT_NE(dialog, nullptr);
    ShowSaveDepthButtons(dialog, pct, 1);
    auto visible = [&](int id) { return (GetWindowLongA(GetDlgItem(dialog, id), GWL_STYLE) & WS_VISIBLE) != 0; };
    EXPECT_TRUE(visible(3003));
    EXPECT_FALSE(visible(3005));
    EXPECT_TRUE(visible(3006));
    EXPECT_FALSE(visible(3009));
    EXPECT_EQ(SelectSaveDepthButton(dialog, pct, 32, 1), 24);
    EXPECT_EQ(IsDlgButtonChecked(dialog, 3006), BST_CHECKED);
    DestroyWindow(dialog);
    DestroyWindow(owner);
}

// The fields of an 8-bit picture one pixel wide: rows below 8 bytes go unpacked, without counts.
TEST_F(SavePluginTest, IndexedPictureLayout)
{
    Picture p(1, 3, 8);
    for (int i = 0; i < 256; i++)
        p.Palette()[i] = {(BYTE)i, (BYTE)(255 - i), (BYTE)(i / 2), 0};
    p.Row(0)[0] = 7, p.Row(1)[0] = 8, p.Row(2)[0] = 9;
    std::string path = dir.file("one.pct");
    s_calls.clear();
    ASSERT_EQ(Write(p, path, "0", Record), 0);
    EXPECT_EQ(s_calls, (std::vector<std::vector<int>>{{0, 3, 0}, {1, 3, 0}, {2, 3, 0}, {3, 3, 0}}));
    std::vector<uint8_t> b = ReadBytes(path);
    EXPECT_EQ(std::vector<uint8_t>(b.begin(), b.begin() + 512), std::vector<uint8_t>(512, 0));
    struct Field {
        size_t at;
        int value;
    } fields[] = {{512, 0},     {518, 3},      {520, 1},    {522, 0x11},  {524, 0x2FF}, {526, 0xC00},
                  {528, 0xFFFE}, {532, 72},    {544, 3},    {546, 1},     {552, 1},     {554, 10},
                  {564, 0x98},  {566, 0x8001}, {572, 3},    {574, 1},     {578, 0},     {584, 72},
                  {592, 0},     {594, 8},      {596, 1},    {598, 8},     {616, 0},     {618, 255},
                  {620, 0},     {2684, 64}};
    for (const Field &f : fields)
        EXPECT_EQ(Be16(b, f.at), f.value) << "offset " << f.at;
    EXPECT_EQ(Be32(b, 612), 8u);
    // Colour entry i: index, then red, green, blue with the 8-bit value in the high byte.
    size_t e = 620 + 8 * 200;
    EXPECT_EQ(Be16(b, e), 200);
    EXPECT_EQ(Be16(b, e + 2), 100 * 257);
    EXPECT_EQ(Be16(b, e + 4), 55 * 257);
    EXPECT_EQ(Be16(b, e + 6), 200 * 257);
    // Three unpacked index bytes, one pad byte for the odd count, the end opcode.
    ASSERT_EQ(b.size(), 2686u + 3 + 1 + 2);
    EXPECT_EQ(std::vector<uint8_t>(b.begin() + 2686, b.end()), (std::vector<uint8_t>{7, 8, 9, 0, 0x00, 0xFF}));
}

// Packed rows: counts of one byte up to 250 row bytes, two above; runs and literals as the rule
// says, the shorter piece of a split first.
TEST_F(SavePluginTest, PackedRows)
{
    std::vector<uint8_t> mixed = {1, 2, 3, 3, 3, 3, 4, 5, 5, 6}, ramp(130), run129(129, 5);
    for (int i = 0; i < 130; i++)
        ramp[i] = (uint8_t)i;
    std::vector<uint8_t> rampPacked = {1, 0, 1, 127};
    for (int i = 2; i < 130; i++)
        rampPacked.push_back((uint8_t)i);
    struct Case {
        const char *what;
        std::vector<uint8_t> row, counted; // the row, and what the file holds for it
    } cases[] = {
        {"mixed", mixed, {10, 1, 1, 2, 0xFD, 3, 3, 4, 5, 5, 6}},
        {"long literal", ramp, {(uint8_t)rampPacked.size()}},
        {"run of 129", run129, {4, 0x00, 5, 0x81, 5}},
        {"200 zeros", std::vector<uint8_t>(200, 0), {4, 0xB9, 0, 0x81, 0}},
        {"300 zeros", std::vector<uint8_t>(300, 0), {0, 6, 0xD5, 0, 0x81, 0, 0x81, 0}},
    };
    cases[1].counted.insert(cases[1].counted.end(), rampPacked.begin(), rampPacked.end());
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Picture p((int)c.row.size(), 1, 8);
        memcpy(p.Row(0), c.row.data(), c.row.size());
        std::string path = dir.file("row.pct");
        ASSERT_EQ(Write(p, path), 0);
        std::vector<uint8_t> b = ReadBytes(path);
        std::vector<uint8_t> data(b.begin() + 2686, b.end() - 2);
        if (data.size() & 1) {
            ADD_FAILURE() << "pixel data of odd length";
            continue;
        }
        if (c.counted.size() & 1)
            data.pop_back(); // the pad byte
        EXPECT_EQ(data, c.counted);
    }
}

// A 24-bit picture of one colour, 100 wide: three run packets per row (the red, green and blue
// planes), progress counting down; dpi 144 halves the frame.
TEST_F(SavePluginTest, DirectPictureLayout)
{
    Picture p(100, 2, 24);
    for (int y = 0; y < 2; y++)
        for (int x = 0; x < 100; x++) {
            uint8_t *px = p.Row(y) + 3 * x;
            px[0] = 30, px[1] = 20, px[2] = 10; // blue, green, red
        }
    std::string path = dir.file("direct.pct");
    s_calls.clear();
    ASSERT_EQ(Write(p, path, "144", Record), 0);
    EXPECT_EQ(s_calls, (std::vector<std::vector<int>>{{1, 2, 0}, {0, 2, 0}, {2, 2, 0}}));
    std::vector<uint8_t> b = ReadBytes(path);
    EXPECT_EQ(Be16(b, 518), 1);  // 2 x 72 / 144
    EXPECT_EQ(Be16(b, 520), 50); // 100 x 72 / 144
    EXPECT_EQ(Be32(b, 532), 144u << 16);
    EXPECT_EQ(Be16(b, 564), 0x9A);
    EXPECT_EQ(Be32(b, 566), 0xFFu);
    EXPECT_EQ(Be16(b, 570), 0x8000 | 400);
    EXPECT_EQ(Be16(b, 582), 4);  // pack type
    EXPECT_EQ(Be16(b, 596), 16); // pixel type
    EXPECT_EQ(Be16(b, 598), 32);
    EXPECT_EQ(Be16(b, 600), 3);
    EXPECT_EQ(Be16(b, 632), 64);
    std::vector<uint8_t> rowData = {0, 6, 0x9D, 10, 0x9D, 20, 0x9D, 30};
    std::vector<uint8_t> want = rowData;
    want.insert(want.end(), rowData.begin(), rowData.end());
    want.insert(want.end(), {0x00, 0xFF});
    EXPECT_EQ(std::vector<uint8_t>(b.begin() + 634, b.end()), want);
}

// Failures are failures: no file can be created, or a picture the format cannot hold.
TEST_F(SavePluginTest, FailuresAreReported)
{
    Picture p(4, 4, 24);
    EXPECT_NE(Write(p, dir.file("no\\such\\dir\\x.pct")), 0);
    Picture wide(40000, 1, 8);
    EXPECT_NE(Write(wide, dir.file("wide.pct")), 0);
    EXPECT_EQ(GetFileAttributesA(dir.file("wide.pct").c_str()), INVALID_FILE_ATTRIBUTES);
    Picture sixteen(4, 4, 16);
    EXPECT_NE(Write(sixteen, dir.file("sixteen.pct")), 0);
}

// Written PICT files read back in ImageMagick with the same pixels.
TEST_F(SavePluginTest, FilesMatchTheReference)
{
    if (!ReferenceAvailable())
        GTEST_SKIP() << "no reference reader";
    const int w = 37, h = 9;
    auto colour = [](int x, int y) { return (uint32_t)((x * 7) << 16 | (y * 29) << 8 | ((x / 4) * 40 & 255)); };
    Picture direct(w, h, 24), indexed(w, h, 8);
    for (int i = 0; i < 256; i++)
        indexed.Palette()[i] = {(BYTE)(i * 3), (BYTE)(i * 5), (BYTE)(i * 7), 0};
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            uint32_t c = colour(x, y);
            uint8_t *px = direct.Row(y) + 3 * x;
            px[0] = (uint8_t)c, px[1] = (uint8_t)(c >> 8), px[2] = (uint8_t)(c >> 16);
            indexed.Row(y)[x] = (uint8_t)(x / 3 + y * 11);
        }
    std::string path = dir.file("direct.pct");
    ASSERT_EQ(Write(direct, path), 0);
    ReferencePicture ref;
    ASSERT_TRUE(ReadWithReference(path, &ref));
    ASSERT_EQ(ref.width, w);
    ASSERT_EQ(ref.height, h);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            uint32_t c = colour(x, y);
            ASSERT_EQ(ref.At(x, y)[0], (c >> 16) & 255) << x << "," << y;
            ASSERT_EQ(ref.At(x, y)[1], (c >> 8) & 255) << x << "," << y;
            ASSERT_EQ(ref.At(x, y)[2], c & 255) << x << "," << y;
        }
    path = dir.file("indexed.pct");
    ASSERT_EQ(Write(indexed, path), 0);
    ASSERT_TRUE(ReadWithReference(path, &ref));
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            int i = x / 3 + y * 11;
            ASSERT_EQ(ref.At(x, y)[0], (i * 7) & 255) << x << "," << y;
            ASSERT_EQ(ref.At(x, y)[1], (i * 5) & 255) << x << "," << y;
            ASSERT_EQ(ref.At(x, y)[2], (i * 3) & 255) << x << "," << y;
        }
}

// Saving through the host: the plug-in gets the converted picture, the file replaces the path only
// when it is complete, and a failure keeps the image unsaved.
TEST_F(SavePluginTest, SavingThroughTheHost)
{
    CDIB *base = nullptr;
    QzsCreateNewImage(&base, 6, 4, 32);
    ASSERT_NE(base, nullptr);
    for (int i = 0; i < 24; i++)
        ((uint32_t *)base->pixels)[i] = 0xFF000000u | (uint32_t)i * 0x0A0B0C;
    ASSERT_EQ(AddImageGroup(base), 1);
    SetSaveFormat(pct);
    SetSaveDepth(24);
    ClearSaveOptions();
    SetSaveOption(0, "72");
    std::string path = dir.file("host.pct");
    WriteFileText(path, "older file");
    ASSERT_EQ(SaveImageGroup(g_lastGroup, path.c_str()), 1);
    EXPECT_EQ(base->modified, 0);
    EXPECT_STREQ(base->name, "host.pct");
    std::vector<uint8_t> b = ReadBytes(path);
    ASSERT_GT(b.size(), 634u);
    EXPECT_EQ(Be16(b, 564), 0x9A);
    EXPECT_EQ(Be16(b, 574 + 4), 6); // bounds right
    if (ReferenceAvailable()) {
        ReferencePicture ref;
        ASSERT_TRUE(ReadWithReference(path, &ref));
        for (int i = 0; i < 24; i++) {
            uint32_t c = (uint32_t)i * 0x0A0B0C;
            EXPECT_EQ(ref.At(i % 6, i / 6)[0], (c >> 16) & 255) << i;
            EXPECT_EQ(ref.At(i % 6, i / 6)[2], c & 255) << i;
        }
    }
    base->modified = 1;
    // The plug-in refuses a depth it does not take: the file already there stays as it was.
    SetSaveDepth(16);
    EXPECT_EQ(SaveImageGroup(g_lastGroup, path.c_str()), 0);
    EXPECT_EQ(ReadBytes(path), b);
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA(dir.file("*.tmp").c_str(), &fd);
    EXPECT_EQ(find, INVALID_HANDLE_VALUE); // no temporary file left over
    if (find != INVALID_HANDLE_VALUE)
        FindClose(find);
    SetSaveDepth(24);
    EXPECT_EQ(SaveImageGroup(g_lastGroup, dir.file("no\\such\\dir\\x.pct").c_str()), 0);
    EXPECT_EQ(base->modified, 1);
    EXPECT_STREQ(base->name, "host.pct");
    ASSERT_FALSE(boxes.boxes.empty());
    EXPECT_EQ(boxes.boxes.back().text, "Can't save");
}

// Save-all with the plug-in as the default format and a default depth it does not take: the
// plug-in's nearest depth by the depth rule (first of 32, 24, 16, 8 it takes), and a file.
TEST_F(SavePluginTest, SaveAllTakesADepthThePluginAccepts)
{
    CDIB *base = nullptr;
    QzsCreateNewImage(&base, 5, 3, 32);
    ASSERT_NE(base, nullptr);
    ASSERT_EQ(AddImageGroup(base), 1);
    snprintf(g_cfg.DefaultSaveFormat, sizeof g_cfg.DefaultSaveFormat, "PCT");
    snprintf(g_cfg.OpenFile_dir, sizeof g_cfg.OpenFile_dir, "%s", dir.path().c_str());
    snprintf(g_cfg.UntitledFileHeader, sizeof g_cfg.UntitledFileHeader, "pic");
    struct Case {
        int configured, used;
    } cases[] = {{16, 24}, {32, 24}, {8, 8}, {24, 24}};
    for (const Case &c : cases) {
        base->modified = 1;
        g_cfg.DefaultSaveDepth = c.configured;
        boxes.boxes.clear();
        SaveAllImages();
        EXPECT_EQ(GetSaveDepth(), c.used) << c.configured;
        EXPECT_EQ(base->modified, 0) << c.configured;
        ASSERT_EQ(boxes.boxes.size(), 1u) << boxes.boxes.back().text; // only the format notice
        EXPECT_EQ(boxes.boxes[0].caption, "MES");
    }
    std::vector<uint8_t> b = ReadBytes(base->path);
    EXPECT_GT(b.size(), 512u);
}
