// The native layered format mrf: one image group, base image, mask and layers, uncompressed.
#pragma once
#include "ovrin.h"

enum { kMrfHeaderBytes = 64, kMrfVersion = 2, kMrfPiece = 1024 };
enum { kMrfNotMine = 0, kMrfRead = 1, kMrfReadError = 100 };

int WriteMrfFile(const char *path, ImageGroup *group); // 0 written; 1 failed, the old file untouched
// 0 not an mrf file, 1 read, 100 read error (then the group is left empty and every image made
// for it is freed again).
int ReadMrfFile(const char *path, ImageGroup *group, QzProgressProc progress, int readAll);
int IsMrfFile(const char *path);
// The base image as a 32-bit DIB pair (rows top row first, as stored); 1 read, 0 not.
int ReadMrfFirstImage(const char *path, QzProgressProc progress, HGLOBAL *header, HGLOBAL *bits);
