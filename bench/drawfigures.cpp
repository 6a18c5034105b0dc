// Draw modules built into the program: an ellipse of 500 x 300 pixels outlined with a round pen
// of 48 pixels, the same ellipse filled, and a closed curve through 100 points filled. Each figure
// is drawn into a window's stroke again and again (the stroke dropped after each one, so every
// drawing paints all its pixels). Prints figures drawn per second. --smoke draws a few small ones.
#include "ovrin.h"
#include "image/cdib.h"
#include "image/colors.h"
#include "image/group.h"
#include "image/imagelist.h"
#include "image/pointlist.h"
#include "view/display.h"
#include "view/paint.h"
#include "view/writers.h"
#include "base/app.h"
#include "base/settings.h"
#include "base/msgbox.h"
#include "view/winlist.h"
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

// The modules' drawings (bench/CMakeLists.txt builds their sources in under these names).
int EllipseOutlineFigure(ImageWindow *window, int x, int y, int keys);
int EllipseFillFigure(ImageWindow *window, int x, int y, int keys);
int ClosedCurveFillFigure(ImageWindow *window, int x, int y, int keys);

static int Quiet(HWND, const char *text, const char *, UINT)
{
    fprintf(stderr, "%s\n", text);
    return IDOK;
}

// A disc whose weight falls off towards its edge.
static void MakeSoftPen(int side)
{
    QzsCreatePen(side + 1);
    PenRecord *pen = QzsGetPen();
    double c = (side - 1) / 2.0, radius = side / 2.0;
    for (int r = 0; r < side; r++)
        for (int col = 0; col < side; col++) {
            double d = sqrt((col - c) * (col - c) + (r - c) * (r - c)) / radius;
            pen->weights[r * side + col] = d >= 1 ? 0 : (uint32_t)(255 * (1 - d * d));
        }
    pen->hotX = pen->hotY = side / 2;
    pen->left = pen->top = 0;
    pen->right = pen->bottom = side - 1;
    QzsSetPen(0);
}

static double Seconds(LARGE_INTEGER a, LARGE_INTEGER b, LARGE_INTEGER f)
{
    return (double)(b.QuadPart - a.QuadPart) / (double)f.QuadPart;
}

typedef int (*Figure)(ImageWindow *, int, int, int);

// Draws the figure whose points `points` puts into the list, `count` times; returns figures/s.
static double Run(ImageWindow *window, Figure figure, void (*points)(int scale), int scale, int count)
{
    LARGE_INTEGER freq, t0, t1;
    QueryPerformanceFrequency(&freq);
    double seconds = 0;
    for (int i = 0; i < count; i++) {
        points(scale);
        QueryPerformanceCounter(&t0);
        figure(window, 0, 0, 0);
        QueryPerformanceCounter(&t1);
        seconds += Seconds(t0, t1, freq);
        QzsEndNoUpdateDraw();
    }
    return count / seconds;
}

static void EllipsePoints(int scale)
{
    QzsInitPoint();
    QzPoint c = {300 / scale, 200 / scale}, p = {550 / scale, 350 / scale};
    QzsSetNewEntryPoint(&c);
    QzsSetNewEntryPoint(&p);
}

// 100 points round a wavy loop.
static void CurvePoints(int scale)
{
    QzsInitPoint();
    for (int k = 0; k < 100; k++) {
        double a = 2 * M_PI * k / 100, r = (200 + 60 * sin(7 * a)) / scale;
        QzPoint p = {(int)(300 / scale + 1.2 * r * cos(a)), (int)(200 / scale + r * sin(a))};
        QzsSetNewEntryPoint(&p);
    }
}

int main(int argc, char **argv)
{
    bool smoke = argc > 1 && !strcmp(argv[1], "--smoke");
    const int scale = smoke ? 5 : 1, count = smoke ? 3 : 40, width = 600 / scale, height = 400 / scale;
    SetMessageBoxHook(Quiet);
    g_instance = GetModuleHandleA(NULL);
    SetDefaultSettings(".");
    SetDefaultColors();
    InitDisplayWriters(32);

    CDIB *base = NULL;
    QzsCreateNewImage(&base, width, height, 32);
    if (!base || !AddImageGroup(base)) {
        fprintf(stderr, "no memory for the image\n");
        return 1;
    }
    ImageGroup *group = g_lastGroup;
    ImageWindow *window = (ImageWindow *)calloc(1, sizeof(ImageWindow));
    window->marginX = window->marginY = 16;
    window->dither = 1;
    window->regionDisplayMode = 4;
    window->group = group;
    window->layerImage = base;
    if (!BuildWindowDisplay(window, group, false)) {
        fprintf(stderr, "no memory for the display and stroke buffers\n");
        return 1;
    }
    g_currentWindow = window;
    g_currentGroup = group;
    MakeSoftPen(48 / scale);

    double outlined = Run(window, EllipseOutlineFigure, EllipsePoints, scale, count);
    double filled = Run(window, EllipseFillFigure, EllipsePoints, scale, count);
    double curve = Run(window, ClosedCurveFillFigure, CurvePoints, scale, count);
    printf("draw figures in a %d x %d picture, %d of each, display at 32 bits\n", width, height, count);
    printf("  ellipse %d x %d outlined, pen %d  %10.1f figures/s\n", 500 / scale, 300 / scale, 48 / scale, outlined);
    printf("  ellipse %d x %d filled            %10.1f figures/s\n", 500 / scale, 300 / scale, filled);
    printf("  closed curve of 100 points filled %10.1f figures/s\n", curve);
    return 0;
}
