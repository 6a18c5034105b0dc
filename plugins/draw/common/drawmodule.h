// What every draw module shares: its parameters read as decimal texts from the draw panel, the
// points of the figure from the host's point list, and the exported entries around the module's
// own guide and drawing. The point list holds group coordinates, which the host's line, box and
// fill services take as they are; a module that paints through layer services subtracts the
// layer origin itself.
#pragma once
#include "ovrin.h"
#include <stdlib.h>

namespace draw {

// Parameter i of the draw panel: leading blanks, a sign and digits; an empty text is 0, and a
// number past the int range stops at its end.
inline int Param(int i)
{
    const char *text = QzsGetParameter(2, i);
    if (!text)
        return 0;
    long long v = strtoll(text, NULL, 10);
    return v < INT32_MIN ? INT32_MIN : v > INT32_MAX ? INT32_MAX : (int)v;
}

// Point i of the figure; false when the list has no such point.
inline bool Point(int i, QzPoint *p)
{
    return QzsGetEntryPoint(i, p) == 0;
}

// The two-point figure: the first point starts it, the second completes it.
inline int SetPointOfTwo(int x, int y)
{
    bool started = QzsGetHowManyPoints() >= 1;
    QzPoint p = {x, y};
    QzsSetNewEntryPoint(&p);
    return started ? 4 : 1;
}

} // namespace draw

// The figures program builds modules into itself: it names each one's drawing QZ_DRAW_FIGURE
// and leaves the exported entries out.
#ifdef QZ_DRAW_FIGURE
#define QZ_DRAW_ENTRIES(kind, info, guide, drawIt)                                                            \
    int QZ_DRAW_FIGURE(ImageWindow *window, int x, int y, int keys)                                          \
    {                                                                                                         \
        (void)guide;                                                                                          \
        return drawIt(window, x, y, keys);                                                                    \
    }
#define QZ_TWO_POINT_ENTRIES
#else
// The module's kind and info, its guide (window, x, y, show, refresh, keys) and its drawing
// (window, x, y, keys), exported under the entry names.
#define QZ_DRAW_ENTRIES(kind, info, guide, drawIt)                                                            \
    QZC_EXPORT(int) QzcGetDrawInterface(void) { return kind; }                                                \
    QZC_EXPORT(int) QzcGetDrawInfo(void) { return info; }                                                     \
    QZC_EXPORT(int) QzcDrawGuideLine(ImageWindow *window, int x, int y, int show, int refresh, int keys)      \
    {                                                                                                         \
        return guide(window, x, y, show, refresh, keys);                                                     \
    }                                                                                                         \
    QZC_EXPORT(int) QzcDrawIt(ImageWindow *window, int x, int y, int keys) { return drawIt(window, x, y, keys); }

// The two-point skeleton: the first point is the centre, the second completes the figure; the
// right button takes the last point back and ends the figure.
#define QZ_TWO_POINT_ENTRIES                                                                                  \
    QZC_EXPORT(int) QzcSetPoint(ImageWindow *, int x, int y, int) { return draw::SetPointOfTwo(x, y); }        \
    QZC_EXPORT(int) QzcCancelOne(ImageWindow *, int, int)                                                     \
    {                                                                                                         \
        QzsDeletePoint();                                                                                     \
        return 4;                                                                                             \
    }
#endif
