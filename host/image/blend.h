// Layer blends: the built-in normal blend, alpha over, and the blend the next composition uses.
#pragma once
#include "ovrin.h"

int QZCAPI BlendPixelOver(const uint8_t *lower, const uint8_t *upper, int offset, int row, uint8_t *out);
void SetCurrentBlendFunction(BlendFunction blend);
BlendFunction GetCurrentBlendFunction();

// The over blend divides by k = 255 (a + b) - a b for two alphas, at least 255 once either is
// above 0, and its numerators never pass 255 k. The quotient is taken as a multiply and a shift by
// kOverShift with m = ceil(2^kOverShift / k) from a table: since m k - 2^kOverShift < k < 2^16 and
// n < 2^25, the error stays below one step and the result equals n / k exactly.
enum { kOverShift = 41, kOverMinDivisor = 255, kOverMaxDivisor = 255 * 255 };
extern const uint64_t *const g_overReciprocal; // indexed by k - kOverMinDivisor

inline uint32_t DivideOver(uint32_t n, uint32_t k)
{
    if (k < kOverMinDivisor || k > kOverMaxDivisor)
        return k ? n / k : 0;
    return (uint32_t)(n * g_overReciprocal[k - kOverMinDivisor] >> kOverShift);
}

// Alpha a (0..255) scaled by a layer opacity (0..255), as a * opacity / 255.
inline uint32_t ScaleAlpha(uint32_t a, uint32_t opacity)
{
    uint32_t p = a * opacity;
    return (p + 1 + (p >> 8)) >> 8;
}

// Colour u with alpha au over l with alpha al, both packed BGRA; au above 0.
inline uint32_t OverPixel(uint32_t l, uint32_t u, uint32_t au)
{
    uint32_t al = l >> 24;
    uint32_t k = 255 * (au + al) - au * al;
    uint32_t a = 255 * au, b = al * (255 - au);
    uint32_t out = (k / 255) << 24;
    for (int shift = 0; shift < 24; shift += 8)
        out |= DivideOver((u >> shift & 255) * a + (l >> shift & 255) * b, k) << shift;
    return out;
}
