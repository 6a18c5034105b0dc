// The sub-window plug-in that makes the pen, and the names the tool bar shows for plug-in rows.
#include "plugins/loader.h"
#include "plugins/subwin.h"
#include "base/messages.h"
#include <string.h>

static HWND s_penCreator; // the window of the plug-in that made the current pen

int CallSubWindowPenMaker(const char *name, const char *code)
{
    for (int row = 0; row < kSubWindowRows && g_subWindows[row].module; row++) {
        SubWindowRecord &r = g_subWindows[row];
        if (name && strcmp(r.name, name) != 0)
            continue;
        if (!r.QzcMakePen) {
            if (name)
                return 0; // that plug-in makes no pens
            continue;
        }
        SubWindowCallScope in;
        r.QzcMakePen(code ? code : "");
        s_penCreator = r.window;
        return 1;
    }
    return 0;
}

void RememberPenCreator(HWND window)
{
    s_penCreator = window;
}

HWND GetPenCreatorWindow()
{
    return s_penCreator;
}

int MakePenInSubWindow(HWND window, char *code)
{
    for (int row = 0; row < kSubWindowRows && g_subWindows[row].module; row++) {
        SubWindowRecord &r = g_subWindows[row];
        if (r.window != window || !r.QzcMakePen)
            continue;
        RememberPenCreator(window);
        SubWindowCallScope in;
        r.QzcMakePen(code);
        return 1;
    }
    return 0;
}

const char *PenCreatorPluginName()
{
    if (!s_penCreator)
        return "";
    for (int row = 0; row < kSubWindowRows && g_subWindows[row].module; row++)
        if (g_subWindows[row].window == s_penCreator)
            return g_subWindows[row].name;
    return "";
}

void SendPenPressure(int pressure, int max)
{
    SendSubWindowMessage(s_penCreator, 11, pressure, max);
}

const char *SubWindowDisplayName(int row)
{
    const char *name = GetSubWindowName(row);
    return name ? name : "";
}

const char *DrawMethodDisplayName(int row)
{
    DrawPluginRecord *r = GetDrawPluginRow(row);
    return r ? PickLangText(r->name, r->translated) : "";
}
