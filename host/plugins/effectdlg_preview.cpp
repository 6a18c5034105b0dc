// The effect dialog's preview: which part of the area it shows, how that part fits into 134 x 134
// pixels, the source view and the effect run on the small copy.
#include "base/cursors.h"
#include "plugins/effectdlg_internal.h"
#include "image/group.h"
#include "image/pixels.h"
#include "base/settings.h"
#include "base/messages.h"
#include "base/progress.h"
#include "view/winlist.h"
#include <initializer_list>
#include <stdlib.h>
#include <string.h>

static const uint32_t kOutsideSource = 0xFF808080, kEmptyResult = 0x00808080;

int ClampScroll(int value, int extent)
{
    int64_t top = (int64_t)extent - kPreviewSize;
    int64_t v = value > top ? top : value;
    return v < 0 ? 0 : (int)v;
}

static void SetBar(const RECT &area, int start, int end, int scroll, PreviewBar *bar)
{
    int64_t extent = (int64_t)end - start;
    bar->enabled = extent > kPreviewSize;
    bar->maximum = bar->enabled ? (int)(extent - kPreviewSize) : 0;
    bar->position = bar->enabled ? scroll : 0;
}

void ComputePreviewWindow(const RECT &area, int scrollX, int scrollY, int mode, RECT *window, PreviewBar *h,
                          PreviewBar *v)
{
    if (mode == 1) {
        *window = area;
        *h = *v = PreviewBar{0, 0, 0};
        return;
    }
    int64_t left = (int64_t)area.left + scrollX, top = (int64_t)area.top + scrollY;
    int64_t right = left + kPreviewSize, bottom = top + kPreviewSize;
    window->left = (int)left;
    window->top = (int)top;
    window->right = (int)(right > area.right ? area.right : right);
    window->bottom = (int)(bottom > area.bottom ? area.bottom : bottom);
    SetBar(area, area.left, area.right, scrollX, h);
    SetBar(area, area.top, area.bottom, scrollY, v);
}

PreviewFit FitPreview(const RECT &window)
{
    int64_t w = (int64_t)window.right - window.left + 1, h = (int64_t)window.bottom - window.top + 1;
    if (w <= 0 || h <= 0)
        return PreviewFit{0, 0, 0};
    if (w >= h)
        return PreviewFit{(int)w, 0, (int)((kPreviewSize - h * kPreviewSize / w) / 2)};
    return PreviewFit{(int)h, (int)((kPreviewSize - w * kPreviewSize / h) / 2), 0};
}

void MapPreviewPixel(const PreviewFit &fit, const RECT &window, int px, int py, int *x, int *y)
{
    *x = (int)((int64_t)(px - fit.xOffset) * fit.range / kPreviewSize + window.left);
    *y = (int)((int64_t)(py - fit.yOffset) * fit.range / kPreviewSize + window.top);
}

void GetFittedPreviewRect(const RECT &window, RECT *out)
{
    int64_t w = (int64_t)window.right - window.left + 1, h = (int64_t)window.bottom - window.top + 1;
    if (w <= 0 || h <= 0) {
        *out = RECT{0, 0, -1, -1};
        return;
    }
    if (w < h) {
        int s = (int)(w * kPreviewSize / h), x0 = (kPreviewSize - s) / 2;
        *out = RECT{x0, 0, s + x0 - 1, kPreviewSize - 1};
    } else {
        int s = (int)(h * kPreviewSize / w), y0 = (kPreviewSize - s) / 2;
        *out = RECT{0, y0, kPreviewSize - 1, s + y0 - 1};
    }
}

// ---- the images ----

bool CreatePreviewImages()
{
    EffectDialogState &s = g_effectDlg;
    if (s.imagesMade)
        return true;
    memset(&s.display, 0, sizeof s.display);
    memset(&s.source, 0, sizeof s.source);
    memset(&s.result, 0, sizeof s.result);
    if (QzsCreateCDIBwithSYSDEPTH(kPreviewSize, kPreviewSize, &s.display) != 0 ||
        QzsCreateCDIB(kPreviewSize, kPreviewSize, 32, &s.source) != 0 ||
        QzsCreateCDIB(kPreviewSize, kPreviewSize, 32, &s.result) != 0) {
        s.imagesMade = true;
        FreePreviewImages();
        return false;
    }
    s.source.mask = (uint8_t *)calloc(kPreviewSize * kPreviewSize, 1);
    s.imagesMade = true;
    return true;
}

void FreePreviewImages()
{
    EffectDialogState &s = g_effectDlg;
    if (!s.imagesMade)
        return;
    free(s.source.mask);
    s.source.mask = NULL;
    for (CDIB *image : {&s.display, &s.source, &s.result})
        if (image->header)
            QzsDisposeCDIB(image);
    s.imagesMade = false;
}

bool IsCurrentImage32()
{
    ImageGroup *g = g_currentGroup;
    CDIB *image = g ? g->currentImage : NULL;
    int w, h, d;
    return image && QzsGetCDIBinfo(image, &w, &h, &d) && d == 32 && image->editDepth == 32;
}

static bool PreviewReady()
{
    EffectDialogState &s = g_effectDlg;
    return s.imagesMade && s.display.header && s.source.pixels && s.result.pixels && s.source.mask;
}

static void DitherPixel(int px, const uint32_t *pixel)
{
    uint8_t c[4];
    memcpy(c, pixel, 4);
    QzsSetDitherColor(&g_effectDlg.display, px, 0, c);
}

static void ShowDisplay(HWND dialog)
{
    QzsDrawCDIB(dialog, &g_effectDlg.display, g_effectDlg.previewX, g_effectDlg.previewY);
}

