// The built-in BMP reader and writer.
#pragma once
#include "ovrin.h"
#include "image/dibconvert.h"

// Reads a BMP file into a DIB pair (two movable global blocks, unlocked); 1 read, 0 not.
// Every size in the file is checked against the file's own length before it is used.
int ReadBmpFile(const char *path, HGLOBAL *header, HGLOBAL *bits, QzProgressProc progress);
// Writes a packed picture (header with colour table, bottom-up rows) as a BMP file.
// 0 written; any other value is a failure and leaves nothing at the path.
int WriteBmpFile(const char *path, const BITMAPINFO *header, const void *pixels, QzProgressProc progress);
// Writes a BMP file whose rows fill gives one at a time, bottom row first (fileRow 0), each into a
// buffer of the row's padded length; false from fill stops the write. As WriteBmpFile otherwise.
typedef bool (*BmpRowSource)(void *context, int fileRow, uint8_t *line);
int WriteBmpRows(const char *path, const BITMAPINFO *header, BmpRowSource fill, void *context,
                 QzProgressProc progress);
