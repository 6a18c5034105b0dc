// Binding the entry points of each plug-in kind by name, and unloading one row.
#include "plugins/loader_internal.h"
#include "base/textutil.h"
#include "base/app.h"
#include "base/messages.h"
#include <stddef.h>
#include <string.h>
#include <type_traits>

DrawPluginRecord g_drawPlugins[kDrawRows];
SubWindowRecord g_subWindows[kSubWindowRows];
EffectPluginRecord g_effectPlugins[kEffectRows];
TransformPluginRecord g_transformPlugins[kTransformRows];
ExtCommandRecord g_extCommands[kExtCommandRows];
ParameterTypeRecord g_parameterTypes[kParameterRows];

// Binds the row's module's entry point of that name into the row's field of the same name; false
// when the module has none.
template <class Proc> static bool Bind(Proc &field, HMODULE module, const char *name)
{
    field = (Proc)(void *)GetProcAddress(module, name);
    return field != NULL;
}
#define BIND(row, entry) Bind((row).entry, (row).module, #entry)

template <class T> static T Entry(HMODULE module, const char *name)
{
    return (T)(void *)GetProcAddress(module, name);
}

template <class Row> static void ClearRow(Row &row)
{
    memset(&row, 0, sizeof row);
}

// Frees the row's module and empties the row.
template <class Row> static void UnloadRow(Row &row)
{
    if (row.module)
        FreeLibrary(row.module);
    ClearRow(row);
}

static void ClearDrawRow(DrawPluginRecord &row)
{
    memset(&row, 0, sizeof row);
    row.interaction = -1; // an empty row stays inert for the mouse machinery
}

// A refusal: the message with the file name, and nothing of the row counts any more.
template <class Row> static int Refuse(Row &row, int message, const char *file)
{
    if (message)
        ShowErrorMessageArg(g_mainWindow, message, file);
    ClearRow(row);
    return 0;
}

// A row that binds: its name (the module's string 100, else the kind's fallback) and its file.
template <class Row> static int Accept(Row &row, const char *fallback, const char *file)
{
    ReadPluginName(row.module, fallback, row.name, sizeof row.name);
    CopyText(row.file, sizeof row.file, file);
    return 1;
}

void ReadPluginName(HMODULE module, const char *fallback, char *out, size_t size)
{
    char name[QZ_NAME_LEN];
    if (LoadStringA(module, 100, name, sizeof name) > 0)
        CopyText(out, size, name);
    else
        CopyText(out, size, fallback);
}

// ---- draw ----

static void ReleaseDrawResources(DrawPluginRecord &row)
{
    if (row.cursor)
        DestroyCursor(row.cursor);
    if (row.bitmap)
        DeleteObject(row.bitmap);
}

static int RefuseDraw(DrawPluginRecord &row, int message, const char *file)
{
    ShowErrorMessageArg(g_mainWindow, message, file);
    ReleaseDrawResources(row);
    ClearDrawRow(row);
    return 0;
}

int BindDrawEntries(int i, DrawPluginRecord *table, const char *file)
{
    DrawPluginRecord &row = table[i];
    HMODULE m = row.module;
    QzcGetDrawInterfaceProc getInterface = Entry<QzcGetDrawInterfaceProc>(m, "QzcGetDrawInterface");
    if (!getInterface)
        return RefuseDraw(row, 42, file);
    row.interaction = getInterface();
    QzcGetDrawInfoProc getInfo = Entry<QzcGetDrawInfoProc>(m, "QzcGetDrawInfo");
    if (!getInfo)
        return RefuseDraw(row, 61, file);
    row.info = getInfo();
    row.cursor = LoadCursorA(m, MAKEINTRESOURCEA(100));
    row.bitmap = LoadBitmapA(m, MAKEINTRESOURCEA(102));
    if (row.bitmap)
        QzsSetBackColorInBitmap(row.bitmap);
    BIND(row, QzcGuideLineBeforeDraw);
    BIND(row, QzcChangedParameter);

    int kind = row.interaction;
    if (kind == 0) {
        if (!BIND(row, QzcDoself))
            return RefuseDraw(row, 43, file);
    } else if (!BIND(row, QzcSetPoint)) {
        return RefuseDraw(row, 44, file);
    }
    if (kind >= 1 && kind <= 4 && !BIND(row, QzcDrawGuideLine))
        return RefuseDraw(row, 45, file);
    if (!BIND(row, QzcDrawIt))
        return RefuseDraw(row, 46, file);
    if (!BIND(row, QzcCancelOne))
        return RefuseDraw(row, 47, file);
    return Accept(row, "UNKNOUWNdll", file);
}

