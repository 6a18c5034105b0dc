// Parameter panels of draw, functional-colour, effect and save plug-ins.
#pragma once
#include "ovrin.h"

void CloseDrawAndColorParameterPanels(); // with their values saved

// The option panel of a save format in the "SAVEpara" window: built formats get an empty panel,
// a save plug-in its own panel and stored values; the window is placed at the corner given.
void ShowSaveOptionPanel(int format, HWND anchor);
// Closes the open save option panel, writing its values when asked, and hides the window.
void CloseSaveOptionPanel(bool writeValues);
ParameterPanel *GetParameterPanel(int kind); // the current panel of a kind, NULL when none
// Replaces the functional-colour panel by the one named after the module file (empty: none).
void RebuildColorParameterPanel(const char *moduleFile);
void DrawParameterPointGroups(ImageWindow *window, int show);
void PaintParameterPanel(HWND window, ParameterPanel *panel);
int RouteMouseToParameterControls(ParameterPanel *panel, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
int RouteCommandToParameterControl(ParameterPanel *panel, HWND window, WPARAM wParam, LPARAM lParam);
