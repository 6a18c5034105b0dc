// Plug-in kinds, loading and binding.
#pragma once
#include "ovrin.h"

void LoadAllPlugins();
void UnloadAllPlugins(); // writes the list files, then frees every module
LayerBlendRecord *GetLayerBlendRow(int row); // NULL when the row holds no module
ColorFunctionRecord *GetColorFunctionRow(int row); // NULL outside the table or when the row holds no module
