// Acquisition from TWAIN devices: a glue layer that keeps the TWAIN state (1 before loading, 2
// manager loaded, 3 manager open, 4 source open, 5 source enabled, 6 transfer ready,
// 7 transferring), talks to the source manager through its one entry and receives one picture by
// native transfer.
#pragma once
#include "ovrin.h"

int IsTwainAvailable();                 // 1 when the manager can be loaded (asked once, answer kept)
int TwainSelectSource(HWND window);     // 1 when a source was chosen; the state returns to what it was
int TwainOpenDefaultSource();           // 1 when the default source is open (state 4)
void SetTwainHideUI(int hide);          // enable sources without their own dialog
int GetTwainHideUI();
// One picture as a movable packed DIB (header, colour table, rows) that the caller frees, or NULL;
// pixelTypes (bit t for pixel type t) is negotiated first unless 0. Everything is closed and the
// manager unloaded afterwards (state 1).
HGLOBAL TwainAcquireNative(HWND window, unsigned pixelTypes);
bool TwainMessageHook(MSG *message);    // true when the enabled source took the message
int WINAPI TwainUnloadAtExit(HINSTANCE module, DWORD reason, LPVOID reserved);

// Parts of the glue that the tests reach.
int GetTwainState();
int TwainNegotiatePixelType(unsigned pixelTypes); // in state 4; 1 negotiated
// The directory the manager is loaded from (NULL: the system's); the availability is asked again.
void SetTwainManagerDirectory(const char *directory);
void SetTwainStateObserver(void (*observer)(int state));

// Error codes of the glue (0 none) and their texts.
enum {
    kTwainErrCapGet = 2,
    kTwainErrCapSet = 3,
    kTwainErrDsm = 4,
    kTwainErrDs = 5,
    kTwainErrNotState4 = 7,
    kTwainErrNullContainer = 8,
    kTwainErrBadContainer = 9,
    kTwainErrContainerType = 10,
    kTwainErrItemType = 11,
    kTwainErrEmpty = 12,
    kTwainErrNoCommon = 13,
};
const char *TwainErrorDetail(int code);
const char *TwainReturnCodeName(int rc);
const char *TwainConditionCodeName(int cc);
// The text of an error report: with the return and condition codes for codes 2 to 5.
void FormatTwainErrorReport(char *out, size_t size, const char *message, int code, int rc, int cc);
// A pixel-type container reduced to the types of the mask, in place; 0 or the error code.
int ReducePixelTypes(uint16_t conType, void *container, size_t bytes, unsigned pixelTypes, bool *changed);
