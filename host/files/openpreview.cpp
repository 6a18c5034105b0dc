// The open dialog's preview hook and its worker thread. The two threads share the state below
// without a lock: the user-interface thread starts a worker only when none runs, stops one by the
// stop flag and waits for it to end, and changes nothing the worker reads while it runs.
#include "files/mr2.h"
#include "files/openpreview.h"
#include "files/mrf.h"
#include "files/openimage.h"
#include "files/outside.h"
#include "files/thumbnail.h"
#include "image/cdib.h"
#include "image/dibcheck.h"
#include "base/app.h"
#include "base/messages.h"
#include "base/settings.h"
#include <atomic>
#include <commdlg.h>
#include <stdlib.h>
#include <string.h>

enum { kPreviewCheckBox = 3000, kFollowTimer = 1, kSelectedPathBytes = 512, kThumbMargin = 2 };

namespace {

struct PreviewState {
    HWND window;              // the "Thumb" window
    CDIB thumb;               // at the screen depth, 4 pixels smaller than the window each way
    bool thumbMade;
    char path[kSelectedPathBytes]; // the selection the worker reads
    HANDLE thread;
    std::atomic<int> running; // set before a worker starts, cleared by it as its last step
    std::atomic<int> stop;    // a newer selection or the dialog's end asks the worker to give up
    std::atomic<int> shown;   // the thumbnail holds the finished picture of the selection
    int progress;             // right edge of the reading bar (worker only)
    POINT dialogAt;           // where the dialog was at the last look
    PreviewRuns runs;
};

PreviewState s;

HWND DialogFrame(HWND dialog)
{
    return GetAncestor(dialog, GA_ROOT);
}

int ThumbWidth()
{
    return s.thumbMade ? s.thumb.header->bmiHeader.biWidth : 0;
}

int ThumbHeight()
{
    return s.thumbMade ? s.thumb.header->bmiHeader.biHeight : 0;
}

// A sunken client edge and a white picture area: the start of a read, or nothing to show.
void ClearPreviewArea()
{
    HDC dc = s.window ? GetDC(s.window) : NULL; // never the screen's
    if (!dc)
        return;
    RECT r;
    GetClientRect(s.window, &r);
    DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT);
    RECT area = {kThumbMargin, kThumbMargin, ThumbWidth() + kThumbMargin, ThumbHeight() + kThumbMargin};
    FillRect(dc, &area, (HBRUSH)GetStockObject(WHITE_BRUSH));
    ReleaseDC(s.window, dc);
}

// ---- the worker ----

enum Outcome { kDrawn, kEmpty, kStopped };

// Draws a read DIB pair into the thumbnail and shows it; false when the picture is unusable.
bool DrawReadPicture(HGLOBAL header, HGLOBAL bits, bool flip32)
{
    void *h = GlobalLock(header), *b = GlobalLock(bits);
    DibLayout dib;
    bool ok = h && b && CheckDibPair(h, GlobalSize(header), b, GlobalSize(bits), &dib);
    uint8_t *plain = NULL;
    if (ok && !IsPlainDib(dib)) {
        size_t bytes;
        plain = MakePlainPackedDib(dib, &bytes);
        ok = plain && CheckPackedDib(plain, bytes, &dib);
        flip32 = true;
    }
    if (ok)
        ok = DrawThumbnail(&s.thumb, dib.header, dib.bits, 0, 0, dib.width - 1, dib.height - 1, flip32) != 0;
    if (ok && !s.stop && s.window) {
        s.shown = 1;
        QzsDrawCDIB(s.window, &s.thumb, kThumbMargin, kThumbMargin);
    }
    free(plain);
    if (h)
        GlobalUnlock(header);
    if (b)
        GlobalUnlock(bits);
    return ok;
}

Outcome ReadAndDraw()
{
    const char *path = s.path;
    if (!path[0])
        return kEmpty;
    HGLOBAL header = NULL, bits = NULL;
    int read;
    bool flip32 = false; // a native file's base image comes top row first
    if (IsMrfFile(path)) {
        read = ReadMrfFirstImage(path, ShowPreviewProgress, &header, &bits);
    } else if (IsMr2File(path)) {
        read = ReadMr2FirstImage(path, ShowPreviewProgress, &header, &bits);
    } else {
        int reader;
        read = ReadImageViaSusie(path, ShowPreviewProgress, &header, &bits, &reader, 0, 0);
        flip32 = true; // a read DIB is bottom-up
    }
    Outcome outcome = s.stop ? kStopped : kEmpty;
    if (read && outcome != kStopped && DrawReadPicture(header, bits, flip32))
        outcome = s.stop ? kStopped : kDrawn;
    if (header)
        GlobalFree(header);
    if (bits)
        GlobalFree(bits);
    return outcome;
}

