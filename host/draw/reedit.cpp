// Re-editing a figure completed in check mode: its points stay as handles over the draw method's
// guide until "Do!", "Do&&Continue" or "Cancel" in the popup of the right button.
#include "draw/reedit.h"
#include "draw/drawmouse.h"
#include "draw/drawmouse_internal.h"
#include "draw/drawsel.h"
#include "base/app.h"
#include "base/notify.h"
#include "image/pen.h"
#include "image/pointlist.h"
#include "plugins/loader.h"
#include "plugins/pointgroups.h"
#include "view/display.h"
#include "view/paint.h"

namespace {

struct ReeditState {
    PointGroup points = {};
    QzPoint end = {0, 0};
    int keys = 0;
    bool dragging = false, moveAll = false;
    int grabbed = -1;
    POINT anchor = {0, 0};
    bool shown = false; // guide and handles are on screen
};
ReeditState s_re;

HMENU ReeditPopup()
{
    static HMENU s_menu;
    if (!s_menu) {
        s_menu = CreatePopupMenu();
        AppendMenuA(s_menu, MF_STRING, 30100, "Do!");
        AppendMenuA(s_menu, MF_STRING, 30101, "Do&&Continue");
        AppendMenuA(s_menu, MF_STRING, 30102, "Cancel");
    }
    return s_menu;
}

int PluginDrawItState(ImageWindow *window, int x, int y, int keys)
{
    DrawPluginRecord *row = GetCurrentDrawPlugin();
    return row && row->QzcDrawIt ? row->QzcDrawIt(window, x, y, keys) : kDrawComplete;
}

void EndReedit()
{
    QzsDisposePointGroup(&s_re.points);
    s_re = ReeditState();
    g_drawState = kDrawComplete; // the window procedure empties the point list and commits
    if (QzsCheckLockDraw() && GetDrawLockOwner() == g_mainWindow)
        QzsLockDraw(g_mainWindow, 0);
}

} // namespace

bool InCheckMode() { return IsCheckModeOn(); }
bool InReeditMode() { return g_drawState == kDrawReedit; }
const PointGroup *GetReeditPoints() { return &s_re.points; }

void ToggleCheckMode(ImageWindow *)
{
    SetCheckMode(!IsCheckModeOn());
    ShowCurrentDrawModeStatus();
    NotifyToolButtonPressed(10, 32086, IsCheckModeOn() ? 1 : 0);
}

void EnterReedit(int x, int y, int keys)
{
    int n = QzsGetHowManyPoints();
    QzsCreatePointGroup(&s_re.points, n);
    for (int i = 0; i < s_re.points.count; i++)
        QzsGetEntryPoint(i, &s_re.points.points[i]);
    s_re.end = QzPoint{x, y};
    s_re.keys = keys;
    s_re.dragging = s_re.moveAll = false;
    s_re.grabbed = -1;
    ReeditPopup();
    if (!QzsCheckLockDraw())
        QzsLockDraw(g_mainWindow, 1);
    NotifyCursorChanged();
}

void DrawReeditGuide(ImageWindow *window, int show, int refresh)
{
    if (!window)
        return;
    // The method draws its guide through the other points to the last one, as if the pointer
    // stood there. A figure without points has no guide to draw.
    int n = QzsGetHowManyPoints();
    QzPoint last;
    if (n > 0 && QzsGetEntryPoint(n - 1, &last) == 0) {
        SetPointCount(n - 1);
        PluginGuide(window, last.x, last.y, show, 0, s_re.keys);
        SetPointCount(n);
    }
    DrawPointGroupHandles(window, &s_re.points, show, refresh);
    s_re.shown = show != 0;
}

void DrawReeditGuide(ImageWindow *window)
{
    if (InReeditMode())
        DrawReeditGuide(window, s_re.shown ? 0 : 1, 1);
}

void ReeditButtonDown(ImageWindow *window, int x, int y, int)
{
    int index;
    s_re.dragging = true;
    if (HitTestPointGroup(window, x, y, &s_re.points, &index)) {
        s_re.grabbed = index;
        s_re.moveAll = false;
    } else {
        s_re.grabbed = -1;
        s_re.moveAll = true;
        s_re.anchor = POINT{x, y};
    }
}

