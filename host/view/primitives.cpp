// Guide points, lines and boxes, and pen lines and boxes. A guide pixel shows the composed colour
// of the group with its colour bits inverted, or restores it: the same guide drawn twice leaves the
// display as the image shows it, whatever was drawn over it in between.
#include "view/primitives.h"
#include "image/cdib.h"
#include "image/pen.h"
#include "view/display.h"
#include "view/linesteps.h"
#include "view/paint.h"

namespace {

RECT s_handleBox = {-1, -1, -1, -1};
bool s_handlesDamaged;

// Pen figures longer than this are walked only where a stamp can reach the layer: a plug-in's
// far-away corner must not cost billions of stamps that paint nothing.
const int64_t kLongWalk = 1 << 20;

bool InHandleBox(int x, int y)
{
    return s_handleBox.right >= 0 && x >= s_handleBox.left && x <= s_handleBox.right && y >= s_handleBox.top &&
           y <= s_handleBox.bottom;
}

bool ImageSize(const ImageWindow *window, int *w, int *h)
{
    int d;
    return window && window->group && GetImageSize(window->group->base, w, h, &d) && *w > 0 && *h > 0;
}

// Where a pen stamp at a point can still paint: the current layer grown by the largest pen.
void StampReach(const ImageWindow *window, int64_t *l, int64_t *t, int64_t *r, int64_t *b)
{
    const ImageGroup *g = window->group;
    *l = (int64_t)g->clampedX - kMaxPenSide, *t = (int64_t)g->clampedY - kMaxPenSide;
    *r = (int64_t)g->right + kMaxPenSide, *b = (int64_t)g->bottom + kMaxPenSide;
}

// Stamps from a to b (either way) on one axis; the other coordinate is fixed.
template <class F> void StampRun(int64_t a, int64_t b, int64_t lo, int64_t hi, bool clip, F stamp)
{
    int step = b >= a ? 1 : -1;
    if (clip) {
        int64_t first = step > 0 ? (a > lo ? a : lo) : (a < hi ? a : hi);
        int64_t last = step > 0 ? (b < hi ? b : hi) : (b > lo ? b : lo);
        if ((last - first) * step < 0)
            return;
        a = first, b = last;
    }
    for (int64_t v = a;; v += step) {
        stamp((int)v);
        if (v == b)
            break;
    }
}

} // namespace

void GrowHandleBox(int left, int top, int right, int bottom)
{
    RECT &r = s_handleBox;
    if (r.right < 0) {
        r = RECT{left, top, right, bottom};
        return;
    }
    r.left = left < r.left ? left : r.left;
    r.top = top < r.top ? top : r.top;
    r.right = right > r.right ? right : r.right;
    r.bottom = bottom > r.bottom ? bottom : r.bottom;
}

void ResetHandleBox()
{
    s_handleBox = RECT{-1, -1, -1, -1};
    s_handlesDamaged = false;
}

bool AreHandlesDamaged()
{
    return s_handlesDamaged;
}

QZS_DECL(int) QzsEorPoint(ImageWindow *window, int x, int y, int mode)
{
    int w, h;
    if (!ImageSize(window, &w, &h) || x < 0 || y < 0 || x >= w || y >= h)
        return 0;
    const CDIB &display = window->display;
    if (!display.header || !display.pixels)
        return 0;
    if (InHandleBox(x, y))
        s_handlesDamaged = true;
    StartPaintRun(window, x, y);
    int inside;
    uint32_t c = ComposeGroupPixel(window->group, NULL, 0, x, y, &inside);
    if (mode)
        c ^= 0x00FFFFFFu;
    c &= 0x00FFFFFFu;
    const uint8_t *mask = window->group->base->mask;
    uint8_t m = mask ? mask[(int64_t)y * w + x] : 0;
    return PutDisplayPixel(window, display.pixels, x + window->marginX, y + window->marginY, (const uint8_t *)&c, m,
                           inside);
}

