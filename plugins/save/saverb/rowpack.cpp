#include "rowpack.h"
#include <string.h>

// Equal bytes ending at i, counted leftwards.
static size_t RunBefore(const uint8_t *row, size_t i)
{
    size_t c = 1;
    while (c <= i && row[i - c] == row[i])
        c++;
    return c;
}

size_t PackRow(const uint8_t *row, size_t n, uint8_t *out)
{
    // Packets are made from the end backwards into the tail of out, so that they land in file order.
    size_t room = n + n / 128 + 1;
    size_t at = room;
    size_t end = n; // bytes [0, end) are still to pack
    while (end > 0) {
        size_t run = RunBefore(row, end - 1);
        if (run >= 3) {
            while (run > 0) {
                size_t c = run > 128 ? 128 : run;
                out[--at] = row[end - 1];
                out[--at] = (uint8_t)(int8_t)(1 - (int)c);
                run -= c;
                end -= c;
            }
            continue;
        }
        size_t start = end - 1;
        while (start > 0 && RunBefore(row, start - 1) < 3)
            start--;
        size_t count = end - start;
        while (count > 0) {
            size_t c = count > 128 ? 128 : count;
            at -= c;
            memcpy(out + at, row + end - c, c);
            out[--at] = (uint8_t)(c - 1);
            count -= c;
            end -= c;
        }
    }
    size_t length = room - at;
    memmove(out, out + at, length);
    return length;
}
