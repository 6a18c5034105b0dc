// The native layered format mr2: one image group, its mask run-length encoded, each layer's blend
// mode by name, every image an embedded PNG file written by the save plug-in whose filter is
// "*.PNG" and read back from memory by the outside readers.
#pragma once
#include "ovrin.h"
#include <stddef.h>
#include <vector>

enum { kMr2HeaderBytes = 128, kMr2RecordBytes = 136, kMr2Version = 2, kMr2BlendNameBytes = 7,
       kMr2MaxRun = 65535 };
enum { kMr2NotMine = 0, kMr2Read = 1, kMr2ReadError = 100 };
// Write results: 0 written; 1 failed (the save core reports it); 2 failed and already reported.
enum { kMr2Written = 0, kMr2Failed = 1, kMr2FailedReported = 2 };

// Writes the group; on any failure the file at path is left as it was and no temporary PNG stays.
int WriteMr2File(const char *path, ImageGroup *group);
// 0 not an mr2 file, 1 read, 100 read error (reported with message 106; the group is left empty
// and every image made for it is freed again).
int ReadMr2File(const char *path, ImageGroup *group, QzProgressProc progress, int readAll);
int IsMr2File(const char *path);
// The base image as the reader's DIB pair (rows top row first, as stored); 1 read, 0 not.
int ReadMr2FirstImage(const char *path, QzProgressProc progress, HGLOBAL *header, HGLOBAL *bits);

extern const char kMr2Magic[4]; // "QzF2"

WritePictureProc FindPngSaver(); // the write entry of the first save plug-in for "*.PNG"; NULL for none
int FindBlendByName(const char *name); // blend index; 0 for "%normal", -1 when no blend has the name
// The stored name of a blend index: "%Normal" or the first 7 characters of the blend's name,
// zero-filled (no NUL when the name has 7 characters or more).
void Mr2BlendName(int blend, char out[kMr2BlendNameBytes]);

// Mask runs: (value, length high byte, length low byte), each 1 to 65535 bytes long.
void EncodeMaskRuns(const uint8_t *mask, size_t count, std::vector<uint8_t> *out);
struct MaskRunDecoder {
    uint8_t *mask;
    size_t count, filled;
};
// Takes whole runs from data until the mask is full, never writing past it; the bytes taken.
size_t FeedMaskRuns(MaskRunDecoder *decoder, const uint8_t *data, size_t size);
