// Building the host's pen from the settings: the shape's cells up to the size, their weights by
// hardness and fuzzy mode, cells dropped by density, the hot spot and the bounding box; and the
// pen rebuilt in place while the tablet pressure changes.
#include "pens.h"
#include <math.h>
#include <stdlib.h>

// The pen as built: a new pressure against the last one decides whether it is rebuilt. After a
// stroke the pen is the nominal one again, so the next stroke's first pressure always rebuilds.
static INT_PTR s_lastPressure = 255, s_lastMax = 255;

static int ClampWeight(int64_t w)
{
    return w < 0 ? 0 : w > 255 ? 255 : (int)w;
}

int BuildPenShape(const PenSettings &s, int publish, HWND source)
{
    PenRecord *pen = QzsGetPen();
    if (!pen || !pen->weights || !pen->colorIndexes || pen->side < 1)
        return 0;
    int n = pen->side; // the row stride; a smaller matrix gets only the cells it has
    const int32_t *table = GrowthTable(s.shape, s.size);
    for (size_t i = 0, cells = (size_t)n * n; i < cells; i++)
        pen->weights[i] = pen->colorIndexes[i] = 0;
    pen->left = pen->top = kTableSide;
    pen->right = pen->bottom = -1;
    pen->softEdge = s.fuzzy != kFuzzyNone;

    int size = s.size, hardness = s.hardness;
    int peak = 255, fuzz = (100 - hardness) * size / 50;
    if (s.fuzzy == kFuzzyRound && hardness <= 50) {
        peak = hardness * 255 / 50;
        fuzz = size;
    }
    int flat = hardness * 255 / 100;
    for (int i = 0; i < kTableSide && i < n; i++)
        for (int j = 0; j < kTableSide && j < n; j++) {
            int v = table[i * kTableSide + j];
            if (v == 1) {
                pen->hotX = j;
                pen->hotY = i;
            }
            if (v > size)
                continue;
            int weight = 255;
            if (s.fuzzy == kFuzzyLinear && fuzz != 0) {
                int w = (size - v) * peak / fuzz;
                if (w < 255)
                    weight = ClampWeight(w);
            } else if (s.fuzzy == kFuzzyRound && fuzz != 0) {
                int d = size - v;
                if (d + 1 <= fuzz) {
                    int t = d - fuzz - 1;
                    weight = t * t > fuzz * fuzz ? 0
                                                 : ClampWeight((int64_t)(peak * sqrt((double)(fuzz * fuzz - t * t)) / fuzz));
                }
            } else if (s.fuzzy == kFuzzyFlat) {
                weight = flat;
            }
            if (rand() % 100 >= s.density)
                weight = 0;
            pen->weights[(size_t)i * n + j] = (uint32_t)weight;
            // The box holds the shape, also where density dropped a cell.
            if (j < pen->left)
                pen->left = j;
            if (i < pen->top)
                pen->top = i;
            if (j > pen->right)
                pen->right = j;
            if (i > pen->bottom)
                pen->bottom = i;
        }
    if (publish) {
        s_lastPressure = s_lastMax = 255;
        QzsSetPen((INT_PTR)source);
    }
    return 1;
}

static int Scaled(int value, INT_PTR pressure, INT_PTR max, int high)
{
    int64_t v = (int64_t)value * pressure / max;
    return v < 0 ? 0 : v > high ? high : (int)v;
}

void ReceivePressure(INT_PTR pressure, INT_PTR max, HWND source)
{
    if (max == 0) {
        BuildPenShape(g_settings, 1, source);
        return;
    }
    if (pressure == s_lastPressure && max == s_lastMax)
        return;
    s_lastPressure = pressure;
    s_lastMax = max;
    PenSettings s = g_settings;
    // A pressure beyond the maximum, or a negative one, still gives values in their ranges.
    if (s.pressure[kFlagSize])
        s.size = Scaled(s.size, pressure, max, kMaxSize);
    if (s.pressure[kFlagHardness])
        s.hardness = Scaled(s.hardness, pressure, max, 100);
    if (s.pressure[kFlagDensity])
        s.density = Scaled(s.density, pressure, max, 100);
    BuildPenShape(s, 0, source);
}
