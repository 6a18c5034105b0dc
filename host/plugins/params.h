// Parameter panels of draw, functional-colour, effect and save plug-ins: a layout file (".ppd") of
// controls that parameter plug-ins provide, values kept in ".pdv" files, one current panel per kind
// and the 256-slot table effects read their values from.
#pragma once
#include "ovrin.h"

enum {
    kPanelEffect = 1, kPanelDraw = 2, kPanelColor = 3, kPanelSaveAs = 4, kPanelSaveDefault = 5,
    kPanelKinds = 6,         // slots 1..5; kind 0 counts the panels in no slot
    kControlIdBase = 20000,  // control i has the child id 20000 + i
    kExtraIdBase = 25000,    // further child windows of controls: 25000 + n
    kExtraIds = 128,         // per kind
    kGlobalParameters = 256,
    kValueBytes = 1024,      // the shared buffer QzcGetValue writes into, its NUL included
};

// ---- panels (params.cpp) ----
// Reads "%s\%s.ppd" and lays the panel out in the window (mode 0: size from the file; mode 1: the
// width given, the height from the file's aspect). NULL when the file is missing or unreadable.
ParameterPanel *LoadParameterPanel(HWND window, const char *directory, const char *name, int mode, int width,
                                   int height, int marginX, int marginY);
void CreateParameterControls(HWND window, ParameterPanel *panel);
void PaintParameterPanel(HWND window, ParameterPanel *panel);
void ClearParameterPanel(HWND window, ParameterPanel *panel);
LRESULT RouteMouseToParameterControls(HWND window, UINT message, ParameterPanel *panel, WPARAM wParam,
                                      LPARAM lParam);
void RouteCommandToParameterControl(HWND window, UINT message, ParameterPanel *panel, WPARAM wParam,
                                    LPARAM lParam);
// The control index a child id stands for (20000 + i, or an extra id of the panel's kind); -1 when
// the id names no control of the panel.
int ParameterControlIndex(ParameterPanel *panel, int id);
ParameterControl *GetParameterControl(ParameterPanel *panel, int index); // NULL when none
int CountParameterControls(ParameterPanel *panel);                     // 0 for NULL
// Notification 1024 to every control of the panel.
void NotifyParameterControls(HWND sender, ParameterPanel *panel, WPARAM a, LPARAM b);
// The font metrics of the last panel window measured.
void GetParameterFontMetric(int *width, int *height);

// ---- slots (params.cpp) ----
void SetParameterPanel(int kind, ParameterPanel *panel); // the panel becomes the current one of kind
ParameterPanel *GetParameterPanel(int kind);             // the current panel of a kind, NULL when none
int GetParameterPanelKind(ParameterPanel *panel);        // 1..5, 0 when in no slot

// ---- values (params_values.cpp) ----
// Mode 1: the panel's controls take the lines of "%s\%s.pdv"; mode 2: the lines become save options.
void LoadParameterValues(int mode, ParameterPanel *panel, const char *directory, const char *name);
// Saves the values into "%s\%s.pdv" (directory, panel name) when save is set, destroys the controls
// and frees the panel; 1.
int CloseParameterPanel(const char *directory, ParameterPanel *panel, int save);
// A control's value text through its plug-in, in the shared value buffer (valid until the next read).
const char *ReadControlValue(ParameterControl *control);
// The line form of a value: CR LF, and CR or LF alone, written as the two characters "\n"; back.
void EscapeValueLine(const char *value, char *out, size_t size);
void UnescapeValueLine(const char *line, char *out, size_t size);
// Replaces the panel of a kind by the one named name in directory, shown in window at (5, 5) with
// the size 200 x 80 (mode 0); the old panel is cleared and closed with its values saved.
ParameterPanel *ExchangeParameterPanel(int kind, HWND window, const char *directory, const char *name);

// ---- the global table (params_global.cpp) ----
int SetGlobalParameter(int slot, const char *text); // 1 stored (a copy), 0 out of range or memory
int CollectGlobalParameters(int kind);              // 1
int FreeGlobalParameters();                         // 1
const char *GetGlobalParameter(int slot);           // the text of a set slot, NULL when unset

// ---- panels of the program's windows (params_windows.cpp) ----
void CloseDrawAndColorParameterPanels(); // with their values saved
// The option panel of a save format in the "SAVEpara" window: built formats get an empty panel,
// a save plug-in its own panel and stored values; the window is placed at the corner given.
void ShowSaveOptionPanel(int format, HWND anchor);
// Closes the open save option panel, writing its values when asked, and hides the window.
void CloseSaveOptionPanel(bool writeValues);
// Replaces the functional-colour panel by the one named after the module file (empty: none).
void RebuildColorParameterPanel(const char *moduleFile);
void LoadFuncColorParameters(int n); // the values of the colour panel to functional colour n
// The colour panel of a newly chosen functional colour, its values handed to the plug-in.
void ShowColorFunctionPanel(const char *moduleFile, int function);
void DrawParameterPointGroups(ImageWindow *window, int show);
// Handles of the parameter point groups under the mouse: found (1, with the slot and point), then
// dragged until the button is released.
int FindPointGroupHandle(ImageWindow *window, int x, int y, int *slot, int *index);
void BeginPointGroupDrag(ImageWindow *window, int x, int y, int slot, int index);
void DragPointGroupHandle(ImageWindow *window, int x, int y, int slot, int index);
void EndPointGroupDrag(ImageWindow *window, int x, int y, int slot, int index);

// The parameter windows of the draw method ("DRAWpara"), the functional colour ("FCOLpara") and
// the default save format ("SAVEpara"); the shell makes them.
extern HWND g_drawParamWindow, g_colorParamWindow, g_saveParamWindow;
// While values are loaded into the draw panel its changes are not passed on to the plug-in.
void SuppressDrawParamNotify(int flag);
bool IsDrawParamNotifySuppressed();