void ReeditMouseMove(ImageWindow *window, int x, int y, int, int)
{
    if (!s_re.dragging)
        return;
    window = DragTargetWindow(window, &x, &y);
    if (!window)
        return;
    DrawReeditGuide(window, 0, 0);
    if (s_re.moveAll) {
        int64_t dx = (int64_t)x - s_re.anchor.x, dy = (int64_t)y - s_re.anchor.y;
        for (int i = 0; i < s_re.points.count; i++)
            MoveReeditPoint(i, (int)(s_re.points.points[i].x + dx), (int)(s_re.points.points[i].y + dy));
        s_re.anchor = POINT{x, y};
    } else {
        MoveReeditPoint(s_re.grabbed, x, y);
    }
    DrawReeditGuide(window, 1, 1);
}

void MoveReeditPoint(int i, int x, int y)
{
    if (i < 0 || i >= s_re.points.count || !s_re.points.points)
        return;
    s_re.points.points[i] = QzPoint{x, y};
    SetPointAt(i, x, y);
    if (i == s_re.points.count - 1)
        s_re.end = QzPoint{x, y};
}

void ReeditButtonUp(ImageWindow *, int, int, int)
{
    s_re.dragging = s_re.moveAll = false;
    s_re.grabbed = -1;
}

void ShowReeditPopup(ImageWindow *window)
{
    if (!window || !window->window)
        return;
    POINT p = {0, 0};
    GetCursorPos(&p);
    TrackPopupMenu(ReeditPopup(), TPM_LEFTALIGN | TPM_TOPALIGN, p.x, p.y, 0, window->window, NULL);
}

void CommitReedit(ImageWindow *window, int stay)
{
    if (!InReeditMode() || !window)
        return;
    DrawReeditGuide(window, 0, 1);
    // A method may commit inside its own call, and a commit releases the draw lock: the lock
    // flag is cleared until the figure is committed, so that the re-edit keeps its lock.
    int locked = QzsCheckLockDraw();
    SetDrawLockFlag(0);
    const DrawPluginRecord *row = GetCurrentDrawPlugin();
    int n = s_re.points.count;
    if (row && row->interaction == 4 && n > 0) {
        // Free methods in check mode got no points while the figure was drawn: all of them now.
        for (int i = 0; i < n - 1; i++) {
            QzPoint p = s_re.points.points[i];
            g_drawState = PluginSetPoint(window, p.x, p.y, s_re.keys);
            RecordDrawStep("SetPoint", p.x, p.y, s_re.keys);
        }
        QzPoint p = s_re.points.points[n - 1];
        g_drawState = PluginDrawItState(window, p.x, p.y, s_re.keys);
        RecordDrawStep("DrawIt", p.x, p.y, s_re.keys);
    } else {
        PluginDrawItState(window, s_re.end.x, s_re.end.y, s_re.keys);
        RecordDrawStep("DrawIt", s_re.end.x, s_re.end.y, s_re.keys);
    }
    if (!stay) {
        SetDrawLockFlag(locked);
        EndReedit();
    } else {
        // Committed now, then the handles come back for the next variant.
        g_drawState = kDrawReedit;
        // The method's calls may have added to the point list: it holds the figure's points again.
        SetPointCount(s_re.points.count);
        for (int i = 0; i < s_re.points.count; i++)
            SetPointAt(i, s_re.points.points[i].x, s_re.points.points[i].y);
        CommitStroke(window);
        SetDrawLockFlag(locked);
        if (IsLoopMode())
            RedrawImageWindow(window);
        NotifyMacroFigureDone();
        DrawReeditGuide(window, 1, 1);
    }
    NotifyCursorChanged();
}

void CancelReedit(ImageWindow *window)
{
    if (!InReeditMode())
        return;
    if (window)
        DrawReeditGuide(window, 0, 1);
    EndReedit();
    NotifyCursorChanged();
}

void EndCheckMode(ImageWindow *window)
{
    if (!InReeditMode())
        return;
    CancelReedit(window);
    CompleteFigure(window);
}
