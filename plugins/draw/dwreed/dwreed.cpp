// "ClosedSplineCurve": a closed smooth curve through the clicked points, drawn with the pen.
#include "spline.h"

namespace {

draw::SplineCurve s_curve;
draw::ClickMemory s_click;

int Guide(ImageWindow *window, int x, int y, int show, int refresh, int)
{
    return draw::SplineGuide(s_curve, true, window, x, y, show, refresh);
}

// (x, y) is the ending click, the last point. Two points make a line; so does a loop of fewer
// than three intervals that the user closed on the first point.
int DrawClosedCurve(ImageWindow *window, int x, int y, int)
{
    int n = QzsGetHowManyPoints();
    QzPoint first, lastPoint;
    if (n < 2 || !draw::Point(0, &first) || !draw::Point(n - 1, &lastPoint))
        return 4;
    if (n == 2) {
        QzsDrawLine(window, first.x, first.y, x, y, 1);
        return 4;
    }
    s_curve.Start(true);
    s_curve.AddList();
    s_curve.Close();
    // All on one spot: no curve, as for a single point.
    if (s_curve.Intervals() == 0)
        return 4;
    bool closedOnFirst = lastPoint.x == first.x && lastPoint.y == first.y;
    if (s_curve.Intervals() < 3 && closedOnFirst) {
        QzsDrawLine(window, first.x, first.y, x, y, 1);
        return 4;
    }
    if (!s_curve.Prepare())
        return 4;
    QzPoint last = draw::ForEachSample(s_curve, first, [&](QzPoint a, QzPoint b) { QzsDrawLine(window, a.x, a.y, b.x, b.y, 1); });
    QzsDrawLine(window, last.x, last.y, first.x, first.y, 1);
    return 4;
}

} // namespace

QZ_DRAW_ENTRIES(2, 0, Guide, DrawClosedCurve)
QZ_CLICK_ENTRIES(s_click)
