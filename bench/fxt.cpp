// Figures of the FXT encoder of the savera module on a photo-like 1024 x 1024 picture: for every
// coding alone and for the whole search (all of them, the best kept), blocks per second and
// the mean error per block (the search's measure: squared differences over 32 pixels and four
// channels) with the root-mean-square difference per channel value it amounts to; and how often
// each coding wins. --smoke codes a 128 x 128 picture.
#include "fxt1.h"
#include <chrono>
#include <math.h>
#include <stdio.h>
#include <string.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

uint32_t s_seed = 1;
int Rand(int n)
{
    s_seed = s_seed * 1103515245u + 12345u;
    return (int)((s_seed >> 16) & 0x7FFF) % n;
}

int Clamp(double v) { return v < 0 ? 0 : v > 255 ? 255 : (int)v; }

// Value noise on a lattice of the given cell size, smoothly interpolated, in -1..1.
struct Noise {
    int cells;
    std::vector<float> lattice;
    Noise(int size, int cell) : cells(size / cell + 2), lattice((size_t)cells * cells)
    {
        for (float &v : lattice)
            v = (float)(Rand(2001) - 1000) / 1000.0f;
    }
    float At(double x, double y, int cell) const
    {
        double fx = x / cell, fy = y / cell;
        int ix = (int)fx, iy = (int)fy;
        double tx = fx - ix, ty = fy - iy;
        tx = tx * tx * (3 - 2 * tx), ty = ty * ty * (3 - 2 * ty);
        auto v = [&](int a, int b) { return lattice[(size_t)(iy + b) * cells + ix + a]; };
        return (float)((v(0, 0) * (1 - tx) + v(1, 0) * tx) * (1 - ty) + (v(0, 1) * (1 - tx) + v(1, 1) * tx) * ty);
    }
};

// Sky-like gradients, soft lighting, hard-edged objects with shading, fractal texture and grain;
// opaque, 32-bit rows as stored (B, G, R, A).
std::vector<uint8_t> PhotoLike(int size)
{
    std::vector<uint8_t> px((size_t)size * size * 4);
    Noise coarse(size, 128), mid(size, 32), fine(size, 8), finest(size, 2);
    struct Disc {
        double x, y, r;
        int cr, cg, cb;
    } discs[12];
    for (Disc &d : discs)
        d = {(double)Rand(size), (double)Rand(size), (double)(size / 40 + Rand(size / 6)),
             Rand(256), Rand(256), Rand(256)};
    for (int y = 0; y < size; y++)
        for (int x = 0; x < size; x++) {
            double u = (double)x / size, v = (double)y / size;
            double r = 90 + 120 * v + 40 * coarse.At(x, y, 128);
            double g = 120 + 80 * v + 30 * sin(6.0 * u) + 35 * coarse.At(y, x, 128);
            double b = 200 - 90 * v + 30 * cos(4.0 * u + 2 * v);
            for (const Disc &d : discs) {
                double dx = x - d.x, dy = y - d.y, q = (dx * dx + dy * dy) / (d.r * d.r);
                if (q < 1) {
                    double shade = 0.55 + 0.45 * sqrt(1 - q) - 0.2 * dx / d.r;
                    r = d.cr * shade, g = d.cg * shade, b = d.cb * shade;
                }
            }
            double texture = 22 * mid.At(x, y, 32) + 12 * fine.At(x, y, 8) + 6 * finest.At(x, y, 2);
            uint8_t *p = &px[((size_t)y * size + x) * 4];
            p[0] = (uint8_t)Clamp(b + texture + Rand(7) - 3);
            p[1] = (uint8_t)Clamp(g + texture + Rand(7) - 3);
            p[2] = (uint8_t)Clamp(r + texture + Rand(7) - 3);
            p[3] = 255;
        }
    return px;
}

const char *const kNames[kFxtCodings] = {"CC_MIXED flag 0", "CC_MIXED flag 1", "CC_HI", "CC_CHROMA",
                                         "CC_ALPHA flag 0", "CC_ALPHA flag 1"};

void Report(const char *what, size_t blocks, double seconds, double errorSum)
{
    double mean = errorSum / (double)blocks;
    printf("%-20s %9.0f blocks/s  mean error %9.1f per block  (rms %5.2f per channel value)  %.2f s\n", what,
           (double)blocks / seconds, mean, sqrt(mean / 128.0), seconds);
}

} // namespace

int main(int argc, char **argv)
{
    bool smoke = argc > 1 && strcmp(argv[1], "--smoke") == 0;
    int size = smoke ? 128 : 1024;
    std::vector<uint8_t> px = PhotoLike(size);
    std::vector<Fxt1Texels> blocks;
    for (int by = 0; by + 4 <= size; by += 4)
        for (int bx = 0; bx + 8 <= size; bx += 8) {
            Fxt1Texels t;
            Fxt1Gather(&px[((size_t)by * size + bx) * 4], (ptrdiff_t)size * 4, &t);
            blocks.push_back(t);
        }
    printf("FXT encoder, photo-like picture %d x %d, %zu blocks of 8 x 4\n", size, size, blocks.size());
    uint8_t out[16];
    for (int c = 0; c < kFxtCodings; c++) {
        double sum = 0;
        auto t0 = Clock::now();
        for (const Fxt1Texels &t : blocks)
            sum += Fxt1EncodeAs(c, t, out);
        Report(kNames[c], blocks.size(), std::chrono::duration<double>(Clock::now() - t0).count(), sum);
    }
    double sum = 0;
    size_t wins[kFxtCodings] = {};
    Fxt1Search search;
    auto t0 = Clock::now();
    for (const Fxt1Texels &t : blocks) {
        sum += Fxt1EncodeBlock(t, out, &search);
        wins[search.winner]++;
    }
    Report("search (all modes)", blocks.size(), std::chrono::duration<double>(Clock::now() - t0).count(), sum);
    printf("blocks won:");
    for (int c = 0; c < kFxtCodings; c++)
        printf("  %s %.1f%%", kNames[c], 100.0 * (double)wins[c] / (double)blocks.size());
    printf("\n");
    return 0;
}
