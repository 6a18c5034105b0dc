// The pictures of the lighting dialog: the sphere lit as plug-ins would light it, and the level
// bars with their marker.
#include "shell/lightingdlg.h"
#include "image/cdib.h"
#include "image/lighting.h"
#include <math.h>

static uint8_t Byte(int v)
{
    return (uint8_t)(v < 0 ? 0 : v > 255 ? 255 : v);
}

static void PutColor(CDIB *image, int red, int green, int blue)
{
    const uint8_t color[4] = {Byte(blue), Byte(green), Byte(red), 255};
    QzsSetDitherColor(image, 0, 0, color);
}

void DrawLightingPreview(CDIB *image, int width, int height)
{
    LightingFunction shade = QzsGetLightingSub();
    double radius = width / 2.0;
    for (int y = 0; y < height; y++) {
        QzsStartDither(0, y, width, height);
        for (int x = 0; x < width; x++) {
            double dx = x - width / 2.0, dy = y - height / 2.0;
            double dist = sqrt(dx * dx + dy * dy);
            if (dist < radius) {
                double nz = sqrt(radius * radius - dist * dist);
                PutColor(image, shade(254, dx, dy, nz, 0, 0, 0), shade(0, dx, dy, nz, 0, 0, 0),
                         shade(0, dx, dy, nz, 0, 0, 0));
            } else {
                PutColor(image, 64, 64, 64);
            }
        }
    }
}

void DrawLevelBar(CDIB *bar, int level, int red, int green, int blue)
{
    int width, height, depth;
    if (!GetImageSize(bar, &width, &height, &depth) || width <= 0 || height <= 0)
        return;
    // The marker's four columns stay inside the bar at every level.
    int marker = level > width - 4 ? width - 4 : level;
    marker = marker < 0 ? 0 : marker;
    for (int y = 0; y < height; y++) {
        QzsStartDither(0, y, width, height);
        for (int x = 0; x < width; x++) {
            if (x >= marker && x < marker + 3)
                PutColor(bar, 255, 255, 255);
            else if (x == marker + 3)
                PutColor(bar, 192, 192, 192);
            else
                PutColor(bar, red, green, blue);
        }
    }
}
