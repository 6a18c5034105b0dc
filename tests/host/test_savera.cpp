// The FXT save plug-in, loaded the way the program loads save plug-ins: its binding, the file's size
// and header, the block order, its blocks against the encoder called directly and against the test
// decoder, its failures, and saving through the host.
#include "testsupport.h"
#include "../unit/fxt1_reference.h"
#include "files/save.h"
#include "fxt1.h"
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

uint32_t Le32(const std::vector<uint8_t> &b, size_t at)
{
    return (uint32_t)b[at] | (uint32_t)b[at + 1] << 8 | (uint32_t)b[at + 2] << 16 | (uint32_t)b[at + 3] << 24;
}

bool Exists(const std::string &path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

int Up5(int q) { return q << 3 | q >> 2; }

// A packed 32-bit picture (or another depth for the refusals), rows bottom-up.
struct Picture {
    std::vector<uint8_t> header = std::vector<uint8_t>(QZ_HEADER_BLOCK_SIZE, 0);
    std::vector<uint8_t> bits;
    int stride = 0;
    Picture(int w, int h, int depth = 32)
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
    uint8_t *Stored(int row) { return &bits[(size_t)row * stride]; }                      // as stored
    uint8_t *Pixel(int x, int y) { return Stored(Info()->biHeight - 1 - y) + 4 * x; } // y from the top
    void Set(int x, int y, int r, int g, int b, int a = 255)
    {
        uint8_t *p = Pixel(x, y);
        p[0] = (uint8_t)b, p[1] = (uint8_t)g, p[2] = (uint8_t)r, p[3] = (uint8_t)a;
    }
};

std::vector<std::vector<int>> s_calls;
int QZCAPI Record(int done, int total, int zero)
{
    s_calls.push_back({done, total, zero});
    return 0;
}

// The names of the modules a loaded module imports from.
std::vector<std::string> ImportedModules(HMODULE module)
{
    std::vector<std::string> names;
    const uint8_t *base = (const uint8_t *)module;
    const IMAGE_NT_HEADERS *nt = (const IMAGE_NT_HEADERS *)(base + ((const IMAGE_DOS_HEADER *)base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY &dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!dir.VirtualAddress)
        return names;
    for (const IMAGE_IMPORT_DESCRIPTOR *d = (const IMAGE_IMPORT_DESCRIPTOR *)(base + dir.VirtualAddress); d->Name; d++)
        names.push_back((const char *)(base + d->Name));
    return names;
}

class FxtSaverTest : public HostTest {
protected:
    void SetUp() override
    {
        HostTest::SetUp();
        UnloadSavePlugins();
        ASSERT_GE(LoadSavePlugins(g_saverTable, SaveDir().c_str(), g_furtherSaveFilter, sizeof g_furtherSaveFilter), 1);
        for (int i = 0; g_saverTable[i].module; i++)
            if (strcmp(g_saverTable[i].name, "savera.ovp") == 0)
                row = &g_saverTable[i];
        ASSERT_NE(row, nullptr);
    }
    void TearDown() override
    {
        UnloadSavePlugins();
        HostTest::TearDown();
    }
    int Write(Picture &p, const std::string &path, QzProgressProc progress = nullptr)
    {
        char none[1] = "";
        char *options[1] = {none};
        return row->WritePicture(path.c_str(), 1, p.Info(), p.bits.data(), progress, 1, options);
    }
    // The file's block n decoded, in picture order of the stored rows: [row][column].
    static void DecodeBlock(const std::vector<uint8_t> &file, int n, RefTexel out[4][8])
    {
        RefFxt1Decode(&file[16 + 16 * (size_t)n], out);
    }
    SaverRecord *row = nullptr;
};

} // namespace

TEST_F(FxtSaverTest, BindsAsTheFxtFormat)
{
    EXPECT_STREQ(row->formatName, "FXT");
    EXPECT_STREQ(row->filter, "*.FXT");
    int format = FindSaveFormatByName("fxt");
    ASSERT_GE(format, 4);
    EXPECT_EQ(GetSaverRow(format), row);
    EXPECT_EQ(GetFormatDepthMask(format), 0x40);
    char ext[32];
    EXPECT_EQ(GetSaveFormatExtension(format, ext, sizeof ext), 1);
    EXPECT_STREQ(ext, "FXT");

    GetAddinInfoProc info = (GetAddinInfoProc)(void *)GetProcAddress(row->module, "GetAddinInfo");
    const char *texts[] = {"00XN", "FXT Saver Ver0.01 By Dq", "*.FXT", "FXT"};
    for (int n = 0; n < 4; n++) {
        char buffer[64] = {};
        EXPECT_EQ(info(n, buffer, sizeof buffer), (int)strlen(texts[n]));
        EXPECT_STREQ(buffer, texts[n]);
    }
    char untouched[20];
    memset(untouched, 'x', sizeof untouched);
    EXPECT_EQ(info(4, untouched, 20), 0);
    EXPECT_EQ(info(-1, untouched, 20), 0);
    EXPECT_EQ(untouched[0], 'x');
    EXPECT_EQ(row->SupportImage(), 0x40);

    char name[100] = {};
    EXPECT_GT(LoadStringA(row->module, 100, name, sizeof name), 0);
    EXPECT_STREQ(name, "FXT Saver");
    for (const std::string &imported : ImportedModules(row->module))
        EXPECT_NE(_stricmp(imported.c_str(), "ovrin.exe"), 0) << "the module links against the host";
}

// 16-byte header, then one block per complete 8 x 4 block; the rest of the picture is dropped.
TEST_F(FxtSaverTest, FileSizeAndHeader)
{
    struct Case {
        int w, h;
        size_t bytes;
    } cases[] = {{16, 8, 80}, {10, 5, 32}, {8, 4, 32}, {7, 3, 16}, {7, 8, 16}, {16, 3, 16}, {1, 1, 16},
                 {17, 9, 80}, {24, 12, 160}};
    for (const Case &c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + " x " + std::to_string(c.h));
        Picture p(c.w, c.h);
        std::string path = dir.file("size.fxt");
        s_calls.clear();
        ASSERT_EQ(Write(p, path, Record), 0);
        std::vector<uint8_t> b = ReadBytes(path);
        ASSERT_EQ(b.size(), c.bytes);
        EXPECT_EQ(std::vector<uint8_t>(b.begin(), b.begin() + 4), (std::vector<uint8_t>{0x43, 0x58, 0x45, 0x54}));
        EXPECT_EQ(Le32(b, 4), 0u);
        EXPECT_EQ(Le32(b, 8), (uint32_t)c.w);
        EXPECT_EQ(Le32(b, 12), (uint32_t)c.h);
        EXPECT_EQ(s_calls, (std::vector<std::vector<int>>{{0, 0, 0}, {c.h, c.h, 0}}));
    }
}

