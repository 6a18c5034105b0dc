// The parts of mr2 that need no plug-in: mask runs, blend names, and a save without a PNG writer.
#include "testsupport.h"
#include "files/mr2.h"
#include "files/save.h"
#include "image/bindings.h"
#include "image/group.h"
#include "image/imagelist.h"
#include <string.h>

using Bytes = std::vector<uint8_t>;

static Bytes Encode(const Bytes &mask)
{
    Bytes runs;
    EncodeMaskRuns(mask.data(), mask.size(), &runs);
    return runs;
}

TEST(Mr2MaskRuns, EncodeAndDecodeBack)
{
    Bytes alternating = {1, 2, 1, 2, 1};
    Bytes mixed(70000, 0);
    for (size_t i = 65530; i < 65540; i++)
        mixed[i] = 0x21;
    struct Case {
        const char *what;
        Bytes mask, runs;
    } cases[] = {
        {"70000 zeros", Bytes(70000, 0), {0, 0xFF, 0xFF, 0, 0x11, 0x71}},
        {"one byte", {0x85}, {0x85, 0, 1}},
        {"alternating", alternating, {1, 0, 1, 2, 0, 1, 1, 0, 1, 2, 0, 1, 1, 0, 1}},
        {"a change inside a long run", mixed, {0, 0xFF, 0xFA, 0x21, 0, 10, 0, 0x11, 0x6C}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Encode(c.mask), c.runs);
        Bytes back(c.mask.size(), 0xEE);
        MaskRunDecoder decoder = {back.data(), back.size(), 0};
        EXPECT_EQ(FeedMaskRuns(&decoder, c.runs.data(), c.runs.size()), c.runs.size());
        EXPECT_EQ(decoder.filled, c.mask.size());
        EXPECT_EQ(back, c.mask);
    }
}

// Runs from a file are not trusted: the mask is never written past its end, a run cut short is
// not taken, and what the runs leave unfilled is reported by the count.
TEST(Mr2MaskRuns, HostileRunsStayInsideTheMask)
{
    struct Case {
        const char *what;
        Bytes runs;
        size_t taken, filled;
        Bytes mask;
    } cases[] = {
        {"a run past the end", {7, 0xFF, 0xFF, 8, 0, 1}, 3, 6, Bytes(6, 7)},
        {"runs beyond the mask are left", {7, 0, 6, 8, 0, 1}, 3, 6, Bytes(6, 7)},
        {"zero-length runs", {7, 0, 0, 9, 0, 2}, 6, 2, {9, 9, 0, 0, 0, 0}},
        {"a run cut short", {9, 0, 2, 7, 0}, 3, 2, {9, 9, 0, 0, 0, 0}},
        {"nothing", {}, 0, 0, Bytes(6, 0)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Bytes buffer(6 + 4, 0);
        buffer[6] = buffer[7] = buffer[8] = buffer[9] = 0xAB; // guard bytes after the mask
        MaskRunDecoder decoder = {buffer.data(), 6, 0};
        EXPECT_EQ(FeedMaskRuns(&decoder, c.runs.data(), c.runs.size()), c.taken);
        EXPECT_EQ(decoder.filled, c.filled);
        EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + 6), c.mask);
        EXPECT_EQ(Bytes(buffer.begin() + 6, buffer.end()), Bytes(4, 0xAB));
    }
}

// Blend modes are stored by their first 7 characters and found again by them, regardless of case.
TEST(Mr2BlendNames, StoredAndFoundByTheirFirstSevenCharacters)
{
    const char *names[] = {"Screen", "Multiplying", "Multiplier"};
    for (int i = 0; i < 3; i++) {
        g_layerBlends[i].module = GetModuleHandleA(nullptr); // a loaded module, never freed here
        snprintf(g_layerBlends[i].name, sizeof g_layerBlends[i].name, "%s", names[i]);
    }
    char field[kMr2BlendNameBytes + 1] = {};
    struct Stored {
        int blend;
        std::string field;
    } stored[] = {{0, "%Normal"}, {1, std::string("Screen\0", 7)}, {2, "Multipl"}, {3, "Multipl"}, {9, "%Normal"}};
    for (const Stored &s : stored) {
        Mr2BlendName(s.blend, field);
        EXPECT_EQ(std::string(field, kMr2BlendNameBytes), s.field) << s.blend;
    }
    struct Found {
        const char *name;
        int blend;
    } found[] = {{"%Normal", 0}, {"%NORMAL", 0}, {"screen", 1}, {"Multipl", 2}, {"MULTIPLY", 2}, {"Lighten", -1},
                 {"", -1}};
    for (const Found &f : found)
        EXPECT_EQ(FindBlendByName(f.name), f.blend) << f.name;
    memset(g_layerBlends, 0, sizeof g_layerBlends);
}

// Without a save plug-in for PNG nothing is written: one message, no file, the image unsaved.
TEST_F(HostTest, Mr2SaveWithoutAPngWriter)
{
    CDIB *base = nullptr;
    QzsCreateNewImage(&base, 4, 3, 32);
    ASSERT_EQ(AddImageGroup(base), 1);
    std::string path = dir.file("layers.mr2");
    SetSaveFormat(kFormatMr2);
    EXPECT_EQ(SaveImageGroup(g_lastGroup, path.c_str()), 0);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Can't write MR2 format file");
    EXPECT_EQ(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(base->modified, 1);
    EXPECT_EQ(base->path[0], 0);
}
