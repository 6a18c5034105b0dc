#include "shell/newimage.h"
#include "image/cdib.h"
#include "image/imagelist.h"
#include "plugins/subwin.h"
#include "base/app.h"
#include "base/settings.h"
#include "shell/winproc.h"
#include <stdio.h>
#include <stdlib.h>

static CDIB *s_created;

void AddRecentImageSize(int width, int height)
{
    for (int i = 0; i < kRememberedSizes; i++)
        if (g_cfg.NewImageSize[i][0] == width && g_cfg.NewImageSize[i][1] == height)
            return;
    for (int i = kRememberedSizes - 1; i > 0; i--) {
        g_cfg.NewImageSize[i][0] = g_cfg.NewImageSize[i - 1][0];
        g_cfg.NewImageSize[i][1] = g_cfg.NewImageSize[i - 1][1];
    }
    g_cfg.NewImageSize[0][0] = width;
    g_cfg.NewImageSize[0][1] = height;
}

static int ReadNumber(HWND dialog, int id)
{
    char text[81];
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return atoi(text);
}

static void OnInit(HWND dialog)
{
    SetDlgItemInt(dialog, kNewWidthEdit, (UINT)g_cfg.NewImageX, TRUE);
    SetDlgItemInt(dialog, kNewHeightEdit, (UINT)g_cfg.NewImageY, TRUE);
    SendDlgItemMessageA(dialog, kNewWidthEdit, EM_SETSEL, 0, -1);
    SetFocus(GetDlgItem(dialog, kNewWidthEdit));
    for (int i = 0; i < kRememberedSizes; i++) {
        char line[32];
        snprintf(line, sizeof line, "%4dx%4d", g_cfg.NewImageSize[i][0], g_cfg.NewImageSize[i][1]);
        SendDlgItemMessageA(dialog, kNewSizeList, LB_ADDSTRING, 0, (LPARAM)line);
    }
    static const int radios[3] = {kNewBackColor, kNewWhite, kNewBlack};
    if (g_cfg.NewImageBackground >= 0 && g_cfg.NewImageBackground <= 2)
        CheckDlgButton(dialog, radios[g_cfg.NewImageBackground], BST_CHECKED);
}

static void OnSizeChosen(HWND dialog)
{
    LRESULT row = SendDlgItemMessageA(dialog, kNewSizeList, LB_GETCURSEL, 0, 0);
    if (row < 0 || row >= kRememberedSizes)
        return;
    SetDlgItemInt(dialog, kNewWidthEdit, (UINT)g_cfg.NewImageSize[row][0], TRUE);
    SetDlgItemInt(dialog, kNewHeightEdit, (UINT)g_cfg.NewImageSize[row][1], TRUE);
}

static void OnOk(HWND dialog)
{
    g_cfg.NewImageX = ReadNumber(dialog, kNewWidthEdit);
    g_cfg.NewImageY = ReadNumber(dialog, kNewHeightEdit);
    g_cfg.NewImageBackground = IsDlgButtonChecked(dialog, kNewBackColor)   ? 0
                               : IsDlgButtonChecked(dialog, kNewWhite) ? 1
                               : IsDlgButtonChecked(dialog, kNewBlack) ? 2
                                                                        : -1;
    EndDialog(dialog, IDOK);
    // The record's creation checks the size before it allocates and reports a refusal itself.
    CDIB *image = NULL;
    if (CreateImageRecord(&image, g_cfg.NewImageX, g_cfg.NewImageY, 32) == 0 && image) {
        FillImageBackground(image, GetNewImageBackColor(), 255);
        BroadcastImageListChanged();
        image->path[0] = 0;
        QzsSetUntitle(image, 0);
        s_created = image;
    }
    AddRecentImageSize(g_cfg.NewImageX, g_cfg.NewImageY);
}

INT_PTR CALLBACK NewImageDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInit(dialog);
        return FALSE; // the focus is set already
    case WM_COMMAND: {
        int id = LOWORD(wParam), code = HIWORD(wParam);
        if (id == kNewSizeList && code == LBN_SELCHANGE)
            OnSizeChosen(dialog);
        else if ((id == kNewSizeList && code == LBN_DBLCLK) || id == kNewOk)
            OnOk(dialog);
        else if (id == IDCANCEL)
            EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
    }
    return FALSE;
}

CDIB *RunNewImageDialog(HWND owner)
{
    s_created = NULL;
    DialogBoxParamA(g_instance, "IDD_NEWIMG", owner, NewImageDialogProc, 0);
    return s_created;
}
