// Rectangular gradation: colour 3 at the centre of the figure's box, colour 2 on its border, in
// rectangles of the box's proportions. Post-process kind.
#include "funccolmain.h"

int QZCAPI YarrowPostProcess(ImageWindow *window, int x0, int y0, int x1, int y1, int mode)
{
    QzsGetCurrentLayer(window);
    if (x1 < x0 || y1 < y0)
        return 1;
    fc::Rgb border = fc::Color(2), centre = fc::Color(3);
    // Every pixel of a box one pixel wide or high lies on its border.
    if (x1 == x0 || y1 == y0) {
        fc::PaintBox(window, x0, y0, x1, y1, mode, [&](int, int) { return border; });
        return 1;
    }
    double cx = ((double)x0 + x1) / 2, cy = ((double)y0 + y1) / 2;
    double r = x1 - cx, q = ((double)x1 - x0) / ((double)y1 - y0);
    fc::PaintBox(window, x0, y0, x1, y1, mode, [&](int x, int y) {
        int dx = (int)(x - cx), dy = (int)(y - cy);
        double ax = dx < 0 ? -dx : dx, ay = q * (dy < 0 ? -dy : dy);
        double m = ax > ay ? ax : ay;
        return fc::Rgb{(int)((border.red * m + (r - m) * centre.red) / r),
                       (int)((border.green * m + (r - m) * centre.green) / r),
                       (int)((border.blue * m + (r - m) * centre.blue) / r)};
    });
    return 1;
}

QZ_FC_INFO_ENTRY(1)
QZ_FC_POST_ENTRY(YarrowPostProcess)
