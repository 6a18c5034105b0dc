// Tfnook: the quadrilateral of the handles seen as the source rectangle in perspective; each
// destination pixel is taken back through the projective map fitted to the four corners.
#include "freecorners.h"
#include "nookmap.h"

QZ_FREE_CORNERS()

QZC_EXPORT(int) QzcTransforming(ImageWindow *view, CDIB *source, int left, int top, int right, int bottom, int mask)
{
    tf::Source src(source, left, top, right, bottom, mask);
    tf::Quad q = tf::ReadCorners();
    double m[64], rhs[8], k[8];
    tf::ProjectiveSystem(q.x, q.y, src, m, rhs);
    if (QzsSolveSystemOfLinearEquations(8, m, rhs, k) != 1 || !tf::CoefficientsFinite(k, 8)) {
        MessageBoxA(view ? view->window : NULL, "Can't transform", "ERR", MB_OK);
        return 0;
    }
    return tf::Render(view, src, tf::CornerBox(), [&](int x, int y, double *sx, double *sy) {
        return tf::ProjectiveSource(k, x, y, sx, sy) && tf::RoundedInside(src, *sx, *sy);
    });
}
