// Unloading every plug-in kind and writing its list file back: the loaded modules in table order,
// which is the load order of the next start.
#include "plugins/savers.h"
#include "plugins/loader_internal.h"
#include "base/app.h"
#include "base/messages.h"
#include <string.h>

// A text file written beside its final name and put in place only when complete, so a failed
// write never leaves a half-written list over a good one.
struct ListWriter {
    FILE *file = NULL;
    char path[kPathBytes] = "";
    char temp[kPathBytes + 8] = "";

    bool Open(const char *dir, const char *name)
    {
        if (!JoinPath(path, sizeof path, dir, name))
            return false;
        snprintf(temp, sizeof temp, "%s.new", path);
        file = fopen(temp, "w");
        return file != NULL;
    }
    void Close()
    {
        if (!file)
            return;
        bool ok = !ferror(file);
        ok = fclose(file) == 0 && ok;
        file = NULL;
        if (!ok || !MoveFileExA(temp, path, MOVEFILE_REPLACE_EXISTING))
            DeleteFileA(temp);
    }
};

static void OpenList(ListWriter &list, const char *name, int failMessage)
{
    if (!list.Open(g_cfg.Stat_dir, name) && failMessage)
        ShowErrorMessage(g_mainWindow, failMessage);
}

static void WriteRow(ListWriter &list, ListWriter &names, const char *key, const char *file, const char *name,
                     const char *translated)
{
    if (list.file)
        fprintf(list.file, "\"%s\"\n", file);
    if (names.file)
        fprintf(names.file, "%s \"%s\" \"%s\"\n", key, name, translated);
}

// Draw, effect, transform, functional colour and layer blend share one form.
template <class Row>
static void SaveAndUnload(Row *table, int rows, const char *listName, int failMessage, ListWriter &names,
                          const char *key, void (*unload)(int))
{
    ListWriter list;
    OpenList(list, listName, failMessage);
    for (int i = 0; i < rows; i++) {
        if (!table[i].module)
            continue;
        WriteRow(list, names, key, table[i].file, table[i].name, table[i].translated);
        unload(i);
    }
    list.Close();
}

static void SaveAndUnloadSubWindows(ListWriter &names)
{
    ListWriter list;
    OpenList(list, "subwin.pin", 27);
    if (list.file)
        fprintf(list.file, "%d %d\n", g_screenWidth, g_screenHeight);
    for (int i = 0; i < kSubWindowRows; i++) {
        SubWindowRecord &row = g_subWindows[i];
        if (!row.module)
            continue;
        RECT r;
        if (row.window && GetWindowRect(row.window, &r)) {
            row.x = r.left;
            row.y = r.top;
        }
        if (row.info & 2)
            row.shown = 0;
        if (list.file)
            fprintf(list.file, "\"%s\" %d %d %d\n", row.file, row.x, row.y, row.shown);
        if (names.file)
            fprintf(names.file, "SubWin \"%s\" \"%s\"\n", row.name, row.translated);
        UnloadSubWindowPlugin(i);
    }
    list.Close();
}

template <class Row> static void UnloadRows(Row *table, int rows, void (*unload)(int))
{
    for (int i = 0; i < rows; i++)
        if (table[i].module)
            unload(i);
}

void SavePluginListsAndUnload()
{
    FreeSusiePlugins();
    UnloadSavePlugins();
    ListWriter names;
    char dbName[kPathBytes];
    snprintf(dbName, sizeof dbName, "DB.%s", g_cfg.ExtensionOfDictionary);
    names.Open(g_cfg.Stat_dir, dbName); // no message has a text for this list

    SaveAndUnload(g_drawPlugins, kDrawRows, "draw.pin", 25, names, "Draw", UnloadDrawPlugin);
    // A kind never loaded this run keeps its list: an empty table says nothing about the order.
    if (g_effectsLoaded)
        SaveAndUnload(g_effectPlugins, kEffectRows, "effect.pin", 26, names, "Effect", UnloadEffectPlugin);
    else
        UnloadRows(g_effectPlugins, kEffectRows, UnloadEffectPlugin);
    if (g_transformsLoaded)
        SaveAndUnload(g_transformPlugins, kTransformRows, "trans.pin", 0, names, "Trans", UnloadTransformPlugin);
    else
        UnloadRows(g_transformPlugins, kTransformRows, UnloadTransformPlugin);
    SaveAndUnload(g_colorFunctions, kColorFunctionRows, "funccol.pin", 74, names, "FuncCol", UnloadFuncColorPlugin);
    UnloadRows(g_extCommands, kExtCommandRows, UnloadExtCommandPlugin);
    SaveAndUnloadSubWindows(names);
    SaveAndUnload(g_layerBlends, kLayerBlendRows, "layer.pin", 85, names, "Layer", UnloadLayerBlendPlugin);
    names.Close();

    // Unloaded: the next use loads them again.
    g_effectsLoaded = false;
    g_transformsLoaded = false;
}

void UnloadAllPlugins()
{
    SavePluginListsAndUnload();
}
