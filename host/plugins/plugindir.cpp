// The plug-in directory dialog: seven directories, each with the shell's folder browser. The new
// values are kept in the settings and take effect at the next start.
#include "plugins/plugdialogs.h"
#include "base/app.h"
#include "base/messages.h"
#include "base/settings.h"
#include "base/textutil.h"
#include <shlobj.h>
#include <string.h>

enum { kPluginDirDialog = 154, kOk = 3022, kCancel = 3000 };

struct DirectoryField {
    int edit, browse;
    char (Settings::*dir)[kPathBytes];
};

static const DirectoryField kFields[] = {
    {3020, 3021, &Settings::Susie_dir},  {3023, 3024, &Settings::Draw_dir},
    {3025, 3026, &Settings::Subwin_dir}, {3027, 3028, &Settings::Effect_dir},
    {3029, 3030, &Settings::Transform_dir}, {3031, 3032, &Settings::Saver_dir},
    {3033, 3034, &Settings::FuncColor_dir},
};

static FolderBrowser s_browser;

void SetFolderBrowser(FolderBrowser browser) { s_browser = browser; }

// The browser opens at the start folder once it is shown.
static int CALLBACK BrowseCallback(HWND window, UINT message, LPARAM, LPARAM data)
{
    if (message == BFFM_INITIALIZED && data)
        SendMessageA(window, BFFM_SETSELECTIONA, TRUE, data);
    return 0;
}

static int ShellBrowseForFolder(HWND owner, const char *start, char *out, size_t size)
{
    HRESULT com = CoInitialize(NULL);
    BROWSEINFOA info = {};
    char display[MAX_PATH];
    info.hwndOwner = owner;
    info.pszDisplayName = display;
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    info.lpfn = BrowseCallback;
    info.lParam = (LPARAM)start;
    int picked = 0;
    if (LPITEMIDLIST list = SHBrowseForFolderA(&info)) {
        char path[MAX_PATH];
        if (SHGetPathFromIDListA(list, path) && strlen(path) < size) {
            strcpy(out, path);
            picked = 1;
        }
        CoTaskMemFree(list);
    }
    if (SUCCEEDED(com))
        CoUninitialize();
    return picked;
}

int BrowseForFolder(HWND owner, const char *start, char *out, size_t size)
{
    return (s_browser ? s_browser : ShellBrowseForFolder)(owner, start, out, size);
}

static void OnBrowse(HWND dialog, const DirectoryField &field)
{
    char start[kPathBytes], picked[kPathBytes];
    GetDlgItemTextA(dialog, field.edit, start, sizeof start);
    if (BrowseForFolder(dialog, start, picked, sizeof picked))
        SetDlgItemTextA(dialog, field.edit, picked);
}

// Every text is checked before any directory changes: a text too long for its setting is refused
// (its edit gets the focus), never cut into another directory.
static void OnOk(HWND dialog)
{
    for (const DirectoryField &f : kFields) {
        HWND edit = GetDlgItem(dialog, f.edit);
        if (GetWindowTextLengthA(edit) > kPluginDirChars) {
            MessageBeep(MB_ICONEXCLAMATION);
            SetFocus(edit);
            SendMessageA(edit, EM_SETSEL, 0, -1);
            return;
        }
    }
    for (const DirectoryField &f : kFields)
        GetDlgItemTextA(dialog, f.edit, g_cfg.*f.dir, kPluginDirChars + 1);
    ShowWarningMessage(dialog, 86);
    EndDialog(dialog, kOk);
}

static INT_PTR CALLBACK PluginDirectoryDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        for (const DirectoryField &f : kFields)
            SetDlgItemTextA(dialog, f.edit, g_cfg.*f.dir);
        return TRUE;
    case WM_COMMAND: {
        int id = LOWORD(wParam);
        if (id == kOk) {
            OnOk(dialog);
            return TRUE;
        }
        if (id == kCancel || id == IDCANCEL) {
            EndDialog(dialog, kCancel);
            return TRUE;
        }
        for (const DirectoryField &f : kFields)
            if (id == f.browse) {
                OnBrowse(dialog, f);
                return TRUE;
            }
        break;
    }
    }
    return FALSE;
}

void RunPluginDirectoryDialog(HWND owner)
{
    DialogBoxParamA(g_instance, MAKEINTRESOURCEA(kPluginDirDialog), owner, PluginDirectoryDialogProc, 0);
}
