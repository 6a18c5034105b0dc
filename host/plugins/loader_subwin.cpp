// Sub-window rows after loading: their windows, their tool buttons, and removing a row without
// leaving a hole that would end every walk of the list early.
#include "plugins/loader.h"
#include "plugins/subwin.h"
#include "base/app.h"
#include "base/stepclock.h"
#include <stdio.h>
#include <string.h>

void RemoveSubWindowRow(int i)
{
    if (i < 0 || i >= kSubWindowRows)
        return;
    UnloadSubWindowPlugin(i);
    memmove(&g_subWindows[i], &g_subWindows[i + 1], sizeof g_subWindows[0] * (kSubWindowRows - 1 - i));
    memset(&g_subWindows[kSubWindowRows - 1], 0, sizeof g_subWindows[0]);
}

void CreateSubWindows()
{
    for (int i = 0; i < kSubWindowRows && g_subWindows[i].module;) {
        SubWindowRecord &row = g_subWindows[i];
        if (!row.QzcShowDlg || row.window) {
            i++;
            continue;
        }
        row.window = row.QzcShowDlg(row.module, g_subParent, row.x, row.y);
        if (StepClockOn()) {
            char mark[32];
            snprintf(mark, sizeof mark, "subwin-%d", i);
            StepMark(mark);
        }
        if (row.window) {
            i++;
            continue;
        }
        // The later rows move up, so the command of the last row is the one left without a module.
        int last = CountSubWindows() - 1;
        if (g_mainWindow && GetMenu(g_mainWindow))
            EnableMenuItem(GetMenu(g_mainWindow), kSubWindowMenuFirst + last, MF_BYCOMMAND | MF_GRAYED);
        RemoveSubWindowRow(i);
    }
}

void ShowSubWindows()
{
    for (int i = 0; i < kSubWindowRows && g_subWindows[i].module; i++)
        if (g_subWindows[i].shown && g_subWindows[i].window)
            ShowWindow(g_subWindows[i].window, SW_SHOW);
}

int BuildSubWindowButtons(ToolButton *buttons, int capacity, int commandButtons)
{
    int x0 = commandButtons * 23 + 33;
    int n = 0;
    for (; n < capacity && n < kSubWindowRows && g_subWindows[n].module; n++) {
        ToolButton &b = buttons[n];
        b.left = x0 + 23 * n;
        b.top = 5;
        b.right = x0 + 23 * n + 22;
        b.bottom = 27;
        b.kind = 2;
        b.id = n;
        b.bitmap = g_subWindows[n].bitmap;
        b.pressed = g_subWindows[n].shown != 0;
        b.visible = !g_subWindows[n].docked;
        b.next = NULL;
        if (n > 0)
            buttons[n - 1].next = &b;
    }
    return n;
}
