// The image-window list, the current window, zoom and scrolling.
#pragma once
#include "ovrin.h"

extern ImageWindow *g_firstWindow, *g_lastWindow, *g_currentWindow;
extern bool g_noWindowState; // the only window is hidden and shows no image

ImageWindow *CreateImageWindow(int x, int y, int width, int height);
ImageWindow *FindImageWindow(HWND window);
bool IsWindowListed(const ImageWindow *window);
void MakeWindowCurrent(ImageWindow *window);
void CloseImageWindow(ImageWindow *window, int rebuildMenus);
void SwitchOverlaysToWindow(ImageWindow *window);
void InitWindowFrameMetrics(ImageWindow *window);
void RelayoutImageWindow(ImageWindow *window);
void EnterNoWindowState();
void LeaveNoWindowState(ImageWindow *window);
