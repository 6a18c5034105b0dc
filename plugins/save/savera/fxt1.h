// FXT1 block encoder: one block of 8 x 4 pixels into 128 bits, every mode searched. The bit
// layouts are the published FXT1 ones. No Windows, no host: the
// module, its unit test and its figures program all call this file directly.
#pragma once
#include <stddef.h>
#include <stdint.h>

// The 32 texels of one block in FXT1 order: texel t = 4 * row + (column & 3), plus 16 for
// columns 4 to 7, so texels 0 to 15 are the left 4 x 4 half and 16 to 31 the right half. Row 0 is
// the block's first row in memory order. Channels B, G, R, A, as the pixels store them.
struct Fxt1Texels {
    uint8_t t[32][4];
};

// The codings that the search tries; the number of a mode's flag-1 variant is one more than its
// flag-0 variant's.
enum Fxt1Coding {
    kFxtMixed0,  // CC_MIXED, alpha flag 0
    kFxtMixed1,  // CC_MIXED, alpha flag 1
    kFxtHi,      // CC_HI
    kFxtChroma,  // CC_CHROMA
    kFxtAlpha0,  // CC_ALPHA, interpolation flag 0
    kFxtAlpha1,  // CC_ALPHA, interpolation flag 1
    kFxtCodings
};

// What the search saw: every coding's block and error, and the winner.
struct Fxt1Search {
    uint8_t block[kFxtCodings][16];
    uint32_t error[kFxtCodings];
    int winner;
};

// Gathers a block: row r of it is the 8 pixels (4 bytes each) at firstRow + r * stride.
void Fxt1Gather(const uint8_t *firstRow, ptrdiff_t stride, Fxt1Texels *out);

// Codes the texels with one coding into out; returns the block's error by Fxt1Error: the sum over
// the 32 texels and the four channels of the squared difference between the texel and its value.
uint32_t Fxt1EncodeAs(int coding, const Fxt1Texels &in, uint8_t out[16]);

// The search: CC_MIXED, CC_HI, CC_CHROMA, CC_ALPHA in this order, the flag-0 variant
// of CC_MIXED and CC_ALPHA kept only when strictly better than the flag-1 one, and a later mode
// winning only with a strictly smaller error. Writes the winning block, returns its error; search
// (may be null) receives every coding's block and error.
uint32_t Fxt1EncodeBlock(const Fxt1Texels &in, uint8_t out[16], Fxt1Search *search = nullptr);

// Decodes a block into texels (FXT1 order, B, G, R, A) by the published rules.
void Fxt1Decode(const uint8_t block[16], uint8_t texels[32][4]);

// The error measure of the search for a coded block: as decoded, except that CC_HI levels are
// rounded (c0 (6 - i) + c1 i + 2) / 6.
uint32_t Fxt1Error(const Fxt1Texels &in, const uint8_t block[16]);
