// Region services that rewrite the mask of the current window's group: process (OR, AND, XOR
// over a region or the whole base), clear and move. Each is one region stroke with one undo record.
#include "view/winlist.h"
#include "view/display.h"
#include "view/regionborder.h"
#include "view/groupview.h"
#include "image/regions.h"
#include "base/notify.h"
#include "image/cdib.h"
#include "image/colors.h"
#include "image/group.h"
#include "image/dirtyrect.h"
#include <stdio.h>

// Commits the region stroke written into the work mask and refreshes what shows the group.
static void CommitRegionStroke(ImageWindow *window)
{
    RegionCommit(window);
    NotifyMenusChanged();
    UpdateOtherViews(window);
    ClearDirtyRect();
    NotifyPluginMessage(6, 0, 0);
    if (window->display.pixels) {
        ComposeWholeDisplay(window, window->group);
        RedrawImageWindow(window);
    }
}

// Colour record 0 draws regions with these bits and mode while a service paints.
struct RegionColorScope {
    ColorRecord *c = QzsGetColor(0);
    int mode = c->regionMode, bits = c->regionBits;
    RegionColorScope(int newBits, int newMode)
    {
        c->regionBits = newBits;
        c->regionMode = newMode;
    }
    ~RegionColorScope()
    {
        c->regionMode = mode;
        c->regionBits = bits;
    }
};

static bool CurrentBase(ImageWindow **window, CDIB **base, int *w, int *h)
{
    int d;
    *window = g_currentWindow;
    *base = *window && (*window)->group ? (*window)->group->base : NULL;
    return *base && (*window)->editMask && GetImageSize(*base, w, h, &d);
}

QZS_DECL(int) QzsProcessAllRegion(int bits, int mode, int whole)
{
    ImageWindow *window;
    CDIB *base;
    int w, h;
    if (!CurrentBase(&window, &base, &w, &h))
        return 0;
    char line[64];
    snprintf(line, sizeof line, "Command ProcessRegion %d %d\n", bits, mode);
    NotifyMacroLine(line);
    int l = 0, t = 0, r = w - 1, b = h - 1;
    if (!whole && !QzsGetRegionArea(window->group, NULL, &l, &t, &r, &b, mode == 2 ? ~bits : bits))
        return 0;
    ClipRectangle(&l, &t, &r, &b, 0, 0, w - 1, h - 1);
    if (l > r || t > b)
        return 0;
    RegionColorScope scope(bits, mode);
    for (int y = t; y <= b; y++)
        for (int x = l; x <= r; x++)
            RegionWrite(window, (int64_t)y * w + x, bits, mode);
    // The slots are only widened by the commit: regions of other bits outside the area stay known.
    ClearBorderPoints(&base->slots[0]);
    SetDirtyRect(l, t, r, b);
    CommitRegionStroke(window);
    return 1;
}

QZS_DECL(int) QzsClearRegion(int bits)
{
    return QzsProcessAllRegion(~bits, 2, 0);
}

QZS_DECL(int) QzsMoveRegion(int bits, int dx, int dy)
{
    ImageWindow *window;
    CDIB *base;
    int w, h, l, t, r, b;
    if (!CurrentBase(&window, &base, &w, &h) || !QzsGetRegionArea(window->group, NULL, &l, &t, &r, &b, bits) ||
        (dx == 0 && dy == 0) || !base->mask)
        return 0;
    char line[80];
    snprintf(line, sizeof line, "Command MoveRegion %d %d %d\n", bits, dx, dy);
    NotifyMacroLine(line);
    // Every pixel the move touches: the region's area and the area moved, inside the base. Each
    // new byte is computed from the unchanged base mask, so overlapping areas need no order.
    int64_t ul = l < (int64_t)l + dx ? l : (int64_t)l + dx, ur = r > (int64_t)r + dx ? r : (int64_t)r + dx;
    int64_t ut = t < (int64_t)t + dy ? t : (int64_t)t + dy, ub = b > (int64_t)b + dy ? b : (int64_t)b + dy;
    ul = ul < 0 ? 0 : ul;
    ut = ut < 0 ? 0 : ut;
    ur = ur > w - 1 ? w - 1 : ur;
    ub = ub > h - 1 ? h - 1 : ub;
    const uint8_t *mask = base->mask;
    uint8_t keep = (uint8_t)~bits;
    for (int64_t y = ut; y <= ub; y++)
        for (int64_t x = ul; x <= ur; x++) {
            int64_t sx = x - dx, sy = y - dy;
            uint8_t moved = 0;
            if (sx >= 0 && sx < w && sy >= 0 && sy < h)
                moved = (uint8_t)(mask[sy * w + sx] & bits);
            window->editMask[y * w + x] = (uint8_t)((mask[y * w + x] & keep) | moved);
        }
    RegionColorScope scope(bits, 1);
    ClearBorderPoints(&base->slots[0]);
    SetDirtyRect((int)ul, (int)ut, (int)ur, (int)ub);
    CommitRegionStroke(window);
    if (window->display.pixels)
        RefreshWindowRect(window, 0, 0, w - 1, h - 1, 1);
    return 1;
}
