// The lists and the file work behind the plug-in maintenance dialog.
#include "shell/maintain.h"
#include "plugins/loader.h"
#include "plugins/subwin.h"
#include "draw/drawsel.h"
#include "image/bindings.h"
#include "image/colors.h"
#include "base/app.h"
#include "base/messages.h"
#include "base/notify.h"
#include "base/settings.h"
#include "base/sysinfo.h"
#include "base/textutil.h"
#include "shell/toolbar.h"
#include "shell/winproc.h"
#include <string.h>

enum { kMessageCantLoad = 37, kMessageCantLoadReserve = 79, kMessageNotBound = 51 };
enum { kMessageDrawChanged = 7, kMessageColorChanged = 5 };

// ---- the kinds' tables, seen alike ----

static const char *KindDir(int kind)
{
    return kind == kMaintainDraw ? g_cfg.Draw_dir : kind == kMaintainSubWindow ? g_cfg.Subwin_dir : g_cfg.FuncColor_dir;
}

static int KindRows(int kind)
{
    return kind == kMaintainDraw ? (int)kDrawRows : kind == kMaintainSubWindow ? (int)kSubWindowRows : (int)kColorFunctionRows;
}

static HMODULE RowModule(int kind, int row)
{
    if (row < 0 || row >= KindRows(kind))
        return NULL;
    return kind == kMaintainDraw ? g_drawPlugins[row].module
           : kind == kMaintainSubWindow ? g_subWindows[row].module : g_colorFunctions[row].module;
}

static const char *RowFile(int kind, int row)
{
    return kind == kMaintainDraw ? g_drawPlugins[row].file
           : kind == kMaintainSubWindow ? g_subWindows[row].file : g_colorFunctions[row].file;
}

static const char *RowName(int kind, int row)
{
    return kind == kMaintainDraw ? g_drawPlugins[row].name
           : kind == kMaintainSubWindow ? g_subWindows[row].name : g_colorFunctions[row].name;
}

static int LoadedRows(int kind)
{
    int n = 0;
    while (n < KindRows(kind) && RowModule(kind, n))
        n++;
    return n;
}

// ---- opening ----

void BuildRegularList(MaintenanceState *s)
{
    int n = LoadedRows(s->kind);
    if (n > kRegularEntries)
        n = kRegularEntries;
    for (int i = 0; i < n; i++)
        s->regular[i] = MaintenanceEntry{1, i};
    s->regularCount = n;
}

