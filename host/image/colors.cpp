// The colour records and the services that set them. Every setter refuses while a sub-window
// plug-in holds the colour lock; every change is told to the sub-window plug-ins and re-picks the
// image-window cursor, which shows the drawing colour.
#include "image/colors.h"
#include "base/notify.h"
#include <initializer_list>
#include "image/bindings.h"
#include "image/cdib.h"
#include "base/app.h"
#include "base/settings.h"
#include "base/messages.h"
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

ColorRecord g_colorTable[kColorRecords];

namespace {

enum { kMessageBadCombination = 62, kCursorImage = 4, kPanelNameChars = 46 };

int s_locked;
HWND s_lockOwner;

// A pushed record: the node's address is the handle the caller keeps.
struct ColorStackNode {
    uint32_t which;
    ColorRecord saved;
    ColorStackNode *next;
};
ColorStackNode *s_stackFirst, *s_stackLast;

bool ValidIndex(int which)
{
    return which >= 0 && which < kColorRecords;
}

void ColorChanged(int which)
{
    NotifyColorChanged(which);
    NotifyCursorChanged();
}

} // namespace

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

int GetColorKind()
{
    const ColorRecord &c = g_colorTable[0];
    return c.regionBits ? 1 : c.function ? 2 : 0;
}

QZS_DECL(ColorRecord *) QzsGetColor(int which)
{
    // Out-of-range indexes get record 0 rather than memory past the table.
    if (!ValidIndex(which))
        which = 0;
    return &g_colorTable[which];
}

QZS_DECL(int) QzsSetColorRGB(int which, int red, int green, int blue)
{
    if (s_locked || !ValidIndex(which))
        return 0;
    ColorRecord &c = g_colorTable[which];
    c.red = red;
    c.green = green;
    c.blue = blue;
    ColorChanged(which);
    return 1;
}

QZS_DECL(int) QzsSetColorOpacity(int which, int opacity)
{
    if (s_locked || !ValidIndex(which))
        return 0;
    ColorRecord &c = g_colorTable[which];
    c.opacity = (int32_t)(((uint32_t)c.opacity & ~0xFFu) | ((uint32_t)opacity & 0xFFu));
    ColorChanged(which);
    return 1;
}

QZS_DECL(int) QzsSetRegion(int bits, int mode)
{
    if (s_locked)
        return 0;
    ColorRecord &c = g_colorTable[0];
    c.regionBits = bits;
    c.regionMode = mode;
    // Region drawing off: the functional colour it displaced comes back with its panel.
    if (mode == 0 && c.function)
        QzsSetColorFunction(0, c.function);
    ColorChanged(0);
    return 1;
}

QZS_DECL(ColorFunctionRecord *) QzsGetFunctionalColor(int row)
{
    if (row < 0 || row >= kColorFunctionRows)
        return NULL;
    return GetColorFunctionRow(row);
}

QZS_DECL(int) QzsSetColorFunction(int which, int index)
{
    if (s_locked || !ValidIndex(which) || index < 0 || index > kColorFunctionRows)
        return 0;
    bool follow = g_cfg.ChangeDrawWithFuncColor != 0;
    if (index && !follow && !AskDrawAcceptsColorFunction(index)) {
        ShowErrorMessage(g_mainWindow, kMessageBadCombination);
        NotifyColorChanged(which);
        return 0;
    }
    ColorRecord &c = g_colorTable[which];
    if (which == 0) {
        int32_t oldFunction = c.function, oldFlags = c.drawFlags;
        c.function = index;
        c.drawFlags = 0;
        // The draw side switches to a method that fits, or tells that none does.
        if (follow && !AskSelectDrawForColorFunction()) {
            c.function = oldFunction;
            c.drawFlags = oldFlags;
            return 0;
        }
        NotifyColorFunctionDrawMode(index);
    }
    c.regionMode = 0;
    c.regionBits = 0;
    NotifyColorChanged(which);
    char name[kPanelNameChars + 1] = "";
    if (index) {
        const ColorFunctionRecord *row = GetColorFunctionRow(index - 1);
        if (row)
            snprintf(name, sizeof name, "%s", row->file);
    }
    NotifyColorFunctionPanel(name, index); // the panel rebuilt, its values handed to the plug-in
    NotifyCursorChanged();
    return 1;
}