void UnloadDrawPlugin(int i)
{
    DrawPluginRecord &row = g_drawPlugins[i];
    if (row.cursor)
        DestroyCursor(row.cursor);
    if (row.module)
        FreeLibrary(row.module);
    ClearDrawRow(row); // the bitmap is not deleted: tool buttons may still show it
}

// ---- sub-window ----

int BindSubWindowEntries(int i, SubWindowRecord *table, const char *file, int shown)
{
    SubWindowRecord &row = table[i];
    HMODULE m = row.module;
    QzcSubWinInfoProc getInfo = Entry<QzcSubWinInfoProc>(m, "QzcSubWinInfo");
    row.info = getInfo ? getInfo() : 0;
    row.shown = (row.info & 2) ? 0 : shown;
    if (!BIND(row, QzcShowDlg))
        return Refuse(row, 0, file); // the loader reports it
    BIND(row, QzcChangeDraw);
    BIND(row, QzcChangeColor);
    BIND(row, QzcChangePen);
    BIND(row, QzcChangeImage);
    BIND(row, QzcChangeImageList);
    BIND(row, QzcChangeImageGroupList);
    BIND(row, QzcChangeActiveRegion);
    BIND(row, QzcGetDirectory);
    BIND(row, QzcReceiveMessage);
    BIND(row, QzcMakePen);
    row.bitmap = LoadBitmapA(m, MAKEINTRESOURCEA(102));
    return Accept(row, "UNKNOUWNdll", file);
}

void UnloadSubWindowPlugin(int i)
{
    SubWindowRecord &row = g_subWindows[i];
    if (row.window && IsWindow(row.window))
        DestroyWindow(row.window); // before its window procedure goes with the module
    if (row.module)
        FreeLibrary(row.module);
    ClearRow(row);
}

// ---- effect, transform ----

int BindEffectEntries(int i, EffectPluginRecord *table, const char *file)
{
    EffectPluginRecord &row = table[i];
    if (!BIND(row, QzcEffect))
        return Refuse(row, 49, file);
    return Accept(row, "UNKNOUWN Effect", file);
}

void UnloadEffectPlugin(int i)
{
    UnloadRow(g_effectPlugins[i]);
}

int BindTransformEntries(int i, TransformPluginRecord *table, const char *file)
{
    TransformPluginRecord &row = table[i];
    if (!BIND(row, QzcStartTransform))
        return Refuse(row, 69, file);
    if (!BIND(row, QzcDragPoint))
        return Refuse(row, 70, file);
    if (!BIND(row, QzcDrawControlPoint))
        return Refuse(row, 71, file);
    if (!BIND(row, QzcTransforming))
        return Refuse(row, 72, file);
    return Accept(row, "UNKNOUWN Transform", file);
}

void UnloadTransformPlugin(int i)
{
    UnloadRow(g_transformPlugins[i]);
}

// ---- functional colour ----

