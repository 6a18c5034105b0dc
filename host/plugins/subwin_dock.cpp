// The clip windows docked to a sub-window sit directly above it: they follow it when it moves and
// rise with it when it is activated. Sub-window plug-ins pass their messages through
// QzsDefSubWinProc for this.
#include "plugins/subwin.h"
#include "base/notify.h"

enum { kMostDockedClips = 64 };

static bool s_moveAlong = true, s_raiseAlong = true;

void SetDockMoveAlong(int flag)
{
    s_moveAlong = flag != 0;
}

void SetDockRaiseAlong(int flag)
{
    s_raiseAlong = flag != 0;
}

static void MoveDockedClips(HWND subWindow)
{
    RECT sub;
    if (!s_moveAlong || !GetWindowRect(subWindow, &sub))
        return;
    HWND clips[kMostDockedClips];
    int right[kMostDockedClips];
    int n = AskDockedClips(subWindow, clips, right, kMostDockedClips);
    for (int i = 0; i < n; i++) {
        RECT clip;
        if (!clips[i] || !GetWindowRect(clips[i], &clip))
            continue;
        int w = clip.right - clip.left, h = clip.bottom - clip.top;
        int x = right[i] ? sub.right - w : sub.left;
        SetWindowPos(clips[i], NULL, x, sub.top - h - 1, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

static void RaiseDockedClips(HWND subWindow)
{
    if (!s_raiseAlong)
        return;
    HWND clips[kMostDockedClips];
    int right[kMostDockedClips];
    int n = AskDockedClips(subWindow, clips, right, kMostDockedClips);
    for (int i = 0; i < n; i++)
        if (clips[i])
            SetWindowPos(clips[i], HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

QZS_DECL(int) QzsDefSubWinProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_MOVE: MoveDockedClips(window); break;
    case WM_ACTIVATE: RaiseDockedClips(window); break;
    }
    return 0;
}
