// Pen stamps through the painting pipeline: a soft round pen of side 48 stamped 10,000 times along
// a path across a 4096 x 4096 image shown in a window, then the stroke committed with its undo
// record. Prints stamps per second and the time of the commit. --smoke runs a small image.
#include "ovrin.h"
#include "image/cdib.h"
#include "image/colors.h"
#include "view/display.h"
#include "image/group.h"
#include "image/imagelist.h"
#include "view/paint.h"
#include "image/pen.h"
#include "image/undo.h"
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

static double Seconds(LARGE_INTEGER a, LARGE_INTEGER b, LARGE_INTEGER f)
{
    return (double)(b.QuadPart - a.QuadPart) / (double)f.QuadPart;
}

// A disc of radius 24 whose weight falls off towards its edge.
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

int main(int argc, char **argv)
{
    bool smoke = argc > 1 && !strcmp(argv[1], "--smoke");
    const int size = smoke ? 512 : 4096, stamps = smoke ? 300 : 10000, side = 48;
    SetMessageBoxHook(Quiet);
    g_instance = GetModuleHandleA(NULL);
    SetDefaultSettings(".");
    SetDefaultColors();
    InitDisplayWriters(32);

    CDIB *base = NULL;
    QzsCreateNewImage(&base, size, size, 32);
    if (!base || !AddImageGroup(base)) {
        fprintf(stderr, "no memory for a %d x %d image\n", size, size);
        return 1;
    }
    ImageGroup *group = g_lastGroup;
    memset(base->pixels, 0xFF, (size_t)size * size * 4);
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
    MakeSoftPen(side);
    ColorRecord *drawing = QzsGetColor(0);
    drawing->red = 30, drawing->green = 90, drawing->blue = 200, drawing->opacity = 200;

    // The stroke buffers as after the window's first stroke, whose commit clears them: touched, so
    // the figures time the stamps rather than the system's first mapping of fresh pages.
    memset(window->drawBuffer, 0, (size_t)size * size * 4);
    memset(window->coverage, 0, (size_t)size * size);
    memset(window->editMask, 0, (size_t)size * size);
    LARGE_INTEGER freq, t0, t1, t2;
    QueryPerformanceFrequency(&freq);
    QueryPerformanceCounter(&t0);
    // A path that sweeps the image back and forth, stamps a few pixels apart.
    for (int i = 0; i < stamps; i++) {
        double t = (double)i / stamps;
        int x = (int)((0.5 + 0.48 * sin(2 * M_PI * 7 * t)) * (size - 1));
        int y = (int)((0.5 + 0.48 * sin(2 * M_PI * 5 * t + 1)) * (size - 1));
        QzsWritePen(window, x, y, 0);
    }
    QueryPerformanceCounter(&t1);
    RECT dirty;
    GetDirtyRect(&dirty);
    CommitStroke(window);
    QueryPerformanceCounter(&t2);

    double paint = Seconds(t0, t1, freq), commit = Seconds(t1, t2, freq);
    double pixels = (double)stamps * side * side;
    printf("paint: %d stamps of a soft pen of side %d on %d x %d, display at 32 bits\n", stamps, side, size, size);
    printf("  stamps            %10.0f stamps/s (%.1f Mpixel/s of pen cells)\n", stamps / paint, pixels / paint / 1e6);
    printf("  commit            %10.1f ms for a dirty rectangle of %ld x %ld\n", 1000 * commit,
           dirty.right - dirty.left + 1, dirty.bottom - dirty.top + 1);
    printf("  undo record       %10s\n", base->undoLast ? "made" : "none");
    FreeUndoRecords(base, base->undoFirst);
    return 0;
}
