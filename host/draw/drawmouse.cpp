// The button handlers of the draw machinery. By the current method's mode a figure is dragged
// (press and release give its two points), clicked (each release adds the point pressed, the right
// button takes the last one back) or drawn free-hand (every move adds a point); the right button
// otherwise picks colours. A press of one button while the other is held is ignored, and so is
// its release.
#include "draw/drawmouse_internal.h"
#include "draw/drawsel.h"
#include "draw/reedit.h"
#include "draw/transform.h"
#include "base/messages.h"
#include "base/notify.h"
#include "image/current.h"
#include "image/pen.h"
#include "plugins/effectdlg.h"
#include "plugins/params.h"
#include "plugins/subwin.h"
#include "view/display.h"
#include "view/paint.h"

enum { kMessageStrangeState = 36 };

int g_drawState;
DrawMouseState g_mouse;

int GetDrawState()
{
    return g_drawState;
}

void SetDrawState(int state)
{
    g_drawState = state;
}

bool IsDrawMachineryBusy()
{
    return g_mouse.guideBusy;
}

bool IsCheckModeOn()
{
    return g_mouse.checkMode;
}

void SetCheckMode(bool on)
{
    g_mouse.checkMode = on;
}

void ResetDrawMachinery()
{
    g_mouse = DrawMouseState();
    g_drawState = kDrawIdle;
}

QZS_DECL(int) QzsGetClickMode(void)
{
    return g_mouse.userClickMode;
}

QZS_DECL(int) QzsGetRowMousePos(int *x, int *y)
{
    if (x)
        *x = g_mouse.raw.x;
    if (y)
        *y = g_mouse.raw.y;
    return g_mouse.raw.y;
}

void ChangeDrawMode()
{
    g_mouse.userClickMode = g_mouse.userClickMode == 2 ? 1 : 2;
    ShowCurrentDrawModeStatus();
}

int EffectiveDrawMode(const DrawPluginRecord *row)
{
    if (!row)
        return 0;
    return row->interaction == 3 ? g_mouse.userClickMode : row->interaction;
}

bool ShowsImage(const ImageWindow *window)
{
    return window && window->group && window->layerImage;
}

int MouseKeys(WPARAM wParam)
{
    return (int)LOWORD(wParam);
}

int GetMouseKeyFlags()
{
    return (GetKeyState(VK_SHIFT) < 0 ? MK_SHIFT : 0) | (GetKeyState(VK_CONTROL) < 0 ? MK_CONTROL : 0);
}

void NudgeCursor()
{
    POINT p;
    if (GetCursorPos(&p))
        SetCursorPos(p.x, p.y);
}

void WindowToImage(ImageWindow *window, int x, int y, int *outX, int *outY, int convert)
{
    if (!convert || !window) {
        *outX = x, *outY = y;
        return;
    }
    g_mouse.raw = POINT{x, y};
    int z = window->display.zoom;
    int ox = window->display.viewX - window->contentLeft, oy = window->display.viewY - window->contentTop;
    if (z >= 1)
        *outX = x / z + ox, *outY = y / z + oy;
    else
        *outX = x * -z + ox, *outY = y * -z + oy;
}

// ---- the plug-in's entries ----

int PluginSetPoint(ImageWindow *window, int x, int y, int keys)
{
    DrawPluginRecord *row = GetCurrentDrawPlugin();
    return row && row->QzcSetPoint ? row->QzcSetPoint(window, x, y, keys) : kDrawComplete;
}

// A plug-in may pump messages while it draws its guide: the timer keeps out meanwhile.
void PluginGuide(ImageWindow *window, int x, int y, int show, int refresh, int keys)
{
    DrawPluginRecord *row = GetCurrentDrawPlugin();
    if (!row || !row->QzcDrawGuideLine)
        return;
    bool busy = g_mouse.guideBusy;
    g_mouse.guideBusy = true;
    row->QzcDrawGuideLine(window, x, y, show, refresh, keys);
    g_mouse.guideBusy = busy;
}

