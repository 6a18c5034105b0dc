// The status services: a line of text on an image window's status pop-up.
#include "view/status.h"
#include "base/settings.h"
#include <stdio.h>
#include <string.h>

void PaintSunkenFrame(HWND hwnd, HDC dc)
{
    RECT r;
    GetClientRect(hwnd, &r);
    DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT);
}

QZS_DECL(int) QzsStatMessage(ImageWindow *window, const char *text)
{
    if (!window || !window->statusWindow || !text)
        return 0;
    HDC dc = GetDC(window->statusWindow);
    if (!dc)
        return 0;
    SetTextColor(dc, 0);
    SetBkColor(dc, 0xC0C0C0);
    HGDIOBJ old = SelectObject(dc, GetStatusFont());
    static const char blanks[] = "                                                                 "; // 65
    TextOutA(dc, 0, 2, blanks, 65);
    TextOutA(dc, 2, 2, text, (int)strnlen(text, 100));
    SelectObject(dc, old);
    PaintSunkenFrame(window->statusWindow, dc);
    ReleaseDC(window->statusWindow, dc);
    return 1;
}

QZS_DECL(int) QzsDispStatXY(ImageWindow *window, int x, int y)
{
    char text[100];
    snprintf(text, sizeof text, "[%3d %3d]", x, y);
    return QzsStatMessage(window, text);
}

void FormatStat2Points(char *out, size_t size, int x1, int y1, int x2, int y2)
{
    snprintf(out, size, "[%3d %3d]-[%3d %3d](%3d %3d)", x1, y1, x2, y2, x2 - x1, y2 - y1);
}

QZS_DECL(int) QzsDispStat2Points(ImageWindow *window, int x1, int y1, int x2, int y2)
{
    char text[100];
    FormatStat2Points(text, sizeof text, x1, y1, x2, y2);
    return QzsStatMessage(window, text);
}
