// Draw-method selection.
#pragma once
#include "ovrin.h"

int GetCurrentDraw(); // row of the current draw method
int CheckDrawColorCombination(int drawRow, int function); // 1 allowed
int SelectDrawForColorFunction(); // 1 the current method fits colour record 0's functional colour
void SetColorFunctionDrawMode(int function);
