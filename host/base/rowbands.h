// Large row-by-row work shared out over the machine's processors: bands of rows taken in turn by
// a few threads, the calling one among them. Each band's rows must touch only memory of their own.
#pragma once
#include <stdint.h>

typedef void (*RowBandWork)(void *context, int first, int last);

// Runs work over rows top..bottom, in bands; with fewer than a million cells (rows x cells a row)
// or a single processor, or when no thread can be started, all of it on the calling thread.
void RunRowBands(int top, int bottom, int64_t cellsPerRow, RowBandWork work, void *context);
