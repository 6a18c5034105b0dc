// Pictures of the tool bar, the menus and the plug-in lists drawn on the system's menu colour.
#include "ovrin.h"

// Every pixel of exactly light grey takes the menu colour, so the pictures sit on the system's
// own colour.
QZS_DECL(int) QzsSetBackColorInBitmap(HBITMAP bitmap)
{
    if (!bitmap)
        return 0;
    BITMAP info;
    if (!GetObjectA(bitmap, sizeof info, &info))
        return 0;
    HDC screen = GetDC(NULL);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, bitmap);
    COLORREF menu = GetSysColor(COLOR_MENU);
    for (int y = 0; y < info.bmHeight; y++)
        for (int x = 0; x < info.bmWidth; x++)
            if (GetPixel(memory, x, y) == RGB(192, 192, 192))
                SetPixel(memory, x, y, menu);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(NULL, screen);
    return 1;
}
