// What every functional-colour module shares: its parameters read from the colour panel as
// decimal texts, the gradation colours, and the post-process run that repaints the marked pixels
// of a figure's box row by row through the host's painting services.
#pragma once
#include "ovrin.h"
#include <stdlib.h>

namespace fc {

inline int ClampInt(long long v, long long low, long long high)
{
    return (int)(v < low ? low : v > high ? high : v);
}

// The decimal integer at the start of a text (blanks, a sign, digits); 0 without digits, and a
// number past the int range stops at its end.
inline int LeadingInt(const char *text)
{
    return text ? ClampInt(strtoll(text, NULL, 10), INT32_MIN, INT32_MAX) : 0;
}

// Control i of the functional-colour panel; "0" when there is no panel or no such control.
inline int Param(int i)
{
    return LeadingInt(QzsGetParameter(3, i));
}

struct Rgb {
    int red, green, blue;
};

// Red, green and blue of colour record which (0 the drawing colour, 2..5 the gradation colours).
inline Rgb Color(int which)
{
    const ColorRecord *c = QzsGetColor(which);
    return c ? Rgb{c->red, c->green, c->blue} : Rgb{0, 0, 0};
}

// Every pixel of the box, rows from the top, painted with colourAt(x, y) (an Rgb) through
// QzsSetColorWithPset, which keeps to the pixels the stroke marked and to the regions of mode.
// Each row starts its own pixel run.
template <class F> void PaintBox(ImageWindow *window, int x0, int y0, int x1, int y1, int mode, F colourAt)
{
    for (long long y = y0; y <= y1; y++) {
        QzsStartPset(window, x0, (int)y);
        for (long long x = x0; x <= x1; x++) {
            Rgb c = colourAt((int)x, (int)y);
            ColorRecord record = {};
            record.red = ClampInt(c.red, 0, 255);
            record.green = ClampInt(c.green, 0, 255);
            record.blue = ClampInt(c.blue, 0, 255);
            QzsSetColorWithPset(window, (int)x, (int)y, &record, mode);
        }
    }
}

} // namespace fc

// The modules' exported entry points, each forwarding to the module's own function. The figures
// program builds the modules into itself and leaves the entries out.
#ifdef QZ_FUNCCOL_NO_ENTRY
#define QZ_FC_INFO_ENTRY(value)
#define QZ_FC_POST_ENTRY(function)
#define QZ_FC_COLOR_ENTRY(function)
#define QZ_FC_MESSAGE_ENTRY(function)
#define QZ_FC_PARAMETER_ENTRY(function)
#else
#define QZ_FC_INFO_ENTRY(value)                                                                               \
    QZC_EXPORT(int) QzcGetColorInfo(void) { return value; }
#define QZ_FC_POST_ENTRY(function)                                                                            \
    QZC_EXPORT(int) QzcPostProcess(ImageWindow *window, int x0, int y0, int x1, int y1, int mode)            \
    {                                                                                                         \
        return function(window, x0, y0, x1, y1, mode);                                                        \
    }
#define QZ_FC_COLOR_ENTRY(function)                                                                           \
    QZC_EXPORT(int) QzcColorFunc(CDIB *image, int x, int y, int a, int b, int *red, int *green, int *blue,   \
                                 int *alpha)                                                                  \
    {                                                                                                         \
        return function(image, x, y, a, b, red, green, blue, alpha);                                          \
    }
#define QZ_FC_MESSAGE_ENTRY(function)                                                                         \
    QZC_EXPORT(int) QzcReceiveMessage(int code, int a, int b, int n, int e) { return function(code, a, b, n, e); }
#define QZ_FC_PARAMETER_ENTRY(function)                                                                       \
    QZC_EXPORT(int) QzcChangedParameter(int index, const char *text) { return function(index, text); }
#endif