int BindFuncColorEntries(int i, ColorFunctionRecord *table, const char *file)
{
    ColorFunctionRecord &row = table[i];
    HMODULE m = row.module;
    QzcGetColorInfoProc getInfo = Entry<QzcGetColorInfoProc>(m, "QzcGetColorInfo");
    if (!getInfo)
        return Refuse(row, 57, file);
    row.info = getInfo();
    BIND(row, QzcChangedParameter);
    if (row.info & 1) {
        if (!BIND(row, QzcPostProcess))
            return Refuse(row, 60, file);
    } else {
        if (!BIND(row, QzcColorFunc))
            return Refuse(row, 58, file);
        BIND(row, QzcReceiveMessage);
    }
    row.bitmap = LoadBitmapA(m, MAKEINTRESOURCEA(102));
    if (row.bitmap)
        QzsSetBackColorInBitmap(row.bitmap);
    return Accept(row, "UNKNOUWN FuncColor", file);
}

void UnloadFuncColorPlugin(int i)
{
    // No tool button shares this picture, so it goes with the row (else every reload leaks it).
    if (g_colorFunctions[i].bitmap)
        DeleteObject(g_colorFunctions[i].bitmap);
    UnloadRow(g_colorFunctions[i]);
}

// ---- extension command, parameter, layer blend ----

int BindExtCommandEntries(int i, ExtCommandRecord *table, const char *file)
{
    ExtCommandRecord &row = table[i];
    // No message names this refusal; the module is simply not offered.
    if (!BIND(row, QzcExtCommand))
        return Refuse(row, 0, file);
    return Accept(row, "UNKNOUWN ExtCommand", file);
}

void UnloadExtCommandPlugin(int i)
{
    UnloadRow(g_extCommands[i]);
}

int BindParameterEntries(int i, ParameterTypeRecord *table, const char *file)
{
    ParameterTypeRecord &row = table[i];
    // Every entry is bound before the refusal, which names none of them.
    bool all = BIND(row, QzcCreateParameterInfo);
    all &= BIND(row, QzcCreateParameterControl);
    all &= BIND(row, QzcSendMessage);
    all &= BIND(row, QzcGetValue);
    all &= BIND(row, QzcSetValue);
    all &= BIND(row, QzcChangeValue);
    all &= BIND(row, QzcDisposeParameterControl);
    if (!all)
        return Refuse(row, 82, file);
    return Accept(row, "UNKNOUWN Parameter", file);
}

int BindLayerBlendEntries(int i, LayerBlendRecord *table, const char *file)
{
    LayerBlendRecord &row = table[i];
    if (!BIND(row, QzcGetBlendColor))
        return Refuse(row, 84, file);
    return Accept(row, "UNKNOUWN LayerBlend", file);
}

void UnloadLayerBlendPlugin(int i)
{
    UnloadRow(g_layerBlends[i]);
}


DrawPluginRecord *GetDrawPluginRow(int row)
{
    if (row < 0 || row >= kDrawRows || !g_drawPlugins[row].module)
        return NULL;
    return &g_drawPlugins[row];
}

const char *GetSubWindowName(int row)
{
    if (row < 0 || row >= kSubWindowRows || !g_subWindows[row].module)
        return NULL;
    return PickLangText(g_subWindows[row].name, g_subWindows[row].translated);
}

int IsSubWindowShown(int row)
{
    return GetSubWindowName(row) && g_subWindows[row].shown ? 1 : 0;
}

const char *GetExtCommandName(int row)
{
    if (row < 0 || row >= kExtCommandRows || !g_extCommands[row].module)
        return NULL;
    return g_extCommands[row].name;
}

QzcExtCommandProc GetExtCommandEntry(int row)
{
    return GetExtCommandName(row) ? g_extCommands[row].QzcExtCommand : NULL;
}

// ---- the kinds as the loader walks them ----

// A kind's binder and row clearing on its own table, in the shape the loader calls them.
template <auto &table, int (*bind)(int, std::remove_reference_t<decltype(table[0])> *, const char *)>
static int BindRowOf(int i, const char *file, int)
{
    return bind(i, table, file);
}
template <auto &table> static void ClearAt(int i) { ClearRow(table[i]); }

static int BindSubWindowRow(int i, const char *file, int shown)
{
    return BindSubWindowEntries(i, g_subWindows, file, shown);
}
static void ClearDrawAt(int i) { ClearDrawRow(g_drawPlugins[i]); }

