// "SplineCurve": an open smooth curve through the clicked points, drawn with the pen.
#include "spline.h"

namespace {

draw::SplineCurve s_curve;
draw::ClickMemory s_click;

int Guide(ImageWindow *window, int x, int y, int show, int refresh, int)
{
    return draw::SplineGuide(s_curve, false, window, x, y, show, refresh);
}

// (x, y) is the ending click; a figure of one point or of two distinct knots is a line to it.
int DrawCurve(ImageWindow *window, int x, int y, int)
{
    QzPoint first, end = {x, y};
    if (!draw::Point(0, &first))
        return 4;
    s_curve.Start(false);
    s_curve.AddList();
    s_curve.Add(end);
    if (s_curve.knots <= 2 || !s_curve.Prepare()) {
        QzsDrawLine(window, first.x, first.y, x, y, 1);
        return 4;
    }
    QzPoint last = draw::ForEachSample(s_curve, first, [&](QzPoint a, QzPoint b) { QzsDrawLine(window, a.x, a.y, b.x, b.y, 1); });
    QzsDrawLine(window, last.x, last.y, x, y, 1);
    return 4;
}

} // namespace

QZ_DRAW_ENTRIES(2, 0, Guide, DrawCurve)
QZ_CLICK_ENTRIES(s_click)
