#include "base/notify.h"

NotifyReceivers g_notify;

void NotifyImageChanged(ImageGroup *group, LayerRecord *layer, CDIB *image, int code)
{
    if (g_notify.imageChanged)
        g_notify.imageChanged(group, layer, image, code);
}

void NotifyImageListChanged()
{
    if (g_notify.imageListChanged)
        g_notify.imageListChanged();
}

void NotifyImageGroupListChanged()
{
    if (g_notify.imageGroupListChanged)
        g_notify.imageGroupListChanged();
}

void NotifyColorChanged(int slot)
{
    if (g_notify.colorChanged)
        g_notify.colorChanged(slot);
}

void NotifyPenChanged(INT_PTR source, PenRecord *pen)
{
    if (g_notify.penChanged)
        g_notify.penChanged(source, pen);
}

void NotifyActiveRegionChanged(int bits)
{
    if (g_notify.activeRegionChanged)
        g_notify.activeRegionChanged(bits);
}

void NotifyPluginMessage(int code, INT_PTR a, INT_PTR b)
{
    if (g_notify.pluginMessage)
        g_notify.pluginMessage(code, a, b);
}

void NotifySubWindow(HWND window, int code, INT_PTR a, INT_PTR b)
{
    if (g_notify.subWindowMessage)
        g_notify.subWindowMessage(window, code, a, b);
}

int AskMakePenIn(HWND window, char *code)
{
    return g_notify.makePenIn ? g_notify.makePenIn(window, code) : 0;
}

int AskDockedClips(HWND subWindow, HWND *clips, int *rightAligned, int capacity)
{
    if (!g_notify.dockedClips || capacity <= 0)
        return 0;
    int n = g_notify.dockedClips(subWindow, clips, rightAligned, capacity);
    return n < 0 ? 0 : n > capacity ? capacity : n;
}

void NotifyMenusChanged()
{
    if (g_notify.menusChanged)
        g_notify.menusChanged();
}

void NotifyZoomChanged(ImageWindow *window)
{
    if (g_notify.zoomChanged)
        g_notify.zoomChanged(window);
}

void NotifyRecentFilesChanged()
{
    if (g_notify.recentFilesChanged)
        g_notify.recentFilesChanged();
}

void NotifyMemoryChanged()
{
    if (g_notify.memoryChanged)
        g_notify.memoryChanged();
}

void NotifyToolButtonPressed(int kind, int id, int pressed)
{
    if (g_notify.toolButtonPressed)
        g_notify.toolButtonPressed(kind, id, pressed);
}

void NotifyCursorChanged()
{
    if (g_notify.cursorChanged)
        g_notify.cursorChanged();
}

void NotifySetCursor(HCURSOR cursor)
{
    if (g_notify.setCursor)
        g_notify.setCursor(cursor);
}

void NotifyStatusText(const char *text)
{
    if (g_notify.statusText)
        g_notify.statusText(text);
}

void NotifyMacroLine(const char *line)
{
    if (g_notify.macroLine)
        g_notify.macroLine(line);
}

void NotifyMacroEffect(const char *name)
{
    if (g_notify.macroEffect)
        g_notify.macroEffect(name);
}

void NotifyRecomposeWindow(ImageWindow *window)
{
    if (g_notify.recomposeWindow)
        g_notify.recomposeWindow(window);
}

void NotifyRedrawWindow(ImageWindow *window)
{
    if (g_notify.redrawWindow)
        g_notify.redrawWindow(window);
}

void NotifyRefreshWindowRect(ImageWindow *window, int x0, int y0, int x1, int y1, int now)
{
    if (g_notify.refreshWindowRect)
        g_notify.refreshWindowRect(window, x0, y0, x1, y1, now);
}

void NotifyRedrawGroupWindows(ImageGroup *group)
{
    if (g_notify.redrawGroupWindows)
        g_notify.redrawGroupWindows(group);
}

int AskShowGroupInWindow(ImageWindow *window, ImageGroup *group, int force, int saveView)
{
    return g_notify.showGroupInWindow ? g_notify.showGroupInWindow(window, group, force, saveView) : 0;
}

void NotifyUpdateOtherViews(ImageWindow *window)
{
    if (g_notify.updateOtherViews)
        g_notify.updateOtherViews(window);
}

void NotifyTraceRegionBorder(ImageWindow *window)
{
    if (g_notify.traceRegionBorder)
        g_notify.traceRegionBorder(window);
}

