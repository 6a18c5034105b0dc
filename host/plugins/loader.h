// Plug-in kinds, loading and binding: one table per kind, filled from row 0; the row after the
// last loaded module has a zero module handle and ends the list.
#pragma once
#include "ovrin.h"
#include "image/bindings.h"

enum {
    kDrawRows = 80,
    kSubWindowRows = 100,
    kEffectRows = 200,
    kTransformRows = 80,
    kExtCommandRows = 200,
    kParameterRows = 100,
};

struct SubWindowRecord {
    HWND window;
    HMODULE module;
    char name[QZ_NAME_LEN];
    char translated[QZ_TRANSLATED_LEN];
    char file[QZ_FILE_LEN];
    int32_t shown;
    int32_t info; // bit 0 dialog messages, bit 1 hidden at start
    int32_t x, y; // screen position of the window's top-left corner
    int32_t docked;
    HBITMAP bitmap;
    QzcShowDlgProc QzcShowDlg;
    QzcChangeDrawProc QzcChangeDraw;
    QzcChangeColorProc QzcChangeColor;
    QzcChangePenProc QzcChangePen;
    QzcChangeImageProc QzcChangeImage;
    QzcChangeImageListProc QzcChangeImageList;
    QzcChangeImageGroupListProc QzcChangeImageGroupList;
    QzcChangeActiveRegionProc QzcChangeActiveRegion;
    QzcGetDirectoryProc QzcGetDirectory;
    QzcReceiveMessageProc QzcReceiveMessage;
    QzcMakePenProc QzcMakePen;
};

struct EffectPluginRecord {
    HMODULE module;
    char name[QZ_NAME_LEN];
    char translated[QZ_TRANSLATED_LEN];
    char file[QZ_FILE_LEN];
    QzcEffectProc QzcEffect;
    void *treeItem; // the effect's item in the effect dialog's tree
};

struct TransformPluginRecord {
    HMODULE module;
    char name[QZ_NAME_LEN];
    char translated[QZ_TRANSLATED_LEN];
    char file[QZ_FILE_LEN];
    QzcStartTransformProc QzcStartTransform;
    QzcDragPointProc QzcDragPoint;
    QzcDrawControlPointProc QzcDrawControlPoint;
    QzcTransformingProc QzcTransforming;
};

struct ExtCommandRecord {
    HMODULE module;
    char name[QZ_NAME_LEN];
    char translated[QZ_TRANSLATED_LEN];
    char file[QZ_FILE_LEN];
    QzcExtCommandProc QzcExtCommand;
};

extern DrawPluginRecord g_drawPlugins[kDrawRows];
extern SubWindowRecord g_subWindows[kSubWindowRows];
extern EffectPluginRecord g_effectPlugins[kEffectRows];
extern TransformPluginRecord g_transformPlugins[kTransformRows];
extern ExtCommandRecord g_extCommands[kExtCommandRows];
extern ParameterTypeRecord g_parameterTypes[kParameterRows];

// Effects and transforms are loaded on first use; these tell whether that happened this run.
extern bool g_effectsLoaded, g_transformsLoaded;

// ---- start-up, quit and reload ----
void LoadAllPlugins();
void SavePluginListsAndUnload(); // writes the list files and the name list, unloads every module
void UnloadAllPlugins();         // the same, at quit
void EnsureEffectsLoaded();      // loads effects once, with the name dictionary for them alone
void EnsureTransformsLoaded();

// ---- per kind ----
int LoadDrawPlugins();
int LoadSubWindowPlugins();
int LoadEffectPlugins();
int LoadTransformPlugins();
int LoadFuncColorPlugins();
int LoadLayerBlendPlugins();
int LoadExtCommandPlugins();
int LoadParameterPlugins();

// Bind the module already stored in row i; 1 bound, 0 refused (row cleared, message shown except
// for sub-windows, whose loader reports the refusal).
int BindDrawEntries(int i, DrawPluginRecord *table, const char *file);
int BindSubWindowEntries(int i, SubWindowRecord *table, const char *file, int shown);
int BindEffectEntries(int i, EffectPluginRecord *table, const char *file);
int BindTransformEntries(int i, TransformPluginRecord *table, const char *file);
int BindFuncColorEntries(int i, ColorFunctionRecord *table, const char *file);
int BindExtCommandEntries(int i, ExtCommandRecord *table, const char *file);
int BindParameterEntries(int i, ParameterTypeRecord *table, const char *file);
int BindLayerBlendEntries(int i, LayerBlendRecord *table, const char *file);

void UnloadDrawPlugin(int i);
void UnloadSubWindowPlugin(int i);
void UnloadEffectPlugin(int i);
void UnloadTransformPlugin(int i);
void UnloadFuncColorPlugin(int i);
void UnloadExtCommandPlugin(int i);
void UnloadLayerBlendPlugin(int i);
// Removes sub-window row i and moves the later rows up, so the list has no hole.
void RemoveSubWindowRow(int i);

int CountSubWindows(); // loaded rows up to the first empty one

// ---- helpers shared with the other loaders (the save plug-ins use them too) ----
// A module loaded from "dir\file"; NULL (and the module freed) when the handle is below 32.
HMODULE LoadPluginModule(const char *dir, const char *file);
// String resource 100 of the module (at most 80 bytes with its NUL), else the fallback.
void ReadPluginName(HMODULE module, const char *fallback, char *out, size_t size);
// Directory search that skips directories.
HANDLE FindFirstPlainFile(const char *pattern, WIN32_FIND_DATAA *found); // INVALID_HANDLE_VALUE: none
int FindNextPlainFile(HANDLE search, WIN32_FIND_DATAA *found);            // 0 at the end
void SplitBarList(char *text); // every "|" becomes a NUL, in place

// ---- list files ----
// Token 1 (file) and token 2 (translated name) of a list line; 0 when the line holds no token.
int ParsePinLine(const char *line, char *file, size_t fileSize, char *translated, size_t translatedSize);
// File, x, y, shown and an optional translated name of a subwin.pin line; 0 when it holds no token.
int ParseSubWindowPinLine(const char *line, char *file, size_t fileSize, int *x, int *y, int *shown,
                          char *translated, size_t translatedSize);
// A list position written on a screen of savedSize, rescaled to currentSize; the value is kept when
// the saved size is not positive.
int RescalePosition(int value, int savedSize, int currentSize);

// ---- tool buttons of the sub-windows ----
// One button per loaded sub-window row into buttons (at most capacity), linked in order; the count.
int BuildSubWindowButtons(ToolButton *buttons, int capacity, int commandButtons);

// ---- provided by other parts of the host ----
void LoadSusiePlugins();      // the outside image readers
void FreeSusiePlugins();
void ReadEffectTree();        // the effect dialog's tree file, after effects are loaded
// The name dictionary: load it, fill empty translated names, save the merged copy, free it.
void LoadDictionary();
void ApplyDictionaryToDraws();
void ApplyDictionaryToEffects();
void ApplyDictionaryToSubWindows();
void ApplyDictionaryToTransforms();
void ApplyDictionaryToFuncColors();
void ApplyDictionaryToLayerBlends();
void SaveDictionary();
void FreeDictionary();
DrawPluginRecord *GetDrawPluginRow(int row);       // NULL when the row holds no module
// The name shown for a draw method: the translated one in language mode.
const char *DrawMethodDisplayName(int row);
const char *GetSubWindowName(int row);             // NULL when the row holds no module
int IsSubWindowShown(int row);
const char *GetExtCommandName(int row); // NULL for an empty row
QzcExtCommandProc GetExtCommandEntry(int row);
