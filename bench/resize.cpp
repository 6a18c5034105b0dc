// The resize command's four methods, run as the module runs them (its code is built into this
// program without the exported entry): reading the source through the pixel services, writing the
// new image, with the host's progress window. Figures are result megapixels per second, for an
// enlargement by 1.5 and a reduction by 2.5 of a 2048 x 2048 picture, and the fixed cost of one
// call (the image and the progress window, which dominate small results). --smoke runs a small
// picture once. --raw FILE also writes the picture (blue, green, red, alpha rows, top first) for
// bench/resize_pillow.py, which times Pillow's resize on the same picture and sizes.
#include "ovrin.h"
#include "image/colors.h"
#include "base/settings.h"
#include "resize.h"
#include <chrono>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

using Clock = std::chrono::steady_clock;

int main(int argc, char **argv)
{
    bool smoke = false;
    const char *raw = nullptr;
    for (int i = 1; i < argc; i++) {
        if (strcmp(argv[i], "--smoke") == 0)
            smoke = true;
        else if (strcmp(argv[i], "--raw") == 0 && i + 1 < argc)
            raw = argv[++i];
    }
    int size = smoke ? 128 : 2048;
    char dir[MAX_PATH];
    GetTempPathA(sizeof dir, dir);
    SetDefaultSettings(dir);
    SetDefaultColors();

    CDIB source{};
    if (QzsCreateCDIB(size, size, 32, &source) != 0) {
        fprintf(stderr, "no memory for a %dx%d picture\n", size, size);
        return 1;
    }
    uint32_t *px = (uint32_t *)source.pixels;
    for (size_t i = 0; i < (size_t)size * size; i++)
        px[i] = 0xFF000000u | (uint32_t)(i * 2654435761u >> 8);
    if (raw) {
        FILE *f = fopen(raw, "wb");
        if (!f || fwrite(px, 4, (size_t)size * size, f) != (size_t)size * size) {
            fprintf(stderr, "cannot write %s\n", raw);
            return 1;
        }
        fclose(f);
    }

    const char *methods[4] = {"nearest", "bilinear", "area average", "bicubic"};
    const int sizes[2] = {size * 3 / 2, size * 2 / 5};
    int rounds = smoke ? 1 : 2;
    for (int r = 0; r < rounds; r++)
        for (int s = 0; s < 2; s++)
            for (int m = 0; m < 4; m++) {
                ExtCommandArgs args = {0, sizes[s], 0, sizes[s], 0, m, 0, 0, 0, &source};
                ExtCommandResult result = {0, nullptr};
                auto start = Clock::now();
                int ok = RunResize(&args, &result);
                double seconds = std::chrono::duration<double>(Clock::now() - start).count();
                double mpix = (double)sizes[s] * sizes[s] / 1e6;
                printf("%-13s %5dx%-5d -> %5dx%-5d %8.1f Mpixel/s  (%.3f s%s)\n", methods[m], size, size, sizes[s],
                       sizes[s], seconds > 0 ? mpix / seconds : 0.0, seconds, ok ? "" : ", failed");
                if (result.image) {
                    QzsDisposeCDIB(result.image);
                    free(result.image);
                }
                if (!ok)
                    return 1;
            }
    // What every call costs whatever its size: the new image and the progress window.
    for (int r = 0; r < rounds; r++) {
        ExtCommandArgs args = {0, 1, 0, 1, 0, 0, 0, 0, 0, &source};
        ExtCommandResult result = {0, nullptr};
        auto start = Clock::now();
        RunResize(&args, &result);
        printf("one call (1x1 result)       %.3f s\n", std::chrono::duration<double>(Clock::now() - start).count());
        if (result.image) {
            QzsDisposeCDIB(result.image);
            free(result.image);
        }
    }
    QzsDisposeCDIB(&source);
    return 0;
}