#define KIND_ROWS(table, Type, translated)                                                                           \
    (int)(sizeof table / sizeof table[0]), table, sizeof(Type), offsetof(Type, module), translated,                 \
        offsetof(Type, file)

const PluginKind kDrawKind = {"Draw Plug-in loading.", "draw.pin", &Settings::Draw_dir, 41, 37,
                              KIND_ROWS(g_drawPlugins, DrawPluginRecord, offsetof(DrawPluginRecord, translated)),
                              BindRowOf<g_drawPlugins, BindDrawEntries>, ClearDrawAt, false};
const PluginKind kSubWindowKind = {"SubWindow Plug-in loading.", "subwin.pin", &Settings::Subwin_dir, 50, 50,
                                   KIND_ROWS(g_subWindows, SubWindowRecord, offsetof(SubWindowRecord, translated)),
                                   BindSubWindowRow, ClearAt<g_subWindows>, true};
const PluginKind kEffectKind = {"Effect Plug-in loading.", "effect.pin", &Settings::Effect_dir, 48, 37,
                                KIND_ROWS(g_effectPlugins, EffectPluginRecord,
                                          offsetof(EffectPluginRecord, translated)),
                                BindRowOf<g_effectPlugins, BindEffectEntries>, ClearAt<g_effectPlugins>, false};
const PluginKind kTransformKind = {"Transform Plug-in loading.", "trans.pin", &Settings::Transform_dir, 37, 37,
                                   KIND_ROWS(g_transformPlugins, TransformPluginRecord,
                                             offsetof(TransformPluginRecord, translated)),
                                   BindRowOf<g_transformPlugins, BindTransformEntries>,
                                   ClearAt<g_transformPlugins>, false};
const PluginKind kFuncColorKind = {"Functional color Plug-in loading.", "funccol.pin", &Settings::FuncColor_dir, 56,
                                   56,
                                   KIND_ROWS(g_colorFunctions, ColorFunctionRecord,
                                             offsetof(ColorFunctionRecord, translated)),
                                   BindRowOf<g_colorFunctions, BindFuncColorEntries>, ClearAt<g_colorFunctions>,
                                   false};
const PluginKind kExtCommandKind = {"Ext Command Plug-in loading.", NULL, &Settings::ExtCommand_dir, 37, 37,
                                    KIND_ROWS(g_extCommands, ExtCommandRecord,
                                              offsetof(ExtCommandRecord, translated)),
                                    BindRowOf<g_extCommands, BindExtCommandEntries>, ClearAt<g_extCommands>, false};
const PluginKind kParameterKind = {"Parameter Plug-in loading.", NULL, &Settings::Parameter_dir, 82, 82,
                                   KIND_ROWS(g_parameterTypes, ParameterTypeRecord, 0),
                                   BindRowOf<g_parameterTypes, BindParameterEntries>, ClearAt<g_parameterTypes>,
                                   false};
const PluginKind kLayerBlendKind = {"LayerBlend Plug-in loading.", "layer.pin", &Settings::Layer_dir, 83, 83,
                                    KIND_ROWS(g_layerBlends, LayerBlendRecord, offsetof(LayerBlendRecord, translated)),
                                    BindRowOf<g_layerBlends, BindLayerBlendEntries>, ClearAt<g_layerBlends>, false};

HMODULE &RowModule(const PluginKind &kind, int row)
{
    return *(HMODULE *)((char *)kind.table + (size_t)row * kind.stride + kind.moduleOffset);
}

char *RowFile(const PluginKind &kind, int row)
{
    return (char *)kind.table + (size_t)row * kind.stride + kind.fileOffset;
}

char *RowTranslated(const PluginKind &kind, int row)
{
    if (!kind.translatedOffset)
        return NULL;
    return (char *)kind.table + (size_t)row * kind.stride + kind.translatedOffset;
}
