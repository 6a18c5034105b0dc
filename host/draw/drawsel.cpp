// Choosing the current draw method: by row from the draw menu, the tool bar and start-up, by name
// from macros and sub-window plug-ins. A choice is refused while drawing is locked and when a fill
// tool meets a functional colour that cannot fill; the tool button, menu check, parameter panel,
// mode text and the sub-window plug-ins follow every accepted choice.
#include "draw/drawsel.h"
#include "draw/drawmouse.h"
#include "base/app.h"
#include "base/messages.h"
#include "base/notify.h"
#include "base/settings.h"
#include "base/textutil.h"
#include "image/bindings.h"
#include "image/colors.h"
#include "plugins/params.h"
#include "plugins/subwin.h"
#include <string.h>

enum { kMessageBadCombination = 62, kMessageLocked = 73, kMessageNoDrawFits = 80 };

// The current method before any choice: the row the program starts from.
static int s_current = 1;

int GetCurrentDraw()
{
    return s_current;
}

DrawPluginRecord *GetCurrentDrawPlugin()
{
    return GetDrawPluginRow(s_current);
}

int GetCurrentDrawInfo()
{
    DrawPluginRecord *row = GetCurrentDrawPlugin();
    return row ? row->info : 0;
}

// The info word of functional colour f (1-based); 0 for none.
static int ColorInfo(int function)
{
    const ColorFunctionRecord *row = function > 0 ? GetColorFunctionRow(function - 1) : NULL;
    return row ? row->info : 0;
}

int CheckDrawColorCombination(int drawRow, int function)
{
    const DrawPluginRecord *row = GetDrawPluginRow(drawRow);
    return (ColorInfo(function) & 2) && row && (row->info & 1) ? 0 : 1;
}

void DrawModeName(int mode, char *out, size_t size)
{
    static const char *const kNames[] = {"***", "Drag", "Click", "!SYSError!", "Free"};
    CopyText(out, size, mode >= 0 && mode <= 4 ? kNames[mode] : "");
}

void ShowDrawModeStatus(int kind)
{
    char text[32];
    DrawModeName(kind == 3 ? QzsGetClickMode() : kind, text, sizeof text);
    if (IsCheckModeOn() && !(GetCurrentDrawInfo() & 0x20))
        CopyText(text + strlen(text), sizeof text - strlen(text), "/CHECK_ON");
    NotifyStatusBarText(1, text);
}

void ShowCurrentDrawModeStatus()
{
    DrawPluginRecord *row = GetCurrentDrawPlugin();
    ShowDrawModeStatus(row ? row->interaction : 0);
}

// The draw panel of the row: named after its module file up to the last dot.
static void ExchangeDrawPanel(const DrawPluginRecord &row)
{
    char name[QZ_FILE_LEN];
    GetTextBeforeLast(row.file, name, sizeof name, '.');
    ExchangeParameterPanel(kPanelDraw, g_drawParamWindow, g_cfg.Draw_dir, name);
    if (g_drawParamWindow)
        InvalidateRect(g_drawParamWindow, NULL, TRUE);
}

int SelectDraw(int row)
{
    DrawPluginRecord *r = GetDrawPluginRow(row);
    if (!r)
        return 0;
    if (QzsCheckLockDraw()) {
        ShowErrorMessage(g_mainWindow, kMessageLocked);
        return 0;
    }
    int function = QzsGetColor(0)->function;
    if (function > 0 && !CheckDrawColorCombination(row, function)) {
        ShowErrorMessage(g_mainWindow, kMessageBadCombination);
        return 0;
    }
    EraseHoverGuide(1);
    int old = s_current;
    s_current = row;
    NotifyDrawSelected(old, row);
    ExchangeDrawPanel(*r);
    ShowDrawModeStatus(r->interaction);
    BroadcastDrawChanged(row);
    NotifyCursorChanged();
    if (g_mainWindow)
        InvalidateRect(g_mainWindow, NULL, TRUE);
    return 1;
}

void SelectDrawIndex(int row)
{
    if (row < 0 || row >= kDrawRows)
        return;
    int old = s_current;
    s_current = row;
    NotifyDrawSelected(old, row);
}

QZS_DECL(int) QzsSetDrawByID(int index)
{
    return SelectDraw(index);
}

QZS_DECL(int) QzsSetDrawByName(const char *name)
{
    if (!name)
        return -1;
    for (int row = 0; row < kDrawRows; row++) {
        const DrawPluginRecord *r = GetDrawPluginRow(row);
        if (r && CompareTextNoCase(r->name, name) == 0)
            return SelectDraw(row) ? row : -2;
    }
    return -1;
}

QZS_DECL(DrawPluginRecord *) QzsGetDrawInfo(int index)
{
    return GetDrawPluginRow(index);
}

int SelectDrawForColorFunction()
{
    int function = QzsGetColor(0)->function;
    if (function <= 0 || CheckDrawColorCombination(s_current, function))
        return 1;
    for (int row = 0; row < kDrawRows && GetDrawPluginRow(row); row++)
        if (CheckDrawColorCombination(row, function)) {
            SelectDraw(row);
            return 1;
        }
    ShowErrorMessage(g_mainWindow, kMessageNoDrawFits);
    return 0;
}

void ResetDrawSelection()
{
    s_current = 1;
    ResetDrawLock();
}
