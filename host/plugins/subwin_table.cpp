// The sub-window rows seen from outside: look-ups by name and window, the shown flag kept in step
// with the window, the tool button and the menu check, hiding on the plug-in's own request, and the
// main loop's dialog-message filter.
#include "plugins/loader.h"
#include "plugins/subwin.h"
#include "base/app.h"
#include "base/notify.h"
#include <string.h>

enum { kButtonSubWindow = 2 };

// Walks stop at the first row without a module: rows are removed by moving the later ones up.
static bool Loaded(int row)
{
    return row >= 0 && row < kSubWindowRows && g_subWindows[row].module;
}

int FindSubWindowByName(const char *name)
{
    if (!name)
        return -1;
    for (int row = 0; Loaded(row); row++)
        if (strcmp(g_subWindows[row].name, name) == 0)
            return row;
    return -1;
}

int FindSubWindowByWindow(HWND window)
{
    if (!window)
        return -10;
    for (int row = 0; Loaded(row); row++)
        if (g_subWindows[row].window == window)
            return row;
    return -10;
}

void CheckSubWindowMenuItem(int row)
{
    HMENU menu = g_mainWindow ? GetMenu(g_mainWindow) : NULL;
    if (menu && Loaded(row))
        CheckMenuItem(menu, kSubWindowMenuFirst + row,
                      MF_BYCOMMAND | (g_subWindows[row].shown ? MF_CHECKED : MF_UNCHECKED));
}

void SetSubWindowShown(int row, int on)
{
    if (!Loaded(row))
        return;
    SubWindowRecord &r = g_subWindows[row];
    r.shown = on ? 1 : 0;
    if (r.window)
        ShowWindow(r.window, on ? SW_SHOW : SW_HIDE);
    NotifyToolButtonPressed(kButtonSubWindow, row, r.shown);
    CheckSubWindowMenuItem(row);
    if (g_mainWindow)
        InvalidateRect(g_mainWindow, NULL, FALSE);
}

void ToggleSubWindow(int row)
{
    if (Loaded(row))
        SetSubWindowShown(row, !g_subWindows[row].shown);
}

QZS_DECL(int) QzsHideDlg(HWND window)
{
    if (window)
        ShowWindow(window, SW_HIDE);
    int row = FindSubWindowByWindow(window);
    if (row < 0)
        return 1;
    SetSubWindowShown(row, 0);
    return 0;
}

int IsSubWindowDialogMessage(MSG *message)
{
    for (int row = 0; Loaded(row); row++) {
        const SubWindowRecord &r = g_subWindows[row];
        if ((r.info & 1) && r.window && IsDialogMessageA(r.window, message))
            return 1;
    }
    return 0;
}
