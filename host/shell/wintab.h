// The parts of the Wintab interface the program uses, declared from the published standard.
#pragma once
#include <windows.h>
#include <stdint.h>

typedef HANDLE HCTX;

struct WintabContext { // LOGCONTEXTA
    char name[40];
    UINT options, status, locks, msgBase, device, packetRate;
    DWORD packetData, packetMode, moveMask, buttonDownMask, buttonUpMask;
    LONG inOrgX, inOrgY, inOrgZ, inExtX, inExtY, inExtZ;
    LONG outOrgX, outOrgY, outOrgZ, outExtX, outExtY, outExtZ;
    DWORD sensX, sensY, sensZ;
    BOOL sysMode;
    int sysOrgX, sysOrgY, sysExtX, sysExtY;
    DWORD sysSensX, sysSensY;
};
static_assert(sizeof(WintabContext) == 172, "Wintab context record");

struct WintabAxis { // AXIS
    LONG min, max;
    UINT units;
    DWORD resolution;
};
static_assert(sizeof(WintabAxis) == 16, "Wintab axis record");

// The packet for data mask 0x15C2: status, buttons, x, y, normal pressure, orientation.
struct WintabPacket {
    UINT status;
    DWORD buttons;
    LONG x, y;
    UINT normalPressure;
    int azimuth, altitude, twist;
};
static_assert(sizeof(WintabPacket) == 32, "Wintab packet");

enum : unsigned {
    kWintabDefaultSystemContext = 4, // WTI_DEFSYSCTX
    kWintabDevices = 100,            // WTI_DEVICES
    kWintabNormalPressure = 15,      // DVC_NPRESSURE
    kWintabPacketData = 0x15C2,
    kWintabPacketMode = 0x40,
    kWintabMessageBase = 0x7FF0,
};

typedef UINT(WINAPI *WTInfoAProc)(UINT category, UINT index, LPVOID out);
typedef HCTX(WINAPI *WTOpenAProc)(HWND window, WintabContext *context, BOOL enable);
typedef int(WINAPI *WTPacketsGetProc)(HCTX context, int most, LPVOID packets);
