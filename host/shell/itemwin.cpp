// The item window: two 30 x 30 swatches at the screen depth (colours, pen) and two button bitmaps
// (region or functional colour, draw method).
#include "shell/itemwin.h"
#include "base/app.h"
#include "base/messages.h"
#include "base/settings.h"
#include "draw/drawsel.h"
#include "image/bindings.h"
#include "image/colors.h"
#include "shell/toolbar.h"
#include <string.h>

HWND g_itemWindow;

static const char kItemClass[] = "ItemWin";
static CDIB s_colorSwatch, s_penSwatch;

CDIB *ItemColorSwatch() { return &s_colorSwatch; }
CDIB *ItemPenSwatch() { return &s_penSwatch; }

static LRESULT CALLBACK ItemWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

int RegisterItemWindowClass()
{
    WNDCLASSA c = {};
    c.lpfnWndProc = ItemWindowProc;
    c.hInstance = g_instance;
    c.hbrBackground = (HBRUSH)GetStockObject(GRAY_BRUSH);
    c.lpszClassName = kItemClass;
    if (!RegisterClassA(&c) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        ShowSysErrorMessage(g_mainWindow, 103);
        return 0;
    }
    return 1;
}

// One pixel, top-down, through the screen-depth writer.
static void PutPixel(CDIB *image, int x, int y, int red, int green, int blue)
{
    uint8_t bgr[3] = {(uint8_t)blue, (uint8_t)green, (uint8_t)red};
    QzsStartDither(x, y, kItemSwatchSide, kItemSwatchSide);
    QzsSetDitherColor(image, x, y, bgr);
}

static void FillSwatch(CDIB *image, int x0, int y0, int size, const ColorRecord &c)
{
    for (int y = y0; y < y0 + size; y++)
        for (int x = x0; x < x0 + size; x++)
            PutPixel(image, x, y, c.red, c.green, c.blue);
}

static void DrawItemColorSwatch()
{
    if (!s_colorSwatch.pixels)
        return;
    FillSwatch(&s_colorSwatch, 0, 0, kItemSwatchSide, g_colorTable[1]);
    FillSwatch(&s_colorSwatch, 3, 3, 24, g_colorTable[0]);
    FillSwatch(&s_colorSwatch, 0, 0, 5, g_colorTable[2]);
    FillSwatch(&s_colorSwatch, 25, 0, 5, g_colorTable[3]);
    FillSwatch(&s_colorSwatch, 25, 25, 5, g_colorTable[4]);
    FillSwatch(&s_colorSwatch, 0, 25, 5, g_colorTable[5]);
}

// The pen's cells around its hot spot, darker where heavier; the hot spot at (15, 15).
static void DrawItemPenSwatch()
{
    if (!s_penSwatch.pixels)
        return;
    const PenRecord *pen = QzsGetPen();
    bool usable = pen && pen->weights && pen->side > 0;
    // A box reaching past the matrix would read outside it.
    int left = 0, top = 0, right = -1, bottom = -1;
    if (usable) {
        left = pen->left < 0 ? 0 : pen->left;
        top = pen->top < 0 ? 0 : pen->top;
        right = pen->right >= pen->side ? pen->side - 1 : pen->right;
        bottom = pen->bottom >= pen->side ? pen->side - 1 : pen->bottom;
    }
    const int half = kItemSwatchSide / 2;
    for (int r = 0; r < kItemSwatchSide; r++)
        for (int c = 0; c < kItemSwatchSide; c++) {
            int grey = 255;
            if (usable) {
                int64_t x = (int64_t)c + pen->hotX - half, y = (int64_t)r + pen->hotY - half;
                if (x >= left && x <= right && y >= top && y <= bottom) {
                    uint32_t w = pen->weights[y * pen->side + x];
                    grey = 255 - (int)(w > 255 ? 255 : w);
                }
            }
            PutPixel(&s_penSwatch, c, r, grey, grey, grey);
        }
}

void UpdateItemSwatches()
{
    DrawItemColorSwatch();
    DrawItemPenSwatch();
}

void RefreshItemWindow()
{
    if (!g_itemWindow)
        return;
    UpdateItemSwatches();
    InvalidateRect(g_itemWindow, NULL, TRUE);
}

