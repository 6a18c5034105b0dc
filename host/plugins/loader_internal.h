// Shared inside the plug-in loader: text helpers and the description of each plug-in kind.
#pragma once
#include "plugins/loader.h"
#include "base/settings.h"
#include <stdio.h>

enum { kListLineBytes = 1024 };

bool JoinPath(char *out, size_t size, const char *dir, const char *name); // false when it does not fit

// What differs between the kinds that the loader walks in the same way.
struct PluginKind {
    const char *status;          // the start-up status line
    const char *listFile;        // NULL: every module of the directory, no duplicate test
    char (Settings::*dir)[kPathBytes];
    int listLoadMessage;         // a listed module does not load
    int directoryLoadMessage;    // a module found by the directory search does not load
    int rows;
    void *table;
    size_t stride;
    size_t moduleOffset, translatedOffset, fileOffset; // translatedOffset 0: no translated name
    int (*bind)(int row, const char *file, int shown); // 1 accepted
    void (*clear)(int row);
    bool subWindow; // list lines carry positions, the first line the screen size
};

extern const PluginKind kDrawKind, kSubWindowKind, kEffectKind, kTransformKind, kFuncColorKind, kExtCommandKind,
    kParameterKind, kLayerBlendKind;

HMODULE &RowModule(const PluginKind &kind, int row);
char *RowFile(const PluginKind &kind, int row);
char *RowTranslated(const PluginKind &kind, int row); // NULL for kinds without one
