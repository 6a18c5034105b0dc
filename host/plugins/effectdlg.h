// The effect dialog, its preview and Apply.
#pragma once
#include "ovrin.h"

HWND GetEffectDialog(); // NULL while closed
void CloseEffectParameterPanel();
