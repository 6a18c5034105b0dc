// "EllipseFill": an axis-parallel ellipse filled in the drawing colour, dragged or clicked from
// its centre to a corner.
#include "ellipse.h"

namespace {

// One span of a row through the painting pipeline in colour record 0.
void Span(ImageWindow *window, int64_t left, int64_t right, int64_t y)
{
    QzsStartPset(window, draw::ClampInt(left), draw::ClampInt(y));
    for (int64_t x = left; x <= right; x++)
        QzsPSet(window, draw::ClampInt(x), draw::ClampInt(y), 0);
}

// Every run offset of a row paints its span below and above the centre; the spans of one row
// are nested, so the widest gives the row's extent as the outline has it.
int DrawFilledEllipse(ImageWindow *window, int, int, int keys)
{
    draw::EllipseFigure e;
    if (!draw::FinishedEllipse(keys, &e))
        return 0;
    int64_t cx = e.centre.x, cy = e.centre.y;
    draw::ForEachRowRun(e.a, e.b, [&](int64_t r, int64_t first, int64_t last) {
        for (int64_t i = first; i <= last; i++) {
            Span(window, cx - i, cx + i, cy + r);
            Span(window, cx - i, cx + i, cy - r);
        }
    });
    int box[4];
    draw::EllipseBox(e, box);
    QzsUpdateImageWindow(window, box[0], box[1], box[2], box[3]);
    return 0;
}

} // namespace

QZ_DRAW_ENTRIES(3, 1, draw::EllipseGuide, DrawFilledEllipse)
QZ_TWO_POINT_ENTRIES