void PlacePreview(HWND dialog)
{
    EffectDialogState &s = g_effectDlg;
    s.previewX = kPreviewX;
    s.previewY = kPreviewY;
    HWND frame = GetDlgItem(dialog, kPreviewFrame);
    if (!frame)
        return;
    RECT r;
    GetWindowRect(frame, &r);
    MapWindowPoints(NULL, dialog, (POINT *)&r, 2);
    TEXTMETRICA tm = {};
    HDC dc = GetDC(dialog);
    HGDIOBJ old = SelectObject(dc, (HGDIOBJ)SendMessageA(frame, WM_GETFONT, 0, 0));
    GetTextMetricsA(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(dialog, dc);
    // The frame's caption stays readable: the picture starts below it.
    if (r.top + tm.tmHeight + 2 > s.previewY)
        s.previewY = r.top + tm.tmHeight + 2;
    int bar = GetSystemMetrics(SM_CXVSCROLL), high = GetSystemMetrics(SM_CYHSCROLL);
    if (HWND v = GetDlgItem(dialog, kPreviewVBar))
        MoveWindow(v, s.previewX + kPreviewSize + 2, s.previewY, bar, kPreviewSize, TRUE);
    if (HWND h = GetDlgItem(dialog, kPreviewHBar))
        MoveWindow(h, s.previewX, s.previewY + kPreviewSize + 2, kPreviewSize, high, TRUE);
}

// ---- the source view ----

void DrawSourceView(HWND dialog, bool topDown)
{
    EffectDialogState &s = g_effectDlg;
    if (!PreviewReady())
        return;
    ImageGroup *g = g_currentGroup;
    uint32_t *source = (uint32_t *)s.source.pixels;
    if (!s.available || !g || !g->currentImage || !IsCurrentImage32()) {
        const uint32_t dark = 0xFF404040;
        for (int py = 0; py < kPreviewSize; py++) {
            QzsStartDither(0, py, kPreviewSize, kPreviewSize);
            for (int px = 0; px < kPreviewSize; px++)
                DitherPixel(px, &dark);
        }
        ShowDisplay(dialog);
        return;
    }
    CDIB *image = g->currentImage, *base = g->base;
    int bw = 0, bh = 0, bd, iw = 0, ih = 0, id;
    if (base)
        QzsGetCDIBinfo(base, &bw, &bh, &bd);
    // The image is read with its own rows: the pixel services may be started on the preview copy.
    QzsGetCDIBinfo(image, &iw, &ih, &id);
    const uint32_t *pixels = (const uint32_t *)image->pixels;
    const uint8_t *baseMask = base ? base->mask : NULL;
    PreviewFit fit = FitPreview(s.window);
    const uint32_t grey = 0xFF808080;
    for (int py = 0; py < kPreviewSize; py++) {
        int row = topDown ? py : kPreviewSize - 1 - py;
        QzsStartDither(0, py, kPreviewSize, kPreviewSize);
        for (int px = 0; px < kPreviewSize; px++) {
            size_t at = (size_t)row * kPreviewSize + px;
            int x, y;
            MapPreviewPixel(fit, s.window, px, py, &x, &y);
            if (fit.range == 0 || x < s.window.left || x > s.window.right || y < s.window.top || y > s.window.bottom) {
                source[at] = kOutsideSource;
                s.source.mask[at] = 0;
                DitherPixel(px, &grey);
                continue;
            }
            uint32_t c = 0xFF808080;
            if (x >= 0 && y >= 0 && x < iw && y < ih)
                c = pixels[(size_t)y * (size_t)iw + (size_t)x];
            // The mask lies over the base: a layer pixel's byte is at its base position.
            int64_t gx = (int64_t)x + g->layerX, gy = (int64_t)y + g->layerY;
            uint8_t m = baseMask && gx >= 0 && gy >= 0 && gx < bw && gy < bh ? baseMask[gy * bw + gx] : 0;
            source[at] = c;
            s.source.mask[at] = m;
            DitherPixel(px, s.activeRegion && !(m & s.activeRegion) ? &grey : &c);
        }
    }
    ShowDisplay(dialog);
}

// ---- PreView ----

void RunPreview(HWND dialog)
{
    EffectDialogState &s = g_effectDlg;
    if (!s.panelReady || !PreviewReady())
        return;
    if (s.window.right < 0 || s.window.bottom < 0) {
        if (!g_cfg.EffectAutoPreview)
            ShowErrorMessage(dialog, 0);
        else
            DrawSourceView(dialog, false);
        return;
    }
    DrawSourceView(dialog, true);
    RECT fitted = {0, 0, -1, -1};
    if (s.available)
        GetFittedPreviewRect(s.window, &fitted);
    int row = GetSelectedEffect(dialog);
    if (row < 0)
        return;
    uint32_t *result = (uint32_t *)s.result.pixels;
    for (int i = 0; i < kPreviewSize * kPreviewSize; i++)
        result[i] = kEmptyResult;
    EffectPluginRecord *effect = GetEffectRow(row);
    if (effect && effect->QzcEffect) {
        HCURSOR old = SetCursor(GetSystemCursor(kCursorWait));
        StartOnPlainImage(&s.source);
        CallEffect(row, &s.source, result, fitted.left, fitted.top, fitted.right, fitted.bottom, s.activeRegion,
                   IgnoreProgress, 0, 1);
        SetCursor(old);
    }
    for (int py = 0; py < kPreviewSize; py++) {
        QzsStartDither(0, py, kPreviewSize, kPreviewSize);
        for (int px = 0; px < kPreviewSize; px++)
            DitherPixel(px, &result[(size_t)py * kPreviewSize + px]);
    }
    ShowDisplay(dialog);
}
