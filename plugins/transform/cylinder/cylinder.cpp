// Cylinder: the source wrapped round an upright cylinder filling the rectangle of the handles,
// squeezed towards its left and right edges as a label on a can.
#include "transformmain.h"
#include "cylindermap.h"

QZ_RECTANGLE_TEMPLATE()

QZC_EXPORT(int) QzcTransforming(ImageWindow *view, CDIB *source, int left, int top, int right, int bottom, int mask)
{
    tf::Source src(source, left, top, right, bottom, mask);
    tf::Rect d = tf::DestinationRect();
    return tf::Render(view, src, d, [&](int x, int y, double *sx, double *sy) {
        tf::CylinderSource(d, src, x, y, sx, sy);
        return true;
    });
}
