// Bow: the source bent into a ring sector round handle 2, its top edge on the outer arc through
// handles 0 and 1, its bottom edge on the inner arc through handle 3. The sector's radius,
// directions and inner fraction live here between calls, so one bow is edited at a time.
#include "bowgeom.h"
#include "transformmain.h"

namespace {

tf::BowState g_bow = {tf::kBowMinRadius, 0, 0, 0.2};

void ReadHandles(tf::BowPoint h[4])
{
    for (int i = 0; i < 4; i++) {
        tf::Point p = tf::Handle(i);
        h[i] = tf::BowPoint{p.x, p.y};
    }
}

// The triangle of handles 0, 1 and 2 and the mark of handle 3.
int DrawBow(ImageWindow *view, int show, int refresh)
{
    QzsDrawRegionBorder(view, 0, 2, show, 0);
    QzsDrawRegionBorder(view, 1, 2, show, 0);
    return QzsDrawControlPoint(view, 3, show, refresh);
}

} // namespace

QZC_EXPORT(int) QzcStartTransform(ImageWindow *view, int left, int top, int right, int bottom)
{
    if (!QzsAllocControlPoint(4))
        return 0;
    tf::BowPoint h[4];
    tf::BowStart(left, top, right, bottom, &g_bow, h);
    static const int cursors[4] = {5, 3, 5, 5};
    for (int i = 0; i < 4; i++)
        QzsSetControlPoint(i, h[i].x, h[i].y, cursors[i], 3);
    return DrawBow(view, 1, 1);
}

QZC_EXPORT(int) QzcDragPoint(ImageWindow *view, int oldX, int oldY, int newX, int newY, int message, int index)
{
    if (message != 100 && message != 200)
        return message;
    if (message == 100 && (index < 0 || index > 3))
        return 0;
    DrawBow(view, 0, 0);
    if (message == 200 || index == 2) {
        // The centre carries the whole sector along; its shape stays.
        QzsMoveAllControlPoint(0, 3, (int)((int64_t)newX - oldX), (int)((int64_t)newY - oldY));
    } else {
        tf::BowPoint h[4];
        ReadHandles(h);
        tf::BowDrag(&g_bow, h, index, oldX, oldY, newX, newY);
        static const int moved[3] = {0, 1, 3};
        for (int i : moved)
            QzsSetControlPoint(i, h[i].x, h[i].y, 0, 3);
    }
    return DrawBow(view, 1, 1);
}

QZC_EXPORT(int) QzcDrawControlPoint(ImageWindow *view, int show, int refresh) { return DrawBow(view, show, refresh); }

QZC_EXPORT(int) QzcTransforming(ImageWindow *view, CDIB *source, int left, int top, int right, int bottom, int mask)
{
    tf::Source src(source, left, top, right, bottom, mask);
    tf::BowPoint h[4];
    ReadHandles(h);
    tf::BowArea a = tf::BowAreaOf(g_bow, h);
    tf::Rect area = {a.left, a.top, a.right, a.bottom, (int64_t)a.right - a.left + 1, (int64_t)a.bottom - a.top + 1};
    return tf::Render(view, src, area, [&](int x, int y, double *sx, double *sy) {
        return tf::BowSource(g_bow, h[2], src, x, y, sx, sy);
    });
}
