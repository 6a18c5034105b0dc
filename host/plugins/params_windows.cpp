// The panels of the program's own parameter windows: the functional-colour window, the draw window
// at quit, and the save-option panel of the Options page in the "SAVEpara" window.
#include "image/bindings.h"
#include "plugins/savers.h"
#include "plugins/params.h"
#include "base/settings.h"
#include "base/textutil.h"
#include <stdio.h>

HWND g_drawParamWindow, g_colorParamWindow, g_saveParamWindow;
static int s_drawParamNotifySuppressed;

void SuppressDrawParamNotify(int flag)
{
    s_drawParamNotifySuppressed = flag;
}

bool IsDrawParamNotifySuppressed()
{
    return s_drawParamNotifySuppressed != 0;
}

void CloseDrawAndColorParameterPanels()
{
    CloseParameterPanel(g_cfg.Draw_dir, GetParameterPanel(kPanelDraw), 1);
    CloseParameterPanel(g_cfg.FuncColor_dir, GetParameterPanel(kPanelColor), 1);
}

void RebuildColorParameterPanel(const char *moduleFile)
{
    char name[kTextBytes];
    GetTextBeforeLast(moduleFile ? moduleFile : "", name, sizeof name, '.');
    ExchangeParameterPanel(kPanelColor, g_colorParamWindow, g_cfg.FuncColor_dir, name);
}

void ShowSaveOptionPanel(int format, HWND anchor)
{
    HWND window = g_saveParamWindow;
    if (!window)
        return;
    char name[kTextBytes] = "    "; // built-in formats: a name no panel file has
    if (SaverRecord *row = GetSaverRow(format)) {
        GetTextBeforeLastOrAll(row->name, name, sizeof name, '.');
        RECT r;
        if (anchor && GetWindowRect(anchor, &r))
            SetWindowPos(window, NULL, r.left, r.bottom, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ParameterPanel *panel = LoadParameterPanel(window, g_cfg.Saver_dir, name, 0, 200, 80, 5, 5);
    SetParameterPanel(kPanelSaveDefault, panel);
    if (panel) {
        CreateParameterControls(window, panel);
        LoadParameterValues(1, panel, g_cfg.Saver_dir, name);
    }
}

void CloseSaveOptionPanel(bool writeValues)
{
    ParameterPanel *panel = GetParameterPanel(kPanelSaveDefault);
    if (panel) {
        ClearParameterPanel(g_saveParamWindow, panel);
        CloseParameterPanel(g_cfg.Saver_dir, panel, writeValues ? 1 : 0);
    }
    if (g_saveParamWindow)
        ShowWindow(g_saveParamWindow, SW_HIDE);
}

// The plug-in of functional colour n hears every value of the colour panel.
void LoadFuncColorParameters(int n)
{
    if (n <= 0 || n > kColorFunctionRows)
        return;
    ColorFunctionRecord *row = GetColorFunctionRow(n - 1);
    if (!row || !row->QzcChangedParameter)
        return;
    ParameterPanel *panel = GetParameterPanel(3);
    int i = 0;
    for (ParameterControl *c = panel ? panel->first : NULL; c; c = c->next, i++)
        row->QzcChangedParameter(i, QzsGetParameter(3, i));
}

void ShowColorFunctionPanel(const char *moduleFile, int function)
{
    RebuildColorParameterPanel(moduleFile);
    LoadFuncColorParameters(function);
}