// Methods draw their figures piece by piece, each piece shown at once: under a slow display the
// figure then grows on screen for seconds. The pieces are shown together when the method is done.
void PluginDrawIt(ImageWindow *window, int x, int y, int keys)
{
    DrawPluginRecord *row = GetCurrentDrawPlugin();
    if (!row || !row->QzcDrawIt)
        return;
    BeginGatheredRefresh();
    row->QzcDrawIt(window, x, y, keys);
    EndGatheredRefresh(window);
}

int PluginCancelOne(ImageWindow *window, int x, int y)
{
    DrawPluginRecord *row = GetCurrentDrawPlugin();
    return row && row->QzcCancelOne ? row->QzcCancelOne(window, x, y) : kDrawComplete;
}

void RecordDrawStep(const char *word, int x, int y, int keys)
{
    NotifyMacroDraw(word, x, y, keys);
}

// Set while the pen maker holds a pen changed by pressure: the stroke's end gives the pen back.
static bool s_pressureSent;

// Without a tablet the maximum is 0 and the pen maker hears nothing: its pen stays as it is.
void SendPenPressure(int *tabletX, int *tabletY, int *pressure)
{
    int maximum;
    AskTabletPacket(tabletX, tabletY, pressure, &maximum);
    HWND maker = GetPenCreatorWindow();
    if (maker && maximum > 0) {
        SendSubWindowMessage(maker, 11, *pressure, maximum);
        s_pressureSent = true;
    }
}

void EndPenPressure()
{
    NotifyFlushTablet();
    if (!s_pressureSent)
        return;
    s_pressureSent = false;
    if (HWND maker = GetPenCreatorWindow())
        SendSubWindowMessage(maker, 11, 0, 0);
}

// ---- figures ----

void CompleteFigure(ImageWindow *window)
{
    if (g_drawState != kDrawComplete)
        return;
    // Idle before the commit: its repaints and notices reach window procedures that would
    // otherwise commit the same figure again.
    g_drawState = kDrawIdle;
    QzsInitPoint();
    if (window) {
        CommitStroke(window);
        if (IsLoopMode())
            RedrawImageWindow(window);
    }
    ResetStampCounter();
    NotifyMacroFigureDone();
}

// A figure dropped half-way leaves no points behind for the next one.
static void AbandonFigure()
{
    if (g_drawState == kDrawInProgress || g_drawState == kDrawClickCancel || g_drawState == kDrawClickHeld)
        QzsInitPoint();
}

// The figure is drawn, or in check mode kept for re-editing; true when it was drawn.
static bool FinishFigure(ImageWindow *window, int x, int y, int keys)
{
    const DrawPluginRecord *row = GetCurrentDrawPlugin();
    if (!g_mouse.checkMode || (row && (row->info & 0x20))) {
        PluginDrawIt(window, x, y, keys);
        RecordDrawStep("DrawIt", x, y, keys);
        return true;
    }
    EnterReedit(x, y, keys);
    DrawReeditGuide(window, 1, 1);
    g_drawState = kDrawReedit;
    NotifyCursorChanged();
    return false;
}

// ---- what both buttons share ----

// A press while the other button is held is ignored, and so is its release.
static bool PressCounts(bool &down, bool otherDown, bool &swallowUp)
{
    down = true;
    if (otherDown) {
        swallowUp = true;
        return false;
    }
    return !swallowUp;
}

static bool ReleaseCounts(bool &down, bool &swallowUp)
{
    down = false;
    if (swallowUp) {
        swallowUp = false;
        return false;
    }
    return true;
}

// A window that shows no image, and every window while the Effect dialog is open, draws nothing.
static bool TakesDrawing(const ImageWindow *window)
{
    return ShowsImage(window) && !InEffectMode();
}

// Every point handed to the method goes to a recorded macro too.
static int SetPointRecorded(ImageWindow *window, int x, int y, int keys)
{
    int result = PluginSetPoint(window, x, y, keys);
    RecordDrawStep("SetPoint", x, y, keys);
    return result;
}

// The rubber band comes down where it was drawn last.
static void EraseGuide(ImageWindow *window, int keys)
{
    PluginGuide(window, g_mouse.lastGuide.x, g_mouse.lastGuide.y, 0, 0, keys);
}