QZS_DECL(int) QzsEorLine(ImageWindow *window, int x1, int y1, int x2, int y2, int mode, int redraw)
{
    int w, h;
    if (ImageSize(window, &w, &h)) {
        LineSteps line(x1, y1, x2, y2);
        int64_t first, last;
        if (line.InBox(0, 0, w - 1, h - 1, &first, &last))
            for (int64_t k = first; k <= last; k++)
                QzsEorPoint(window, (int)line.X(k), (int)line.Y(k), mode);
    }
    return RefreshWindowRect(window, x1, y1, x2, y2, redraw);
}

// Each outline pixel once, so that a second call restores every one of them.
QZS_DECL(int) QzsEorBox(ImageWindow *window, int x1, int y1, int x2, int y2, int mode, int redraw)
{
    int l = x1 < x2 ? x1 : x2, r = x1 < x2 ? x2 : x1, t = y1 < y2 ? y1 : y2, b = y1 < y2 ? y2 : y1;
    int w, h;
    if (ImageSize(window, &w, &h)) {
        auto point = [&](int x, int y) { QzsEorPoint(window, x, y, mode); };
        int from = l > 0 ? l : 0, to = r < w - 1 ? r : w - 1;
        for (int x = from; x <= to; x++)
            point(x, t);
        if (b != t)
            for (int x = from; x <= to; x++)
                point(x, b);
        int64_t top = (int64_t)t + 1 > 0 ? (int64_t)t + 1 : 0, bottom = (int64_t)b - 1 < h - 1 ? (int64_t)b - 1 : h - 1;
        for (int64_t y = top; y <= bottom; y++)
            point(l, (int)y);
        if (r != l)
            for (int64_t y = top; y <= bottom; y++)
                point(r, (int)y);
    }
    return RefreshWindowRect(window, l, t, r, b, redraw);
}

QZS_DECL(int) QzsDrawLine(ImageWindow *window, int x1, int y1, int x2, int y2, int redraw)
{
    if (window && window->group) {
        LineSteps line(x1, y1, x2, y2);
        int64_t first = 0, last = line.last;
        bool any = true;
        if (line.last > kLongWalk && !IsLoopMode()) {
            int64_t l, t, r, b;
            StampReach(window, &l, &t, &r, &b);
            any = line.InBox(l, t, r, b, &first, &last);
        }
        for (int64_t k = first; any && k <= last; k++)
            QzsWritePen(window, (int)line.X(k), (int)line.Y(k), 0);
    }
    return RefreshWindowRect(window, x1, y1, x2, y2, redraw);
}

// Clockwise from the top-left corner, each outline pixel stamped once.
QZS_DECL(int) QzsDrawBox(ImageWindow *window, int x1, int y1, int x2, int y2, int redraw)
{
    int l = x1 < x2 ? x1 : x2, r = x1 < x2 ? x2 : x1, t = y1 < y2 ? y1 : y2, b = y1 < y2 ? y2 : y1;
    if (window && window->group) {
        int64_t reachL, reachT, reachR, reachB;
        StampReach(window, &reachL, &reachT, &reachR, &reachB);
        bool loop = IsLoopMode();
        bool clipX = !loop && (int64_t)r - l > kLongWalk, clipY = !loop && (int64_t)b - t > kLongWalk;
        auto row = [&](int y) { return [=](int x) { QzsWritePen(window, x, y, 0); }; };
        auto column = [&](int x) { return [=](int y) { QzsWritePen(window, x, y, 0); }; };
        StampRun(l, r, reachL, reachR, clipX, row(t));
        if (r != l && (int64_t)b - t >= 2)
            StampRun((int64_t)t + 1, (int64_t)b - 1, reachT, reachB, clipY, column(r));
        if (b != t)
            StampRun(r, l, reachL, reachR, clipX, row(b));
        if ((int64_t)b - t >= 2)
            StampRun((int64_t)b - 1, (int64_t)t + 1, reachT, reachB, clipY, column(l));
    }
    return RefreshWindowRect(window, l, t, r, b, redraw);
}
