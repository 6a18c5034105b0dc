// "Sphere": an axis-parallel ellipse filled with a dome shaded by the program's light, dragged or
// clicked from its centre to a corner. The dome is a sphere of radius a squeezed to the ellipse.
#include "ellipse.h"

namespace {

int DrawSphere(ImageWindow *window, int, int, int keys)
{
    draw::EllipseFigure e;
    if (!draw::FinishedEllipse(keys, &e))
        return 0;
    const ColorRecord colour = *QzsGetColor(0);
    LightingFunction light = QzsGetLightingSub();
    int bits = QzsGetActiveRegion(window);
    int64_t cx = e.centre.x, cy = e.centre.y, a = e.a, b = e.b;
    // Only pixels of the current layer can take colour: the loops keep to it.
    int64_t left = cx - a, top = cy - b, right = cx + a, bottom = cy + b;
    int layer[4];
    bool paint = light && QzsGetLayerSize(window, &layer[0], &layer[1], &layer[2], &layer[3], 1);
    if (paint) {
        left = left < layer[0] ? layer[0] : left, top = top < layer[1] ? layer[1] : top;
        right = right > layer[2] ? layer[2] : right, bottom = bottom > layer[3] ? layer[3] : bottom;
    }
    // A flat figure (b = 0) has no row inside the dome.
    for (int64_t y = top; paint && b > 0 && y <= bottom; y++) {
        double dy = (double)(y - cy) * (double)a / (double)b;
        for (int64_t x = left; x <= right; x++) {
            double dx = (double)(x - cx), l = dx * dx + dy * dy;
            if (l >= (double)(a * a))
                continue;
            double nz = sqrt((double)(a * a) - l);
            ColorRecord pixel = {};
            pixel.red = light(colour.red, dx, dy, nz, (double)x, (double)y, 0.0);
            pixel.green = light(colour.green, dx, dy, nz, (double)x, (double)y, 0.0);
            pixel.blue = light(colour.blue, dx, dy, nz, (double)x, (double)y, 0.0);
            pixel.opacity = colour.opacity;
            QzsStartPset(window, (int)x, (int)y);
            QzsSetColorWithPset(window, (int)x, (int)y, &pixel, bits);
        }
    }
    int box[4];
    draw::EllipseBox(e, box);
    QzsUpdateRegion(0, window, box[0], box[1], box[2], box[3]);
    QzsUpdateWindowInPix(window, box[0], box[1], box[2], box[3]);
    return 0;
}

} // namespace

QZ_DRAW_ENTRIES(3, 1, draw::EllipseGuide, DrawSphere)
QZ_TWO_POINT_ENTRIES
