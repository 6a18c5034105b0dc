// Colour reduction: pictures whose colours fit the palette come through exactly, error diffusion
// against a trace worked out by hand, the grid's candidate rule over random palettes, the bounded
// histogram, memory failures, and 8-bit BMP files read back by ImageMagick and Pillow.
#include "testsupport.h"
#include "test_bmp_reference.h"
#include "image/colorreduce.h"
#include "image/cdib.h"
#include "image/group.h"
#include "image/imagelist.h"
#include "files/save.h"
#include <stdlib.h>
#include <string.h>
#include <algorithm>
#include <random>
#include <set>
#include <vector>

namespace {

uint32_t Rgb(int r, int g, int b)
{
    return 0xFF000000u | (uint32_t)r << 16 | (uint32_t)g << 8 | (uint32_t)b;
}

BITMAPINFOHEADER Header32(int w, int h)
{
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = w;
    header.biHeight = h;
    header.biPlanes = 1;
    header.biBitCount = 32;
    return header;
}

// A 32-bit picture (top row first) and an 8-bit destination whose colour table starts filled with
// a mark, so that untouched entries show.
struct Reduction {
    int w, h;
    std::vector<uint32_t> pixels;
    std::vector<uint8_t> destHeader, out;
    BITMAPINFOHEADER source = {};
    Reduction(int width, int height) : w(width), h(height), pixels((size_t)width * height)
    {
        source = Header32(width, height);
        destHeader.assign(QZ_HEADER_BLOCK_SIZE, 0);
        out.assign((size_t)GetRowLength(width, 8) * height, 0xEE);
        for (int i = 0; i < 256; i++)
            Table()[i] = {7, 7, 7, 9};
    }
    BITMAPINFO *Dest() { return (BITMAPINFO *)destHeader.data(); }
    RGBQUAD *Table() { return Dest()->bmiColors; }
    int Run(int diffuse, int n = 255, QzProgressProc progress = nullptr)
    {
        return ReduceColors(&source, pixels.data(), Dest(), out.data(), n, diffuse, progress);
    }
    // Index of source pixel (x, y): the store is bottom-up.
    int Index(int x, int y) const { return out[(size_t)(h - 1 - y) * GetRowLength(w, 8) + x]; }
    uint32_t Mapped(int x, int y)
    {
        RGBQUAD q = Table()[Index(x, y)];
        return Rgb(q.rgbRed, q.rgbGreen, q.rgbBlue);
    }
};

std::vector<std::pair<int, int>> s_progress;
int QZCAPI RecordProgress(int done, int total, int)
{
    s_progress.push_back({done, total});
    return 1; // the result is not looked at
}

} // namespace

