// The FXT encoder of the savera module, called directly: every coding's reported error against a
// decoder written here from the published layout, the mode bits, transparent pixels and the
// tie-breaks of the search.
#include "fxt1.h"
#include "fxt1_reference.h"
#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>
#include <string>
#include <vector>

namespace {

// Pixels of one block as stored: [row][column][B, G, R, A], row 0 the first stored row.
struct Block {
    uint8_t px[4][8][4] = {};
    void Set(int row, int col, int r, int g, int b, int a = 255)
    {
        uint8_t *p = px[row][col];
        p[0] = (uint8_t)b, p[1] = (uint8_t)g, p[2] = (uint8_t)r, p[3] = (uint8_t)a;
    }
    Fxt1Texels Texels() const
    {
        Fxt1Texels t;
        Fxt1Gather(&px[0][0][0], 32, &t);
        return t;
    }
};

int Up5(int q) { return q << 3 | q >> 2; }

uint32_t s_seed = 12345;
int Rand(int n)
{
    s_seed = s_seed * 1103515245u + 12345u;
    return (int)((s_seed >> 16) & 0x7FFF) % n;
}
int Clamp(int v) { return v < 0 ? 0 : v > 255 ? 255 : v; }

// Blocks of many kinds: noise, gradients, edges, alpha ramps, transparent pixels with and without
// colour, nearly flat areas.
std::vector<Block> SampleBlocks()
{
    std::vector<Block> blocks;
    for (int n = 0; n < 240; n++) {
        Block b;
        int kind = n % 9;
        int r0 = Rand(256), g0 = Rand(256), b0 = Rand(256), r1 = Rand(256), g1 = Rand(256), b1 = Rand(256);
        for (int y = 0; y < 4; y++)
            for (int x = 0; x < 8; x++) {
                int f = x * 4 + y * 9; // 0..55
                switch (kind) {
                case 0: b.Set(y, x, Rand(256), Rand(256), Rand(256), Rand(256)); break;
                case 1: b.Set(y, x, r0 + (r1 - r0) * f / 55, g0 + (g1 - g0) * f / 55, b0 + (b1 - b0) * f / 55); break;
                case 2: (x + y > 5 ? b.Set(y, x, r0, g0, b0) : b.Set(y, x, r1, g1, b1)); break;
                case 3: b.Set(y, x, r0, g0, b0, Clamp(f * 255 / 55)); break;
                case 4:
                    if (Rand(3) == 0)
                        b.Set(y, x, 0, 0, 0, 0);
                    else
                        b.Set(y, x, Clamp(r0 + Rand(40)), Clamp(g0 + Rand(40)), Clamp(b0 + Rand(40)));
                    break;
                case 5: b.Set(y, x, Rand(256), Rand(256), Rand(256), Rand(2) ? 0 : 255); break;
                case 6: b.Set(y, x, Clamp(r0 + Rand(7) - 3), Clamp(g0 + Rand(7) - 3), Clamp(b0 + Rand(7) - 3)); break;
                case 7:
                    b.Set(y, x, Clamp(r0 + 30 * (x & 1) - 15), Clamp(g0 + y * 20 - 30), b0, Rand(4) ? 255 : 128);
                    break;
                default: { // four colours scattered, as in a dithered picture
                    int k = Rand(4);
                    b.Set(y, x, k & 1 ? r0 : r1, k & 2 ? g0 : g1, k == 3 ? b0 : b1);
                    break;
                }
                }
            }
        blocks.push_back(b);
    }
    return blocks;
}

std::vector<uint8_t> Hex(const char *s)
{
    std::vector<uint8_t> v;
    for (; s[0] && s[1]; s += 2) {
        char two[3] = {s[0], s[1], 0};
        v.push_back((uint8_t)strtoul(two, nullptr, 16));
    }
    return v;
}

// The winner by the search's order and tie-breaks, computed here from the errors the search reports.
int ExpectedWinner(const uint32_t *e)
{
    int mixed = e[kFxtMixed0] < e[kFxtMixed1] ? kFxtMixed0 : kFxtMixed1;
    int alpha = e[kFxtAlpha0] < e[kFxtAlpha1] ? kFxtAlpha0 : kFxtAlpha1;
    int winner = mixed;
    for (int c : {(int)kFxtHi, (int)kFxtChroma, alpha})
        if (e[c] < e[winner])
            winner = c;
    return winner;
}

const char *const kCodingNames[] = {"MIXED/0", "MIXED/1", "HI", "CHROMA", "ALPHA/0", "ALPHA/1"};

} // namespace

