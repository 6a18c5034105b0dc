// Undo memory: the bytes an image's chain holds after a series of pen strokes, against one copy of
// the whole image. Each stroke is a drag of a 48-pixel pen; its record covers the stroke's box.
#include "image/cdib.h"
#include "image/group.h"
#include "image/imagelist.h"
#include "view/paint.h"
#include "image/undo.h"
#include "base/settings.h"
#include <stdio.h>
#include <string.h>
#include <windows.h>

int main(int argc, char **argv)
{
    bool smoke = argc > 1 && strcmp(argv[1], "--smoke") == 0;
    const int side = smoke ? 512 : 4096, strokes = smoke ? 10 : 100, pen = 48, drag = smoke ? 60 : 400;
    // Counting is on only while a ceiling is set; one far above what the strokes hold.
    g_cfg.KeepFreeAreaRate = 10;
    g_cfg.MaxUndoBuffer = (int64_t)1 << 40;
    CDIB *image = NULL;
    if (CreateImageRecord(&image, side, side, 32) != 0 || !AddImageGroup(image)) {
        printf("no memory for a %d x %d image\n", side, side);
        return 1;
    }
    ImageGroup *group = g_lastGroup;
    uint32_t *pixels = (uint32_t *)image->pixels;
    memset(pixels, 0xFF, (size_t)side * side * 4);
    int64_t held = 0;
    LARGE_INTEGER f, t0, t1;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t0);
    for (int s = 0; s < strokes; s++) {
        // Strokes run diagonally across the image, alternately to the right and downwards.
        int x0 = (s * 37) % (side - pen - drag), y0 = (s * 53) % (side - pen - drag);
        int x1 = x0 + pen - 1 + (s % 2 ? drag : 0), y1 = y0 + pen - 1 + (s % 2 ? 0 : drag);
        SetDirtyRect(x0, y0, x1, y1);
        UndoRecord *r = PushUndo(group, image, kUndoPixelRect);
        int rw = x1 - x0 + 1;
        for (int y = y0; y <= y1; y++)
            for (int x = x0; x <= x1; x++) {
                uint32_t &p = pixels[(int64_t)y * side + x];
                if (r)
                    ((uint32_t *)r->before)[(int64_t)(y - y0) * rw + (x - x0)] = p;
                p = 0xFF000000u | (uint32_t)(s * 0x010203);
                if (r)
                    ((uint32_t *)r->after)[(int64_t)(y - y0) * rw + (x - x0)] = p;
            }
        ClearDirtyRect();
        if (r)
            held += 2 * (int64_t)rw * (y1 - y0 + 1) * 4;
    }
    QueryPerformanceCounter(&t1);
    double whole = (double)side * side * 4;
    printf("undo: %d strokes of a %d-pixel pen (drag %d) on %d x %d\n", strokes, pen, drag, side, side);
    printf("  counted undo bytes  %lld (%.2f MiB)\n", (long long)image->undoBytes, image->undoBytes / 1048576.0);
    printf("  held, before+after  %lld (%.2f MiB)\n", (long long)held, held / 1048576.0);
    printf("  one whole image     %.0f (%.2f MiB): held is %.1f%% of it\n", whole, whole / 1048576.0,
           100.0 * held / whole);
    printf("  time                %.1f ms\n", 1000.0 * (t1.QuadPart - t0.QuadPart) / f.QuadPart);
    FreeUndoRecords(image, image->undoFirst);
    return 0;
}
