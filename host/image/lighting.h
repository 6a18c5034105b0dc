// The one light every shading plug-in uses: a direction, an ambient (environment) term and a
// highlight strength; the shading routine handed to plug-ins; its settings file "light.dat".
#pragma once
#include "ovrin.h"

struct LightSettings {
    double x, y, z;     // towards the light: x to the right, y downwards, z towards the viewer
    double environment; // added to every shade
    double highlight;   // strength of the specular term
};
extern LightSettings g_light;

void SetDefaultLighting(); // (-1, -1, 1), environment 0, highlight 130

// The shading routine of QzsGetLightingSub: the shade of value for the normal, at most 255.
int QZCAPI ShadeWithLight(int value, double nx, double ny, double nz, double px, double py, double pz);
void NormalizeLight(); // the direction to length 1 (kept when it has none)
// The light from a click at (x, y) on a preview sphere of width x height pixels.
void SetLightFromPoint(int x, int y, int width, int height);

// "light.dat" in the Stat directory: five little-endian doubles (x, y, z, environment, highlight).
// A file that is missing, of another size or holding a direction of no length or a value that is
// not finite leaves the current values; result 1 read, 0 not.
int LoadLighting();
int SaveLighting(); // written beside the old file and moved over it; 1 written, 0 not
// The 40 bytes of the file for the settings, and the settings from them (0 when refused).
void EncodeLighting(const LightSettings &light, unsigned char out[40]);
int DecodeLighting(const unsigned char in[40], LightSettings *light);
