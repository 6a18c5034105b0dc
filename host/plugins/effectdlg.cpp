// The modeless effect dialog: its opening and closing, painting, scroll bars, commands, the tree
// and the parameter panel of the chosen effect.
#include "plugins/effectdlg_internal.h"
#include "base/notify.h"
#include "plugins/effecttree.h"
#include "plugins/params.h"
#include "image/group.h"
#include "base/app.h"
#include "base/settings.h"
#include "base/messages.h"
#include "base/textutil.h"
#include "view/winlist.h"
#include <commctrl.h>

EffectDialogState g_effectDlg;

enum { kScrollLine = 5, kMessageNoRegion = 0, kMessageNoItem = 1, kMessageViewMode = 78 };

HWND GetEffectDialog() { return g_effectDlg.dialog; }
bool InEffectMode() { return g_effectDlg.effectMode; }

int GetSelectedEffect(HWND dialog) { return GetSelectedTreeEffect(dialog); }

static int ActiveRegionOfWindow() { return g_currentWindow ? (int)g_currentWindow->activeRegion : 0; }

static void SetBar(HWND dialog, int id, const PreviewBar &bar)
{
    HWND control = GetDlgItem(dialog, id);
    if (!control)
        return;
    SCROLLINFO si = {};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_POS | SIF_DISABLENOSCROLL;
    si.nMin = 0;
    si.nMax = bar.maximum;
    si.nPos = bar.position;
    SetScrollInfo(control, SB_CTL, &si, TRUE);
    EnableWindow(control, bar.enabled ? TRUE : FALSE);
}

void UpdatePreviewWindow(HWND dialog)
{
    EffectDialogState &s = g_effectDlg;
    PreviewBar h, v;
    ComputePreviewWindow(s.area, s.scrollX, s.scrollY, g_cfg.EffectPreviewMode, &s.window, &h, &v);
    if (dialog) {
        SetBar(dialog, kPreviewHBar, h);
        SetBar(dialog, kPreviewVBar, v);
    }
}

// ---- the parameter panel ----

static void RebuildPanel(HWND dialog)
{
    EffectDialogState &s = g_effectDlg;
    s.panelReady = 0;
    if (s.panel) {
        ClearParameterPanel(dialog, s.panel);
        CloseParameterPanel(g_cfg.Effect_dir, s.panel, 1);
        s.panel = NULL;
    }
    EffectPluginRecord *row = GetEffectRow(GetSelectedEffect(dialog));
    if (!row) {
        SetWindowPos(dialog, NULL, 0, 0, s.outerWidth, s.outerHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    char name[QZ_FILE_LEN];
    GetTextBeforeLastOrAll(row->file, name, sizeof name, '.');
    s.panel = LoadParameterPanel(dialog, g_cfg.Effect_dir, name, 1, s.outerWidth, s.outerHeight, 5, 5);
    SetParameterPanel(kPanelEffect, s.panel);
    if (s.panel) {
        CreateParameterControls(dialog, s.panel);
        LoadParameterValues(1, s.panel, g_cfg.Effect_dir, name);
    }
    s.panelReady = 1;
    if (g_cfg.EffectAutoPreview)
        RunPreview(dialog);
}

static void SelectEffectInTree(HWND dialog, int row)
{
    EffectPluginRecord *effect = GetEffectRow(row);
    if (!effect || !effect->treeItem)
        return;
    HWND tree = GetDlgItem(dialog, kEffectTreeControl);
    // Selecting sends the selection change, which rebuilds the panel; the same item again does not.
    HTREEITEM before = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0);
    SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, (LPARAM)effect->treeItem);
    if (before == effect->treeItem)
        RebuildPanel(dialog);
}

void CloseEffectParameterPanel()
{
    EffectDialogState &s = g_effectDlg;
    if (s.panel)
        CloseParameterPanel(g_cfg.Effect_dir, s.panel, 1);
    s.panel = NULL;
    s.panelReady = 0;
    s.effectMode = false;
}

// ---- messages ----

