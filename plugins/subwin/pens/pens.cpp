// The pen selector's entry points: its window, the pen built from a code, the pen changes it
// hears, and the tablet pressure.
#include "pens.h"

static HWND s_window;

QZC_EXPORT(HWND) QzcShowDlg(HINSTANCE instance, HWND owner, int x, int y)
{
    s_window = CreatePenWindow(instance, owner, x, y);
    return s_window;
}

QZC_EXPORT(int) QzcMakePen(const char *code)
{
    ParsePenCode(code, &g_settings);
    SetPressureChecks(g_settings); // also when the code leaves the flags out, which clears them
    return BuildPenShape(g_settings, 1, s_window);
}

QZC_EXPORT(int) QzcChangePen(INT_PTR source, PenRecord *pen)
{
    ShowPenChange(source, pen);
    return 0;
}

QZC_EXPORT(int) QzcReceiveMessage(int code, INT_PTR value, INT_PTR max)
{
    if (code == 11)
        ReceivePressure(value, max, s_window);
    return 0;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    // Unloaded by the host (not at process end): the host destroyed the window first.
    if (reason == DLL_PROCESS_DETACH && !reserved) {
        FreePenWindow();
        UnregisterClassA("Pens", instance);
    }
    return TRUE;
}
