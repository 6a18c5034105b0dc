// Sphere: the source wrapped round a ball inscribed in the handles' rectangle and shaded with the
// program's light.
#include "transformmain.h"
#include "kitemap.h"

QZ_RECTANGLE_TEMPLATE()

QZC_EXPORT(int) QzcTransforming(ImageWindow *view, CDIB *source, int left, int top, int right, int bottom, int mask)
{
    tf::Source src(source, left, top, right, bottom, mask);
    tf::Rect d = tf::DestinationRect();
    tf::Disc disc = tf::MakeDisc(d, src);
    LightingFunction light = QzsGetLightingSub();
    double nz = 0;
    auto map = [&](int x, int y, double *sx, double *sy) { return tf::SphereSource(disc, x, y, sx, sy, &nz); };
    // The normal keeps the unscaled horizontal offset: a wide ball is lit as a flattened one.
    auto shade = [&](int x, int y, uint8_t *bgra) {
        if (!light)
            return;
        double nx = x - disc.cxd, ny = y - disc.cyd;
        for (int c = 0; c < 3; c++) {
            int v = light(bgra[c], nx, ny, nz, x, y, 0.0);
            bgra[c] = (uint8_t)(v < 0 ? 0 : v > 255 ? 255 : v);
        }
    };
    return tf::Render(view, src, d, map, shade);
}
