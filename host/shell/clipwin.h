// Clip windows: sub-window plug-ins sharing one window behind a tab strip.
#pragma once
#include "ovrin.h"

int RegisterClipWindowClass();
void RestoreClipWindowLayout();
void SaveClipWindowLayout();
