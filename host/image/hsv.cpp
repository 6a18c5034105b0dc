// RGB and HSV for plug-ins. The integer HSV form is at twice the natural scale (hue 0..3071 for a
// full circle, 512 a sector; saturation and value 0..510); the arithmetic is single-precision on
// the natural scale, so that values at the .5 edges round as plug-ins expect them to.
#include "ovrin.h"

namespace {

// Half away from zero, then truncated.
int Round(float v)
{
    return (int)(v >= 0.0f ? v + 0.5f : v - 0.5f);
}

int Clamp(int v, int low, int high)
{
    return v < low ? low : v > high ? high : v;
}

} // namespace

QZS_DECL(void) QzsRGBtoHSV(int red, int green, int blue, int *hue, int *saturation, int *value)
{
    float r = (float)Clamp(red, 0, 255), g = (float)Clamp(green, 0, 255), b = (float)Clamp(blue, 0, 255);
    float max = r > g ? (r > b ? r : b) : (g > b ? g : b);
    float min = r < g ? (r < b ? r : b) : (g < b ? g : b);
    float delta = max - min;
    float h = 0.0f, s = 0.0f;
    if (delta != 0.0f) {
        s = delta * 255.0f / max;
        if (max == r)
            h = (g - b) * 255.0f / delta;
        else if (max == g)
            h = (b - r) * 255.0f / delta + 512.0f;
        else
            h = (r - g) * 255.0f / delta + 1024.0f;
    }
    if (h < 0.0f)
        h += 1536.0f;
    if (hue)
        *hue = Round(2.0f * h);
    if (saturation)
        *saturation = Round(2.0f * s);
    if (value)
        *value = Round(2.0f * max);
}

QZS_DECL(void) QzsHSVtoRGB(int hue, int saturation, int value, int *red, int *green, int *blue)
{
    // Hues outside the circle are brought onto it; saturation and value are kept to their range.
    hue %= 3072;
    if (hue < 0)
        hue += 3072;
    float h = (float)hue / 2.0f;
    float s = (float)Clamp(saturation, 0, 510) / 2.0f, v = (float)Clamp(value, 0, 510) / 2.0f;
    float c[3];
    switch ((int)(h / 256.0f)) {
    case 0: c[0] = 255.0f, c[1] = h, c[2] = 0.0f; break;
    case 1: c[0] = 512.0f - h, c[1] = 255.0f, c[2] = 0.0f; break;
    case 2: c[0] = 0.0f, c[1] = 255.0f, c[2] = h - 512.0f; break;
    case 3: c[0] = 0.0f, c[1] = 1024.0f - h, c[2] = 255.0f; break;
    case 4: c[0] = h - 1024.0f, c[1] = 0.0f, c[2] = 255.0f; break;
    default: c[0] = 255.0f, c[1] = 0.0f, c[2] = 1536.0f - h; break;
    }
    int out[3];
    for (int i = 0; i < 3; i++)
        out[i] = Clamp(Round(((255.0f - c[i]) * (255.0f - s) / 255.0f + c[i]) * v / 255.0f), 0, 255);
    if (red)
        *red = out[0];
    if (green)
        *green = out[1];
    if (blue)
        *blue = out[2];
}
