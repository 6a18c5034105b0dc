/* PNG files whose image data are stored deflate blocks (no compression): what the test stand-ins
 * for the PNG save plug-in and the outside PNG reader write and read. 8-bit RGB (colour type 2) and
 * RGBA (colour type 6), filter type 0 on every row, no interlace. */
#ifndef TESTS_PNGSTORED_H
#define TESTS_PNGSTORED_H
#include <stddef.h>
#include <stdint.h>

/* A whole PNG file in a malloc'd buffer from top-down rows of 3 (RGB) or 4 (RGBA) bytes a pixel;
 * NULL when there is no memory. */
uint8_t *PngBuild(const uint8_t *pixels, int width, int height, int channels, size_t *size);

/* 1 when the data start with the PNG signature (8 bytes are read). */
int PngHasSignature(const uint8_t *data);

/* Reads a PNG of this kind from at most limit bytes: top-down rows of *channels bytes a pixel in a
 * malloc'd buffer, or NULL when the data are not such a PNG (every chunk's CRC is checked). */
uint8_t *PngParse(const uint8_t *data, size_t limit, int *width, int *height, int *channels);

#endif