// Every pixel of a picture with at most 255 colours gets its own colour back, with and without
// diffusion. The nine colours of the second picture sit at the centre and near the eight corners
// of one grid cube: the centre colour is in none of the candidate lists of the cells around it,
// yet the palette holds it exactly, so it must not become a corner colour.
TEST(ColorReduction, PicturesWhoseColoursFitComeThroughExactly)
{
    struct Case {
        const char *name;
        std::vector<uint32_t> colours;
        std::vector<int> counts; // distinct counts give a fixed box order: largest first
    };
    std::vector<Case> cases = {
        {"one colour", {Rgb(12, 34, 56)}, {35}},
        {"seven colours", {Rgb(255, 0, 0), Rgb(0, 0, 0), Rgb(255, 255, 255), Rgb(1, 2, 3), Rgb(128, 128, 0),
                           Rgb(0, 200, 90), Rgb(254, 254, 255)},
         {10, 8, 6, 5, 3, 2, 1}},
        {"centre of a cube", {Rgb(24, 24, 24), Rgb(17, 17, 17), Rgb(31, 17, 17), Rgb(17, 31, 17), Rgb(17, 17, 31),
                              Rgb(31, 31, 17), Rgb(31, 17, 31), Rgb(17, 31, 31), Rgb(31, 31, 31)},
         {9, 8, 7, 6, 5, 4, 3, 2, 1}},
    };
    // 255 colours, one pixel each, spread over the whole cube.
    Case many{"255 colours", {}, {}};
    std::mt19937 random(7);
    std::set<uint32_t> seen;
    while (many.colours.size() < 255) {
        uint32_t c = Rgb((int)(random() & 255), (int)(random() & 255), (int)(random() & 255));
        if (seen.insert(c).second) {
            many.colours.push_back(c);
            many.counts.push_back(1);
        }
    }
    cases.push_back(many);
    for (const Case &c : cases)
        for (int diffuse : {0, 1}) {
            SCOPED_TRACE(std::string(c.name) + (diffuse ? " with diffusion" : ""));
            int n = 0;
            for (int k : c.counts)
                n += k;
            Reduction r(n % 7 == 0 ? 7 : n, n % 7 == 0 ? n / 7 : 1);
            size_t i = 0;
            for (size_t k = 0; k < c.colours.size(); k++)
                for (int j = 0; j < c.counts[k]; j++)
                    r.pixels[i++] = c.colours[k];
            std::shuffle(r.pixels.begin(), r.pixels.end(), random);
            ASSERT_EQ(r.Run(diffuse), 1);
            for (int y = 0; y < r.h; y++)
                for (int x = 0; x < r.w; x++)
                    ASSERT_EQ(r.Mapped(x, y), r.pixels[(size_t)y * r.w + x]) << x << "," << y;
            RGBQUAD *table = r.Table();
            std::set<uint32_t> palette;
            for (size_t k = 0; k < c.colours.size(); k++) {
                uint32_t got = Rgb(table[k].rgbRed, table[k].rgbGreen, table[k].rgbBlue);
                palette.insert(got);
                if (c.counts.size() < 255) { // distinct counts: the palette is in box order, largest first
                    EXPECT_EQ(got, c.colours[k]) << "entry " << k;
                }
                EXPECT_EQ(table[k].rgbReserved, 9); // left as it was
            }
            EXPECT_EQ(palette, std::set<uint32_t>(c.colours.begin(), c.colours.end()));
            for (size_t k = c.colours.size(); k < 255; k++)
                EXPECT_EQ(Rgb(table[k].rgbRed, table[k].rgbGreen, table[k].rgbBlue), Rgb(0, 0, 0)) << "entry " << k;
            EXPECT_EQ(table[255].rgbRed, 7); // only 255 entries are written
            EXPECT_EQ(table[255].rgbReserved, 9);
        }
}

// A grey 3 x 2 picture reduced to two colours with diffusion, traced by hand.
//   100 150  60        histogram 60, 100, 128 x 2, 150 x 2; sorted by green, the first box takes
//   150 128 128        60, 100, 128 (4 pixels): palette 0 = 416 / 4 = 104, palette 1 = 150.
// Errors go 3/8 right, 3/8 down, 2/8 down-right, divided by 8 with truncation toward zero:
//   row 0: 100 -> 0 (e -4); 150 - 12/8 = 149 -> 1 (e -1); 60 - 3/8 = 60 -> 0 (e -44)
//   at the row's end the current row becomes [-12, -11, -134, -88], whose overflow -88 folds back
//   into its first entry: -100
//   row 1: 150 - 100/8 = 138 -> 1 (e -12); 128 + (-11 - 36)/8 = 123 -> 0 (e 19);
//          128 + (-134 + 57)/8 = 119 -> 0
// Without diffusion the second row would be 1 1 1.
TEST(ColorReduction, DiffusionFollowsTheHandTrace)
{
    const int grey[2][3] = {{100, 150, 60}, {150, 128, 128}};
    const int want[2][2][3] = {{{0, 1, 0}, {1, 1, 1}}, {{0, 1, 0}, {1, 0, 0}}};
    for (int diffuse : {0, 1}) {
        SCOPED_TRACE(diffuse);
        Reduction r(3, 2);
        for (int y = 0; y < 2; y++)
            for (int x = 0; x < 3; x++)
                r.pixels[y * 3 + x] = Rgb(grey[y][x], grey[y][x], grey[y][x]);
        s_progress.clear();
        ASSERT_EQ(r.Run(diffuse, 2, RecordProgress), 1);
        RGBQUAD *table = r.Table();
        for (int y = 0; y < 2; y++)
            for (int x = 0; x < 3; x++)
                EXPECT_EQ(r.Index(x, y), want[diffuse][y][x]) << x << "," << y;
        // Rows are stored bottom-up, padded to 4 bytes.
        EXPECT_EQ(r.out[0], want[diffuse][1][0]);
        EXPECT_EQ(r.out[4], want[diffuse][0][0]);
        EXPECT_EQ(table[0].rgbGreen, 104);
        EXPECT_EQ(table[1].rgbGreen, 150);
        EXPECT_EQ(table[2].rgbGreen, 7);
        EXPECT_EQ(s_progress, (std::vector<std::pair<int, int>>{{1, 3}, {2, 3}}));
    }
}

