// "RegularPolygon": the outline of a regular polygon drawn with the pen, dragged or clicked from
// its centre to a corner.
#include "regpoly.h"

static int DrawPolygonOutline(ImageWindow *window, int, int, int)
{
    draw::RegularPolygon polygon;
    if (!draw::FinishedPolygon(&polygon))
        return 0;
    QzPoint previous = polygon.corner;
    for (int k = 1; k <= polygon.n; k++) {
        QzPoint next = polygon.Corner(k);
        QzsDrawLine(window, previous.x, previous.y, next.x, next.y, 1);
        previous = next;
    }
    return 0;
}

QZ_DRAW_ENTRIES(3, 0, draw::PolygonGuide, DrawPolygonOutline)
QZ_TWO_POINT_ENTRIES
