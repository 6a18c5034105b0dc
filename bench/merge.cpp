// Merging four layers into a 4096 x 4096 base with the undo record, as the merge command does it:
// megapixels of the base per second, and layer pixels blended per second. The layers have alpha
// from 0 to 255 and opacities 255, 200, 128 and 255; the undo records are freed between rounds.
// --smoke runs a small group once.
#include "ovrin.h"
#include "image/cdib.h"
#include "image/group.h"
#include "image/imagelist.h"
#include "image/undo.h"
#include "view/merge.h"
#include "base/app.h"
#include "base/msgbox.h"
#include "base/settings.h"
#include <stdio.h>
#include <string.h>
#include <chrono>

using Clock = std::chrono::steady_clock;

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

int main(int argc, char **argv)
{
    bool smoke = argc > 1 && !strcmp(argv[1], "--smoke");
    int size = smoke ? 256 : 4096, rounds = smoke ? 1 : 3;
    SetMessageBoxHook(Quiet);
    g_instance = GetModuleHandleA(NULL);
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    SetDefaultSettings(temp);

    CDIB *base = NULL;
    QzsCreateNewImage(&base, size, size, 32);
    if (!base || !AddImageGroup(base)) {
        fprintf(stderr, "no memory for a %d x %d group\n", size, size);
        return 1;
    }
    ImageGroup *group = g_lastGroup;
    Fill(base, 1, false);
    const int opacities[4] = {255, 200, 128, 255};
    for (int round = 0; round < rounds; round++) {
        int64_t layerPixels = 0;
        for (int i = 0; i < 4; i++) {
            CDIB *image = NULL;
            int side = size - i * size / 8;
            if (CreateImageRecord(&image, side, side, 32) != 0) {
                fprintf(stderr, "no memory for layer %d\n", i);
                return 1;
            }
            Fill(image, 100 + i, true);
            QzsInsertNewLayer(group, image, i * size / 16, i * size / 16, 1, opacities[i], 0);
            layerPixels += (int64_t)side * side;
        }
        auto start = Clock::now();
        MergeAllLayers(group);
        double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        if (group->firstLayer || !base->undoFirst) {
            fprintf(stderr, "the merge left its layers or made no undo record\n");
            return 1;
        }
        printf("merge of 4 layers into %dx%d  %7.3f s  %8.1f Mpixel/s of base  %8.1f Mpixel/s of layers\n", size,
               size, seconds, (double)size * size / 1e6 / seconds, (double)layerPixels / 1e6 / seconds);
        FreeUndoRecords(base, base->undoFirst); // and with it the merged layers' images
    }
    return 0;
}
