// Draw-method selection: the current draw method with its tool button, menu check, parameter panel
// and mode text; the draw lock and the stack of saved methods; the greying of the draw buttons.
#pragma once
#include "ovrin.h"
#include "plugins/loader.h"
#include <stddef.h>

int SelectDraw(int row);       // 1 selected, 0 refused (locked, or a fill tool the colour refuses)
void SelectDrawIndex(int row); // row becomes current, its button pressed: the first row after loading
int GetCurrentDraw();          // row of the current draw method
DrawPluginRecord *GetCurrentDrawPlugin(); // NULL when the current row holds no module
int GetCurrentDrawInfo();                 // the current draw plug-in's info word, 0 without one

int CheckDrawColorCombination(int drawRow, int function); // 1 allowed
int SelectDrawForColorFunction(); // 1 the current method fits colour record 0's functional colour
void SetColorFunctionDrawMode(int function);
void EnableFillDrawButtons(int enable);
void SetDrawButtonsLocked(int lock);
bool IsDrawButtonEnabled(int row);
HWND GetDrawLockOwner(); // NULL while unlocked
void ReleaseDrawLock();  // unlocks whoever holds the lock
// The lock flag alone, nobody told: a commit that releases locks is kept from releasing this one.
void SetDrawLockFlag(int on);
void ResetDrawLock();    // unlocked, the stack emptied, every button enabled

// The interaction kind's mode text in part 1 of the main window's status bar.
void ShowDrawModeStatus(int kind);
void ShowCurrentDrawModeStatus();
void DrawModeName(int mode, char *out, size_t size);

// Back to the state of start-up: row 1 current, unlocked, an empty stack, every button enabled.
void ResetDrawSelection();
