// The main window's tool bar.
#pragma once
#include "ovrin.h"

void CreateToolBarButtons();
void CreateToolTipWindow();
void DrawToolButtons();
void OnToolBarMouse(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void OnToolTipNeedText(NMHDR *header);