typedef void (*LeftHandler)(ImageWindow *window, int x, int y, int keys);

// A figure under re-edit, then transform mode, take the left button before any draw method.
static bool TakenByMode(ImageWindow *window, int x, int y, int keys, LeftHandler reedit, LeftHandler transform)
{
    if (g_drawState == kDrawReedit)
        reedit(window, x, y, keys);
    else if (InTransformMode())
        transform(window, x, y, keys);
    else
        return false;
    return true;
}

// ---- the left button ----

int OnDrawLeftButtonDown(ImageWindow *window, WPARAM wParam, LPARAM lParam, int convert)
{
    DrawMouseState &s = g_mouse;
    if (!PressCounts(s.leftDown, s.rightDown, s.swallowLeftUp) || !TakesDrawing(window))
        return 0;
    s.colorPicking = false;
    int keys = MouseKeys(wParam), x, y;
    WindowToImage(window, LOWORD(lParam), HIWORD(lParam), &x, &y, convert);
    int slot, index;
    if (FindPointGroupHandle(window, x, y, &slot, &index)) {
        BeginPointGroupDrag(window, x, y, slot, index);
        s.pointGroupDrag = true, s.grabbedSlot = slot, s.grabbedIndex = index;
        return 0;
    }
    if (TakenByMode(window, x, y, keys, ReeditButtonDown, TransformButtonDown) || g_drawState == kDrawClickHeld)
        return 0;
    if (g_drawState == kDrawClickCancel) {
        s.swallowRightUp = true;
        return 0;
    }
    DrawPluginRecord *row = GetCurrentDrawPlugin();
    if (!row || row->interaction == 0)
        return 0;
    SetForegroundWindow(window->window);
    SetCapture(window->window);
    switch (EffectiveDrawMode(row)) {
    case 1:
        SetPointRecorded(window, x, y, keys);
        s.lastGuide = POINT{x, y};
        g_drawState = kDrawInProgress;
        break;
    case 2: {
        // The point is where the pointer is now, not where the message says it was.
        POINT p = {0, 0};
        GetCursorPos(&p);
        ScreenToClient(window->window, &p);
        int cx, cy;
        WindowToImage(window, p.x, p.y, &cx, &cy, 1);
        s.click = POINT{cx, cy};
        g_drawState = kDrawClickHeld;
        break;
    }
    case 4:
        EraseHoverGuide(0);
        ResetStampCounter();
        if (!s.checkMode || (row->info & 0x20)) {
            int tx, ty, pressure;
            SendPenPressure(&tx, &ty, &pressure);
            SetPointRecorded(window, x, y, keys);
        } else {
            QzPoint p = {x, y};
            QzsSetNewEntryPoint(&p);
        }
        s.lastGuide = POINT{x, y};
        g_drawState = kDrawInProgress;
        break;
    default: // a kind the machinery does not know only holds the mouse
        break;
    }
    return 0;
}

