// The built-in BMP reader and writer.
#pragma once
#include "ovrin.h"
#include "image/dibconvert.h"

// Reads a BMP file into a DIB pair (two movable global blocks, unlocked); 1 read, 0 not.
// Every size in the file is checked against the file's own length before it is used.
int ReadBmpFile(const char *path, HGLOBAL *header, HGLOBAL *bits, QzProgressProc progress);
// Reads a BMP file for editing: its rows converted straight into a new 32-bit image (made as
// CreateImageRecord makes it), with no block of the whole file beside it. 1 read; 0 the file is
// no BMP this reader takes, nothing made; -1 it was taken but a read failed or was cancelled;
// -2 no image could be made (already reported).
int ReadBmpImage(const char *path, CDIB **image, int keepAlpha, QzProgressProc progress);
// Writes a packed picture (header with colour table, bottom-up rows) as a BMP file.
// 0 written; any other value is a failure and leaves nothing at the path.
int WriteBmpFile(const char *path, const BITMAPINFO *header, const void *pixels, QzProgressProc progress);
// Writes a BMP file whose rows fill gives one at a time, bottom row first (fileRow 0), each into a
// buffer of the row's padded length; false from fill stops the write. As WriteBmpFile otherwise.
typedef bool (*BmpRowSource)(void *context, int fileRow, uint8_t *line);
int WriteBmpRows(const char *path, const BITMAPINFO *header, BmpRowSource fill, void *context,
                 QzProgressProc progress);
