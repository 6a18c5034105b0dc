#include "files/progress.h"
#include "files/openimage.h"
#include "base/app.h"
#include "base/progress.h"
#include <string.h>

enum { kStepCommand = 3003 };

static HWND s_window;
static int s_steps;

void MarkFileProgressClosed() { s_window = NULL; }
bool IsFileProgressOpen() { return s_window != NULL; }
int GetFileProgressSteps() { return s_steps; }
void RestartFileProgress() { s_steps = 0; }

void CloseFileProgress()
{
    ReleaseProgressDialog(s_window);
    s_window = NULL;
}

void DrawFileProgressText(const char *text)
{
    DrawProgressText(s_window, text);
}

void OpenFileProgress(const char *caption)
{
    s_steps = 0;
    s_window = CreateProgressDialog(g_mainWindow);
    if (!s_window)
        return;
    if (caption)
        SetWindowTextA(s_window, caption);
    ShowProgressDialog(s_window);
    DrawFileProgressText(g_progressText);
}

void StepFileProgress(int done, int total)
{
    int target = done == total || total <= 0 ? kProgressSteps : (int)((int64_t)done * kProgressSteps / total);
    if (target > kProgressSteps)
        target = kProgressSteps;
    while (s_steps < target) {
        if (s_window)
            SendMessageA(s_window, WM_COMMAND, kStepCommand, 0);
        s_steps++;
    }
}
