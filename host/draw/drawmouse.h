// Mouse interaction of draw methods: the image windows hand every button, move and Shift-key
// message here, and one state, DrawState, decides which entry of the current draw plug-in hears it.
#pragma once
#include "ovrin.h"

enum {
    kDrawIdle = 0,
    kDrawInProgress = 1,
    kDrawComplete = 4, // committed by the window procedure when the message is done
    kDrawReedit = 10,
    kDrawClickCancel = 100, // right button pressed during a Click figure
    kDrawClickHeld = 200,   // left button pressed in Click mode
};
// DrawState: also read by the command filter, undo and the image-closing prompt.
extern int g_drawState;
int GetDrawState();
void SetDrawState(int state);

// Mouse and Shift-key messages of an image window; convert 1: the position is in client pixels.
int OnDrawLeftButtonDown(ImageWindow *window, WPARAM wParam, LPARAM lParam, int convert);
int OnDrawLeftButtonUp(ImageWindow *window, WPARAM wParam, LPARAM lParam, int convert);
int OnDrawRightButtonDown(ImageWindow *window, WPARAM wParam, LPARAM lParam, int convert);
int OnDrawRightButtonUp(ImageWindow *window, WPARAM wParam, LPARAM lParam, int convert);
int OnDrawMouseMove(ImageWindow *window, WPARAM wParam, LPARAM lParam, int convert);
int OnDrawShiftDown(ImageWindow *window, WPARAM key);
int OnDrawShiftUp(ImageWindow *window, WPARAM key);
// The timer's move, with the keys as the keyboard holds them; a figure it completes is committed.
void SendSyntheticMouseMove(ImageWindow *window, int ignored, LPARAM position, int convert);
// A complete figure: the point list emptied, the stroke committed, ready for the next one.
void CompleteFigure(ImageWindow *window);

void WindowToImage(ImageWindow *window, int x, int y, int *outX, int *outY, int convert);
void EraseHoverGuide(int refresh);
void DrawPenOutline(ImageWindow *window, int x, int y, int show, int refresh);
bool IsDrawMachineryBusy(); // a guide is being drawn: the timer sends no move meanwhile
int GetMouseKeyFlags();     // MK_SHIFT and MK_CONTROL as the keyboard holds them
void NudgeCursor();         // the system sends a move with the keys as they are now

// The user's choice for methods that leave Drag or Click to the user (1 Drag, 2 Click).
void ChangeDrawMode();
// Check mode: a finished figure is kept for re-editing instead of drawn.
bool IsCheckModeOn();
void SetCheckMode(bool on);
void ResetDrawMachinery(); // every field as at start-up
