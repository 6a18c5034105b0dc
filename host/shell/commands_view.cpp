// Single commands on how an image window shows its image: display switches, zoom, scrolling.
#include "view/regionborder.h"
#include "view/display.h"
#include "base/app.h"
#include "image/regions.h"
#include "shell/commands.h"
#include "shell/commands_internal.h"
#include "shell/commands_pending.h"
#include "draw/drawmouse.h"
#include "base/settings.h"
#include "shell/menus.h"
#include "base/messages.h"
#include "shell/winproc.h"

static void Recompose(ImageWindow *window)
{
    ComposeWholeDisplay(window, window->group);
    RedrawImageWindow(window);
}

static void ToggleMaskDisplay(ImageWindow *window)
{
    window->maskDisplay = !window->maskDisplay;
    if (window->menu)
        CheckMenuItem(window->menu, kCommandMaskDisplay,
                      MF_BYCOMMAND | (window->maskDisplay ? MF_CHECKED : MF_UNCHECKED));
    Recompose(window);
}

static void SetRegionDisplay(ImageWindow *window, int mode)
{
    SetDisplayModeChecks(window, 0);
    window->regionDisplayMode = mode;
    SetDisplayModeChecks(window, MF_CHECKED);
    if (mode < 4) {
        ComposeWholeDisplay(window, window->group);
    } else if (window->layerImage && window->layerImage->editDepth == 32) {
        StartBorderAnimation(window);
        ComposeWholeDisplay(window, window->group);
    }
    RedrawImageWindow(window);
}

static void SetLayerFrameMode(ImageWindow *window, int mode)
{
    SetDisplayModeChecks(window, 0);
    window->layerFrameMode = mode;
    SetDisplayModeChecks(window, MF_CHECKED);
    Recompose(window);
}

static void ToggleDither(ImageWindow *window)
{
    window->dither = !window->dither;
    if (window->menu)
        CheckMenuItem(window->menu, kCommandSwitchDither, MF_BYCOMMAND | (window->dither ? MF_CHECKED : MF_UNCHECKED));
    Recompose(window);
}

void RunScrollCommand(ImageWindow *window, int id)
{
    if (!window->window)
        return;
    switch (id) {
    case 32691: SendMessageA(window->window, WM_HSCROLL, SB_LINELEFT, 0); break;
    case 32692: SendMessageA(window->window, WM_HSCROLL, SB_LINERIGHT, 0); break;
    case 32693: SendMessageA(window->window, WM_VSCROLL, SB_LINEUP, 0); break;
    case 32694: SendMessageA(window->window, WM_VSCROLL, SB_LINEDOWN, 0); break;
    }
    NudgeCursor();
}

static void ChangeActiveWindow(ImageWindow *window)
{
    HWND target = GetActiveWindow() == window->window ? g_subParent : window->window;
    if (target)
        SendMessageA(target, WM_ACTIVATE, WA_ACTIVE, (LPARAM)window->window);
}

bool RunViewCommand(ImageWindow *window, int id)
{
    switch (id) {
    case kCommandMaskDisplay: ToggleMaskDisplay(window); break;
    case 32038: case 32039: case 32040: case 32041: SetRegionDisplay(window, id - 32038 + 1); break;
    case 32089: SetLayerFrameMode(window, 1); break;
    case 32093: SetLayerFrameMode(window, 2); break;
    case 32092: SetLayerFrameMode(window, 0); break;
    case 32090:
        EraseHoverGuide(1);
        g_cfg.DisplayPenShape = !g_cfg.DisplayPenShape;
        RedrawImageWindow(window);
        break;
    case kCommandGrid:
        window->grid = !window->grid;
        CheckGridMenuItem(window);
        RedrawImageWindow(window);
        break;
    // The window procedure applies a zoom change after the dispatcher returns.
    case 32009: window->display.zoom = 1; break;
    case 32010: window->display.zoom = 2; break;
    case 32011: window->display.zoom = 4; break;
    case 32012: window->display.zoom = 8; break;
    case 32047: window->display.zoom = -2; break;
    case 32048: window->display.zoom = -4; break;
    case 32049: window->display.zoom = -8; break;
    case 32065:
        if (window->layerImage && window->layerImage->editDepth >= 32) {
            window->lock = !window->lock;
            UpdateCursor(window);
        }
        break;
    case kCommandImageList: ShowErrorMessage(g_mainWindow, 7); break;
    case kCommandSwitchDither: ToggleDither(window); break;
    case 32691: case 32692: case 32693: case 32694: RunScrollCommand(window, id); break;
    case 32042: ChangeActiveWindow(window); break;
    default: return false;
    }
    return true;
}
