// The layer manager's tool window: its controls, and the pointer, commands and scrolling that
// drive it.
#include "swzinc.h"

LayerManager g_lm;

namespace {

struct CommandButtonPlace {
    int left, bitmap;
    const char *tip;
};
// At top 10, 24 pixels square, in the order of the kButton values.
const CommandButtonPlace kPlaces[kCommandButtons] = {
    {100, 400, "New Layer"},          {125, 401, "Delete Layer"},        {150, 405, "Create Layer"},
    {175, 404, "Copy & Paste Layer"}, {205, 402, "Make Tracing Papaer"}, {230, 403, "Export Layer"},
};

bool Inside(int x, int y, int x0, int y0, int x1, int y1)
{
    return x >= x0 && x <= x1 && y >= y0 && y <= y1;
}

// Handles are shown by the last paint; whether one counts is decided from the group at once.
bool OnButton(const ToolButton &b, int x, int y, bool handle = false)
{
    return (handle || b.visible) && Inside(x, y, b.left, b.top, b.right, b.bottom);
}

void Redraw(ToolButton &b, int pressed)
{
    b.pressed = pressed;
    QzsDrawButton(g_lm.window, &b);
}

void OnLeftButtonDown(HWND window, int x, int y)
{
    SetCapture(window);
    ImageGroup *group = ShownGroup();
    for (ToolButton &b : g_lm.buttons)
        if (OnButton(b, x, y)) {
            g_lm.held = &b;
            Redraw(b, 1);
            return;
        }
    for (int row = 0; row < kRows; row++)
        if (HandleVisible(group, row) && OnButton(g_lm.handles[row], x, y, true)) {
            g_lm.heldHandle = row;
            g_lm.handles[row].visible = 1;
            Redraw(g_lm.handles[row], 1);
            return;
        }
    if (Inside(x, y, 115, 45, 244, 65)) {
        g_lm.opacityDrag = true;
        SetOpacityAt(x, 0);
        return;
    }
    if (!group || !Inside(x, y, 26, 110, 270, 210))
        return;
    int entry = RowEntry(group, (y - 110) / 20);
    if (entry < 0)
        return;
    LayerRecord *layer = EntryLayer(group, entry);
    if (x >= 66)
        QzsSetCurrentInImageGroup(group, layer);
    else
        QzsChangeLayerStatus(group, layer, 1 - EntryStatus(group, entry), 1);
}

void OnMouseMove(int x)
{
    if (g_lm.opacityDrag)
        SetOpacityAt(x, 0);
}

void OnLeftButtonUp(int x, int y)
{
    ReleaseCapture();
    if (g_lm.opacityDrag) {
        g_lm.opacityDrag = false;
        SetOpacityAt(x, 1);
    }
    if (ToolButton *b = g_lm.held) {
        g_lm.held = NULL;
        bool over = OnButton(*b, x, y);
        // "Create Layer" shows whether it draws; the others come back up.
        Redraw(*b, b == &g_lm.buttons[kButtonCreate] ? g_lm.creating : 0);
        if (over)
            RunCommandButton((int)(b - g_lm.buttons));
    }
    if (g_lm.heldHandle >= 0) {
        int row = g_lm.heldHandle;
        g_lm.heldHandle = -1;
        Redraw(g_lm.handles[row], 0);
        ImageGroup *group = ShownGroup();
        int entry = RowEntry(group, row);
        LayerRecord *current = KnownCurrentLayer(group);
        if (current && entry >= 0 && OnButton(g_lm.handles[row], x, y, true))
            QzsMoveLayer(group, current, EntryLayer(group, entry));
    }
}

void OnCommand(int id, int code)
{
    ImageGroup *group = ShownGroup();
    switch (id) {
    case kOpacityMinus: ChangeOpacityBy(-2); break;
    case kOpacityPlus: ChangeOpacityBy(2); break;
    case kBlendCombo:
        if (code == CBN_SELCHANGE && KnownCurrentLayer(group)) {
            LRESULT chosen = SendMessageA(g_lm.combo, CB_GETCURSEL, 0, 0);
            if (chosen != CB_ERR)
                QzsSetLayerBlendMode(group, group->currentLayer, (int)chosen);
        }
        break;
    }
}

// The bar counts from the other end: its top shows the highest entries.
void OnScroll(int request, int thumb)
{
    ImageGroup *group = ShownGroup();
    int largest = LargestFirst(group), first = g_lm.first;
    switch (request) {
    case SB_LINEUP: first++; break;
    case SB_LINEDOWN: first--; break;
    case SB_PAGEUP: first += kRows; break;
    case SB_PAGEDOWN: first -= kRows; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: first = largest - thumb; break;
    }
    first = first < 0 ? 0 : first > largest ? largest : first;
    if (first == g_lm.first)
        return;
    g_lm.first = first;
    SetScrollPos(g_lm.scroll, SB_CTL, largest - first, TRUE);
    InvalidateRect(g_lm.window, NULL, FALSE);
}

void OnDrawItem(const DRAWITEMSTRUCT *item)
{
    ToolButton b = {0, 0, 18, 18, 0, (int32_t)item->CtlID, item->CtlID == kOpacityPlus ? g_lm.plus : g_lm.minus,
                    (item->itemState & ODS_SELECTED) ? 1 : 0, 1, NULL};
    QzsDrawButton(item->hwndItem, &b);
}

void OnShowWindow(bool shown)
{
    if (shown)
        FollowCurrentWindow();
}

void OnCreate(HWND window)
{
    CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 95, 45, 19, 19, window,
                    (HMENU)(INT_PTR)kOpacityMinus, g_lm.instance, NULL);
    CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 245, 45, 19, 19, window,
                    (HMENU)(INT_PTR)kOpacityPlus, g_lm.instance, NULL);
}

