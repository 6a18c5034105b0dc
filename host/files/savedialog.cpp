// The save dialog: template 143 with the depth buttons, and its hook fdlghook with the save
// plug-in's option panel.
#include "files/save.h"
#include "files/openimage.h"
#include "files/outside.h"
#include "plugins/params.h"
#include "base/app.h"
#include "base/settings.h"
#include "base/messages.h"
#include "base/msgbox.h"
#include <commdlg.h>
#include <dlgs.h>
#include <initializer_list>
#include <stdio.h>
#include <string.h>

enum { kSaveTemplate = 143, kHighQualityBox = 3000, kControlCommandBase = 20000, kTimerId = 1 };

static struct {
    char startName[kPathBytes]; // the name the dialog was started with, without extension
    HWND parent;
    ParameterPanel *panel;
    // The hook's and the whole dialog's sizes without a panel, measured when the first panel is
    // built: the panel goes below what the hook holds then, and both grow to show it.
    SIZE hook, whole;
    bool measured;
    bool panelToBuild;
    int format;
    int cycle;
} s_dlg;

static void PluginPanelName(int format, char *name, int size)
{
    SaverRecord *row = GetSaverRow(format);
    snprintf(name, (size_t)size, "%s", row ? row->name : "  ");
    char *dot = row ? strrchr(name, '.') : NULL;
    if (dot)
        *dot = 0;
}

