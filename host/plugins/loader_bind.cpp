// Binding the entry points of each plug-in kind by name, and unloading one row.
#include "plugins/loader_internal.h"
#include "base/textutil.h"
#include "base/app.h"
#include "base/messages.h"
#include <stddef.h>
#include <string.h>

DrawPluginRecord g_drawPlugins[kDrawRows];
SubWindowRecord g_subWindows[kSubWindowRows];
EffectPluginRecord g_effectPlugins[kEffectRows];
TransformPluginRecord g_transformPlugins[kTransformRows];
ExtCommandRecord g_extCommands[kExtCommandRows];
ParameterTypeRecord g_parameterTypes[kParameterRows];

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
    ReadPluginName(m, "UNKNOUWNdll", row.name, sizeof row.name);
    row.cursor = LoadCursorA(m, MAKEINTRESOURCEA(100));
    row.bitmap = LoadBitmapA(m, MAKEINTRESOURCEA(102));
    if (row.bitmap)
        QzsSetBackColorInBitmap(row.bitmap);
    row.QzcGuideLineBeforeDraw = Entry<QzcDrawGuideLineProc>(m, "QzcGuideLineBeforeDraw");
    row.QzcChangedParameter = Entry<QzcChangedParameterProc>(m, "QzcChangedParameter");

    int kind = row.interaction;
    if (kind == 0) {
        if (!(row.QzcDoself = Entry<QzcDoselfProc>(m, "QzcDoself")))
            return RefuseDraw(row, 43, file);
    } else if (!(row.QzcSetPoint = Entry<QzcSetPointProc>(m, "QzcSetPoint"))) {
        return RefuseDraw(row, 44, file);
    }
    if (kind >= 1 && kind <= 4 && !(row.QzcDrawGuideLine = Entry<QzcDrawGuideLineProc>(m, "QzcDrawGuideLine")))
        return RefuseDraw(row, 45, file);
    if (!(row.QzcDrawIt = Entry<QzcDrawItProc>(m, "QzcDrawIt")))
        return RefuseDraw(row, 46, file);
    if (!(row.QzcCancelOne = Entry<QzcCancelOneProc>(m, "QzcCancelOne")))
        return RefuseDraw(row, 47, file);
    CopyText(row.file, sizeof row.file, file);
    return 1;
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
    ReadPluginName(m, "UNKNOUWNdll", row.name, sizeof row.name);
    QzcSubWinInfoProc getInfo = Entry<QzcSubWinInfoProc>(m, "QzcSubWinInfo");
    row.info = getInfo ? getInfo() : 0;
    row.shown = (row.info & 2) ? 0 : shown;
    if (!(row.QzcShowDlg = Entry<QzcShowDlgProc>(m, "QzcShowDlg")))
        return Refuse(row, 0, file); // the loader reports it
    row.QzcChangeDraw = Entry<QzcChangeDrawProc>(m, "QzcChangeDraw");
    row.QzcChangeColor = Entry<QzcChangeColorProc>(m, "QzcChangeColor");
    row.QzcChangePen = Entry<QzcChangePenProc>(m, "QzcChangePen");
    row.QzcChangeImage = Entry<QzcChangeImageProc>(m, "QzcChangeImage");
    row.QzcChangeImageList = Entry<QzcChangeImageListProc>(m, "QzcChangeImageList");
    row.QzcChangeImageGroupList = Entry<QzcChangeImageGroupListProc>(m, "QzcChangeImageGroupList");
    row.QzcChangeActiveRegion = Entry<QzcChangeActiveRegionProc>(m, "QzcChangeActiveRegion");
    row.QzcGetDirectory = Entry<QzcGetDirectoryProc>(m, "QzcGetDirectory");
    row.QzcReceiveMessage = Entry<QzcReceiveMessageProc>(m, "QzcReceiveMessage");
    row.QzcMakePen = Entry<QzcMakePenProc>(m, "QzcMakePen");
    row.bitmap = LoadBitmapA(m, MAKEINTRESOURCEA(102));
    CopyText(row.file, sizeof row.file, file);
    return 1;
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
    if (!(row.QzcEffect = Entry<QzcEffectProc>(row.module, "QzcEffect")))
        return Refuse(row, 49, file);
    ReadPluginName(row.module, "UNKNOUWN Effect", row.name, sizeof row.name);
    CopyText(row.file, sizeof row.file, file);
    return 1;
}