DWORD WINAPI PreviewThreadProc(LPVOID)
{
    Outcome outcome = ReadAndDraw();
    if (outcome == kEmpty)
        ClearPreviewArea(); // a file that cannot be read shows nothing, never the last one's picture
    if (outcome == kDrawn)
        s.runs.drawn++;
    else if (outcome == kEmpty)
        s.runs.empty++;
    else
        s.runs.stopped++;
    s.stop = 0;
    // Whatever the readers reported while batching is dropped: no box comes from this thread.
    SetMessageBatching(false);
    ResetMessageBatch();
    s.running = 0;
    return outcome == kDrawn ? 0 : 1;
}

// ---- the user-interface thread's side ----

void StopPreviewThread()
{
    if (!s.thread)
        return;
    s.stop = 1;
    while (s.running)
        Sleep(1);
    WaitForSingleObject(s.thread, INFINITE);
    CloseHandle(s.thread);
    s.thread = NULL;
    s.stop = 0;
}

void StartPreviewThread()
{
    s.shown = 0;
    s.stop = 0;
    SetMessageBatching(true);
    s.running = 1;
    s.runs.started++;
    s.thread = CreateThread(NULL, 0, PreviewThreadProc, NULL, 0, NULL);
    if (!s.thread) {
        s.running = 0;
        SetMessageBatching(false);
    }
}

// The selected file as a full path: the dialog need not change the current directory.
void ReadSelectedPath(HWND dialog)
{
    char path[kSelectedPathBytes] = "";
    LRESULT n = SendMessageA(GetParent(dialog), CDM_GETFILEPATH, sizeof path, (LPARAM)path);
    if (n <= 0 || n > (LRESULT)sizeof path)
        path[0] = 0; // a path cut short would name another file
    memcpy(s.path, path, sizeof s.path);
    s.path[sizeof s.path - 1] = 0;
}

void PlacePreview(HWND dialog)
{
    PlaceWindowAtOffset(s.window, DialogFrame(dialog), g_cfg.OpenPreviewX, g_cfg.OpenPreviewY);
}

void RememberDialogPosition(HWND dialog)
{
    RECT r;
    GetWindowRect(DialogFrame(dialog), &r);
    s.dialogAt.x = r.left;
    s.dialogAt.y = r.top;
}

UINT_PTR OnInitDone(HWND dialog)
{
    CheckDlgButton(dialog, kPreviewCheckBox, g_cfg.PreviewInOpenDlg ? BST_CHECKED : BST_UNCHECKED);
    RECT r;
    GetWindowRect(DialogFrame(dialog), &r);
    s.window = CreateThumbWindow(dialog, r.left + g_cfg.OpenPreviewX, r.top + g_cfg.OpenPreviewY);
    int w = g_cfg.OpenPreviewSizeX - 2 * kThumbMargin, h = g_cfg.OpenPreviewSizeY - 2 * kThumbMargin;
    s.thumbMade = w > 0 && h > 0 && QzsCreateCDIBwithSYSDEPTH(w, h, &s.thumb) == 0;
    s.shown = 0;
    RememberDialogPosition(dialog);
    if (!SetTimer(dialog, kFollowTimer, 100, NULL))
        ShowErrorMessage(dialog, 76);
    return 1;
}

UINT_PTR OnSelectionChange(HWND dialog)
{
    StopPreviewThread();
    ReadSelectedPath(dialog);
    if (g_cfg.PreviewInOpenDlg && s.window && s.thumbMade)
        StartPreviewThread();
    return 1;
}

UINT_PTR OnFileOk(HWND dialog)
{
    StopPreviewThread();
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT, 0); // the file is accepted
    return 1;
}

UINT_PTR OnNotify(HWND dialog, const NMHDR *header)
{
    switch (header->code) {
    case CDN_INITDONE: return OnInitDone(dialog);
    case CDN_SELCHANGE: return OnSelectionChange(dialog);
    case CDN_FILEOK: return OnFileOk(dialog);
    default: return 0;
    }
}