int OnDrawLeftButtonUp(ImageWindow *window, WPARAM wParam, LPARAM lParam, int convert)
{
    DrawMouseState &s = g_mouse;
    if (!ReleaseCounts(s.leftDown, s.swallowLeftUp) || !TakesDrawing(window))
        return 0;
    s.colorPicking = false;
    int keys = MouseKeys(wParam), x, y;
    WindowToImage(window, (short)LOWORD(lParam), (short)HIWORD(lParam), &x, &y, convert);
    if (s.pointGroupDrag) {
        EndPointGroupDrag(window, x, y, s.grabbedSlot, s.grabbedIndex);
        s.pointGroupDrag = false, s.grabbedSlot = s.grabbedIndex = -1;
        return 0;
    }
    if (TakenByMode(window, x, y, keys, ReeditButtonUp, TransformButtonUp))
        return 0;
    DrawPluginRecord *row = GetCurrentDrawPlugin();
    int mode = EffectiveDrawMode(row);
    if (g_drawState == kDrawClickHeld) {
        if (mode != 2) {
            ShowSysErrorMessage(g_currentWindowHandle, kMessageStrangeState);
            return 1;
        }
        EraseGuide(window, keys);
        g_drawState = SetPointRecorded(window, s.click.x, s.click.y, keys);
        s.lastGuide = POINT{x, y};
        if (g_drawState == kDrawComplete) {
            ResetStampCounter();
            FinishFigure(window, x, y, keys);
            ReleaseCapture();
        }
        return 0; // otherwise the capture stays for the next click of the figure
    }
    // A release whose press this window never saw ends nothing.
    bool inFigure = g_drawState == kDrawInProgress;
    switch (mode) {
    case 1:
        if (inFigure) {
            EraseGuide(window, keys);
            ResetStampCounter();
            SetPointRecorded(window, x, y, keys);
            if (FinishFigure(window, x, y, keys))
                g_drawState = kDrawComplete;
            ResetStampCounter();
        }
        ReleaseCapture();
        break;
    case 2:
        if (g_drawState != kDrawIdle) {
            AbandonFigure();
            ReleaseCapture();
        }
        g_drawState = kDrawIdle;
        ResetStampCounter();
        break;
    case 4:
        if (inFigure && FinishFigure(window, x, y, keys))
            g_drawState = kDrawComplete;
        EndPenPressure();
        ResetStampCounter();
        ReleaseCapture();
        break;
    default:
        ReleaseCapture();
        break;
    }
    return 0;
}

// ---- the right button ----

int OnDrawRightButtonDown(ImageWindow *window, WPARAM wParam, LPARAM lParam, int convert)
{
    DrawMouseState &s = g_mouse;
    if (!PressCounts(s.rightDown, s.leftDown, s.swallowRightUp) || !TakesDrawing(window))
        return 0;
    int keys = MouseKeys(wParam), x, y;
    WindowToImage(window, (short)LOWORD(lParam), (short)HIWORD(lParam), &x, &y, convert);
    if (InTransformMode() || g_drawState == kDrawReedit)
        return 0;
    if (EffectiveDrawMode(GetCurrentDrawPlugin()) == 2 && g_drawState == kDrawInProgress) {
        g_drawState = kDrawClickCancel;
        EraseGuide(window, keys);
        s.click = POINT{x, y};
        return 0;
    }
    // The eyedropper: the colour under the pointer while the button is held.
    AbandonFigure();
    SetCapture(window->window);
    g_drawState = kDrawIdle;
    ResetStampCounter();
    QzsSpoitColor(window, x, y, keys);
    s.colorPicking = true;
    return 0;
}

int OnDrawRightButtonUp(ImageWindow *window, WPARAM wParam, LPARAM lParam, int convert)
{
    DrawMouseState &s = g_mouse;
    if (!ReleaseCounts(s.rightDown, s.swallowRightUp) || !TakesDrawing(window))
        return 0;
    int keys = MouseKeys(wParam), x, y;
    WindowToImage(window, (short)LOWORD(lParam), (short)HIWORD(lParam), &x, &y, convert);
    if (g_drawState == kDrawReedit) {
        ShowReeditPopup(window);
        return 0;
    }
    if (InTransformMode()) {
        ShowTransformPopup(window);
        return 0;
    }
    if (EffectiveDrawMode(GetCurrentDrawPlugin()) == 2 && !s.colorPicking) {
        if (g_drawState != kDrawClickCancel)
            return 0; // no press of this window started a cancel
        EraseGuide(window, keys);
        RecordDrawStep("CancelOne", s.click.x, s.click.y, 0);
        g_drawState = PluginCancelOne(window, s.click.x, s.click.y);
        if (g_drawState == kDrawComplete) {
            ReleaseCapture();
        } else {
            PluginGuide(window, s.click.x, s.click.y, 1, 0, keys);
            s.lastGuide = s.click;
        }
        RECT pending;
        if (GetPendingRefresh(&pending))
            RefreshWindowRect(window, pending.left, pending.top, pending.right, pending.bottom, 1);
        return 0;
    }
    ReleaseCapture();
    g_drawState = kDrawIdle;
    ResetStampCounter();
    s.colorPicking = false;
    NotifyCursorChanged();
    return 0;
}
