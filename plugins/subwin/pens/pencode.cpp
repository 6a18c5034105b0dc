// The pen's settings and their code: shape id, size, hardness, density, the fuzzy character and
// three pressure flags, as the configuration and macros keep them.
#include "pens.h"
#include <stdio.h>
#include <string.h>

PenSettings g_settings = DefaultPenSettings();

const char *const kShapeIds[kShapes] = {"RECT", "DIAM", "RUND", "PEN1", "DNSL", "UPSL", "HOZL", "VERL"};
const char *const kShapeNames[kShapes] = {"Rect", "Diamond", "Round", "Spark", "Slash1", "Slash2", "Horizon",
                                          "Vertical"};

static const char kFuzzyChars[] = {' ', 'F', 'G', 'H'};
static const size_t kLongestCode = 64; // characters past this are never read

PenSettings DefaultPenSettings()
{
    return PenSettings{0, 4, 50, 100, kFuzzyNone, {0, 0, 0}};
}

static int Clamp(int v, int low, int high)
{
    return v < low ? low : v > high ? high : v;
}

void FormatPenCode(const PenSettings &s, char *out)
{
    int fuzzy = Clamp(s.fuzzy, 0, 3);
    snprintf(out, kPenCodeBytes, "%s%2d%3d%3d%c%c%c%c", kShapeIds[Clamp(s.shape, 0, kShapes - 1)],
             Clamp(s.size, 1, kMaxSize), Clamp(s.hardness, 0, 100), Clamp(s.density, 0, 100), kFuzzyChars[fuzzy],
             s.pressure[kFlagSize] ? 'T' : 'F', s.pressure[kFlagHardness] ? 'T' : 'F',
             s.pressure[kFlagDensity] ? 'T' : 'F');
}

// The decimal number in characters [at, at + width) of a code of length n; false when the code
// ends before the field. Blanks lead, a sign may follow, the digits stop at anything else.
static bool ReadField(const char *code, size_t n, size_t at, size_t width, int *value)
{
    if (at >= n)
        return false;
    size_t end = at + width < n ? at + width : n, i = at;
    while (i < end && code[i] == ' ')
        i++;
    bool negative = false;
    if (i < end && (code[i] == '-' || code[i] == '+'))
        negative = code[i++] == '-';
    int v = 0;
    for (; i < end && code[i] >= '0' && code[i] <= '9'; i++)
        v = v * 10 + (code[i] - '0');
    *value = negative ? -v : v;
    return true;
}

void ParsePenCode(const char *code, PenSettings *s)
{
    if (!code || !code[0]) {
        *s = DefaultPenSettings();
        return;
    }
    size_t n = strnlen(code, kLongestCode);
    for (int i = 0; n >= 4 && i < kShapes; i++)
        if (memcmp(code, kShapeIds[i], 4) == 0)
            s->shape = i;
    int v;
    if (ReadField(code, n, 4, 2, &v))
        s->size = Clamp(v, 1, kMaxSize);
    if (ReadField(code, n, 6, 3, &v))
        s->hardness = Clamp(v, 0, 100);
    if (ReadField(code, n, 9, 3, &v))
        s->density = Clamp(v, 0, 100);
    char fuzzy = n > 12 ? code[12] : 0;
    s->fuzzy = fuzzy == 'F' ? kFuzzyLinear : fuzzy == 'G' ? kFuzzyRound : fuzzy == 'H' ? kFuzzyFlat : kFuzzyNone;
    for (int i = 0; i < 3; i++)
        s->pressure[i] = n > 13 + (size_t)i && code[13 + i] == 'T';
}
