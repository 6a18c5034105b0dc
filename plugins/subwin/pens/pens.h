// The pen selector: the pen's settings and their 16-character code, the growth-order tables of
// the eight shapes, the pen built from them into the host's pen record, and the tool window.
#pragma once
#include "ovrin.h"

enum { kShapes = 8, kTableSide = 48, kMaxSize = 48, kPenCodeBytes = 32 };
enum { kFuzzyNone = 0, kFuzzyLinear = 1, kFuzzyRound = 2, kFuzzyFlat = 3 };
enum { kFlagSize = 0, kFlagHardness = 1, kFlagDensity = 2 };

struct PenSettings {
    int shape;    // 0..7
    int size;     // 1..48
    int hardness; // 0..100
    int density;  // 0..100
    int fuzzy;    // kFuzzy...
    int pressure[3]; // size, hardness and density follow the tablet
};

extern PenSettings g_settings;
extern const char *const kShapeIds[kShapes];   // "RECT", ...
extern const char *const kShapeNames[kShapes]; // "Rect", ...

// ---- the code (pencode.cpp) ----
PenSettings DefaultPenSettings();
// "%s%2d%3d%3d", the fuzzy character and three flag characters; out holds kPenCodeBytes.
void FormatPenCode(const PenSettings &s, char *out);
// Reads a code into s: an empty code gives the defaults; an unknown shape keeps the shape, a code
// that ends early keeps the numbers it does not reach and clears the flags it does not reach;
// every value is kept in its range.
void ParsePenCode(const char *code, PenSettings *s);

// ---- the tables (pentables.cpp) ----
// The 48 x 48 growth-order table of a shape, row-major: a cell belongs to a pen of size n when its
// value is at most n. The round shape's table depends on the size.
const int32_t *GrowthTable(int shape, int size);

// ---- building (penbuild.cpp) ----
// Fills the host's pen from the values; with publish the host takes it as the new pen (source is
// the window that made it). 1 built, 0 when the host's pen has no matrices.
int BuildPenShape(const PenSettings &s, int publish, HWND source);
// Tablet pressure: max 0 ends the stroke and the nominal pen comes back; a new pressure rebuilds
// the pen in place with the flagged values scaled by pressure / max.
void ReceivePressure(INT_PTR pressure, INT_PTR max, HWND source);

// ---- the window (penwindow.cpp) ----
HWND CreatePenWindow(HINSTANCE instance, HWND owner, int x, int y);
void ShowPenChange(INT_PTR source, PenRecord *pen);
void SetPressureChecks(const PenSettings &s); // the three check boxes follow the flags
void FreePenWindow();