// The test decoder against the worked examples of the format notes, and the module's own decoder
// against the test decoder.
TEST(Fxt1, DecodersAgreeWithTheWorkedExamples)
{
    struct Example {
        const char *block;
        const char *rows[4];
    } examples[] = {
        {"887697db06c3ac3f0549f28a037cfe01",
         {"ff0018ff d52b3bff aa555dff 808080ff 55aaa2ff 2bd5c5ff 00ffe7ff 00000000",
          "00000000 00ffe7ff 2bd5c5ff 55aaa2ff 808080ff aa555dff d52b3bff ff0018ff",
          "808080ff 808080ff 808080ff 808080ff d52b3bff d52b3bff d52b3bff d52b3bff",
          "ff0018ff 00ffe7ff ff0018ff 00ffe7ff 00000000 2bd5c5ff aa555dff 55aaa2ff"}},
        {"e4394e93e4394e93007c40813f034248",
         {"ff0000ff 00a500ff 1839f7ff 848484ff ff0000ff 00a500ff 1839f7ff 848484ff",
          "00a500ff 1839f7ff 848484ff ff0000ff 00a500ff 1839f7ff 848484ff ff0000ff",
          "1839f7ff 848484ff ff0000ff 00a500ff 1839f7ff 848484ff ff0000ff 00a500ff",
          "848484ff ff0000ff 00a500ff 1839f7ff 848484ff ff0000ff 00a500ff 1839f7ff"}},
        {"d2e4a51b1be40faa54119139f8ff03a0",
         {"a5a542ff 2151a5ff 637b73ff e7cf10ff 0000ffff 5555aaff aaaa55ff ffff00ff",
          "2151a5ff 637b73ff a5a542ff e7cf10ff ffff00ff aaaa55ff 5555aaff 0000ffff",
          "637b73ff 637b73ff a5a542ff a5a542ff 0000ffff 0000ffff ffff00ff ffff00ff",
          "e7cf10ff a5a542ff 637b73ff 2151a5ff 5555aaff 5555aaff 5555aaff 5555aaff"}},
        {"e40fe47a1bf5e4b3e80304bea74a55ff",
         {"00ff42ff 7f8142ff ff0442ff 00000000 00000000 f7ae52ff a4a9a4ff 52a5f7ff",
          "00000000 00000000 00ff42ff 00ff42ff a4a9a4ff a4a9a4ff 00000000 00000000",
          "00ff42ff 7f8142ff ff0442ff 00000000 52a5f7ff a4a9a4ff f7ae52ff 00000000",
          "ff0442ff ff0442ff 00000000 7f8142ff 00000000 52a5f7ff 00000000 f7ae52ff"}},
        {"e4394e93e4394e93ff7f00fe07e0c361",
         {"ffffffff ff000084 0000ff18 00000000 ffffffff ff000084 0000ff18 00000000",
          "ff000084 0000ff18 00000000 ffffffff ff000084 0000ff18 00000000 ffffffff",
          "0000ff18 00000000 ffffffff ff000084 0000ff18 00000000 ffffffff ff000084",
          "00000000 ffffffff ff000084 0000ff18 00000000 ffffffff ff000084 0000ff18"}},
        {"e4934e39e4934e39007c0080fae0037a",
         {"ff0000ff aa0000aa 55000055 00000000 00ff52a5 00aa376e 00551b37 00000000",
          "00000000 ff0000ff aa0000aa 55000055 00000000 00ff52a5 00aa376e 00551b37",
          "55000055 00000000 ff0000ff aa0000aa 00551b37 00000000 00ff52a5 00aa376e",
          "aa0000aa 55000055 00000000 ff0000ff 00aa376e 00551b37 00000000 00ff52a5"}},
    };
    const int kModes[] = {0, 1, 3, 3, 2, 2};
    int n = 0;
    for (const Example &ex : examples) {
        SCOPED_TRACE(ex.block);
        std::vector<uint8_t> block = Hex(ex.block);
        ASSERT_EQ(block.size(), 16u);
        EXPECT_EQ(RefFxt1Mode(block.data()), kModes[n++]);
        RefTexel ref[4][8];
        RefFxt1Decode(block.data(), ref);
        uint8_t own[32][4];
        Fxt1Decode(block.data(), own);
        for (int row = 0; row < 4; row++) {
            std::string want = ex.rows[row];
            for (int col = 0; col < 8; col++) {
                unsigned rgba = (unsigned)strtoul(want.substr(9 * col, 8).c_str(), nullptr, 16);
                RefTexel w = {(uint8_t)(rgba >> 24), (uint8_t)(rgba >> 16), (uint8_t)(rgba >> 8), (uint8_t)rgba};
                EXPECT_TRUE(ref[row][col] == w) << "row " << row << " column " << col;
                const uint8_t *o = own[4 * row + (col & 3) + (col >= 4 ? 16 : 0)];
                EXPECT_TRUE((RefTexel{o[2], o[1], o[0], o[3]} == w)) << "own decoder, row " << row << " column " << col;
            }
        }
    }
}

