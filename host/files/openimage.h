// Opening images: the open dialog, the command line, dropped files, the readers and the
// conversion of a read picture into an image.
#pragma once
#include "ovrin.h"
#include "image/dibconvert.h"
#include <shellapi.h>

enum { kOpenSelectionBytes = 256 };

// Dialog and ways in.
int ShowOpenFileDialog(char *selection, int size); // 0 chosen, 1 cancelled
void OpenSelectedFiles(ImageGroup *group, const char *selection, int convert, int keepAlpha);
void OpenCommandLineFiles(const char *commandLine);
void OpenDroppedFile(const char *path);
// Name i of a drop, 1 when it fits whole into size bytes (a cut name could be another file).
int GetDroppedFileName(HDROP drop, UINT i, char *name, int size);
enum { kOpenAsGroups = 0, kOpenViewOnly = 1, kOpenAsLayers = 2 };
void OpenImageCommand(int mode); // kOpenAsGroups (OpenImage), kOpenViewOnly, kOpenAsLayers (LoadLayer)
// 1 handled (native group, directory or reported failure), 0 a new image from a DIB was listed.
int OpenImageFile(const char *path, int convert, int keepAlpha);
int ExpandFirstMatch(const char *piece, char *out, int size); // 1 found
void ShowOpenFailure(const char *path); // message 16 with the name, cut to fit the message

// Readers. Through the outside readers: 1 read, 0 not. From a file every failure is reported;
// from memory (memorySize bytes at source) nothing is, the file holding the bytes is.
int ReadImageViaSusie(const char *source, QzProgressProc progress, HGLOBAL *header, HGLOBAL *bits, int *reader,
                      int fromMemory, int64_t memorySize);
int QZCAPI ShowLoadProgress(int done, int total, int reserved);

// The file-name part of a path (after the last backslash, walked by character).
const char *GetFileNamePart(const char *path);
void GetDirectoryPart(const char *path, char *out, int size);

// Open state, one per program.
extern char g_lastOpenDirectory[512];
const char *GetLastOpenDirectory(); // the configured start directory until a file is opened
extern char g_progressText[512];
void ForgetOpenState(); // as at start: no directory opened yet, the first filter
