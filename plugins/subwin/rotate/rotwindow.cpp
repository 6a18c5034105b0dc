// The "Rotate Image" tool window: three picture buttons for the turns, the angle edit with its
// up-down control and the "Rotate" button, and the "New Image" box that sends the result to a new
// untitled image instead of the current window.
#include "rotate.h"
#include <math.h>
#include <stdio.h>

RotateTool g_rot;

namespace {

struct TurnButton {
    int id, x, y, normal, pressed;
    const char *tip;
};
const TurnButton kTurnButtons[3] = {
    {kTurn270, 3, 10, 221, 222, "270"},
    {kTurn90, 45, 10, 201, 202, "90"},
    {kTurn180, 25, 35, 211, 212, "180"},
};

// The window's turn of the current layer image, into the window or a new image.
void TurnCurrentImage(int id)
{
    ImageWindow *window = QzsGetCurrentWindow();
    if (!window || !window->layerImage)
        return;
    CDIB *turned;
    if (id == kRotateButton) {
        char text[101] = "";
        GetWindowTextA(g_rot.edit, text, sizeof text);
        g_rot.angle = ReadAngle(text);
        turned = RotateByAngle(window->layerImage, g_rot.angle);
    } else {
        turned = TurnQuarter(window->layerImage, id);
    }
    if (!turned)
        return;
    bool newImage = SendDlgItemMessageA(g_rot.window, kNewImageBox, BM_GETCHECK, 0, 0) == BST_CHECKED;
    // Either service takes the image only when it succeeds.
    int taken = newImage ? QzsSetCDIB(turned) : QzsReplaceWinImage(window, turned, 1);
    if (!taken)
        FreeTurnedImage(turned);
}

const TurnButton *FindTurnButton(UINT id)
{
    for (const TurnButton &b : kTurnButtons)
        if ((UINT)b.id == id)
            return &b;
    return NULL;
}

void OnDrawItem(const DRAWITEMSTRUCT *item)
{
    const TurnButton *b = FindTurnButton(item->CtlID);
    if (!b)
        return;
    int k = (int)(b - kTurnButtons);
    HBITMAP picture = g_rot.bitmaps[2 * k + ((item->itemState & ODS_SELECTED) ? 1 : 0)];
    sw::DrawBitmap(item->hDC, picture, item->rcItem.left, item->rcItem.top);
}

void OnPaint(HWND window)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT frame = {5, 65, 105, 140};
    DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
    EndPaint(window, &ps);
}

HWND Control(HWND parent, const char *cls, const char *text, DWORD style, int x, int y, int cx, int cy, int id)
{
    return CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, cx, cy, parent, (HMENU)(INT_PTR)id,
                           g_rot.instance, NULL);
}

void OnCreate(HWND window)
{
    for (const TurnButton &b : kTurnButtons)
        Control(window, "BUTTON", b.tip, BS_OWNERDRAW, b.x, b.y, 40, 20, b.id);
    Control(window, "BUTTON", "Rotate", BS_PUSHBUTTON | WS_TABSTOP, 15, 110, 60, 20, kRotateButton);
    Control(window, "BUTTON", "New Image", BS_AUTOCHECKBOX | WS_TABSTOP, 5, 147, 95, 20, kNewImageBox);
}

LRESULT HitTest(HWND window, WPARAM wParam, LPARAM lParam)
{
    // The window is dragged by its body.
    LRESULT hit = DefWindowProcA(window, WM_NCHITTEST, wParam, lParam);
    return hit == HTCLIENT ? HTCAPTION : hit;
}

LRESULT CALLBACK RotateWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: OnCreate(window); return 0;
    case WM_PAINT: OnPaint(window); return 0;
    case WM_DRAWITEM: OnDrawItem((const DRAWITEMSTRUCT *)lParam); return TRUE;
    case WM_NCHITTEST: return HitTest(window, wParam, lParam);
    case WM_CLOSE: QzsHideDlg(window); return 0;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case kTurn90:
        case kTurn180:
        case kTurn270:
        case kRotateButton: TurnCurrentImage(LOWORD(wParam)); break;
        }
        return 0;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP: return 0;
    default: return sw::DefaultMessage(window, message, wParam, lParam);
    }
}

void MakeAngleControls(HWND window)
{
    g_rot.edit = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 15,
                                 80, 75, 24, window, (HMENU)(INT_PTR)kAngleEdit, g_rot.instance, NULL);
    // The up arrow moves toward 0: 360 is the lower limit.
    g_rot.upDown = CreateWindowExA(0, UPDOWN_CLASSA, NULL,
                                   WS_CHILD | WS_VISIBLE | UDS_ALIGNRIGHT | UDS_SETBUDDYINT | UDS_ARROWKEYS, 0, 0, 0,
                                   0, window, (HMENU)(INT_PTR)kAngleUpDown, g_rot.instance, NULL);
    SendMessageA(g_rot.upDown, UDM_SETBUDDY, (WPARAM)g_rot.edit, 0);
    SendMessageA(g_rot.upDown, UDM_SETRANGE, 0, MAKELPARAM(0, 360));
    SendMessageA(g_rot.upDown, UDM_SETPOS, 0, MAKELPARAM((int)lround(g_rot.angle), 0));
    char text[32];
    snprintf(text, sizeof text, "%d", (int)lround(g_rot.angle));
    SetWindowTextA(g_rot.edit, text);
}

void MakeTips(HWND window)
{
    g_rot.tips = sw::CreateToolTips(g_rot.instance, window);
    for (const TurnButton &b : kTurnButtons)
        sw::AddControlTip(g_rot.tips, window, GetDlgItem(window, b.id), b.tip);
}

} // namespace

HWND CreateRotateWindow(HINSTANCE instance, HWND owner, int x, int y)
{
    g_rot.instance = instance;
    g_rot.owner = owner;
    g_rot.angle = 45.0;
    sw::RegisterToolClass(instance, "RotateImg", RotateWindowProc, "Can't regist capture-win class!");
    HWND window = sw::CreateToolWindow(instance, owner, "RotateImg", "Rotate Image", x, y, 90, 170,
                                       "Can't create ScreenCapture !");
    if (!window)
        return NULL;
    g_rot.window = window;
    InitCommonControls();
    MakeAngleControls(window);
    MakeTips(window);
    for (int k = 0; k < 3; k++) {
        g_rot.bitmaps[2 * k] = sw::LoadToolBitmap(instance, kTurnButtons[k].normal);
        g_rot.bitmaps[2 * k + 1] = sw::LoadToolBitmap(instance, kTurnButtons[k].pressed);
    }
    return window;
}

void FreeRotateTool()
{
    for (HBITMAP b : g_rot.bitmaps)
        if (b)
            DeleteObject(b);
    g_rot = RotateTool{};
}
