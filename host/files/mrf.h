// The native layered format mrf: one image group, base image, mask and layers, uncompressed.
#pragma once
#include "ovrin.h"

// The header's bytes 8 to 11 hold the number of layer records (0 in files that do not say).
enum { kMrfHeaderBytes = 64, kMrfVersion = 2, kMrfPiece = 1024, kMrfLayerCountAt = 8 };
enum { kMrfNotMine = 0, kMrfRead = 1, kMrfReadCut = 2, kMrfReadError = 100 };

int WriteMrfFile(const char *path, ImageGroup *group); // 0 written; 1 failed, the old file untouched
// 0 not an mrf file, 1 read, 2 read as far as the file goes (the mask plane is cut short, or the
// file ends before the layer records its header counts), 100 read error (then the group is left
// empty and every image made for it is freed again).
int ReadMrfFile(const char *path, ImageGroup *group, QzProgressProc progress, int readAll);
int IsMrfFile(const char *path);
// The base image as a 32-bit DIB pair (rows top row first, as stored); 1 read, 0 not.
int ReadMrfFirstImage(const char *path, QzProgressProc progress, HGLOBAL *header, HGLOBAL *bits);
