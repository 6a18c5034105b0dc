// The built-in normal blend (alpha over) and the blend chosen for the next composition.
#include "image/blend.h"
#include "base/app.h"
#include <string.h>

static BlendFunction s_currentBlend = BlendPixelOver;

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
    int au = upper[3], al = lower[3];
    if (au == 0) {
        memcpy(out, lower, 4);
        return 1;
    }
    int d = 255 * (au + al) - au * al;
    for (int c = 0; c < 3; c++)
        out[c] = (uint8_t)((upper[c] * 255 * au + lower[c] * al * (255 - au)) / d);
    out[3] = (uint8_t)(d / 255);
    return 1;
}