// Every coding the search tries reports the error of its block as the test decoder decodes it,
// carries its mode bits, and the winner is the one the search's order and tie-breaks name.
TEST(Fxt1, ReportedErrorsAreTheDecodedErrors)
{
    const int kMode[kFxtCodings] = {3, 3, 0, 1, 2, 2}, kFlag[kFxtCodings] = {0, 1, 0, 0, 0, 1};
    int wins[kFxtCodings] = {};
    for (const Block &b : SampleBlocks()) {
        Fxt1Texels texels = b.Texels();
        Fxt1Search s;
        uint8_t out[16];
        uint32_t err = Fxt1EncodeBlock(texels, out, &s);
        for (int c = 0; c < kFxtCodings; c++) {
            SCOPED_TRACE(kCodingNames[c]);
            ASSERT_EQ(s.error[c], RefFxt1Error(b.px, s.block[c]));
            int flag = -1;
            EXPECT_EQ(RefFxt1Mode(s.block[c], &flag), kMode[c]);
            if (c != kFxtHi && c != kFxtChroma) {
                EXPECT_EQ(flag, kFlag[c]);
            }
            uint8_t again[16];
            EXPECT_EQ(Fxt1EncodeAs(c, texels, again), s.error[c]);
            EXPECT_EQ(memcmp(again, s.block[c], 16), 0) << "the coding is deterministic";
        }
        ASSERT_EQ(s.winner, ExpectedWinner(s.error));
        EXPECT_EQ(memcmp(out, s.block[s.winner], 16), 0);
        EXPECT_EQ(err, RefFxt1Error(b.px, out));
        wins[s.winner]++;
    }
    // The sample is varied enough for every mode to win somewhere.
    EXPECT_GT(wins[kFxtMixed0] + wins[kFxtMixed1], 0);
    EXPECT_GT(wins[kFxtHi], 0);
    EXPECT_GT(wins[kFxtChroma], 0);
    EXPECT_GT(wins[kFxtAlpha0] + wins[kFxtAlpha1], 0);
}

