// Ripple: the picture seen through round waves spreading from the middle of the rectangle, shaded
// by the light.
#include "refract.h"

int RippleEffect(QZ_EFFECT_ARGS)
{
    fx::Area a = QZ_EFFECT_AREA;
    double amplitude = fx::Param(0) / 100.0, n = fx::Param(2) / 100.0, k = 0;
    bool wavy = fx::WaveNumber(fx::Param(1), &k);
    LightingFunction light = QzsGetLightingSub();
    if (progress)
        progress(0, fx::RowCount(a), 0);
    double cx = ((double)a.right - a.left) / 2, cy = ((double)a.bottom - a.top) / 2;
    return fx::RunPixels(
        a, fx::NoRowStart,
        [&](int x, int y, uint32_t *c) {
            double dx = (double)x - a.left - cx, dy = (double)y - a.top - cy, rho = sqrt(dx * dx + dy * dy);
            bool shown = wavy;
            if (shown) {
                // The very centre has no direction of slope; the slope tends to 0 there.
                double rise = -k * amplitude * sin(k * rho);
                double gx = rho > 0 ? rise * dx / rho : 0, gy = rho > 0 ? rise * dy / rho : 0;
                double depth = amplitude * (1 + cos(k * rho)) + 10;
                shown = fx::RefractedPixel(a, light, x, y, gx, gy, 1.0, 1.0, depth, n, dx, dy, c);
            }
            if (!shown)
                *c = fx::Source(a, x, y);
            return true;
        },
        0, true);
}

QZ_EFFECT_ENTRY(RippleEffect)
