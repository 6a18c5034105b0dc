// Layer blends: the built-in normal blend, alpha over, and the blend the next composition uses.
#pragma once
#include "ovrin.h"

int QZCAPI BlendPixelOver(const uint8_t *lower, const uint8_t *upper, int offset, int row, uint8_t *out);
void SetCurrentBlendFunction(BlendFunction blend);
BlendFunction GetCurrentBlendFunction();
