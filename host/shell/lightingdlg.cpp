// The "Lighting" dialog (command SetLighting): a click or drag on the sphere sets the direction of
// the light, drags on the two bars set the environment light (0..100) and the highlight (0..400).
// Cancel puts back the values the dialog started with.
#include "shell/lightingdlg.h"
#include "image/cdib.h"
#include "image/lighting.h"
#include "base/app.h"
#include <initializer_list>

namespace {

enum DragMode { kNoDrag = 0, kEnvironmentDrag = 1, kHighlightDrag = 2, kSphereDrag = 3 };

struct LightingDialogState {
    LightSettings kept; // the values at opening
    CDIB preview, environment, highlight;
    int drag;
};
LightingDialogState s_dlg;

int Clamp(int v, int low, int high)
{
    return v < low ? low : v > high ? high : v;
}

// A level for a bar from a value of any size (the file may hold one far outside the bar).
int BarLevel(double value)
{
    return value < -1.0 ? -1 : value > 1000.0 ? 1000 : (int)value;
}

bool Hit(int x, int y, int left, int top, int width, int height)
{
    return x >= left && x < left + width && y >= top && y < top + height;
}

void DrawPictures(int which)
{
    if (which == kEnvironmentDrag || which == kNoDrag)
        DrawLevelBar(&s_dlg.environment, BarLevel(g_light.environment), 64, 128, 64);
    if (which == kHighlightDrag || which == kNoDrag)
        DrawLevelBar(&s_dlg.highlight, BarLevel(g_light.highlight / 4.0), 64, 64, 128);
    if (s_dlg.preview.pixels)
        DrawLightingPreview(&s_dlg.preview, kLightPreviewSize, kLightPreviewSize);
}

void Repaint(HWND dialog)
{
    InvalidateRect(dialog, NULL, FALSE);
    UpdateWindow(dialog);
}

void PutImage(HDC dc, const CDIB &image, int x, int y)
{
    if (!image.header || !image.pixels)
        return;
    const BITMAPINFOHEADER &h = image.header->bmiHeader;
    StretchDIBits(dc, x, y, h.biWidth, h.biHeight, 0, 0, h.biWidth, h.biHeight, image.pixels, image.header,
                  DIB_RGB_COLORS, SRCCOPY);
}

void OnInit(HWND dialog)
{
    s_dlg.kept = g_light;
    s_dlg.drag = kNoDrag;
    CDIB *images[3] = {&s_dlg.preview, &s_dlg.environment, &s_dlg.highlight};
    const int sizes[3][2] = {{kLightPreviewSize, kLightPreviewSize},
                             {kLevelBarWidth, kLevelBarHeight},
                             {kLevelBarWidth, kLevelBarHeight}};
    for (int i = 0; i < 3; i++) {
        *images[i] = CDIB{};
        // Without memory for a picture the dialog still sets the light; it only shows less.
        if (QzsCreateCDIBwithSYSDEPTH(sizes[i][0], sizes[i][1], images[i]) != 0)
            *images[i] = CDIB{};
    }
    DrawPictures(kNoDrag);
}

void OnPaint(HWND dialog)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(dialog, &ps);
    HPALETTE oldPalette = NULL;
    if (g_displayPalette) {
        oldPalette = SelectPalette(dc, g_displayPalette, TRUE);
        RealizePalette(dc);
    }
    PutImage(dc, s_dlg.preview, kLightPreviewX, kLightPreviewY);
    PutImage(dc, s_dlg.environment, kLevelBarX, kEnvironmentBarY);
    PutImage(dc, s_dlg.highlight, kLevelBarX, kHighlightBarY);
    if (oldPalette)
        SelectPalette(dc, oldPalette, TRUE);
    HGDIOBJ oldFont = SelectObject(dc, (HFONT)SendMessageA(dialog, WM_GETFONT, 0, 0));
    SetBkMode(dc, TRANSPARENT);
    TextOutA(dc, 10, 182, "Environment Light", 17);
    TextOutA(dc, 10, 222, "Hilight", 7);
    SelectObject(dc, oldFont);
    EndPaint(dialog, &ps);
}

// The value under the mouse for the current drag mode.
void ApplyDrag(HWND dialog, int x, int y)
{
    switch (s_dlg.drag) {
    case kEnvironmentDrag: g_light.environment = Clamp(x - kLevelBarX, 0, 100); break;
    case kHighlightDrag: g_light.highlight = Clamp(x - kLevelBarX, 0, 100) * 4; break;
    case kSphereDrag:
        SetLightFromPoint(x - kLightPreviewX, y - kLightPreviewY, kLightPreviewSize, kLightPreviewSize);
        break;
    default: return;
    }
    DrawPictures(s_dlg.drag);
    Repaint(dialog);
}

void OnButtonDown(HWND dialog, int x, int y)
{
    if (Hit(x, y, kLevelBarX, kEnvironmentBarY, kLevelBarWidth, kLevelBarHeight))
        s_dlg.drag = kEnvironmentDrag;
    else if (Hit(x, y, kLevelBarX, kHighlightBarY, kLevelBarWidth, kLevelBarHeight))
        s_dlg.drag = kHighlightDrag;
    else if (Hit(x, y, kLightPreviewX, kLightPreviewY, kLightPreviewSize, kLightPreviewSize))
        s_dlg.drag = kSphereDrag;
    else
        return;
    SetCapture(dialog);
    ApplyDrag(dialog, x, y);
}

void OnButtonUp()
{
    if (s_dlg.drag == kNoDrag)
        return;
    s_dlg.drag = kNoDrag;
    ReleaseCapture();
}

void OnDestroy()
{
    for (CDIB *image : {&s_dlg.preview, &s_dlg.environment, &s_dlg.highlight})
        if (image->header)
            QzsDisposeCDIB(image);
    s_dlg.drag = kNoDrag;
}

// Mouse positions in client coordinates, negative outside the left and top edges while captured.
int MouseX(LPARAM lParam) { return (short)LOWORD(lParam); }
int MouseY(LPARAM lParam) { return (short)HIWORD(lParam); }

} // namespace

INT_PTR CALLBACK LightingDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: OnInit(dialog); return TRUE;
    case WM_PAINT: OnPaint(dialog); return TRUE;
    case WM_LBUTTONDOWN: OnButtonDown(dialog, MouseX(lParam), MouseY(lParam)); return TRUE;
    case WM_MOUSEMOVE: ApplyDrag(dialog, MouseX(lParam), MouseY(lParam)); return TRUE;
    case WM_LBUTTONUP: OnButtonUp(); return TRUE;
    case WM_CAPTURECHANGED: s_dlg.drag = kNoDrag; return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            EndDialog(dialog, IDOK);
        } else if (LOWORD(wParam) == IDCANCEL) {
            g_light = s_dlg.kept;
            EndDialog(dialog, IDCANCEL);
        }
        return TRUE;
    case WM_DESTROY: OnDestroy(); return TRUE;
    }
    return FALSE;
}

void RunLightingDialog(HWND owner)
{
    DialogBoxParamA(g_instance, MAKEINTRESOURCEA(kLightingTemplate), owner, LightingDialogProc, 0);
}
