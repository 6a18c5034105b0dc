// Moves, the Shift key and the hover guide. While a figure is in progress a move redraws its
// rubber band (the old guide erased at the last point, the new one drawn at the pointer) or, for
// free-hand methods, adds a point; with no figure the method's hover guide or the pen's outline
// follows the pointer. The timer's moves arrive here too.
#include "draw/drawmouse_internal.h"
#include "draw/drawsel.h"
#include "draw/reedit.h"
#include "draw/transform.h"
#include "base/settings.h"
#include "image/current.h"
#include "image/pen.h"
#include "plugins/effectdlg.h"
#include "plugins/params.h"
#include <stdio.h>

// The hover guide's window may have been closed since it was drawn.
static bool StillOpen(const ImageWindow *window)
{
    for (const ImageWindow *w = g_firstWindow; w; w = w->next)
        if (w == window)
            return true;
    return false;
}

void DrawPenOutline(ImageWindow *window, int x, int y, int show, int refresh)
{
    const PenRecord *pen = QzsGetPen();
    const ImageGroup *g = window ? window->group : NULL;
    int n = pen->side;
    if (!g || !pen->outline || n < 1 || n > GetPenCapacity())
        return;
    int left = pen->left < 0 ? 0 : pen->left, top = pen->top < 0 ? 0 : pen->top;
    int right = pen->right >= n ? n - 1 : pen->right, bottom = pen->bottom >= n ? n - 1 : pen->bottom;
    int64_t x0 = (int64_t)x - pen->hotX + left, y0 = (int64_t)y - pen->hotY + top;
    int64_t x1 = (int64_t)x - pen->hotX + right, y1 = (int64_t)y - pen->hotY + bottom;
    int64_t column0 = left, row0 = top;
    if (x0 < g->clampedX)
        column0 += g->clampedX - x0, x0 = g->clampedX;
    if (y0 < g->clampedY)
        row0 += g->clampedY - y0, y0 = g->clampedY;
    x1 = x1 > g->right ? g->right : x1;
    y1 = y1 > g->bottom ? g->bottom : y1;
    for (int64_t py = y0, r = row0; py <= y1; py++, r++)
        for (int64_t px = x0, c = column0; px <= x1; px++, c++)
            if (pen->outline[r * n + c])
                QzsEorPoint(window, (int)px, (int)py, show);
    QzsUpdateImageWindowEx(window, (int)x0, (int)y0, (int)x1, (int)y1, refresh);
}

void EraseHoverGuide(int refresh)
{
    DrawMouseState &s = g_mouse;
    if (!s.hoverPending)
        return;
    if (!StillOpen(s.hoverWindow)) {
        s.hoverPending = false;
        return;
    }
    const DrawPluginRecord *row = GetCurrentDrawPlugin();
    bool ran = false;
    if (row && row->QzcGuideLineBeforeDraw) {
        row->QzcGuideLineBeforeDraw(s.hoverWindow, s.lastGuide.x, s.lastGuide.y, 0, refresh, s.hoverKeys);
        ran = true;
    }
    if (g_cfg.DisplayPenShape && row && row->info == 0) {
        DrawPenOutline(s.hoverWindow, s.lastGuide.x, s.lastGuide.y, 0, refresh);
        ran = true;
    }
    if (ran)
        s.hoverPending = false;
}

static void ShowHover(ImageWindow *window, int x, int y, int keys)
{
    DrawMouseState &s = g_mouse;
    const DrawPluginRecord *row = GetCurrentDrawPlugin();
    bool shown = false;
    if (row && row->QzcGuideLineBeforeDraw) {
        s.hoverPending = true;
        row->QzcGuideLineBeforeDraw(window, x, y, 1, 1, keys);
        shown = true;
    }
    if (g_cfg.DisplayPenShape && row && row->info == 0) {
        s.hoverPending = true;
        DrawPenOutline(window, x, y, 1, 1);
        shown = true;
    }
    if (shown) {
        s.lastGuide = POINT{x, y};
        s.hoverWindow = window;
        s.hoverKeys = keys;
    }
}

