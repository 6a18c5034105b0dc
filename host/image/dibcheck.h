// Pictures handed over from outside (a reader, a device): the header, colour table, masks and rows
// checked against the bytes that hold them, and turned into the plain form the converters read.
#pragma once
#include "ovrin.h"

// Where the parts of a checked DIB lie.
struct DibLayout {
    const BITMAPINFOHEADER *header;
    const RGBQUAD *palette; // entries colours (depths up to 8 bits), else NULL
    int entries;
    uint32_t masks[3];      // red, green, blue of a bit-field picture, else 0
    const uint8_t *bits;    // the first row as stored
    int width, height;      // height positive
    int depth;
    bool topDown;           // the header's height was negative: the first row stored is the top one
    bool bitFields;
    int64_t rowBytes;
};

// 1 when the picture lies whole inside its bytes and is one the program converts: plain rows of 1,
// 4, 8, 16, 24 or 32 bits, or bit fields at 16 and 32 bits; 0 refused.
int CheckDibPair(const void *header, size_t headerBytes, const void *bits, size_t bitsBytes, DibLayout *out);
// The same for one block: header, masks, colour table, then the rows.
int CheckPackedDib(const void *block, size_t bytes, DibLayout *out);

// Plain: rows bottom-up, no bit fields; such a picture is read as it is.
bool IsPlainDib(const DibLayout &dib);
// A packed plain copy (40-byte header, colour table, bottom-up rows; bit fields become 32 bits,
// alpha 255), from malloc, or NULL when there is no memory for it. *bytes gets its size.
uint8_t *MakePlainPackedDib(const DibLayout &dib, size_t *bytes);
