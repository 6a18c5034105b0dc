// The border of the active region: traced into a chain of point blocks and shown as a moving
// dashed outline on the main window's timer.
#include "view/regionborder.h"
#include "image/regions.h"
#include "image/cdib.h"
#include "view/display.h"
#include "view/winlist.h"
#include <stdlib.h>
#include <string.h>

static bool s_animating;
static int s_phase;
bool IsBorderAnimating()
{
    return s_animating;
}

void StopBorderAnimation()
{
    s_animating = false;
}

namespace {
// The region being traced: pixels of the area whose base mask byte shares a bit with the active
// region, and a visited flag per pixel of the area.
struct Tracer {
    const uint8_t *mask;
    int width; // of the base
    int left, top, right, bottom;
    int bits;
    uint8_t *visited;
    RegionSlot *slot;

    bool In(int x, int y) const
    {
        return x >= left && x <= right && y >= top && y <= bottom && (mask[(int64_t)y * width + x] & bits);
    }
    uint8_t &Visited(int x, int y) { return visited[(int64_t)(y - top) * (right - left + 1) + (x - left)]; }
    bool StartsBorder(int x, int y) const
    {
        if (x == left || x == right || y == top || y == bottom)
            return true;
        for (int d = 1; d < 8; d += 2)
            if (!In(x + kBorderStepX[d], y + kBorderStepY[d]))
                return true;
        return false;
    }
    void Follow(int x0, int y0, int s, int d)
    {
        int x = x0, y = y0;
        for (;;) {
            if (!Visited(x, y)) {
                Visited(x, y) = 1;
                AddBorderPoint(slot, x, y);
            }
            int tries = 0;
            while (tries < 7 && !In(x + kBorderStepX[d], y + kBorderStepY[d])) {
                d = (d + s + 8) & 7;
                tries++;
            }
            if (tries == 7)
                return; // a lone pixel
            int nx = x + kBorderStepX[d], ny = y + kBorderStepY[d];
            if (Visited(nx, ny))
                return;
            x = nx;
            y = ny;
            d = (d - 3 * s + 16) & 7;
            if (x == x0 && y == y0)
                return;
        }
    }
};
} // namespace

void TraceRegionBorder(ImageWindow *window)
{
    ImageGroup *group = window ? window->group : NULL;
    CDIB *base = group ? group->base : NULL;
    if (!base || !base->mask)
        return;
    if (s_animating)
        AnimateRegionBorder(window, 0);
    s_animating = false;
    FreeBorderPoints(&base->slots[0]);
    int bits = (int)window->activeRegion;
    Tracer t;
    if (!bits || !QzsGetRegionArea(group, NULL, &t.left, &t.top, &t.right, &t.bottom, bits))
        return;
    int w, h, d;
    GetImageSize(base, &w, &h, &d);
    ClipRectangle(&t.left, &t.top, &t.right, &t.bottom, 0, 0, w - 1, h - 1);
    if (t.left > t.right || t.top > t.bottom)
        return;
    t.mask = base->mask;
    t.width = w;
    t.bits = bits;
    t.slot = &base->slots[0];
    t.visited = (uint8_t *)calloc((size_t)(t.right - t.left + 1) * (size_t)(t.bottom - t.top + 1), 1);
    if (!t.visited)
        return;
    for (int y = t.top; y <= t.bottom; y++)
        for (int x = t.left; x <= t.right; x++) {
            if (!t.In(x, y) || t.Visited(x, y) || !t.StartsBorder(x, y))
                continue;
            if (t.In(x - 1, y))
                t.Follow(x, y, -1, 2);
            else
                t.Follow(x, y, 1, 0);
        }
    free(t.visited);
    s_animating = true;
}

void AnimateRegionBorder(ImageWindow *window, int on)
{
    ImageGroup *group = window ? window->group : NULL;
    CDIB *base = group ? group->base : NULL;
    if (!base)
        return;
    const RegionSlot *slot = &base->slots[0];
    int q = window->display.zoom < 0 ? -window->display.zoom : 1;
    int l = INT32_MAX, t = INT32_MAX, r = INT32_MIN, b = INT32_MIN;
    for (int k = 0; k < slot->pointCount; k++) {
        int x, y;
        if (!GetBorderPoint(slot, k, &x, &y))
            break;
        // Zoomed out, one screen pixel stands for a q x q block: show its last pixel.
        if (q > 1) {
            x = x / q * q + q - 1;
            y = y / q * q + q - 1;
        }
        QzsEorPoint(window, x, y, k % 4 == s_phase ? 0 : on);
        l = x < l ? x : l;
        t = y < t ? y : t;
        r = x > r ? x : r;
        b = y > b ? y : b;
    }
    s_phase = (s_phase + 1) % 4;
    if (r < l)
        return;
    if (q > 1) {
        l = l / q * q;
        t = t / q * q;
    }
    RefreshWindowRect(window, l, t, r, b, 1);
}

void StartBorderAnimation(ImageWindow *window)
{
    TraceRegionBorder(window);
}

void SetBorderAnimating(bool on)
{
    s_animating = on;
}

void AnimateCurrentRegionBorder()
{
    if (s_animating && g_currentWindow)
        AnimateRegionBorder(g_currentWindow, 1);
}
