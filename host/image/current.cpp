#include "image/current.h"

ImageWindow *g_firstWindow, *g_lastWindow, *g_currentWindow;
HWND g_currentWindowHandle;
bool g_noWindowState;

static bool InList(const ImageWindow *window)
{
    if (!window)
        return false;
    for (ImageWindow *w = g_firstWindow; w; w = w->next)
        if (w == window)
            return true;
    return false;
}

bool IsWindowListed(const ImageWindow *window)
{
    return !g_noWindowState && InList(window);
}
