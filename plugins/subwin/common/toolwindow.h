// The frame every sub-window module shares: its tool window in the program's tool-window look,
// bitmaps matched to the system colours, tool tips, a combo box that keeps its button release to
// itself, small pictures at the screen depth painted through the host's dither writer, and the
// messages a module leaves to the host.
#pragma once
#include "ovrin.h"
#include <commctrl.h>

namespace sw {

const DWORD kToolStyle = 0x00C80080; // caption and system menu, the program's tool-window style

// Registers the window class (arrow cursor, button-face background). A failure is told with the
// box and creating the window is tried all the same.
inline void RegisterToolClass(HINSTANCE instance, const char *name, WNDPROC procedure, const char *failure)
{
    WNDCLASSA c = {};
    c.lpfnWndProc = procedure;
    c.hInstance = instance;
    c.hCursor = LoadCursorA(NULL, IDC_ARROW);
    c.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    c.lpszClassName = name;
    if (!RegisterClassA(&c) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        MessageBoxA(NULL, failure, "SYSError", MB_OK);
}

// The tool window with its client area of cx x cy; NULL after the failure box over the owner.
inline HWND CreateToolWindow(HINSTANCE instance, HWND owner, const char *className, const char *caption, int x,
                             int y, int cx, int cy, const char *failure)
{
    HWND window = CreateWindowExA(WS_EX_DLGMODALFRAME, className, caption, kToolStyle, x, y, cx + 8, cy + 28, owner,
                                  NULL, instance, NULL);
    if (!window) {
        MessageBoxA(owner, failure, "Error", MB_OK);
        return NULL;
    }
    QzsAdjustClientRegion(window, cx, cy);
    EnableMenuItem(GetSystemMenu(window, FALSE), SC_MAXIMIZE, MF_BYCOMMAND | MF_GRAYED);
    return window;
}

// A bitmap resource with its light grey turned into the system's colour.
inline HBITMAP LoadToolBitmap(HINSTANCE instance, int id)
{
    HBITMAP bitmap = LoadBitmapA(instance, MAKEINTRESOURCEA(id));
    QzsSetBackColorInBitmap(bitmap);
    return bitmap;
}

inline void DrawBitmap(HDC dc, HBITMAP bitmap, int x, int y)
{
    BITMAP info;
    if (!bitmap || !GetObjectA(bitmap, sizeof info, &info))
        return;
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(dc, x, y, info.bmWidth, info.bmHeight, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
}

inline LRESULT CALLBACK SwallowButtonUp(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    WNDPROC previous = (WNDPROC)GetWindowLongPtrA(window, GWLP_USERDATA);
    if (message == WM_LBUTTONUP)
        return 0;
    return CallWindowProcA(previous, window, message, wParam, lParam);
}

// A drop-down list that keeps the release of the left button to itself.
inline HWND CreateComboBox(HINSTANCE instance, HWND parent, int id, int x, int y, int width, int listHeight)
{
    HWND combo = CreateWindowExA(0, "COMBOBOX", NULL, WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST, x, y,
                                 width, listHeight, parent, (HMENU)(INT_PTR)id, instance, NULL);
    if (combo) {
        LONG_PTR previous = SetWindowLongPtrA(combo, GWLP_WNDPROC, (LONG_PTR)SwallowButtonUp);
        SetWindowLongPtrA(combo, GWLP_USERDATA, previous);
    }
    return combo;
}

inline HWND CreateToolTips(HINSTANCE instance, HWND owner)
{
    InitCommonControls();
    return CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, NULL, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, NULL, instance, NULL);
}

// A tip over a rectangle of the window's client area.
inline void AddTip(HWND tips, HWND window, UINT_PTR id, RECT area, const char *text)
{
    if (!tips)
        return;
    TOOLINFOA info = {};
    info.cbSize = TTTOOLINFOA_V1_SIZE;
    info.uFlags = TTF_SUBCLASS;
    info.hwnd = window;
    info.uId = id;
    info.rect = area;
    info.lpszText = (char *)text;
    SendMessageA(tips, TTM_ADDTOOLA, 0, (LPARAM)&info);
}

// A tip over a child control, shown while the pointer is over it.
inline void AddControlTip(HWND tips, HWND window, HWND control, const char *text)
{
    if (!tips || !control)
        return;
    TOOLINFOA info = {};
    info.cbSize = TTTOOLINFOA_V1_SIZE;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = window;
    info.uId = (UINT_PTR)control;
    info.lpszText = (char *)text;
    SendMessageA(tips, TTM_ADDTOOLA, 0, (LPARAM)&info);
}

inline void ShowText(HDC dc, HFONT font, int x, int y, const char *text, COLORREF color = RGB(0, 0, 0))
{
    HGDIOBJ old = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, color);
    TextOutA(dc, x, y, text, lstrlenA(text));
    SelectObject(dc, old);
}

// ---- pictures at the screen depth ----

struct Picture {
    CDIB image;
    int width, height;
    bool made;
};

inline bool MakePicture(Picture &p, int width, int height)
{
    p.width = width;
    p.height = height;
    p.made = QzsCreateCDIBwithSYSDEPTH(width, height, &p.image) == 0;
    return p.made;
}

inline void FreePicture(Picture &p)
{
    if (p.made)
        QzsDisposeCDIB(&p.image);
    p.made = false;
}

// Colour as blue, green, red, alpha.
inline void Pixel(uint8_t out[4], int red, int green, int blue)
{
    out[0] = (uint8_t)blue, out[1] = (uint8_t)green, out[2] = (uint8_t)red, out[3] = 255;
}

// The rectangle (x0, y0)-(x1, y1), inclusive, in one colour; only the picture's own pixels.
inline void FillPicture(Picture &p, int x0, int y0, int x1, int y1, const uint8_t color[4])
{
    if (!p.made)
        return;
    x0 = x0 < 0 ? 0 : x0, y0 = y0 < 0 ? 0 : y0;
    x1 = x1 >= p.width ? p.width - 1 : x1, y1 = y1 >= p.height ? p.height - 1 : y1;
    for (int y = y0; y <= y1; y++) {
        if (x0 > x1)
            break;
        QzsStartDither(x0, y, p.width, p.height);
        for (int x = x0; x <= x1; x++)
            QzsSetDitherColor(&p.image, x, y, color);
    }
}

inline void PutPixel(Picture &p, int x, int y, const uint8_t color[4])
{
    FillPicture(p, x, y, x, y, color);
}

inline void ShowPicture(HWND window, Picture &p, int x, int y)
{
    if (p.made)
        QzsDrawCDIB(window, &p.image, x, y);
}

// What a module does not handle itself: the host's docking reactions, then the system's default.
inline LRESULT DefaultMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    QzsDefSubWinProc(window, message, wParam, lParam);
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace sw
