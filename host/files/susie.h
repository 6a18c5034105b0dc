// Outside image-reader plug-ins.
#pragma once
#include "ovrin.h"
#include <stdio.h>

void FindSusieDirectory();
// The loaded readers, in load order: a reader is asked whether it takes a source (a path with an
// open file, or bytes in memory) and then reads it into a DIB pair.
int CountSusieReaders();
int SusieIsSupported(int reader, const char *source, FILE *file, int64_t memorySize, int fromMemory);
int SusieGetPicture(int reader, const char *source, int64_t memorySize, int fromMemory, HGLOBAL *header,
                    HGLOBAL *bits, QzProgressProc progress); // 0 read
int SusiePluginInfo(int reader, int n, char *text, int size);
