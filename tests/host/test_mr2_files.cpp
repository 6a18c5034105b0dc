// mr2 files through the stand-in PNG writer and reader: the exact layout, round trips of layered
// groups, old versions, blend names, failed writes and damaged files.
#include "reader_fixture.h"
#include "../unit/test_bmp_reference.h"
#include "files/mr2.h"
#include "files/openimage.h"
#include "files/save.h"
#include "image/bindings.h"
#include "image/cdib.h"
#include "image/group.h"
#include "image/imagelist.h"
#include <string.h>
#include <fstream>
#include <functional>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes ReadBytes(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string &path, const Bytes &bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write((const char *)bytes.data(), (std::streamsize)bytes.size());
}

uint32_t Le32(const Bytes &b, size_t at) { return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | (uint32_t)b[at + 3] << 24; }
void SetLe32(Bytes &b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; i++)
        b[at + i] = (uint8_t)(v >> (8 * i));
}

int CountFiles(const std::string &directory)
{
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((directory + "\\*").c_str(), &found);
    int n = 0;
    if (h == INVALID_HANDLE_VALUE)
        return 0;
    do
        n += !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    while (FindNextFileA(h, &found));
    FindClose(h);
    return n;
}

class Mr2Test : public ReaderTest {
protected:
    void SetUp() override
    {
        ReaderTest::SetUp();
        SetSaveFormat(kFormatMr2);
    }
    void TearDown() override
    {
        memset(g_layerBlends, 0, sizeof g_layerBlends);
        ReaderTest::TearDown();
    }
    // A listed 32-bit image whose pixels are distinct, alpha included.
    CDIB *NewImage(int w, int h, uint32_t seed)
    {
        CDIB *image = nullptr;
        EXPECT_EQ(CreateImageRecord(&image, w, h, 32), 0);
        for (int i = 0; i < w * h; i++)
            ((uint32_t *)image->pixels)[i] = seed + (uint32_t)i * 0x01030507u;
        return image;
    }
    int Read(const std::string &path, ImageGroup **out, int readAll = 1)
    {
        *out = CreateImageGroup(nullptr);
        int result = ReadMr2File(path.c_str(), *out, nullptr, readAll);
        if ((*out)->base)
            AppendImageGroup(*out);
        else
            FreeImageGroup(*out, 0);
        return result;
    }
    static int CountLayers(const ImageGroup *g)
    {
        int n = 0;
        for (LayerRecord *l = g->firstLayer; l; l = l->next)
            n++;
        return n;
    }
    static bool SamePixels(const CDIB *a, const CDIB *b, int w, int h)
    {
        return memcmp(a->pixels, b->pixels, (size_t)w * h * 4) == 0;
    }
    // Blend plug-ins by name: rows 0, 1 and 2 are blend indexes 1, 2 and 3.
    static void SetBlendNames(std::initializer_list<const char *> names)
    {
        int i = 0;
        for (const char *name : names) {
            g_layerBlends[i].module = GetModuleHandleA(nullptr);
            snprintf(g_layerBlends[i++].name, QZ_NAME_LEN, "%s", name);
        }
    }
    // A group of a 3 x 2 base with a mask and one 2 x 1 layer, written; its bytes.
    Bytes WriteSmallGroup(const std::string &path)
    {
        CDIB *base = NewImage(3, 2, 0x80102030);
        base->background[0] = 0x30, base->background[1] = 0x20, base->background[2] = 0x10;
        base->mask = (uint8_t *)malloc(6);
        memcpy(base->mask, "\0\0\1\1\1\0", 6);
        EXPECT_EQ(AddImageGroup(base), 1);
        CDIB *top = NewImage(2, 1, 0x11223344);
        strcpy(top->name, "top");
        EXPECT_NE(CreateLayer(g_lastGroup, top, -1, 4, 0, 77, 0), nullptr);
        EXPECT_EQ(WriteMr2File(path.c_str(), g_lastGroup), kMr2Written);
        return ReadBytes(path);
    }
    // The same group's file with the stand-in writer and reader loaded and no image left open.
    Bytes SmallFileToDamage(const std::string &path)
    {
        LoadPngSaver();
        LoadReaders({"pngread.spi"});
        Bytes b = WriteSmallGroup(path);
        DiscardAllImages();
        return b;
    }
};

} // namespace

