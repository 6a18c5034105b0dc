// Transform mode: a transform plug-in started on the current layer's area, previewed after each
// drag of its control points, applied into the layer with one undo step or cancelled.
#include "draw/transform.h"
#include "draw/controlpoints.h"
#include "draw/drawmouse_internal.h"
#include "draw/transform_internal.h"
#include "base/app.h"
#include "base/messages.h"
#include "base/notify.h"
#include "base/settings.h"
#include "image/cdib.h"
#include "image/current.h"
#include "image/dirtyrect.h"
#include "plugins/loader.h"
#include "view/display.h"
#include "view/paint.h"
#include <stdio.h>

TransformState g_transform;

namespace {

enum { kMessageViewOnly = 78 };

struct TransformDrag {
    bool dragging = false;
    ImageWindow *window = nullptr;
    int kind = 0, index = 0;
    POINT last = {0, 0}; // layer coordinates
};
TransformDrag s_drag;

const TransformPluginRecord *CurrentRow()
{
    int row = g_transform.row;
    if (row < 0 || row >= kTransformRows || !g_transformPlugins[row].module)
        return NULL;
    return &g_transformPlugins[row];
}

// The image drawing in the window goes to.
CDIB *EditedImage(const ImageWindow *window)
{
    return window->layerImage ? window->layerImage : window->group ? window->group->currentImage : NULL;
}

bool Is32(const CDIB *image)
{
    int w, h, d;
    return image && GetImageSize(image, &w, &h, &d) && d == 32;
}

// The handles follow the current window onto any picture with a 32-bit layer to edit.
bool ShowsHandles(const ImageWindow *window)
{
    return window && window->group && Is32(EditedImage(window));
}

// The rectangle clipped to the base of the window's group; false when nothing is left.
bool ClipToBase(const ImageWindow *window, RECT *r)
{
    int w, h, d;
    if (!window || !window->group || !GetImageSize(window->group->base, &w, &h, &d))
        return false;
    r->left = r->left < 0 ? 0 : r->left;
    r->top = r->top < 0 ? 0 : r->top;
    r->right = r->right > w - 1 ? w - 1 : r->right;
    r->bottom = r->bottom > h - 1 ? h - 1 : r->bottom;
    return r->left <= r->right && r->top <= r->bottom;
}

void GrowShown(const RECT &r)
{
    RECT &s = g_transform.shown;
    if (s.right < s.left) {
        s = r;
        return;
    }
    s.left = r.left < s.left ? r.left : s.left;
    s.top = r.top < s.top ? r.top : s.top;
    s.right = r.right > s.right ? r.right : s.right;
    s.bottom = r.bottom > s.bottom ? r.bottom : s.bottom;
}

// The window's display over a rectangle as the layers show it, without any preview.
void RecomposeRect(ImageWindow *window, RECT r)
{
    if (!ClipToBase(window, &r))
        return;
    ComposeDisplayRect(window, window->group, r.left, r.top, r.right, r.bottom, 0);
    RefreshWindowRect(window, r.left, r.top, r.right, r.bottom, 1);
}

// The result goes through the window's stroke buffers into the layer it edits, which need not
// be the source's: a picture opened only for viewing cannot take it.
bool TakesResult(const ImageWindow *window)
{
    return ShowsHandles(window) && EditedImage(window)->editDepth == 32 && window->drawBuffer && window->coverage;
}

// Runs the plug-in's rendering into the window's stroke buffers; the rectangle it wrote, clipped
// to the base, in written. The plug-in's result comes back.
int RunTransforming(ImageWindow *window, RECT *written)
{
    const TransformPluginRecord *row = CurrentRow();
    *written = RECT{0, 0, -1, -1};
    if (!row || !TakesResult(window))
        return 0;
    QzsStartOnImageMDIB(g_transform.group, g_transform.source);
    ClearDirtyRect();
    const RECT &a = g_transform.layerArea;
    int result = row->QzcTransforming(window, g_transform.source, a.left, a.top, a.right, a.bottom,
                                      g_transform.regionBits);
    RECT d;
    if (GetDirtyRect(&d) && ClipToBase(window, &d))
        *written = d;
    return result;
}

} // namespace

// ---- the mode ----

