// Distort: the quadrilateral of the handles filled through a bilinear map fitted from the
// destination side, one for each source axis.
#include "distortmap.h"
#include "freecorners.h"

QZ_FREE_CORNERS()

QZC_EXPORT(int) QzcTransforming(ImageWindow *view, CDIB *source, int left, int top, int right, int bottom, int mask)
{
    tf::Source src(source, left, top, right, bottom, mask);
    tf::Quad q = tf::ReadCorners();
    double m[16], rx[4], ry[4], a[4], b[4];
    tf::DistortSystem(q.x, q.y, src, m, rx, ry);
    // No fit (handles on one line or one point): nothing is drawn.
    if (QzsSolveSystemOfLinearEquations(4, m, rx, a) != 1 || QzsSolveSystemOfLinearEquations(4, m, ry, b) != 1 ||
        !tf::CoefficientsFinite(a, 4) || !tf::CoefficientsFinite(b, 4))
        return 0;
    return tf::Render(view, src, tf::CornerBox(), [&](int x, int y, double *sx, double *sy) {
        *sx = tf::DistortAxis(a, x, y);
        *sy = tf::DistortAxis(b, x, y);
        return tf::RoundedInside(src, *sx, *sy);
    });
}
