// 3D shading: the marked area of a figure becomes a lit relief. Each marked pixel's distance from
// the area's edge becomes a height (a linear or rounded bevel with a flat top, raised or sunk,
// roughened with noise); the normal of the height field shades the drawing colour, or as glass the
// picture seen through the relief. Post-process kind.
#include "funccolmain.h"
#include <math.h>
#include <stdint.h>
#include <stdlib.h>

namespace {

struct Bevel {
    int height, width; // height b over width c pixels; the width at least 1
    bool rounded;
};

// The 11 x 11 normal kernels at offset (dx, dy), |dx|, |dy| <= 5: 100 over the distance, signed
// by the side; Ky is Kx transposed.
struct Kernels {
    int x[11][11], y[11][11];
    Kernels()
    {
        for (int dy = -5; dy <= 5; dy++)
            for (int dx = -5; dx <= 5; dx++) {
                int v = dx == 0 ? 0 : (int)(100.0 / sqrt((double)(dx * dx + dy * dy)) + 0.5);
                x[dy + 5][dx + 5] = dx < 0 ? -v : v;
            }
        for (int r = 0; r < 11; r++)
            for (int c = 0; c < 11; c++)
                y[r][c] = x[c][r];
    }
};
const Kernels kKernels;

// Each marked pixel's distance from the edge of the marked area, a straight step 32 and a
// diagonal one 45: the box's own edge counts as outside, unmarked pixels stay 0.
void ChamferDistance(int *map, int w, int h, const unsigned char *marked)
{
    for (int64_t i = 0; i < (int64_t)w * h; i++)
        map[i] = 0;
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            if ((y == 0 || y == h - 1 || x == 0 || x == w - 1) && marked[(int64_t)y * w + x])
                map[(int64_t)y * w + x] = 32;
    for (int y = 1; y < h - 1; y++)
        for (int x = 1; x < w - 1; x++) {
            int64_t i = (int64_t)y * w + x;
            if (!marked[i])
                continue;
            int m = map[i - 1] + 32;
            m = map[i - w - 1] + 45 < m ? map[i - w - 1] + 45 : m;
            m = map[i - w] + 32 < m ? map[i - w] + 32 : m;
            map[i] = m + 1;
        }
    for (int y = h - 2; y >= 1; y--)
        for (int x = w - 2; x >= 1; x--) {
            int64_t i = (int64_t)y * w + x;
            if (!marked[i])
                continue;
            int m = map[i + 1] + 32;
            m = map[i + w + 1] + 45 < m ? map[i + w + 1] + 45 : m;
            m = map[i + w] + 32 < m ? map[i + w] + 32 : m;
            if (m < map[i])
                map[i] = m;
        }
}

// The bevel's height at distance u: rising over the first c pixels to 32 b, flat beyond.
int Height(int u, const Bevel &bevel)
{
    int64_t flat = 32 * (int64_t)bevel.width, v;
    if (u > flat)
        v = 32 * (int64_t)bevel.height;
    else if (bevel.rounded)
        v = (int64_t)(sqrt((double)flat * flat - (double)(flat - u) * (flat - u)) * bevel.height / bevel.width);
    else
        v = ((int64_t)u * bevel.height + bevel.width / 2) / bevel.width;
    return (int)v;
}

// How far a ray through a surface of slope a against b, at depth, with refractive ratio n, lands
// beside the point it entered above.
double Refract(double a, double b, double depth, double n)
{
    if (b == 0)
        return 0;
    double t1 = -a / b;
    double s = n * (-a / sqrt(a * a + b * b));
    // Past the critical angle no ray comes through: the picture is seen straight down.
    if (!(s * s < 1))
        return 0;
    double t2 = sqrt(1 / (1 - s * s) - 1);
    if (a > 0)
        t2 = -t2;
    double shift = depth * (t1 - t2) / (1 + t1 * t2);
    // A ray almost along the surface goes nowhere sensible: it is kept to a distance in int range.
    if (!isfinite(shift))
        return 0;
    return shift > 1e6 ? 1e6 : shift < -1e6 ? -1e6 : shift;
}

// A parameter kept to a range the arithmetic stays well inside.
int Bounded(int i, int low, int high)
{
    return fc::ClampInt(fc::Param(i), low, high);
}

const int kLargeValue = 1 << 20;

struct Settings {
    Bevel bevel;
    int radius;
    int sign;
    bool fromFigure, glass;
    int roughness;
    double refraction;
};

Settings ReadSettings()
{
    Settings s;
    s.bevel.height = Bounded(0, -kLargeValue, kLargeValue);
    s.bevel.width = Bounded(1, 1, kLargeValue); // a bevel needs a width to rise over
    s.radius = Bounded(2, 1, 5);                // the kernels reach 5 pixels
    s.sign = fc::Param(3) ? -1 : 1;
    s.bevel.rounded = fc::Param(4) != 0;
    s.fromFigure = fc::Param(5) != 0;
    s.roughness = Bounded(6, 0, kLargeValue);
    s.glass = fc::Param(7) != 0;
    s.refraction = Bounded(8, -kLargeValue, kLargeValue) / 100.0;
    return s;
}

// The sums of both kernels over the map around (i, j); cells outside the box count 0.
void Convolve(const int *map, int w, int h, int i, int j, int radius, int64_t *sx, int64_t *sy)
{
    *sx = *sy = 0;
    for (int dy = -radius; dy <= radius; dy++) {
        int y = j + dy;
        if (y < 0 || y >= h)
            continue;
        for (int dx = -radius; dx <= radius; dx++) {
            int x = i + dx;
            if (x < 0 || x >= w)
                continue;
            int64_t v = map[(int64_t)y * w + x];
            *sx += v * kKernels.x[dy + 5][dx + 5];
            *sy += v * kKernels.y[dy + 5][dx + 5];
        }
    }
}

} // namespace

