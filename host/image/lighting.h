// The lighting routine offered to plug-ins and its settings file.
#pragma once
#include "ovrin.h"

void WriteLightSettings();
