// The draw lock (a sub-window plug-in or the re-edit of check mode keeps the method from changing),
// the stack of saved methods, and which draw buttons are greyed: all of them while locked, the fill
// tools while the drawing colour's functional colour cannot fill.
#include "draw/drawsel.h"
#include "base/notify.h"
#include "image/bindings.h"
#include "image/colors.h"
#include "plugins/subwin.h"
#include <stdlib.h>

namespace {

int s_locked;
HWND s_lockOwner;
bool s_buttonEnabled[kDrawRows];
bool s_buttonsSet; // false: every button enabled, as at start-up

// A saved method; its address is the handle the stack hands out.
struct DrawStackNode {
    uint32_t index;
    DrawStackNode *next;
};
DrawStackNode *s_stackHead, *s_stackTail;

void SetAllButtons(bool enabled)
{
    for (bool &b : s_buttonEnabled)
        b = enabled;
    s_buttonsSet = true;
}

} // namespace

bool IsDrawButtonEnabled(int row)
{
    return row >= 0 && row < kDrawRows && (!s_buttonsSet || s_buttonEnabled[row]);
}

QZS_DECL(void) QzsLockDraw(HWND owner, int on)
{
    s_locked = on;
    if (on) {
        BroadcastSubWindowMessage(8, 0, 0);
        s_lockOwner = owner;
    } else {
        BroadcastSubWindowMessage(2, 0, 0);
        s_lockOwner = NULL; // whoever unlocks, the lock is gone
    }
    SetDrawButtonsLocked(on);
}

QZS_DECL(int) QzsCheckLockDraw(void)
{
    return s_locked;
}

void SetDrawLockFlag(int on)
{
    s_locked = on;
}

void ReleaseDrawLock()
{
    if (s_locked)
        QzsLockDraw(NULL, 0);
}

HWND GetDrawLockOwner()
{
    return s_lockOwner;
}

void SetDrawButtonsLocked(int lock)
{
    int function = QzsGetColor(0)->function;
    if (!lock && function > 0) {
        // The fill-tool rule of the chosen functional colour stays in force.
        SetColorFunctionDrawMode(function);
        return;
    }
    SetAllButtons(!lock);
    NotifyDrawButtonsChanged();
}

void EnableFillDrawButtons(int enable)
{
    SetAllButtons(true);
    for (int row = 0; row < kDrawRows; row++) {
        const DrawPluginRecord *r = GetDrawPluginRow(row);
        if (!r)
            break;
        if (r->info & 1)
            s_buttonEnabled[row] = enable != 0;
    }
    NotifyDrawButtonsChanged();
}

// Colour record 0 takes the functional colour's draw flags; the fill tools are greyed when it
// cannot fill.
void SetColorFunctionDrawMode(int function)
{
    ColorRecord *c = QzsGetColor(0);
    if (function <= 0) {
        c->drawFlags = 0;
        EnableFillDrawButtons(1);
        return;
    }
    const ColorFunctionRecord *row = GetColorFunctionRow(function - 1);
    int info = row ? row->info : 0;
    c->drawFlags = info & 0xC;
    EnableFillDrawButtons(info & 2 ? 0 : 1);
}

QZS_DECL(void *) QzsPushDraw(void)
{
    DrawStackNode *node = (DrawStackNode *)calloc(1, sizeof *node);
    if (!node)
        return NULL;
    node->index = (uint32_t)GetCurrentDraw();
    if (s_stackTail)
        s_stackTail->next = node;
    else
        s_stackHead = node;
    s_stackTail = node;
    return node;
}

// Any node may be popped; a method that cannot be chosen again still leaves the stack.
QZS_DECL(int) QzsPopDraw(void *handle)
{
    DrawStackNode *before = NULL, *node = s_stackHead;
    while (node && node != handle) {
        before = node;
        node = node->next;
    }
    if (!node)
        return 0;
    // Off the stack before the choice, which tells plug-ins that may push or pop in turn.
    if (before)
        before->next = node->next;
    else
        s_stackHead = node->next;
    if (s_stackTail == node)
        s_stackTail = before;
    int index = (int)node->index;
    free(node);
    SelectDraw(index);
    return 1;
}

void ResetDrawLock()
{
    s_locked = 0;
    s_lockOwner = NULL;
    s_buttonsSet = false;
    while (s_stackHead) {
        DrawStackNode *next = s_stackHead->next;
        free(s_stackHead);
        s_stackHead = next;
    }
    s_stackTail = NULL;
}