bool InTransformMode() { return g_transform.mode; }
CDIB *GetTransformSource() { return g_transform.mode ? g_transform.source : NULL; }
ImageGroup *GetTransformGroup() { return g_transform.mode ? g_transform.group : NULL; }
bool IsTransformRunning() { return g_transform.mode && CurrentRow() != NULL; }

void MoveTransformSource(int layerX, int layerY)
{
    RECT &a = g_transform.layerArea, &g = g_transform.groupArea;
    g = RECT{(LONG)((int64_t)a.left + layerX), (LONG)((int64_t)a.top + layerY), (LONG)((int64_t)a.right + layerX),
             (LONG)((int64_t)a.bottom + layerY)};
}

void StartTransform(ImageWindow *window, int left, int top, int right, int bottom, int row)
{
    if (row < 0 || row >= kTransformRows || !g_transformPlugins[row].module)
        return;
    g_transform.row = row;
    g_transform.shown = RECT{0, 0, -1, -1};
    s_drag = TransformDrag();
    g_transformPlugins[row].QzcStartTransform(window, left, top, right, bottom);
}

int PreviewTransform(ImageWindow *window)
{
    const TransformPluginRecord *row = CurrentRow();
    if (!row || !TakesResult(window) || !Is32(g_transform.source))
        return 0;
    RECT d;
    RunTransforming(window, &d);
    if (d.left <= d.right) {
        // What the plug-in left unwritten shows the window's layer as it is.
        const ImageGroup *g = window->group;
        CDIB *edited = EditedImage(window);
        int bw, bh, depth, lw, lh;
        GetImageSize(g->base, &bw, &bh, &depth);
        GetImageSize(edited, &lw, &lh, &depth);
        for (int y = d.top; y <= d.bottom; y++)
            for (int x = d.left; x <= d.right; x++) {
                size_t i = (size_t)y * (size_t)bw + (size_t)x;
                int64_t lx = (int64_t)x - g->layerX, ly = (int64_t)y - g->layerY;
                if (window->coverage[i] || lx < 0 || ly < 0 || lx >= lw || ly >= lh)
                    continue;
                uint32_t c = 0;
                QzsGetColorOnImage(edited, (int)lx, (int)ly, &c);
                window->drawBuffer[i] = c;
            }
        ComposeDisplayRect(window, window->group, d.left, d.top, d.right, d.bottom, 1);
        RefreshWindowRect(window, d.left, d.top, d.right, d.bottom, 1);
        GrowShown(d);
    }
    row->QzcDrawControlPoint(window, 1, 1);
    if (d.left <= d.right)
        ClearWorkRect(window, d.left, d.top, d.right, d.bottom);
    return 1;
}

static void EndTransform(ImageWindow *window)
{
    if (window && g_transform.shown.left <= g_transform.shown.right && window->group)
        RecomposeRect(window, g_transform.shown);
    g_transform.mode = false;
    g_transform.row = -1;
    g_transform.source = NULL;
    g_transform.group = NULL;
    g_transform.shown = RECT{0, 0, -1, -1};
    s_drag = TransformDrag();
    ClearDirtyRect();
}

void ApplyTransform(ImageWindow *window)
{
    const TransformPluginRecord *row = CurrentRow();
    if (!row)
        return;
    if (!TakesResult(window)) {
        // Nothing may be lost in silence: the transform goes on for a window that can take it.
        ShowErrorMessage(g_mainWindow, kMessageViewOnly);
        return;
    }
    RECT d;
    int result = RunTransforming(window, &d);
    if (d.left <= d.right) {
        // A plug-in that failed, or a result equal to the layer, leaves the layer and its undo
        // chain as they were.
        if (result && StrokeChangesPixels(window, d.left, d.top, d.right, d.bottom)) {
            SetDirtyRect(d.left, d.top, d.right, d.bottom);
            QzsUpdateWindowInPix(window, 0, 0, 0, 0);
        } else {
            ClearWorkRect(window, d.left, d.top, d.right, d.bottom);
        }
    }
    row->QzcDrawControlPoint(window, 0, 1);
    EndTransform(window);
}

