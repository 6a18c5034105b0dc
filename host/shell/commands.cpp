// The command dispatcher: two gates, then identifier ranges, then single identifiers.
#include "view/groupview.h"
#include "shell/commands.h"
#include "base/settings.h"
#include "base/textutil.h"
#include "base/recent.h"
#include "files/openimage.h"
#include "image/group.h"
#include "base/app.h"
#include "shell/commands_internal.h"
#include "shell/commands_pending.h"
#include "draw/drawmouse.h"
#include "draw/drawsel.h"
#include "shell/keymap.h"
#include "plugins/subwin.h"
#include "view/winlist.h"
#include <stdlib.h>

HWND CommandOwner(const ImageWindow *window)
{
    return window && window->window ? window->window : g_mainWindow;
}

// ---- second start ----

// Command lines handed over by a second start, waiting for their command 32690. Only texts made
// here are ever taken from a command's lParam.
enum { kPendingHandOvers = 16, kHandOverRetryMs = 200 };
static char *s_handedOver[kPendingHandOvers];
static UINT_PTR s_handOverTimer;

void PostHandedOverCommandLine(char *text)
{
    for (char *&slot : s_handedOver)
        if (!slot) {
            slot = text;
            PostMessageA(g_mainWindow, WM_COMMAND, kCommandSecondStartId, (LPARAM)text);
            return;
        }
    free(text);
}

static char *ClaimHandedOverCommandLine(LPARAM lParam)
{
    for (char *&slot : s_handedOver)
        if (slot && (LPARAM)slot == lParam) {
            char *text = slot;
            slot = NULL;
            return text;
        }
    return NULL;
}

// A hand-off that arrives while a figure is drawn waits for the figure instead of being dropped.
static void CALLBACK RetryHandOvers(HWND, UINT, UINT_PTR, DWORD)
{
    if (g_drawState != 0 && g_drawState != 10)
        return;
    KillTimer(NULL, s_handOverTimer);
    s_handOverTimer = 0;
    for (char *slot : s_handedOver)
        if (slot)
            PostMessageA(g_mainWindow, WM_COMMAND, kCommandSecondStartId, (LPARAM)slot);
}

static void DeferSecondStart()
{
    if (!s_handOverTimer)
        s_handOverTimer = SetTimer(NULL, 0, kHandOverRetryMs, RetryHandOvers);
}

static void OnSecondStart(LPARAM lParam)
{
    char *text = ClaimHandedOverCommandLine(lParam);
    if (!text)
        return;
    if (g_mainWindow && IsIconic(g_mainWindow))
        ShowWindow(g_mainWindow, SW_RESTORE);
    OpenCommandLineFiles(text);
    free(text);
    if (g_currentWindow && g_currentWindow->window && !g_noWindowState)
        SetActiveWindow(g_currentWindow->window);
}

// ---- ranges ----

static void ActivateNthWindow(ImageWindow *window, int n)
{
    ImageWindow *target = g_firstWindow;
    for (int i = 0; target && i < n; i++)
        target = target->next;
    if (target && target->window)
        SendMessageA(target->window, WM_ACTIVATE, WA_ACTIVE, (LPARAM)window->window);
}

static void MakeNthLayerCurrent(ImageWindow *window, int n)
{
    ImageGroup *group = window->group;
    if (!group)
        return;
    LayerRecord *layer = NULL;
    if (n > 0) {
        layer = GetNthLayer(group, n);
        if (!layer)
            return;
    }
    if (group->currentLayer == layer)
        return;
    QzsSetCurrentInImageGroup(group, layer);
}

static void RunKeyCommand(int id)
{
    INT_PTR owner;
    int param;
    if (FindKeyCommand(id, &owner, &param))
        SendSubWindowMessage((HWND)owner, 10, param);
}

static bool DispatchRange(ImageWindow *window, int id)
{
    if (id >= kFirstSubWindowCommand && id < kFirstSubWindowCommand + kSubWindowCommands)
        ToggleSubWindow(id - kFirstSubWindowCommand);
    else if (id >= kFirstDrawCommand && id < kFirstDrawCommand + kDrawCommands)
        SelectDraw(id - kFirstDrawCommand);
    else if (id >= kFirstWindowCommand && id < kFirstWindowCommand + kWindowCommands)
        ActivateNthWindow(window, id - kFirstWindowCommand);
    else if (id >= kFirstLayerCommand && id < kFirstLayerCommand + kLayerCommands)
        MakeNthLayerCurrent(window, id - kFirstLayerCommand);
    else if (id >= kFirstRecentCommand && id < kFirstRecentCommand + kRecentCommands) {
        // Opened like a selection of the open dialog, which moves the path to the front.
        if (RecentFileNode *node = RecentFileAt(id - kFirstRecentCommand)) {
            char path[kPathBytes];
            CopyText(path, sizeof path, node->path);
            OpenDroppedFile(path);
        }
    } else if (id >= kFirstKeyCommand && id <= kLastKeyCommand)
        RunKeyCommand(id);
    else
        return false;
    return true;
}

static int ImageListEntry(int id)
{
    for (int n = 0; n < kImageListEntries; n++)
        if (kImageListCommands[n] == id)
            return n;
    return -1;
}

// ---- the dispatcher ----

void DispatchCommand(ImageWindow *window, WPARAM wParam, LPARAM lParam)
{
    int id = LOWORD(wParam);
    int state = g_drawState;
    if (state != 0 && state != 10) {
        if (id >= 32691 && id <= 32694 && window)
            RunScrollCommand(window, id);
        else if (id == kCommandSecondStartId)
            DeferSecondStart();
        return;
    }
    // A second start is taken whatever window the command reached.
    if (id == kCommandSecondStartId) {
        OnSecondStart(lParam);
        return;
    }
    if (!window) {
        if (id == kCommandNewImage || id == kCommandOpenImage) {
            if (g_mainWindow)
                SendMessageA(g_mainWindow, WM_COMMAND, kCommandOpenEditWindow, 0);
            else
                DispatchCommand(NULL, kCommandOpenEditWindow, 0);
            window = g_currentWindow;
            if (!window)
                return;
        } else if (id != kCommandOpenEditWindow && id != kCommandOpenBrowseWindow) {
            return;
        }
    }
    if (window && DispatchRange(window, id))
        return;
    int entry = ImageListEntry(id);
    if (entry >= 0) {
        ImageGroup *group = FindNthImageGroup(entry);
        if (group)
            ShowGroupInWindow(window, group, 0, 1);
        return;
    }
    if (!RunFileCommand(window, id) && !RunViewCommand(window, id))
        RunOtherCommand(window, id);
}
