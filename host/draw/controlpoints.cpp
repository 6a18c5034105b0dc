// The control-point set and its host services: placed by transform plug-ins, drawn as handles.
#include "draw/controlpoints.h"
#include "base/cursors.h"
#include "base/notify.h"
#include "image/cdib.h"
#include "image/current.h"
#include "image/dirtyrect.h"
#include "view/display.h"
#include "view/handles.h"

namespace {

struct ControlPointSet {
    int count = 0;
    QzPoint points[kMaxControlPoints] = {};
    HCURSOR cursors[kMaxControlPoints] = {};
};
ControlPointSet s_set;

HCURSOR CursorOfKind(int kind)
{
    switch (kind) {
    case 1: return GetSystemCursor(kCursorArrow);
    case 2:
    case 3: return GetSystemCursor(kCursorSizeNESW);
    case 4: return GetSystemCursor(kCursorSizeNS);
    case 5: return GetSystemCursor(kCursorSizeNWSE);
    case 6: return GetSystemCursor(kCursorSizeWE);
    default: return NULL;
    }
}

} // namespace

int GetControlPointCount() { return s_set.count; }

void ResetControlPoints() { s_set = ControlPointSet(); }

int HitTestControlPoint(ImageWindow *window, int x, int y, int *kind, int *index)
{
    *kind = kHitNone, *index = 0;
    if (!window || !window->group)
        return 0;
    int64_t ox = window->group->layerX, oy = window->group->layerY;
    for (int i = 0; i < s_set.count; i++) {
        int64_t px = s_set.points[i].x + ox, py = s_set.points[i].y + oy;
        if (px - kHandleHalf <= x && x <= px + kHandleHalf && py - kHandleHalf <= y && y <= py + kHandleHalf) {
            *kind = kHitHandle, *index = i;
            return 1;
        }
    }
    return 0;
}

void SetControlPointCursor(int kind, int index)
{
    if (kind == kHitHandle && index >= 0 && index < s_set.count && s_set.cursors[index])
        NotifySetCursor(s_set.cursors[index]);
}

// ---- host services ----

QZS_DECL(int) QzsAllocControlPoint(int n)
{
    if (n < 0 || n > kMaxControlPoints)
        return 0;
    s_set.count = n;
    for (int i = 0; i < n; i++)
        s_set.cursors[i] = NULL;
    return 1;
}

QZS_DECL(int) QzsSetControlPoint(int i, int x, int y, int cursorKind, int mask)
{
    if (i < 0 || i >= s_set.count)
        return 0;
    if (mask & 1)
        s_set.points[i].x = x;
    if (mask & 2)
        s_set.points[i].y = y;
    if (cursorKind)
        s_set.cursors[i] = CursorOfKind(cursorKind);
    return 1;
}

QZS_DECL(int) QzsGetControlPoint(int i, int *x, int *y)
{
    if (i < 0 || i >= kMaxControlPoints)
        return 0;
    if (x)
        *x = s_set.points[i].x;
    if (y)
        *y = s_set.points[i].y;
    return 1;
}

QZS_DECL(int) QzsMoveAllControlPoint(int first, int last, int dx, int dy)
{
    first = first < 0 ? 0 : first;
    last = last > s_set.count - 1 ? s_set.count - 1 : last;
    if (first > last)
        return s_set.count;
    for (int i = first; i <= last; i++)
        QzsSetControlPoint(i, (int)((int64_t)s_set.points[i].x + dx), (int)((int64_t)s_set.points[i].y + dy), 0, 3);
    return 1;
}

QZS_DECL(int) QzsDrawControlPoint(ImageWindow *window, int i, int show, int refresh)
{
    // The index comes from a plug-in: only points of the set have a handle.
    if (i < 0 || i >= s_set.count)
        return 0;
    return DrawHandleMark(window, s_set.points[i].x, s_set.points[i].y, kHandleHalf, kHandleFill, kHandleEdge, show,
                          refresh, 1);
}

QZS_DECL(int) QzsDrawRegionBorder(ImageWindow *window, int first, int last, int show, int refresh)
{
    if (!window || !window->group)
        return 0;
    // A plug-in's run is kept to the points of the set.
    first = first < 0 ? 0 : first;
    last = last > s_set.count - 1 ? s_set.count - 1 : last;
    if (first > last)
        return 0;
    int64_t ox = window->group->layerX, oy = window->group->layerY;
    const QzPoint *p = s_set.points;
    for (int i = first; i < last; i++)
        QzsEorLine(window, (int)(p[i].x + ox), (int)(p[i].y + oy), (int)(p[i + 1].x + ox), (int)(p[i + 1].y + oy),
                   show, 0);
    QzsEorLine(window, (int)(p[last].x + ox), (int)(p[last].y + oy), (int)(p[first].x + ox), (int)(p[first].y + oy),
               show, 0);
    for (int i = first; i <= last; i++)
        QzsDrawControlPoint(window, i, show, 0);
    RECT pending;
    if (GetPendingRefresh(&pending))
        RefreshWindowRect(window, pending.left, pending.top, pending.right, pending.bottom, refresh);
    return 1;
}

QZS_DECL(int) QzsUpdateRegion(int local, ImageWindow *window, int x0, int y0, int x1, int y1)
{
    if (!window || !window->group)
        return 0;
    int w, h, d;
    if (!GetImageSize(window->layerImage ? window->layerImage : window->group->currentImage, &w, &h, &d))
        return 0;
    const ImageGroup *g = window->group;
    if (x1 < 0 || y1 < 0 || x0 >= w || y0 >= h)
        return 0;
    int64_t lo_x, lo_y, hi_x, hi_y, offX = 0, offY = 0;
    if (local) {
        lo_x = (int64_t)g->clampedX - g->layerX, lo_y = (int64_t)g->clampedY - g->layerY;
        hi_x = (int64_t)g->right - g->layerX, hi_y = (int64_t)g->bottom - g->layerY;
        offX = g->layerX, offY = g->layerY;
    } else {
        lo_x = g->clampedX, lo_y = g->clampedY, hi_x = g->right, hi_y = g->bottom;
    }
    int64_t l = x0 < lo_x ? lo_x : x0, t = y0 < lo_y ? lo_y : y0;
    int64_t r = x1 > hi_x ? hi_x : x1, b = y1 > hi_y ? hi_y : y1;
    SetDirtyRect((int)(l + offX), (int)(t + offY), (int)(r + offX), (int)(b + offY));
    return 1;
}
