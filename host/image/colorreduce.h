// Colour reduction to a palette image: a colour histogram, median cut to at most n colours, the
// nearest palette colour found through a 32 x 32 x 32 grid of candidate lists, optional error
// diffusion.
#pragma once
#include "ovrin.h"

// One distinct colour of the histogram and how many pixels have it.
struct ColorCount {
    int32_t r, g, b, count;
};

// One palette colour; the fourth word is not used.
struct PaletteColor {
    int32_t r, g, b, unused;
};

// Distinct colours the histogram keeps at most. A picture with more is counted again under a
// coarser key (the low bit, then the two low bits of each channel dropped), each entry holding the
// mean colour of the pixels it stands for.
const int kMaxHistogramColors = 1 << 18;
// Squared distance LookupNearest gives for an empty cell.
const int kNoCandidate = 2000000000;

// The reduction of a picture of any depth GetDIBPixel reads (and 16-bit 5-5-5) into an 8-bit
// bottom-up store with rows padded to 4 bytes; palette entries 0 to n - 1 go into the
// destination's colour table. Progress, when given, hears (row + 1, height + 1, 0) per row.
// 1 done; 0 when memory ran out (an "ERR" box captioned "MES" has been shown, the destination
// pixels are unspecified).
int ReduceColors(const BITMAPINFOHEADER *sourceHeader, const void *sourcePixels, BITMAPINFO *destHeader,
                 void *destPixels, int n, int diffuse, QzProgressProc progress);

// The steps, open to the tests and the figures program.
// The histogram in bucket order, freed with free(); NULL when memory ran out. bits is the key
// the entries were counted under: 8 exact, 7 or 6 coarser.
ColorCount *ColorHistogram(const BITMAPINFOHEADER *header, const void *pixels, int unused, int *count, int *bits);
// n palette colours (those beyond the number of boxes zero), freed with free(); NULL without memory.
PaletteColor *MedianCut(ColorCount *entries, int count, int64_t total, int maxValue, int n);

// The candidate lists of the 32 x 32 x 32 cells; cell (i, j, k) stands for the colour
// (16 (i - 8), 16 (j - 8), 16 (k - 8)).
struct NearestGrid {
    const PaletteColor *palette;
    uint32_t *first;   // 32768 + 1 offsets into candidates
    uint8_t *candidates; // palette indexes, in palette order per cell
};
bool BuildNearestGrid(NearestGrid *grid, const PaletteColor *palette, int n); // false without memory
// The smallest squared distance among the candidates of cell (i + 8, j + 8, k + 8), each clamped to
// 0..31, with the winner's index (the earlier one on equal distance); kNoCandidate and index 0
// for an empty cell.
int64_t LookupNearest(const NearestGrid *grid, int r, int g, int b, int i, int j, int k, int *index);
void FreeNearestGrid(NearestGrid *grid);

// A pixel of a picture as blue, green, red, alpha 255 (16 bits read as 5-5-5, widened).
void ReadPicturePixel(const BITMAPINFO *header, const void *bits, int x, int y, uint8_t out[4]);

// Every allocation of the reduction, by the part it serves; NULL without memory (or for the part
// a test makes fail, kReduceFailNone for none).
enum { kReduceFailNone, kReduceFailHistogram, kReduceFailPalette, kReduceFailGrid, kReduceFailErrorRows };
void *ReduceAlloc(int part, int64_t bytes);
void SetReductionFailure(int part);
