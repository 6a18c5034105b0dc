// The program's light and the shading routine plug-ins receive through QzsGetLightingSub; the
// light is kept in "light.dat" between runs.
#include "image/lighting.h"
#include "base/safefile.h"
#include "base/settings.h"
#include <math.h>
#include <stdio.h>
#include <string.h>
#include <type_traits>

LightSettings g_light = {-1.0, -1.0, 1.0, 0.0, 130.0};

namespace {

enum { kFileBytes = 40 };

void LightFilePath(char *out, size_t size)
{
    snprintf(out, size, "%s\\light.dat", g_cfg.Stat_dir);
}

// Scales (x, y, z) to length 1; false (and nothing changed) when it has no length.
bool Normalize(double *x, double *y, double *z)
{
    double length = sqrt(*x * *x + *y * *y + *z * *z);
    if (!(length > 0.0) || !isfinite(length))
        return false;
    *x /= length, *y /= length, *z /= length;
    return true;
}

} // namespace

void SetDefaultLighting()
{
    g_light = LightSettings{-1.0, -1.0, 1.0, 0.0, 130.0};
}

void NormalizeLight()
{
    Normalize(&g_light.x, &g_light.y, &g_light.z);
}

int QZCAPI ShadeWithLight(int value, double nx, double ny, double nz, double, double, double)
{
    // A normal of no length (or not finite) counts as zero: half the value and the terms that do
    // not depend on it.
    if (!Normalize(&nx, &ny, &nz))
        nx = ny = nz = 0.0;
    const LightSettings &l = g_light;
    double d = nx * l.x + ny * l.y + nz * l.z;
    double r = 2.0 * d * nz - l.z;
    double specular = r > 0.0 ? r * r : 0.0;
    double shade = value * (1.0 + d) / 2.0 + l.highlight * specular + l.environment;
    if (!(shade < 255.0))
        return 255;
    return shade > -2147483647.0 ? (int)shade : -2147483647;
}

// Plug-ins call it through this type on both word sizes: callee-cleaned, an int and six doubles.
static_assert(std::is_same<decltype(&ShadeWithLight), LightingFunction>::value, "ShadeWithLight has the plug-in form");

QZS_DECL(LightingFunction) QzsGetLightingSub(void)
{
    NormalizeLight();
    return ShadeWithLight;
}

void SetLightFromPoint(int x, int y, int width, int height)
{
    double lx = x - width / 2.0, ly = y - height / 2.0, radius = width / 2.0;
    double dist = sqrt(lx * lx + ly * ly);
    double lz = dist < radius ? sqrt(radius * radius - dist * dist) : 0.0;
    if (Normalize(&lx, &ly, &lz))
        g_light.x = lx, g_light.y = ly, g_light.z = lz;
}

// ---- light.dat ----

void EncodeLighting(const LightSettings &light, unsigned char out[40])
{
    const double values[5] = {light.x, light.y, light.z, light.environment, light.highlight};
    for (int i = 0; i < 5; i++) {
        uint64_t bits;
        memcpy(&bits, &values[i], 8);
        for (int b = 0; b < 8; b++)
            out[8 * i + b] = (unsigned char)(bits >> (8 * b));
    }
}

int DecodeLighting(const unsigned char in[40], LightSettings *light)
{
    double values[5];
    for (int i = 0; i < 5; i++) {
        uint64_t bits = 0;
        for (int b = 0; b < 8; b++)
            bits |= (uint64_t)in[8 * i + b] << (8 * b);
        memcpy(&values[i], &bits, 8);
        if (!isfinite(values[i]))
            return 0;
    }
    double x = values[0], y = values[1], z = values[2];
    if (!Normalize(&x, &y, &z))
        return 0;
    *light = LightSettings{values[0], values[1], values[2], values[3], values[4]};
    return 1;
}

int LoadLighting()
{
    char path[kPathBytes + 16];
    LightFilePath(path, sizeof path);
    FILE *f = fopen(path, "rb");
    if (!f)
        return 0;
    unsigned char data[kFileBytes + 1];
    size_t got = fread(data, 1, sizeof data, f);
    fclose(f);
    LightSettings read;
    if (got != kFileBytes || !DecodeLighting(data, &read))
        return 0;
    g_light = read;
    return 1;
}

int SaveLighting()
{
    char path[kPathBytes + 16];
    LightFilePath(path, sizeof path);
    unsigned char data[kFileBytes];
    EncodeLighting(g_light, data);
    SafeFile safe;
    FILE *f = OpenSafeFile(&safe, path);
    if (!f)
        return 0;
    bool ok = fwrite(data, 1, sizeof data, f) == sizeof data;
    return CloseSafeFile(&safe, path, ok) == 0 ? 1 : 0;
}
