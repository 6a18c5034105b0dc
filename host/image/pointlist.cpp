// The point list services. Points are group coordinates, as the mouse machinery hands them to
// the draw plug-ins; modules that paint into a layer subtract its origin themselves.
#include "image/pointlist.h"

static QzPoint s_points[kPointListCapacity];
static int s_count;

QZS_DECL(int) QzsGetHowManyPoints(void)
{
    return s_count;
}

QZS_DECL(int) QzsGetEntryPoint(int i, QzPoint *point)
{
    bool valid = i >= 0 && i < s_count;
    if (point)
        *point = valid ? s_points[i] : QzPoint{0, 0};
    return valid ? 0 : 1;
}

// A full list keeps its points and drops the new one: 1 tells the caller so.
QZS_DECL(int) QzsSetNewEntryPoint(const QzPoint *point)
{
    if (!point || s_count >= kPointListCapacity)
        return 1;
    s_points[s_count++] = *point;
    return 0;
}

QZS_DECL(void) QzsInitPoint(void)
{
    s_count = 0;
}

QZS_DECL(void) QzsDeletePoint(void)
{
    if (s_count > 0)
        s_count--;
}

int SetPointAt(int i, int x, int y)
{
    if (i < 0 || i >= s_count)
        return 0;
    s_points[i] = QzPoint{x, y};
    return 1;
}

void SetPointCount(int n)
{
    s_count = n < 0 ? 0 : n > kPointListCapacity ? kPointListCapacity : n;
}
