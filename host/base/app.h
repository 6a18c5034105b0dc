// Application-wide values of the shell: handles of the program's windows and facts read at start.
#pragma once
#include <windows.h>

extern HINSTANCE g_instance;
// The main window; while the start-up title window lives it holds the title window's handle so
// that message boxes during start-up are owned by it.
extern HWND g_mainWindow;
extern HWND g_titleWindow;
extern HWND g_subParent;   // hidden owner of the sub-window plug-in windows
extern HWND g_imageOwner;  // hidden owner of the image windows and the modeless dialogs
extern HACCEL g_accelerators;
extern int g_screenDepth;  // bits per pixel, read once at start-up
extern int g_screenWidth, g_screenHeight;

extern const char kClassImageWindow[]; // "OvrinEDIT"
extern const char kClassMain[];        // "OvrinMAIN"
extern const char kClassSubParent[];   // "OvrinSubP"
extern const char kClassTitle[];       // "Qzstartup"
extern const char kProgramTitle[];     // "QXV Ver. 0.104"

enum { kCommandSecondStart = 32690, kCommandQuit = 32032, kCommandOpenEditWindow = 32031 };

// The left-button release that closes a dialog or restores a window over an image window must not
// reach it (it would end a figure there): image windows drop the next release while this is set.
extern bool g_ignoreNextLeftRelease;

// The user-interface thread: program-wide state (the display writer, the blend chosen) belongs to
// it; any other thread brings its own.
void SetInterfaceThread(); // the calling thread becomes the user-interface thread
bool OnInterfaceThread();  // true before any thread was set
