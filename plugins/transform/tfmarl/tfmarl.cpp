// Circle: the source squeezed into the disc inscribed in the handles' rectangle, unshaded.
#include "transformmain.h"
#include "marlmap.h"

QZ_RECTANGLE_TEMPLATE()

QZC_EXPORT(int) QzcTransforming(ImageWindow *view, CDIB *source, int left, int top, int right, int bottom, int mask)
{
    tf::Source src(source, left, top, right, bottom, mask);
    tf::Rect d = tf::DestinationRect();
    tf::Disc disc = tf::MakeDisc(d, src);
    return tf::Render(view, src, d,
                      [&](int x, int y, double *sx, double *sy) { return tf::CircleSource(disc, x, y, sx, sy); });
}
