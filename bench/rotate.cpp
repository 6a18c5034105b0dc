// The rotation module's turns, run as the module runs them (its code is built into this program
// without its window and entries), on a 2048 x 2048 picture. Figures: megapixels of result per
// second for each quarter and half turn and for a free angle (bilinear). --smoke: 64 x 64, once.
#include "ovrin.h"
#include "rotate.h"
#include <chrono>
#include <stdio.h>
#include <string.h>

using Clock = std::chrono::steady_clock;

int main(int argc, char **argv)
{
    bool smoke = argc > 1 && strcmp(argv[1], "--smoke") == 0;
    int size = smoke ? 64 : 2048, rounds = smoke ? 1 : 3;
    CDIB source = {};
    if (QzsCreateCDIB(size, size, 32, &source) != 0)
        return 1;
    uint32_t *px = (uint32_t *)source.pixels;
    for (int y = 0; y < size; y++)
        for (int x = 0; x < size; x++)
            px[(size_t)y * size + x] = 0xFF000000u | (uint32_t)(x * 7 + y) << 16 | (uint32_t)(x ^ y) << 8 | (uint32_t)y;
    struct Case {
        const char *name;
        int button;
        double angle;
    } cases[] = {{"90", kTurn90, 0}, {"180", kTurn180, 0}, {"270", kTurn270, 0}, {"30 degrees", 0, 30},
                 {"45 degrees", 0, 45}};
    printf("rotation of a %d x %d picture, megapixels of result per second:\n", size, size);
    for (const Case &c : cases) {
        double pixels = 0;
        auto start = Clock::now();
        for (int i = 0; i < rounds; i++) {
            CDIB *turned = c.button ? TurnQuarter(&source, c.button) : RotateByAngle(&source, c.angle);
            if (!turned)
                return 1;
            int w, h, depth;
            QzsGetCDIBinfo(turned, &w, &h, &depth);
            pixels += (double)w * h;
            FreeTurnedImage(turned);
        }
        double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        printf("  %-10s %8.1f Mpx/s\n", c.name, pixels / 1e6 / seconds);
    }
    QzsDisposeCDIB(&source);
    return 0;
}
