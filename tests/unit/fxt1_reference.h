// An FXT1 block decoder for the tests, written from the published FXT1 layout, apart from the
// module's own: the block as two 64-bit halves, texels
// out in picture order (row, column), colours as R, G, B, A.
#pragma once
#include <stdint.h>
#include <string.h>

struct RefTexel {
    uint8_t r, g, b, a;
    bool operator==(const RefTexel &o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
};

// A reader of the file rounds CC_HI levels (... + 3) / 6; the encoder's error measure with + 2.
inline void RefFxt1Decode(const uint8_t block[16], RefTexel out[4][8], int hiRound = 3)
{
    uint64_t lo = 0, hi = 0;
    for (int i = 0; i < 8; i++) {
        lo |= (uint64_t)block[i] << (8 * i);
        hi |= (uint64_t)block[8 + i] << (8 * i);
    }
    auto bits = [&](int at, int n) {
        unsigned v = 0;
        for (int i = 0; i < n; i++) {
            int p = at + i;
            v |= (unsigned)((p < 64 ? lo >> p : hi >> (p - 64)) & 1) << i;
        }
        return v;
    };
    auto up5 = [](unsigned c) { return (uint8_t)(c << 3 | c >> 2); };
    auto up6 = [](unsigned g) { return (uint8_t)(g << 2 | g >> 4); };
    // A 15-bit colour: blue in the lowest 5 bits, then green, then red.
    auto colour = [&](int at) { return RefTexel{up5(bits(at + 10, 5)), up5(bits(at + 5, 5)), up5(bits(at, 5)), 255}; };
    auto mix = [](RefTexel x, RefTexel y, int wx, int wy, int add, int div, bool withAlpha) {
        RefTexel m;
        m.r = (uint8_t)((x.r * wx + y.r * wy + add) / div);
        m.g = (uint8_t)((x.g * wx + y.g * wy + add) / div);
        m.b = (uint8_t)((x.b * wx + y.b * wy + add) / div);
        m.a = withAlpha ? (uint8_t)((x.a * wx + y.a * wy + add) / div) : 255;
        return m;
    };
    const RefTexel clear = {0, 0, 0, 0};
    RefTexel palette[2][8]; // [half][index]
    int width;              // bits per index
    unsigned top = bits(125, 3); // bit 127 highest
    if (top & 4) { // CC_MIXED
        width = 2;
        bool alphaFlag = bits(124, 1);
        for (int h = 0; h < 2; h++) {
            RefTexel a = colour(64 + 30 * h), b = colour(79 + 30 * h);
            unsigned glsb = bits(125 + h, 1);
            b.g = up6(bits(79 + 30 * h + 5, 5) << 1 | glsb);
            if (!alphaFlag) {
                unsigned firstHigh = bits(2 * 16 * h + 1, 1); // high bit of texel 0's / 16's index
                a.g = up6(bits(64 + 30 * h + 5, 5) << 1 | (glsb ^ firstHigh));
                for (int i = 0; i < 4; i++)
                    palette[h][i] = mix(a, b, 3 - i, i, 1, 3, false);
            } else {
                palette[h][0] = a;
                palette[h][1] = mix(a, b, 1, 1, 0, 2, false);
                palette[h][2] = b;
                palette[h][3] = clear;
            }
        }
    } else if ((top & 6) == 0) { // CC_HI: 00x
        width = 3;
        RefTexel c0 = colour(96), c1 = colour(111);
        for (int i = 0; i < 7; i++)
            palette[0][i] = palette[1][i] = mix(c0, c1, 6 - i, i, hiRound, 6, false);
        palette[0][7] = palette[1][7] = clear;
    } else if (top == 2) { // CC_CHROMA: 010
        width = 2;
        for (int i = 0; i < 4; i++)
            palette[0][i] = palette[1][i] = colour(64 + 15 * i);
    } else { // CC_ALPHA: 011
        width = 2;
        RefTexel c[3];
        for (int i = 0; i < 3; i++) {
            c[i] = colour(64 + 15 * i);
            c[i].a = up5(bits(109 + 5 * i, 5));
        }
        if (!bits(124, 1)) {
            for (int i = 0; i < 3; i++)
                palette[0][i] = palette[1][i] = c[i];
            palette[0][3] = palette[1][3] = clear;
        } else {
            for (int i = 0; i < 4; i++) {
                palette[0][i] = mix(c[0], c[1], 3 - i, i, 1, 3, true);
                palette[1][i] = mix(c[2], c[1], 3 - i, i, 1, 3, true);
            }
        }
    }
    for (int row = 0; row < 4; row++)
        for (int col = 0; col < 8; col++) {
            int t = 4 * row + (col & 3) + (col >= 4 ? 16 : 0);
            out[row][col] = palette[t >= 16][bits(width * t, width)];
        }
}

// The FXT1 mode of a block from its last little-endian word: 0 CC_HI, 1 CC_CHROMA, 2 CC_ALPHA,
// 3 CC_MIXED; flag = bit 28 of that word.
inline int RefFxt1Mode(const uint8_t block[16], int *flag = nullptr)
{
    uint32_t w3 =
        (uint32_t)block[12] | (uint32_t)block[13] << 8 | (uint32_t)block[14] << 16 | (uint32_t)block[15] << 24;
    if (flag)
        *flag = (int)(w3 >> 28 & 1);
    if (w3 & 0x80000000u)
        return 3; // 1xx
    if (!(w3 & 0x40000000u))
        return 0; // 00x: bit 125 belongs to a colour
    return w3 & 0x20000000u ? 2 : 1; // 011 or 010
}

// The error of the search's measure: pixels[row][col] as stored (B, G, R, A) against the decoding,
// CC_HI levels rounded (c0 (6 - i) + c1 i + 2) / 6.
inline uint32_t RefFxt1Error(const uint8_t pixels[4][8][4], const uint8_t block[16])
{
    RefTexel d[4][8];
    RefFxt1Decode(block, d, 2);
    uint32_t e = 0;
    for (int row = 0; row < 4; row++)
        for (int col = 0; col < 8; col++) {
            const uint8_t *p = pixels[row][col];
            int db = p[0] - d[row][col].b, dg = p[1] - d[row][col].g, dr = p[2] - d[row][col].r,
                da = p[3] - d[row][col].a;
            e += (uint32_t)(db * db + dg * dg + dr * dr + da * da);
        }
    return e;
}
