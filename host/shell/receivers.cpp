// The program's receivers of what the lower layers tell and ask: the sub-window broadcasts, the
// view's repaints, the menus and status, and the draw machinery's modes.
#include "shell/receivers.h"
#include "shell/clipwin.h"
#include "shell/itemwin.h"
#include "base/notify.h"
#include "draw/drawmouse.h"
#include "draw/drawsel.h"
#include "draw/reedit.h"
#include "draw/transform.h"
#include "files/save.h"
#include "plugins/effectdlg.h"
#include "plugins/params.h"
#include "plugins/subwin.h"
#include "script/macro.h"
#include "shell/menus.h"
#include "shell/startup.h"
#include "shell/tablet.h"
#include "shell/toolbar.h"
#include "shell/winproc.h"
#include "view/display.h"
#include "view/groupview.h"
#include "view/regionborder.h"
#include "view/winlist.h"

namespace {

void CursorChanged() { UpdateCursor(g_currentWindow); }
void ZoomChanged(ImageWindow *window) { CheckZoomMenuItem(window); }
void RecomposeWindow(ImageWindow *window) { ComposeWholeDisplay(window, window->group); }
void RefreshRect(ImageWindow *window, int x0, int y0, int x1, int y1, int now)
{
    RefreshWindowRect(window, x0, y0, x1, y1, now);
}
int SaveGroup(ImageGroup *group) { return SaveImageGroup(group, NULL); }
int TransformMode() { return InTransformMode(); }
int ReeditMode() { return InReeditMode(); }
int CheckMode() { return InCheckMode(); }
// The item window shows colours, pen and draw method: it follows each change.
void ColorChanged(int slot)
{
    BroadcastColorChanged(slot);
    RefreshItemWindow();
}
void PenChanged(INT_PTR source, PenRecord *pen)
{
    BroadcastPenChanged(source, pen);
    RefreshItemWindow();
}
void DrawSelected(int oldRow, int newRow)
{
    ShowDrawSelection(oldRow, newRow);
    RefreshItemWindow();
}
int DrawAccepts(int function) { return CheckDrawColorCombination(GetCurrentDraw(), function); }

} // namespace

void InstallNotifyReceivers()
{
    NotifyReceivers &n = g_notify;
    n.imageChanged = BroadcastImageChanged;
    n.imageListChanged = BroadcastImageListChanged;
    n.imageGroupListChanged = BroadcastImageGroupListChanged;
    n.colorChanged = ColorChanged;
    n.penChanged = PenChanged;
    n.activeRegionChanged = BroadcastActiveRegionChanged;
    n.pluginMessage = BroadcastSubWindowMessage;
    n.subWindowMessage = SendSubWindowMessage;
    n.makePenIn = MakePenInSubWindow;
    n.dockedClips = ClipWindowsOfMember;

    n.menusChanged = UpdateWindowMenus;
    n.zoomChanged = ZoomChanged;
    n.recentFilesChanged = BuildMainMenu;
    n.memoryChanged = ShowMemoryStatus;
    n.toolButtonPressed = SetToolButtonOfKindPressed;
    n.cursorChanged = CursorChanged;
    n.setCursor = SetCurrentCursor;
    n.statusText = ShowStartupStatus;
    n.macroLine = RecordMacroLine;
    n.macroEffect = RecordMacroEffect;
    n.recomposeWindow = RecomposeWindow;
    n.redrawWindow = RedrawImageWindow;
    n.refreshWindowRect = RefreshRect;
    n.redrawGroupWindows = RedrawGroupWindows;
    n.showGroupInWindow = ShowGroupInWindow;
    n.updateOtherViews = UpdateOtherViews;
    n.traceRegionBorder = TraceRegionBorder;
    n.stopBorderAnimation = StopBorderAnimation;
    n.saveGroup = SaveGroup;
    n.newImageBackColor = SetNewImageBackColor;

    n.transformMode = TransformMode;
    n.transformSource = GetTransformSource;
    n.transformGroup = GetTransformGroup;
    n.moveTransformSource = MoveTransformSource;
    n.cancelTransform = CancelTransform;
    n.redrawTransformOverlay = RedrawTransformOverlay;
    n.reeditMode = ReeditMode;
    n.checkMode = CheckMode;
    n.endCheckMode = EndCheckMode;
    n.drawReeditGuide = DrawReeditGuide;
    n.drawParameterPointGroups = DrawParameterPointGroups;
    n.eraseHoverGuide = EraseHoverGuide;
    n.effectDialog = GetEffectDialog;
    n.releaseDrawLock = ReleaseDrawLock;
    n.drawAcceptsColorFunction = DrawAccepts;
    n.selectDrawForColorFunction = SelectDrawForColorFunction;
    n.colorFunctionDrawMode = SetColorFunctionDrawMode;
    n.colorFunctionPanel = ShowColorFunctionPanel;

    n.selectDrawIndex = SelectDrawIndex;
    n.drawSelected = DrawSelected;
    n.drawButtonsChanged = RedrawToolButtons;
    n.statusBarText = SetStatusBarText;
    n.macroDraw = RecordMacroDraw;
    n.macroFigureDone = MarkMacroStateChanged;
    n.readTablet = ReadTabletPacket;
    n.flushTablet = FlushTabletPackets;
}