LRESULT CALLBACK LayerManagerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    int x = (short)LOWORD(lParam), y = (short)HIWORD(lParam);
    switch (message) {
    case WM_CREATE: OnCreate(window); return 0;
    case WM_PAINT: PaintLayerManager(window); return 0;
    case WM_LBUTTONDOWN: OnLeftButtonDown(window, x, y); return 0;
    case WM_MOUSEMOVE: OnMouseMove(x); return 0;
    case WM_LBUTTONUP: OnLeftButtonUp(x, y); return 0;
    case WM_COMMAND: OnCommand(LOWORD(wParam), HIWORD(wParam)); return 0;
    case WM_VSCROLL: OnScroll(LOWORD(wParam), (short)HIWORD(wParam)); return 0;
    case WM_DRAWITEM: OnDrawItem((const DRAWITEMSTRUCT *)lParam); return TRUE;
    case WM_SHOWWINDOW: OnShowWindow(wParam != 0); break;
    case kUnknownStatusMessage: MessageBoxA(window, "Unknown status", "SUBWIN error", MB_OK); return 0;
    case WM_CLOSE: QzsHideDlg(window); return 0;
    }
    return sw::DefaultMessage(window, message, wParam, lParam);
}

void MakeDrawingObjects(HINSTANCE instance)
{
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    g_lm.face = CreateSolidBrush(face);
    g_lm.halfFace = CreateSolidBrush(RGB(GetRValue(face) / 2, GetGValue(face) / 2, GetBValue(face) / 2));
    g_lm.white = CreateSolidBrush(RGB(255, 255, 255));
    g_lm.black = CreateSolidBrush(RGB(0, 0, 0));
    g_lm.darkBlue = CreateSolidBrush(0x800000);
    g_lm.minus = sw::LoadToolBitmap(instance, 200);
    g_lm.plus = sw::LoadToolBitmap(instance, 210);
    g_lm.shown = sw::LoadToolBitmap(instance, 300);
    g_lm.hidden = sw::LoadToolBitmap(instance, 301);
    g_lm.handle = sw::LoadToolBitmap(instance, 500);
    for (int i = 0; i < kCommandButtons; i++)
        g_lm.tools[i] = sw::LoadToolBitmap(instance, kPlaces[i].bitmap);
    g_lm.bigFont = CreateFontA(16, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "");
    g_lm.smallFont = CreateFontA(10, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "");
}

