// The run every effect module shares: parameters read as decimal texts, rows from top to bottom
// with one progress call after each, the source read through the host and the result written
// into the host's buffer, never back into the source.
#pragma once
#include "ovrin.h"
#include <errno.h>
#include <stdint.h>
#include <stdlib.h>

namespace fx {

// The one clamp of the family: every parameter that divides, indexes or sizes goes through it.
inline int Clamp(long long v, long long low, long long high)
{
    return (int)(v < low ? low : v > high ? high : v);
}

// Parameter i of the effect: leading blanks, a sign and digits; an empty or unset text is 0, and
// a number past the int range stops at its end.
inline int Param(int i)
{
    const char *text = QzsGetParameter(1, i);
    if (!text)
        return 0;
    return Clamp(strtoll(text, NULL, 10), INT32_MIN, INT32_MAX);
}

// Parameter i kept to low..high.
inline int ParamIn(int i, int low, int high) { return Clamp(Param(i), low, high); }

inline int Luma(int r, int g, int b) { return (77 * r + 151 * g + 28 * b) / 256; }

inline int Blue(uint32_t c) { return (int)(c & 255); }
inline int Green(uint32_t c) { return (int)(c >> 8 & 255); }
inline int Red(uint32_t c) { return (int)(c >> 16 & 255); }
inline uint32_t WithRgb(uint32_t c, int r, int g, int b)
{
    return (c & 0xFF000000u) | (uint32_t)(r & 255) << 16 | (uint32_t)(g & 255) << 8 | (uint32_t)(b & 255);
}

struct Area {
    CDIB *image;
    uint32_t *dest;
    int left, top, right, bottom, mask;
    QzProgressProc progress;
};

inline int RowCount(const Area &a)
{
    long long rows = (long long)a.bottom - a.top + 1;
    return rows > INT32_MAX ? INT32_MAX : (int)rows;
}

// Every pixel of the area, rows from the top: before(y) starts each row, pixel(x, y, &colour)
// gives the colour to write with useAlpha (false leaves the pixel unwritten), and progress is
// reported after each row. The call (0, rows, 0) is made first unless the module made it already.
// 1 done, 0 cancelled.
template <class Row, class Pixel>
int RunPixels(const Area &a, Row before, Pixel pixel, int useAlpha = 0, bool started = false)
{
    int rows = RowCount(a);
    if (!started && a.progress)
        a.progress(0, rows, 0);
    for (long long y = a.top; y <= a.bottom; y++) {
        before((int)y);
        for (long long x = a.left; x <= a.right; x++) {
            uint32_t c;
            if (pixel((int)x, (int)y, &c))
                QzsSetColorOnImage(a.image, a.dest, (int)x, (int)y, &c, a.mask, useAlpha);
        }
        if (a.progress && a.progress((int)(y - a.top), rows, 0))
            return 0;
    }
    if (a.progress)
        a.progress(rows, rows, 0);
    return 1;
}

inline void NoRowStart(int) {}

// Every pixel of the area through f (source colour to new colour), written with useAlpha.
template <class F> int RunRows(const Area &a, F f, int useAlpha = 0, bool started = false)
{
    return RunPixels(
        a, NoRowStart,
        [&](int x, int y, uint32_t *c) {
            QzsGetColorOnImage(a.image, x, y, c);
            *c = f(*c);
            return true;
        },
        useAlpha, started);
}

// The source colour of a pixel, for modules that leave some pixels as they were.
inline uint32_t Source(const Area &a, int x, int y)
{
    uint32_t c;
    QzsGetColorOnImage(a.image, x, y, &c);
    return c;
}

// Heap blocks of count items, NULL also when the size does not fit the address space.
template <class T> T *Allocate(unsigned long long count)
{
    if (count == 0 || count > (unsigned long long)SIZE_MAX / sizeof(T))
        return NULL;
    return (T *)malloc((size_t)count * sizeof(T));
}

// A table of rows x columns items; NULL when either is below 1 or the product does not fit.
template <class T> T *Allocate(long long rows, long long columns)
{
    if (rows < 1 || columns < 1 || (unsigned long long)rows > (unsigned long long)SIZE_MAX / sizeof(T) / columns)
        return NULL;
    return Allocate<T>((unsigned long long)rows * (unsigned long long)columns);
}

} // namespace fx

// The module's exported entry point, calling its effect function. The figures program builds the
// modules into itself and leaves the entry out.
#ifdef QZ_EFFECT_NO_ENTRY
#define QZ_EFFECT_ENTRY(function)
#else
#define QZ_EFFECT_ENTRY(function)                                                                             \
    QZC_EXPORT(int)                                                                                           \
    QzcEffect(CDIB *image, uint32_t *dest, int left, int top, int right, int bottom, int mask,               \
              QzProgressProc progress)                                                                        \
    {                                                                                                         \
        return function(image, dest, left, top, right, bottom, mask, progress);                              \
    }
#endif

#define QZ_EFFECT_ARGS                                                                                        \
    CDIB *image, uint32_t *dest, int left, int top, int right, int bottom, int mask, QzProgressProc progress
#define QZ_EFFECT_AREA fx::Area{image, dest, left, top, right, bottom, mask, progress}
