// Loading the plug-in kinds: the modules named in a kind's list file first, then the rest of its
// directory; one walk for every kind, driven by the kind's description.
#include "plugins/savers.h"
#include "base/notify.h"
#include "base/stepclock.h"
#include "plugins/loader_internal.h"
#include "base/textutil.h"
#include "plugins/effectdlg.h"
#include "plugins/subwin.h"
#include "plugins/susie.h"
#include "base/app.h"
#include "base/messages.h"
#include <stdlib.h>
#include <string.h>

bool g_effectsLoaded, g_transformsLoaded;

HMODULE LoadPluginModule(const char *dir, const char *file)
{
    char path[kPathBytes];
    if (!JoinPath(path, sizeof path, dir, file))
        return NULL;
    UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    HMODULE module = LoadLibraryA(path);
    SetErrorMode(oldMode);
    if ((uintptr_t)module < 32) {
        if (module)
            FreeLibrary(module);
        return NULL;
    }
    return module;
}

static void ClearTable(const PluginKind &kind)
{
    for (int i = 0; i < kind.rows; i++)
        kind.clear(i);
}

static bool SameFileName(const char *a, const char *b)
{
    for (;; a++, b++) {
        unsigned char x = (unsigned char)*a, y = (unsigned char)*b;
        if (x >= 'A' && x <= 'Z')
            x += 'a' - 'A';
        if (y >= 'A' && y <= 'Z')
            y += 'a' - 'A';
        if (x != y)
            return false;
        if (!x)
            return true;
    }
}

static bool ListedBefore(const PluginKind &kind, int listed, const char *file)
{
    for (int i = 0; i < listed; i++)
        if (SameFileName(RowFile(kind, i), file))
            return true;
    return false;
}

// Loads one module into row; 1 when the binder accepted it.
static int LoadIntoRow(const PluginKind &kind, int row, const char *file, int loadMessage, int shown)
{
    HMODULE module = LoadPluginModule(g_cfg.*kind.dir, file);
    if (!module) {
        ShowErrorMessageArg(g_mainWindow, loadMessage, file);
        return 0;
    }
    // A module already in a row under another spelling of its name takes no second row.
    for (int i = 0; i < row; i++)
        if (RowModule(kind, i) == module) {
            FreeLibrary(module);
            return 0;
        }
    RowModule(kind, row) = module;
    if (kind.bind(row, file, shown))
        return 1;
    if (kind.subWindow)
        ShowErrorMessageArg(g_mainWindow, 51, file);
    kind.clear(row);
    FreeLibrary(module); // a refused module is never used
    return 0;
}

// The modules named in the list file, in its order; the number of rows filled.
static int LoadFromList(const PluginKind &kind, int limit)
{
    char path[kPathBytes];
    if (!JoinPath(path, sizeof path, g_cfg.Stat_dir, kind.listFile))
        return 0;
    FILE *f = fopen(path, "r");
    if (!f)
        return 0; // no list yet: not an error
    int filled = 0;
    int savedWidth = 0, savedHeight = 0;
    char line[kListLineBytes];
    if (kind.subWindow && ReadTextLine(f, line, sizeof line)) {
        char token[32];
        const char *p = NextTextToken(line, token, sizeof token);
        if (p) {
            savedWidth = atoi(token);
            if (NextTextToken(p, token, sizeof token))
                savedHeight = atoi(token);
        }
    }
    while (filled < limit && ReadTextLine(f, line, sizeof line)) {
        char file[QZ_FILE_LEN], translated[QZ_TRANSLATED_LEN];
        int x = 0, y = 0, shown = 1;
        int parsed = kind.subWindow ? ParseSubWindowPinLine(line, file, sizeof file, &x, &y, &shown, translated,
                                                            sizeof translated)
                                    : ParsePinLine(line, file, sizeof file, translated, sizeof translated);
        // A module listed twice is loaded once, at its first line.
        if (!parsed || !file[0] || ListedBefore(kind, filled, file))
            continue;
        if (!LoadIntoRow(kind, filled, file, kind.listLoadMessage, shown))
            continue;
        if (char *t = RowTranslated(kind, filled))
            CopyText(t, QZ_TRANSLATED_LEN, translated);
        if (kind.subWindow) {
            g_subWindows[filled].x = RescalePosition(x, savedWidth, g_screenWidth);
            g_subWindows[filled].y = RescalePosition(y, savedHeight, g_screenHeight);
        }
        filled++;
    }
    fclose(f);
    return filled;
}

