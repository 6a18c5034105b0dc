// The question asked when a layered image is saved in a format that holds one image.
#include "plugins/plugdialogs.h"
#include "base/app.h"

enum { kMultiSaveDialog = 118, kMerge = 3000, kLayerSave = 3018, kCancel = 3019 };
// How the dialog ended. Neither is 0 nor -1, which DialogBoxParam gives when it cannot show it.
enum { kEndedMerge = 1, kEndedLayerSave = 2 };

static INT_PTR CALLBACK MultiSaveDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case kMerge: EndDialog(dialog, kEndedMerge); return TRUE;
        case kLayerSave: EndDialog(dialog, kEndedLayerSave); return TRUE;
        case kCancel:
        case IDCANCEL: EndDialog(dialog, 10); return TRUE; // Esc and the close box cancel too
        }
        break;
    }
    return FALSE;
}

int AskMultiImageSave()
{
    INT_PTR result = DialogBoxParamA(g_instance, MAKEINTRESOURCEA(kMultiSaveDialog), g_imageOwner,
                                     MultiSaveDialogProc, 0);
    // A dialog that cannot be shown cancels: nothing was chosen.
    return result == kEndedMerge ? 1 : result == kEndedLayerSave ? 0 : 10;
}
