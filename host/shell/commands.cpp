// The command dispatcher.
#include "shell/commands.h"
#include "files/openimage.h"
#include "shell/app.h"
#include "shell/startup.h"
#include <stdlib.h>

// Command lines handed over by a second start, waiting for their command 32690. Only texts made
// here are ever taken from a command's lParam.
enum { kPendingHandOvers = 16 };
static char *s_handedOver[kPendingHandOvers];

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

static void OnSecondStart(LPARAM lParam)
{
    char *text = ClaimHandedOverCommandLine(lParam);
    if (!text)
        return;
    if (g_mainWindow && IsIconic(g_mainWindow))
        ShowWindow(g_mainWindow, SW_RESTORE);
    OpenCommandLineFiles(text);
    free(text);
}

void DispatchCommand(ImageWindow *window, WPARAM wParam, LPARAM lParam)
{
    int id = LOWORD(wParam);
    switch (id) {
    case kCommandQuitProgram:
        QuitApplication();
        break;
    case kCommandCloseAllImage:
        CloseAllImageGroups();
        break;
    case kCommandSecondStartId:
        OnSecondStart(lParam);
        break;
    case kCommandDumpLayer:
        DumpLayerRedBytes(window, "c:\\img01.dat");
        break;
    }
}
