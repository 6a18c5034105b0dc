// The cursors the program uses, loaded once at start-up: the system's, which the window procedures,
// the wait states and the control points of transforms pick from, and the program's own.
#pragma once
#include <windows.h>

enum SystemCursor {
    kCursorArrow, kCursorCross, kCursorIBeam, kCursorSizeAll, kCursorSizeNESW,
    kCursorSizeNS, kCursorSizeNWSE, kCursorSizeWE, kCursorUpArrow, kCursorWait,
    kSystemCursors
};

void LoadSystemCursors();
// The cursor of that kind; loaded on first use when the start-up has not loaded them yet.
HCURSOR GetSystemCursor(int which);

// The program's own cursors, resources 200..204; the system's cross stands in for one that is missing.
enum { kCursorPlain = 200, kCursorRegion = 201, kCursorFunction = 202, kCursorService = 203, kCursorLocked = 204 };
void LoadProgramCursors(); // the system's cursors too
// The program cursor of that resource number; all are loaded on first use.
HCURSOR GetProgramCursor(int id);
