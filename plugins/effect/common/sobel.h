// The 3 x 3 gradient kernels of the edge effects (rows from the top, columns from the left):
// Kx = 1 0 -1 / 2 0 -2 / 1 0 -1 and Ky = 1 2 1 / 0 0 0 / -1 -2 -1, summed over a band of rows.
#pragma once
#include "neighbours.h"
#include <math.h>

namespace fx {

static const int kSobelX[3][3] = {{1, 0, -1}, {2, 0, -2}, {1, 0, -1}};
static const int kSobelY[3][3] = {{1, 2, 1}, {0, 0, 0}, {-1, -2, -1}};

// Gradients of (x, y) per channel: index 0 blue, 1 green, 2 red.
inline void SobelChannels(const Band &band, int x, int y, int gx[3], int gy[3])
{
    gx[0] = gx[1] = gx[2] = gy[0] = gy[1] = gy[2] = 0;
    for (int dy = -1; dy <= 1; dy++)
        for (int dx = -1; dx <= 1; dx++) {
            uint32_t c = band.At(x + dx, y + dy);
            int kx = kSobelX[dy + 1][dx + 1], ky = kSobelY[dy + 1][dx + 1];
            for (int k = 0; k < 3; k++) {
                int v = (int)(c >> (8 * k) & 255);
                gx[k] += v * kx;
                gy[k] += v * ky;
            }
        }
}

// Magnitude of one channel's gradient, scaled to 0..180.
inline int SobelMagnitude(int gx, int gy) { return (int)(sqrt((double)gx * gx + (double)gy * gy) / 8); }

} // namespace fx
