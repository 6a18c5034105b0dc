// Tool-bar button records, their painter and the light-grey replacement in their bitmaps.
#include "shell/toolbar.h"
#include "draw/drawsel.h"
#include "draw/reedit.h"
#include "shell/commands.h"
#include "shell/menus.h"
#include "plugins/loader.h"
#include "base/app.h"
#include <initializer_list>
#include <stdlib.h>

ToolButton *g_firstButton, *g_lastButton;
int g_lastCommandButton = -1;
HBITMAP g_clipWindowBitmap, g_itemWindowBitmap;
HPEN g_blackPen, g_whitePen, g_shadowPen;
HBRUSH g_lightGreyBrush, g_buttonFaceBrush, g_whiteBrush;

namespace {
struct CommandButton {
    int id, bitmap;
};
// Left to right; each is 22 x 22 at top 5, 23 pixels apart.
const CommandButton kCommandButtonTable[kCommandButtons] = {
    {32016, 136}, {32017, 140}, {32064, 108}, {32027, 148}, {32057, 149}, {32056, 110}, {32077, 111}, {32015, 112},
    {32034, 146}, {32035, 151}, {32074, 117}, {32075, 116}, {32031, 150}, {32045, 152}, {32062, 153}, {32086, 109},
};
HBITMAP s_commandBitmaps[kCommandButtons];
} // namespace

void CreateShellDrawingObjects()
{
    if (g_blackPen)
        return;
    g_blackPen = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    g_whitePen = CreatePen(PS_SOLID, 1, RGB(255, 255, 255));
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    g_shadowPen = CreatePen(PS_SOLID, 1, RGB(GetRValue(face) * 3 / 4, GetGValue(face) * 3 / 4, GetBValue(face) * 3 / 4));
    g_lightGreyBrush = CreateSolidBrush(RGB(192, 192, 192));
    g_buttonFaceBrush = GetSysColorBrush(COLOR_BTNFACE);
    g_whiteBrush = CreateSolidBrush(RGB(255, 255, 255));
}

void DeleteToolBarDrawingObjects()
{
    for (HGDIOBJ *object : {(HGDIOBJ *)&g_blackPen, (HGDIOBJ *)&g_whitePen, (HGDIOBJ *)&g_shadowPen,
                            (HGDIOBJ *)&g_lightGreyBrush, (HGDIOBJ *)&g_whiteBrush}) {
        if (*object)
            DeleteObject(*object);
        *object = NULL;
    }
    g_buttonFaceBrush = NULL; // a system brush: never deleted
}

void LoadToolBarBitmaps()
{
    for (int i = 0; i < kCommandButtons; i++)
        if (!s_commandBitmaps[i])
            s_commandBitmaps[i] = LoadBitmapA(g_instance, MAKEINTRESOURCEA(kCommandButtonTable[i].bitmap));
    if (!g_clipWindowBitmap)
        g_clipWindowBitmap = LoadBitmapA(g_instance, MAKEINTRESOURCEA(113));
    if (!g_itemWindowBitmap) {
        g_itemWindowBitmap = LoadBitmapA(g_instance, MAKEINTRESOURCEA(114));
        QzsSetBackColorInBitmap(g_itemWindowBitmap);
    }
}

void CreateToolBarButtons()
{
    CreateShellDrawingObjects();
    for (int i = 0; i < kCommandButtons; i++) {
        int left = 23 * i;
        int pressed = kCommandButtonTable[i].id == kCommandToggleCheckMode && InCheckMode() ? 1 : 0;
        AddToolButton(left, 5, left + 22, 27, kButtonCommand, kCommandButtonTable[i].id, s_commandBitmaps[i], pressed);
    }
    g_lastCommandButton = kCommandButtons - 1;
}

void CreateDrawButtons()
{
    int left = kCommandButtons * 23 + 33;
    for (int row = 0; row < kDrawRows; row++) {
        const DrawPluginRecord *r = GetDrawPluginRow(row);
        if (!r)
            continue;
        AddToolButton(left, 5, left + 22, 27, kButtonDraw, row, r->bitmap, row == GetCurrentDraw() ? 1 : 0);
        left += 23;
    }
}

void ShowDrawSelection(int oldRow, int newRow)
{
    for (int row : {oldRow, newRow})
        if (ToolButton *b = FindToolButton(kButtonDraw, row)) {
            b->pressed = row == newRow;
            DrawToolButton(g_mainWindow, b);
        }
    if (HMENU menu = GetMainMenu()) {
        CheckMenuItem(menu, kFirstDrawCommand + oldRow, MF_BYCOMMAND | MF_UNCHECKED);
        CheckMenuItem(menu, kFirstDrawCommand + newRow, MF_BYCOMMAND | MF_CHECKED);
    }
}

// One button per loaded sub-window row, after the command buttons; pressed while shown, hidden
// while docked.
void CreateSubWindowButtons()
{
    static ToolButton made[kSubWindowRows];
    // After the command buttons and the draw buttons.
    int before = kCommandButtons;
    for (int row = 0; row < kDrawRows; row++)
        before += GetDrawPluginRow(row) ? 1 : 0;
    int n = BuildSubWindowButtons(made, kSubWindowRows, before);
    for (int i = 0; i < n; i++) {
        const ToolButton &m = made[i];
        if (ToolButton *b = AddToolButton(m.left, m.top, m.right, m.bottom, m.kind, m.id, m.bitmap, m.pressed))
            b->visible = m.visible;
    }
}