void CancelTransform(ImageWindow *window)
{
    CloseTransformDialog();
    if (const TransformPluginRecord *row = CurrentRow())
        if (ShowsHandles(window))
            row->QzcDrawControlPoint(window, 0, 1);
    RECT d;
    if (window && GetDirtyRect(&d))
        RecomposeRect(window, d);
    EndTransform(window);
}

void RedrawTransformOverlay(ImageWindow *window)
{
    const TransformPluginRecord *row = CurrentRow();
    if (row && ShowsHandles(window))
        row->QzcDrawControlPoint(window, 1, 1);
}

QZS_DECL(void) QzsUpdateWindowInPix(ImageWindow *window, int, int, int, int)
{
    if (!window || !window->group || !EditedImage(window))
        return;
    FlushHeldRedraws();
    EditedImage(window)->modified = 1;
    RECT d;
    bool any = GetDirtyRect(&d);
    // The pixels are the result: neither the region mode nor a functional colour of the current
    // colour may act on them in the commit.
    ColorRecord *c0 = QzsGetColor(0);
    int32_t function = c0->function, regionMode = c0->regionMode;
    c0->function = c0->regionMode = 0;
    CommitStroke(window);
    c0->function = function;
    c0->regionMode = regionMode;
    if (any && ClipToBase(window, &d)) {
        ComposeDisplayRect(window, window->group, d.left, d.top, d.right, d.bottom, 0);
        RefreshWindowRect(window, d.left, d.top, d.right, d.bottom, 1);
    }
}

// ---- the mouse ----

ImageWindow *DragTargetWindow(ImageWindow *window, int *x, int *y)
{
    ImageWindow *current = g_currentWindow;
    if (!current || window == current)
        return window;
    if (!g_cfg.AutoActivateWhenDrag) {
        POINT p = {0, 0};
        GetCursorPos(&p);
        ScreenToClient(current->window, &p);
        WindowToImage(current, p.x, p.y, x, y, 1);
        return current;
    }
    SendMessageA(window->window, WM_ACTIVATE, WA_CLICKACTIVE, 0);
    return window;
}

void TransformButtonDown(ImageWindow *window, int x, int y, int)
{
    RECT d;
    if (GetDirtyRect(&d))
        RecomposeRect(window, d);
    int kind, index;
    HitTestControlPoint(window, x, y, &kind, &index);
    char text[32];
    snprintf(text, sizeof text, "%d %d", kind, index);
    NotifyStatusBarText(0, text);
    s_drag.dragging = true;
    s_drag.window = window;
    s_drag.kind = kind, s_drag.index = index;
    s_drag.last = POINT{(LONG)((int64_t)x - window->group->layerX), (LONG)((int64_t)y - window->group->layerY)};
}

void TransformMouseMove(ImageWindow *window, int x, int y, int, int)
{
    if (!s_drag.dragging) {
        int kind, index;
        HitTestControlPoint(window, x, y, &kind, &index);
        SetControlPointCursor(kind, index);
        return;
    }
    SetControlPointCursor(s_drag.kind, s_drag.index);
    ImageWindow *target = DragTargetWindow(window, &x, &y);
    const TransformPluginRecord *row = CurrentRow();
    if (!target || !target->group)
        return;
    int lx = (int)((int64_t)x - target->group->layerX), ly = (int)((int64_t)y - target->group->layerY);
    if (row)
        row->QzcDragPoint(target, s_drag.last.x, s_drag.last.y, lx, ly, s_drag.kind, s_drag.index);
    s_drag.window = target;
    s_drag.last = POINT{lx, ly};
}

void TransformButtonUp(ImageWindow *window, int, int, int)
{
    s_drag = TransformDrag();
    PreviewTransform(window);
}

void ShowTransformPopup(ImageWindow *window)
{
    static HMENU s_popup;
    if (!s_popup) {
        s_popup = CreatePopupMenu();
        AppendMenuA(s_popup, MF_STRING, 30000, "Do!");
        AppendMenuA(s_popup, MF_STRING, 30001, "Cancel");
    }
    if (!window || !window->window || !IsTransformRunning())
        return;
    POINT p = {0, 0};
    GetCursorPos(&p);
    TrackPopupMenu(s_popup, TPM_LEFTALIGN | TPM_TOPALIGN, p.x, p.y, 0, window->window, NULL);
}
