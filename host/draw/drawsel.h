// Draw-method selection.
#pragma once
#include "ovrin.h"

void SelectDraw(int row);
// The name shown for a draw method: the translated one in language mode.
const char *DrawMethodDisplayName(int row);
int GetCurrentDraw(); // row of the current draw method
int CheckDrawColorCombination(int drawRow, int function); // 1 allowed
int SelectDrawForColorFunction(); // 1 the current method fits colour record 0's functional colour
void SetColorFunctionDrawMode(int function);
DrawPluginRecord *GetCurrentDrawPlugin(); // NULL when none is chosen
int GetCurrentDrawInfo();                 // the current draw plug-in's info word
