// Window classes and the procedures of the main window and the image windows.
#include "shell/winproc.h"
#include "shell/app.h"
#include "shell/commands.h"
#include "shell/config.h"
#include "shell/startup.h"
#include "shell/winlist.h"

HWND g_drawParamWindow, g_colorParamWindow, g_saveParamWindow;

int RegisterImageWindowClass()
{
    WNDCLASSA wc = {};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = WindowFunc;
    wc.hInstance = g_instance;
    wc.hIcon = LoadIconA(g_instance, MAKEINTRESOURCEA(100));
    wc.hbrBackground = (HBRUSH)GetStockObject(GRAY_BRUSH);
    wc.lpszClassName = kClassImageWindow;
    return RegisterClassA(&wc) != 0;
}

int RegisterMainWindowClass()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = MainWindowProc;
    wc.hInstance = g_instance;
    wc.hIcon = LoadIconA(g_instance, MAKEINTRESOURCEA(100));
    wc.hCursor = LoadCursor(NULL, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = kClassMain;
    return RegisterClassA(&wc) != 0;
}

int RegisterSubParentWindowClass()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = SubParentWindowProc;
    wc.hInstance = g_instance;
    wc.hbrBackground = (HBRUSH)GetStockObject(GRAY_BRUSH);
    wc.lpszClassName = kClassSubParent;
    return RegisterClassA(&wc) != 0;
}

HWND CreateMainWindow(int show)
{
    g_mainWindow = CreateWindowExA(0, kClassMain, kProgramTitle, WS_OVERLAPPEDWINDOW, 0, 0, g_screenWidth,
                                   g_cfg.MainWindowSizeY, NULL, NULL, g_instance, NULL);
    return g_mainWindow;
}

// ---- main window ----

static void OnMainCopyData(const COPYDATASTRUCT *data)
{
    char *text = TakeHandedOverCommandLine(data);
    if (text)
        PostHandedOverCommandLine(text);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        DispatchCommand(g_currentWindow, wParam, lParam);
        return 0;
    case WM_COPYDATA:
        OnMainCopyData((const COPYDATASTRUCT *)lParam);
        return 1;
    case WM_CLOSE:
        QuitApplication();
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK SubParentWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

// ---- image windows ----

LRESULT CALLBACK WindowFunc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // A second start hands its command line to whichever window of the class it found.
    if (message == WM_COPYDATA) {
        OnMainCopyData((const COPYDATASTRUCT *)lParam);
        return 1;
    }
    ImageWindow *record = FindImageWindow(window);
    if (!record)
        return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
    case WM_COMMAND:
        DispatchCommand(record, wParam, lParam);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
