// Groups of single-identifier handlers of the dispatcher; each returns true when it knew the id.
#pragma once
#include "ovrin.h"

HWND CommandOwner(const ImageWindow *window); // the window's handle, or the main window
bool RunFileCommand(ImageWindow *window, int id);  // images, layers, saving, clipboard, windows
bool RunViewCommand(ImageWindow *window, int id);  // display switches, zoom, scrolling
bool RunOtherCommand(ImageWindow *window, int id); // modes, dialogs, help, plug-ins
void RunScrollCommand(ImageWindow *window, int id);
int ReloadPlugins(HWND owner); // the ReloadPlugin command; 0 refused (effect dialog or transform mode)
