// Acquiring one picture: the parent window, the modal loop that feeds the enabled source its
// events, the native transfer, and the source-selection dialog.
#include "files/twain.h"
#include "files/twain_internal.h"
#include "base/app.h"
#include <stdio.h>

namespace {

HWND s_proxy;      // the parent when the caller gives no window; lives until the program ends
int s_stopLoop;    // the modal loop ends at its next look
HGLOBAL s_picture; // what the last transfer delivered

HWND ProxyWindow()
{
    if (!s_proxy) {
        s_proxy = CreateWindowA("STATIC", "Acquire Proxy", WS_POPUP | WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, NULL, NULL, g_instance, NULL);
        if (!s_proxy)
            ShowTwainBox("TWAIN: Unable to create proxy window");
    }
    return s_proxy;
}

void ChooseParent(HWND window)
{
    if (window && IsWindow(window)) {
        SetTwainParent(window);
        return;
    }
    if (window)
        ShowTwainBox("TWAIN: window handle is invalid");
    SetTwainParent(ProxyWindow());
}

void NativeTransfer()
{
    if (GetTwainState() != 6)
        return;
    HGLOBAL picture = NULL; // pointer-sized: the 64-bit manager hands over a full handle
    uint16_t rc = CallTwainManager(TwainSourceIdentity(), kDgImage, kDatImageNativeXfer, kMsgGet, &picture);
    if (s_picture)
        GlobalFree(s_picture); // an earlier picture of this session nobody took
    s_picture = NULL;
    if (rc == kRcXferDone) {
        s_picture = picture;
        s_stopLoop = 1;
        SetTwainTransferState(7);
    } else if (rc == kRcCancel) {
        if (picture)
            GlobalFree(picture);
        SetTwainTransferState(7);
    }
    EndTwainTransfer();
}

// Messages go to the source until it is disabled or has delivered a picture.
void ModalLoop()
{
    s_stopLoop = 0;
    MSG msg;
    while (GetTwainState() >= 5) {
        BOOL got = GetMessageA(&msg, NULL, 0, 0);
        if (got == 0) {
            // The quit belongs to the program's own loop: it is posted again, not lost.
            PostQuitMessage((int)msg.wParam);
            break;
        }
        if (got < 0)
            break;
        if (!TwainMessageHook(&msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (GetTwainState() < 5 || s_stopLoop)
            break;
    }
    s_stopLoop = 0;
}

HGLOBAL WaitForNativeTransfer()
{
    HWND parent = GetTwainParent();
    BOOL wasDisabled = parent ? EnableWindow(parent, FALSE) : TRUE;
    if (GetTwainState() == 4 && !EnableTwainSource()) {
        ShowTwainErrorReport("Failed to enable Data Source.");
    } else if (GetTwainState() == 6) {
        NativeTransfer();
    } else if (GetTwainState() == 5) {
        ModalLoop();
    }
    if (parent && !wasDisabled)
        EnableWindow(parent, TRUE);
    HGLOBAL picture = s_picture;
    s_picture = NULL;
    return picture;
}

} // namespace

bool TwainMessageHook(MSG *message)
{
    if (GetTwainState() < 5 || !message)
        return false;
    TwEvent event = {message, 0};
    uint16_t rc = CallTwainManager(TwainSourceIdentity(), kDgControl, kDatEvent, kMsgProcessEvent, &event);
    if (event.message == kMsgXferReady) {
        SetTwainTransferState(6);
        NativeTransfer();
    } else if (event.message == kMsgCloseDsReq) {
        DisableTwainSource();
    }
    return rc == kRcDsEvent;
}

int TwainOpenDefaultSource()
{
    if (GetTwainState() >= 4)
        return 1;
    int before = GetTwainState();
    if (!GetTwainParent() || !IsWindow(GetTwainParent()))
        SetTwainParent(ProxyWindow());
    if (OpenTwainManager() && OpenTwainSource())
        return 1;
    ReturnTwainToState(before); // nothing stays open for a source that is not there
    return 0;
}

HGLOBAL TwainAcquireNative(HWND window, unsigned pixelTypes)
{
    ClearTwainError();
    ChooseParent(window);
    HGLOBAL picture = NULL;
    bool ready = true;
    if (GetTwainState() < 5) {
        if (!OpenTwainManager()) {
            ShowTwainBox("Unable to open Source Manager (" TWAIN_MANAGER_NAME ")");
            ready = false;
        } else if (!OpenTwainSource()) {
            ShowTwainErrorReport("Unable to open default Data Source.");
            ready = false;
        } else if (pixelTypes && !TwainNegotiatePixelType(pixelTypes)) {
            ShowTwainErrorReport("Failed to negotiate Pixel Type.");
            ready = false;
        }
    }
    if (ready && GetTwainState() >= 4)
        picture = WaitForNativeTransfer();
    if (GetTwainState() == 7)
        EndTwainTransfer();
    else if (GetTwainState() == 6)
        ResetTwainTransfers();
    CloseTwainSession();
    return picture;
}

int TwainSelectSource(HWND window)
{
    int before = GetTwainState();
    ChooseParent(window);
    if (!OpenTwainManager()) {
        ReturnTwainToState(before);
        return 0;
    }
    TwIdentity chosen = {};
    uint16_t rc = CallTwainManager(NULL, kDgControl, kDatIdentity, kMsgUserSelect, &chosen);
    ReturnTwainToState(before);
    return rc == kRcSuccess;
}
