// Draw-method selection.
#pragma once
#include "ovrin.h"
#include "plugins/loader.h"

void SelectDraw(int row);
int GetCurrentDraw(); // row of the current draw method
int CheckDrawColorCombination(int drawRow, int function); // 1 allowed
int SelectDrawForColorFunction(); // 1 the current method fits colour record 0's functional colour
void SetColorFunctionDrawMode(int function);
DrawPluginRecord *GetCurrentDrawPlugin(); // NULL when none is chosen
int GetCurrentDrawInfo();                 // the current draw plug-in's info word
