// A stand-in Wintab library with one pressure tablet, for the tests: the pressure axis's maximum,
// a queue of packets filled by the test, the context it was opened with, and a driver that never
// runs dry.
//
// The environment steers it when no test calls in:
//   OVRIN_FAKE_TABLET_MAX       the pressure axis's maximum (default 1023)
//   OVRIN_FAKE_TABLET_PRESSURE  every read finds one packet with this pressure
//   OVRIN_FAKE_TABLET_LOG       a file each opened context is appended to, one line each
#include "shell/wintab.h"
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

enum { kQueue = 4096 };
WintabPacket s_queue[kQueue];
int s_head, s_count;
int s_maximum = -1; // -1: from the environment
bool s_endless;
int s_opens;
WintabContext s_opened;
HWND s_openedOn;

int Maximum()
{
    if (s_maximum == -1) {
        const char *text = getenv("OVRIN_FAKE_TABLET_MAX");
        s_maximum = text ? atoi(text) : 1023;
    }
    return s_maximum;
}

void LogOpen(HWND window, const WintabContext *c)
{
    const char *path = getenv("OVRIN_FAKE_TABLET_LOG");
    FILE *f = path ? fopen(path, "a") : NULL;
    if (!f)
        return;
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    fprintf(f, "open class=%s base=%x data=%lx move=%lx mode=%lx up=%lx down=%lx\n", name, c->msgBase,
            (unsigned long)c->packetData, (unsigned long)c->moveMask, (unsigned long)c->packetMode,
            (unsigned long)c->buttonUpMask, (unsigned long)c->buttonDownMask);
    fclose(f);
}

} // namespace

#define FAKE_EXPORT(type) extern "C" __declspec(dllexport) type WINAPI

FAKE_EXPORT(UINT) WTInfoA(UINT category, UINT index, LPVOID out)
{
    if (category == 0)
        return 1;
    if (category == kWintabDefaultSystemContext && index == 0) {
        WintabContext c = {};
        strcpy(c.name, "Stand-in");
        c.packetData = 0x80 | 0x100;
        c.packetMode = 0;
        c.buttonDownMask = 0x5;
        c.buttonUpMask = 0;
        if (out)
            memcpy(out, &c, sizeof c);
        return sizeof c;
    }
    if (category == kWintabDevices && index == kWintabNormalPressure) {
        WintabAxis axis = {0, Maximum(), 0, 0};
        if (out)
            memcpy(out, &axis, sizeof axis);
        return sizeof axis;
    }
    return 0;
}

FAKE_EXPORT(HCTX) WTOpenA(HWND window, WintabContext *context, BOOL)
{
    if (!context)
        return NULL;
    s_opens++;
    s_opened = *context;
    s_openedOn = window;
    LogOpen(window, context);
    return (HCTX)(INT_PTR)0x7AB;
}

FAKE_EXPORT(int) WTPacketsGet(HCTX context, int most, LPVOID packets)
{
    if (context != (HCTX)(INT_PTR)0x7AB || most <= 0 || !packets)
        return 0;
    WintabPacket *out = (WintabPacket *)packets;
    if (s_endless) {
        for (int i = 0; i < most; i++)
            out[i] = WintabPacket{0, 0, i, i, 7, 0, 0, 0};
        return most;
    }
    if (s_count == 0) {
        const char *text = getenv("OVRIN_FAKE_TABLET_PRESSURE");
        if (!text)
            return 0;
        out[0] = WintabPacket{0, 0, 0, 0, (UINT)atoi(text), 0, 0, 0};
        return 1;
    }
    int n = most < s_count ? most : s_count;
    for (int i = 0; i < n; i++) {
        out[i] = s_queue[s_head];
        s_head = (s_head + 1) % kQueue;
    }
    s_count -= n;
    return n;
}

// ---- for the tests ----

FAKE_EXPORT(void) FakeTabletQueue(int x, int y, int pressure)
{
    if (s_count == kQueue)
        return;
    s_queue[(s_head + s_count) % kQueue] = WintabPacket{0, 0, x, y, (UINT)pressure, 0, 0, 0};
    s_count++;
}

FAKE_EXPORT(int) FakeTabletQueued() { return s_count; }
FAKE_EXPORT(void) FakeTabletSetMaximum(int maximum) { s_maximum = maximum; }
FAKE_EXPORT(void) FakeTabletEndless(int on) { s_endless = on != 0; }

// How often a context was opened; the last one's record and window.
FAKE_EXPORT(int) FakeTabletOpened(WintabContext *context, HWND *window)
{
    if (context)
        *context = s_opened;
    if (window)
        *window = s_openedOn;
    return s_opens;
}