// Each cell's list holds exactly the palette colours within the cell's smallest squared distance
// plus 64, in palette order; the lookup gives the nearest of them, the earlier one on a tie.
TEST(ColorReduction, GridCandidatesFollowTheRuleOverRandomPalettes)
{
    std::mt19937 random(11);
    for (int round = 0; round < 12; round++) {
        int n = round == 0 ? 1 : round == 1 ? 255 : (int)(random() % 255) + 1;
        std::vector<PaletteColor> palette(n);
        for (PaletteColor &p : palette) {
            // Some palettes crowd one corner, so that lists grow long.
            int spread = round % 3 == 2 ? 40 : 256;
            p = {(int)(random() % spread), (int)(random() % spread), (int)(random() % spread), 0};
        }
        if (n > 3)
            palette[3] = palette[1]; // a repeated colour: the earlier index must win
        NearestGrid grid = {};
        ASSERT_TRUE(BuildNearestGrid(&grid, palette.data(), n));
        for (int cell = 0; cell < 32768; cell += round < 2 ? 1 : 7) {
            int i = cell >> 10, j = (cell >> 5) & 31, k = cell & 31;
            int64_t pr = 16 * (i - 8), pg = 16 * (j - 8), pb = 16 * (k - 8);
            auto dist = [&](const PaletteColor &p) {
                return (pr - p.r) * (pr - p.r) + (pg - p.g) * (pg - p.g) + (pb - p.b) * (pb - p.b);
            };
            int64_t smallest = INT64_MAX;
            for (const PaletteColor &p : palette)
                smallest = std::min(smallest, dist(p));
            std::vector<int> want;
            for (int p = 0; p < n; p++)
                if (dist(palette[p]) < smallest + 64)
                    want.push_back(p);
            std::vector<int> got(grid.candidates + grid.first[cell], grid.candidates + grid.first[cell + 1]);
            ASSERT_EQ(got, want) << "round " << round << " cell " << i << "," << j << "," << k;
            // A colour looked up in this cell (cell i stands for i - 8 in the lookup's terms).
            int r = (int)(random() % 300) - 20, g = (int)(random() % 300) - 20, b = (int)(random() % 300) - 20;
            int64_t best = INT64_MAX;
            int bestIndex = -1;
            for (int p : want) {
                int64_t d = (int64_t)(r - palette[p].r) * (r - palette[p].r) +
                            (int64_t)(g - palette[p].g) * (g - palette[p].g) +
                            (int64_t)(b - palette[p].b) * (b - palette[p].b);
                if (d < best)
                    best = d, bestIndex = p;
            }
            int index = -1;
            EXPECT_EQ(LookupNearest(&grid, r, g, b, i - 8, j - 8, k - 8, &index), best);
            EXPECT_EQ(index, bestIndex);
        }
        FreeNearestGrid(&grid);
    }
    // No palette: every cell is empty.
    NearestGrid empty = {};
    ASSERT_TRUE(BuildNearestGrid(&empty, nullptr, 0));
    int index = 5;
    EXPECT_EQ(LookupNearest(&empty, 1, 2, 3, 0, 0, 0, &index), kNoCandidate);
    EXPECT_EQ(index, 0);
    // Cells beyond the grid are clamped to its edge.
    EXPECT_EQ(LookupNearest(&empty, 1, 2, 3, -100, 100, 0, &index), kNoCandidate);
    FreeNearestGrid(&empty);
}

