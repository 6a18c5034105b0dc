// Run-length packing of one row: runs of three or more equal bytes become run packets, the rest
// literal packets of at most 128 bytes. The row is scanned from its end, so where a long stretch
// is split the shorter piece comes first.
#pragma once
#include <stddef.h>
#include <stdint.h>

// Packs n bytes into out (room for n + n / 128 + 1 bytes); returns the packed length.
size_t PackRow(const uint8_t *row, size_t n, uint8_t *out);
