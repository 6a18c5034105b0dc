// The key map and the accelerator table; commands registered by plug-ins.
#pragma once
#include "ovrin.h"

HACCEL LoadKeyMapAndAccelerators();
void FreeKeyCommands();
