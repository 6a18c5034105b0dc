// Pictures of the tool bar, the menus and the plug-in lists drawn on the system's menu colour.
#include "ovrin.h"
#include <stdint.h>
#include <stdlib.h>

// For a bitmap that cannot be read in one piece.
static int ReplaceGreyPixelByPixel(HBITMAP bitmap, const BITMAP &info)
{
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

// Every pixel of exactly light grey takes the menu colour, so the pictures sit on the system's
// own colour. The pixels are read and written in one pass each: one call a pixel goes to the
// window system every time, hundreds of times a button at start-up.
QZS_DECL(int) QzsSetBackColorInBitmap(HBITMAP bitmap)
{
    if (!bitmap)
        return 0;
    BITMAP info;
    if (!GetObjectA(bitmap, sizeof info, &info))
        return 0;
    int64_t count = (int64_t)info.bmWidth * info.bmHeight;
    uint32_t *pixels = info.bmWidth > 0 && info.bmHeight > 0 && count <= ((int64_t)1 << 24)
                           ? (uint32_t *)malloc((size_t)count * 4)
                           : NULL;
    if (!pixels)
        return ReplaceGreyPixelByPixel(bitmap, info);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = info.bmWidth;
    bi.bmiHeader.biHeight = -info.bmHeight; // top row first
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(NULL);
    int result = 1;
    if (GetDIBits(screen, bitmap, 0, (UINT)info.bmHeight, pixels, &bi, DIB_RGB_COLORS) != info.bmHeight) {
        result = ReplaceGreyPixelByPixel(bitmap, info);
    } else {
        COLORREF menu = GetSysColor(COLOR_MENU);
        uint32_t shown = (uint32_t)GetRValue(menu) << 16 | (uint32_t)GetGValue(menu) << 8 | GetBValue(menu);
        bool changed = false;
        for (int64_t i = 0; i < count; i++)
            if ((pixels[i] & 0xFFFFFF) == 0xC0C0C0) {
                pixels[i] = shown;
                changed = true;
            }
        if (changed)
            SetDIBits(screen, bitmap, 0, (UINT)info.bmHeight, pixels, &bi, DIB_RGB_COLORS);
    }
    ReleaseDC(NULL, screen);
    free(pixels);
    return result;
}