static int LoadKind(const PluginKind &kind)
{
    ClearTable(kind);
    int limit = kind.rows - 1; // the last row always stays free as the end mark
    int filled = kind.listFile ? LoadFromList(kind, limit) : 0;
    int listed = filled;

    char pattern[kPathBytes];
    if (!JoinPath(pattern, sizeof pattern, g_cfg.*kind.dir, "*.ovp"))
        return filled;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstPlainFile(pattern, &found);
    if (search == INVALID_HANDLE_VALUE)
        return filled;
    do {
        if (filled >= limit)
            break;
        if (kind.listFile && ListedBefore(kind, listed, found.cFileName))
            continue;
        if (!LoadIntoRow(kind, filled, found.cFileName, kind.directoryLoadMessage, 1))
            continue;
        if (kind.subWindow) {
            g_subWindows[filled].x = g_screenWidth / 2 + 5;
            g_subWindows[filled].y = 100 + 20 * filled;
        }
        filled++;
    } while (FindNextPlainFile(search, &found));
    FindClose(search);
    kind.clear(filled); // the end mark
    return filled;
}

int LoadDrawPlugins()
{
    int n = LoadKind(kDrawKind);
    if (n > 0)
        NotifySelectDrawIndex(0);
    return n;
}

int LoadSubWindowPlugins() { return LoadKind(kSubWindowKind); }
int LoadFuncColorPlugins() { return LoadKind(kFuncColorKind); }
int LoadLayerBlendPlugins() { return LoadKind(kLayerBlendKind); }
int LoadExtCommandPlugins() { return LoadKind(kExtCommandKind); }
int LoadParameterPlugins() { return LoadKind(kParameterKind); }
int LoadTransformPlugins() { return LoadKind(kTransformKind); }

int LoadEffectPlugins()
{
    int n = LoadKind(kEffectKind);
    ReadEffectTree();
    return n;
}

int CountSubWindows()
{
    int n = 0;
    while (n < kSubWindowRows && g_subWindows[n].module)
        n++;
    return n;
}

// ---- start-up, first use, reload ----

void LoadAllPlugins()
{
    NotifyStatusText("Susie Plug-in loading.");
    LoadSusiePlugins();
    SplitBarList(GetOpenFilterText());
    StepMark("load-susie");
    NotifyStatusText("File saving Plug-in loading.");
    LoadSavePlugins(g_saverTable, g_cfg.Saver_dir, g_furtherSaveFilter, sizeof g_furtherSaveFilter);
    StepMark("load-save");
    const PluginKind *kinds[] = {&kDrawKind, &kSubWindowKind, &kFuncColorKind, &kExtCommandKind, &kParameterKind,
                                 &kLayerBlendKind};
    const char *marks[] = {"load-draw", "load-subwin", "load-funccol", "load-extcmd", "load-param", "load-blend"};
    for (int k = 0; k < 6; k++) {
        const PluginKind *kind = kinds[k];
        NotifyStatusText(kind->status);
        if (kind == &kDrawKind)
            LoadDrawPlugins();
        else
            LoadKind(*kind);
        StepMark(marks[k]);
    }
    LoadDictionary();
    ApplyDictionaryToDraws();
    ApplyDictionaryToEffects();
    ApplyDictionaryToSubWindows();
    ApplyDictionaryToTransforms();
    ApplyDictionaryToFuncColors();
    ApplyDictionaryToLayerBlends();
    SaveDictionary();
    FreeDictionary();
    StepMark("load-dictionary");
}

void EnsureEffectsLoaded()
{
    if (g_effectsLoaded)
        return;
    NotifyStatusText(kEffectKind.status);
    LoadEffectPlugins();
    g_effectsLoaded = true;
    LoadDictionary();
    ApplyDictionaryToEffects();
    SaveDictionary();
    FreeDictionary();
}

void EnsureTransformsLoaded()
{
    if (g_transformsLoaded)
        return;
    NotifyStatusText(kTransformKind.status);
    LoadTransformPlugins();
    g_transformsLoaded = true;
    LoadDictionary();
    ApplyDictionaryToTransforms();
    SaveDictionary();
    FreeDictionary();
}