int QZCAPI UmbraPostProcess(ImageWindow *window, int x0, int y0, int x1, int y1, int mode)
{
    if (x1 < x0 || y1 < y0)
        return 1;
    Settings s = ReadSettings();
    const ColorRecord *drawing = QzsGetColor(0);
    fc::Rgb base = fc::Color(0);
    LightingFunction light = QzsGetLightingSub();
    QzsGetCurrentLayer(window);
    int64_t w = (int64_t)x1 - x0 + 1, h = (int64_t)y1 - y0 + 1;
    if (w > INT32_MAX || h > INT32_MAX || (uint64_t)w * (uint64_t)h > SIZE_MAX / (sizeof(int) + 1))
        return 0;
    size_t cells = (size_t)(w * h);
    int *map = (int *)malloc(cells * sizeof(int));
    unsigned char *marked = (unsigned char *)malloc(cells);
    if (!map || !marked) {
        free(map);
        free(marked);
        return 0;
    }
    for (int64_t y = 0; y < h; y++)
        for (int64_t x = 0; x < w; x++)
            marked[y * w + x] = (QzsGetMask(window, (int)(x0 + x), (int)(y0 + y)) & 0x20) != 0;
    ChamferDistance(map, (int)w, (int)h, marked);
    free(marked);

    if (s.fromFigure) {
        int largest = -100;
        for (size_t i = 0; i < cells; i++)
            largest = map[i] > largest ? map[i] : largest;
        s.bevel.width = largest / 32 > 0 ? largest / 32 : 1;
        s.bevel.height = largest / 96;
    }
    // The roughness comes from the C library's generator, seeded (or not) by whoever else uses it.
    for (size_t i = 0; i < cells; i++)
        map[i] = s.sign * Height(map[i], s.bevel) + rand() % (2 * s.roughness + 1) - s.roughness;
    int lowest = 10000000;
    if (s.sign < 0)
        for (size_t i = 0; i < cells; i++)
            lowest = map[i] < lowest ? map[i] : lowest;

    int positiveY = 0;
    for (int dy = -s.radius; dy <= s.radius; dy++)
        for (int dx = -s.radius; dx <= s.radius; dx++)
            positiveY += kKernels.y[dy + 5][dx + 5] > 0 ? kKernels.y[dy + 5][dx + 5] : 0;
    double nz = 64.0 * positiveY;

    QzsStartOnImage(QzsGetImageOnWindow(window));
    for (int j = 0; j < (int)h; j++) {
        int y = (int)(y0 + j);
        QzsStartPset(window, x0, y);
        for (int i = 0; i < (int)w; i++) {
            int x = (int)(x0 + i);
            int d = map[(int64_t)j * w + i];
            int64_t sx, sy;
            Convolve(map, (int)w, (int)h, i, j, s.radius, &sx, &sy);
            double nx = -(double)sx, ny = -(double)sy;
            fc::Rgb c = base;
            if (s.glass) {
                double depth = (s.sign > 0 ? d : (double)d - lowest) / 32.0;
                double ox = (int)Refract(nx, nz, depth, s.refraction), oy = (int)Refract(ny, nz, depth, s.refraction);
                uint8_t seen[4] = {0, 0, 0, 0}, m;
                QzsLinearInterpolateGlobal(window, x + ox, y + oy, seen, &m);
                c = fc::Rgb{seen[2], seen[1], seen[0]};
            }
            ColorRecord record = {};
            record.red = fc::ClampInt(light(c.red, nx, ny, nz, x, y, d), 0, 255);
            record.green = fc::ClampInt(light(c.green, nx, ny, nz, x, y, d), 0, 255);
            record.blue = fc::ClampInt(light(c.blue, nx, ny, nz, x, y, d), 0, 255);
            record.opacity = drawing ? drawing->opacity : 255;
            QzsSetColorWithPset(window, x, y, &record, mode);
        }
    }
    free(map);
    return 1;
}

QZ_FC_INFO_ENTRY(1)
QZ_FC_POST_ENTRY(UmbraPostProcess)