// A free-hand point, unless check mode keeps the points for re-editing.
static void FreeHandMove(ImageWindow *window, int x, int y, int keys, bool same)
{
    DrawMouseState &s = g_mouse;
    int info = GetCurrentDrawInfo();
    if (!s.checkMode || (info & 0x20)) {
        if ((info & 2) || !same) {
            g_drawState = PluginSetPoint(window, x, y, keys);
            int tx, ty, pressure;
            SendPenPressure(&tx, &ty, &pressure);
            char text[100];
            snprintf(text, sizeof text, "%d %d:::%d %d(%d)", x, y, tx, ty, pressure);
            QzsStatMessage(window, text);
            RecordDrawStep("SetPoint", x, y, keys);
        }
    } else {
        PluginGuide(window, s.lastGuide.x, s.lastGuide.y, 0, 0, keys);
        PluginGuide(window, x, y, 1, 1, keys);
        QzPoint p = {x, y};
        QzsSetNewEntryPoint(&p);
    }
    s.lastGuide = POINT{x, y};
}

int OnDrawMouseMove(ImageWindow *window, WPARAM wParam, LPARAM lParam, int convert)
{
    DrawMouseState &s = g_mouse;
    if (!ShowsImage(window) || InEffectMode())
        return 0;
    int keys = MouseKeys(wParam), x, y;
    WindowToImage(window, (short)LOWORD(lParam), (short)HIWORD(lParam), &x, &y, convert);
    if (s.pointGroupDrag) {
        DragPointGroupHandle(window, x, y, s.grabbedSlot, s.grabbedIndex);
        return 0;
    }
    if (g_drawState == kDrawReedit) {
        ReeditMouseMove(window, x, y, keys, convert);
        return 0;
    }
    if (InTransformMode()) {
        TransformMouseMove(window, x, y, keys, convert);
        return 0;
    }
    bool same = x == s.lastGuide.x && y == s.lastGuide.y;
    if (s.colorPicking && !same) {
        QzsSpoitColor(window, x, y, keys);
        return 0;
    }
    if (window == g_currentWindow)
        EraseHoverGuide(0);
    switch (g_drawState) {
    case kDrawIdle:
        QzsDispStatXY(window, x, y);
        if (window == g_currentWindow)
            ShowHover(window, x, y, keys);
        break;
    case kDrawInProgress:
        if (EffectiveDrawMode(GetCurrentDrawPlugin()) == 4) {
            FreeHandMove(window, x, y, keys, same);
        } else {
            PluginGuide(window, s.lastGuide.x, s.lastGuide.y, 0, 0, keys);
            PluginGuide(window, x, y, 1, 1, keys);
            s.lastGuide = POINT{x, y};
        }
        break;
    case kDrawComplete:
        // A figure completed outside a window message is committed here rather than lost.
        CompleteFigure(window);
        break;
    default:
        break;
    }
    return 0;
}

void SendSyntheticMouseMove(ImageWindow *window, int, LPARAM position, int convert)
{
    OnDrawMouseMove(window, (WPARAM)GetMouseKeyFlags(), position, convert);
    // No window procedure runs after the timer's move: a figure it completed is committed now.
    if (g_drawState == kDrawComplete)
        CompleteFigure(window);
}

// ---- the Shift key: the guide is taken down with the keys it was drawn with ----

int OnDrawShiftDown(ImageWindow *window, WPARAM key)
{
    DrawMouseState &s = g_mouse;
    if (InEffectMode() || InTransformMode() || key != VK_SHIFT || s.shiftHeld)
        return 0;
    s.shiftHeld = true;
    PluginGuide(window, s.lastGuide.x, s.lastGuide.y, 0, 1, 0);
    NudgeCursor();
    return 0;
}

int OnDrawShiftUp(ImageWindow *window, WPARAM key)
{
    DrawMouseState &s = g_mouse;
    if (InEffectMode() || InTransformMode() || key != VK_SHIFT || !s.shiftHeld)
        return 0;
    s.shiftHeld = false;
    PluginGuide(window, s.lastGuide.x, s.lastGuide.y, 0, 1, MK_SHIFT);
    NudgeCursor();
    return 0;
}
