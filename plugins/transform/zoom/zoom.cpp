// Zooming: the whole source rectangle stretched into the rectangle of the handles.
#include "transformmain.h"

QZ_RECTANGLE_TEMPLATE()

QZC_EXPORT(int) QzcTransforming(ImageWindow *view, CDIB *source, int left, int top, int right, int bottom, int mask)
{
    tf::Source src(source, left, top, right, bottom, mask);
    tf::Rect d = tf::DestinationRect();
    return tf::Render(view, src, d, [&](int x, int y, double *sx, double *sy) {
        // Products in whole numbers, the divisions in reals.
        *sx = (double)(((int64_t)x - d.x0) * src.W) / (double)d.w + left;
        *sy = (double)(((int64_t)y - d.y0) * src.H) / (double)d.h + top;
        return true;
    });
}
