// The plug-in name dictionary: translations of plug-in display names, one list per kind, read from
// the main dictionary in the Stat directory and the dictionaries dropped into the application
// directory, and written back merged. The lists live only while the translated names are filled.
#pragma once
#include "ovrin.h"

enum DictionaryKind { kDictDraw, kDictEffect, kDictFuncCol, kDictSubWin, kDictTrans, kDictLayer, kDictKinds };

struct DictionaryEntry {
    DictionaryEntry *next;
    char name[256];
    char translation[256];
};

void ResetDictionary();
int ReadDictionaryFile(const char *path); // 1 read, 0 the file does not open
const char *LookupTranslation(int kind, const char *name); // "" when there is none
DictionaryEntry *DictionaryHead(int kind);
// The merged copy written to path; 1 written whole.
int WriteDictionaryFile(const char *path);