void SetToolButtonOfKindPressed(int kind, int id, int pressed)
{
    if (ToolButton *b = FindToolButton(kind, id)) {
        b->pressed = pressed;
        DrawToolButton(g_mainWindow, b);
    }
}

ToolButton *AddToolButton(int left, int top, int right, int bottom, int kind, int id, HBITMAP bitmap, int pressed)
{
    ToolButton *button = (ToolButton *)calloc(1, sizeof *button);
    if (!button)
        return NULL;
    *button = ToolButton{left, top, right, bottom, kind, id, bitmap, pressed, 1, NULL};
    if (g_lastButton)
        g_lastButton->next = button;
    else
        g_firstButton = button;
    g_lastButton = button;
    QzsSetBackColorInBitmap(bitmap);
    return button;
}

static void Line(HDC dc, HPEN pen, int x0, int y0, int x1, int y1)
{
    SelectObject(dc, pen);
    MoveToEx(dc, x0, y0, NULL);
    LineTo(dc, x1, y1);
}

// Greyed: a draw button of the tool bar whose method cannot be chosen now.
static void PaintButton(HDC dc, const ToolButton &b, bool greyed)
{
    SelectObject(dc, g_lightGreyBrush);
    SelectObject(dc, g_blackPen);
    if (!b.visible) {
        RECT r = {b.left, b.top, b.right + 1, b.bottom + 1};
        FillRect(dc, &r, g_buttonFaceBrush ? g_buttonFaceBrush : GetSysColorBrush(COLOR_BTNFACE));
        return;
    }
    int inset;
    if (!b.pressed) {
        Line(dc, g_whitePen, b.left, b.bottom, b.left, b.top);
        LineTo(dc, b.right, b.top);
        Line(dc, g_shadowPen, b.left + 1, b.bottom - 1, b.right, b.bottom - 1);
        Line(dc, g_shadowPen, b.right - 1, b.bottom - 1, b.right - 1, b.top);
        Line(dc, g_blackPen, b.left, b.bottom, b.right + 1, b.bottom);
        Line(dc, g_blackPen, b.right, b.bottom, b.right, b.top - 1);
        inset = 1;
    } else {
        Line(dc, g_blackPen, b.left, b.bottom, b.left, b.top);
        LineTo(dc, b.right + 1, b.top);
        Line(dc, g_shadowPen, b.left + 1, b.bottom - 1, b.left + 1, b.top + 1);
        LineTo(dc, b.right, b.top + 1);
        Line(dc, g_whitePen, b.left + 1, b.bottom, b.right + 1, b.bottom);
        Line(dc, g_whitePen, b.right, b.bottom - 1, b.right, b.top);
        inset = 2;
    }
    if (b.bitmap && greyed) {
        DrawStateA(dc, NULL, NULL, (LPARAM)b.bitmap, 0, b.left + inset, b.top + inset, b.right - b.left - 1,
                   b.bottom - b.top - 1, DST_BITMAP | DSS_DISABLED);
    } else if (b.bitmap) {
        HDC memory = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(memory, b.bitmap);
        BitBlt(dc, b.left + inset, b.top + inset, b.right - b.left - 1, b.bottom - b.top - 1, memory, 0, 0, SRCCOPY);
        SelectObject(memory, old);
        DeleteDC(memory);
    }
}

int DrawToolButton(HWND window, ToolButton *button)
{
    if (!window || !button)
        return 1;
    CreateShellDrawingObjects();
    HDC dc = GetDC(window);
    if (!dc)
        return 1;
    int saved = SaveDC(dc);
    bool greyed = window == g_mainWindow && button->kind == kButtonDraw && !IsDrawButtonEnabled(button->id);
    PaintButton(dc, *button, greyed);
    RestoreDC(dc, saved);
    ReleaseDC(window, dc);
    return 1;
}

QZS_DECL(int) QzsDrawButton(HWND window, ToolButton *button)
{
    return DrawToolButton(window, button);
}

void RedrawToolButtons()
{
    for (ToolButton *b = g_firstButton; b; b = b->next)
        DrawToolButton(g_mainWindow, b);
}

void SetToolButtonPressed(int id, int pressed)
{
    for (ToolButton *b = g_firstButton; b; b = b->next)
        if (b->id == id) {
            b->pressed = pressed;
            DrawToolButton(g_mainWindow, b);
        }
}

ToolButton *FindToolButtonAt(int x, int y)
{
    for (ToolButton *b = g_firstButton; b; b = b->next)
        if (b->visible && b->left < x && x < b->right && b->top < y && y < b->bottom)
            return b;
    return NULL;
}

ToolButton *FindToolButton(int kind, int id)
{
    for (ToolButton *b = g_firstButton; b; b = b->next)
        if (b->kind == kind && b->id == id)
            return b;
    return NULL;
}

void FreeToolButtons(bool deleteBitmaps)
{
    while (g_firstButton) {
        ToolButton *next = g_firstButton->next;
        if (deleteBitmaps && g_firstButton->bitmap) {
            for (HBITMAP &shared : s_commandBitmaps)
                if (shared == g_firstButton->bitmap)
                    shared = NULL;
            DeleteObject(g_firstButton->bitmap);
        }
        free(g_firstButton);
        g_firstButton = next;
    }
    g_lastButton = NULL;
    g_lastCommandButton = -1;
}