void NotifyStopBorderAnimation()
{
    if (g_notify.stopBorderAnimation)
        g_notify.stopBorderAnimation();
}

int AskSaveGroup(ImageGroup *group)
{
    return g_notify.saveGroup ? g_notify.saveGroup(group) : 0;
}

void NotifyNewImageBackColor(int mode)
{
    if (g_notify.newImageBackColor)
        g_notify.newImageBackColor(mode);
}

bool AskTransformMode()
{
    return g_notify.transformMode ? g_notify.transformMode() != 0 : false;
}

CDIB *AskTransformSource()
{
    return g_notify.transformSource ? g_notify.transformSource() : NULL;
}

ImageGroup *AskTransformGroup()
{
    return g_notify.transformGroup ? g_notify.transformGroup() : NULL;
}

void NotifyTransformSourceMoved(int layerX, int layerY)
{
    if (g_notify.moveTransformSource)
        g_notify.moveTransformSource(layerX, layerY);
}

void AskCancelTransform(ImageWindow *window)
{
    if (g_notify.cancelTransform)
        g_notify.cancelTransform(window);
}

void NotifyRedrawTransformOverlay(ImageWindow *window)
{
    if (g_notify.redrawTransformOverlay)
        g_notify.redrawTransformOverlay(window);
}

bool AskReeditMode()
{
    return g_notify.reeditMode ? g_notify.reeditMode() != 0 : false;
}

bool AskCheckMode()
{
    return g_notify.checkMode ? g_notify.checkMode() != 0 : false;
}

void AskEndCheckMode(ImageWindow *window)
{
    if (g_notify.endCheckMode)
        g_notify.endCheckMode(window);
}

void NotifyDrawReeditGuide(ImageWindow *window)
{
    if (g_notify.drawReeditGuide)
        g_notify.drawReeditGuide(window);
}

void NotifyDrawParameterPointGroups(ImageWindow *window, int show)
{
    if (g_notify.drawParameterPointGroups)
        g_notify.drawParameterPointGroups(window, show);
}

void NotifyEraseHoverGuide(int flag)
{
    if (g_notify.eraseHoverGuide)
        g_notify.eraseHoverGuide(flag);
}

HWND AskOpenEffectDialog()
{
    return g_notify.effectDialog ? g_notify.effectDialog() : NULL;
}

void NotifyReleaseDrawLock()
{
    if (g_notify.releaseDrawLock)
        g_notify.releaseDrawLock();
}

int AskDrawAcceptsColorFunction(int function)
{
    return g_notify.drawAcceptsColorFunction ? g_notify.drawAcceptsColorFunction(function) : 1;
}

int AskSelectDrawForColorFunction()
{
    return g_notify.selectDrawForColorFunction ? g_notify.selectDrawForColorFunction() : 1;
}

void NotifyColorFunctionDrawMode(int function)
{
    if (g_notify.colorFunctionDrawMode)
        g_notify.colorFunctionDrawMode(function);
}

void NotifyColorFunctionPanel(const char *name, int function)
{
    if (g_notify.colorFunctionPanel)
        g_notify.colorFunctionPanel(name, function);
}

void NotifySelectDrawIndex(int row)
{
    if (g_notify.selectDrawIndex)
        g_notify.selectDrawIndex(row);
}

void NotifyDrawSelected(int oldRow, int newRow)
{
    if (g_notify.drawSelected)
        g_notify.drawSelected(oldRow, newRow);
}

void NotifyDrawButtonsChanged()
{
    if (g_notify.drawButtonsChanged)
        g_notify.drawButtonsChanged();
}

void NotifyStatusBarText(int part, const char *text)
{
    if (g_notify.statusBarText)
        g_notify.statusBarText(part, text);
}

void NotifyMacroDraw(const char *word, int x, int y, int keys)
{
    if (g_notify.macroDraw)
        g_notify.macroDraw(word, x, y, keys);
}

void NotifyMacroFigureDone()
{
    if (g_notify.macroFigureDone)
        g_notify.macroFigureDone();
}

void AskTabletPacket(int *x, int *y, int *pressure, int *maxPressure)
{
    *x = *y = *maxPressure = 0;
    *pressure = 255;
    if (g_notify.readTablet && !g_notify.readTablet(x, y, pressure, maxPressure)) {
        *x = *y = *maxPressure = 0;
        *pressure = 255;
    }
}

void NotifyFlushTablet()
{
    if (g_notify.flushTablet)
        g_notify.flushTablet();
}
