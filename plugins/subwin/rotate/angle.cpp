// The angle typed into the rotation window, read as a decimal number.
#include "angle.h"
#include <math.h>
#include <stddef.h>
#include <stdlib.h>

double ReadAngle(const char *text)
{
    if (!text)
        return 0;
    // Only a decimal number counts: digits with an optional sign, point and exponent (no hex
    // forms, no "inf" or "nan"), as many characters as form one and fit the edit's 100.
    char number[101];
    size_t n = 0;
    const char *p = text;
    while (*p == ' ' || *p == '\t')
        p++;
    auto take = [&](bool ok) {
        if (!ok || n >= sizeof number - 1)
            return false; // the number ends at the buffer's end
        number[n++] = *p++;
        return true;
    };
    auto digit = [&]() { return *p >= '0' && *p <= '9'; };
    take(*p == '+' || *p == '-');
    size_t digits = 0;
    while (take(digit()))
        digits++;
    if (take(*p == '.'))
        while (take(digit()))
            digits++;
    if (digits && (*p == 'e' || *p == 'E')) {
        size_t mark = n;
        const char *at = p;
        take(true);
        take(*p == '+' || *p == '-');
        if (!digit())
            n = mark, p = at;
        while (take(digit()))
            ;
    }
    number[n] = 0;
    if (!digits)
        return 0;
    double v = strtod(number, NULL);
    return isfinite(v) ? v : 0;
}
