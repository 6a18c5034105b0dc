// The pen selector's tool window: the pen's preview, the size, hardness and density bars with
// their buttons and pressure check boxes, the shape list and the fuzzy buttons. Every change is
// sent to the host as a pen code, which comes back to this module to be built.
#include "pens.h"
#include "toolwindow.h"
#include <stdio.h>

namespace {

enum {
    kSizeMinus = 300, kSizePlus = 301, kHardMinus = 400, kHardPlus = 401, kDensMinus = 500, kDensPlus = 501,
    kSizeCheck = 600, kHardCheck = 601, kDensCheck = 602, kShapeCombo = 2000,
};
enum { kDragNone, kDragSize, kDragHardness, kDragDensity };

struct Button {
    int id, x, y;
};
const Button kButtons[] = {{kSizeMinus, 65, 15}, {kSizePlus, 132, 15}, {kHardMinus, 9, 85},
                           {kHardPlus, 128, 85}, {kDensMinus, 9, 105}, {kDensPlus, 128, 105}};
const Button kChecks[] = {{kSizeCheck, 150, 15}, {kHardCheck, 150, 85}, {kDensCheck, 150, 105}};
const int kFuzzyX[3] = {5, 25, 45}; // linear, round, flat at y 65
const int kFuzzyOff[3] = {300, 310, 320}, kFuzzyOn[3] = {301, 330, 321};
const char *const kFuzzyTips[3] = {"Linar Fuzzy pen", "Round Fuzzy pen", "Flat Fuzzy pen"};

struct State {
    HINSTANCE instance;
    HWND window, combo, tips;
    HWND checks[3];
    sw::Picture preview, sizeBar, hardBar, densBar;
    HBITMAP minus, minusPressed, plus, plusPressed, fuzzyOff[3], fuzzyOn[3];
    HFONT font;
    int drag;
};
State s_win;

int Clamp(int v, int low, int high)
{
    return v < low ? low : v > high ? high : v;
}

void SendPenCode()
{
    char code[kPenCodeBytes];
    FormatPenCode(g_settings, code);
    QzsCreatePenShape(s_win.window, code);
}

// ---- pictures ----

void DrawPreview(const PenRecord *pen)
{
    uint8_t white[4];
    sw::Pixel(white, 255, 255, 255);
    sw::FillPicture(s_win.preview, 0, 0, 48, 48, white);
    if (!pen || !pen->weights || pen->side < 1)
        return;
    int n = pen->side;
    // Only cells the matrix has: the box comes from whoever made the pen.
    int left = Clamp(pen->left, 0, n - 1), right = Clamp(pen->right, -1, n - 1);
    int top = Clamp(pen->top, 0, n - 1), bottom = Clamp(pen->bottom, -1, n - 1);
    for (int r = top; r <= bottom && r < 49; r++)
        for (int c = left; c <= right && c < 49; c++) {
            uint32_t w = pen->weights[(size_t)r * n + c];
            int grey = 255 - (int)(w > 255 ? 255 : w);
            uint8_t color[4];
            sw::Pixel(color, grey, grey, grey);
            sw::PutPixel(s_win.preview, c, r, color);
        }
}

// The bar in its colour with the marker: three white columns and a light grey one from x.
void DrawBar(sw::Picture &bar, int x, int red, int green, int blue)
{
    uint8_t body[4], white[4], light[4];
    sw::Pixel(body, red, green, blue);
    sw::Pixel(white, 255, 255, 255);
    sw::Pixel(light, 192, 192, 192);
    sw::FillPicture(bar, 0, 0, bar.width - 1, bar.height - 1, body);
    sw::FillPicture(bar, x, 0, x + 2, bar.height - 1, white);
    sw::FillPicture(bar, x + 3, 0, x + 3, bar.height - 1, light);
}

void DrawBars()
{
    DrawBar(s_win.sizeBar, g_settings.size - 1, 128, 128, 128);
    DrawBar(s_win.hardBar, g_settings.hardness, 128, 0, 0);
    DrawBar(s_win.densBar, g_settings.density, 0, 128, 0);
}

// ---- messages ----

void OnCreate(HWND window)
{
    HINSTANCE instance = s_win.instance;
    for (const Button &b : kButtons)
        CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, b.x, b.y, 16, 16, window,
                        (HMENU)(INT_PTR)b.id, instance, NULL);
    bool tablet = QzsCheckTablet() != 0;
    for (int i = 0; i < 3; i++) {
        s_win.checks[i] = CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, kChecks[i].x,
                                          kChecks[i].y, 13, 13, window, (HMENU)(INT_PTR)kChecks[i].id, instance, NULL);
        EnableWindow(s_win.checks[i], tablet);
    }
}

