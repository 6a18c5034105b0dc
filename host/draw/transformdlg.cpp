// The Transform dialog: lists the transform plug-ins and starts the chosen one on the current
// layer's area, or on the bounding box of its active regions.
#include "draw/transform.h"
#include "draw/transform_internal.h"
#include "base/app.h"
#include "base/messages.h"
#include "base/notify.h"
#include "image/cdib.h"
#include "image/current.h"
#include "plugins/loader.h"

enum { kTransformDialogTemplate = 153, kCancelButton = 3011, kDoButton = 3012, kTransformList = 3013 };

static void FillTransformList(HWND dialog)
{
    HWND list = GetDlgItem(dialog, kTransformList);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    // Loaded rows are contiguous from row 0: a list position is a row.
    for (int i = 0; i < kTransformRows && g_transformPlugins[i].module; i++)
        SendMessageA(list, LB_ADDSTRING, 0,
                     (LPARAM)PickLangText(g_transformPlugins[i].name, g_transformPlugins[i].translated));
}

static void SelectTransformListItem(HWND dialog, int index)
{
    if (index >= 0)
        SendDlgItemMessageA(dialog, kTransformList, LB_SETCURSEL, (WPARAM)index, 0);
}

void CloseTransformDialog()
{
    if (g_transform.dialog)
        DestroyWindow(g_transform.dialog);
    g_transform.dialog = NULL;
    if (!IsTransformRunning())
        g_transform.mode = false;
}

// The area the transform starts on, in group coordinates; false when there is none.
static bool SourceArea(ImageWindow *window, RECT *area)
{
    ImageGroup *g = window->group;
    int w, h, d;
    if (!GetImageSize(g->currentImage, &w, &h, &d))
        return false;
    int64_t ll = g->layerX, lt = g->layerY, lr = ll + w - 1, lb = lt + h - 1;
    int64_t l = ll, t = lt, r = lr, b = lb;
    if (window->activeRegion) {
        int rl, rt, rr, rb;
        QzsGetRegionArea(g, NULL, &rl, &rt, &rr, &rb, (int)window->activeRegion);
        if (rl < 0 && rr < 0)
            return false;
        l = rl, t = rt, r = rr, b = rb;
    }
    // Only what lies on the layer can be transformed.
    l = l < ll ? ll : l, t = t < lt ? lt : t, r = r > lr ? lr : r, b = b > lb ? lb : b;
    if (l > r || t > b)
        return false;
    *area = RECT{(LONG)l, (LONG)t, (LONG)r, (LONG)b};
    return true;
}

static void OnDo(HWND dialog)
{
    int row = (int)SendDlgItemMessageA(dialog, kTransformList, LB_GETCURSEL, 0, 0);
    if (row < 0 || row >= kTransformRows || !g_transformPlugins[row].module) {
        ShowErrorMessage(dialog, 1);
        return;
    }
    ImageWindow *window = g_currentWindow;
    RECT area;
    if (!window || !window->group || !window->group->currentImage ||
        !SourceArea(window, &area))
        return;
    ImageGroup *g = window->group;
    g_transform.source = g->currentImage;
    g_transform.group = g;
    g_transform.groupArea = area;
    g_transform.layerArea = RECT{(LONG)((int64_t)area.left - g->layerX), (LONG)((int64_t)area.top - g->layerY),
                                 (LONG)((int64_t)area.right - g->layerX), (LONG)((int64_t)area.bottom - g->layerY)};
    g_transform.regionBits = (int)window->activeRegion;
    const RECT &a = g_transform.layerArea;
    StartTransform(window, a.left, a.top, a.right, a.bottom, row);
    CloseTransformDialog();
    g_transform.mode = true;
    NotifyCursorChanged();
}

static void OnCommand(HWND dialog, WPARAM wParam)
{
    switch (LOWORD(wParam)) {
    case kTransformList:
        if (HIWORD(wParam) == LBN_DBLCLK)
            OnDo(dialog);
        break;
    case kDoButton: OnDo(dialog); break;
    case kCancelButton:
    case IDCANCEL: CloseTransformDialog(); break;
    }
}

static void OnInit(HWND dialog)
{
    g_transform.dialog = dialog;
    g_transform.mode = true;
    EnsureTransformsLoaded();
    FillTransformList(dialog);
}

static INT_PTR CALLBACK TransformDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: OnInit(dialog); return TRUE;
    case WM_COMMAND: OnCommand(dialog, wParam); return TRUE;
    case WM_CLOSE: CloseTransformDialog(); return TRUE;
    case WM_DESTROY:
        if (g_transform.dialog == dialog)
            g_transform.dialog = NULL;
        return TRUE;
    }
    return FALSE;
}

HWND GetTransformDialog() { return g_transform.dialog; }

void CreateTransformDialog(HWND owner)
{
    // While a transform runs the dialog stays closed.
    if (g_transform.dialog || IsTransformRunning())
        return;
    HWND dialog = CreateDialogParamA(g_instance, MAKEINTRESOURCEA(kTransformDialogTemplate), owner,
                                     TransformDialogProc, 0);
    if (!dialog) {
        g_transform.mode = false;
        return;
    }
    ShowWindow(dialog, SW_SHOW);
}

void RefillTransformList()
{
    HWND dialog = g_transform.dialog;
    if (!dialog)
        return;
    int index = (int)SendDlgItemMessageA(dialog, kTransformList, LB_GETCURSEL, 0, 0);
    FillTransformList(dialog);
    SelectTransformListItem(dialog, index);
}