static SIZE WindowSize(HWND window)
{
    RECT r = {};
    GetWindowRect(window, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

static void Resize(HWND window, SIZE size)
{
    SetWindowPos(window, NULL, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

static void BuildOptionPanel(HWND dialog, int format)
{
    if (s_dlg.panel)
        CloseParameterPanel(g_cfg.Saver_dir, s_dlg.panel, 1);
    s_dlg.panel = NULL;
    HWND parent = GetParent(dialog);
    if (!s_dlg.measured) {
        s_dlg.hook = WindowSize(dialog);
        s_dlg.whole = WindowSize(parent);
        s_dlg.measured = true;
    }
    // Back to the sizes without a panel before another is laid out below the hook's controls.
    Resize(dialog, s_dlg.hook);
    Resize(parent, s_dlg.whole);
    char name[256];
    PluginPanelName(format, name, sizeof name);
    s_dlg.panel = LoadParameterPanel(dialog, g_cfg.Saver_dir, name, 1, s_dlg.hook.cx, s_dlg.hook.cy, 5, 5);
    SetParameterPanel(kPanelSaveAs, s_dlg.panel);
    if (s_dlg.panel) {
        CreateParameterControls(dialog, s_dlg.panel);
        // The hook grew to hold the panel; the dialog around it grows as much, so nothing of the
        // panel lies below its bottom edge.
        SIZE grown = WindowSize(dialog);
        Resize(parent, SIZE{s_dlg.whole.cx + (grown.cx > s_dlg.hook.cx ? grown.cx - s_dlg.hook.cx : 0),
                            s_dlg.whole.cy + (grown.cy > s_dlg.hook.cy ? grown.cy - s_dlg.hook.cy : 0)});
        Resize(dialog, grown); // the dialog may lay its child out again when it is resized
        LoadParameterValues(1, s_dlg.panel, g_cfg.Saver_dir, name);
    }
    s_dlg.cycle = 0;
}

static void RedoDepthControls(HWND dialog)
{
    SetSaveDepth(SelectSaveDepthButton(dialog, GetSaveFormat(), GetSaveDepth(), 1));
    ShowSaveDepthButtons(dialog, GetSaveFormat(), 1);
}

static UINT_PTR OnInitDialog(HWND dialog)
{
    s_dlg.panel = NULL;
    s_dlg.measured = false;
    RedoDepthControls(dialog);
    CheckDlgButton(dialog, kHighQualityBox, GetSaveHighQuality() ? BST_CHECKED : BST_UNCHECKED);
    s_dlg.panelToBuild = true;
    if (!SetTimer(dialog, kTimerId, 100, NULL))
        ShowErrorMessage(g_mainWindow, 76);
    s_dlg.format = GetSaveFormat();
    return 1;
}

static UINT_PTR OnTypeChange(HWND dialog, OPENFILENAMEA *ofn)
{
    SetSaveFormat((int)ofn->nFilterIndex);
    char ext[32], text[kPathBytes + 40];
    if (!GetSaveFormatExtension(GetSaveFormat(), ext, sizeof ext)) {
        char message[32];
        snprintf(message, sizeof message, "Error(%d)", GetSaveFormat());
        AppMessageBox(g_mainWindow, message, "MES", MB_OK);
    }
    snprintf(text, sizeof text, "%s.%s", s_dlg.startName, ext);
    // The file-name box is a combo box in newer dialogs, a plain edit in older ones.
    int box = GetDlgItem(s_dlg.parent, cmb13) ? cmb13 : edt1;
    SendMessageA(s_dlg.parent, CDM_SETCONTROLTEXT, (WPARAM)box, (LPARAM)text);
    if (GetSaveFormat() != s_dlg.format)
        BuildOptionPanel(dialog, GetSaveFormat());
    s_dlg.format = GetSaveFormat();
    RedoDepthControls(dialog);
    return 1;
}

static UINT_PTR OnNotify(HWND dialog, const OFNOTIFYA *note)
{
    s_dlg.parent = GetParent(dialog);
    switch (note->hdr.code) {
    case CDN_INITDONE: // the panel shows as the dialog opens, not only once a file is picked
    case CDN_SELCHANGE:
        if (s_dlg.panelToBuild) {
            BuildOptionPanel(dialog, GetSaveFormat());
            InvalidateRect(dialog, NULL, TRUE);
            s_dlg.panelToBuild = false;
        }
        return 1;
    case CDN_TYPECHANGE:
        return OnTypeChange(dialog, note->lpOFN);
    }
    return 0;
}

static UINT_PTR OnCommand(HWND dialog, int id)
{
    if (id == kHighQualityBox) {
        SetSaveHighQuality(IsDlgButtonChecked(dialog, kHighQualityBox) == BST_CHECKED);
        return 1;
    }
    for (int depth : {8, 16, 24, 32})
        if (id == DepthToButtonId(depth, 1) && IsDlgButtonChecked(dialog, id) == BST_CHECKED) {
            SetSaveDepth(depth);
            return 1;
        }
    return 0;
}

static void OnTimer(HWND dialog)
{
    int count = CountParameterControls(s_dlg.panel);
    if (!s_dlg.panel || count <= 0)
        return;
    if (s_dlg.cycle >= count)
        s_dlg.cycle = 0;
    RouteCommandToParameterControl(dialog, WM_COMMAND, s_dlg.panel, (kControlCommandBase + s_dlg.cycle) | 0x4000000,
                                   0);
    s_dlg.cycle++;
}

static void OnDestroy(HWND dialog)
{
    KillTimer(dialog, kTimerId);
    if (GetSaverRow(GetSaveFormat())) {
        int count = CountParameterControls(s_dlg.panel);
        ClearSaveOptions();
        for (int i = 0; i < count && i < kSaveOptionSlots; i++)
            SetSaveOption(i, QzsGetParameter(4, i));
    }
    if (s_dlg.panel)
        CloseParameterPanel(g_cfg.Saver_dir, s_dlg.panel, 1);
    s_dlg.panel = NULL;
}

UINT_PTR CALLBACK fdlghook(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog);
    case WM_NOTIFY: return OnNotify(dialog, (const OFNOTIFYA *)lParam);
    case WM_COMMAND: return OnCommand(dialog, LOWORD(wParam));
    case WM_PAINT:
        if (s_dlg.panel)
            PaintParameterPanel(dialog, s_dlg.panel);
        return 0;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
        return s_dlg.panel ? RouteMouseToParameterControls(dialog, message, s_dlg.panel, wParam, lParam) : 0;
    case WM_TIMER: OnTimer(dialog); return 0;
    case WM_DESTROY: OnDestroy(dialog); return 0;
    }
    return 0;
}

int ShowSaveFileDialog(ImageGroup *group, char *buffer, int size)
{
    memset(buffer, 0, (size_t)size);
    char ext[32];
    if (!GetSaveFormatExtension(GetSaveFormat(), ext, sizeof ext))
        AppMessageBox(g_mainWindow, "Internal error!", "TEST", MB_OK);
    char dir[kPathBytes];
    GetProposedSaveName(group, dir, sizeof dir, s_dlg.startName, sizeof s_dlg.startName);
    snprintf(buffer, (size_t)size, "%s.%s", s_dlg.startName, ext);
    // The filter: every "|" becomes a NUL, and the list ends with an empty string.
    static char filter[kSaveFilterBytes + 256];
    snprintf(filter, sizeof filter, "%s%s", kNativeSaveFilter, g_furtherSaveFilter);
    size_t n = strlen(filter);
    for (size_t i = 0; i < n; i++)
        if (filter[i] == '|')
            filter[i] = 0;
    filter[n] = filter[n + 1] = 0;
    // The release of the button that closes the dialog may land on an image window.
    g_ignoreNextLeftRelease = true;
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = g_mainWindow;
    ofn.hInstance = g_instance;
    ofn.lpstrFilter = filter;
    ofn.nFilterIndex = (DWORD)GetSaveFormat();
    ofn.lpstrFile = buffer;
    ofn.nMaxFile = (DWORD)size;
    ofn.lpstrInitialDir = dir;
    ofn.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_SHOWHELP | OFN_PATHMUSTEXIST | OFN_EXPLORER |
                OFN_ENABLETEMPLATE | OFN_ENABLEHOOK;
    ofn.lpTemplateName = MAKEINTRESOURCEA(kSaveTemplate);
    ofn.lpfnHook = fdlghook;
    if (!GetSaveFileNameA(&ofn))
        return 1;
    GetDirectoryPart(buffer, g_lastOpenDirectory, sizeof g_lastOpenDirectory);
    return 0;
}
