// Pressure input from a tablet.
#pragma once
#include "ovrin.h"

void InitTablet(HWND window);
