// Cone: the source wrapped round a cone standing on the bottom of the handles' rectangle, its
// apex the middle of the top row.
#include "transformmain.h"
#include "conemap.h"

QZ_RECTANGLE_TEMPLATE()

QZC_EXPORT(int) QzcTransforming(ImageWindow *view, CDIB *source, int left, int top, int right, int bottom, int mask)
{
    tf::Source src(source, left, top, right, bottom, mask);
    tf::Rect d = tf::DestinationRect();
    return tf::Render(view, src, d, [&](int x, int y, double *sx, double *sy) {
        tf::ConeRow row = tf::ConeRowAt(d, y);
        if (x < row.xl || x > row.xr)
            return false;
        tf::ConeSource(d, src, row, x, y, sx, sy);
        return true;
    });
}