void UnloadEffectPlugin(int i)
{
    UnloadRow(g_effectPlugins[i]);
}

int BindTransformEntries(int i, TransformPluginRecord *table, const char *file)
{
    TransformPluginRecord &row = table[i];
    HMODULE m = row.module;
    if (!(row.QzcStartTransform = Entry<QzcStartTransformProc>(m, "QzcStartTransform")))
        return Refuse(row, 69, file);
    if (!(row.QzcDragPoint = Entry<QzcDragPointProc>(m, "QzcDragPoint")))
        return Refuse(row, 70, file);
    if (!(row.QzcDrawControlPoint = Entry<QzcDrawControlPointProc>(m, "QzcDrawControlPoint")))
        return Refuse(row, 71, file);
    if (!(row.QzcTransforming = Entry<QzcTransformingProc>(m, "QzcTransforming")))
        return Refuse(row, 72, file);
    ReadPluginName(m, "UNKNOUWN Transform", row.name, sizeof row.name);
    CopyText(row.file, sizeof row.file, file);
    return 1;
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
    row.QzcChangedParameter = Entry<QzcChangedParameterProc>(m, "QzcChangedParameter");
    if (row.info & 1) {
        if (!(row.QzcPostProcess = Entry<QzcPostProcessProc>(m, "QzcPostProcess")))
            return Refuse(row, 60, file);
    } else {
        if (!(row.QzcColorFunc = Entry<QzcColorFuncProc>(m, "QzcColorFunc")))
            return Refuse(row, 58, file);
        row.QzcReceiveMessage = Entry<QzcColorReceiveMessageProc>(m, "QzcReceiveMessage");
    }
    ReadPluginName(m, "UNKNOUWN FuncColor", row.name, sizeof row.name);
    row.bitmap = LoadBitmapA(m, MAKEINTRESOURCEA(102));
    if (row.bitmap)
        QzsSetBackColorInBitmap(row.bitmap);
    CopyText(row.file, sizeof row.file, file);
    return 1;
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
    if (!(row.QzcExtCommand = Entry<QzcExtCommandProc>(row.module, "QzcExtCommand")))
        return Refuse(row, 0, file);
    ReadPluginName(row.module, "UNKNOUWN ExtCommand", row.name, sizeof row.name);
    CopyText(row.file, sizeof row.file, file);
    return 1;
}

void UnloadExtCommandPlugin(int i)
{
    UnloadRow(g_extCommands[i]);
}

int BindParameterEntries(int i, ParameterTypeRecord *table, const char *file)
{
    ParameterTypeRecord &row = table[i];
    HMODULE m = row.module;
    row.QzcCreateParameterInfo = Entry<QzcCreateParameterInfoProc>(m, "QzcCreateParameterInfo");
    row.QzcCreateParameterControl = Entry<QzcCreateParameterControlProc>(m, "QzcCreateParameterControl");
    row.QzcSendMessage = Entry<QzcSendMessageProc>(m, "QzcSendMessage");
    row.QzcGetValue = Entry<QzcGetValueProc>(m, "QzcGetValue");
    row.QzcSetValue = Entry<QzcSetValueProc>(m, "QzcSetValue");
    row.QzcChangeValue = Entry<QzcChangeValueProc>(m, "QzcChangeValue");
    row.QzcDisposeParameterControl = Entry<QzcDisposeParameterControlProc>(m, "QzcDisposeParameterControl");
    if (!row.QzcCreateParameterInfo || !row.QzcCreateParameterControl || !row.QzcSendMessage || !row.QzcGetValue ||
        !row.QzcSetValue || !row.QzcChangeValue || !row.QzcDisposeParameterControl)
        return Refuse(row, 82, file);
    ReadPluginName(m, "UNKNOUWN Parameter", row.name, sizeof row.name);
    CopyText(row.file, sizeof row.file, file);
    return 1;
}

