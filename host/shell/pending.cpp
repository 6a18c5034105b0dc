// Steps of the program whose subsystems are not built yet. Each is named as the subsystem will
// name it and does nothing (or the least that keeps the program running); the subsystem replaces
// its entries here with the real ones.
#include "ovrin.h"
#include "files/bmp.h"
#include "plugins/drawmouse.h"
#include "plugins/drawsel.h"
#include "image/paint.h"
#include "files/openimage.h"
#include "files/save.h"
#include "files/susie.h"
#include "files/twain.h"
#include "image/cdib.h"
#include "image/colors.h"
#include "image/display.h"
#include "image/lighting.h"
#include "image/regions.h"
#include "image/undo.h"
#include "plugins/effectdlg.h"
#include "plugins/install.h"
#include "plugins/loader.h"
#include "plugins/params.h"
#include "plugins/plugdialogs.h"
#include "plugins/reedit.h"
#include "plugins/subwin.h"
#include "plugins/transform.h"
#include "shell/app.h"
#include "shell/clipwin.h"
#include "shell/config.h"
#include "shell/itemwin.h"
#include "shell/keymap.h"
#include "shell/menus.h"
#include "shell/messages.h"
#include "shell/sysinfo.h"
#include "shell/tablet.h"
#include "shell/toolbar.h"
#include "shell/winlist.h"
#include "shell/winproc.h"

// ---- configuration ----
void InitApplicationSettings()
{
    char dir[kPathBytes];
    GetProgramDirectory(dir, sizeof dir);
    g_screenWidth = GetSystemMetrics(SM_CXSCREEN);
    g_screenHeight = GetSystemMetrics(SM_CYSCREEN);
    g_screenDepth = QueryScreenDepth();
    SetDefaultColors();
    SetDefaultSettings(dir);
}
int ReadConfigFile() { return 0; }
int WriteConfigFile() { return 0; }
void WriteFontFile() {}
void ApplyConfiguredColors() {}
void ApplyConfiguredPen() {}
int LoadMessageTranslations() { return 0; }

// ---- windows ----
void UpdateWindowMenus() {}
void CheckZoomMenuItem(ImageWindow *) {}
void CreateToolBarButtons() {}
void DrawToolButtons() {}
HACCEL LoadKeyMapAndAccelerators() { return NULL; }
void FreeKeyCommands() {}
void CreateItemWindow() {}
void InitTablet(HWND) {}
int RegisterClipWindowClass() { return 1; }
void RestoreClipWindowLayout() {}
void SaveClipWindowLayout() {}

// ---- regions, undo, lighting ----
void StopBorderAnimation() {}
void FreeUndoRecords(CDIB *, UndoRecord *) {}
void FreeRegionUndoRecords(ImageGroup *, UndoRecord *) {}
void PushWholeImageUndo(CDIB *, CDIB *) {}
void WriteLightSettings() {}
QZS_DECL(int) QzsGetRegionArea(ImageGroup *group, LayerRecord *, int *left, int *top, int *right, int *bottom, int)
{
    int w, h, d;
    GetImageSize(group ? group->base : NULL, &w, &h, &d);
    *left = -(group ? group->layerX : 0);
    *top = -(group ? group->layerY : 0);
    *right = *left + w - 1;
    *bottom = *top + h - 1;
    return 0;
}

// ---- plug-in host ----
void CreateWorkingDirectories() {}
void InstallNewerDataFiles() {}
void InstallDroppedPlugins() {}
void LoadAllPlugins() {}
void UnloadAllPlugins() {}
LayerBlendRecord *GetLayerBlendRow(int) { return NULL; }
void ShowLanguageDialog(HWND) {}
void BroadcastImageChanged(ImageGroup *, LayerRecord *, CDIB *, int) {}
void BroadcastImageListChanged() {}
void BroadcastImageGroupListChanged() {}
void CreateSubWindows() {}
void ShowSubWindows() {}
int IsSubWindowDialogMessage(MSG *) { return 0; }
bool InTransformMode() { return false; }
CDIB *GetTransformSource() { return NULL; }
ImageGroup *GetTransformGroup() { return NULL; }
void MoveTransformSource(int, int) {}
void CancelTransform(ImageWindow *) {}
void RedrawTransformOverlay(ImageWindow *) {}
bool InCheckMode() { return false; }
bool InReeditMode() { return false; }
void EndCheckMode(ImageWindow *) {}
void DrawReeditGuide(ImageWindow *) {}
HWND GetEffectDialog() { return NULL; }
void CloseEffectParameterPanel() {}
void CloseDrawAndColorParameterPanels() {}
QZS_DECL(int) QzsSetDrawByID(int) { return 0; }
QZS_DECL(int) QzsSetDrawByName(const char *) { return -1; }

