// Clip windows: the list of bars, docking and releasing members, placing them below their bar, and
// the bar's window procedure.
#include "shell/clipwin.h"
#include "base/app.h"
#include "base/messages.h"
#include "plugins/loader.h"
#include "plugins/subwin.h"
#include "shell/menus.h"
#include "shell/toolbar.h"
#include <new>
#include <stdio.h>

static const char kClipClass[] = "CLIPWIN";
static const DWORD kClipStyle = WS_POPUP | WS_DLGFRAME;

static ClipWindow *s_first, *s_last;
static ClipMember *s_rightClicked; // the member whose "Release" popup is open

static LRESULT CALLBACK ClipWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

int RegisterClipWindowClass()
{
    WNDCLASSA c = {};
    c.lpfnWndProc = ClipWindowProc;
    c.hInstance = g_instance;
    c.hCursor = LoadCursor(NULL, IDC_ARROW);
    c.hbrBackground = GetSysColorBrush(COLOR_ACTIVECAPTION);
    c.lpszClassName = kClipClass;
    if (!RegisterClassA(&c) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        ShowSysErrorMessage(g_mainWindow, 101);
        return 0;
    }
    return 1;
}

ClipWindow *FirstClipWindow() { return s_first; }

ClipWindow *FindClipWindow(HWND window)
{
    for (ClipWindow *c = s_first; c; c = c->next)
        if (window && c->window == window)
            return c;
    return NULL;
}

int CountClipMembers(const ClipWindow *clip)
{
    int n = 0;
    for (ClipMember *m = clip ? clip->first : NULL; m; m = m->next)
        n++;
    return n;
}

ClipMember *ClipMemberAt(const ClipWindow *clip, int index)
{
    ClipMember *m = clip && index >= 0 ? clip->first : NULL;
    for (; m && index > 0; index--)
        m = m->next;
    return m;
}

