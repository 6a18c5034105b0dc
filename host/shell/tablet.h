// Pressure input from a tablet through the Wintab library, loaded at run time. Without the library
// or a tablet with a usable pressure range nothing is read and the pressure stays 255.
#pragma once
#include "ovrin.h"

// Loads "wintab32.dll" from the system directory and, when a tablet is there, opens its context
// on the window.
void InitTablet(HWND window);
// The same from the library at path (tests use a stand-in); 1 when a context was opened.
int InitTabletFrom(const char *libraryPath, HWND window);
void CloseTablet(); // forgets the context and unloads the library
// The newest packet's position and pressure and the pressure range's maximum; 0 without a tablet.
int ReadTabletPacket(int *x, int *y, int *pressure, int *maxPressure);
void FlushTabletPackets(); // packets queued so far are dropped
