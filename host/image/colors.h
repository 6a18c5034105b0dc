// The colour records: sixteen ColorRecords, the colour lock and the colour stack.
#pragma once
#include "ovrin.h"
#include <stddef.h>

enum { kColorRecords = 16 };
extern ColorRecord g_colorTable[kColorRecords];

void SetDefaultColors(); // records 0 to 9 as at start-up, 10 to 15 all zero

// Kind of the drawing colour: 1 region drawing, 2 functional colour, 0 plain colour.
int GetColorKind();
// Hands the current panel values of functional colour n (1-based) to its plug-in.

// Configuration lines. The values of one "ColorValue" line (the text after the key: index, red,
// green, blue, functional colour, opacity, region bits, region mode) go into that record; the
// numbers a short line lacks leave their fields as they were. Result 1 when a record was set.
int ReadColorValueLine(const char *values);
// The line written for record which, without a newline; its length, or -1 for a bad index.
int FormatColorValueLine(int which, char *out, size_t size);
