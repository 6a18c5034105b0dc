// Wave: rows (or columns) shifted sideways along a sine wave; pixels whose source lies outside the
// rectangle are left unwritten.
#include "effectmain.h"
#include <math.h>

int WaveEffect(QZ_EFFECT_ARGS)
{
    fx::Area a = QZ_EFFECT_AREA;
    if (progress)
        progress(0, fx::RowCount(a), 0);
    int across = fx::Param(0), length = fx::Param(1), amplitude = fx::Param(2), phase = fx::Param(3);
    if (length == 0) // no wave without a wavelength: every pixel as it was
        return fx::RunRows(a, [](uint32_t c) { return c; }, 1, true);
    double k = 6.2831852 / length;
    return fx::RunPixels(
        a, fx::NoRowStart,
        [&](int x, int y, uint32_t *c) {
            double sx = x, sy = y;
            if (across)
                sx = x + amplitude * sin(((double)y - a.top + phase) * k);
            else
                sy = y + amplitude * sin(((double)x - a.left + phase) * k);
            if (sx < a.left || sx > a.right || sy < a.top || sy > a.bottom)
                return false;
            QzsGetColorOnImage(a.image, (int)(sx + 0.5), (int)(sy + 0.5), c);
            return true;
        },
        1, true);
}

QZ_EFFECT_ENTRY(WaveEffect)