// A block of one colour that 5 bits per channel hold is coded exactly. Every coding is exact, so
// the tie-breaks decide: CC_MIXED before the later modes, its flag-1 variant on equal errors.
TEST(Fxt1, UniformBlockIsExact)
{
    Block b;
    for (int y = 0; y < 4; y++)
        for (int x = 0; x < 8; x++)
            b.Set(y, x, Up5(21), Up5(6), Up5(30));
    Fxt1Search s;
    uint8_t out[16];
    EXPECT_EQ(Fxt1EncodeBlock(b.Texels(), out, &s), 0u);
    for (int c = 0; c < kFxtCodings; c++)
        EXPECT_EQ(s.error[c], 0u) << kCodingNames[c];
    EXPECT_EQ(s.winner, kFxtMixed1);
    RefTexel d[4][8];
    RefFxt1Decode(out, d);
    for (int y = 0; y < 4; y++)
        for (int x = 0; x < 8; x++)
            EXPECT_TRUE((d[y][x] == RefTexel{(uint8_t)Up5(21), (uint8_t)Up5(6), (uint8_t)Up5(30), 255}));

    // A colour that needs a sixth green bit: both CC_MIXED variants hold it (the second end's
    // green has 6 bits with either flag), the 5-bit modes do not.
    Block g;
    int green = 45 << 2 | 45 >> 4;
    for (int y = 0; y < 4; y++)
        for (int x = 0; x < 8; x++)
            g.Set(y, x, Up5(3), green, Up5(17));
    EXPECT_EQ(Fxt1EncodeBlock(g.Texels(), out, &s), 0u);
    EXPECT_EQ(s.error[kFxtMixed0], 0u);
    EXPECT_EQ(s.winner, kFxtMixed1);
    EXPECT_GT(s.error[kFxtHi], 0u);
    EXPECT_GT(s.error[kFxtChroma], 0u);
}

// Transparent pixels: CC_HI gives them index 7 and every other pixel a level, whatever colour a
// transparent pixel holds; CC_MIXED with the alpha flag gives clear black pixels index 3, and they
// decode transparent.
TEST(Fxt1, TransparentPixels)
{
    auto index = [](const uint8_t *block, int width, int t) {
        int v = 0;
        for (int i = 0; i < width; i++) {
            int p = width * t + i;
            v |= (block[p >> 3] >> (p & 7) & 1) << i;
        }
        return v;
    };
    // Clear pixels of black, of white and of the right half's colour: the last two lie nearer to
    // an opaque level than to the transparent entry by the error measure.
    const int clearColours[3][3] = {{0, 0, 0}, {255, 255, 255}, {Up5(2), Up5(25), Up5(19)}};
    for (const int *cc : clearColours) {
        SCOPED_TRACE(cc[0]);
        Block b;
        for (int y = 0; y < 4; y++)
            for (int x = 0; x < 8; x++) {
                if ((x + y) % 3 == 0)
                    b.Set(y, x, cc[0], cc[1], cc[2], 0);
                else if (x < 4)
                    b.Set(y, x, Up5(28), Up5(4), Up5(9));
                else
                    b.Set(y, x, Up5(2), Up5(25), Up5(19));
            }
        Fxt1Search s;
        uint8_t out[16];
        Fxt1EncodeBlock(b.Texels(), out, &s);
        for (int y = 0; y < 4; y++)
            for (int x = 0; x < 8; x++) {
                int t = 4 * y + (x & 3) + (x >= 4 ? 16 : 0);
                bool clear = (x + y) % 3 == 0;
                EXPECT_EQ(index(s.block[kFxtHi], 3, t) == 7, clear) << x << "," << y;
                if (cc[0] == 0) {
                    EXPECT_EQ(index(s.block[kFxtMixed1], 2, t) == 3, clear) << x << "," << y;
                }
            }
        RefTexel hi[4][8];
        RefFxt1Decode(s.block[kFxtHi], hi);
        for (int y = 0; y < 4; y++)
            for (int x = 0; x < 8; x++)
                EXPECT_EQ(hi[y][x].a, (x + y) % 3 == 0 ? 0 : 255) << x << "," << y;
        if (cc[0] != 0)
            continue;
        // Two colours and transparency are exact in CC_MIXED with the alpha flag.
        EXPECT_EQ(s.error[kFxtMixed1], 0u);
        EXPECT_EQ(s.winner, kFxtMixed1);
        RefTexel d[4][8];
        RefFxt1Decode(out, d);
        for (int y = 0; y < 4; y++)
            for (int x = 0; x < 8; x++)
                if ((x + y) % 3 == 0) {
                    EXPECT_TRUE((d[y][x] == RefTexel{0, 0, 0, 0}));
                }
    }
}

