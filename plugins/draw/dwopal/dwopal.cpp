// "FillRegularPolygon": a regular polygon filled in the drawing colour, dragged or clicked from its
// centre to a corner.
#include "regpoly.h"

static int DrawFilledPolygon(ImageWindow *window, int, int, int)
{
    draw::RegularPolygon polygon;
    if (!draw::FinishedPolygon(&polygon))
        return 0;
    // The list now describes the outline that the host fills.
    QzsInitPoint();
    for (int k = 1; k <= polygon.n; k++) {
        QzPoint corner = polygon.Corner(k);
        QzsSetNewEntryPoint(&corner);
    }
    QzsFillPolygon(window);
    return 0;
}

QZ_DRAW_ENTRIES(3, 1, draw::PolygonGuide, DrawFilledPolygon)
QZ_TWO_POINT_ENTRIES
