// The current pen.
#pragma once
#include "ovrin.h"

// Every weight of the side-N matrix 255, hot spot (16, 16), box (13, 13, N - 13, N - 13); the
// sub-window plug-ins are told of the change.
void MakeDefaultPen();
