// Composites a group of four layers over a base into a window's display at zoom 1, 1/8 and 16 and
// prints megapixels per second for each. --smoke runs a small group once; --whole composes the
// whole group at zoom 1 only (bench/compare.sh).
#include "ovrin.h"
#include "image/cdib.h"
#include "view/display.h"
#include "image/group.h"
#include "image/imagelist.h"
#include "view/writers.h"
#include "base/app.h"
#include "base/settings.h"
#include "base/msgbox.h"
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int Quiet(HWND, const char *text, const char *, UINT)
{
    fprintf(stderr, "%s\n", text);
    return IDOK;
}

static void Fill(CDIB *image, uint32_t seed, bool translucent)
{
    int w, h, d;
    GetImageSize(image, &w, &h, &d);
    uint32_t *p = (uint32_t *)image->pixels;
    for (int64_t i = 0; i < (int64_t)w * h; i++) {
        seed = seed * 1103515245u + 12345u;
        p[i] = (seed >> 8) | (translucent ? (seed & 0xFF000000u) : 0xFF000000u);
    }
}

static double Seconds(LARGE_INTEGER a, LARGE_INTEGER b, LARGE_INTEGER f)
{
    return (double)(b.QuadPart - a.QuadPart) / (double)f.QuadPart;
}

int main(int argc, char **argv)
{
    bool smoke = argc > 1 && !strcmp(argv[1], "--smoke");
    bool wholeOnly = argc > 1 && !strcmp(argv[1], "--whole");
    int size = smoke ? 256 : 4096, rounds = smoke ? 1 : 3;
    SetMessageBoxHook(Quiet);
    g_instance = GetModuleHandleA(NULL);
    SetDefaultSettings(".");
    InitDisplayWriters(32);

    CDIB *base = NULL;
    QzsCreateNewImage(&base, size, size, 32);
    if (!base || !AddImageGroup(base)) {
        fprintf(stderr, "no memory for a %d x %d group\n", size, size);
        return 1;
    }
    ImageGroup *group = g_lastGroup;
    Fill(base, 1, false);
    for (int i = 0; i < 4; i++) {
        CDIB *image = NULL;
        int side = size - i * size / 8;
        CreateImageRecord(&image, side, side, 32);
        if (!image) {
            fprintf(stderr, "no memory for layer %d\n", i);
            return 1;
        }
        Fill(image, 10 + i, true);
        QzsInsertNewLayer(group, image, i * size / 16 - size / 32, i * size / 16, 1, 255 - 40 * i, 0);
    }
    ImageWindow *window = (ImageWindow *)calloc(1, sizeof(ImageWindow));
    window->marginX = window->marginY = 33;
    window->dither = 1;
    window->regionDisplayMode = 4;
    window->layerFrameMode = 1;
    if (!BuildWindowDisplay(window, group, false)) {
        fprintf(stderr, "no memory for the display\n");
        return 1;
    }
    // The composition does not depend on the zoom (the screen copy stretches), so each zoom
    // composes the whole group and then the part a 1024 x 768 client shows.
    static const int zooms[3] = {1, -8, 16};
    LARGE_INTEGER freq;
    QueryPerformanceFrequency(&freq);
    printf("group %d x %d, 4 layers, display at 32 bits\n", size, size);
    for (int zoom : zooms) {
        if (wholeOnly && zoom != 1)
            continue;
        window->display.zoom = zoom;
        window->clientWidth = 1024;
        window->clientHeight = 768;
        LayoutImageWindow(window);
        int visW = window->visibleColumns < size ? window->visibleColumns : size;
        int visH = window->visibleRows < size ? window->visibleRows : size;
        LARGE_INTEGER t0, t1, t2;
        QueryPerformanceCounter(&t0);
        for (int r = 0; r < rounds; r++)
            ComposeWholeDisplay(window, group);
        QueryPerformanceCounter(&t1);
        for (int r = 0; r < rounds; r++)
            ComposeDisplayRect(window, group, 0, 0, visW - 1, visH - 1, 0);
        QueryPerformanceCounter(&t2);
        double whole = (double)size * size * rounds / 1e6 / Seconds(t0, t1, freq);
        double view = (double)visW * visH * rounds / 1e6 / Seconds(t1, t2, freq);
        const char *name = zoom == 1 ? "1" : zoom == -8 ? "1/8" : "16";
        printf("zoom %-3s  whole group %8.1f Mpixel/s   visible %5d x %-5d %8.1f Mpixel/s\n", name, whole, visW, visH,
               view);
    }
    FreeWindowBuffers(window);
    free(window);
    return 0;
}
