// "Ellipse": the outline of an axis-parallel ellipse stamped with the pen, dragged or clicked from
// its centre to a corner.
#include "ellipse.h"

namespace {

// The stamps go once round the figure, each next to the one before: a functional colour that
// changes with every stamp runs along the outline. From the bottom to the right end and on to
// the top the runs grow outward by the row rule, then come back in by the direct half-widths.
void StampTrip(ImageWindow *window, const draw::EllipseFigure &e)
{
    int64_t cx = e.centre.x, cy = e.centre.y, a = e.a, b = e.b;
    auto stamp = [&](int64_t x, int64_t y) { QzsWritePen(window, draw::ClampInt(x), draw::ClampInt(y), 0); };
    // A quarter out by the row rule: rows r = b .. 0 on the side dy, offsets outward on the side dx.
    auto outward = [&](int dx, int dy) {
        draw::ForEachRowRun(a, b, [&](int64_t r, int64_t first, int64_t last) {
            for (int64_t i = first; i <= last; i++)
                stamp(cx + dx * i, cy + dy * r);
        });
    };
    // A quarter in by the direct half-widths: rows r = 0 .. b, from the previous half-width in.
    auto inward = [&](int dx, int dy) {
        int64_t p = a;
        for (int64_t r = 0; r <= b; r++) {
            int64_t half = draw::DirectHalfWidth(a, b, r);
            if (p != half)
                p--;
            for (int64_t i = p; i >= half || i == p; i--)
                stamp(cx + dx * i, cy + dy * r);
            p = half;
        }
    };
    outward(1, 1);
    inward(1, -1);
    outward(-1, -1);
    inward(-1, 1);
}

int DrawEllipseOutline(ImageWindow *window, int, int, int keys)
{
    draw::EllipseFigure e;
    if (!draw::FinishedEllipse(keys, &e))
        return 0;
    StampTrip(window, e);
    int box[4];
    draw::EllipseBox(e, box);
    QzsUpdateImageWindow(window, box[0], box[1], box[2], box[3]);
    return 0;
}

} // namespace

QZ_DRAW_ENTRIES(3, 0, draw::EllipseGuide, DrawEllipseOutline)
QZ_TWO_POINT_ENTRIES
