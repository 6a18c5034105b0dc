#include "base/notify.h"
#include <type_traits>

NotifyReceivers g_notify;

namespace {

// Tells the receiver, when there is one.
template <class... Params, class... Args> void Tell(void (*receiver)(Params...), Args... args)
{
    if (receiver)
        receiver(args...);
}

// The receiver's answer, or the one that stands when nobody receives.
template <class R, class... Params, class... Args>
R Ask(R (*receiver)(Params...), std::common_type_t<R> otherwise, Args... args)
{
    return receiver ? receiver(args...) : otherwise;
}

} // namespace

void NotifyImageChanged(ImageGroup *group, LayerRecord *layer, CDIB *image, int code)
{
    Tell(g_notify.imageChanged, group, layer, image, code);
}
void NotifyImageListChanged() { Tell(g_notify.imageListChanged); }
void NotifyImageGroupListChanged() { Tell(g_notify.imageGroupListChanged); }
void NotifyColorChanged(int slot) { Tell(g_notify.colorChanged, slot); }
void NotifyPenChanged(INT_PTR source, PenRecord *pen) { Tell(g_notify.penChanged, source, pen); }
void NotifyActiveRegionChanged(int bits) { Tell(g_notify.activeRegionChanged, bits); }
void NotifyPluginMessage(int code, INT_PTR a, INT_PTR b) { Tell(g_notify.pluginMessage, code, a, b); }
void NotifySubWindow(HWND window, int code, INT_PTR a, INT_PTR b)
{
    Tell(g_notify.subWindowMessage, window, code, a, b);
}
int AskMakePenIn(HWND window, char *code) { return Ask(g_notify.makePenIn, 0, window, code); }

int AskDockedClips(HWND subWindow, HWND *clips, int *rightAligned, int capacity)
{
    if (capacity <= 0)
        return 0;
    int n = Ask(g_notify.dockedClips, 0, subWindow, clips, rightAligned, capacity);
    return n < 0 ? 0 : n > capacity ? capacity : n;
}

void NotifyMenusChanged() { Tell(g_notify.menusChanged); }
void NotifyZoomChanged(ImageWindow *window) { Tell(g_notify.zoomChanged, window); }
void NotifyRecentFilesChanged() { Tell(g_notify.recentFilesChanged); }
void NotifyMemoryChanged() { Tell(g_notify.memoryChanged); }
void NotifyToolButtonPressed(int kind, int id, int pressed) { Tell(g_notify.toolButtonPressed, kind, id, pressed); }
void NotifyCursorChanged() { Tell(g_notify.cursorChanged); }
void NotifySetCursor(HCURSOR cursor) { Tell(g_notify.setCursor, cursor); }
void NotifyStatusText(const char *text) { Tell(g_notify.statusText, text); }
void NotifyMacroLine(const char *line) { Tell(g_notify.macroLine, line); }
void NotifyMacroEffect(const char *name) { Tell(g_notify.macroEffect, name); }
void NotifyRecomposeWindow(ImageWindow *window) { Tell(g_notify.recomposeWindow, window); }
void NotifyRedrawWindow(ImageWindow *window) { Tell(g_notify.redrawWindow, window); }
void NotifyRefreshWindowRect(ImageWindow *window, int x0, int y0, int x1, int y1, int now)
{
    Tell(g_notify.refreshWindowRect, window, x0, y0, x1, y1, now);
}
void NotifyRedrawGroupWindows(ImageGroup *group) { Tell(g_notify.redrawGroupWindows, group); }
int AskShowGroupInWindow(ImageWindow *window, ImageGroup *group, int force, int saveView)
{
    return Ask(g_notify.showGroupInWindow, 0, window, group, force, saveView);
}
void NotifyUpdateOtherViews(ImageWindow *window) { Tell(g_notify.updateOtherViews, window); }
void NotifyTraceRegionBorder(ImageWindow *window) { Tell(g_notify.traceRegionBorder, window); }
void NotifyStopBorderAnimation() { Tell(g_notify.stopBorderAnimation); }
int AskSaveGroup(ImageGroup *group) { return Ask(g_notify.saveGroup, 0, group); }
void NotifyNewImageBackColor(int mode) { Tell(g_notify.newImageBackColor, mode); }

bool AskTransformMode() { return Ask(g_notify.transformMode, 0) != 0; }
CDIB *AskTransformSource() { return Ask(g_notify.transformSource, NULL); }
ImageGroup *AskTransformGroup() { return Ask(g_notify.transformGroup, NULL); }
void NotifyTransformSourceMoved(int layerX, int layerY) { Tell(g_notify.moveTransformSource, layerX, layerY); }
void AskCancelTransform(ImageWindow *window) { Tell(g_notify.cancelTransform, window); }
void NotifyRedrawTransformOverlay(ImageWindow *window) { Tell(g_notify.redrawTransformOverlay, window); }
bool AskReeditMode() { return Ask(g_notify.reeditMode, 0) != 0; }
bool AskCheckMode() { return Ask(g_notify.checkMode, 0) != 0; }
void AskEndCheckMode(ImageWindow *window) { Tell(g_notify.endCheckMode, window); }
void NotifyDrawReeditGuide(ImageWindow *window) { Tell(g_notify.drawReeditGuide, window); }
void NotifyDrawParameterPointGroups(ImageWindow *window, int show)
{
    Tell(g_notify.drawParameterPointGroups, window, show);
}
void NotifyEraseHoverGuide(int flag) { Tell(g_notify.eraseHoverGuide, flag); }
HWND AskOpenEffectDialog() { return Ask(g_notify.effectDialog, NULL); }
void NotifyReleaseDrawLock() { Tell(g_notify.releaseDrawLock); }
// Without a draw side every method takes every functional colour.
int AskDrawAcceptsColorFunction(int function) { return Ask(g_notify.drawAcceptsColorFunction, 1, function); }
int AskSelectDrawForColorFunction() { return Ask(g_notify.selectDrawForColorFunction, 1); }
void NotifyColorFunctionDrawMode(int function) { Tell(g_notify.colorFunctionDrawMode, function); }
void NotifyColorFunctionPanel(const char *name, int function) { Tell(g_notify.colorFunctionPanel, name, function); }

void NotifySelectDrawIndex(int row) { Tell(g_notify.selectDrawIndex, row); }
void NotifyDrawSelected(int oldRow, int newRow) { Tell(g_notify.drawSelected, oldRow, newRow); }
void NotifyDrawButtonsChanged() { Tell(g_notify.drawButtonsChanged); }
void NotifyStatusBarText(int part, const char *text) { Tell(g_notify.statusBarText, part, text); }
void NotifyMacroDraw(const char *word, int x, int y, int keys) { Tell(g_notify.macroDraw, word, x, y, keys); }
void NotifyMacroFigureDone() { Tell(g_notify.macroFigureDone); }

void AskTabletPacket(int *x, int *y, int *pressure, int *maxPressure)
{
    *x = *y = *maxPressure = 0;
    *pressure = 255;
    if (!Ask(g_notify.readTablet, 0, x, y, pressure, maxPressure)) {
        *x = *y = *maxPressure = 0;
        *pressure = 255;
    }
}

void NotifyFlushTablet() { Tell(g_notify.flushTablet); }
