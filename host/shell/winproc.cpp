// Window classes of the program, the creation of its windows, the cursors and a few small shell
// operations shared by the window procedures.
#include "plugins/params.h"
#include "view/regionborder.h"
#include "shell/toolbar.h"
#include "shell/winproc.h"
#include "image/colors.h"
#include "view/display.h"
#include "view/paint.h"
#include "image/regions.h"
#include "draw/drawsel.h"
#include "plugins/effectdlg.h"
#include "draw/transform.h"
#include "draw/reedit.h"
#include "base/app.h"
#include "base/cursors.h"
#include "base/settings.h"
#include "shell/menus.h"
#include "base/messages.h"
#include "view/winlist.h"
#include <commctrl.h>
#include <shellapi.h>
#include <stdlib.h>

HWND g_statusBar, g_toolTipWindow;
HCURSOR g_currentCursor;

static HBRUSH s_buttonFace;
static int s_newImageBackColor;

HBRUSH GetButtonFaceBrush()
{
    if (!s_buttonFace)
        s_buttonFace = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
    return s_buttonFace;
}

static int RegisterClassOf(const char *name, WNDPROC procedure, bool icon, HCURSOR cursor, HBRUSH background)
{
    WNDCLASSA wc = {};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = procedure;
    wc.hInstance = g_instance;
    wc.hIcon = icon ? LoadIconA(g_instance, MAKEINTRESOURCEA(100)) : NULL;
    wc.hCursor = cursor;
    wc.hbrBackground = background;
    wc.lpszClassName = name;
    if (RegisterClassA(&wc))
        return 1;
    // Tests register again in one process: a class of ours already there serves.
    WNDCLASSA existing;
    return GetClassInfoA(g_instance, name, &existing) ? 1 : 0;
}

static HBRUSH Grey()
{
    return (HBRUSH)GetStockObject(GRAY_BRUSH);
}

static HCURSOR Arrow()
{
    return GetSystemCursor(kCursorArrow);
}

int RegisterImageWindowClass()
{
    return RegisterClassOf(kClassImageWindow, WindowFunc, true, NULL, Grey());
}

int RegisterMainWindowClass()
{
    if (RegisterClassOf(kClassMain, MainWindowProc, true, Arrow(), GetButtonFaceBrush()))
        return 1;
    ShowSysErrorMessage(g_currentWindowHandle, 5);
    return 0;
}

int RegisterSubParentWindowClass()
{
    if (RegisterClassOf(kClassSubParent, SubParentWindowProc, true, Arrow(), GetButtonFaceBrush()))
        return 1;
    ShowSysErrorMessage(g_currentWindowHandle, 5);
    return 0;
}

int RegisterStatusWindowClass()
{
    if (RegisterClassOf("StatWin", StatusWindowProc, false, NULL, Grey()))
        return 1;
    ShowSysErrorMessage(g_currentWindowHandle, 3);
    return 0;
}

static int RegisterParameterClass(const char *name, WNDPROC procedure)
{
    if (RegisterClassOf(name, procedure, false, Arrow(), GetButtonFaceBrush()))
        return 1;
    ShowSysErrorMessage(g_currentWindowHandle, 5);
    return 0;
}

int RegisterDrawParameterClass()
{
    return RegisterParameterClass("DRAWpara", DrawParameterWindowProc);
}

int RegisterColorParameterClass()
{
    return RegisterParameterClass("FCOLpara", ColorParameterWindowProc);
}

int RegisterSaveParameterClass()
{
    return RegisterParameterClass("SAVEpara", SaveParameterWindowProc);
}

int RegisterThumbWindowClass()
{
    if (RegisterClassOf("Thumb", ThumbWindowProc, false, NULL, Grey()))
        return 1;
    ShowSysErrorMessage(g_currentWindowHandle, 3);
    return 0;
}

// ---- windows ----

HWND CreateStatusWindow(HWND owner, int x, int y)
{
    return CreateWindowExA(0, "StatWin", "STAT", WS_POPUP, x, y, 180, 20, owner, NULL, g_instance, NULL);
}

static HWND CreateToolWindow(const char *cls, const char *caption, HWND owner, int x, int y)
{
    HWND w = CreateWindowExA(WS_EX_DLGMODALFRAME, cls, caption, 0x00C80080, x, y, 120, 100, owner, NULL, g_instance,
                             NULL);
    if (!w) {
        ShowSysErrorMessage(g_currentWindowHandle, 6);
        return NULL;
    }
    HMENU system = GetSystemMenu(w, FALSE);
    if (system)
        EnableMenuItem(system, SC_MAXIMIZE, MF_BYCOMMAND | MF_GRAYED);
    QzsAdjustClientRegion(w, 100, 80);
    return w;
}

HWND CreateDrawParameterWindow()
{
    g_drawParamWindow = CreateToolWindow("DRAWpara", "Draw Parameter", g_mainWindow, g_cfg.DrawParameterX,
                                         g_cfg.DrawParameterY);
    return g_drawParamWindow;
}

HWND CreateColorParameterWindow()
{
    g_colorParamWindow = CreateToolWindow("FCOLpara", "FuncColor Parameter", g_mainWindow, g_cfg.FuncColParameterX,
                                          g_cfg.FuncColParameterY);
    return g_colorParamWindow;
}

