// The image-window list, the current window, closing and hiding windows, zoom and scrolling.
#pragma once
#include "ovrin.h"
#include "image/current.h"


ImageWindow *FindImageWindow(HWND window);
HWND GetNthImageWindowHandle(int n);
ImageWindow *FindPreviousWindow(const ImageWindow *window);
int MakeWindowCurrent(ImageWindow *window);
void CloseImageWindow(ImageWindow *window, int rebuildMenus);
int CloseWindowsOfGroup(ImageGroup *group);
int CountOtherWindowsOfGroup(const ImageWindow *window);
ImageWindow *FindWindowOfGroup(const ImageGroup *group);
int SwitchOverlaysToWindow(ImageWindow *window);
int MoveControlPointsToWindow(ImageWindow *window);
void HideAllImageWindows();
void ShowAllImageWindows();
void InitWindowFrameMetrics(ImageWindow *window);
void RelayoutImageWindow(ImageWindow *window);
void EnterNoWindowState();
void LeaveNoWindowState(ImageWindow *window);

// view: zoom, origin, scrolling
int ClampZoomValue(int zoom); // -8..16; 0 and -1 become 1
void ApplyZoomChange(ImageWindow *window, int oldZoom);
void ScrollWindowHorizontally(ImageWindow *window, WPARAM wParam, LPARAM lParam);
void ScrollWindowVertically(ImageWindow *window, WPARAM wParam, LPARAM lParam);
void ClampViewOrigin(ImageWindow *window);
void FitWindowToImage(ImageWindow *window);
void RestoreIfMinimized(ImageWindow *window);