TEST_F(Mr2Test, SmallGroupHasTheExactLayout)
{
    LoadPngSaver();
    std::string path = dir.file("small.mr2");
    Bytes b = WriteSmallGroup(path);
    CDIB *base = g_lastGroup->base;
    ASSERT_GT(b.size(), 128u + 136u);
    EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "QzF2");
    EXPECT_EQ(b[4] | b[5] << 8, 2);
    EXPECT_EQ(b[6] | b[7] << 8, 1);
    EXPECT_EQ(Bytes(b.begin() + 8, b.begin() + 128), Bytes(120, 0));

    // The base record: origin, status, opacity, a zero word, the PNG size, the colour as 16-bit
    // words red, green, blue, the blend name, zeros, the name "base".
    size_t at = 128;
    uint32_t size0 = Le32(b, at + 20);
    EXPECT_EQ(Bytes(b.begin() + at, b.begin() + at + 20),
              (Bytes{0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 255, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(Bytes(b.begin() + at + 24, b.begin() + at + 30), (Bytes{0x10, 0, 0x20, 0, 0x30, 0}));
    EXPECT_EQ(std::string(b.begin() + at + 30, b.begin() + at + 37), "%Normal");
    EXPECT_EQ(Bytes(b.begin() + at + 37, b.begin() + at + 136), Bytes(99, 0));
    EXPECT_EQ(std::string((const char *)&b[at + 136]), "base");
    size_t png0 = at + 141;
    ASSERT_LE(png0 + size0, b.size());

    // The embedded PNG, read by ImageMagick: the picture turned over (its top row is the image's
    // bottom row).
    if (ReferenceAvailable()) {
        WriteBytes(dir.file("base.png"), Bytes(b.begin() + png0, b.begin() + png0 + size0));
        ReferencePicture ref;
        ASSERT_TRUE(ReadWithReference(dir.file("base.png"), &ref));
        ASSERT_EQ(ref.width, 3);
        ASSERT_EQ(ref.height, 2);
        for (int y = 0; y < 2; y++)
            for (int x = 0; x < 3; x++) {
                uint32_t p = ((uint32_t *)base->pixels)[(1 - y) * 3 + x];
                const uint8_t *r = ref.At(x, y);
                EXPECT_EQ(r[0] << 16 | r[1] << 8 | r[2], (int)(p & 0xFFFFFF)) << x << "," << y;
            }
    }

    // The mask runs, then the layer record and nothing more.
    at = png0 + size0;
    EXPECT_EQ(Bytes(b.begin() + at, b.begin() + at + 9), (Bytes{0, 0, 2, 1, 0, 3, 0, 0, 1}));
    at += 9;
    const LayerRecord *top = g_lastGroup->firstLayer;
    EXPECT_EQ(Le32(b, at), (uint32_t)top->x);
    EXPECT_EQ(Le32(b, at + 4), (uint32_t)top->y);
    EXPECT_EQ(Le32(b, at + 8), 0u);
    EXPECT_EQ(Le32(b, at + 12), 77u);
    EXPECT_EQ(Le32(b, at + 16), 0u);
    EXPECT_EQ(Bytes(b.begin() + at + 24, b.begin() + at + 30), (Bytes{0x10, 0, 0x20, 0, 0x30, 0}));
    EXPECT_EQ(std::string((const char *)&b[at + 136]), "top");
    EXPECT_EQ(at + 140 + Le32(b, at + 20), b.size());
    // No temporary picture is left behind.
    EXPECT_EQ(CountFiles(g_cfg.mr2TempDir), 0);
}

// A base with a mask and three layers, one blend name longer than the 7 characters kept: what is
// read back equals what was written, pixels and alpha included; "Multipl" finds the first blend
// whose name starts so.
TEST_F(Mr2Test, LayeredGroupSurvivesARoundTrip)
{
    LoadPngSaver();
    LoadReaders({"pngread.spi"});
    SetBlendNames({"Screen", "Multiplying", "Multiplier"});
    CDIB *base = NewImage(6, 5, 0x01000000);
    base->background[0] = 1, base->background[1] = 2, base->background[2] = 3;
    base->mask = (uint8_t *)malloc(30);
    for (int i = 0; i < 30; i++)
        base->mask[i] = (uint8_t)(i / 7 * 3);
    ASSERT_EQ(AddImageGroup(base), 1);
    ImageGroup *g = g_lastGroup;
    g->baseStatus = 0;
    CDIB *a = NewImage(2, 3, 0x02000000), *b = NewImage(4, 1, 0x03000000), *c = NewImage(1, 1, 0x04000000);
    strcpy(a->name, "first layer");
    strcpy(b->name, "second");
    strcpy(c->name, std::string(255, 'c').c_str());
    LayerRecord *la = CreateLayer(g, a, -1, 2, 1, 255, 0), *lb = CreateLayer(g, b, 3, 4, 0, 128, 3),
                *lc = CreateLayer(g, c, 5, -2, 1, 0, 1);
    ASSERT_TRUE(la && lb && lc);
    std::string path = dir.file("layers.mr2");
    ASSERT_EQ(WriteMr2File(path.c_str(), g), kMr2Written);

    ImageGroup *r;
    ASSERT_EQ(Read(path, &r), 1);
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_STREQ(r->base->name, "layers.mr2");
    EXPECT_STREQ(r->name, "layers.mr2");
    EXPECT_EQ(r->baseStatus, 0);
    EXPECT_EQ(memcmp(r->base->background, base->background, 3), 0);
    EXPECT_TRUE(SamePixels(r->base, base, 6, 5));
    ASSERT_NE(r->base->mask, nullptr);
    EXPECT_EQ(memcmp(r->base->mask, base->mask, 30), 0);
    EXPECT_EQ(r->currentImage, r->base);
    ASSERT_EQ(CountLayers(r), 3);
    struct Expect {
        const CDIB *image;
        int x, y, status, opacity, blend, w, h;
    } expect[] = {{a, la->x, la->y, 1, 255, 0, 2, 3}, {b, lb->x, lb->y, 0, 128, 2, 4, 1}, {c, lc->x, lc->y, 1, 0, 1, 1, 1}};
    LayerRecord *l = r->firstLayer;
    for (const Expect &e : expect) {
        SCOPED_TRACE(e.image->name);
        EXPECT_EQ(l->x, e.x);
        EXPECT_EQ(l->y, e.y);
        EXPECT_EQ(l->status, e.status);
        EXPECT_EQ(l->opacity, e.opacity);
        EXPECT_EQ(l->blend, e.blend);
        EXPECT_STREQ(l->image->name, e.image->name);
        EXPECT_TRUE(SamePixels(l->image, e.image, e.w, e.h));
        l = l->next;
    }

    // Without the read-all flag only the base; as a DIB pair the base's rows as stored.
    ImageGroup *only;
    ASSERT_EQ(Read(path, &only, 0), 1);
    EXPECT_EQ(CountLayers(only), 0);
    EXPECT_EQ(only->base->mask, nullptr);
    HGLOBAL header, bits;
    ASSERT_EQ(ReadMr2FirstImage(path.c_str(), nullptr, &header, &bits), 1);
    const BITMAPINFOHEADER *bih = (const BITMAPINFOHEADER *)GlobalLock(header);
    EXPECT_EQ(bih->biWidth, 6);
    EXPECT_EQ(bih->biHeight, 5);
    EXPECT_EQ(bih->biBitCount, 32);
    EXPECT_EQ(memcmp(GlobalLock(bits), base->pixels, 6 * 5 * 4), 0);
    GlobalUnlock(header);
    GlobalUnlock(bits);
    GlobalFree(header);
    GlobalFree(bits);

    // Opened by name it becomes a group of its own.
    DiscardAllImages();
    boxes.boxes.clear();
    EXPECT_EQ(OpenImageFile(path.c_str(), 1, 0), 1);
    ASSERT_NE(g_lastGroup, nullptr);
    EXPECT_EQ(CountLayers(g_lastGroup), 3);
    EXPECT_EQ(std::string(g_lastGroup->base->format, 5), "*.MRF");
    EXPECT_TRUE(boxes.boxes.empty());
}

// A reader that gives 24-bit pictures: converted, rows kept in the order read, alpha opaque.
TEST_F(Mr2Test, PicturesOfOtherDepthsAreConverted)
{
    LoadPngSaver();
    LoadReaders({"png24.spi"});
    CDIB *base = NewImage(5, 3, 0x00ABCDEF);
    ASSERT_EQ(AddImageGroup(base), 1);
    std::string path = dir.file("deep.mr2");
    ASSERT_EQ(WriteMr2File(path.c_str(), g_lastGroup), kMr2Written);
    ImageGroup *r;
    ASSERT_EQ(Read(path, &r), 1);
    for (int i = 0; i < 15; i++)
        EXPECT_EQ(((uint32_t *)r->base->pixels)[i], ((uint32_t *)base->pixels)[i] | 0xFF000000u) << i;
}

// The version field is not read; the blend field is matched without regard to case, and an
// unknown blend is reported and read as normal.
TEST_F(Mr2Test, VersionsAndBlendFields)
{
    LoadPngSaver();
    LoadReaders({"pngread.spi"});
    std::string path = dir.file("small.mr2");
    Bytes original = WriteSmallGroup(path);
    size_t layer = 128 + 141 + Le32(original, 128 + 20) + 9;
    struct Case {
        const char *what;
        int version;
        std::string blend;
        int expected;
        std::vector<std::string> texts;
    } cases[] = {
        {"version 0", 0, "%Normal", 0, {}},
        {"version 5", 5, "%Normal", 0, {}},
        {"capital letters", 2, "%NORMAL", 0, {}},
        {"unknown", 2, "Nothing", 0, {"MR2 file use unknown blend-type:Nothing"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Bytes b = original;
        b[4] = (uint8_t)c.version;
        memcpy(&b[layer + 30], c.blend.data(), 7);
        WriteBytes(dir.file("patched.mr2"), b);
        boxes.boxes.clear();
        ImageGroup *r;
        ASSERT_EQ(Read(dir.file("patched.mr2"), &r), 1);
        ASSERT_EQ(CountLayers(r), 1);
        EXPECT_EQ(r->firstLayer->blend, c.expected);
        EXPECT_EQ(r->firstLayer->opacity, 77);
        EXPECT_EQ(memcmp(r->base->mask, "\0\0\1\1\1\0", 6), 0);
        EXPECT_EQ(Texts(), c.texts);
    }
}

// A PNG writer that fails on the second picture (with half a file, or with none while it reports
// success) fails the whole save: the earlier file stays, the image stays unsaved, a picture left
// by an older save is never embedded, and no temporary picture remains.
TEST_F(Mr2Test, FailedPictureFailsTheWholeSave)
{
    for (const char *saver : {"pngfail.ovp", "pngquiet.ovp"}) {
        SCOPED_TRACE(saver);
        UnloadSavePlugins();
        DeleteFileA((std::string(g_cfg.Saver_dir) + "\\pngfail.ovp").c_str());
        LoadPngSaver(saver);
        ASSERT_NE(FindPngSaver(), nullptr);
        CDIB *base = NewImage(3, 3, 0x10);
        base->modified = 1;
        ASSERT_EQ(AddImageGroup(base), 1);
        ASSERT_NE(CreateLayer(g_lastGroup, NewImage(1, 1, 0x20), 0, 0, 1, 255, 0), nullptr);
        std::string path = dir.file("kept.mr2");
        WriteFileText(path, "the user's earlier file");
        CreateDirectoryA(g_cfg.workDir, nullptr);
        CreateDirectoryA(g_cfg.mr2TempDir, nullptr);
        WriteFileText(std::string(g_cfg.mr2TempDir) + "\\1", "a picture of an older save");
        boxes.boxes.clear();
        EXPECT_EQ(SaveImageGroup(g_lastGroup, path.c_str()), 0);
        EXPECT_EQ(Texts(), std::vector<std::string>{"Can't save"});
        EXPECT_EQ(ReadFileText(path), "the user's earlier file");
        EXPECT_EQ(base->modified, 1);
        EXPECT_EQ(CountFiles(g_cfg.mr2TempDir), 0);
        DiscardAllImages();
    }
}

// Cut at every length, or with size fields and names the file cannot hold: refused with one
// message and nothing left behind, except where the cut falls between whole records.
TEST_F(Mr2Test, DamagedFilesAreRefused)
{
    std::string path = dir.file("small.mr2");
    Bytes original = SmallFileToDamage(path);
    size_t base = 128, afterBase = base + 141 + Le32(original, base + 20), layer = afterBase + 9;
    std::string cut = dir.file("cut.mr2");
    for (size_t length = 0; length < original.size(); length++) {
        SCOPED_TRACE(length);
        WriteBytes(cut, Bytes(original.begin(), original.begin() + length));
        boxes.boxes.clear();
        ImageGroup *g;
        int result = Read(cut, &g);
        if (length < 128) {
            EXPECT_EQ(result, 0);
        } else if (length == layer) {
            EXPECT_EQ(result, 1); // ends after the mask: a group without layers
            DiscardAllImages();
        } else {
            EXPECT_EQ(result, 100);
            EXPECT_EQ(Texts(), std::vector<std::string>{"Can't read MR2 format file"});
            EXPECT_EQ(g_firstImage, nullptr);
        }
    }
    struct Patch {
        const char *what;
        size_t at;
        uint32_t value;
    } patches[] = {
        {"base PNG size past the end", base + 20, (uint32_t)original.size()},
        {"huge base PNG size", base + 20, 0xFFFFFFFFu},
        {"huge layer PNG size", layer + 20, 0x7FFFFFFFu},
        {"empty layer PNG", layer + 20, 0},
    };
    for (const Patch &p : patches) {
        SCOPED_TRACE(p.what);
        Bytes b = original;
        SetLe32(b, p.at, p.value);
        WriteBytes(cut, b);
        boxes.boxes.clear();
        ImageGroup *g;
        EXPECT_EQ(Read(cut, &g), 100);
        EXPECT_EQ(g_firstImage, nullptr);
    }
    // A layer name longer than an image name holds.
    Bytes longName(original.begin(), original.begin() + layer + 136);
    longName.insert(longName.end(), 300, 'n');
    longName.insert(longName.end(), original.begin() + layer + 139, original.end());
    WriteBytes(cut, longName);
    ImageGroup *g;
    EXPECT_EQ(Read(cut, &g), 100);

    // Opening a damaged file by name: the format's own message, nothing opened.
    WriteBytes(cut, Bytes(original.begin(), original.begin() + layer + 20));
    boxes.boxes.clear();
    EXPECT_EQ(OpenImageFile(cut.c_str(), 1, 0), 1);
    EXPECT_EQ(Texts(), std::vector<std::string>{"Can't read MR2 format file"});
    EXPECT_EQ(g_firstGroup, nullptr);
    EXPECT_EQ(g_firstImage, nullptr);
}

// Damaged pictures inside a file that is otherwise whole: a PNG chunk that claims more bytes than
// its record holds (the reader must stop at the record's end), a broken checksum, an unknown blend
// on a layer that is then thrown away. Each file is refused with one box, whichever way it is
// read, and the group opened before it stays as it was.
TEST_F(Mr2Test, DamagedPictureGivesOneBox)
{
    std::string path = dir.file("small.mr2");
    Bytes original = SmallFileToDamage(path);
    size_t basePng = 128 + 141, layer = basePng + Le32(original, 128 + 20) + 9, layerPng = layer + 140;
    auto idat = [&](size_t png) {
        std::string text(original.begin() + png, original.end());
        return png + text.find("IDAT") - 4; // the chunk's length field
    };
    struct Case {
        const char *what;
        std::function<void(Bytes &)> damage;
    } cases[] = {
        {"base chunk of 2 GB", [&](Bytes &b) { SetLe32(b, idat(basePng), 0x7FFF0000); }},
        {"layer chunk past its record", [&](Bytes &b) { SetLe32(b, idat(layerPng), 0x00010000); }},
        {"base checksum", [&](Bytes &b) { b[idat(basePng) + 9] ^= 0x55; }},
        {"unknown blend on a broken layer",
         [&](Bytes &b) {
             memcpy(&b[layer + 30], "Nothing", 7);
             b[idat(layerPng) + 9] ^= 0x55;
         }},
    };
    ASSERT_EQ(OpenImageFile(path.c_str(), 1, 0), 1); // what the user had open before
    ImageGroup *kept = g_lastGroup;
    ASSERT_NE(kept, nullptr);
    Bytes keptPixels((uint8_t *)kept->base->pixels, (uint8_t *)kept->base->pixels + 3 * 2 * 4);
    const std::vector<std::string> oneBox = {"Can't read MR2 format file"};
    std::string bad = dir.file("bad.mr2");
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Bytes b = original;
        c.damage(b);
        WriteBytes(bad, b);
        boxes.boxes.clear();
        EXPECT_EQ(OpenImageFile(bad.c_str(), 1, 0), 1);
        EXPECT_EQ(Texts(), oneBox);
        EXPECT_EQ(g_firstGroup, kept);
        EXPECT_EQ(g_lastGroup, kept);
        EXPECT_EQ(CountLayers(kept), 1);
        EXPECT_EQ(Bytes((uint8_t *)kept->base->pixels, (uint8_t *)kept->base->pixels + 24), keptPixels);

        // As a picture alone (the open dialog's preview, the reading service): nothing read.
        HGLOBAL header = nullptr, bits = nullptr;
        bool baseBroken = strncmp(c.what, "base", 4) == 0;
        EXPECT_EQ(ReadMr2FirstImage(bad.c_str(), nullptr, &header, &bits), baseBroken ? 0 : 1);
        if (!baseBroken) {
            GlobalFree(header);
            GlobalFree(bits);
        }
    }
}
