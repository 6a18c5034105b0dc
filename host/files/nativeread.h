// What the readers of the two native formats share: opening a file by its magic, little-endian
// fields, bounded record names, and the group a read fills, or empties again when it fails.
#pragma once
#include "ovrin.h"
#include <stdio.h>

enum { kNativeNameBytes = 256 }; // an image name with its NUL

int32_t GetLe32(const uint8_t *p);
int GetLe16(const uint8_t *p);

enum { kNativeHeaderMax = 128 };

// The file opened for reading with its first headerBytes bytes in header, or NULL when it cannot
// be opened, is shorter or does not start with the magic.
FILE *OpenNativeFile(const char *path, const char magic[4], uint8_t *header, size_t headerBytes);
// 1 when the file opens so (headerBytes at most kNativeHeaderMax).
int IsNativeFile(const char *path, const char magic[4], size_t headerBytes);
// The bytes from the position to the end of the file; -1 when unknown.
int64_t BytesLeft(FILE *f);
// A name up to its NUL, which must come within kNativeNameBytes bytes and before the end.
bool ReadRecordName(FILE *f, char name[kNativeNameBytes]);

// Takes a listed image out of the list and frees it (NULL: nothing).
void DiscardImage(CDIB *image);
// Frees what a failed read made: the layers' images and the base; the group is left empty.
void EmptyGroup(ImageGroup *group);
// The group holds the base alone: named after the file, its background colour (blue, green, red)
// and shown state from the base record, the base current, no layer.
void FillGroupFromBase(ImageGroup *group, CDIB *base, const char *path, const uint8_t color[3], int status);
// The mask (width x height bytes, from malloc) becomes the base image's; every region may lie
// anywhere in it until its bounds are next tightened.
void TakeWholeMask(CDIB *base, uint8_t *mask, int width, int height);
