// The built-in normal blend (alpha over) and the blend chosen for the next composition.
#include "image/blend.h"
#include "base/app.h"
#include <string.h>

static BlendFunction s_currentBlend = BlendPixelOver;

namespace {

struct OverReciprocals {
    uint64_t m[kOverMaxDivisor - kOverMinDivisor + 1];
    OverReciprocals()
    {
        for (uint32_t k = kOverMinDivisor; k <= kOverMaxDivisor; k++)
            m[k - kOverMinDivisor] = ((1ull << kOverShift) + k - 1) / k;
    }
};

// Filled before main, so that composing on several threads only ever reads it.
const OverReciprocals s_overReciprocals;

} // namespace

const uint64_t *const g_overReciprocal = s_overReciprocals.m;

void SetCurrentBlendFunction(BlendFunction blend)
{
    // Program-wide: only the user-interface thread selects it.
    if (OnInterfaceThread())
        s_currentBlend = blend ? blend : BlendPixelOver;
}

BlendFunction GetCurrentBlendFunction()
{
    return s_currentBlend;
}

int QZCAPI BlendPixelOver(const uint8_t *lower, const uint8_t *upper, int, int, uint8_t *out)
{
    uint32_t l, u;
    memcpy(&l, lower, 4);
    memcpy(&u, upper, 4);
    uint32_t au = u >> 24;
    uint32_t result = au == 0 ? l : OverPixel(l, u, au);
    memcpy(out, &result, 4);
    return 1;
}
