// Steps of the program whose subsystems are not built yet. Each is named as the subsystem will
// name it and does nothing (or the least that keeps the program running); the subsystem replaces
// its entries here with the real ones.
#include "ovrin.h"
#include "files/bmp.h"
#include "files/macro.h"
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
#include "plugins/drawsel.h"
#include "plugins/effectdlg.h"
#include "plugins/install.h"
#include "plugins/loader.h"
#include "plugins/params.h"
#include "plugins/plugdialogs.h"
#include "plugins/reedit.h"
#include "image/pen.h"
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

// ---- display composition ----
QZS_DECL(int) QzsEorPoint(ImageWindow *, int, int, int) { return 0; }
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
void SetCurrentCursor(HCURSOR) {}
QZS_DECL(HCURSOR) QzsGetCursor(int) { return NULL; }
void ShowMemoryStatus() {}
void RestoreIfMinimized(ImageWindow *) {}
void CreateParameterWindows() {}
int RegisterStatusWindowClass() { return 1; }
int RegisterThumbWindowClass() { return 1; }
void SetNewImageBackColor(int) {}
void SwitchOverlaysToWindow(ImageWindow *) {}
void InitWindowFrameMetrics(ImageWindow *) {}
void RelayoutImageWindow(ImageWindow *) {}
void CreateItemWindow() {}
void InitTablet(HWND) {}
int RegisterClipWindowClass() { return 1; }
void RestoreClipWindowLayout() {}
void SaveClipWindowLayout() {}

// ---- pens ----
QZS_DECL(PenRecord *) QzsGetPen(void) { return NULL; }

// ---- lighting ----
void WriteLightSettings() {}

// ---- plug-in host ----
void CreateWorkingDirectories() {}
void InstallNewerDataFiles() {}
void InstallDroppedPlugins() {}
void SelectDrawIndex(int) {}
void ReadEffectTree() {}
void LoadDictionary() {}
void ApplyDictionaryToDraws() {}
void ApplyDictionaryToEffects() {}
void ApplyDictionaryToSubWindows() {}
void ApplyDictionaryToTransforms() {}
void ApplyDictionaryToFuncColors() {}
void ApplyDictionaryToLayerBlends() {}
void SaveDictionary() {}
void FreeDictionary() {}
void ShowLanguageDialog(HWND) {}
void BroadcastImageChanged(ImageGroup *, LayerRecord *, CDIB *, int) {}
void BroadcastImageListChanged() {}
void BroadcastImageGroupListChanged() {}
void BroadcastColorChanged(int) {}
void SendSubWindowMessage(HWND, int, INT_PTR, INT_PTR) {}
void BroadcastActiveRegionChanged(int) {}
void BroadcastReceiveMessage(int, INT_PTR, INT_PTR) {}
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
ParameterPanel *GetParameterPanel(int) { return NULL; }
void RebuildColorParameterPanel(const char *) {}
QZS_DECL(const char *) QzsGetParameter(int, int) { return "0"; }
int GetCurrentDraw() { return 0; }
int CheckDrawColorCombination(int, int) { return 1; }
int SelectDrawForColorFunction() { return 1; }
void SetColorFunctionDrawMode(int) {}
QZS_DECL(int) QzsSetDrawByID(int) { return 0; }
QZS_DECL(int) QzsSetDrawByName(const char *) { return -1; }

// ---- files ----
void RecordMacroLine(const char *) {}
void SetCurrentSaveFormat(int) {}
int SaveImageGroup(ImageGroup *, const char *) { return 0; }
CDIB *CreateImageFromDib(const BITMAPINFO *, int) { return NULL; }
void OpenCommandLineFiles(const char *) {}
void FindSusieDirectory() {}
void LoadSusiePlugins() {}
void FreeSusiePlugins() {}
void LoadSavePlugins() {}
int ReadBmpFile(const char *, HGLOBAL *, HGLOBAL *, QzProgressProc) { return 0; }
bool TwainMessageHook(MSG *) { return false; }

// ---- pen and the sub-window plug-in table ----
void MakeDefaultPen() {}

HWND g_itemWindow;

// ---- draw methods, sub-window plug-ins, status bar ----
void SetStatusBarText(int, const char *) {}
int NewImageFillMode() { return 0; }

// ---- save-format table and save option panels ----
int DepthToButtonId(int depth, int saveDialog)
{
    static const int ids[2][4] = {{8017, 8018, 8019, 8020}, {3003, 3005, 3006, 3009}};
    int i = depth == 8 ? 0 : depth == 16 ? 1 : depth == 24 ? 2 : depth == 32 ? 3 : -1;
    return i < 0 ? 0 : ids[saveDialog ? 1 : 0][i];
}
void ShowSaveDepthButtons(HWND, int, int) {}
int SelectSaveDepthButton(HWND dialog, int, int depth, int saveDialog)
{
    CheckDlgButton(dialog, DepthToButtonId(depth, saveDialog), BST_CHECKED);
    return depth;
}
const char *SavePluginFormatName(int) { return NULL; }
const char *SavePluginFilter(int) { return NULL; }
void ShowSaveOptionPanel(int, HWND) {}
void CloseSaveOptionPanel(bool) {}
