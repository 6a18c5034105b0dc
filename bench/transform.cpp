// The zoom transform applied to a 4096 x 4096 layer as the program applies it: every destination
// pixel mapped back to the source and sampled through the host's pixel services, written into the
// stroke buffers, then committed with its undo record and the display composed again. The source
// is the middle of the layer, stretched over all of it. Prints megapixels per second of the whole
// apply and of the destination-to-source loop alone. --smoke runs a small layer once.
#include "ovrin.h"
#include "draw/transform_internal.h"
#include "draw/transform.h"
#include "image/colors.h"
#include "image/dirtyrect.h"
#include "image/current.h"
#include "image/group.h"
#include "image/imagelist.h"
#include "image/undo.h"
#include "plugins/loader.h"
#include "view/display.h"
#include "view/undo_apply.h"
#include "view/writers.h"
#include "base/app.h"
#include "base/msgbox.h"
#include "base/settings.h"
#include "benchhost.h"
#include <chrono>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

// The zoom module's entries, built into this program.
QZ_EXTERN_C int QZCAPI QzcStartTransform(ImageWindow *, int, int, int, int);
QZ_EXTERN_C int QZCAPI QzcDragPoint(ImageWindow *, int, int, int, int, int, int);
QZ_EXTERN_C int QZCAPI QzcDrawControlPoint(ImageWindow *, int, int);
QZ_EXTERN_C int QZCAPI QzcTransforming(ImageWindow *, CDIB *, int, int, int, int, int);

namespace {

using Clock = std::chrono::steady_clock;

int Quiet(HWND, const char *text, const char *, UINT)
{
    fprintf(stderr, "%s\n", text);
    return IDOK;
}

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

} // namespace

int main(int argc, char **argv)
{
    bool smoke = argc > 1 && strcmp(argv[1], "--smoke") == 0;
    const int size = smoke ? 128 : 4096;
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
    }
    if (!window || BuildWindowDisplay(window, group, false) != 1) {
        fprintf(stderr, "no memory for the display and stroke buffers\n");
        return 1;
    }
    g_currentWindow = window;
    g_currentGroup = group;

    TransformPluginRecord &row = g_transformPlugins[0];
    row.module = GetModuleHandleA(NULL);
    row.QzcStartTransform = QzcStartTransform;
    row.QzcDragPoint = QzcDragPoint;
    row.QzcDrawControlPoint = QzcDrawControlPoint;
    row.QzcTransforming = QzcTransforming;

    const int margin = size / 8;
    const double mpix = (double)size * size / 1e6;
    int rounds = smoke ? 1 : 3;
    for (int r = 0; r < rounds; r++) {
        // The loop alone: the module's rendering into the stroke buffers.
        QzsAllocControlPoint(4);
        QzsSetControlPoint(0, 0, 0, 5, 3);
        QzsSetControlPoint(2, size - 1, size - 1, 5, 3);
        QzsStartOnImageMDIB(group, base);
        auto start = Clock::now();
        QzcTransforming(window, base, margin, margin, size - 1 - margin, size - 1 - margin, 0);
        double loop = Seconds(start);
        ClearWorkRect(window, 0, 0, size - 1, size - 1);
        ClearDirtyRect();

        // The whole apply as the popup's "Do!" runs it.
        g_transform.mode = true;
        g_transform.source = base;
        g_transform.group = group;
        g_transform.layerArea = RECT{margin, margin, size - 1 - margin, size - 1 - margin};
        g_transform.groupArea = g_transform.layerArea;
        g_transform.regionBits = 0;
        StartTransform(window, margin, margin, size - 1 - margin, size - 1 - margin, 0);
        QzsSetControlPoint(0, 0, 0, 0, 3);
        QzsSetControlPoint(2, size - 1, size - 1, 0, 3);
        start = Clock::now();
        ApplyTransform(window);
        double apply = Seconds(start);
        printf("zoom %5dx%-5d loop  %8.1f Mpixel/s  (%.3f s)\n", size, size, loop > 0 ? mpix / loop : 0.0, loop);
        printf("zoom %5dx%-5d apply %8.1f Mpixel/s  (%.3f s, with commit, undo and display)\n", size, size,
               apply > 0 ? mpix / apply : 0.0, apply);
        if (!base->undoFirst) {
            fprintf(stderr, "the apply changed nothing\n");
            return 1;
        }
        UndoImage(window);
        FreeUndoRecords(base, base->undoFirst);
    }
    memset(&row, 0, sizeof row);
    g_currentWindow = NULL;
    return 0;
}
