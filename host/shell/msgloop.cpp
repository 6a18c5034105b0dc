// The one message loop of the user-interface thread, with its filters in their fixed order.
#include "shell/startup.h"
#include "files/twain.h"
#include "plugins/effectdlg.h"
#include "plugins/subwin.h"
#include "base/app.h"
#include "view/winlist.h"
#include "shell/winproc.h"

static bool TakenByFilters(MSG *msg)
{
    if (TwainMessageHook(msg))
        return true;
    HWND effect = GetEffectDialog();
    if (effect && IsDialogMessageA(effect, msg))
        return true;
    if (g_drawParamWindow && IsDialogMessageA(g_drawParamWindow, msg))
        return true;
    if (g_colorParamWindow && IsDialogMessageA(g_colorParamWindow, msg))
        return true;
    if (IsSubWindowDialogMessage(msg))
        return true;
    if (g_accelerators && g_currentWindow && g_currentWindow->window &&
        TranslateAcceleratorA(g_currentWindow->window, g_accelerators, msg))
        return true;
    return false;
}

int RunMessageLoop()
{
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        if (TakenByFilters(&msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return (int)msg.wParam;
}
