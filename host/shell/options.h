// The modal "Options" property sheet: Window, Display and File pages over the settings.
#pragma once
#include "ovrin.h"

void RunOptionsSheet();
INT_PTR CALLBACK WindowOptionsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK DisplayOptionsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK FileOptionsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// Format numbers: 1 "MRF", 2 "MR2", 3 "BMP", 4 + row for the save plug-ins.
int SaveFormatIndexByName(const char *name);
const char *SaveFormatNameByIndex(int number);
