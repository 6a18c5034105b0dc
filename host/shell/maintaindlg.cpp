// The plug-in maintenance dialog (resource 106): two painted lists, the regular one of loaded
// plug-ins and the reserve of set-aside modules, with their scroll bars and buttons.
#include "shell/maintain.h"
#include "plugins/loader.h"
#include "plugins/subwin.h"
#include "image/bindings.h"
#include "base/app.h"
#include "base/messages.h"
#include "base/notify.h"
#include <stdio.h>

enum { kMaintainDialog = 106, kDelete = 1, kEnd = 2, kUp = 3000, kDown = 3001, kInstall = 3002 };
enum { kRegularBar = 3014, kReserveBar = 3015 };

static MaintenanceState s_state;

static HBITMAP RowBitmap(int kind, int row)
{
    return kind == kMaintainDraw ? g_drawPlugins[row].bitmap
           : kind == kMaintainSubWindow ? g_subWindows[row].bitmap : g_colorFunctions[row].bitmap;
}

static const char *RowDisplayName(int kind, int row)
{
    if (kind == kMaintainDraw)
        return PickLangText(g_drawPlugins[row].name, g_drawPlugins[row].translated);
    if (kind == kMaintainSubWindow)
        return PickLangText(g_subWindows[row].name, g_subWindows[row].translated);
    return PickLangText(g_colorFunctions[row].name, g_colorFunctions[row].translated);
}

static void PaintButton(HDC dc, int x, int y, HBITMAP bitmap, bool pressed)
{
    RECT r = {x, y, x + 22, y + 22};
    DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
    if (!bitmap)
        return;
    BITMAP info;
    if (!GetObjectA(bitmap, sizeof info, &info))
        return;
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, bitmap);
    int shift = pressed ? 1 : 0;
    BitBlt(dc, x + 2 + shift, y + 2 + shift, info.bmWidth < 18 ? info.bmWidth : 18,
           info.bmHeight < 18 ? info.bmHeight : 18, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
}

static void PaintRowText(HDC dc, int x, int y, int position, const char *name, bool selected)
{
    RECT band = {x + 27, y, x + 227, y + 22};
    FillRect(dc, &band, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_BTNFACE));
    char text[128];
    snprintf(text, sizeof text, "%2d:%s", position, name);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT));
    TextOutA(dc, x + 30, y + 4, text, (int)strlen(text));
}

static void ClearRow(HDC dc, int x, int y)
{
    RECT r = {x, y, x + 228, y + 22};
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
}

static void DrawMaintenanceList(HWND dialog, bool reserve)
{
    const MaintenanceState &s = s_state;
    HDC dc = GetDC(dialog);
    HGDIOBJ oldFont = SelectObject(dc, (HFONT)SendMessageA(dialog, WM_GETFONT, 0, 0));
    int rows = reserve ? kReserveRowsShown : kRegularRowsShown;
    int top = reserve ? s.reserveTop : s.regularTop, count = reserve ? s.reserveCount : s.regularCount;
    for (int r = 0; r < rows; r++) {
        int i = top + r, y = (reserve ? kReserveTop : kRegularTop) + r * kRowPitch;
        if (i >= count) {
            ClearRow(dc, kListLeft, y);
            continue;
        }
        if (reserve) {
            const ReserveEntry &e = s.reserve[i];
            PaintButton(dc, kListLeft, y, NULL, e.install != 0);
            PaintRowText(dc, kListLeft, y, i, PickLangText(e.name, e.translated), false);
        } else {
            const MaintenanceEntry &m = s.regular[i];
            PaintButton(dc, kListLeft, y, RowBitmap(s.kind, m.row), m.keep == 0);
            PaintRowText(dc, kListLeft, y, i, RowDisplayName(s.kind, m.row), i == s.current);
        }
    }
    SelectObject(dc, oldFont);
    ReleaseDC(dialog, dc);
}

static void Repaint(HWND dialog)
{
    DrawMaintenanceList(dialog, false);
    DrawMaintenanceList(dialog, true);
}

static void SetBar(HWND dialog, int id, int count, int shown, int pos)
{
    HWND bar = GetDlgItem(dialog, id);
    if (!bar)
        return;
    if (count <= shown) {
        SetScrollRange(bar, SB_CTL, 0, 0, FALSE);
        EnableWindow(bar, FALSE);
        return;
    }
    EnableWindow(bar, TRUE);
    SetScrollRange(bar, SB_CTL, 0, count - shown, FALSE);
    SetScrollPos(bar, SB_CTL, pos, TRUE);
}

static void SetBars(HWND dialog)
{
    SetBar(dialog, kRegularBar, s_state.regularCount, kRegularRowsShown, s_state.regularTop);
    SetBar(dialog, kReserveBar, s_state.reserveCount, kReserveRowsShown, s_state.reserveTop);
}

static int Clamp(int v, int low, int high) { return v < low ? low : v > high ? high : v; }

