// The eight transforms beside zoom (bench/transform.cpp) applied through the host as "Do!" runs
// them: the module's rendering through the pixel services, the commit into the layer with its undo
// step, in megapixels of the layer per second. --smoke runs a small layer once; --raw <file> also
// writes the picture as raw BGRA rows for bench/transforms.sh, which times ImageMagick's
// perspective distortion on it in the same run.
#include "ovrin.h"
#include "base/settings.h"
#include "draw/transform.h"
#include "draw/transform_internal.h"
#include "image/colors.h"
#include "image/group.h"
#include "image/imagelist.h"
#include "plugins/loader.h"
#include "view/display.h"
#include "view/winlist.h"
#include "benchhost.h"
#include <chrono>
#include <stdio.h>
#include <string.h>

// The modules' entries, built into this program under names of their own (bench/CMakeLists.txt).
#define QZ_TRANSFORM_DECLARE(name)                                                                             \
    extern "C" int QZCAPI name##Start(ImageWindow *, int, int, int, int);                                     \
    extern "C" int QZCAPI name##Drag(ImageWindow *, int, int, int, int, int, int);                            \
    extern "C" int QZCAPI name##Draw(ImageWindow *, int, int);                                                \
    extern "C" int QZCAPI name##Transforming(ImageWindow *, CDIB *, int, int, int, int, int);
QZ_TRANSFORM_DECLARE(cylinder)
QZ_TRANSFORM_DECLARE(cone)
QZ_TRANSFORM_DECLARE(tfkite)
QZ_TRANSFORM_DECLARE(tfmarl)
QZ_TRANSFORM_DECLARE(bow)
QZ_TRANSFORM_DECLARE(tflume)
QZ_TRANSFORM_DECLARE(tfnook)
QZ_TRANSFORM_DECLARE(distort)

namespace {

using Clock = std::chrono::steady_clock;

enum Shape { kRectangle, kStart, kQuad };

struct Bench {
    const char *name;
    Shape shape;
    QzcStartTransformProc start;
    QzcDragPointProc drag;
    QzcDrawControlPointProc draw;
    QzcTransformingProc transforming;
};

#define QZ_BENCH(name, label, shape) {label, shape, name##Start, name##Drag, name##Draw, name##Transforming}

} // namespace

int main(int argc, char **argv)
{
    bool smoke = argc > 1 && strcmp(argv[1], "--smoke") == 0;
    const char *raw = argc > 2 && strcmp(argv[1], "--raw") == 0 ? argv[2] : nullptr;
    int size = smoke ? 256 : 2048;
    StartWithDefaults();
    g_cfg.MaxUndoBuffer = (int64_t)256 << 20;

    CDIB *base = NoiseBase(size);
    if (!base)
        return 1;
    ImageGroup *group = g_lastGroup;
    if (raw) {
        FILE *out = fopen(raw, "wb");
        if (!out || fwrite(base->pixels, 4, (size_t)size * size, out) != (size_t)size * size) {
            fprintf(stderr, "could not write %s\n", raw);
            return 1;
        }
        fclose(out);
    }
    ImageWindow window{};
    window.group = group;
    if (BuildWindowDisplay(&window, group, false) != 1) {
        fprintf(stderr, "no memory for the window buffers\n");
        return 1;
    }
    window.layerImage = base;
    g_currentWindow = &window;
    g_currentGroup = group;

    const Bench benches[] = {
        QZ_BENCH(cylinder, "Cylinder", kRectangle), QZ_BENCH(cone, "Cone", kRectangle),
        QZ_BENCH(tfkite, "Sphere", kRectangle),     QZ_BENCH(tfmarl, "Circle", kRectangle),
        QZ_BENCH(bow, "Bow", kStart),               QZ_BENCH(tflume, "Tflumesform", kQuad),
        QZ_BENCH(tfnook, "Tfnook", kQuad),          QZ_BENCH(distort, "Distort", kQuad),
    };
    const int count = (int)(sizeof benches / sizeof benches[0]);
    for (int i = 0; i < count; i++) {
        g_transformPlugins[i].module = GetModuleHandleA(nullptr);
        snprintf(g_transformPlugins[i].name, sizeof g_transformPlugins[i].name, "%s", benches[i].name);
        g_transformPlugins[i].QzcStartTransform = benches[i].start;
        g_transformPlugins[i].QzcDragPoint = benches[i].drag;
        g_transformPlugins[i].QzcDrawControlPoint = benches[i].draw;
        g_transformPlugins[i].QzcTransforming = benches[i].transforming;
    }
    // The quadrilateral of bench/transforms.sh: each corner pulled in by an eighth, one by a quarter.
    const int e = size / 8, q = size / 4, last = size - 1;
    const int quad[4][2] = {{e, q}, {last - e, e}, {last - q, last - e}, {e, last - e}};
    int rounds = smoke ? 1 : 2;
    for (int r = 0; r < rounds; r++) {
        for (int i = 0; i < count; i++) {
            g_transform.source = base;
            g_transform.group = group;
            g_transform.groupArea = g_transform.layerArea = RECT{0, 0, last, last};
            g_transform.regionBits = 0;
            StartTransform(&window, 0, 0, last, last, i);
            g_transform.mode = true;
            if (benches[i].shape == kRectangle) {
                QzsSetControlPoint(0, e, e, 0, 3);
                QzsSetControlPoint(2, last - e, last - e, 0, 3);
            } else if (benches[i].shape == kQuad) {
                for (int k = 0; k < 4; k++)
                    QzsSetControlPoint(k, quad[k][0], quad[k][1], 0, 3);
            }
            auto start = Clock::now();
            ApplyTransform(&window);
            double seconds = std::chrono::duration<double>(Clock::now() - start).count();
            double mpix = (double)size * size / 1e6;
            printf("%-18s %5dx%-5d %8.1f Mpixel/s  (%.3f s)\n", benches[i].name, size, size,
                   seconds > 0 ? mpix / seconds : 0.0, seconds);
            fflush(stdout);
        }
    }
    memset(g_transformPlugins, 0, sizeof g_transformPlugins);
    g_currentWindow = nullptr;
    return 0;
}