// Every one of the 16.7 million colours once: the histogram cannot keep them all and counts them
// under a key of six bits a channel, each entry standing for 64 colours at their mean.
TEST(ColorReduction, HistogramOfEveryColourIsBounded)
{
    const int w = 4096, h = 4096;
    std::vector<uint32_t> pixels((size_t)w * h);
    for (size_t i = 0; i < pixels.size(); i++)
        pixels[i] = 0xFF000000u | (uint32_t)i;
    BITMAPINFOHEADER header = Header32(w, h);
    int count = 0, bits = 0;
    ColorCount *entries = ColorHistogram(&header, pixels.data(), 0, &count, &bits);
    ASSERT_NE(entries, nullptr);
    EXPECT_EQ(bits, 6);
    ASSERT_EQ(count, kMaxHistogramColors);
    for (int i = 0; i < count; i++) {
        ASSERT_EQ(entries[i].count, 64);
        // The four values of a channel in one key, 4k .. 4k + 3, have the mean 4k + 1.5: rounded up.
        ASSERT_EQ(entries[i].r % 4, 2);
        ASSERT_EQ(entries[i].b % 4, 2);
    }
    free(entries);
    // A few colours more than the table takes: one bit less is enough.
    std::vector<uint32_t> some((size_t)kMaxHistogramColors + 1);
    for (size_t i = 0; i < some.size(); i++)
        some[i] = 0xFF000000u | (uint32_t)(i * 7);
    BITMAPINFOHEADER line = Header32((int)some.size(), 1);
    entries = ColorHistogram(&line, some.data(), 0, &count, &bits);
    ASSERT_NE(entries, nullptr);
    EXPECT_EQ(bits, 7);
    int64_t total = 0;
    for (int i = 0; i < count; i++)
        total += entries[i].count;
    EXPECT_EQ(total, (int64_t)some.size());
    free(entries);
}

namespace {

class ReductionSaveTest : public HostTest {
protected:
    void TearDown() override
    {
        SetReductionFailure(kReduceFailNone);
        HostTest::TearDown();
    }
    // A photo-like picture: smooth colour fields, a bright disc, fine noise.
    static CDIB *Photo(int w, int h)
    {
        CDIB *image = nullptr;
        EXPECT_EQ(CreateImageRecord(&image, w, h, 32), 0);
        uint32_t seed = 1;
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++) {
                seed = seed * 1103515245u + 12345u;
                int noise = (int)(seed >> 16 & 15) - 8;
                double u = (double)x / w, v = (double)y / h;
                double disc = (u - 0.6) * (u - 0.6) + (v - 0.4) * (v - 0.4) < 0.05 ? 90 : 0;
                int r = (int)(60 + 150 * u + disc) + noise, g = (int)(40 + 120 * v * (1 - u) + disc / 2) + noise;
                int b = (int)(200 - 140 * v + 30 * u) + noise;
                auto clamp = [](int c) { return c < 0 ? 0 : c > 255 ? 255 : c; };
                ((uint32_t *)image->pixels)[(size_t)y * w + x] = Rgb(clamp(r), clamp(g), clamp(b));
            }
        return image;
    }
};

} // namespace