// The error measure rounds CC_HI levels (c0 (6 - i) + c1 i + 2) / 6: between black and white
// level 3 is 127 (a reader of the file sees 128), so black, white and grey 127 are exact in CC_HI.
TEST(Fxt1, HiLevelsOfTheErrorMeasure)
{
    Block b;
    for (int y = 0; y < 4; y++)
        for (int x = 0; x < 8; x++)
            b.Set(y, x, 127, 127, 127);
    b.Set(0, 0, 0, 0, 0);
    b.Set(3, 7, 255, 255, 255);
    uint8_t out[16];
    EXPECT_EQ(Fxt1EncodeAs(kFxtHi, b.Texels(), out), 0u);
    EXPECT_EQ(RefFxt1Error(b.px, out), 0u);
    RefTexel d[4][8];
    RefFxt1Decode(out, d);
    EXPECT_TRUE((d[1][1] == RefTexel{128, 128, 128, 255})) << "read by the published rounding";
}

// Each later mode wins where only it is exact: CC_HI on seven levels of a line with transparent
// pixels, CC_CHROMA on four unrelated colours, CC_ALPHA on three colours of their own alphas.
TEST(Fxt1, LaterModesWinOnlyWhenBetter)
{
    const int c0[3] = {Up5(2), Up5(30), Up5(5)}, c1[3] = {Up5(29), Up5(3), Up5(27)};
    Block hi;
    for (int y = 0; y < 4; y++)
        for (int x = 0; x < 8; x++) {
            int i = (x + 3 * y) % 8; // levels 0..6 in every half, 7 transparent
            if (i == 7) {
                hi.Set(y, x, 0, 0, 0, 0);
                continue;
            }
            int v[3];
            for (int c = 0; c < 3; c++)
                v[c] = (c0[c] * (6 - i) + c1[c] * i + 2) / 6; // the levels of the error measure
            hi.Set(y, x, v[0], v[1], v[2]);
        }
    Fxt1Search s;
    uint8_t out[16];
    EXPECT_EQ(Fxt1EncodeBlock(hi.Texels(), out, &s), 0u);
    EXPECT_EQ(s.winner, kFxtHi);
    EXPECT_GT(s.error[kFxtMixed0], 0u);
    EXPECT_GT(s.error[kFxtMixed1], 0u);

    Block chroma;
    const int four[4][3] = {{Up5(31), 0, 0}, {0, Up5(31), 0}, {0, 0, Up5(31)}, {Up5(31), Up5(31), Up5(31)}};
    for (int y = 0; y < 4; y++)
        for (int x = 0; x < 8; x++) {
            const int *c = four[(x + y) % 4];
            chroma.Set(y, x, c[0], c[1], c[2]);
        }
    EXPECT_EQ(Fxt1EncodeBlock(chroma.Texels(), out, &s), 0u);
    EXPECT_EQ(s.winner, kFxtChroma);
    EXPECT_GT(s.error[kFxtMixed1], 0u);
    EXPECT_GT(s.error[kFxtHi], 0u);

    Block alpha;
    const int three[4][4] = {{Up5(31), Up5(31), Up5(31), Up5(31)}, {Up5(31), 0, 0, Up5(16)},
                             {0, 0, Up5(31), Up5(3)}, {0, 0, 0, 0}};
    for (int y = 0; y < 4; y++)
        for (int x = 0; x < 8; x++) {
            const int *c = three[(x + 2 * y) % 4];
            alpha.Set(y, x, c[0], c[1], c[2], c[3]);
        }
    EXPECT_EQ(Fxt1EncodeBlock(alpha.Texels(), out, &s), 0u);
    EXPECT_EQ(s.winner, kFxtAlpha0);
    EXPECT_GT(s.error[kFxtAlpha1], 0u);
    EXPECT_GT(s.error[kFxtMixed1], 0u);
    EXPECT_GT(s.error[kFxtChroma], 0u);
}
