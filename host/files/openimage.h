// Opening images: the open dialog, the command line, dropped files and the readers.
#pragma once
#include "ovrin.h"

CDIB *CreateImageFromDib(const BITMAPINFO *dib, int flag); // a listed 32-bit image, or NULL
void OpenCommandLineFiles(const char *commandLine);
int OpenDroppedFile(ImageWindow *window, const char *path);
