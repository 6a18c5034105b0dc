// Sloped gradation: colour 2 to colour 3 across the figure's box along a slope of angle A
// (degrees; the panel gives minus A). Post-process kind.
#include "funccolmain.h"
#include <math.h>

static double s_angle = -60.0;

// The position of a box offset along the gradation: the distance from the slope line through the
// starting corner, measured in rows (in columns at 90 degrees).
struct Slope {
    bool upright; // A = 90
    bool below;   // A < -90: the gradation starts at the bottom-left corner
    double t, height;
    double At(double dx, double dy) const
    {
        double p = upright ? dx : dy - dx * t;
        return below ? height - p : p;
    }
};

int QZCAPI TealPostProcess(ImageWindow *window, int x0, int y0, int x1, int y1, int mode)
{
    if (x1 < x0 || y1 < y0)
        return 1;
    QzsStartOnImage(QzsGetCurrentLayer(window));
    fc::Rgb from = fc::Color(2), to = fc::Color(3);
    double w = (double)x1 - x0 + 1, h = (double)y1 - y0 + 1;
    Slope s{s_angle == 90.0, s_angle < -90.0, s_angle == 90.0 ? 0.0 : tan(s_angle * 3.1415926 / 180.0), h};
    // Colour 2 at the starting corner, colour 3 where the slope line reaches the extent; past the
    // ends the end colours. A slope line through the box's far corner has no extent: colour 2.
    double extent = s.At(w, s.below ? 0 : h);
    fc::PaintBox(window, x0, y0, x1, y1, mode, [&](int x, int y) {
        double f = extent != 0 ? s.At((double)x - x0, (double)y - y0) / extent : 0.0;
        f = f > 0.0 ? (f < 1.0 ? f : 1.0) : 0.0;
        return fc::Rgb{(int)(to.red * f + (1 - f) * from.red), (int)(to.green * f + (1 - f) * from.green),
                       (int)(to.blue * f + (1 - f) * from.blue)};
    });
    return 1;
}

int QZCAPI TealChangedParameter(int, const char *text)
{
    s_angle = -(double)fc::LeadingInt(text);
    return 0;
}

QZ_FC_INFO_ENTRY(1)
QZ_FC_POST_ENTRY(TealPostProcess)
QZ_FC_PARAMETER_ENTRY(TealChangedParameter)
