// The start-up title window: the title picture, the version line and one status line per
// plug-in kind while the plug-ins load. Messages raised meanwhile are collected.
#include "shell/startup.h"
#include "files/bmp.h"
#include "base/app.h"
#include "base/settings.h"
#include "base/messages.h"
#include <stdio.h>
#include <string.h>

static struct {
    HGLOBAL headerBlock, bitsBlock;
    BITMAPINFO *header;
    void *bits;
    int pictureWidth, pictureHeight;
    int width, height;
} s_title;

static void DrawTitlePicture(HDC dc)
{
    if (!s_title.header)
        return;
    StretchDIBits(dc, (s_title.width - s_title.pictureWidth) / 2 - 2, 10, s_title.pictureWidth, s_title.pictureHeight,
                  0, 0, s_title.pictureWidth, s_title.pictureHeight, s_title.bits, s_title.header, DIB_RGB_COLORS,
                  SRCCOPY);
}

static void DrawVersionLine(HDC dc)
{
    HFONT font = CreateFontA(14, 0, 0, 0, FW_DONTCARE, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, NULL);
    HGDIOBJ old = SelectObject(dc, font);
    RECT r;
    r.left = (s_title.width - 250) / 2 - 2;
    r.top = (s_title.height * 80 - 1600) / 100;
    r.right = r.left + 250;
    r.bottom = r.top + 20;
    const char *text = "Ovrin 1.04";
    SetBkMode(dc, TRANSPARENT);
    RECT shadow = {r.left + 1, r.top + 1, r.right + 1, r.bottom + 1};
    SetTextColor(dc, RGB(0, 0, 0));
    DrawTextA(dc, text, -1, &shadow, DT_CENTER | DT_SINGLELINE);
    SetTextColor(dc, RGB(0, 0, 192));
    DrawTextA(dc, text, -1, &r, DT_CENTER | DT_SINGLELINE);
    SelectObject(dc, old);
    DeleteObject(font);
}

static void ReleaseTitlePicture()
{
    if (s_title.headerBlock) {
        GlobalUnlock(s_title.headerBlock);
        GlobalFree(s_title.headerBlock);
    }
    if (s_title.bitsBlock) {
        GlobalUnlock(s_title.bitsBlock);
        GlobalFree(s_title.bitsBlock);
    }
    memset(&s_title, 0, sizeof s_title);
}

static LRESULT CALLBACK TitleWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        DrawTitlePicture(dc);
        EndPaint(window, &ps);
        return 0;
    }
    case WM_DESTROY:
        ReleaseTitlePicture();
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

static void LoadTitlePicture()
{
    char path[kPathBytes + 16];
    snprintf(path, sizeof path, "%s\\title.bmp", g_cfg.Stat_dir);
    HGLOBAL header = NULL, bits = NULL;
    if (ReadBmpFile(path, &header, &bits, NULL) && header && bits) {
        s_title.headerBlock = header;
        s_title.bitsBlock = bits;
        s_title.header = (BITMAPINFO *)GlobalLock(header);
        s_title.bits = GlobalLock(bits);
        s_title.pictureWidth = s_title.header->bmiHeader.biWidth;
        s_title.pictureHeight = s_title.header->bmiHeader.biHeight;
        if (s_title.pictureHeight < 0)
            s_title.pictureHeight = -s_title.pictureHeight;
    } else {
        if (header)
            GlobalFree(header);
        if (bits)
            GlobalFree(bits);
        s_title.pictureWidth = 300;
        s_title.pictureHeight = 200;
    }
}

void CreateTitleWindow()
{
    memset(&s_title, 0, sizeof s_title);
    LoadTitlePicture();
    s_title.width = s_title.pictureWidth + 20;
    s_title.height = s_title.pictureHeight + 50;

    WNDCLASSA wc = {};
    wc.lpfnWndProc = TitleWindowProc;
    wc.hInstance = g_instance;
    wc.hCursor = LoadCursor(NULL, IDC_WAIT);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = kClassTitle;
    RegisterClassA(&wc);
    int x = (g_screenWidth - s_title.width) / 2, y = (g_screenHeight - s_title.height) / 2;
    g_titleWindow = CreateWindowExA(WS_EX_TOPMOST | WS_EX_DLGMODALFRAME, kClassTitle, kProgramTitle,
                                    WS_POPUP | WS_CLIPCHILDREN, x, y, s_title.width, s_title.height, NULL, NULL,
                                    g_instance, NULL);
    if (!g_titleWindow) {
        ReleaseTitlePicture();
        return;
    }
    ShowWindow(g_titleWindow, SW_SHOW);
    UpdateWindow(g_titleWindow);
    g_mainWindow = g_titleWindow;
    SetMessageBatching(true);
    ResetMessageBatch();
    HDC dc = GetDC(g_titleWindow);
    DrawTitlePicture(dc);
    DrawVersionLine(dc);
    ReleaseDC(g_titleWindow, dc);
}

void ShowStartupStatus(const char *text)
{
    if (!g_titleWindow)
        return;
    RECT client;
    GetClientRect(g_titleWindow, &client);
    HDC dc = GetDC(g_titleWindow);
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    SetBkMode(dc, OPAQUE);
    char blanks[59];
    memset(blanks, ' ', 58);
    blanks[58] = 0;
    int y = client.bottom - 30;
    TextOutA(dc, 10, y, blanks, 58);
    TextOutA(dc, 10, y, text, (int)strlen(text));
    ReleaseDC(g_titleWindow, dc);
}

void CloseTitleWindow()
{
    if (g_titleWindow)
        DestroyWindow(g_titleWindow);
    g_titleWindow = NULL;
    g_mainWindow = NULL;
    SetMessageBatching(false);
}
