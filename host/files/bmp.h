// The built-in BMP reader and writer, and the facts of a DIB header they share.
#pragma once
#include "ovrin.h"

// Reads a BMP file into a DIB pair (two movable global blocks, unlocked); 1 read, 0 not.
// Every size in the file is checked against the file's own length before it is used.
int ReadBmpFile(const char *path, HGLOBAL *header, HGLOBAL *bits, QzProgressProc progress);
// Writes a packed picture (header with colour table, bottom-up rows) as a BMP file.
// 0 written; any other value is a failure and leaves nothing at the path.
int WriteBmpFile(const char *path, const BITMAPINFO *header, const void *pixels, QzProgressProc progress);

int IsInfoHeader(const void *header);                         // 0 for a 12-byte core header
int CountDibPaletteEntries(const BITMAPINFOHEADER *header);   // as the header says, not clamped
int64_t GetDibRowBytes(int width, int depth);                 // -1 for an unsupported depth
