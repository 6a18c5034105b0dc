// The values plug-ins read: QzsGetParameter over the current panels, and the 256-slot table an
// effect reads its values from (filled from the effect panel or by a macro line).
#include "plugins/params.h"
#include <stdlib.h>
#include <string.h>

static char *s_global[kGlobalParameters];

QZS_DECL(const char *) QzsGetParameter(int kind, int index)
{
    if (kind == kPanelEffect) {
        if (index < 0 || index >= kGlobalParameters || !s_global[index])
            return "";
        return s_global[index];
    }
    if (kind < kPanelDraw || kind > kPanelSaveDefault)
        return "0";
    ParameterControl *c = GetParameterControl(GetParameterPanel(kind), index);
    return c ? ReadControlValue(c) : "0";
}

int SetGlobalParameter(int slot, const char *text)
{
    if (slot < 0 || slot >= kGlobalParameters)
        return 0;
    free(s_global[slot]);
    s_global[slot] = text ? strdup(text) : NULL;
    return s_global[slot] != NULL;
}

int CollectGlobalParameters(int kind)
{
    ParameterControl *c = GetParameterPanel(kind) ? GetParameterPanel(kind)->first : NULL;
    for (int i = 0; i < kGlobalParameters; i++) {
        if (c) {
            SetGlobalParameter(i, ReadControlValue(c));
            c = c->next;
        } else {
            free(s_global[i]);
            s_global[i] = NULL;
        }
    }
    return 1;
}

int FreeGlobalParameters()
{
    for (int i = 0; i < kGlobalParameters; i++) {
        free(s_global[i]);
        s_global[i] = NULL;
    }
    return 1;
}

const char *GetGlobalParameter(int slot)
{
    return slot >= 0 && slot < kGlobalParameters ? s_global[slot] : NULL;
}
