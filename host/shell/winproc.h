// Window classes and window procedures: the main window, image windows, the hidden owners, the
// status pop-ups, the parameter windows and the open dialog's preview window.
#pragma once
#include "ovrin.h"
#include "plugins/params.h"

// classes and windows (winproc.cpp)
// Marks the window as a drop target, as the shell's DragAcceptFiles does, without loading the shell
// library at start: only a drop needs it.
void AcceptDroppedFiles(HWND window);
int RegisterImageWindowClass();
int RegisterMainWindowClass();
int RegisterSubParentWindowClass();
int RegisterStatusWindowClass();
int RegisterDrawParameterClass();
int RegisterColorParameterClass();
int RegisterSaveParameterClass();
int RegisterThumbWindowClass();
HWND CreateMainWindow(int show);
ImageWindow *CreateImageWindow(int x, int y, int width, int height);
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK SubParentWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void SetCurrentCursor(HCURSOR cursor); // shown now and kept as the image windows' current cursor
void ShowMemoryStatus();

HWND CreateStatusWindow(HWND owner, int x, int y);
HWND CreateDrawParameterWindow();
HWND CreateColorParameterWindow();
HWND CreateSaveParameterWindow(HWND owner);
void CreateParameterWindows(); // registers and creates the draw and functional-colour windows
void CreateToolTipWindow();
extern HWND g_statusBar, g_toolTipWindow;

// cursors and small shell operations (winproc.cpp)
HCURSOR UpdateCursor(ImageWindow *window); // chooses and stores the program-wide cursor
extern HCURSOR g_currentCursor;
void ShowNotSupportedMessage();
int ClearBorderDirtyRect();
void SetNewImageBackColor(int mode);
int GetNewImageBackColor();
bool GetTaskBarRect(RECT *out);
void DeleteShellDrawingObjects(); // the pens and brushes made at start-up
void SetNewImageBackColor(int mode); // the last fill mode, offered by the new-image dialog
void SetStatusBarText(int part, const char *text); // a part of the main window's status bar
HBRUSH GetButtonFaceBrush();

// image windows (winproc_image.cpp)
LRESULT CALLBACK WindowFunc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void UpdateDitherCheck(ImageWindow *window);
int EffectiveCloseButtonMode(); // 1: the close box of the only window closes its image
bool IsRestoreGuardSet();

// main window (winproc_main.cpp)
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK SubParentWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Placement of the main window from the task bar's rectangle (NULL: none); height 53.
void GetMainWindowPlacement(const RECT *taskBar, int screenWidth, RECT *out);
void ShowMemoryStatus();
void FormatMemoryStatus(char *out, size_t size);
void PaintToolBarFrame(int fill);
void OnMainTimerTick();
void ResetMainTimerState();
int GetBorderAnimationSteps(); // border steps taken by the timer (tests)
void SetBorderAnimation(bool on);

// pop-ups (winproc_popup.cpp)
LRESULT CALLBACK StatusWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK DrawParameterWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ColorParameterWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK SaveParameterWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ThumbWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PlaceStatusWindow(ImageWindow *window, int *x, int *y);
void MoveStatusWindow(ImageWindow *window);
void RecordStatusOffset(HWND popup);
// Status pop-up settings: on/off, initial offset and anchor mode (2 right-top, 3 right-bottom).
extern int g_statusWindowsOn, g_statusOffsetX, g_statusOffsetY, g_statusAnchor;
