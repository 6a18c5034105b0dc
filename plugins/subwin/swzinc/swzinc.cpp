// The layer manager's entry points: its window, the image changes it follows, and the host's
// messages after undo and when drawing is unlocked.
#include "swzinc.h"

QZC_EXPORT(HWND) QzcShowDlg(HINSTANCE instance, HWND owner, int x, int y)
{
    return CreateLayerManagerWindow(instance, owner, x, y);
}

QZC_EXPORT(int) QzcChangeImage(ImageGroup *group, LayerRecord *layer, CDIB *image, int code)
{
    FollowNotification(group, layer, image, code);
    return 0;
}

QZC_EXPORT(int) QzcReceiveMessage(int code, INT_PTR a, INT_PTR b)
{
    switch (code) {
    case 6: // undo or redo: the layers may have changed
        RebuildThumbnail();
        DrawOpacityBar();
        UpdateControls();
        if (g_lm.window)
            InvalidateRect(g_lm.window, NULL, FALSE);
        break;
    case 2: DrawingUnlocked(); break;
    }
    return 0;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    // Unloaded by the host (not at process end): the host destroyed the window first.
    if (reason == DLL_PROCESS_DETACH && !reserved) {
        FreeLayerManager();
        UnregisterClassA("Swzinc", instance);
    }
    return TRUE;
}
