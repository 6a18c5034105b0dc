// The system cursors the program uses, loaded once at start-up: the window procedures, the wait
// states and the control points of transforms pick from them.
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