void OnPaint(HWND window)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    sw::ShowPicture(window, s_win.preview, 10, 10);
    sw::ShowPicture(window, s_win.sizeBar, 81, 15);
    sw::ShowPicture(window, s_win.hardBar, 25, 85);
    sw::ShowPicture(window, s_win.densBar, 25, 105);
    for (int i = 0; i < 3; i++)
        sw::DrawBitmap(dc, g_settings.fuzzy == i + 1 ? s_win.fuzzyOn[i] : s_win.fuzzyOff[i], kFuzzyX[i], 65);
    char text[32];
    snprintf(text, sizeof text, "size=%d", g_settings.size);
    sw::ShowText(dc, s_win.font, 83, 17, text);
    snprintf(text, sizeof text, "hardness=%d", g_settings.hardness);
    sw::ShowText(dc, s_win.font, 30, 87, text);
    snprintf(text, sizeof text, "density=%d", g_settings.density);
    sw::ShowText(dc, s_win.font, 30, 107, text);
    sw::ShowText(dc, s_win.font, 10, 125, "If check-box is checked,");
    sw::ShowText(dc, s_win.font, 10, 140, "the Parameter is changed");
    sw::ShowText(dc, s_win.font, 10, 155, "by pressure of tablet.");
    EndPaint(window, &ps);
}

bool Inside(int x, int y, int x0, int y0, int x1, int y1)
{
    return x >= x0 && x <= x1 && y >= y0 && y <= y1;
}

// The value a bar gives at x while it is pressed or dragged.
void FollowBar(int x)
{
    switch (s_win.drag) {
    case kDragSize: g_settings.size = Clamp(x - 80, 1, kMaxSize); break;
    case kDragHardness: g_settings.hardness = Clamp(x - 25, 0, 100); break;
    case kDragDensity: g_settings.density = Clamp(x - 25, 0, 100); break;
    }
}

void OnLeftButtonDown(HWND window, int x, int y)
{
    if (Inside(x, y, 10, 10, 58, 58))
        g_settings.shape = (g_settings.shape + 1) % kShapes;
    else if (Inside(x, y, 81, 15, 132, 30))
        s_win.drag = kDragSize;
    else if (Inside(x, y, 25, 85, 128, 100))
        s_win.drag = kDragHardness;
    else if (Inside(x, y, 25, 105, 128, 120))
        s_win.drag = kDragDensity;
    for (int i = 0; i < 3; i++)
        if (Inside(x, y, kFuzzyX[i], 65, kFuzzyX[i] + 16, 81))
            g_settings.fuzzy = g_settings.fuzzy == i + 1 ? kFuzzyNone : i + 1;
    FollowBar(x);
    SetCapture(window);
    SendPenCode();
}

void OnRightButtonDown(int x, int y)
{
    if (!Inside(x, y, 10, 10, 58, 58))
        return;
    g_settings.shape = (g_settings.shape + kShapes - 1) % kShapes;
    SendPenCode();
}

void OnMouseMove(int x)
{
    if (s_win.drag == kDragNone)
        return;
    FollowBar(x);
    SendPenCode();
}

void OnButtonUp()
{
    ReleaseCapture();
    s_win.drag = kDragNone;
}

void OnDrawItem(const DRAWITEMSTRUCT *item)
{
    bool plus = item->CtlID % 2 == 1, pressed = (item->itemState & ODS_SELECTED) != 0;
    HBITMAP bitmap = plus ? (pressed ? s_win.plusPressed : s_win.plus) : (pressed ? s_win.minusPressed : s_win.minus);
    sw::DrawBitmap(item->hDC, bitmap, item->rcItem.left, item->rcItem.top);
}

void OnCommand(int id, int code)
{
    PenSettings &s = g_settings;
    switch (id) {
    case kSizeMinus: s.size = Clamp(s.size - 1, 1, kMaxSize); break;
    case kSizePlus: s.size = Clamp(s.size + 1, 1, kMaxSize); break;
    case kHardMinus: s.hardness = Clamp(s.hardness - 1, 0, 100); break;
    case kHardPlus: s.hardness = Clamp(s.hardness + 1, 0, 100); break;
    case kDensMinus: s.density = Clamp(s.density - 1, 0, 100); break;
    case kDensPlus: s.density = Clamp(s.density + 1, 0, 100); break;
    case kSizeCheck:
    case kHardCheck:
    case kDensCheck:
        s.pressure[id - kSizeCheck] = SendMessageA(s_win.checks[id - kSizeCheck], BM_GETCHECK, 0, 0) == BST_CHECKED;
        break;
    case kShapeCombo: {
        if (code != CBN_SELCHANGE)
            return;
        LRESULT chosen = SendMessageA(s_win.combo, CB_GETCURSEL, 0, 0);
        if (chosen == CB_ERR)
            return;
        s.shape = Clamp((int)chosen, 0, kShapes - 1);
        break;
    }
    default: return;
    }
    SendPenCode();
}

