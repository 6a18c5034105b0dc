// Outside image readers (Susie plug-ins, "*.spi"): their directory, their table in load order, the
// open dialog's filter built from their descriptions, and the calls the readers of files make.
#pragma once
#include "ovrin.h"
#include "ovrin/qzreader.h"
#include <stdio.h>

enum { kSusieRows = 100, kSusieFileBytes = 256, kOpenFilterBytes = 65536 };

// A row of the reader table. The table ends at the first row whose state is not 0; the row after
// the last reader always keeps state 1, so at most kSusieRows - 1 readers are loaded.
struct SusieReaderRecord {
    HMODULE module;   // 0 when the row holds none
    uint32_t state;   // 0 a usable reader, 1 unused
    SusieGetPictureProc GetPicture;
    SusieIsSupportedProc IsSupported;
    SusieGetPluginInfoProc GetPluginInfo;
    char file[kSusieFileBytes];
};
extern SusieReaderRecord g_susieReaders[kSusieRows];

// The directory, when still "???": the registry's, else "ssPlug" of the application directory.
void FindSusieDirectory();
// Loads every import filter of the directory (messages 37 to 40 for the ones that fail) and
// builds the open filter from them; the filter keeps its "|" separators until SplitBarList.
void LoadSusiePlugins();
void FreeSusiePlugins();
void BuildOpenFilter();
// The open dialog's filter: "|"-separated right after loading, NUL-separated once split.
char *GetOpenFilterText();

// The loaded readers, in load order.
int CountSusieReaders();
// Whether reader i takes the source: a path with its open file, or bytes in memory.
int SusieIsSupported(int reader, const char *source, FILE *file, int fromMemory);
// Reader i reads the source into a DIB pair; 0 read. From memory, length is the number of bytes at
// source, which the reader must not read beyond. progress may be NULL.
int SusieGetPicture(int reader, const char *source, int fromMemory, int64_t length, HGLOBAL *header,
                    HGLOBAL *bits, QzProgressProc progress);
// Information text n of reader i into text (always terminated); 0 when there is none.
int SusiePluginInfo(int reader, int n, char *text, int size);