static void OnInit(HWND dialog)
{
    EffectDialogState &s = g_effectDlg;
    s.dialog = dialog;
    s.effectMode = true;
    s.panelReady = 0;
    EnsureEffectsLoaded();
    s.activeRegion = ActiveRegionOfWindow();
    s.available = GetEffectArea(g_currentWindow, 0, &s.area);
    UpdatePreviewWindow(dialog);
    RECT r;
    GetWindowRect(dialog, &r);
    s.outerWidth = r.right - r.left;
    s.outerHeight = r.bottom - r.top;
    PlacePreview(dialog);
    CreatePreviewImages();
    FillEffectTree(dialog);
    SelectEffectInTree(dialog, s.lastEffect);
}

static void OnPaint(HWND dialog)
{
    EffectDialogState &s = g_effectDlg;
    PAINTSTRUCT ps;
    BeginPaint(dialog, &ps);
    EndPaint(dialog, &ps);
    s.activeRegion = ActiveRegionOfWindow();
    s.available = GetEffectArea(g_currentWindow, s.activeRegion, &s.area);
    CheckRadioButton(dialog, kPartRadio, kWholeRadio, g_cfg.EffectPreviewMode == 1 ? kWholeRadio : kPartRadio);
    CheckDlgButton(dialog, kAutoPreviewBox, g_cfg.EffectAutoPreview ? BST_CHECKED : BST_UNCHECKED);
    s.scrollX = ClampScroll(s.scrollX, s.area.right - s.area.left);
    s.scrollY = ClampScroll(s.scrollY, s.area.bottom - s.area.top);
    UpdatePreviewWindow(dialog);
    if (!g_cfg.EffectAutoPreview || !s.panelReady)
        DrawSourceView(dialog, false);
    else
        RunPreview(dialog);
    PaintParameterPanel(dialog, s.panel);
}

static void OnScroll(HWND dialog, HWND bar, int code)
{
    EffectDialogState &s = g_effectDlg;
    int id = GetDlgCtrlID(bar);
    if (id != kPreviewHBar && id != kPreviewVBar)
        return;
    bool horizontal = id == kPreviewHBar;
    int &offset = horizontal ? s.scrollX : s.scrollY;
    int extent = horizontal ? s.area.right - s.area.left : s.area.bottom - s.area.top;
    int value = offset;
    switch (code) {
    case SB_LINELEFT: value -= kScrollLine; break;
    case SB_LINERIGHT: value += kScrollLine; break;
    case SB_PAGELEFT: value -= kPreviewSize; break;
    case SB_PAGERIGHT: value += kPreviewSize; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: {
        SCROLLINFO si = {};
        si.cbSize = sizeof si;
        si.fMask = SIF_TRACKPOS;
        GetScrollInfo(bar, SB_CTL, &si);
        value = si.nTrackPos;
        break;
    }
    default: return;
    }
    value = ClampScroll(value, extent);
    bool changed = value != offset;
    if (changed) {
        offset = value;
        UpdatePreviewWindow(dialog);
        DrawSourceView(dialog, false);
    }
    if (g_cfg.EffectAutoPreview && ((changed && code != SB_THUMBTRACK) || code == SB_THUMBPOSITION))
        RunPreview(dialog);
}

static void CloseDialog(HWND dialog)
{
    g_effectDlg.effectMode = false;
    NotifyCursorChanged();
    DestroyWindow(dialog);
    FreePreviewImages();
}

static void OnApply(HWND dialog)
{
    EffectDialogState &s = g_effectDlg;
    if (s.area.right < 0 || s.area.bottom < 0) {
        ShowErrorMessage(dialog, kMessageNoRegion);
        return;
    }
    int row = GetSelectedEffect(dialog);
    if (row < 0) {
        ShowErrorMessage(dialog, kMessageNoItem);
        return;
    }
    if (!IsCurrentImage32()) {
        ShowErrorMessage(dialog, kMessageViewMode);
        return;
    }
    if (!GetEffectRow(row)->QzcEffect)
        return;
    QzsSetActiveRegion(s.activeRegion);
    ApplyEffect(g_currentWindow, row, s.area.left, s.area.top, s.area.right, s.area.bottom, s.activeRegion, 1, 1);
    s.lastEffect = row;
    if (IsDlgButtonChecked(dialog, kContinueBox) != BST_CHECKED) {
        CloseDialog(dialog);
    } else {
        if (g_mainWindow)
            SetActiveWindow(g_mainWindow);
        SetActiveWindow(dialog);
    }
}

