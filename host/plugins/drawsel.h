// Draw-method selection.
#pragma once
#include "ovrin.h"

void SelectDraw(int row);
// The name shown for a draw method: the translated one in language mode.
const char *DrawMethodDisplayName(int row);
