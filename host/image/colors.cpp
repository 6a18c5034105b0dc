#include "image/colors.h"
#include <string.h>

ColorRecord g_colorTable[kColorRecords];

void SetDefaultColors()
{
    memset(g_colorTable, 0, sizeof g_colorTable);
    for (int i = 0; i < 10; i++)
        g_colorTable[i].opacity = 255;
    static const int rgb[6][3] = {{0, 0, 0}, {255, 255, 255}, {0, 255, 255}, {255, 0, 255}, {255, 255, 0}, {0, 0, 255}};
    for (int i = 0; i < 6; i++) {
        g_colorTable[i].red = rgb[i][0];
        g_colorTable[i].green = rgb[i][1];
        g_colorTable[i].blue = rgb[i][2];
    }
}

QZS_DECL(ColorRecord *) QzsGetColor(int which)
{
    // Out-of-range indexes get record 0 rather than memory past the table.
    if (which < 0 || which >= kColorRecords)
        which = 0;
    return &g_colorTable[which];
}