int BindLayerBlendEntries(int i, LayerBlendRecord *table, const char *file)
{
    LayerBlendRecord &row = table[i];
    if (!(row.QzcGetBlendColor = Entry<BlendFunction>(row.module, "QzcGetBlendColor")))
        return Refuse(row, 84, file);
    ReadPluginName(row.module, "UNKNOUWN LayerBlend", row.name, sizeof row.name);
    CopyText(row.file, sizeof row.file, file);
    return 1;
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

static int BindDrawRow(int i, const char *file, int) { return BindDrawEntries(i, g_drawPlugins, file); }
static int BindSubWindowRow(int i, const char *file, int shown)
{
    return BindSubWindowEntries(i, g_subWindows, file, shown);
}
static int BindEffectRow(int i, const char *file, int) { return BindEffectEntries(i, g_effectPlugins, file); }
static int BindTransformRow(int i, const char *file, int) { return BindTransformEntries(i, g_transformPlugins, file); }
static int BindFuncColorRow(int i, const char *file, int) { return BindFuncColorEntries(i, g_colorFunctions, file); }
static int BindExtCommandRow(int i, const char *file, int) { return BindExtCommandEntries(i, g_extCommands, file); }
static int BindParameterRow(int i, const char *file, int) { return BindParameterEntries(i, g_parameterTypes, file); }
static int BindLayerBlendRow(int i, const char *file, int) { return BindLayerBlendEntries(i, g_layerBlends, file); }

static void ClearDrawAt(int i) { ClearDrawRow(g_drawPlugins[i]); }
static void ClearSubWindowAt(int i) { ClearRow(g_subWindows[i]); }
static void ClearEffectAt(int i) { ClearRow(g_effectPlugins[i]); }
static void ClearTransformAt(int i) { ClearRow(g_transformPlugins[i]); }
static void ClearFuncColorAt(int i) { ClearRow(g_colorFunctions[i]); }
static void ClearExtCommandAt(int i) { ClearRow(g_extCommands[i]); }
static void ClearParameterAt(int i) { ClearRow(g_parameterTypes[i]); }
static void ClearLayerBlendAt(int i) { ClearRow(g_layerBlends[i]); }

#define KIND_ROWS(table, Type, translated)                                                                           \
    (int)(sizeof table / sizeof table[0]), table, sizeof(Type), offsetof(Type, module), translated,                 \
        offsetof(Type, file)

const PluginKind kDrawKind = {"Draw Plug-in loading.", "draw.pin", &Settings::Draw_dir, 41, 37,
                              KIND_ROWS(g_drawPlugins, DrawPluginRecord, offsetof(DrawPluginRecord, translated)),
                              BindDrawRow, ClearDrawAt, false};
const PluginKind kSubWindowKind = {"SubWindow Plug-in loading.", "subwin.pin", &Settings::Subwin_dir, 50, 50,
                                   KIND_ROWS(g_subWindows, SubWindowRecord, offsetof(SubWindowRecord, translated)),
                                   BindSubWindowRow, ClearSubWindowAt, true};
const PluginKind kEffectKind = {"Effect Plug-in loading.", "effect.pin", &Settings::Effect_dir, 48, 37,
                                KIND_ROWS(g_effectPlugins, EffectPluginRecord,
                                          offsetof(EffectPluginRecord, translated)),
                                BindEffectRow, ClearEffectAt, false};
const PluginKind kTransformKind = {"Transform Plug-in loading.", "trans.pin", &Settings::Transform_dir, 37, 37,
                                   KIND_ROWS(g_transformPlugins, TransformPluginRecord,
                                             offsetof(TransformPluginRecord, translated)),
                                   BindTransformRow, ClearTransformAt, false};
const PluginKind kFuncColorKind = {"Functional color Plug-in loading.", "funccol.pin", &Settings::FuncColor_dir, 56,
                                   56,
                                   KIND_ROWS(g_colorFunctions, ColorFunctionRecord,
                                             offsetof(ColorFunctionRecord, translated)),
                                   BindFuncColorRow, ClearFuncColorAt, false};
const PluginKind kExtCommandKind = {"Ext Command Plug-in loading.", NULL, &Settings::ExtCommand_dir, 37, 37,
                                    KIND_ROWS(g_extCommands, ExtCommandRecord,
                                              offsetof(ExtCommandRecord, translated)),
                                    BindExtCommandRow, ClearExtCommandAt, false};
const PluginKind kParameterKind = {"Parameter Plug-in loading.", NULL, &Settings::Parameter_dir, 82, 82,
                                   KIND_ROWS(g_parameterTypes, ParameterTypeRecord, 0), BindParameterRow,
                                   ClearParameterAt, false};
const PluginKind kLayerBlendKind = {"LayerBlend Plug-in loading.", "layer.pin", &Settings::Layer_dir, 83, 83,
                                    KIND_ROWS(g_layerBlends, LayerBlendRecord, offsetof(LayerBlendRecord, translated)),
                                    BindLayerBlendRow, ClearLayerBlendAt, false};

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