// Block rows from the first stored row, the bottom of the picture; blocks left to right; within
// a block, FXT1 row 0 is the stored row, so the picture's bottom row.
TEST_F(FxtSaverTest, BlockOrderFromTheBottomRow)
{
    const int colours[2][2][3] = {{{Up5(31), 0, 0}, {0, Up5(31), 0}}, {{0, 0, Up5(31)}, {Up5(20), Up5(10), Up5(5)}}};
    Picture p(16, 8);
    for (int y = 0; y < 8; y++)
        for (int x = 0; x < 16; x++) {
            const int *c = colours[y / 4][x / 8];
            p.Set(x, y, c[0], c[1], c[2]);
        }
    std::string path = dir.file("order.fxt");
    ASSERT_EQ(Write(p, path), 0);
    std::vector<uint8_t> b = ReadBytes(path);
    ASSERT_EQ(b.size(), 80u);
    const int expected[4][2] = {{1, 0}, {1, 1}, {0, 0}, {0, 1}}; // picture block row and column
    for (int n = 0; n < 4; n++) {
        RefTexel d[4][8];
        DecodeBlock(b, n, d);
        const int *c = colours[expected[n][0]][expected[n][1]];
        for (int r = 0; r < 4; r++)
            for (int x = 0; x < 8; x++)
                ASSERT_TRUE((d[r][x] == RefTexel{(uint8_t)c[0], (uint8_t)c[1], (uint8_t)c[2], 255}))
                    << "block " << n << " row " << r << " column " << x;
    }

    // Four rows of four colours: CC_CHROMA holds them exactly, row 0 the picture's bottom row.
    const int rows[4][3] = {{Up5(31), 0, 0}, {0, Up5(31), 0}, {0, 0, Up5(31)}, {Up5(31), Up5(31), Up5(31)}};
    Picture q(8, 4);
    for (int y = 0; y < 4; y++)
        for (int x = 0; x < 8; x++)
            q.Set(x, y, rows[y][0], rows[y][1], rows[y][2]);
    ASSERT_EQ(Write(q, path), 0);
    b = ReadBytes(path);
    ASSERT_EQ(b.size(), 32u);
    EXPECT_EQ(RefFxt1Mode(&b[16]), 1);
    RefTexel d[4][8];
    DecodeBlock(b, 0, d);
    for (int r = 0; r < 4; r++)
        for (int x = 0; x < 8; x++) {
            const int *c = rows[3 - r];
            EXPECT_TRUE((d[r][x] == RefTexel{(uint8_t)c[0], (uint8_t)c[1], (uint8_t)c[2], 255})) << r << "," << x;
        }
}