static void OnScroll(HWND dialog, HWND bar, int code, int thumb)
{
    bool reserve = GetDlgCtrlID(bar) == kReserveBar;
    MaintenanceState &s = s_state;
    int shown = reserve ? kReserveRowsShown : kRegularRowsShown;
    int count = reserve ? s.reserveCount : s.regularCount;
    int &top = reserve ? s.reserveTop : s.regularTop;
    int next = top;
    switch (code) {
    case SB_LINEUP: next--; break;
    case SB_LINEDOWN: next++; break;
    case SB_PAGEUP: next -= kRegularRowsShown; break;
    case SB_PAGEDOWN: next += kRegularRowsShown; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: next = thumb; break;
    default: return;
    }
    next = Clamp(next, 0, count > shown ? count - shown : 0);
    if (next == top)
        return;
    top = next;
    if (!reserve)
        s.current = Clamp(s.current, top, top + kRegularRowsShown - 1);
    SetScrollPos(bar, SB_CTL, top, TRUE);
    Repaint(dialog);
}

static void OnButtonDown(HWND dialog, int x, int y)
{
    SetCapture(dialog);
    MaintenanceState &s = s_state;
    int row;
    MaintenanceHit hit = HitMaintenanceList(x, y, &row);
    // Each toggle checks that its entry exists: rows past the end are blank.
    if (hit == kHitKeep && s.regularTop + row < s.regularCount)
        s.regular[s.regularTop + row].keep ^= 1;
    else if (hit == kHitSelect && s.regularTop + row < s.regularCount)
        s.current = s.regularTop + row;
    else if (hit == kHitInstall && s.reserveTop + row < s.reserveCount)
        s.reserve[s.reserveTop + row].install ^= 1;
    else
        return;
    Repaint(dialog);
}

static void OnDelete(HWND dialog)
{
    if (DeleteUncheckedPlugins(&s_state))
        RebuildToolBarAfterMaintenance();
    s_state.regularTop = Clamp(s_state.regularTop, 0, s_state.regularCount > kRegularRowsShown
                                                          ? s_state.regularCount - kRegularRowsShown : 0);
    SetBars(dialog);
    InvalidateRect(dialog, NULL, TRUE);
}

static void OnInstall(HWND dialog)
{
    if (InstallReservedPlugins(&s_state, dialog))
        RebuildToolBarAfterMaintenance();
    SetBars(dialog);
    InvalidateRect(dialog, NULL, TRUE);
}

static void OnEnd(HWND dialog)
{
    if (s_state.kind == kMaintainSubWindow) {
        CreateSubWindows();
        ShowSubWindows();
        RebuildToolBarAfterMaintenance();
    }
    NotifyMenusChanged(); // the menus list the plug-ins by row
    EndDialog(dialog, kEnd);
}

static void OnCommand(HWND dialog, int id)
{
    switch (id) {
    case kUp:
    case kDown:
        if (MoveCurrentEntry(&s_state, id == kUp ? -1 : 1)) {
            SetScrollPos(GetDlgItem(dialog, kRegularBar), SB_CTL, s_state.regularTop, TRUE);
            Repaint(dialog);
        }
        break;
    case kDelete: OnDelete(dialog); break;
    case kInstall: OnInstall(dialog); break;
    case kEnd: OnEnd(dialog); break;
    }
}

static INT_PTR CALLBACK PluginMaintenanceDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        OpenMaintenance(&s_state, (int)lParam, GetParent(dialog));
        SetBars(dialog);
        return TRUE;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(dialog, &ps);
        EndPaint(dialog, &ps);
        Repaint(dialog);
        return TRUE;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        OnButtonDown(dialog, (short)LOWORD(lParam), (short)HIWORD(lParam));
        return TRUE;
    case WM_LBUTTONUP:
        if (GetCapture() == dialog)
            ReleaseCapture();
        return TRUE;
    case WM_VSCROLL:
        OnScroll(dialog, (HWND)lParam, LOWORD(wParam), (short)HIWORD(wParam));
        return TRUE;
    case WM_COMMAND:
        OnCommand(dialog, LOWORD(wParam));
        return TRUE;
    case WM_CLOSE:
        OnEnd(dialog);
        return TRUE;
    }
    return FALSE;
}

void RunPluginMaintenanceDialog(HWND owner, int kind)
{
    if (kind < kMaintainDraw || kind > kMaintainFuncColor)
        return;
    // Asked from inside a tool-window plug-in, which the dialog may unload: it opens once that call
    // has returned.
    if (InSubWindowCall()) {
        static const int kCommands[] = {32081, 32083, 32082};
        PostMessageA(g_mainWindow, WM_COMMAND, kCommands[kind], 0);
        return;
    }
    DialogBoxParamA(g_instance, MAKEINTRESOURCEA(kMaintainDialog), owner, PluginMaintenanceDialogProc, kind);
}