LRESULT CALLBACK PensWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    int x = (short)LOWORD(lParam), y = (short)HIWORD(lParam);
    switch (message) {
    case WM_CREATE: OnCreate(window); return 0;
    case WM_PAINT: OnPaint(window); return 0;
    case WM_LBUTTONDOWN: OnLeftButtonDown(window, x, y); return 0;
    case WM_RBUTTONDOWN: OnRightButtonDown(x, y); return 0;
    case WM_MOUSEMOVE: OnMouseMove(x); return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP: OnButtonUp(); return 0;
    case WM_DRAWITEM: OnDrawItem((const DRAWITEMSTRUCT *)lParam); return TRUE;
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_CLOSE: QzsHideDlg(window); return 0;
    default: return sw::DefaultMessage(window, message, wParam, lParam);
    }
}

} // namespace

HWND CreatePenWindow(HINSTANCE instance, HWND owner, int x, int y)
{
    s_win.instance = instance;
    sw::RegisterToolClass(instance, "Pens", PensWindowProc, "Can't regist pen-win class!");
    HWND window = sw::CreateToolWindow(instance, owner, "Pens", "Pen Selector", x, y, 170, 176,
                                       "Can't create PenSelector !");
    if (!window)
        return NULL;
    s_win.window = window;
    s_win.combo = sw::CreateComboBox(instance, window, kShapeCombo, 65, 35, 80, 200);
    for (const char *name : kShapeNames)
        SendMessageA(s_win.combo, CB_ADDSTRING, 0, (LPARAM)name);
    s_win.tips = sw::CreateToolTips(instance, window);
    for (int i = 0; i < 3; i++)
        sw::AddTip(s_win.tips, window, (UINT_PTR)i + 1, RECT{kFuzzyX[i], 65, kFuzzyX[i] + 16, 81}, kFuzzyTips[i]);
    sw::MakePicture(s_win.preview, 49, 49);
    sw::MakePicture(s_win.sizeBar, 51, 16);
    sw::MakePicture(s_win.hardBar, 103, 16);
    sw::MakePicture(s_win.densBar, 103, 16);
    s_win.minus = sw::LoadToolBitmap(instance, 200);
    s_win.minusPressed = sw::LoadToolBitmap(instance, 201);
    s_win.plus = sw::LoadToolBitmap(instance, 210);
    s_win.plusPressed = sw::LoadToolBitmap(instance, 211);
    for (int i = 0; i < 3; i++) {
        s_win.fuzzyOff[i] = sw::LoadToolBitmap(instance, kFuzzyOff[i]);
        s_win.fuzzyOn[i] = sw::LoadToolBitmap(instance, kFuzzyOn[i]);
    }
    s_win.font = CreateFontA(12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "");
    g_settings = DefaultPenSettings();
    DrawBars();
    DrawPreview(QzsGetPen());
    SendMessageA(s_win.combo, CB_SETCURSEL, (WPARAM)g_settings.shape, 0);
    return window;
}

void ShowPenChange(INT_PTR source, PenRecord *pen)
{
    if (!s_win.window)
        return;
    if (source == (INT_PTR)s_win.window) {
        DrawBars();
        SendMessageA(s_win.combo, CB_SETCURSEL, (WPARAM)g_settings.shape, 0);
    }
    DrawPreview(pen);
    InvalidateRect(s_win.window, NULL, TRUE);
}

void SetPressureChecks(const PenSettings &s)
{
    for (int i = 0; i < 3; i++)
        if (s_win.checks[i])
            SendMessageA(s_win.checks[i], BM_SETCHECK, s.pressure[i] ? BST_CHECKED : BST_UNCHECKED, 0);
}

void FreePenWindow()
{
    sw::FreePicture(s_win.preview);
    sw::FreePicture(s_win.sizeBar);
    sw::FreePicture(s_win.hardBar);
    sw::FreePicture(s_win.densBar);
    HGDIOBJ objects[] = {s_win.font, s_win.minus, s_win.minusPressed, s_win.plus,
                         s_win.plusPressed, s_win.fuzzyOff[0], s_win.fuzzyOff[1], s_win.fuzzyOff[2], s_win.fuzzyOn[0],
                         s_win.fuzzyOn[1], s_win.fuzzyOn[2]};
    for (HGDIOBJ o : objects)
        if (o)
            DeleteObject(o);
    s_win = State{};
}
