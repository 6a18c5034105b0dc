// The points of the figure being drawn: one list for the whole program, in the coordinates of the
// image group drawn in. Draw plug-ins fill it through the point services; the polygon fill reads it.
#pragma once
#include "ovrin.h"

enum { kPointListCapacity = 5120 };
