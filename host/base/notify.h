// How a lower layer tells the layers above it that something changed, and asks them the few things
// it needs from above. The receivers form one table that the shell fills at start-up and that a
// test may fill with its own; an empty receiver does nothing and an empty question answers 0.
#pragma once
#include "ovrin.h"

struct NotifyReceivers {
    // ---- changes, heard by the sub-window plug-ins ----
    void (*imageChanged)(ImageGroup *group, LayerRecord *layer, CDIB *image, int code);
    void (*imageListChanged)();
    void (*imageGroupListChanged)();
    void (*colorChanged)(int slot);
    void (*penChanged)(INT_PTR source, PenRecord *pen);
    void (*activeRegionChanged)(int bits);
    void (*pluginMessage)(int code, INT_PTR a, INT_PTR b);                 // to every sub-window
    void (*subWindowMessage)(HWND window, int code, INT_PTR a, INT_PTR b); // to the one owning window
    // Asks the sub-window plug-in of that window to make a pen from the code; 1 when it did.
    int (*makePenIn)(HWND window, char *code);
    // The clip windows a sub-window is docked to, at most capacity, each with its right-aligned
    // flag; the count.
    int (*dockedClips)(HWND subWindow, HWND *clips, int *rightAligned, int capacity);

    // ---- requests to the view and the shell ----
    void (*menusChanged)();                  // menu checks and greyed items follow the state
    void (*zoomChanged)(ImageWindow *window); // the zoom menu's check follows the window's zoom
    void (*recentFilesChanged)();            // the recent-file list of the main menu
    void (*memoryChanged)();                 // the memory figures on the main window
    void (*toolButtonPressed)(int kind, int id, int pressed); // that tool-bar button, redrawn
    void (*cursorChanged)();                 // the image windows' cursor follows colours and modes
    void (*setCursor)(HCURSOR cursor);
    void (*statusText)(const char *text);    // a line on the start-up title window
    void (*macroLine)(const char *line);     // a step of the macro being recorded
    void (*macroEffect)(const char *name);   // an effect applied, with its parameter table
    void (*recomposeWindow)(ImageWindow *window); // the whole display composed again from its group
    void (*redrawWindow)(ImageWindow *window);    // the whole display shown again
    void (*refreshWindowRect)(ImageWindow *window, int x0, int y0, int x1, int y1, int now);
    void (*redrawGroupWindows)(ImageGroup *group); // every window showing the group, composed again
    int (*showGroupInWindow)(ImageWindow *window, ImageGroup *group, int force, int saveView);
    void (*updateOtherViews)(ImageWindow *window); // the dirty area in the group's other windows
    void (*traceRegionBorder)(ImageWindow *window); // the active region's border traced again
    void (*stopBorderAnimation)();
    int (*saveGroup)(ImageGroup *group);     // the close prompt's "Yes": 1 saved
    void (*newImageBackColor)(int mode);     // the fill last used, offered for new images

    // ---- the draw machinery's modes and overlays ----
    int (*transformMode)();
    CDIB *(*transformSource)();
    ImageGroup *(*transformGroup)();
    void (*moveTransformSource)(int layerX, int layerY);
    void (*cancelTransform)(ImageWindow *window);
    void (*redrawTransformOverlay)(ImageWindow *window);
    int (*reeditMode)();
    int (*checkMode)();
    void (*endCheckMode)(ImageWindow *window);
    void (*drawReeditGuide)(ImageWindow *window);
    void (*drawParameterPointGroups)(ImageWindow *window, int show);
    void (*eraseHoverGuide)(int flag);
    HWND (*effectDialog)();
    void (*releaseDrawLock)(); // a committed stroke frees the draw method, whoever locked it
    // Choosing a functional colour: whether the current draw method takes it, switching to one
    // that does (0: none does), and the draw side and colour panel following the choice.
    int (*drawAcceptsColorFunction)(int function);
    int (*selectDrawForColorFunction)();
    void (*colorFunctionDrawMode)(int function);
    void (*colorFunctionPanel)(const char *name, int function);

