// Tablet pressure: the Wintab library's three entry points, one context on the main window, and
// the newest packet's values, kept between reads.
#include "shell/tablet.h"
#include "shell/wintab.h"
#include <stdio.h>

static HMODULE s_library;
static WTInfoAProc s_info;
static WTOpenAProc s_open;
static WTPacketsGetProc s_packetsGet;
static HCTX s_context;
static LONG s_pressureMin, s_pressureMax;
static int s_lastX, s_lastY, s_lastPressure = 255;

enum { kPacketBatch = 32, kMostBatches = 256 }; // a queue is drained in at most this many batches

static int LoadTabletLibrary(const char *path)
{
    s_library = LoadLibraryA(path);
    if (!s_library)
        return 0;
    s_info = (WTInfoAProc)(void *)GetProcAddress(s_library, "WTInfoA");
    s_open = (WTOpenAProc)(void *)GetProcAddress(s_library, "WTOpenA");
    s_packetsGet = (WTPacketsGetProc)(void *)GetProcAddress(s_library, "WTPacketsGet");
    return 1;
}

// Nonzero when Wintab services are there and the tablet has a pressure range to scale by.
static int DetectTablet()
{
    if (!s_info)
        return 0;
    WintabContext context = {};
    s_info(kWintabDefaultSystemContext, 0, &context);
    WintabAxis axis = {};
    s_info(kWintabDevices, kWintabNormalPressure, &axis);
    s_pressureMin = axis.min;
    s_pressureMax = axis.max;
    // Without a positive maximum no pressure can be scaled: that is no tablet for us.
    if (s_pressureMax <= 0)
        return 0;
    return (int)s_info(0, 0, NULL);
}

static int OpenTabletContext(HWND window)
{
    if (!s_info || !s_open)
        return 0;
    WintabContext context = {};
    s_info(kWintabDefaultSystemContext, 0, &context);
    context.msgBase = kWintabMessageBase;
    context.packetData = kWintabPacketData;
    context.moveMask = kWintabPacketData;
    // The pressure comes absolute: the pen scales by it against the range's maximum.
    context.packetMode = kWintabPacketMode;
    context.buttonUpMask = context.buttonDownMask;
    s_context = s_open(window, &context, TRUE);
    return s_context ? 1 : 0;
}

int InitTabletFrom(const char *libraryPath, HWND window)
{
    CloseTablet();
    if (!LoadTabletLibrary(libraryPath) || !DetectTablet())
        return 0;
    return OpenTabletContext(window);
}

void InitTablet(HWND window)
{
    char system[256] = "", path[300];
    UINT n = GetSystemDirectoryA(system, sizeof system);
    if (n == 0 || n >= sizeof system)
        return;
    snprintf(path, sizeof path, "%s\\wintab32.dll", system);
    InitTabletFrom(path, window);
}

void CloseTablet()
{
    // The context belongs to the window it was opened on and goes with it.
    s_context = NULL;
    s_info = NULL;
    s_open = NULL;
    s_packetsGet = NULL;
    if (s_library)
        FreeLibrary(s_library);
    s_library = NULL;
    s_pressureMin = s_pressureMax = 0;
    s_lastX = s_lastY = 0;
    s_lastPressure = 255;
}

// Takes every queued packet; the newest one's values become the last ones. The queue is read in
// batches into a buffer of our size, and a driver that never runs dry is stopped after a bound.
static void DrainPackets(bool keep)
{
    if (!s_packetsGet || !s_context)
        return;
    WintabPacket batch[kPacketBatch];
    for (int round = 0; round < kMostBatches; round++) {
        int n = s_packetsGet(s_context, kPacketBatch, batch);
        if (n <= 0)
            return;
        if (n > kPacketBatch)
            n = kPacketBatch;
        if (keep) {
            s_lastX = batch[n - 1].x;
            s_lastY = batch[n - 1].y;
            s_lastPressure = (int)batch[n - 1].normalPressure;
        }
        if (n < kPacketBatch)
            return;
    }
}

int ReadTabletPacket(int *x, int *y, int *pressure, int *maxPressure)
{
    *x = *y = 0;
    *pressure = 255;
    *maxPressure = 0;
    if (!s_context)
        return 0;
    DrainPackets(true);
    *x = s_lastX;
    *y = s_lastY;
    // A driver's value beyond the range would make the pen larger than its full size.
    *pressure = s_lastPressure < 0 ? 0 : s_lastPressure > s_pressureMax ? (int)s_pressureMax : s_lastPressure;
    *maxPressure = (int)s_pressureMax;
    return 1;
}

void FlushTabletPackets()
{
    DrainPackets(false);
}

QZS_DECL(int) QzsCheckTablet(void)
{
    return s_context ? 1 : 0;
}
