// Parameter panels of draw, functional-colour, effect and save plug-ins.
#pragma once
#include "ovrin.h"

void CloseDrawAndColorParameterPanels(); // with their values saved