HWND CreateItemWindow(HWND owner, int x, int y)
{
    HWND window = CreateWindowExA(0, kItemClass, "Item", WS_POPUP | WS_VISIBLE, x, y, 94, 34, owner, NULL,
                                  g_instance, NULL);
    if (!window)
        return NULL;
    if (!s_colorSwatch.pixels)
        QzsCreateCDIBwithSYSDEPTH(kItemSwatchSide, kItemSwatchSide, &s_colorSwatch);
    if (!s_penSwatch.pixels)
        QzsCreateCDIBwithSYSDEPTH(kItemSwatchSide, kItemSwatchSide, &s_penSwatch);
    g_itemWindow = window;
    UpdateItemSwatches();
    return window;
}

void CreateItemWindow()
{
    if (RegisterItemWindowClass())
        CreateItemWindow(g_mainWindow, g_cfg.ItemWindowOrgX, g_cfg.ItemWindowOrgY);
}

// An owned pop-up belongs above its owner, but a window system without a window manager restacks
// the main window over it when the main window is activated, and sends no message about it: the
// main window's timer looks for that.
void KeepItemWindowAboveOwner()
{
    if (!g_itemWindow || !IsWindowVisible(g_itemWindow))
        return;
    HWND owner = GetWindow(g_itemWindow, GW_OWNER);
    if (!owner)
        return;
    // Bounded: the order may change under the walk.
    int steps = 0;
    for (HWND w = GetWindow(g_itemWindow, GW_HWNDPREV); w && steps < 10000; w = GetWindow(w, GW_HWNDPREV), steps++)
        if (w == owner) {
            HWND above = GetWindow(owner, GW_HWNDPREV);
            SetWindowPos(g_itemWindow, above ? above : HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            return;
        }
}

void DestroyItemWindow()
{
    if (g_itemWindow)
        DestroyWindow(g_itemWindow);
    g_itemWindow = NULL;
    QzsDisposeCDIB(&s_colorSwatch);
    QzsDisposeCDIB(&s_penSwatch);
    memset(&s_colorSwatch, 0, sizeof s_colorSwatch);
    memset(&s_penSwatch, 0, sizeof s_penSwatch);
}

// ---- painting ----

static void CopyBitmap(HDC dc, HBITMAP bitmap, int x, int y)
{
    if (!bitmap)
        return;
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(dc, x, y, 20, 20, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
}

static HBITMAP ColorKindBitmap()
{
    const ColorRecord &c = g_colorTable[0];
    if (c.regionMode != 0)
        return g_itemWindowBitmap;
    if (c.function > 0)
        if (ColorFunctionRecord *row = GetColorFunctionRow(c.function - 1))
            return row->bitmap;
    return NULL;
}

void PaintItemBitmaps(HDC dc)
{
    CopyBitmap(dc, ColorKindBitmap(), 7, 7);
    if (DrawPluginRecord *draw = GetCurrentDrawPlugin())
        CopyBitmap(dc, draw->bitmap, 67, 7);
}

static void PaintItemWindow(HWND window)
{
    QzsDrawCDIB(window, &s_colorSwatch, 2, 2);
    HDC dc = GetDC(window);
    PaintItemBitmaps(dc);
    ReleaseDC(window, dc);
    QzsDrawCDIB(window, &s_penSwatch, 32, 2);
}

static void OnPaint(HWND window)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT r;
    GetClientRect(window, &r);
    HBRUSH grey = CreateSolidBrush(RGB(192, 192, 192));
    FillRect(dc, &r, grey);
    DeleteObject(grey);
    DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT);
    EndPaint(window, &ps);
    PaintItemWindow(window);
}

static LRESULT CALLBACK ItemWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: OnPaint(window); return 0;
    case WM_MOVE:
        InvalidateRect(window, NULL, TRUE);
        UpdateWindow(window);
        return 0;
    case WM_NCHITTEST: {
        LRESULT hit = DefWindowProcA(window, message, wParam, lParam);
        return hit == HTCLIENT ? HTCAPTION : hit; // the whole window drags
    }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