int BuildReserveList(MaintenanceState *s, HWND owner)
{
    s->reserveCount = 0;
    char pattern[kPathBytes];
    if ((size_t)snprintf(pattern, sizeof pattern, "%s\\*.ovp.del", KindDir(s->kind)) >= sizeof pattern)
        return 0;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstPlainFile(pattern, &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    // The list holds kReserveEntries; further set-aside files stay on disk, unlisted.
    do {
        if (strlen(found.cFileName) >= sizeof s->reserve[0].file)
            continue; // a name cut short would be another file
        HMODULE module = LoadPluginModule(KindDir(s->kind), found.cFileName);
        if (!module) {
            ShowErrorMessageArg(owner, kMessageCantLoadReserve, found.cFileName);
            continue;
        }
        ReserveEntry &e = s->reserve[s->reserveCount++];
        memset(&e, 0, sizeof e);
        strcpy(e.file, found.cFileName);
        ReadPluginName(module, "", e.name, sizeof e.name);
        FreeLibrary(module);
    } while (s->reserveCount < kReserveEntries && FindNextPlainFile(search, &found));
    FindClose(search);
    return s->reserveCount;
}

void OpenMaintenance(MaintenanceState *s, int kind, HWND owner)
{
    memset(s, 0, sizeof *s);
    s->kind = kind;
    BuildRegularList(s);
    BuildReserveList(s, owner);
}

// ---- rows ----

void RemoveDrawRow(int row)
{
    if (row < 0 || row >= kDrawRows)
        return;
    HBITMAP bitmap = g_drawPlugins[row].bitmap;
    UnloadDrawPlugin(row); // leaves the bitmap to the tool buttons, which are made again after this
    if (bitmap)
        DeleteObject(bitmap);
    memmove(&g_drawPlugins[row], &g_drawPlugins[row + 1], sizeof g_drawPlugins[0] * (kDrawRows - 1 - row));
    memset(&g_drawPlugins[kDrawRows - 1], 0, sizeof g_drawPlugins[0]);
    g_drawPlugins[kDrawRows - 1].interaction = -1;
}

void RemoveFuncColorRow(int row)
{
    if (row < 0 || row >= kColorFunctionRows)
        return;
    UnloadFuncColorPlugin(row);
    memmove(&g_colorFunctions[row], &g_colorFunctions[row + 1],
            sizeof g_colorFunctions[0] * (kColorFunctionRows - 1 - row));
    memset(&g_colorFunctions[kColorFunctionRows - 1], 0, sizeof g_colorFunctions[0]);
}

// Colour record 0's functional colour changed its number: the draw side and the colour panel follow
// the row it now names (or none).
static void FollowColorFunction(int oldFunction)
{
    int function = g_colorTable[0].function;
    if (function == oldFunction)
        return;
    SetColorFunctionDrawMode(function);
    const ColorFunctionRecord *row = function > 0 ? GetColorFunctionRow(function - 1) : NULL;
    NotifyColorFunctionPanel(row ? row->file : "", row ? function : 0);
}

// A moved or removed row carries the current draw method or colour record 0's functional colour.
static int FollowSwap(int index, int i, int j) { return index == i ? j : index == j ? i : index; }

int SwapPluginRows(int kind, int i, int j)
{
    if (i < 0 || j < 0 || i >= KindRows(kind) || j >= KindRows(kind) || i == j)
        return 0;
    switch (kind) {
    case kMaintainDraw: {
        DrawPluginRecord t = g_drawPlugins[i];
        g_drawPlugins[i] = g_drawPlugins[j];
        g_drawPlugins[j] = t;
        int current = GetCurrentDraw(), moved = FollowSwap(current, i, j);
        if (moved != current)
            SelectDrawIndex(moved);
        return 1;
    }
    case kMaintainSubWindow: {
        SubWindowRecord t = g_subWindows[i];
        g_subWindows[i] = g_subWindows[j];
        g_subWindows[j] = t;
        return 1;
    }
    default: {
        ColorFunctionRecord t = g_colorFunctions[i];
        g_colorFunctions[i] = g_colorFunctions[j];
        g_colorFunctions[j] = t;
        ColorRecord *c = &g_colorTable[0];
        int old = c->function;
        if (c->function > 0)
            c->function = FollowSwap(c->function - 1, i, j) + 1;
        FollowColorFunction(old);
        BroadcastSubWindowMessage(kMessageColorChanged);
        BroadcastColorChanged(0);
        return 0;
    }
    }
}

// Sets the module file aside: "x.ovp" becomes "x.ovp.del", replacing an old one in one step.
static void RenameAside(int kind, const char *file)
{
    char path[kPathBytes], aside[kPathBytes];
    if ((size_t)snprintf(path, sizeof path, "%s\\%s", KindDir(kind), file) < sizeof path &&
        (size_t)snprintf(aside, sizeof aside, "%s.del", path) < sizeof aside)
        MoveFileExA(path, aside, MOVEFILE_REPLACE_EXISTING);
}

static void AfterDrawRemoved(int row)
{
    BroadcastSubWindowMessage(kMessageDrawChanged);
    int current = GetCurrentDraw();
    if (row == current) {
        SelectDrawIndex(0);
        int function = g_colorTable[0].function;
        if (function > 0 && !CheckDrawColorCombination(0, function)) {
            g_colorTable[0].function = 0;
            FollowColorFunction(function);
        }
    } else if (row < current) {
        SelectDrawIndex(current - 1);
    }
}

static void AfterFuncColorRemoved(int row)
{
    BroadcastSubWindowMessage(kMessageColorChanged);
    int &function = g_colorTable[0].function, old = function;
    if (function == row + 1)
        function = 0;
    else if (function > row + 1)
        function--;
    FollowColorFunction(old);
}

int DeleteUncheckedPlugins(MaintenanceState *s)
{
    for (int i = 0; i < s->regularCount; i++) {
        const MaintenanceEntry &m = s->regular[i];
        if (m.keep || s->reserveCount >= kReserveEntries)
            continue; // a full reserve lists no more; the module is still set aside below
        ReserveEntry &e = s->reserve[s->reserveCount];
        memset(&e, 0, sizeof e);
        if ((size_t)snprintf(e.file, sizeof e.file, "%s.del", RowFile(s->kind, m.row)) >= sizeof e.file)
            continue; // a name cut short would be another file
        CopyText(e.name, sizeof e.name, RowName(s->kind, m.row));
        s->reserveCount++;
    }
    for (int i = 0; i < s->regularCount;) {
        if (s->regular[i].keep) {
            i++;
            continue;
        }
        int row = s->regular[i].row;
        char file[QZ_FILE_LEN];
        CopyText(file, sizeof file, RowFile(s->kind, row));
        if (s->kind == kMaintainDraw)
            RemoveDrawRow(row);
        else if (s->kind == kMaintainSubWindow)
            RemoveSubWindowRow(row);
        else
            RemoveFuncColorRow(row);
        RenameAside(s->kind, file);
        memmove(&s->regular[i], &s->regular[i + 1], sizeof s->regular[0] * (s->regularCount - 1 - i));
        s->regularCount--;
        for (int k = i; k < s->regularCount; k++)
            if (s->regular[k].row > row)
                s->regular[k].row--;
        if (s->kind == kMaintainDraw)
            AfterDrawRemoved(row);
        else if (s->kind == kMaintainFuncColor)
            AfterFuncColorRemoved(row);
    }
    if (s->current >= s->regularCount)
        s->current = s->regularCount > 0 ? s->regularCount - 1 : 0;
    return s->kind != kMaintainFuncColor;
}

// Loads dir\file into row and binds it; 1 bound.
static int LoadIntoRow(int kind, int row, const char *file, int position)
{
    HMODULE module = LoadPluginModule(KindDir(kind), file);
    if (!module)
        return -1;
    int bound;
    if (kind == kMaintainDraw) {
        g_drawPlugins[row].module = module;
        bound = BindDrawEntries(row, g_drawPlugins, file);
    } else if (kind == kMaintainSubWindow) {
        g_subWindows[row].module = module;
        bound = BindSubWindowEntries(row, g_subWindows, file, 1);
        if (bound) {
            g_subWindows[row].x = g_screenWidth / 2 + 5;
            g_subWindows[row].y = 100 + 20 * position;
        } else {
            ShowErrorMessageArg(g_mainWindow, kMessageNotBound, file);
        }
    } else {
        g_colorFunctions[row].module = module;
        bound = BindFuncColorEntries(row, g_colorFunctions, file);
    }
    if (!bound)
        FreeLibrary(module); // the binder cleared the row: it stays free for the next module
    return bound;
}

int InstallReservedPlugins(MaintenanceState *s, HWND owner)
{
    int installed = 0;
    for (int i = 0; i < s->reserveCount; i++) {
        const ReserveEntry &e = s->reserve[i];
        if (!e.install)
            continue;
        char file[QZ_FILE_LEN], from[kPathBytes], to[kPathBytes];
        GetTextBeforeLastOrAll(e.file, file, sizeof file, '.');
        int row = LoadedRows(s->kind);
        bool renamed = (size_t)snprintf(from, sizeof from, "%s\\%s", KindDir(s->kind), e.file) < sizeof from &&
                       (size_t)snprintf(to, sizeof to, "%s\\%s", KindDir(s->kind), file) < sizeof to &&
                       MoveFileA(from, to);
        // The last row stays free as the table's end mark.
        int bound = renamed && row < KindRows(s->kind) - 1 && s->regularCount < kRegularEntries
                        ? LoadIntoRow(s->kind, row, file, i)
                        : -1;
        if (bound < 0) {
            ShowErrorMessageArg(owner, kMessageCantLoad, e.file);
            continue;
        }
        if (!bound)
            continue;
        if (s->kind == kMaintainDraw)
            BroadcastSubWindowMessage(kMessageDrawChanged);
        else if (s->kind == kMaintainFuncColor)
            BroadcastSubWindowMessage(kMessageColorChanged);
        s->regular[s->regularCount++] = MaintenanceEntry{1, row};
        installed = 1;
    }
    int kept = 0;
    for (int i = 0; i < s->reserveCount; i++)
        if (!s->reserve[i].install)
            s->reserve[kept++] = s->reserve[i];
    s->reserveCount = kept;
    if (s->reserveTop > (kept > kReserveRowsShown ? kept - kReserveRowsShown : 0))
        s->reserveTop = kept > kReserveRowsShown ? kept - kReserveRowsShown : 0;
    return installed;
}

int MoveCurrentEntry(MaintenanceState *s, int step)
{
    int from = s->current, to = from + step;
    if (from < 0 || from >= s->regularCount || to < 0 || to >= s->regularCount)
        return 0;
    // The keep flags stay with their positions; the table rows change places.
    int rebuild = SwapPluginRows(s->kind, s->regular[from].row, s->regular[to].row);
    s->current = to;
    if (to < s->regularTop)
        s->regularTop = to;
    else if (to >= s->regularTop + kRegularRowsShown)
        s->regularTop = to - kRegularRowsShown + 1;
    if (rebuild)
        RebuildToolBarAfterMaintenance();
    return 1;
}

MaintenanceHit HitMaintenanceList(int x, int y, int *row)
{
    *row = 0;
    // Only the rows shown are hit: 7 regular rows and 4 reserve rows, 23 pixels each.
    if (y >= kRegularTop && y < kRegularTop + kRegularRowsShown * kRowPitch) {
        *row = (y - kRegularTop) / kRowPitch;
        if (x >= kListLeft && x <= kListLeft + 23)
            return kHitKeep;
        if (x >= kListLeft + 30 && x <= kListLeft + 200)
            return kHitSelect;
    } else if (y >= kReserveTop && y < kReserveTop + kReserveRowsShown * kRowPitch) {
        *row = (y - kReserveTop) / kRowPitch;
        if (x >= kListLeft && x <= kListLeft + 23)
            return kHitInstall;
    }
    return kHitNone;
}

void RebuildToolBarAfterMaintenance()
{
    // The rows own their pictures: the buttons go without them and are made again from the rows.
    FreeToolButtons(false);
    CreateToolBarButtons();
    CreateDrawButtons();
    CreateSubWindowButtons();
    SetColorFunctionDrawMode(g_colorTable[0].function);
    SelectDrawIndex(GetCurrentDraw());
    // Fewer buttons than before leave old pictures behind: the frame is filled, not only edged.
    PaintToolBarFrame(1);
    if (g_mainWindow)
        InvalidateRect(g_mainWindow, NULL, TRUE);
}
