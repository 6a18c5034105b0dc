// One progress window shared by every user; each callback keeps its own step counter so the
// bar never moves back and never passes 20 steps.
#include "base/progress.h"
#include "base/app.h"
#include "base/textutil.h"
#include "base/stepclock.h"
#include <commctrl.h>

namespace {
enum { kStepCommand = 3003, kBarId = 100 };

HWND s_window;
int64_t s_lastPaint; // when a bar was last painted, in QueryPerformanceCounter ticks
char s_text[kProgressTextBytes];
char s_shownText[kProgressTextBytes]; // what the progress window shows, drawn again when it repaints
int s_effectSteps, s_pluginSteps, s_shown;

void PaintText(HWND dialog, HDC dc)
{
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    HGDIOBJ old = SelectObject(dc, (HGDIOBJ)SendMessageA(dialog, WM_GETFONT, 0, 0));
    TextOutA(dc, 4, 35, s_shownText, lstrlenA(s_shownText));
    SelectObject(dc, old);
}

// The work runs without taking messages, so the bar is painted here, but only every 40 ms: more
// often than the eye follows only costs the work time; the steps between show in the next paint.
void PaintBarNowAndThen(HWND bar)
{
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    if (s_lastPaint && now.QuadPart - s_lastPaint < frequency.QuadPart / 25)
        return;
    UpdateWindow(bar);
    s_lastPaint = now.QuadPart;
}

// The bar as the dialog keeps it: looking a child up by its number asks the window system each
// time, twenty times over a run.
HWND Bar(HWND dialog)
{
    return (HWND)GetWindowLongPtrA(dialog, DWLP_USER);
}

void OpenWindow(const char *text, int &counter)
{
    s_window = CreateProgressDialog(g_mainWindow);
    counter = 0;
    s_shown = 0;
    if (!s_window)
        return;
    ShowProgressDialog(s_window);
    DrawProgressText(s_window, text);
}

int Progress(int done, int total, const char *text, int &counter)
{
    struct Timed {
        int64_t start = StepTicks();
        ~Timed() { StepAddSince("progress-steps", start); }
    } timed;
    if (done == 0 && !s_window) {
        OpenWindow(text, counter);
        return 0;
    }
    int target;
    if (done == total)
        target = kProgressSteps;
    else if (total == 0)
        target = 0;
    else
        target = (int)((int64_t)done * kProgressSteps / total);
    if (target > kProgressSteps)
        target = kProgressSteps;
    for (; counter < target; counter++)
        if (s_window)
            SendMessageA(s_window, WM_COMMAND, kStepCommand, 0);
    return 0;
}
} // namespace

HWND CreateProgressDialog(HWND owner)
{
    s_shownText[0] = 0;
    return CreateDialogParamA(g_instance, "IDD_LOADING", owner, ProgressDialogProc, 0);
}

void ReleaseProgressDialog(HWND dialog)
{
    if (dialog && IsWindow(dialog))
        DestroyWindow(dialog);
}

// The work that follows runs without taking messages: the window is painted now, not later.
void ShowProgressDialog(HWND dialog)
{
    if (!dialog)
        return;
    if (g_mainWindow && GetForegroundWindow() != g_mainWindow)
        SetForegroundWindow(g_mainWindow);
    SetWindowPos(dialog, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    RedrawWindow(dialog, NULL, NULL, RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ERASENOW | RDW_UPDATENOW |
                                         RDW_ALLCHILDREN);
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    s_lastPaint = now.QuadPart; // the bar was painted with the window
}

void DrawProgressText(HWND dialog, const char *text)
{
    if (!dialog)
        return;
    CopyText(s_shownText, sizeof s_shownText, text ? text : "");
    if (HDC dc = GetDC(dialog)) {
        PaintText(dialog, dc);
        ReleaseDC(dialog, dc);
    }
}

INT_PTR CALLBACK ProgressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: {
        HWND bar = CreateWindowExA(0, PROGRESS_CLASSA, NULL, WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 60, 200, 24, dialog,
                                   (HMENU)kBarId, g_instance, NULL);
        SetWindowLongPtrA(dialog, DWLP_USER, (LONG_PTR)bar);
        SendMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(0, kProgressSteps));
        SendMessageA(bar, PBM_SETSTEP, 1, 0);
        return TRUE;
    }
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(dialog, &ps);
        PaintText(dialog, dc);
        EndPaint(dialog, &ps);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == kStepCommand) {
            HWND bar = Bar(dialog);
            SendMessageA(bar, PBM_STEPIT, 0, 0);
            PaintBarNowAndThen(bar);
            if (dialog == s_window)
                s_shown++;
            return TRUE;
        }
        break;
    }
    return FALSE;
}

int QZCAPI ShowEffectProgress(int done, int total, int)
{
    return Progress(done, total, "Now Processing...", s_effectSteps);
}

int QZCAPI IgnoreProgress(int, int, int)
{
    return 0;
}

QZS_DECL(int) QzsProgressWindow(int done, int total)
{
    return Progress(done, total, s_text, s_pluginSteps);
}

// A new text starts a new window on the next start; the open one is closed rather than left
// behind without an owner to close it.
QZS_DECL(char *) QzsSetProgressMessage(const char *text)
{
    CopyText(s_text, sizeof s_text, text ? text : "");
    CloseProgressWindow();
    return s_text;
}

QZS_DECL(int) QzsCloseProgressWindow(void)
{
    CloseProgressWindow();
    return 1;
}

HWND ProgressWindow()
{
    return s_window;
}

// A window left open by an earlier user is closed, never left behind.
void ForgetProgressWindow()
{
    CloseProgressWindow();
}

void CloseProgressWindow()
{
    ReleaseProgressDialog(s_window);
    s_window = NULL;
}

int ProgressStepsShown()
{
    return s_shown;
}
