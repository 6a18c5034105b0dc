// Turning an image: quarter and half turns as pixel permutations, any angle by bilinear sampling
// of the source at each new pixel's position turned back. Result sizes that do not fit an int are
// handed to the host as the largest int, never cut to their low bits, so that the host refuses
// them with its own messages as it refuses every size past its limit.
#include "rotate.h"
#include <limits.h>
#include <math.h>
#include <stdlib.h>
#include <string.h>

namespace {

// A new 32-bit image of width x height, NULL when refused.
CDIB *NewImage(int width, int height)
{
    CDIB *image = (CDIB *)calloc(1, sizeof(CDIB));
    if (!image)
        return NULL;
    if (QzsCreateCDIB(width, height, 32, image) != 0 || !image->pixels) {
        free(image);
        return NULL;
    }
    return image;
}

// A size computed in floating point as an int; a value past the int range (or no number) is
// given as INT_MAX for the host to refuse.
int SizeOf(double extent)
{
    double v = trunc(extent + 0.5) + 1;
    return v >= 1 && v <= (double)INT_MAX ? (int)v : INT_MAX;
}

bool SourceSize(CDIB *source, int *w, int *h)
{
    int depth = 32;
    if (!source || !QzsGetCDIBinfo(source, w, h, &depth))
        return false;
    return *w > 0 && *h > 0;
}

} // namespace

CDIB *TurnQuarter(CDIB *source, int button)
{
    int w, h;
    if (!SourceSize(source, &w, &h))
        return NULL;
    bool half = button == kTurn180;
    int W = half ? w : h, H = half ? h : w;
    CDIB *image = NewImage(W, H);
    if (!image)
        return NULL;
    QzsStartOnImage(source);
    uint32_t *out = (uint32_t *)image->pixels;
    for (int y = 0; y < H; y++)
        for (int x = 0; x < W; x++) {
            int sx, sy;
            switch (button) {
            case kTurn90: sx = y, sy = h - 1 - x; break;
            case kTurn180: sx = w - 1 - x, sy = h - 1 - y; break;
            default: sx = w - 1 - y, sy = x; break;
            }
            uint32_t color = 0;
            QzsGetColorOnImage(source, sx, sy, &color);
            out[(size_t)y * (size_t)W + (size_t)x] = color;
        }
    return image;
}

CDIB *RotateByAngle(CDIB *source, double angle)
{
    int w, h;
    if (!SourceSize(source, &w, &h))
        return NULL;
    double W = w - 1, H = h - 1;
    double theta = -angle * 3.14159 / 180, c = cos(theta), s = sin(theta);
    // The corners (0, 0), (W, 0), (W, H), (0, H) turned by (x c + y s, -x s + y c).
    double xs[4] = {0, W * c, W * c + H * s, H * s}, ys[4] = {0, -W * s, -W * s + H * c, H * c};
    double minX = xs[0], maxX = xs[0], minY = ys[0], maxY = ys[0];
    for (int k = 1; k < 4; k++) {
        minX = fmin(minX, xs[k]), maxX = fmax(maxX, xs[k]);
        minY = fmin(minY, ys[k]), maxY = fmax(maxY, ys[k]);
    }
    int newW = SizeOf(maxX - minX), newH = SizeOf(maxY - minY);
    CDIB *image = NewImage(newW, newH);
    if (!image)
        return NULL;
    const ColorRecord *back = QzsGetColor(1);
    uint32_t background =
        back ? (uint32_t)(back->red & 255) << 16 | (uint32_t)(back->green & 255) << 8 | (uint32_t)(back->blue & 255) : 0;
    QzsStartOnImage(source);
    uint32_t *out = (uint32_t *)image->pixels;
    for (int r = 0; r < newH; r++) {
        double Y = r + minY;
        for (int q = 0; q < newW; q++) {
            double X = q + minX;
            double sx = X * c - Y * s, sy = X * s + Y * c;
            uint32_t color = background;
            if (sx >= -0.5 && sx <= W + 0.5 && sy >= -0.5 && sy <= H + 0.5) {
                uint8_t sample[4] = {0, 0, 0, 0};
                QzsLinearInterpolate(source, sx, sy, sample, NULL);
                memcpy(&color, sample, 4);
            }
            out[(size_t)r * (size_t)newW + (size_t)q] = color;
        }
    }
    return image;
}

void FreeTurnedImage(CDIB *image)
{
    if (!image)
        return;
    QzsDisposeCDIB(image);
    free(image);
}
