// Pixel services as effects and transforms use them: every pixel of a layer read and written
// through the host services, in megapixels per second. --smoke runs a small layer once.
#include "ovrin.h"
#include "image/colors.h"
#include "image/group.h"
#include "image/imagelist.h"
#include "base/settings.h"
#include "view/winlist.h"
#include <chrono>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Scene {
    int size;
    ImageGroup *group;
    CDIB *layer;
    std::vector<uint32_t> dest;
};

double Report(const char *what, const Scene &s, Clock::time_point start, uint32_t check)
{
    double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    double mpix = (double)s.size * s.size / 1e6;
    printf("%-34s %5dx%-5d %8.1f Mpixel/s  (%.3f s, check %08x)\n", what, s.size, s.size,
           seconds > 0 ? mpix / seconds : 0.0, seconds, (unsigned)check);
    return seconds;
}

// An effect: read each pixel, change it, write it into the base-sized work copy.
void GetSet(Scene &s, int bits)
{
    QzsStartOnImage(s.layer);
    uint32_t check = 0, *dest = s.dest.data();
    auto start = Clock::now();
    for (int y = 0; y < s.size; y++) {
        for (int x = 0; x < s.size; x++) {
            uint32_t c;
            QzsGetColorOnImage(s.layer, x, y, &c);
            c ^= 0x00FFFFFF;
            check += QzsSetColorOnImage(s.layer, dest, x, y, &c, bits, 1);
        }
    }
    Report(bits ? "get + set, region bits 1" : "get + set", s, start, check);
}

// A displacement effect: a bilinear sample half a pixel off, written back.
void SampleSet(Scene &s)
{
    QzsStartOnImage(s.layer);
    uint32_t check = 0, *dest = s.dest.data();
    auto start = Clock::now();
    for (int y = 0; y < s.size; y++) {
        for (int x = 0; x < s.size; x++) {
            uint32_t c;
            uint8_t mask;
            QzsLinearInterpolate(s.layer, x + 0.5, y + 0.25, (uint8_t *)&c, &mask);
            check += QzsSetColorOnImage(s.layer, dest, x, y, &c, 0, 1);
        }
    }
    Report("bilinear sample + set", s, start, check);
}

// A transform: a sample composited into the window's draw buffer.
void SampleComposite(Scene &s, ImageWindow *window)
{
    QzsStartOnImage(s.layer);
    uint32_t check = 0;
    auto start = Clock::now();
    for (int y = 0; y < s.size; y++) {
        for (int x = 0; x < s.size; x++) {
            uint32_t c;
            uint8_t mask;
            QzsLinearInterpolate(s.layer, x * 0.5, y * 0.5, (uint8_t *)&c, &mask);
            check += QzsSetColorOnEdtWin(window, x, y, &c);
        }
    }
    Report("bilinear sample + composite write", s, start, check);
}

} // namespace

int main(int argc, char **argv)
{
    bool smoke = argc > 1 && strcmp(argv[1], "--smoke") == 0;
    int size = smoke ? 256 : 4096;
    char dir[MAX_PATH];
    GetTempPathA(sizeof dir, dir);
    SetDefaultSettings(dir);
    SetDefaultColors();

    Scene s;
    s.size = size;
    CDIB *base = nullptr;
    if (CreateImageRecord(&base, size, size, 32) != 0 || AddImageGroup(base) != 1) {
        fprintf(stderr, "no memory for a %dx%d base\n", size, size);
        return 1;
    }
    s.group = g_lastGroup;
    base->mask = (uint8_t *)calloc((size_t)size * size, 1);
    if (CreateImageRecord(&s.layer, size, size, 32) != 0 || !base->mask) {
        fprintf(stderr, "no memory for a %dx%d layer\n", size, size);
        return 1;
    }
    uint32_t *px = (uint32_t *)s.layer->pixels;
    for (size_t i = 0; i < (size_t)size * size; i++) {
        px[i] = 0x80000000u | (uint32_t)(i * 2654435761u >> 8);
        base->mask[i] = (uint8_t)(i & 1);
    }
    // Origin a little off the base, as layers often are: the edge refusals are part of the run.
    QzsInsertNewLayer(s.group, s.layer, -8, -8, 1, 255, 0);
    s.dest.assign((size_t)size * size, 0);

    ImageWindow window{};
    std::vector<uint32_t> draw((size_t)size * size);
    std::vector<uint8_t> coverage((size_t)size * size), work((size_t)size * size);
    window.group = s.group;
    window.layerImage = s.layer;
    window.drawBuffer = draw.data();
    window.coverage = coverage.data();
    window.editMask = work.data();
    g_currentWindow = &window;

    int rounds = smoke ? 1 : 3;
    for (int r = 0; r < rounds; r++) {
        GetSet(s, 0);
        GetSet(s, 1);
        SampleSet(s);
        SampleComposite(s, &window);
    }
    g_currentWindow = nullptr;
    return 0;
}
