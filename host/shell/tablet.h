// Pressure input from a tablet.
#pragma once
#include "ovrin.h"

void InitTablet(HWND window);
// The newest packet's position and pressure and the pressure range's maximum; 0 without a tablet.
int ReadTabletPacket(int *x, int *y, int *pressure, int *maxPressure);
void FlushTabletPackets(); // packets queued so far are dropped