    // ---- the draw methods and the mouse ----
    void (*selectDrawIndex)(int row);             // the loader made its first row current
    void (*drawSelected)(int oldRow, int newRow); // its tool button and menu check follow
    void (*drawButtonsChanged)();                 // greyed draw buttons shown again
    void (*statusBarText)(int part, const char *text);
    void (*macroDraw)(const char *word, int x, int y, int keys); // a point event of the figure
    void (*macroFigureDone)();                    // the next figure writes the changed state first
    // The newest tablet packet and the pressure range's maximum; 0 when there is no tablet.
    int (*readTablet)(int *x, int *y, int *pressure, int *maxPressure);
    void (*flushTablet)();
};

extern NotifyReceivers g_notify;

// Changes.
void NotifyImageChanged(ImageGroup *group, LayerRecord *layer, CDIB *image, int code);
void NotifyImageListChanged();
void NotifyImageGroupListChanged();
void NotifyColorChanged(int slot);
void NotifyPenChanged(INT_PTR source, PenRecord *pen);
void NotifyActiveRegionChanged(int bits);
void NotifyPluginMessage(int code, INT_PTR a, INT_PTR b);
void NotifySubWindow(HWND window, int code, INT_PTR a, INT_PTR b);
int AskMakePenIn(HWND window, char *code);
int AskDockedClips(HWND subWindow, HWND *clips, int *rightAligned, int capacity);

// Requests.
void NotifyMenusChanged();
void NotifyZoomChanged(ImageWindow *window);
void NotifyRecentFilesChanged();
void NotifyMemoryChanged();
void NotifyToolButtonPressed(int kind, int id, int pressed);
void NotifyCursorChanged();
void NotifySetCursor(HCURSOR cursor);
void NotifyStatusText(const char *text);
void NotifyMacroLine(const char *line);
void NotifyMacroEffect(const char *name);
void NotifyRecomposeWindow(ImageWindow *window);
void NotifyRedrawWindow(ImageWindow *window);
void NotifyRefreshWindowRect(ImageWindow *window, int x0, int y0, int x1, int y1, int now);
void NotifyRedrawGroupWindows(ImageGroup *group);
int AskShowGroupInWindow(ImageWindow *window, ImageGroup *group, int force, int saveView);
void NotifyUpdateOtherViews(ImageWindow *window);
void NotifyTraceRegionBorder(ImageWindow *window);
void NotifyStopBorderAnimation();
int AskSaveGroup(ImageGroup *group);
void NotifyNewImageBackColor(int mode);

// Modes and overlays.
bool AskTransformMode();
CDIB *AskTransformSource();
ImageGroup *AskTransformGroup();
void NotifyTransformSourceMoved(int layerX, int layerY);
void AskCancelTransform(ImageWindow *window);
void NotifyRedrawTransformOverlay(ImageWindow *window);
bool AskReeditMode();
bool AskCheckMode();
void AskEndCheckMode(ImageWindow *window);
void NotifyDrawReeditGuide(ImageWindow *window);
void NotifyDrawParameterPointGroups(ImageWindow *window, int show);
void NotifyEraseHoverGuide(int flag);
HWND AskOpenEffectDialog();
void NotifyReleaseDrawLock();
int AskDrawAcceptsColorFunction(int function);
int AskSelectDrawForColorFunction();
void NotifyColorFunctionDrawMode(int function);
void NotifyColorFunctionPanel(const char *name, int function);

// Draw methods and the mouse.
void NotifySelectDrawIndex(int row);
void NotifyDrawSelected(int oldRow, int newRow);
void NotifyDrawButtonsChanged();
void NotifyStatusBarText(int part, const char *text);
void NotifyMacroDraw(const char *word, int x, int y, int keys);
void NotifyMacroFigureDone();
// Without a tablet: position (0, 0), pressure 255, maximum 0.
void AskTabletPacket(int *x, int *y, int *pressure, int *maxPressure);
void NotifyFlushTablet();
