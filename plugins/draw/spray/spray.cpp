// "Spray": the airbrush. While the button is held every call scatters a burst of pen dots inside
// a circle round the pointer; while it is not, a circle of the spray's radius follows the pointer.
// Parameters: 0 the radius, 1 the dots per call, 2 the distribution (0 even in distance, else
// gathered toward the centre).
#include "ellipse.h"

namespace {

// The module's own sequence, started once when the module is loaded: the same strokes after a
// fresh load give the same dots, whatever else in the process draws random numbers.
uint32_t s_seed = 1;

int NextValue()
{
    s_seed = s_seed * 1103515245u + 12345u;
    return (int)((s_seed >> 16) & 0x7FFF);
}

// More dots than this in one call would only hold the program up.
const int kMaxDots = 10000;

int Guide(ImageWindow *, int, int, int, int, int) { return 0; }
int DrawNothing(ImageWindow *, int, int, int) { return 1; }

} // namespace

QZ_DRAW_ENTRIES(4, 0x22, Guide, DrawNothing)

QZC_EXPORT(int) QzcGuideLineBeforeDraw(ImageWindow *window, int x, int y, int show, int refresh, int)
{
    int r = draw::Param(0);
    int64_t left = (int64_t)x - r, top = (int64_t)y - r, right = (int64_t)x + r, bottom = (int64_t)y + r;
    draw::EllipseFigure circle = {QzPoint{x, y}, r, r};
    if (r >= 0 && r <= draw::kMaxSemiAxis)
        draw::EorEllipse(window, circle, show, refresh);
    return QzsUpdateImageWindowEx(window, draw::ClampInt(left), draw::ClampInt(top), draw::ClampInt(right),
                                  draw::ClampInt(bottom), refresh);
}

QZC_EXPORT(int) QzcSetPoint(ImageWindow *window, int x, int y, int)
{
    int r = draw::Param(0), n = draw::Param(1), gathered = draw::Param(2);
    NextValue();
    NextValue();
    // Without a radius there is no circle to scatter in.
    if (r <= 0)
        return 1;
    n = n > kMaxDots ? kMaxDots : n;
    for (int k = 0; k < n; k++) {
        int d;
        if (gathered) {
            int first = NextValue() % r;
            d = (int)((int64_t)first * (NextValue() % r) / r);
        } else {
            d = NextValue() % r;
        }
        double t = (double)(NextValue() % 1000) / 1000.0 * 6.2831852;
        QzsWritePen(window, draw::ClampInt((int64_t)(cos(t) * d) + x), draw::ClampInt((int64_t)(sin(t) * d) + y), 1);
    }
    return 1;
}

QZC_EXPORT(int) QzcCancelOne(ImageWindow *, int, int) { return 0; }
