// The entries of a directory being opened, handed to the sub-window plug-ins for the time of one
// broadcast; the plug-ins walk it with QzsGetNextFileList.
#pragma once
#include "ovrin.h"

// Forgets the previous list and lists the directory's entries in the system's order; 0 always (the
// list is empty when the directory cannot be read).
int BuildDirFileList(const char *directory);
int AddDirFileNode(const char *name, int reserved, int directory); // 0 when out of memory
void FreeDirFileList();
