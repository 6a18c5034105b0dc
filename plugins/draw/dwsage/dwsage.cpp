// "FillClosedSplineCurve": a closed smooth curve through the clicked points, filled in the
// drawing colour: the point list is replaced by the curve's samples, which the program fills.
#include "spline.h"

namespace {

draw::SplineCurve s_curve;
draw::ClickMemory s_click;

int Guide(ImageWindow *window, int x, int y, int show, int refresh, int)
{
    return draw::SplineGuide(s_curve, true, window, x, y, show, refresh);
}

int FillClosedCurve(ImageWindow *window, int, int, int)
{
    int n = QzsGetHowManyPoints();
    QzPoint first;
    if (n < 2 || !draw::Point(0, &first))
        return 4;
    if (n == 2) {
        QzsFillPolygon(window);
        return 4;
    }
    s_curve.Start(true);
    s_curve.AddList();
    s_curve.Close();
    if (!s_curve.Prepare())
        return 4;
    // Samples past the list's capacity are not taken: the fill closes on the last one held.
    QzsInitPoint();
    bool room = true;
    draw::ForEachSample(s_curve, first, [&](QzPoint, QzPoint b) { room = room && QzsSetNewEntryPoint(&b) == 0; });
    QzsFillPolygon(window);
    return 4;
}

} // namespace

QZ_DRAW_ENTRIES(2, 1, Guide, FillClosedCurve)
QZ_CLICK_ENTRIES(s_click)