static void OnCommand(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    int id = LOWORD(wParam);
    if (id >= kControlIdBase) {
        RouteCommandToParameterControl(dialog, message, g_effectDlg.panel, wParam, lParam);
        if (g_cfg.EffectAutoPreview)
            RunPreview(dialog);
        return;
    }
    switch (id) {
    case kPreviewButton: RunPreview(dialog); break;
    case kPartRadio:
    case kWholeRadio:
        g_cfg.EffectPreviewMode = id == kWholeRadio ? 1 : 0;
        UpdatePreviewWindow(dialog);
        DrawSourceView(dialog, false);
        if (g_cfg.EffectAutoPreview)
            RunPreview(dialog);
        break;
    case kAutoPreviewBox:
        g_cfg.EffectAutoPreview = IsDlgButtonChecked(dialog, kAutoPreviewBox) == BST_CHECKED ? 1 : 0;
        InvalidateRect(dialog, NULL, TRUE);
        break;
    case kApplyButton: OnApply(dialog); break;
    case kCancelButton:
    case IDCANCEL: CloseDialog(dialog); break;
    }
}

static LRESULT OnNotify(HWND dialog, const NMHDR *note)
{
    if (!note || note->idFrom != kEffectTreeControl)
        return 0;
    if (note->code == TVN_SELCHANGEDA || note->code == TVN_SELCHANGEDW)
        RebuildPanel(dialog);
    else if (note->code == NM_DBLCLK && GetSelectedEffect(dialog) >= 0)
        // Apply may close the dialog, and the tree still works on itself after the notification:
        // the Apply runs once the tree has returned.
        PostMessageA(dialog, WM_COMMAND, kApplyButton, 0);
    return 0;
}

static void OnMouse(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (RouteMouseToParameterControls(dialog, message, g_effectDlg.panel, wParam, lParam) && g_cfg.EffectAutoPreview)
        RunPreview(dialog);
}

static void OnDestroy(HWND dialog)
{
    EffectDialogState &s = g_effectDlg;
    int row = GetSelectedEffect(dialog);
    if (row >= 0)
        s.lastEffect = row;
    StoreEffectTree(dialog);
    if (s.panel)
        CloseParameterPanel(g_cfg.Effect_dir, s.panel, 1);
    s.panel = NULL;
    s.panelReady = 0;
    s.dialog = NULL;
    s.effectMode = false;
}

INT_PTR CALLBACK EffectDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: OnInit(dialog); return TRUE;
    case WM_PAINT: OnPaint(dialog); return TRUE;
    case WM_HSCROLL:
    case WM_VSCROLL: OnScroll(dialog, (HWND)lParam, LOWORD(wParam)); return TRUE;
    case WM_COMMAND: OnCommand(dialog, message, wParam, lParam); return TRUE;
    case WM_NOTIFY: SetWindowLongPtrA(dialog, DWLP_MSGRESULT, OnNotify(dialog, (const NMHDR *)lParam)); return TRUE;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP: OnMouse(dialog, message, wParam, lParam); return TRUE;
    case WM_CLOSE: CloseDialog(dialog); return TRUE;
    case WM_DESTROY: OnDestroy(dialog); return TRUE;
    }
    return FALSE;
}

void CreateEffectDialog(HWND owner)
{
    if (g_effectDlg.dialog)
        return;
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_TREEVIEW_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    HWND dialog = CreateDialogParamA(g_instance, MAKEINTRESOURCEA(kEffectDialogTemplate), owner, EffectDialogProc, 0);
    if (!dialog)
        return;
    ShowWindow(dialog, SW_SHOW);
    UpdateWindow(dialog);
}

void RefillEffectTree()
{
    HWND dialog = g_effectDlg.dialog;
    if (!dialog)
        return;
    int row = GetSelectedEffect(dialog);
    StoreEffectTree(dialog);
    ClearEffectTree(dialog);
    FillEffectTree(dialog);
    SelectEffectInTree(dialog, row >= 0 ? row : g_effectDlg.lastEffect);
}
