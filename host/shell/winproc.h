// Window classes and window procedures: the main window, image windows, the hidden owners.
#pragma once
#include "ovrin.h"

int RegisterImageWindowClass();
int RegisterMainWindowClass();
int RegisterSubParentWindowClass();
HWND CreateMainWindow(int show);
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK SubParentWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void LoadProgramCursors();
void UpdateCursor(ImageWindow *window);
void SetCurrentCursor(HCURSOR cursor); // shown now and kept as the image windows' current cursor
void ShowMemoryStatus();
void RestoreIfMinimized(ImageWindow *window);

extern HWND g_drawParamWindow;  // "DRAWpara"
extern HWND g_colorParamWindow; // "FCOLpara"
extern HWND g_saveParamWindow;  // "SAVEpara"
void CreateParameterWindows();  // registers and creates the three parameter windows
int RegisterStatusWindowClass();
int RegisterThumbWindowClass();
void DeleteShellDrawingObjects(); // the pens and brushes made at start-up
void SetNewImageBackColor(int mode); // the last fill mode, offered by the new-image dialog
void SetStatusBarText(int part, const char *text); // a part of the main window's status bar
int NewImageFillMode(); // the fill mode set by SetNewImageBackColor
