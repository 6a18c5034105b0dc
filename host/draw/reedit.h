// Re-editing point-based figures and check mode.
#pragma once
#include "ovrin.h"

bool InCheckMode();
bool InReeditMode();
void EndCheckMode(ImageWindow *window);
void DrawReeditGuide(ImageWindow *window);
