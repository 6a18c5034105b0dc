// Point groups: lists of points shown as handles that the user drags on the image. Sixteen slots
// serve parameter plug-ins; the host's re-edit of check mode owns groups of its own.
#include "plugins/params.h"
#include "plugins/pointgroups.h"
#include "plugins/subwin.h"
#include "base/app.h"
#include "base/msgbox.h"
#include "image/current.h"
#include "view/handles.h"
#include "view/primitives.h"
#include <stdlib.h>

namespace {

struct PointGroupSlot {
    int display = 0; // handles shown
    int inUse = 0;
    PointGroup group = {};
};
PointGroupSlot s_slots[kPointGroupSlots];

bool ValidSlot(int slot) { return slot >= 0 && slot < kPointGroupSlots; }

} // namespace

QZS_DECL(int) QzsCreatePointGroup(PointGroup *group, int n)
{
    // A count below 0 sizes nothing: the group stays as it was.
    if (!group || n < 0)
        return 0;
    free(group->points);
    group->points = NULL;
    group->count = 0;
    if (n == 0)
        return 0;
    QzPoint *points = (QzPoint *)malloc((size_t)n * sizeof(QzPoint));
    if (!points)
        return 0;
    for (int i = 0; i < n; i++)
        points[i] = QzPoint{-100, -100};
    group->points = points;
    group->count = n;
    return n;
}

QZS_DECL(int) QzsDisposePointGroup(PointGroup *group)
{
    if (!group)
        return 0;
    free(group->points);
    group->points = NULL;
    group->count = 0;
    return 1;
}

QZS_DECL(int) QzsCreatePointGroupForParameter(int n)
{
    int slot = 0;
    while (slot < kPointGroupSlots && s_slots[slot].inUse)
        slot++;
    if (slot == kPointGroupSlots) {
        AppMessageBox(g_mainWindow, "EEE", "Err", MB_OK);
        return -1;
    }
    PointGroupSlot &s = s_slots[slot];
    if (QzsCreatePointGroup(&s.group, n) <= 0) {
        AppMessageBox(g_mainWindow, "EEE", "Err", MB_OK);
        return -2;
    }
    s.inUse = 1;
    s.display = 0;
    return slot;
}

QZS_DECL(int) QzsDisposePointGroupForParameter(int slot)
{
    if (!ValidSlot(slot)) {
        AppMessageBox(g_mainWindow, "EE", "Err", MB_OK);
        return 0;
    }
    PointGroupSlot &s = s_slots[slot];
    if (s.display && s.inUse)
        DrawPointGroupHandles(g_currentWindow, &s.group, 0, 1);
    QzsDisposePointGroup(&s.group);
    s.display = 0;
    s.inUse = 0;
    return 0;
}

QZS_DECL(int) QzsGetCoordinatePointGroupForParameter(int slot, int i, int *x, int *y)
{
    if (!ValidSlot(slot) || i < 0 || i >= s_slots[slot].group.count || !s_slots[slot].group.points)
        return 0;
    const QzPoint &p = s_slots[slot].group.points[i];
    if (x)
        *x = p.x;
    if (y)
        *y = p.y;
    return 1;
}

QZS_DECL(int) QzsSetCoordinatePointGroupForParameter(int slot, int i, int x, int y)
{
    if (!ValidSlot(slot) || i < 0 || i >= s_slots[slot].group.count || !s_slots[slot].group.points)
        return 0;
    PointGroupSlot &s = s_slots[slot];
    QzPoint old = s.group.points[i];
    s.group.points[i] = QzPoint{x, y};
    if (s.display)
        MovePointGroupHandle(g_currentWindow, &s.group, i, old.x, old.y);
    return 1;
}

QZS_DECL(int) QzsSetDispModePointGroupForParameter(int slot, int mode)
{
    if (!ValidSlot(slot))
        return 0;
    s_slots[slot].display = mode;
    return 1;
}

QZS_DECL(int) QzsTogglePointControlDispModeForParameter(int slot)
{
    if (!ValidSlot(slot))
        return 0;
    PointGroupSlot &s = s_slots[slot];
    s.display = 1 - s.display;
    DrawPointGroupHandles(g_currentWindow, &s.group, s.display, 1);
    return 1;
}

void ClearPointGroupSlots()
{
    for (PointGroupSlot &s : s_slots)
        QzsDisposePointGroup(&s.group);
    for (PointGroupSlot &s : s_slots)
        s = PointGroupSlot();
}

void DrawPointGroupHandles(ImageWindow *window, const PointGroup *group, int show, int lastRefresh)
{
    if (!window || !group || !group->points)
        return;
    for (int i = 0; i < group->count; i++)
        DrawHandleMark(window, group->points[i].x, group->points[i].y, kHandleHalf, kHandleFill, kHandleEdge, show,
                       i == group->count - 1 ? lastRefresh : 0, 0);
}

void DrawParameterPointGroups(ImageWindow *window, int show)
{
    ResetHandleBox();
    for (PointGroupSlot &s : s_slots)
        if (s.display && s.inUse)
            DrawPointGroupHandles(window, &s.group, show, 1);
}

int HitTestPointGroup(ImageWindow *window, int x, int y, const PointGroup *group, int *index)
{
    if (!window || !group || !group->points)
        return 0;
    int64_t h = window->display.zoom < 0 ? (int64_t)kHandleHalf * -window->display.zoom : (int64_t)kHandleHalf;
    for (int i = 0; i < group->count; i++) {
        int64_t px = group->points[i].x, py = group->points[i].y;
        if (px - h <= x && x <= px + h && py - h <= y && y <= py + h) {
            *index = i;
            return 1;
        }
    }
    return 0;
}

int FindPointGroupHandle(ImageWindow *window, int x, int y, int *slot, int *index)
{
    for (int k = 0; k < kPointGroupSlots; k++) {
        const PointGroupSlot &s = s_slots[k];
        if (s.display && s.inUse && HitTestPointGroup(window, x, y, &s.group, index)) {
            *slot = k;
            return 1;
        }
    }
    return 0;
}

void MovePointGroupHandle(ImageWindow *window, const PointGroup *group, int i, int oldX, int oldY)
{
    if (!window || !group || i < 0 || i >= group->count || !group->points)
        return;
    DrawHandleMark(window, oldX, oldY, kHandleHalf, kHandleFill, kHandleEdge, 0, 0, 0);
    DrawHandleMark(window, group->points[i].x, group->points[i].y, kHandleHalf, kHandleFill, kHandleEdge, 1, 1, 0);
}

void BeginPointGroupDrag(ImageWindow *, int, int, int, int) {}

void DragPointGroupHandle(ImageWindow *, int x, int y, int slot, int index)
{
    QzsSetCoordinatePointGroupForParameter(slot, index, x, y);
}

void EndPointGroupDrag(ImageWindow *, int, int, int slot, int)
{
    NotifyDrawAndColorPanels(1, slot);
}
