// What the figures programs that work on a picture in a group start with.
#pragma once
#include "ovrin.h"
#include "base/settings.h"
#include "image/colors.h"
#include "image/imagelist.h"
#include <stdint.h>
#include <stdio.h>

// Default settings (in the temporary directory) and default colours.
inline void StartWithDefaults()
{
    char dir[MAX_PATH];
    GetTempPathA(sizeof dir, dir);
    SetDefaultSettings(dir);
    SetDefaultColors();
}

// The base of a new group (g_lastGroup): a size x size 32-bit picture of opaque noise; NULL, said
// on stderr, without memory.
inline CDIB *NoiseBase(int size)
{
    CDIB *base = NULL;
    if (CreateImageRecord(&base, size, size, 32) != 0 || AddImageGroup(base) != 1) {
        fprintf(stderr, "no memory for a %d x %d image\n", size, size);
        return NULL;
    }
    uint32_t *px = (uint32_t *)base->pixels;
    for (size_t i = 0; i < (size_t)size * size; i++)
        px[i] = 0xFF000000u | (uint32_t)(i * 2654435761u >> 8);
    return base;
}
