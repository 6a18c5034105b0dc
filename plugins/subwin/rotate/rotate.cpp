// The image rotation module's entry points.
#include "rotate.h"

// The host passes the window's messages through the dialog step, for the angle edit's keys.
QZC_EXPORT(int) QzcSubWinInfo(void)
{
    return 1;
}

QZC_EXPORT(HWND) QzcShowDlg(HINSTANCE instance, HWND owner, int x, int y)
{
    return CreateRotateWindow(instance, owner, x, y);
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    // Unloaded by the host (not at process end): the host destroyed the window first.
    if (reason == DLL_PROCESS_DETACH && !reserved) {
        FreeRotateTool();
        UnregisterClassA("RotateImg", instance);
    }
    return TRUE;
}
