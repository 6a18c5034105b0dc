// Parameter panels of draw, functional-colour, effect and save plug-ins.
#pragma once
#include "ovrin.h"

void CloseDrawAndColorParameterPanels(); // with their values saved
ParameterPanel *GetParameterPanel(int kind); // the current panel of a kind, NULL when none
// Replaces the functional-colour panel by the one named after the module file (empty: none).
void RebuildColorParameterPanel(const char *moduleFile);
