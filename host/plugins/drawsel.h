// Draw-method selection.
#pragma once
#include "ovrin.h"

DrawPluginRecord *GetCurrentDrawPlugin(); // NULL when none is chosen
int GetCurrentDrawInfo();                 // the current draw plug-in's info word