// A failed allocation in any part of the reduction shows "ERR"; the save that asked for it reports
// that it could not save, leaves the file at the path alone and keeps the image unsaved.
TEST_F(ReductionSaveTest, MemoryFailuresFailTheSave)
{
    CDIB *base = Photo(40, 30); // more colours than the palette holds: diffusion has work
    ASSERT_EQ(AddImageGroup(base), 1);
    std::string path = dir.file("kept.bmp");
    WriteFileText(path, "the user's earlier file");
    SetSaveFormat(kFormatBmp);
    SetSaveDepth(8);
    SetSaveHighQuality(1);
    for (int part : {kReduceFailHistogram, kReduceFailPalette, kReduceFailGrid, kReduceFailErrorRows}) {
        SCOPED_TRACE(part);
        SetReductionFailure(part);
        boxes.boxes.clear();
        base->modified = 1;
        EXPECT_EQ(SaveImageGroup(g_lastGroup, path.c_str()), 0);
        ASSERT_EQ(boxes.boxes.size(), 2u);
        EXPECT_EQ(boxes.boxes[0].text, "ERR");
        EXPECT_EQ(boxes.boxes[0].caption, "MES");
        EXPECT_EQ(boxes.boxes[1].text, "Can't save");
        EXPECT_EQ(ReadFileText(path), "the user's earlier file");
        EXPECT_EQ(base->modified, 1);
        EXPECT_STRNE(base->name, "kept.bmp");
    }
    // Without diffusion no error rows are needed.
    SetSaveHighQuality(0);
    boxes.boxes.clear();
    EXPECT_EQ(SaveImageGroup(g_lastGroup, path.c_str()), 1);
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(base->modified, 0);
}

// An 8-bit BMP saved from a photo-like picture reads, in ImageMagick and in Pillow, as the palette
// image the reduction made: the palette colour of each pixel's index.
TEST_F(ReductionSaveTest, EightBitFilesReadBackAsTheReducedImage)
{
    if (!PillowAvailable())
        GTEST_SKIP() << "no reference readers";
    const int w = 97, h = 61;
    CDIB *photo = Photo(w, h);
    for (int diffuse : {0, 1}) {
        SCOPED_TRACE(diffuse);
        SetSaveDepth(8);
        SetSaveHighQuality(diffuse);
        CDIB reduced;
        ASSERT_EQ(ConvertImageDepth(photo, 8, &reduced, nullptr), 0);
        std::string path = dir.file(diffuse ? "photo-diffused.bmp" : "photo.bmp");
        ASSERT_EQ(SaveImageAsBmp(path.c_str(), photo), 1);
        ReferencePicture magick, pillow;
        ASSERT_TRUE(ReadWithReference(path, &magick));
        ASSERT_TRUE(ReadWithPillow(path, &pillow));
        ASSERT_EQ(magick.width * 1000 + magick.height, w * 1000 + h);
        ASSERT_EQ(pillow.width * 1000 + pillow.height, w * 1000 + h);
        std::set<uint32_t> used;
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++) {
                uint8_t c[4];
                GetDIBPixel(reduced.header, reduced.pixels, x, y, c);
                used.insert(Rgb(c[2], c[1], c[0]));
                for (const ReferencePicture *ref : {&magick, &pillow})
                    ASSERT_EQ(Rgb(ref->At(x, y)[0], ref->At(x, y)[1], ref->At(x, y)[2]), Rgb(c[2], c[1], c[0]))
                        << (ref == &magick ? "ImageMagick " : "Pillow ") << x << "," << y;
            }
        // A real palette: far more than the 3-3-2 levels a fixed palette would give this picture,
        // and never more than 255.
        EXPECT_GT(used.size(), 100u);
        EXPECT_LE(used.size(), 255u);
        FreeImageData(&reduced);
    }
}
