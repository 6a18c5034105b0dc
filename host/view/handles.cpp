// The handle squares of control points and point groups, drawn into the display.
#include "view/handles.h"
#include "image/cdib.h"
#include "view/display.h"
#include "view/paint.h"
#include "view/primitives.h"

namespace {

bool BaseSize(const ImageWindow *window, int *w, int *h)
{
    int d;
    return window && window->group && window->group->base && GetImageSize(window->group->base, w, h, &d) &&
           *w > 0 && *h > 0;
}

// One handle pixel at a group position: the handle's colour, or what the group shows there.
void PutHandlePixel(ImageWindow *window, int gx, int gy, int w, uint32_t color, bool show)
{
    StartPaintRun(window, gx, gy);
    int inside = 0;
    uint8_t m = 0;
    uint32_t c = color;
    if (!show) {
        c = ComposeGroupPixel(window->group, NULL, 0, gx, gy, &inside);
        const uint8_t *mask = window->group->base->mask;
        m = mask ? mask[(int64_t)gy * w + gx] : 0;
    }
    PutDisplayPixel(window, window->display.pixels, gx + window->marginX, gy + window->marginY,
                    (const uint8_t *)&c, m, inside);
}

} // namespace

int DrawHandleMark(ImageWindow *window, int x, int y, int h, uint32_t fill, uint32_t edge, int show, int refresh,
                   int layer)
{
    int W, H;
    if (!BaseSize(window, &W, &H) || !window->display.header || !window->display.pixels)
        return 0;
    const ImageGroup *g = window->group;
    int64_t ox = 0, oy = 0, cx = 0, cy = 0;
    if (layer)
        ox = g->layerX, oy = g->layerY, cx = g->clampedX, cy = g->clampedY;
    int zoom = window->display.zoom;
    int64_t half = zoom < 0 ? (int64_t)h * -zoom : h;
    int64_t l = x - half, t = y - half, r = x + half, b = y + half;
    if (l + ox < 0)
        l = cx - ox;
    if (t + oy < 0)
        t = cy - oy;
    if (r + ox >= W)
        r = W - 1 - ox;
    if (b + oy >= H)
        b = H - 1 - oy;
    if (l + ox >= W || t + oy >= H || r + ox < 0 || b + oy < 0 || l > r || t > b) {
        RefreshWindowRect(window, (int)(l + ox - 10), (int)(t + oy - 10), (int)(r + ox + 10), (int)(b + oy + 10),
                          refresh);
        return 1;
    }
    int gl = (int)(l + ox), gt = (int)(t + oy), gr = (int)(r + ox), gb = (int)(b + oy);
    for (int gy = gt; gy <= gb; gy++)
        for (int gx = gl; gx <= gr; gx++) {
            bool border = gy == gt || gy == gb || gx == gl || gx == gr;
            PutHandlePixel(window, gx, gy, W, border ? edge : fill, show != 0);
        }
    GrowHandleBox(gl, gt, gr, gb);
    RefreshWindowRect(window, gl - 10, gt - 10, gr + 10, gb + 10, refresh);
    return 1;
}