// A 10 x 5 picture: only the block of the first four stored rows and eight columns is written,
// whatever the other pixels hold; a uniform block comes back exactly.
TEST_F(FxtSaverTest, IncompleteBlocksAreDropped)
{
    Picture p(10, 5);
    for (int y = 0; y < 5; y++)
        for (int x = 0; x < 10; x++) {
            if (y >= 1 && x < 8)
                p.Set(x, y, Up5(9), Up5(27), Up5(14));
            else
                p.Set(x, y, x * 25, y * 50, 255 - x * 20, x * 11);
        }
    std::string path = dir.file("edge.fxt");
    ASSERT_EQ(Write(p, path), 0);
    std::vector<uint8_t> b = ReadBytes(path);
    ASSERT_EQ(b.size(), 32u);
    RefTexel d[4][8];
    DecodeBlock(b, 0, d);
    for (int r = 0; r < 4; r++)
        for (int x = 0; x < 8; x++)
            EXPECT_TRUE((d[r][x] == RefTexel{(uint8_t)Up5(9), (uint8_t)Up5(27), (uint8_t)Up5(14), 255}))
                << r << "," << x;
}

// The module writes the blocks of the encoder called directly, and each block's error is the
// error of the test decoder's decoding.
TEST_F(FxtSaverTest, BlocksAreTheEncodersBlocks)
{
    const int w = 40, h = 12;
    Picture p(w, h);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            p.Set(x, y, (x * 13 + y * 7) & 255, (x * x + 3 * y) & 255, (200 - x * 3 + y * y) & 255,
                  (x + y) % 11 == 0 ? 0 : (x % 7 == 0 ? 128 : 255));
    std::string path = dir.file("blocks.fxt");
    ASSERT_EQ(Write(p, path), 0);
    std::vector<uint8_t> b = ReadBytes(path);
    ASSERT_EQ(b.size(), 16u + 5 * 3 * 16);
    int n = 0;
    for (int by = 0; by < 3; by++)
        for (int bx = 0; bx < 5; bx++, n++) {
            Fxt1Texels texels;
            Fxt1Gather(p.Stored(4 * by) + 32 * bx, p.stride, &texels);
            uint8_t block[16];
            uint32_t error = Fxt1EncodeBlock(texels, block);
            EXPECT_EQ(memcmp(block, &b[16 + 16 * n], 16), 0) << "block " << n;
            uint8_t px[4][8][4];
            for (int r = 0; r < 4; r++)
                memcpy(px[r], p.Stored(4 * by + r) + 32 * bx, 32);
            EXPECT_EQ(error, RefFxt1Error(px, &b[16 + 16 * n])) << "block " << n;
        }
}

