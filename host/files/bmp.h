// The built-in BMP reader and writer.
#pragma once
#include "ovrin.h"

// Reads a BMP file into a DIB pair (two movable global blocks); 1 read, 0 not.
int ReadBmpFile(const char *path, HGLOBAL *header, HGLOBAL *bits, QzProgressProc progress);