HWND CreateSaveParameterWindow(HWND owner)
{
    g_saveParamWindow = CreateToolWindow("SAVEpara", "Save Parameter", owner, 10, 400);
    return g_saveParamWindow;
}

void CreateParameterWindows()
{
    if (RegisterDrawParameterClass())
        CreateDrawParameterWindow();
    if (RegisterColorParameterClass())
        CreateColorParameterWindow();
    RegisterSaveParameterClass();
}

void CreateToolTipWindow()
{
    g_toolTipWindow = CreateWindowExA(0, TOOLTIPS_CLASSA, NULL, TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                                      CW_USEDEFAULT, CW_USEDEFAULT, g_mainWindow, NULL, g_instance, NULL);
    if (!g_toolTipWindow)
        ShowErrorMessage(g_mainWindow, 75);
}

static void InitWindowRecord(ImageWindow *w)
{
    w->display.zoom = 2;
    w->display.editDepth = 32;
    for (RegionSlot &slot : w->display.slots)
        slot.left = slot.top = slot.right = slot.bottom = -1;
    w->dither = 1;
    w->maskDisplay = 1;
    w->regionDisplayMode = 4;
    w->layerFrameMode = 1;
    w->marginX = g_cfg.FrameX > 0 ? g_cfg.FrameX : 0;
    w->marginY = g_cfg.FrameY > 0 ? g_cfg.FrameY : 0;
    w->maxWidth = g_cfg.AdjMaxSizeX;
    w->maxHeight = g_cfg.AdjMaxSizeY;
}

ImageWindow *CreateImageWindow(int x, int y, int width, int height)
{
    if (g_noWindowState && g_firstWindow) {
        ImageWindow *kept = g_firstWindow;
        LeaveNoWindowState(kept);
        return kept;
    }
    ImageWindow *w = (ImageWindow *)calloc(1, sizeof(ImageWindow));
    if (!w)
        return NULL;
    InitWindowRecord(w);
    w->window = CreateWindowExA(0, kClassImageWindow, kProgramTitle,
                                WS_OVERLAPPEDWINDOW | WS_HSCROLL | WS_VSCROLL | WS_CLIPCHILDREN, x, y, width, height,
                                g_imageOwner, NULL, g_instance, NULL);
    if (!w->window) {
        ShowSysErrorMessage(g_currentWindowHandle, 4);
        free(w);
        return NULL;
    }
    if (g_statusWindowsOn) {
        w->statusOffsetX = g_statusOffsetX;
        w->statusOffsetY = g_statusOffsetY;
        int sx, sy;
        PlaceStatusWindow(w, &sx, &sy);
        w->statusWindow = CreateStatusWindow(w->window, sx, sy);
    }
    if (g_lastWindow)
        g_lastWindow->next = w;
    else
        g_firstWindow = w;
    g_lastWindow = w;
    UpdateDitherCheck(w);
    UpdateWindowMenus();
    ShowScrollBar(w->window, SB_BOTH, TRUE);
    LayoutImageWindow(w);
    AcceptDroppedFiles(w->window);
    return w;
}

void AcceptDroppedFiles(HWND window)
{
    LONG_PTR style = GetWindowLongPtrA(window, GWL_EXSTYLE);
    if (!(style & WS_EX_ACCEPTFILES))
        SetWindowLongPtrA(window, GWL_EXSTYLE, style | WS_EX_ACCEPTFILES);
}

// ---- cursors ----

static int ColorKind()
{
    const ColorRecord *c = QzsGetColor(0);
    if (c->regionBits)
        return 1;
    return c->function ? 2 : 0;
}

HCURSOR UpdateCursor(ImageWindow *)
{
    HCURSOR cursor;
    DrawPluginRecord *draw = GetCurrentDrawPlugin();
    if (InTransformMode() || InCheckMode())
        cursor = GetSystemCursor(kCursorArrow);
    else if (GetEffectDialog() || (g_currentWindow && g_currentWindow->lock))
        cursor = GetProgramCursor(kCursorLocked);
    else if (draw && draw->cursor)
        cursor = draw->cursor;
    else
        cursor = GetProgramCursor(kCursorPlain + ColorKind());
    g_currentCursor = cursor;
    return cursor;
}

void SetCurrentCursor(HCURSOR cursor)
{
    g_currentCursor = cursor;
    if (cursor)
        SetCursor(cursor);
}

// ---- small operations ----

void ShowNotSupportedMessage()
{
    ShowErrorMessage(g_currentWindowHandle, 7);
}

// The rectangle that XOR outlines (region borders, guides) left to refresh is forgotten.
int ClearBorderDirtyRect()
{
    ClearPendingRefresh();
    return -1;
}

void SetNewImageBackColor(int mode)
{
    s_newImageBackColor = mode;
}

int GetNewImageBackColor()
{
    return s_newImageBackColor;
}

bool GetTaskBarRect(RECT *out)
{
    HWND bar = FindWindowA("Shell_TrayWnd", NULL);
    if (!bar || !GetWindowRect(bar, out))
        return false;
    return out->right > out->left && out->bottom > out->top;
}

void DeleteShellDrawingObjects()
{
    DeleteToolBarDrawingObjects();
    DeleteGridPen();
    if (s_buttonFace)
        DeleteObject(s_buttonFace);
    s_buttonFace = NULL;
}