// A shape with clear corners on a ramp of seven levels that CC_HI holds exactly. The clear pixels
// keep a grey close to the ramp's middle level, so an opaque level would cost less than the
// transparent entry; read back by the test decoder, the CC_HI blocks still show them transparent
// and every other pixel opaque.
TEST_F(FxtSaverTest, ClearPixelsStayClearInHiBlocks)
{
    const int c0[3] = {Up5(5), Up5(7), Up5(25)}, c1[3] = {Up5(31), Up5(29), Up5(11)};
    const int w = 16, h = 8;
    Picture p(w, h);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            if ((x < 2 || x >= w - 2) && (y == 0 || y == h - 1)) {
                p.Set(x, y, 152, 150, 150, 0);
                continue;
            }
            int i = (x + 2 * y) % 7, v[3];
            for (int c = 0; c < 3; c++)
                v[c] = (c0[c] * (6 - i) + c1[c] * i + 2) / 6;
            p.Set(x, y, v[0], v[1], v[2]);
        }
    std::string path = dir.file("corners.fxt");
    ASSERT_EQ(Write(p, path), 0);
    std::vector<uint8_t> b = ReadBytes(path);
    ASSERT_EQ(b.size(), 16u + 4 * 16);
    int clearInHi = 0;
    for (int n = 0; n < 4; n++) {
        if (RefFxt1Mode(&b[16 + 16 * n]) != 0)
            continue;
        RefTexel d[4][8];
        DecodeBlock(b, n, d);
        for (int r = 0; r < 4; r++)
            for (int x = 0; x < 8; x++) {
                const uint8_t *src = p.Stored(4 * (n / 2) + r) + 4 * (8 * (n % 2) + x);
                clearInHi += src[3] == 0;
                EXPECT_EQ(d[r][x].a, src[3]) << "block " << n << " row " << r << " column " << x;
            }
    }
    EXPECT_EQ(clearInHi, 8) << "the corner blocks are coded CC_HI";
}

// Failures are failures, and none touches a file already at the path.
TEST_F(FxtSaverTest, FailuresAreReported)
{
    Picture p(16, 8);
    EXPECT_NE(Write(p, dir.file("no\\such\\dir\\x.fxt")), 0);
    EXPECT_FALSE(Exists(dir.file("no\\such\\dir\\x.fxt")));

    // Not 32-bit: the box "Not support!" and result 1, before the file is created.
    std::string path = dir.file("old.fxt");
    WriteFileText(path, "older file");
    Picture rgb(16, 8, 24);
    CloseNextDialog(IDOK);
    EXPECT_EQ(Write(rgb, path), 1);
    EXPECT_EQ(ClosedDialogTitle(), "ERR");
    StopDrivingDialogs();
    EXPECT_EQ(ReadFileText(path), "older file");
}

// Saving through the host: the file replaces the path only when complete; a refusal or a failure
// keeps the image unsaved and the old file as it was.
TEST_F(FxtSaverTest, SavingThroughTheHost)
{
    CDIB *base = nullptr;
    QzsCreateNewImage(&base, 16, 8, 32);
    ASSERT_NE(base, nullptr);
    for (int i = 0; i < 16 * 8; i++)
        ((uint32_t *)base->pixels)[i] = 0xFF000000u | (uint32_t)Up5(i % 32) << 16 | (uint32_t)Up5(31 - i % 32);
    ASSERT_EQ(AddImageGroup(base), 1);
    SetSaveFormat(FindSaveFormatByName("FXT"));
    SetSaveDepth(32);
    ClearSaveOptions();
    std::string path = dir.file("host.fxt");
    WriteFileText(path, "older file");
    ASSERT_EQ(SaveImageGroup(g_lastGroup, path.c_str()), 1);
    EXPECT_EQ(base->modified, 0);
    EXPECT_STREQ(base->name, "host.fxt");
    std::vector<uint8_t> b = ReadBytes(path);
    ASSERT_EQ(b.size(), 80u);
    EXPECT_EQ(Le32(b, 8), 16u);
    EXPECT_EQ(Le32(b, 12), 8u);

    // The module refuses a 24-bit picture: the file stays as it was, no temporary file is left.
    base->modified = 1;
    SetSaveDepth(24);
    CloseNextDialog(IDOK);
    EXPECT_EQ(SaveImageGroup(g_lastGroup, path.c_str()), 0);
    EXPECT_EQ(ClosedDialogTitle(), "ERR");
    StopDrivingDialogs();
    EXPECT_EQ(ReadBytes(path), b);
    EXPECT_EQ(base->modified, 1);
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA(dir.file("*.tmp").c_str(), &fd);
    EXPECT_EQ(find, INVALID_HANDLE_VALUE);
    if (find != INVALID_HANDLE_VALUE)
        FindClose(find);

    // No file can be created there: the image stays unsaved under its old name.
    SetSaveDepth(32);
    EXPECT_EQ(SaveImageGroup(g_lastGroup, dir.file("no\\such\\dir\\x.fxt").c_str()), 0);
    EXPECT_EQ(base->modified, 1);
    EXPECT_STREQ(base->name, "host.fxt");
    ASSERT_FALSE(boxes.boxes.empty());
    EXPECT_EQ(boxes.boxes.back().text, "Can't save");
}
