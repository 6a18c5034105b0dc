// Tflumesform: the source rectangle laid onto the quadrilateral of the handles by the bilinear
// map, each destination pixel found back by the map's exact inverse.
#include "freecorners.h"
#include "lumemap.h"
#include <stdio.h>

QZ_FREE_CORNERS()

QZC_EXPORT(int) QzcTransforming(ImageWindow *view, CDIB *source, int left, int top, int right, int bottom, int mask)
{
    tf::Source src(source, left, top, right, bottom, mask);
    tf::Rect d = tf::CornerBox();
    tf::Bilinear m = tf::MakeBilinear(tf::ReadCorners());
    int64_t shownRow = INT64_MIN;
    return tf::Render(view, src, d, [&](int x, int y, double *sx, double *sy) {
        if (y != shownRow) { // the row counter in the status bar
            char text[32];
            snprintf(text, sizeof text, "Y=%d", y);
            QzsStatMessage(view, text);
            shownRow = y;
        }
        double u, v;
        if (!tf::BilinearInverse(m, x, y, &u, &v))
            return false;
        tf::LumeSource(src, u, v, sx, sy);
        return true;
    });
}
