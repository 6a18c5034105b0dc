// Parameter panels of draw, functional-colour, effect and save plug-ins.
#pragma once
#include "ovrin.h"

void CloseDrawAndColorParameterPanels(); // with their values saved
void DrawParameterPointGroups(ImageWindow *window, int show);
ParameterPanel *GetParameterPanel(int kind); // the current panel of a kind, NULL when none
void PaintParameterPanel(HWND window, ParameterPanel *panel);
int RouteMouseToParameterControls(ParameterPanel *panel, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
int RouteCommandToParameterControl(ParameterPanel *panel, HWND window, WPARAM wParam, LPARAM lParam);
