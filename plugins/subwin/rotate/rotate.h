// The image rotation tool window: the current layer image of the current image window turned by a
// quarter or half turn, or by a typed angle with bilinear sampling, into the window or a new image.
#pragma once
#include "ovrin.h"
#include "toolwindow.h"
#include "angle.h"

enum { kTurn90 = 300, kTurn180 = 301, kTurn270 = 302, kRotateButton = 500, kNewImageBox = 600 };
enum { kAngleEdit = 2000, kAngleUpDown = 3000 };
enum { kTurnBitmaps = 6 };

struct RotateTool {
    HINSTANCE instance;
    HWND window, owner, edit, upDown, tips;
    HBITMAP bitmaps[kTurnBitmaps]; // normal and pressed, for the buttons 300, 301 and 302
    double angle;                  // the last angle used
};
extern RotateTool g_rot;

// ---- turning (turn.cpp) ----
// A new 32-bit image (calloc'd record filled by QzsCreateCDIB) or NULL when the source has no
// pixels or the host refused the size (with its own message).
CDIB *TurnQuarter(CDIB *source, int button); // kTurn90, kTurn180 or kTurn270
CDIB *RotateByAngle(CDIB *source, double angle);
void FreeTurnedImage(CDIB *image);

// ---- the window (rotwindow.cpp) ----
HWND CreateRotateWindow(HINSTANCE instance, HWND owner, int x, int y);
void FreeRotateTool();
