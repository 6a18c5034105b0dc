#include "image/bindings.h"

ColorFunctionRecord g_colorFunctions[kColorFunctionRows];
LayerBlendRecord g_layerBlends[kLayerBlendRows];

LayerBlendRecord *GetLayerBlendRow(int row)
{
    if (row < 0 || row >= kLayerBlendRows || !g_layerBlends[row].module)
        return NULL;
    return &g_layerBlends[row];
}

ColorFunctionRecord *GetColorFunctionRow(int row)
{
    if (row < 0 || row >= kColorFunctionRows || !g_colorFunctions[row].module)
        return NULL;
    return &g_colorFunctions[row];
}