QZS_DECL(int) QzsLockColor(HWND owner, int on)
{
    s_locked = on;
    if (on) {
        NotifySubWindow(owner, 9, 0, 0);
        s_lockOwner = owner;
    } else {
        NotifySubWindow(s_lockOwner, 3, 0, 0);
        s_lockOwner = NULL;
    }
    return 1;
}

QZS_DECL(int) QzsCheckLockColor(void)
{
    return s_locked;
}

QZS_DECL(void *) QzsPushColor(int which)
{
    if (!ValidIndex(which))
        return NULL;
    ColorStackNode *node = (ColorStackNode *)malloc(sizeof *node);
    if (!node)
        return NULL;
    node->which = (uint32_t)which;
    node->saved = g_colorTable[which];
    node->next = NULL;
    if (s_stackLast)
        s_stackLast->next = node;
    else
        s_stackFirst = node;
    s_stackLast = node;
    return node;
}

QZS_DECL(int) QzsPopColor(void *handle)
{
    // Any node may be popped, not only the last.
    ColorStackNode *before = NULL, *node = s_stackFirst;
    while (node && node != handle) {
        before = node;
        node = node->next;
    }
    if (!node)
        return 0;
    int which = (int)node->which;
    g_colorTable[which] = node->saved;
    if (before)
        before->next = node->next;
    else
        s_stackFirst = node->next;
    if (s_stackLast == node)
        s_stackLast = before;
    free(node);
    ColorChanged(which);
    return 1;
}

QZS_DECL(int) QzsSpoitColor(ImageWindow *window, int x, int y, int keys)
{
    const ImageGroup *g = window ? window->group : NULL;
    CDIB *edited = window ? window->layerImage : NULL;
    if (g && edited && edited->header && edited->pixels && x >= g->clampedX && x <= g->right &&
        y >= g->clampedY && y <= g->bottom) {
        int w, h, d;
        GetImageSize(edited, &w, &h, &d);
        int64_t px = (int64_t)x - g->layerX, py = (int64_t)y - g->layerY;
        if (px >= 0 && py >= 0 && px < w && py < h) {
            uint8_t p[4];
            GetDIBPixel(edited->header, edited->pixels, (int)px, (int)py, p);
            int which = (keys & 4) ? 1 : 0;
            QzsSetColorRGB(which, p[2], p[1], p[0]);
            QzsSetColorOpacity(which, p[3]);
        }
    }
    NotifySetCursor(QzsGetCursor(kCursorImage));
    return 0;
}

int ReadColorValueLine(const char *values)
{
    long v[8];
    int n = 0;
    const char *p = values;
    while (p && n < 8) {
        char *end;
        long value = strtol(p, &end, 10);
        if (end == p)
            break;
        v[n++] = value;
        p = end;
    }
    if (n < 1 || v[0] < 0 || v[0] >= kColorRecords)
        return 0;
    ColorRecord &c = g_colorTable[v[0]];
    int32_t *fields[7] = {&c.red, &c.green, &c.blue, &c.function, &c.opacity, &c.regionBits, &c.regionMode};
    for (int i = 1; i < n; i++)
        *fields[i - 1] = (int32_t)v[i];
    // The functional colour names a table row later; one past the table means none.
    if (n > 4 && (c.function < 0 || c.function > kColorFunctionRows))
        c.function = 0;
    if (n > 5)
        c.opacity = (int32_t)(v[5] & 0xFF);
    // Values that later index tables are kept in their ranges.
    for (int32_t *channel : {&c.red, &c.green, &c.blue})
        *channel = *channel < 0 ? 0 : *channel > 255 ? 255 : *channel;
    c.regionBits &= 7;
    if (c.regionMode < 0 || c.regionMode > 3)
        c.regionMode = 0;
    return 1;
}

int FormatColorValueLine(int which, char *out, size_t size)
{
    if (!ValidIndex(which) || !out || !size)
        return -1;
    const ColorRecord &c = g_colorTable[which];
    return snprintf(out, size, "ColorValue %2d %3d %3d %3d %5d %3d %3d %3d", which, (int)c.red, (int)c.green,
                    (int)c.blue, (int)c.function, (int)(c.opacity & 0xFF), (int)c.regionBits, (int)c.regionMode);
}