UINT_PTR OnPreviewSwitch(HWND dialog, WPARAM wParam)
{
    if (LOWORD(wParam) != kPreviewCheckBox)
        return 0;
    g_cfg.PreviewInOpenDlg = IsDlgButtonChecked(dialog, kPreviewCheckBox) == BST_CHECKED;
    if (s.window) {
        if (g_cfg.PreviewInOpenDlg) {
            PlacePreview(dialog);
            ShowWindow(s.window, SW_SHOWNOACTIVATE);
        } else {
            ShowWindow(s.window, SW_HIDE);
        }
    }
    return 1;
}

void OnFollowDialog(HWND dialog)
{
    if (!g_cfg.PreviewInOpenDlg || !s.window)
        return;
    RECT r;
    GetWindowRect(DialogFrame(dialog), &r);
    if (r.left == s.dialogAt.x && r.top == s.dialogAt.y)
        return;
    PlacePreview(dialog);
    RememberDialogPosition(dialog);
}

void OnDialogClosing(HWND dialog)
{
    StopPreviewThread();
    KillTimer(dialog, kFollowTimer);
    if (s.window && IsWindow(s.window))
        DestroyWindow(s.window);
    s.window = NULL;
    s.shown = 0;
    if (s.thumbMade)
        QzsDisposeCDIB(&s.thumb);
    s.thumbMade = false;
}

} // namespace

UINT_PTR CALLBACK OpenDialogHook(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NOTIFY: return lParam ? OnNotify(dialog, (const NMHDR *)lParam) : 0;
    case WM_COMMAND: return OnPreviewSwitch(dialog, wParam);
    case WM_TIMER:
        if (wParam == kFollowTimer)
            OnFollowDialog(dialog);
        return 0;
    case WM_DESTROY: OnDialogClosing(dialog); return 0;
    default: return 0;
    }
}

int QZCAPI ShowPreviewProgress(int done, int total, int)
{
    if (s.stop)
        return 1;
    int width = ThumbWidth(), height = ThumbHeight();
    if (done == 0) {
        ClearPreviewArea();
        s.progress = 0;
        return 0;
    }
    int edge = done >= total || total <= 0 ? width : (int)((int64_t)width * done / total);
    if (edge > s.progress) {
        HDC dc = s.window ? GetDC(s.window) : NULL;
        if (dc) {
            RECT bar = {s.progress + kThumbMargin, kThumbMargin, edge + kThumbMargin, height + kThumbMargin};
            FillRect(dc, &bar, GetSysColorBrush(COLOR_HIGHLIGHT));
            ReleaseDC(s.window, dc);
        }
        s.progress = edge;
    }
    return 0;
}

HWND CreateThumbWindow(HWND owner, int x, int y)
{
    // A pop-up is owned by a top-level window, the hook dialog's frame, and stays above it.
    HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, "Thumb", "", WS_POPUP, x, y, g_cfg.OpenPreviewSizeX,
                                  g_cfg.OpenPreviewSizeY, owner ? GetAncestor(owner, GA_ROOT) : NULL, NULL,
                                  g_instance, NULL);
    if (window && g_cfg.PreviewInOpenDlg)
        ShowWindow(window, SW_SHOWNOACTIVATE);
    return window;
}

void PlaceWindowAtOffset(HWND window, HWND reference, int dx, int dy)
{
    if (!window || !reference)
        return;
    RECT r;
    GetWindowRect(reference, &r);
    SetWindowPos(window, NULL, r.left + dx, r.top + dy, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void PaintPreviewThumbnail(HWND window)
{
    // Only a finished picture: while the worker draws, the thumbnail is its alone.
    if (window && window == s.window && s.shown && s.thumbMade)
        QzsDrawCDIB(window, &s.thumb, kThumbMargin, kThumbMargin);
}

void ReleasePreviewWindow(HWND window)
{
    if (!window || window != s.window)
        return;
    // Owned windows may go before the dialog's hook hears of its end.
    StopPreviewThread();
    s.window = NULL;
    s.shown = 0;
}

PreviewRuns GetPreviewRuns()
{
    return s.runs;
}

bool IsPreviewThreadRunning()
{
    return s.running != 0 || s.thread != NULL;
}

const CDIB *GetPreviewThumbnail()
{
    return s.thumbMade ? &s.thumb : NULL;
}

HWND GetPreviewWindow()
{
    return s.window;
}
