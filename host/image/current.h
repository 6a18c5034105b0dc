// The program-wide current objects, kept together: the list of image-window records, the current
// window (whose group, image and layer are the current ones) and the no-window state. The view
// makes, switches and closes windows; the model reads and paints through the current one.
#pragma once
#include "ovrin.h"

extern ImageWindow *g_firstWindow, *g_lastWindow, *g_currentWindow;
extern HWND g_currentWindowHandle; // owner of message boxes
extern bool g_noWindowState;       // the only window is hidden and shows no image

bool IsWindowListed(const ImageWindow *window); // false in the no-window state
