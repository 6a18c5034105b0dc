// What the refracting effects share: the sideways shift of a ray through a sloped transparent
// surface, and the shaded sample of the source it lands on.
#pragma once
#include "effectmain.h"
#include <math.h>

namespace fx {

// The shift of a ray entering a surface of slope a against b at depth d with refractive ratio n.
// False where no ray comes through (b of 0, past the critical angle, a ray along the surface): the
// caller then leaves the pixel as it was.
inline bool Refract(double a, double b, double d, double n, double *shift)
{
    if (b == 0 || !isfinite(a) || !isfinite(b) || !isfinite(d) || !isfinite(n))
        return false;
    double t1 = -a / b;
    double s = n * (-a / sqrt(a * a + b * b));
    if (!(s * s < 1))
        return false;
    double t2 = sqrt(1 / (1 - s * s) - 1);
    if (a > 0)
        t2 = -t2;
    *shift = d * (t1 - t2) / (1 + t1 * t2);
    return isfinite(*shift);
}

inline int ClampShade(int v) { return Clamp(v, 0, 255); }

// The pixel (x, y) seen through the surface of slope (gx, gy) against b at depth d: the source
// sampled between pixels where the ray lands, each of red, green and blue shaded by the light for
// the normal (gx, gy, nz) at the position (px, py). False when no ray comes through.
inline bool RefractedPixel(const Area &a, LightingFunction light, int x, int y, double gx, double gy, double b,
                           double nz, double d, double n, double px, double py, uint32_t *out)
{
    double ox, oy;
    if (!Refract(gx, b, d, n, &ox) || !Refract(gy, b, d, n, &oy))
        return false;
    double sx = x + ox, sy = y + oy;
    if (!isfinite(sx) || !isfinite(sy))
        return false;
    uint8_t c[4], maskByte;
    QzsLinearInterpolate(a.image, sx, sy, c, &maskByte);
    if (!light) {
        *out = (uint32_t)c[3] << 24 | (uint32_t)c[2] << 16 | (uint32_t)c[1] << 8 | c[0];
        return true;
    }
    int red = ClampShade(light(c[2], gx, gy, nz, px, py, 0.0));
    int green = ClampShade(light(c[1], gx, gy, nz, px, py, 0.0));
    int blue = ClampShade(light(c[0], gx, gy, nz, px, py, 0.0));
    *out = WithRgb((uint32_t)c[3] << 24, red, green, blue);
    return true;
}

// The wave number 2 pi / L of the surface modules (with their own value of 2 pi); false for a
// wavelength of 0, which has none.
inline bool WaveNumber(int wavelength, double *k)
{
    if (wavelength == 0)
        return false;
    *k = 6.28318 / wavelength;
    return true;
}

} // namespace fx
