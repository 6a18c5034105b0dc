// Pointer handling of the tool bar and its tool tips. A command runs only when its button is
// pressed and released over the same button; a draw method is selected on the press.
#include "draw/drawsel.h"
#include "draw/reedit.h"
#include "plugins/subwin.h"
#include "base/app.h"
#include "base/messages.h"
#include "base/textutil.h"
#include "shell/toolbar.h"
#include "shell/winproc.h"
#include <commctrl.h>
#include <stdio.h>
#include <string.h>

namespace {
struct Pointer {
    int pressKind;         // 0 none, or the kind of the held button
    ToolButton *held;
    int heldWasPressed;
    ToolButton *hovered;
} s_pointer;

void ShowButtonName(ToolButton *button)
{
    char text[kTextLabelBytes] = "         ";
    if (button) {
        switch (button->kind) {
        case kButtonDraw:
            CopyText(text, sizeof text, DrawMethodDisplayName(button->id));
            break;
        case kButtonSubWindow:
            CopyText(text, sizeof text, SubWindowDisplayName(button->id));
            break;
        case kButtonCommand: {
            char label[kTextLabelBytes];
            GetCommandMenuLabel(button->id, label, sizeof label);
            size_t n = 0;
            for (const char *p = label; *p && *p != '\t'; p++)
                if (*p != '&')
                    text[n++] = *p;
            text[n] = 0;
            break;
        }
        default:
            text[0] = 0;
        }
    }
    SetStatusBarText(0, text);
}
} // namespace

void GetCommandMenuLabel(int id, char *out, size_t size)
{
    if (!size)
        return;
    out[0] = 0;
    HMENU menu = g_mainWindow ? GetMenu(g_mainWindow) : NULL;
    if (menu && GetMenuStringA(menu, (UINT)id, out, (int)size, MF_BYCOMMAND) <= 0)
        out[0] = 0;
    out[size - 1] = 0;
}

void SendCommandToMain(int id)
{
    SendMessageA(g_mainWindow, WM_COMMAND, (WPARAM)id, 0);
}

void ToolBarMouseMove(int x, int y)
{
    ToolButton *under = FindToolButtonAt(x, y);
    if (ToolButton *held = s_pointer.held) {
        if (under == held && !held->pressed) {
            held->pressed = 1;
            DrawToolButton(g_mainWindow, held);
        } else if (under != held && held->pressed != s_pointer.heldWasPressed) {
            held->pressed = s_pointer.heldWasPressed;
            DrawToolButton(g_mainWindow, held);
        }
    }
    if (under != s_pointer.hovered) {
        ShowButtonName(under);
        s_pointer.hovered = under;
    }
}

void ToolBarButtonDown(int x, int y)
{
    ToolButton *under = FindToolButtonAt(x, y);
    s_pointer.pressKind = 0;
    if (under) {
        s_pointer.held = under;
        s_pointer.heldWasPressed = under->pressed;
        s_pointer.pressKind = under->kind;
        if (under->kind == kButtonDraw) {
            if (IsDrawButtonEnabled(under->id))
                SelectDraw(under->id);
        } else {
            under->pressed = 1;
            DrawToolButton(g_mainWindow, under);
        }
    }
    SetCapture(g_mainWindow);
}

void ToolBarButtonUp(int x, int y)
{
    ToolButton *held = s_pointer.held;
    bool over = held && FindToolButtonAt(x, y) == held;
    if (s_pointer.pressKind == kButtonCommand && over) {
        if (held->id == kCommandToggleCheckMode)
            held->pressed = 1 - (InCheckMode() ? 1 : 0);
        else {
            held->pressed = 0;
            DrawToolButton(g_mainWindow, held);
        }
        s_pointer.held = NULL;
        SendCommandToMain(held->id);
    } else if (s_pointer.pressKind == kButtonSubWindow && over) {
        s_pointer.held = NULL;
        ToggleSubWindow(held->id);
    } else if (held && s_pointer.pressKind != kButtonDraw && held->pressed != s_pointer.heldWasPressed) {
        // Released elsewhere: the button goes back to how it was.
        held->pressed = s_pointer.heldWasPressed;
        DrawToolButton(g_mainWindow, held);
    }
    s_pointer.pressKind = 0;
    s_pointer.held = NULL;
    ReleaseCapture();
}

static UINT_PTR ToolId(const ToolButton *b)
{
    switch (b->kind) {
    case kButtonDraw: return (UINT_PTR)b->id + 1000;
    case kButtonSubWindow: return (UINT_PTR)b->id + 2000;
    case kButtonCommand: return (UINT_PTR)b->id;
    }
    return 0;
}

void AddToolTip(ToolButton *button)
{
    UINT_PTR id = ToolId(button);
    if (!g_toolTipWindow || !id)
        return;
    TOOLINFOA info = {};
    info.cbSize = TTTOOLINFOA_V1_SIZE;
    info.uFlags = TTF_SUBCLASS;
    info.hwnd = g_mainWindow;
    info.uId = id;
    info.rect = RECT{button->left, button->top, button->right, button->bottom};
    info.hinst = g_instance;
    info.lpszText = LPSTR_TEXTCALLBACKA;
    SendMessageA(g_toolTipWindow, TTM_ADDTOOLA, 0, (LPARAM)&info);
}

void AddAllToolTips()
{
    for (ToolButton *b = g_firstButton; b; b = b->next)
        AddToolTip(b);
    if (g_toolTipWindow)
        SendMessageA(g_toolTipWindow, TTM_ACTIVATE, TRUE, 0);
}

// The text goes into the notification's own buffer, so it stays valid after the call.
void GetToolTipText(NMTTDISPINFOA *info)
{
    UINT_PTR id = info->hdr.idFrom;
    const char *name = "";
    char label[kTextLabelBytes] = "";
    if (id >= 1000 && id < 2000)
        name = DrawMethodDisplayName((int)(id - 1000));
    else if (id >= 2000 && id < 3000)
        name = SubWindowDisplayName((int)(id - 2000));
    else if (id >= 3000) {
        GetCommandMenuLabel((int)id, label, sizeof label);
        name = label;
    }
    CopyText(info->szText, sizeof info->szText, name ? name : "");
    info->lpszText = info->szText;
    info->hinst = NULL;
}

// The main window passes its pointer messages and tool-tip requests on here.
void OnToolBarMouse(HWND, UINT message, WPARAM, LPARAM lParam)
{
    int x = (short)LOWORD(lParam), y = (short)HIWORD(lParam);
    switch (message) {
    case WM_MOUSEMOVE: ToolBarMouseMove(x, y); break;
    case WM_LBUTTONDOWN: ToolBarButtonDown(x, y); break;
    case WM_LBUTTONUP: ToolBarButtonUp(x, y); break;
    }
}

void OnToolTipNeedText(NMHDR *header)
{
    GetToolTipText((NMTTDISPINFOA *)header);
}

void DrawToolButtons()
{
    RedrawToolButtons();
}
