// The configured colours and pen take effect once the plug-ins are loaded, through the same
// services a plug-in would call, so that every sub-window hears of them.
#include "image/colors.h"
#include "image/pen.h"
#include "plugins/subwin.h"
#include "base/settings.h"
#include "shell/configfile.h"

void ApplyConfiguredColors()
{
    for (int i = 0; i < 10; i++) {
        const ColorRecord c = g_colorTable[i];
        QzsSetColorRGB(i, c.red, c.green, c.blue);
    }
    const ColorRecord drawing = g_colorTable[0];
    QzsSetColorOpacity(0, drawing.opacity & 0xFF);
    if (drawing.regionBits)
        QzsSetRegion(drawing.regionBits, drawing.regionMode);
    else if (drawing.function)
        QzsSetColorFunction(0, drawing.function);
}

void ApplyConfiguredPen()
{
    if (g_cfg.PenCreatorName[0]) {
        // A creator that is not loaded, or makes no pens, leaves the pen as it is.
        CallSubWindowPenMaker(g_cfg.PenCreatorName, g_cfg.PenParameter);
        return;
    }
    if (!CallSubWindowPenMaker(NULL, ""))
        MakeDefaultPen();
}
