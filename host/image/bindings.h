// The plug-in rows the model calls into while it paints and composes: functional colours and layer
// blends. The plug-in host loads and binds them; the rows live here so that painting and
// composing reach them without reaching up.
#pragma once
#include "ovrin.h"

enum { kColorFunctionRows = 80, kLayerBlendRows = 100 };

extern ColorFunctionRecord g_colorFunctions[kColorFunctionRows];
extern LayerBlendRecord g_layerBlends[kLayerBlendRows];

ColorFunctionRecord *GetColorFunctionRow(int row); // NULL outside the table or when the row holds no module
LayerBlendRecord *GetLayerBlendRow(int row);       // NULL when the row holds no module
