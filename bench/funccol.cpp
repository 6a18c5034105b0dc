// The five functional colours filling a 2048 x 2048 region through the host: every pixel painted
// with the drawing colour through the pixel runs (marking it, or asking the per-pixel colour), then
// the stroke committed, which runs the post-process colours over the box. Prints megapixels per
// second of the whole fill. --smoke runs a small region once.
#include "ovrin.h"
#include "image/bindings.h"
#include "image/colors.h"
#include "image/group.h"
#include "image/imagelist.h"
#include "image/undo.h"
#include "view/display.h"
#include "view/paint.h"
#include "view/writers.h"
#include "base/app.h"
#include "base/msgbox.h"
#include "base/settings.h"
#include "view/winlist.h"
#include "benchhost.h"
#include <chrono>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

// The modules' functions, built into this program without their exported entry points.
int QZCAPI TealPostProcess(ImageWindow *, int, int, int, int, int);
int QZCAPI YarrowPostProcess(ImageWindow *, int, int, int, int, int);
int QZCAPI WrenPostProcess(ImageWindow *, int, int, int, int, int);
int QZCAPI UmbraPostProcess(ImageWindow *, int, int, int, int, int);
int QZCAPI ValeColorFunc(CDIB *, int, int, int, int, int *, int *, int *, int *);
int QZCAPI ValeReceiveMessage(int, int, int, int, int);

namespace {

using Clock = std::chrono::steady_clock;

struct Bench {
    const char *name;
    int info;
    QzcPostProcessProc post;
    QzcColorFuncProc color;
};

int Quiet(HWND, const char *text, const char *, UINT)
{
    fprintf(stderr, "%s\n", text);
    return IDOK;
}

} // namespace

int main(int argc, char **argv)
{
    bool smoke = argc > 1 && strcmp(argv[1], "--smoke") == 0;
    const int size = smoke ? 128 : 2048;
    SetMessageBoxHook(Quiet);
    g_instance = GetModuleHandleA(NULL);
    StartWithDefaults();
    InitDisplayWriters(32);

    CDIB *base = NoiseBase(size);
    if (!base)
        return 1;
    ImageGroup *group = g_lastGroup;
    ImageWindow *window = (ImageWindow *)calloc(1, sizeof(ImageWindow));
    if (window) {
        window->group = group;
        window->layerImage = base;
        window->regionDisplayMode = 4;
    }
    if (!window || BuildWindowDisplay(window, group, false) != 1) {
        fprintf(stderr, "no memory for the display and stroke buffers\n");
        return 1;
    }
    g_currentWindow = window;
    g_currentGroup = group;

    const Bench benches[] = {
        {"SlopedGradation", 1, TealPostProcess, NULL},
        {"RectangularGradation", 1, YarrowPostProcess, NULL},
        {"4ColorGradation", 1, WrenPostProcess, NULL},
        {"ContinuousGradation", 6, NULL, ValeColorFunc},
        {"Fcumbra", 1, UmbraPostProcess, NULL},
    };
    ColorFunctionRecord &row = g_colorFunctions[0];
    ColorRecord *drawing = QzsGetColor(0);
    drawing->red = 200, drawing->green = 120, drawing->blue = 40, drawing->opacity = 255;
    int rounds = smoke ? 1 : 3;
    for (int r = 0; r < rounds; r++) {
        for (const Bench &b : benches) {
            memset(&row, 0, sizeof row);
            row.module = GetModuleHandleA(NULL);
            row.info = b.info;
            row.QzcPostProcess = b.post;
            row.QzcColorFunc = b.color;
            row.QzcReceiveMessage = b.color ? ValeReceiveMessage : NULL;
            drawing->function = 1;
            if (b.color)
                ValeReceiveMessage(1, 0, 0, 0, 0);
            auto start = Clock::now();
            for (int y = 0; y < size; y++) {
                QzsStartPset(window, 0, y);
                for (int x = 0; x < size; x++)
                    QzsPSet(window, x, y, 0);
            }
            CommitStroke(window);
            double seconds = std::chrono::duration<double>(Clock::now() - start).count();
            double mpix = (double)size * size / 1e6;
            printf("%-22s %5dx%-5d %8.1f Mpixel/s  (%.3f s)\n", b.name, size, size,
                   seconds > 0 ? mpix / seconds : 0.0, seconds);
            FreeUndoRecords(base, base->undoFirst);
        }
    }
    drawing->function = 0;
    memset(&row, 0, sizeof row);
    g_currentWindow = NULL;
    return 0;
}
