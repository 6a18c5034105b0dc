// The option pages. Each page fills its controls when it is made, so an Apply can never store
// controls that were not filled yet; numbers that would break the program later are refused
// and the setting kept.
#include "shell/options.h"
#include "files/save.h"
#include "plugins/params.h"
#include "base/app.h"
#include "base/settings.h"
#include "base/textutil.h"
#include <commctrl.h>
#include <prsht.h>
#include <stdio.h>
#include <initializer_list>
#include <stdlib.h>

namespace {
enum {
    kBindNew = 8000, kBindSingle = 8001, kCloseWithWindow = 8002, kCloseButton = 8003, kAutoAdjust = 8004,
    kMaxX = 8005, kMaxY = 8006, kFrameXEdit = 8007, kFrameYEdit = 8008, kModeAnd = 8009, kModeDelete = 8010,
    kModeOr = 8011, kSynchronize = 8012, kHeader = 8013, kVelocity = 8014, kFormatCombo = 8015, kOption = 8016,
    kMerge = 3000, kConfirm = 3001, kCurrentLayer = 3002,
};

struct PageState {
    bool loaded;
};
PageState s_window, s_display, s_file;
int s_fileDepth;

int ReadNumber(HWND page, int id, int bytes = 101)
{
    char text[256];
    GetDlgItemTextA(page, id, text, bytes < (int)sizeof text ? bytes : (int)sizeof text);
    return atoi(text);
}

void SetNumber(HWND page, int id, int value)
{
    SetDlgItemInt(page, id, (UINT)value, TRUE);
}

bool Checked(HWND page, int id)
{
    return IsDlgButtonChecked(page, id) == BST_CHECKED;
}

void Check(HWND page, int id, bool on)
{
    CheckDlgButton(page, id, on ? BST_CHECKED : BST_UNCHECKED);
}

void StoreIfAtLeast(int &setting, int value, int least)
{
    if (value >= least)
        setting = value;
}

void StoreIfWithin(int &setting, int value, int least, int most)
{
    if (value >= least && value <= most)
        setting = value;
}

void Result(HWND page, LONG_PTR value)
{
    SetWindowLongPtrA(page, DWLP_MSGRESULT, value);
}

// ---- Window ----
void LoadWindowPage(HWND page)
{
    Check(page, kBindNew, g_cfg.BindImageToOneWindow != 0);
    Check(page, kBindSingle, g_cfg.BindImageToOneWindow == 0);
    Check(page, kCloseWithWindow, g_cfg.CloseImageWithWindow != 0);
    Check(page, kCloseButton, g_cfg.CloseButtonAsCloseImage >= 1);
    Check(page, kAutoAdjust, g_cfg.AutoAdjustMode != 0);
    SetNumber(page, kMaxX, g_cfg.AdjMaxSizeX);
    SetNumber(page, kMaxY, g_cfg.AdjMaxSizeY);
    s_window.loaded = true;
}

void ApplyWindowPage(HWND page)
{
    if (Checked(page, kBindNew))
        g_cfg.BindImageToOneWindow = 1;
    else if (Checked(page, kBindSingle))
        g_cfg.BindImageToOneWindow = 0;
    g_cfg.CloseImageWithWindow = Checked(page, kCloseWithWindow) ? 1 : 0;
    g_cfg.CloseButtonAsCloseImage = Checked(page, kCloseButton) ? 2 : 0;
    g_cfg.AutoAdjustMode = Checked(page, kAutoAdjust) ? 1 : 0;
    StoreIfAtLeast(g_cfg.AdjMaxSizeX, ReadNumber(page, kMaxX), 1);
    StoreIfAtLeast(g_cfg.AdjMaxSizeY, ReadNumber(page, kMaxY), 1);
    DeriveSettings();
}

// ---- Display ----
void LoadDisplayPage(HWND page)
{
    SetNumber(page, kFrameXEdit, g_cfg.FrameX);
    SetNumber(page, kFrameYEdit, g_cfg.FrameY);
    static const int modes[3] = {kModeAnd, kModeDelete, kModeOr};
    for (int i = 0; i < 3; i++)
        Check(page, modes[i], g_cfg.StretchBltMode == i);
    Check(page, kSynchronize, g_cfg.SynchronizeUpdateImage != 0);
    SetNumber(page, kVelocity, g_cfg.RegAnimationVelocity);
    s_display.loaded = true;
}

void ApplyDisplayPage(HWND page)
{
    StoreIfWithin(g_cfg.FrameX, ReadNumber(page, kFrameXEdit) / 16 * 16, 0, kMostFrameMargin);
    StoreIfWithin(g_cfg.FrameY, ReadNumber(page, kFrameYEdit) / 16 * 16, 0, kMostFrameMargin);
    if (Checked(page, kModeAnd))
        g_cfg.StretchBltMode = 0;
    else if (Checked(page, kModeDelete))
        g_cfg.StretchBltMode = 1;
    else if (Checked(page, kModeOr))
        g_cfg.StretchBltMode = 2;
    g_cfg.SynchronizeUpdateImage = Checked(page, kSynchronize) ? 1 : 0;
    StoreIfAtLeast(g_cfg.RegAnimationVelocity, ReadNumber(page, kVelocity), 1);
}

// ---- File ----
int ChosenFormat(HWND page)
{
    LRESULT line = SendDlgItemMessageA(page, kFormatCombo, CB_GETCURSEL, 0, 0);
    if (line < 0)
        return SaveFormatIndexByName(g_cfg.DefaultSaveFormat);
    return (int)line + 1;
}

void FillSaveFormatCombo(HWND page)
{
    HWND combo = GetDlgItem(page, kFormatCombo);
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    for (const char *line : {"MRF (*.mrf)", "MR2 (*.mr2)", "BMP (*.bmp)"})
        SendMessageA(combo, CB_ADDSTRING, 0, (LPARAM)line);
    for (int row = 0; row < kSavePluginRows && SavePluginFormatName(row); row++) {
        char line[kTextBytes * 2];
        const char *filter = SavePluginFilter(row);
        snprintf(line, sizeof line, "%s (%s)", SavePluginFormatName(row), filter ? filter : "");
        SendMessageA(combo, CB_ADDSTRING, 0, (LPARAM)line);
    }
    int index = SaveFormatIndexByName(g_cfg.DefaultSaveFormat);
    SendMessageA(combo, CB_SETCURSEL, (WPARAM)(index - 1), 0);
}

void CheckMultiImageModeRadio(HWND page)
{
    int id = g_cfg.SaveModeInMultiImage == 1 ? kMerge : g_cfg.SaveModeInMultiImage == 0 ? kCurrentLayer : kConfirm;
    CheckRadioButton(page, kMerge, kCurrentLayer, id);
}

void LoadFilePage(HWND page)
{
    SetDlgItemTextA(page, kHeader, g_cfg.UntitledFileHeader);
    FillSaveFormatCombo(page);
    int format = ChosenFormat(page);
    s_fileDepth = g_cfg.DefaultSaveDepth;
    ShowSaveDepthButtons(page, format, 0);
    s_fileDepth = SelectSaveDepthButton(page, format, s_fileDepth, 0);
    CheckMultiImageModeRadio(page);
    s_file.loaded = true;
}

void RebuildSaveOptionPanel(HWND page)
{
    CloseSaveOptionPanel(true);
    ShowSaveOptionPanel(ChosenFormat(page), GetParent(page));
}

void ApplyFilePage(HWND page)
{
    char header[kTextBytes];
    GetDlgItemTextA(page, kHeader, header, sizeof header);
    CopyText(g_cfg.UntitledFileHeader, sizeof g_cfg.UntitledFileHeader, header);
    CopyText(g_cfg.DefaultSaveFormat, sizeof g_cfg.DefaultSaveFormat, SaveFormatNameByIndex(ChosenFormat(page)));
    g_cfg.DefaultSaveDepth = s_fileDepth;
    if (Checked(page, kMerge))
        g_cfg.SaveModeInMultiImage = 1;
    else if (Checked(page, kConfirm))
        g_cfg.SaveModeInMultiImage = 10;
    else if (Checked(page, kCurrentLayer))
        g_cfg.SaveModeInMultiImage = 0;
    CloseSaveOptionPanel(true);
}

void OnFileCommand(HWND page, int id, int code)
{
    for (int depth : {8, 16, 24, 32})
        if (id == DepthToButtonId(depth, 0)) {
            s_fileDepth = depth;
            return;
        }
    if (id == kFormatCombo && code == CBN_SELCHANGE) {
        int format = ChosenFormat(page);
        ShowSaveDepthButtons(page, format, 0);
        s_fileDepth = SelectSaveDepthButton(page, format, s_fileDepth, 0);
        RebuildSaveOptionPanel(page);
    } else if (id == kOption)
        RebuildSaveOptionPanel(page);
}

// The part every page shares: fill when made (or on the first paint after the sheet opened),
// store on Apply.
INT_PTR PageMessage(HWND page, UINT message, LPARAM lParam, PageState &state, void (*load)(HWND),
                    void (*apply)(HWND))
{
    switch (message) {
    case WM_INITDIALOG:
        load(page);
        return TRUE;
    case WM_PAINT:
        if (!state.loaded)
            load(page);
        return FALSE;
    case WM_NOTIFY:
        if (((NMHDR *)lParam)->code == PSN_APPLY) {
            apply(page);
            Result(page, PSNRET_NOERROR);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}
} // namespace

int SaveFormatIndexByName(const char *name)
{
    static const char *const builtIn[3] = {"MRF", "MR2", "BMP"};
    for (int i = 0; i < 3; i++)
        if (CompareTextNoCase(name, builtIn[i]) == 0)
            return i + 1;
    for (int row = 0; row < kSavePluginRows && SavePluginFormatName(row); row++)
        if (CompareTextNoCase(name, SavePluginFormatName(row)) == 0)
            return row + 4;
    return 0;
}

const char *SaveFormatNameByIndex(int number)
{
    static const char *const builtIn[3] = {"MRF", "MR2", "BMP"};
    if (number >= 1 && number <= 3)
        return builtIn[number - 1];
    if (number >= 4 && number < 100 && number - 4 < kSavePluginRows)
        if (const char *name = SavePluginFormatName(number - 4))
            return name;
    return "MRF";
}

INT_PTR CALLBACK WindowOptionsPageProc(HWND page, UINT message, WPARAM, LPARAM lParam)
{
    return PageMessage(page, message, lParam, s_window, LoadWindowPage, ApplyWindowPage);
}

INT_PTR CALLBACK DisplayOptionsPageProc(HWND page, UINT message, WPARAM, LPARAM lParam)
{
    return PageMessage(page, message, lParam, s_display, LoadDisplayPage, ApplyDisplayPage);
}

INT_PTR CALLBACK FileOptionsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        OnFileCommand(page, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_NOTIFY:
        switch (((NMHDR *)lParam)->code) {
        case PSN_SETACTIVE:
            RebuildSaveOptionPanel(page);
            Result(page, 0);
            return TRUE;
        case PSN_KILLACTIVE:
            CloseSaveOptionPanel(true);
            Result(page, FALSE);
            return TRUE;
        case PSN_RESET:
            CloseSaveOptionPanel(false);
            return TRUE;
        }
        break;
    }
    return PageMessage(page, message, lParam, s_file, LoadFilePage, ApplyFilePage);
}

void RunOptionsSheet()
{
    s_window.loaded = s_display.loaded = s_file.loaded = false;
    PROPSHEETPAGEA pages[3] = {};
    static const struct {
        int id;
        DLGPROC proc;
    } kinds[3] = {{6000, WindowOptionsPageProc}, {6001, DisplayOptionsPageProc}, {6002, FileOptionsPageProc}};
    for (int i = 0; i < 3; i++) {
        pages[i].dwSize = sizeof pages[i];
        pages[i].hInstance = g_instance;
        pages[i].pszTemplate = MAKEINTRESOURCEA(kinds[i].id);
        pages[i].pfnDlgProc = kinds[i].proc;
    }
    PROPSHEETHEADERA sheet = {};
    sheet.dwSize = sizeof sheet;
    sheet.dwFlags = PSH_PROPSHEETPAGE;
    sheet.hwndParent = g_mainWindow;
    sheet.hInstance = g_instance;
    sheet.pszCaption = "Options";
    sheet.nPages = 3;
    sheet.ppsp = pages;
    PropertySheetA(&sheet);
}
