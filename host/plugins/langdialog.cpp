// The language dialog of the first start: English or the translation.
#include "plugins/plugdialogs.h"
#include "base/app.h"
#include "base/settings.h"

enum { kLanguageDialog = 104, kOk = 3000, kEnglish = 3001, kTranslated = 3017 };

static INT_PTR CALLBACK LanguageDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        CheckRadioButton(dialog, kEnglish, kTranslated, kEnglish);
        return TRUE;
    case WM_COMMAND:
        // Enter and the close box take the checked language too: once shown, the choice is made and
        // the next start does not ask again.
        if (LOWORD(wParam) == kOk || LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            g_cfg.LANG = IsDlgButtonChecked(dialog, kEnglish) == BST_CHECKED ? 0 : 1;
            EndDialog(dialog, kOk);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

void ShowLanguageDialog(HWND owner)
{
    if (DialogBoxParamA(g_instance, MAKEINTRESOURCEA(kLanguageDialog), owner, LanguageDialogProc, 0) <= 0)
        g_cfg.LANG = 0; // no dialog could be shown: the built-in English texts
}
