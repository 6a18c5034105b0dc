// The colour records: sixteen ColorRecords, the colour lock and the colour stack.
#pragma once
#include "ovrin.h"

enum { kColorRecords = 16 };
extern ColorRecord g_colorTable[kColorRecords];

void SetDefaultColors(); // records 0 to 9 as at start-up, 10 to 15 all zero