void FillBlendCombo()
{
    for (int i = 0; LayerBlendRecord *mode = QzsGetColorBlendMode(i); i++)
        SendMessageA(g_lm.combo, CB_ADDSTRING, 0, (LPARAM)QzsGetStringLangMode(mode->name, mode->translated));
    SendMessageA(g_lm.combo, CB_SETCURSEL, 0, 0);
    EnableWindow(g_lm.combo, FALSE);
}

void MakeButtons(HWND window)
{
    for (int i = 0; i < kCommandButtons; i++) {
        int left = kPlaces[i].left;
        g_lm.buttons[i] = ToolButton{left, 10, left + 23, 33, 0, i, g_lm.tools[i], 0, 1, NULL};
        sw::AddTip(g_lm.tips, window, (UINT_PTR)i + 1, RECT{left, 10, left + 23, 33}, kPlaces[i].tip);
    }
    for (int k = 0; k < kRows; k++) {
        g_lm.handles[k] = ToolButton{10, 102 + 20 * k, 25, 117 + 20 * k, 0, k, g_lm.handle, 0, 0, NULL};
        sw::AddTip(g_lm.tips, window, (UINT_PTR)k + 100, RECT{10, 102 + 20 * k, 25, 117 + 20 * k}, "Move Layer");
    }
}

} // namespace

HWND CreateLayerManagerWindow(HINSTANCE instance, HWND owner, int x, int y)
{
    g_lm.instance = instance;
    g_lm.owner = owner;
    g_lm.heldHandle = -1;
    MakeDrawingObjects(instance);
    sw::RegisterToolClass(instance, "Swzinc", LayerManagerProc, "Can't regist edit-win class!");
    HWND window = sw::CreateToolWindow(instance, owner, "Swzinc", "Layer Manager", x, y, 300, 220,
                                       "Can't create layer manager!");
    if (!window)
        return NULL;
    g_lm.window = window;
    g_lm.scroll = CreateWindowExA(0, "SCROLLBAR", NULL, WS_CHILD | WS_VISIBLE | SBS_VERT, 270, 110, 20, 100, window,
                                  (HMENU)(INT_PTR)kRowScroll, instance, NULL);
    EnableScrollBar(g_lm.scroll, SB_CTL, ESB_DISABLE_BOTH);
    g_lm.combo = sw::CreateComboBox(instance, window, kBlendCombo, 95, 70, 140, 200);
    FillBlendCombo();
    g_lm.tips = sw::CreateToolTips(instance, window);
    MakeButtons(window);
    sw::MakePicture(g_lm.thumb, 80, 80);
    sw::MakePicture(g_lm.bar, 129, 20);
    RebuildThumbnail();
    DrawOpacityBar();
    return window;
}

void UpdateControls()
{
    ImageGroup *group = ShownGroup();
    LayerRecord *layer = KnownCurrentLayer(group);
    SendMessageA(g_lm.combo, CB_SETCURSEL, layer ? (WPARAM)layer->blend : 0, 0);
    EnableWindow(g_lm.combo, layer != NULL);
    int largest = LargestFirst(group);
    if (largest > 0) {
        SetScrollRange(g_lm.scroll, SB_CTL, 0, largest, FALSE);
        SetScrollPos(g_lm.scroll, SB_CTL, largest - g_lm.first, TRUE);
        EnableScrollBar(g_lm.scroll, SB_CTL, ESB_ENABLE_BOTH);
    } else {
        EnableScrollBar(g_lm.scroll, SB_CTL, ESB_DISABLE_BOTH);
    }
}

void FreeLayerManager()
{
    sw::FreePicture(g_lm.thumb);
    sw::FreePicture(g_lm.bar);
    HGDIOBJ objects[] = {g_lm.face, g_lm.halfFace, g_lm.white, g_lm.black, g_lm.darkBlue, g_lm.bigFont,
                         g_lm.smallFont, g_lm.minus, g_lm.plus, g_lm.shown, g_lm.hidden, g_lm.handle};
    for (HGDIOBJ o : objects)
        if (o)
            DeleteObject(o);
    for (HBITMAP b : g_lm.tools)
        if (b)
            DeleteObject(b);
    g_lm = LayerManager{};
}
