// The polygon fill: a regular polygon of 64 corners inscribed in 1000 x 1000 pixels, filled again
// and again into a window's stroke (each fill then cleared, so every one paints all its pixels).
// Prints polygons filled per second and the pixels painted per second. --smoke runs a few small ones.
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

static int Quiet(HWND, const char *text, const char *, UINT)
{
    fprintf(stderr, "%s\n", text);
    return IDOK;
}

int main(int argc, char **argv)
{
    bool smoke = argc > 1 && !strcmp(argv[1], "--smoke");
    const int size = smoke ? 200 : 1000, fills = smoke ? 3 : 40, corners = 64;
    SetMessageBoxHook(Quiet);
    g_instance = GetModuleHandleA(NULL);
    SetDefaultSettings(".");
    SetDefaultColors();
    InitDisplayWriters(32);

    CDIB *base = NULL;
    QzsCreateNewImage(&base, size + 20, size + 20, 32);
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

    double c = 10 + size / 2.0, r = size / 2.0;
    LARGE_INTEGER freq, t0, t1;
    QueryPerformanceFrequency(&freq);
    double seconds = 0;
    long long painted = 0;
    for (int f = 0; f < fills; f++) {
        QzsInitPoint();
        for (int k = 0; k < corners; k++) {
            double a = 2 * M_PI * k / corners + f * 0.01;
            QzPoint p = {(int)(c + r * cos(a)), (int)(c + r * sin(a))};
            QzsSetNewEntryPoint(&p);
        }
        QueryPerformanceCounter(&t0);
        QzsFillPolygon(window);
        QueryPerformanceCounter(&t1);
        seconds += (double)(t1.QuadPart - t0.QuadPart) / (double)freq.QuadPart;
        RECT d;
        GetDirtyRect(&d);
        for (int y = d.top; y <= d.bottom; y++)
            for (int x = d.left; x <= d.right; x++)
                painted += window->coverage[(size_t)y * (size + 20) + x] != 0;
        QzsEndNoUpdateDraw(); // the stroke is dropped: the next fill paints every pixel again
    }
    printf("polygon fill: %d corners in %d x %d pixels, %d fills, display at 32 bits\n", corners, size, size, fills);
    printf("  polygons          %10.1f filled/s\n", fills / seconds);
    printf("  pixels            %10.1f Mpixel/s\n", painted / seconds / 1e6);
    return 0;
}