// ---- files ----
void SetCurrentSaveFormat(int) {}
int SaveImageGroup(ImageGroup *, const char *) { return 0; }
CDIB *CreateImageFromDib(const BITMAPINFO *, int) { return NULL; }
void OpenCommandLineFiles(const char *) {}
void FindSusieDirectory() {}
int ReadBmpFile(const char *, HGLOBAL *, HGLOBAL *, QzProgressProc) { return 0; }
bool TwainMessageHook(MSG *) { return false; }

// ---- called by the windows: draw machinery, painting, regions, parameters, tool bar ----
int OnDrawLeftButtonDown(ImageWindow *, WPARAM, LPARAM, int) { return 0; }
int OnDrawLeftButtonUp(ImageWindow *, WPARAM, LPARAM, int) { return 0; }
int OnDrawRightButtonDown(ImageWindow *, WPARAM, LPARAM, int) { return 0; }
int OnDrawRightButtonUp(ImageWindow *, WPARAM, LPARAM, int) { return 0; }
int OnDrawMouseMove(ImageWindow *, WPARAM, LPARAM, int) { return 0; }
int OnDrawShiftDown(ImageWindow *, WPARAM) { return 0; }
int OnDrawShiftUp(ImageWindow *, WPARAM) { return 0; }
void WindowToImage(ImageWindow *, int x, int y, int *outX, int *outY, int)
{
    *outX = x;
    *outY = y;
}
void SendSyntheticMouseMove(ImageWindow *, int, LPARAM, int) {}
void EraseHoverGuide(int) {}
static int s_drawState;
int GetDrawState() { return s_drawState; }
void SetDrawState(int state) { s_drawState = state; }
void ResetFigureState() {}
bool IsLoopMode() { return false; }
bool IsDrawMachineryBusy() { return false; }
DrawPluginRecord *GetCurrentDrawPlugin() { return NULL; }
int GetCurrentDrawInfo() { return 0; }
QZS_DECL(void) QzsInitPoint(void) {}
void CommitStroke(ImageWindow *) {}
void AnimateRegionBorder(ImageWindow *, int) {}
void ClearBorderRepaintRect() {}
QZS_DECL(void) QzsSetActiveRegion(int bits)
{
    if (g_currentWindow)
        g_currentWindow->activeRegion = (uint32_t)bits & 7;
}
void BroadcastActiveRegionChanged(int) {}
void DrawParameterPointGroups(ImageWindow *, int) {}
ParameterPanel *GetParameterPanel(int) { return NULL; }
void PaintParameterPanel(HWND, ParameterPanel *) {}
int RouteMouseToParameterControls(ParameterPanel *, HWND, UINT, WPARAM, LPARAM) { return 0; }
int RouteCommandToParameterControl(ParameterPanel *, HWND, WPARAM, LPARAM) { return 0; }
QZS_DECL(const char *) QzsGetParameter(int, int) { return "0"; }
QZS_DECL(int) QzsGetParameterSubWindowID(ParameterPanel *, int) { return 0; }
QZS_DECL(ColorFunctionRecord *) QzsGetFunctionalColor(int) { return NULL; }
QZS_DECL(int) QzsSpoitColor(ImageWindow *, int, int, int) { return 0; }
int OpenDroppedFile(ImageWindow *, const char *) { return 0; }
void OnToolBarMouse(HWND, UINT, WPARAM, LPARAM) {}
void OnToolTipNeedText(NMHDR *) {}