// The bar's window sized to its client area for the current member count.
static void ResizeBar(ClipWindow *clip)
{
    RECT r = {0, 0, ClipClientWidth(CountClipMembers(clip)), kClipHeight};
    AdjustWindowRectEx(&r, (DWORD)GetWindowLongPtrA(clip->window, GWL_STYLE), FALSE,
                       (DWORD)GetWindowLongPtrA(clip->window, GWL_EXSTYLE));
    SetWindowPos(clip->window, NULL, 0, 0, r.right - r.left, r.bottom - r.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

ClipWindow *CreateClipWindow(HWND owner, int x, int y, int rightEdge)
{
    HWND window = CreateWindowExA(0, kClipClass, "Clip", kClipStyle, x, y, 43, 27, owner, NULL, g_instance, NULL);
    ClipWindow *clip = window ? new (std::nothrow) ClipWindow() : NULL;
    if (!clip) {
        if (window)
            DestroyWindow(window);
        ShowSysErrorMessage(g_mainWindow, 102);
        return NULL;
    }
    clip->window = window;
    clip->rightEdge = rightEdge ? 1 : 0;
    if (s_last)
        s_last->next = clip;
    else
        s_first = clip;
    s_last = clip;
    ResizeBar(clip);
    ShowWindow(window, SW_SHOWNOACTIVATE);
    return clip;
}

// Shows or hides a member: through its row when a loaded plug-in owns the window.
static void ShowMember(ClipMember *m, int show)
{
    if (!m)
        return;
    int row = FindSubWindowByWindow(m->window);
    if (row >= 0)
        SetSubWindowShown(row, show);
    else if (m->window)
        ShowWindow(m->window, show ? SW_SHOWNOACTIVATE : SW_HIDE);
}

static void PlaceMember(ClipWindow *clip, ClipMember *m)
{
    RECT bar, own;
    if (!m->window || !GetWindowRect(clip->window, &bar) || !GetWindowRect(m->window, &own))
        return;
    int x = clip->rightEdge ? bar.right - (own.right - own.left) : bar.left;
    // The member's move would otherwise move this bar again through the docking reactions.
    SetDockMoveAlong(0);
    SetWindowPos(m->window, NULL, x, bar.bottom + 1, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetDockMoveAlong(1);
}

void PlaceClipMembers(ClipWindow *clip)
{
    for (ClipMember *m = clip ? clip->first : NULL; m; m = m->next)
        PlaceMember(clip, m);
}

void SetActiveClipMember(ClipWindow *clip, ClipMember *member, int show, int redraw)
{
    if (!clip)
        return;
    ShowMember(clip->active, 0);
    ShowMember(member, show);
    clip->active = show ? member : NULL;
    if (redraw)
        InvalidateRect(clip->window, NULL, TRUE);
}

static void SetRowMenuItem(int row, UINT state)
{
    if (HMENU menu = g_mainWindow ? GetMenu(g_mainWindow) : NULL)
        EnableMenuItem(menu, kSubWindowMenuFirst + row, MF_BYCOMMAND | state);
}

void DockSubWindow(ClipWindow *clip, int row)
{
    if (!clip || row < 0 || row >= CountSubWindows() || !g_subWindows[row].window || g_subWindows[row].docked)
        return;
    ClipMember *m = new (std::nothrow) ClipMember();
    if (!m)
        return;
    m->window = g_subWindows[row].window;
    m->bitmap = g_subWindows[row].bitmap;
    ClipMember **tail = &clip->first;
    while (*tail)
        tail = &(*tail)->next;
    *tail = m;
    SetActiveClipMember(clip, m, 1, 1);
    ResizeBar(clip);
    PlaceMember(clip, m);
    g_subWindows[row].docked = 1;
    if (ToolButton *b = FindToolButton(kButtonSubWindow, row))
        b->visible = 0;
    SetRowMenuItem(row, MF_GRAYED);
    if (g_mainWindow)
        InvalidateRect(g_mainWindow, NULL, TRUE);
}

void ReleaseClipMember(ClipWindow *clip, ClipMember *member)
{
    ClipMember **link = clip ? &clip->first : NULL;
    while (link && *link && *link != member)
        link = &(*link)->next;
    if (!link || !*link)
        return;
    *link = member->next;
    if (s_rightClicked == member)
        s_rightClicked = NULL;
    if (clip->active == member) {
        clip->active = clip->first;
        ShowMember(clip->active, 1);
    }
    int row = FindSubWindowByWindow(member->window);
    if (row >= 0) {
        g_subWindows[row].docked = 0;
        if (ToolButton *b = FindToolButton(kButtonSubWindow, row))
            b->visible = 1;
        SetSubWindowShown(row, 1); // the tool button pressed, the menu check on
        SetRowMenuItem(row, MF_ENABLED);
        if (g_mainWindow)
            InvalidateRect(g_mainWindow, NULL, TRUE);
    } else if (member->window) {
        ShowWindow(member->window, SW_SHOWNOACTIVATE);
    }
    ResizeBar(clip);
    InvalidateRect(clip->window, NULL, TRUE);
    delete member;
}

void DisposeClip(ClipWindow *clip)
{
    ClipWindow **link = &s_first, *before = NULL;
    while (*link && *link != clip) {
        before = *link;
        link = &(*link)->next;
    }
    if (!clip || !*link)
        return;
    while (clip->first)
        ReleaseClipMember(clip, clip->first);
    *link = clip->next;
    if (s_last == clip)
        s_last = before;
    DestroyWindow(clip->window);
    delete clip;
}

void ToggleClipPosition(ClipWindow *clip)
{
    if (!clip)
        return;
    clip->rightEdge = !clip->rightEdge;
    PlaceClipMembers(clip);
}

void MoveClipWindowsToSide()
{
    int screen = GetSystemMetrics(SM_CXSCREEN);
    for (ClipWindow *c = s_first; c; c = c->next) {
        RECT r;
        if (!GetWindowRect(c->window, &r))
            continue;
        int x = c->rightEdge ? screen - (r.right - r.left) : 0;
        SetWindowPos(c->window, NULL, x, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        PlaceClipMembers(c); // also done by the move message; a bar already in place gets none
    }
}

int ClipWindowsOfMember(HWND member, HWND *clips, int *rightEdge, int capacity)
{
    int n = 0;
    for (ClipWindow *c = s_first; c && n < capacity; c = c->next)
        for (ClipMember *m = c->first; m; m = m->next)
            if (member && m->window == member) {
                clips[n] = c->window;
                rightEdge[n] = c->rightEdge;
                n++;
                break;
            }
    return n;
}

// ---- the window procedure ----

static void OnPaint(ClipWindow *clip)
{
    PAINTSTRUCT ps;
    BeginPaint(clip->window, &ps);
    EndPaint(clip->window, &ps);
    ToolButton menu = {16, 0, 38, 22, 0, 0, g_clipWindowBitmap, 0, 1, NULL};
    DrawToolButton(clip->window, &menu);
    int k = 0;
    for (ClipMember *m = clip->first; m; m = m->next, k++) {
        int left = 39 + kClipButton * k;
        ToolButton b = {left, 0, left + 22, 22, 0, k, m->bitmap, m == clip->active, 1, NULL};
        DrawToolButton(clip->window, &b);
    }
}

static void OnActivate(ClipWindow *clip)
{
    if (!clip->active || !clip->active->window)
        return;
    SetDockRaiseAlong(0);
    SetWindowPos(clip->active->window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetDockRaiseAlong(1);
}

// The popup of every loaded sub-window not docked yet; its commands come back to this window.
static void ShowDockMenu(ClipWindow *clip)
{
    HMENU menu = CreatePopupMenu();
    if (!menu)
        return;
    for (int row = 0; row < CountSubWindows(); row++) {
        if (g_subWindows[row].docked)
            continue;
        char text[128];
        snprintf(text, sizeof text, "&%c)%s", 'A' + row % 26, SubWindowDisplayName(row));
        AppendMenuA(menu, MF_STRING, kSubWindowMenuFirst + row, text);
    }
    POINT p;
    GetCursorPos(&p);
    TrackPopupMenu(menu, TPM_LEFTALIGN, p.x, p.y, 0, clip->window, NULL);
    DestroyMenu(menu);
}

static void OnLeftButton(ClipWindow *clip, int x)
{
    if (x >= 16 && x < 40) {
        ShowDockMenu(clip);
        return;
    }
    ClipMember *m = x >= 40 ? ClipMemberAt(clip, (x - 16) / kClipButton - 1) : NULL;
    if (!m)
        return;
    if (m == clip->active)
        SetActiveClipMember(clip, m, 0, 1);
    else
        SetActiveClipMember(clip, m, 1, 1);
}

static void OnRightButton(ClipWindow *clip, int x)
{
    HMENU member = NULL, bar = NULL;
    CreateClipPopups(&member, &bar);
    POINT p;
    GetCursorPos(&p);
    if (x >= 16 && x < 40) {
        TrackPopupMenu(bar, TPM_LEFTALIGN, p.x, p.y, 0, clip->window, NULL);
    } else if (ClipMember *m = x >= 40 ? ClipMemberAt(clip, (x - 16) / kClipButton - 1) : NULL) {
        s_rightClicked = m;
        TrackPopupMenu(member, TPM_LEFTALIGN, p.x, p.y, 0, clip->window, NULL);
    }
}

static void OnCommand(ClipWindow *clip, int id)
{
    switch (id) {
    case 30200: ReleaseClipMember(clip, s_rightClicked); break;
    case 30300: DisposeClip(clip); break;
    case 30400: ToggleClipPosition(clip); break;
    default:
        if (id >= kSubWindowMenuFirst && id < kSubWindowMenuFirst + kSubWindowRows)
            DockSubWindow(clip, id - kSubWindowMenuFirst);
        break;
    }
}

static LRESULT OnHitTest(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT hit = DefWindowProcA(window, message, wParam, lParam);
    RECT r;
    GetWindowRect(window, &r);
    if (hit == HTCLIENT && (short)LOWORD(lParam) - r.left < kClipGrip)
        return HTCAPTION;
    return hit;
}

static void OnMove(ClipWindow *clip)
{
    SetDockMoveAlong(0);
    PlaceClipMembers(clip);
    SetDockMoveAlong(1);
}

static LRESULT CALLBACK ClipWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    ClipWindow *clip = FindClipWindow(window);
    if (!clip)
        return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
    case WM_PAINT: OnPaint(clip); return 0;
    case WM_CLOSE: return 0; // only "Dispose clip" closes a bar
    case WM_ACTIVATE: OnActivate(clip); break;
    case WM_NCHITTEST: return OnHitTest(window, message, wParam, lParam);
    case WM_LBUTTONDOWN: OnLeftButton(clip, (short)LOWORD(lParam)); return 0;
    case WM_RBUTTONDOWN: OnRightButton(clip, (short)LOWORD(lParam)); return 0;
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP: return 0;
    case WM_MOVE: OnMove(clip); return 0;
    case WM_COMMAND: OnCommand(clip, LOWORD(wParam)); return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
