// Four-colour gradation: the cubic through colours 2, 3, 4 and 5 along the figure's box, across
// its columns (panel value nonzero) or its rows. Post-process kind.
#include "funccolmain.h"

namespace {

// Coefficients a3, a2, a1, a0 of each channel's cubic with value colour 2 + t at t = 0..3.
void FitCubics(double red[4], double green[4], double blue[4])
{
    double a[16], r[4], g[4], b[4];
    for (int i = 0; i < 4; i++) {
        a[4 * i] = i * i * i, a[4 * i + 1] = i * i, a[4 * i + 2] = i, a[4 * i + 3] = 1;
        fc::Rgb c = fc::Color(2 + i);
        r[i] = c.red, g[i] = c.green, b[i] = c.blue;
    }
    QzsSolveSystemOfLinearEquations(4, a, r, red);
    QzsSolveSystemOfLinearEquations(4, a, g, green);
    QzsSolveSystemOfLinearEquations(4, a, b, blue);
}

// The cubic at t, rounded to a channel value 0..255.
int Channel(const double c[4], double t)
{
    double v = c[3] + c[2] * t + c[1] * t * t + c[0] * t * t * t;
    v = v < 0 ? -0.5 : v > 255 ? 254.5 : v;
    return (int)(v + 0.5);
}

} // namespace

int QZCAPI WrenPostProcess(ImageWindow *window, int x0, int y0, int x1, int y1, int mode)
{
    QzsGetCurrentLayer(window);
    if (x1 < x0 || y1 < y0)
        return 1;
    bool alongX = fc::Param(0) != 0;
    // Zero until solved: a failed fit paints black rather than leftovers.
    double red[4] = {}, green[4] = {}, blue[4] = {};
    FitCubics(red, green, blue);
    // A box one pixel across in the gradation's direction holds its first colour only.
    double span = alongX ? (double)x1 - x0 : (double)y1 - y0;
    fc::PaintBox(window, x0, y0, x1, y1, mode, [&](int x, int y) {
        double t = span > 0 ? 3.0 * (alongX ? (double)x - x0 : (double)y - y0) / span : 0.0;
        return fc::Rgb{Channel(red, t), Channel(green, t), Channel(blue, t)};
    });
    return 1;
}

QZ_FC_INFO_ENTRY(1)
QZ_FC_POST_ENTRY(WrenPostProcess)
