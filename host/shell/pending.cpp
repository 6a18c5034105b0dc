// Steps of the program whose subsystems are not built yet. Each is named as the subsystem will
// name it and does nothing (or the least that keeps the program running); the subsystem replaces
// its entries here with the real ones.
#include "ovrin.h"
#include "files/bmp.h"
#include "files/openimage.h"
#include "files/outside.h"
#include "files/progress.h"
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

// ---- display composition ----
int BuildWindowDisplay(ImageWindow *, ImageGroup *, bool) { return 1; }
void ComposeWholeDisplay(ImageWindow *, ImageGroup *) {}
void ComposeDisplayRect(ImageWindow *, ImageGroup *, int, int, int, int, int) {}
void ComposeRow(int, int, int, int count, ImageGroup *, CDIB *, const uint32_t *, const uint8_t *, uint32_t *colorRow,
                uint8_t *maskRow)
{
    for (int i = 0; i < count; i++) {
        colorRow[i] = 0;
        maskRow[i] = 0;
    }
}
int QZCAPI BlendPixelOver(const uint8_t *, const uint8_t *upper, int, int, uint8_t *out)
{
    for (int i = 0; i < 4; i++)
        out[i] = upper[i];
    return 0;
}
void SetCurrentBlendFunction(BlendFunction) {}
void ClearDisplay(ImageWindow *) {}
int RefreshWindowRect(ImageWindow *, int, int, int, int, int) { return 0; }
void RedrawImageWindow(ImageWindow *) {}
void LayoutImageWindow(ImageWindow *) {}
void UpdateScrollBars(ImageWindow *) {}
void ClearPendingRefresh() {}
void FlattenOntoBackground(CDIB *) {}

// ---- windows ----
void LoadProgramCursors() {}
void UpdateCursor(ImageWindow *) {}
void ShowMemoryStatus() {}
void RestoreIfMinimized(ImageWindow *) {}
void CreateParameterWindows() {}
int RegisterStatusWindowClass() { return 1; }
int RegisterThumbWindowClass() { return 1; }
void DeleteShellDrawingObjects() {}
void SetNewImageBackColor(int) {}
void SwitchOverlaysToWindow(ImageWindow *) {}
void InitWindowFrameMetrics(ImageWindow *) {}
void RelayoutImageWindow(ImageWindow *) {}
void UpdateWindowMenus() {}
void CheckZoomMenuItem(ImageWindow *) {}
void CreateToolBarButtons() {}
void CreateToolTipWindow() {}
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
void FindSusieDirectory() {}
int CountSusieReaders() { return 0; }
int SusieIsSupported(int, const char *, FILE *, int64_t, int) { return 0; }
int SusieGetPicture(int, const char *, int64_t, int, HGLOBAL *, HGLOBAL *, QzProgressProc) { return 1; }
int SusiePluginInfo(int, int, char *text, int size)
{
    if (size > 0)
        text[0] = 0;
    return 0;
}
UINT_PTR CALLBACK OpenDialogHook(HWND, UINT, WPARAM, LPARAM) { return 0; }
int ReadMr2File(const char *, ImageGroup *, QzProgressProc, int) { return 0; }
int WriteMr2File(const char *, ImageGroup *) { return 1; } // nothing can write it yet: a failed save
int IsMr2File(const char *) { return 0; }
int ReadMr2FirstImage(const char *, QzProgressProc, HGLOBAL *, HGLOBAL *) { return 0; }
bool TwainMessageHook(MSG *) { return false; }

// ---- steps the file code calls ----
// Until colour reduction exists, 8-bit saving maps every colour onto the 3-3-2 palette.
int ReduceColors(const BITMAPINFOHEADER *sourceHeader, const void *sourcePixels, BITMAPINFO *destHeader,
                 void *destPixels, int, int, QzProgressProc)
{
    int w = sourceHeader->biWidth, h = sourceHeader->biHeight;
    int row = GetRowLength(w, 8);
    SetColorTable332(destHeader);
    const BITMAPINFO *source = (const BITMAPINFO *)sourceHeader;
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            uint8_t c[4];
            GetDIBPixel(source, sourcePixels, x, y, c);
            ((uint8_t *)destPixels)[(int64_t)(h - 1 - y) * row + x] =
                (uint8_t)((c[1] & 0xE0) | ((c[2] >> 3) & 0x1C) | (c[0] >> 6));
        }
    return 1;
}
void AddRecentFile(const char *) {}
void BuildMainMenu() {}
int AskMultiImageSave() { return 0; }
void TraceRegionBorder(ImageWindow *) {}
int BuildDirFileList(const char *) { return 0; }
void FreeDirFileList() {}
void BroadcastGetDirectory(INT_PTR, INT_PTR) {}
HWND CreateProgressDialog(HWND) { return NULL; }
ParameterPanel *LoadParameterPanel(HWND, const char *, const char *, int, int, int, int, int) { return NULL; }
void CreateParameterControls(HWND, ParameterPanel *) {}
void LoadParameterValues(int, ParameterPanel *, const char *, const char *) {}
int CloseParameterPanel(const char *, ParameterPanel *, int) { return 1; }
void PaintParameterPanel(HWND, ParameterPanel *) {}
LRESULT RouteMouseToParameterControls(HWND, UINT, ParameterPanel *, WPARAM, LPARAM) { return 0; }
void RouteCommandToParameterControl(HWND, UINT, ParameterPanel *, WPARAM, LPARAM) {}
int CountParameterControls(ParameterPanel *) { return 0; }
QZS_DECL(const char *) QzsGetParameter(int, int) { return "0"; }
