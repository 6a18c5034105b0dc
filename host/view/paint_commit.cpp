// The end of a stroke: the covered pixels of the draw buffer move into the edited image with an
// undo record (or the region bits into the base mask), post-process colours recolour the figure,
// and the stroke buffers are left empty for the next stroke.
#include "image/bindings.h"
#include "view/groupview.h"
#include "view/paint.h"
#include "base/notify.h"
#include "image/cdib.h"
#include "image/colors.h"
#include "view/display.h"
#include "image/group.h"
#include "image/regions.h"
#include "image/undo.h"
#include "view/winlist.h"
#include "base/rowbands.h"
#include <stdio.h>
#include <string.h>

namespace {

const uint32_t *EditedStore(const ImageGroup *g, int *width, int *height)
{
    int depth;
    const CDIB *image = g ? g->currentImage : NULL;
    if (!GetImageSize(image, width, height, &depth) || depth != 32 || !image->pixels || image->editDepth != 32 ||
        *width <= 0 || *height <= 0)
        return NULL;
    return (const uint32_t *)image->pixels;
}

// The functional colour of a record when it recolours whole figures after they are drawn.
const ColorFunctionRecord *PostProcessColor(const ColorRecord *record)
{
    const ColorFunctionRecord *f = record->function > 0 ? GetColorFunctionRow(record->function - 1) : NULL;
    return f && (f->info & 1) ? f : NULL;
}

// Stroke buffers of the base's size, as the window built them.
bool HasStrokeBuffers(const ImageWindow *window)
{
    int w, h, d;
    return window->drawBuffer && window->coverage && window->editMask && window->group &&
           GetImageSize(window->group->base, &w, &h, &d) && w > 0 && h > 0 && window->contentWidth == w &&
           window->contentHeight == h;
}

// The dirty rectangle inside the window's buffers; false when nothing of it lies there.
bool DirtyInsideWindow(const ImageWindow *window, int *l, int *t, int *r, int *b)
{
    RECT dirty;
    GetDirtyRect(&dirty);
    *l = dirty.left, *t = dirty.top, *r = dirty.right, *b = dirty.bottom;
    ClipRectangleToWindow(window, l, t, r, b);
    return *l <= *r && *t <= *b;
}

// Columns lo..hi of a row cut to first..last; false when nothing is left.
bool CutSpan(int64_t first, int64_t last, int64_t *lo, int64_t *hi)
{
    *lo = *lo > first ? *lo : first;
    *hi = *hi < last ? *hi : last;
    return *lo <= *hi;
}

// One stroke being moved into the edited image: the dirty rectangle, clipped to the base, and the
// record's stores, indexed by its own rectangle (the part of that rectangle inside the image).
struct Transfer {
    ImageWindow *window;
    const ImageGroup *group;
    uint32_t *edited;
    int ew, eh, l, r;
    UndoRecord *record;
};

// Rows first..last of a transfer, each done as spans: the old pixels copied into the record, the
// covered ones taken from the draw buffer, the new ones copied after.
void TransferRows(void *context, int first, int last)
{
    const Transfer &job = *(const Transfer *)context;
    ImageWindow *window = job.window;
    const ImageGroup *g = job.group;
    UndoRecord *record = job.record;
    uint32_t *before = record ? (uint32_t *)record->before : NULL;
    uint32_t *after = record ? (uint32_t *)record->after : NULL;
    int rw = record ? UndoRecordWidth(record) : 0;
    int bw = window->contentWidth, l = job.l, r = job.r;
    size_t n = (size_t)(r - l + 1);
    for (int y = first; y <= last; y++) {
        int64_t row = (int64_t)y * bw;
        uint8_t *mask = window->editMask + row + l;
        for (size_t i = 0; i < n; i++)
            mask[i] &= (uint8_t)~0x60;
        int64_t ey = (int64_t)y - g->layerY;
        // The image columns the row covers, and of those the ones the record keeps.
        int64_t lo = (int64_t)l - g->layerX, hi = (int64_t)r - g->layerX;
        if (ey >= 0 && ey < job.eh && CutSpan(0, job.ew - 1, &lo, &hi)) {
            uint32_t *line = job.edited + ey * job.ew;
            int64_t klo = lo, khi = hi;
            bool kept = record && ey >= record->y0 && ey <= record->y1 && CutSpan(record->x0, record->x1, &klo, &khi);
            int64_t k = kept ? (ey - record->y0) * rw + (klo - record->x0) : 0;
            if (kept)
                memcpy(before + k, line + klo, (size_t)(khi - klo + 1) * 4);
            const uint32_t *draw = window->drawBuffer + row + g->layerX;
            const uint8_t *cover = window->coverage + row + g->layerX;
            for (int64_t x = lo; x <= hi; x++)
                line[x] = cover[x] ? draw[x] : line[x];
            if (kept)
                memcpy(after + k, line + klo, (size_t)(khi - klo + 1) * 4);
        }
        // Cleared whether committed or not, so nothing of this stroke reaches the next one.
        memset(window->drawBuffer + row + l, 0, n * 4);
        memset(window->coverage + row + l, 0, n);
    }
}

// Moves the covered pixels into the edited image and empties the stroke buffers over the dirty
// rectangle, already clipped to the base; rows of a large one are shared out over threads.
void TransferStroke(ImageWindow *window, UndoRecord *record)
{
    Transfer job = {window, window->group, NULL, 0, 0, 0, 0, record};
    job.edited = (uint32_t *)EditedStore(job.group, &job.ew, &job.eh);
    int t, b;
    if (!job.edited || !DirtyInsideWindow(window, &job.l, &t, &job.r, &b))
        return;
    RunRowBands(t, b, (int64_t)job.r - job.l + 1, TransferRows, &job);
}

void ReleaseLocks()
{
    NotifyReleaseDrawLock();
    if (QzsCheckLockColor())
        QzsLockColor(NULL, 0);
}

} // namespace

bool StrokeChangesPixels(const ImageWindow *window, int left, int top, int right, int bottom)
{
    if (!window || !window->group || !HasStrokeBuffers(window))
        return false;
    const ImageGroup *g = window->group;
    int ew, eh;
    const uint32_t *edited = EditedStore(g, &ew, &eh);
    ClipRectangleToWindow(window, &left, &top, &right, &bottom);
    if (!edited)
        return false;
    int bw = window->contentWidth;
    for (int y = top; y <= bottom; y++) {
        int64_t ey = (int64_t)y - g->layerY;
        if (ey < 0 || ey >= eh)
            continue;
        for (int x = left; x <= right; x++) {
            int64_t i = (int64_t)y * bw + x, ex = (int64_t)x - g->layerX;
            if (window->coverage[i] && ex >= 0 && ex < ew && window->drawBuffer[i] != edited[ey * ew + ex])
                return true;
        }
    }
    return false;
}

void ClipRectangleToWindow(const ImageWindow *window, int *left, int *top, int *right, int *bottom)
{
    int w = window ? window->contentWidth : 0, h = window ? window->contentHeight : 0;
    *left = *left < 0 ? 0 : *left;
    *top = *top < 0 ? 0 : *top;
    *right = *right > w - 1 ? w - 1 : *right;
    *bottom = *bottom > h - 1 ? h - 1 : *bottom;
}

void ClipDirtyRectangle(const ImageWindow *window)
{
    RECT d;
    if (!GetDirtyRect(&d) && (d.right < 0 || d.bottom < 0))
        return;
    int l = d.left, t = d.top, r = d.right, b = d.bottom;
    ClipRectangleToWindow(window, &l, &t, &r, &b);
    if (l > r || t > b)
        ClearDirtyRect();
    else
        SetDirtyRect(l, t, r, b);
}

void PostProcessStroke(ImageWindow *window)
{
    const ColorFunctionRecord *f = PostProcessColor(QzsGetColor(0));
    RECT d;
    GetDirtyRect(&d);
    if (f && f->QzcPostProcess && window)
        f->QzcPostProcess(window, d.left, d.top, d.right, d.bottom, (int)(window->activeRegion | 0x20));
}

void CommitStroke(ImageWindow *window)
{
    RECT dirty;
    GetDirtyRect(&dirty);
    if (!window || !window->drawBuffer || dirty.right < 0 || dirty.bottom < 0)
        return;
    const ColorRecord *drawing = QzsGetColor(0);
    int ew, eh;
    if (drawing->regionMode != 0) {
        RegionCommit(window);
    } else if (window->group && EditedStore(window->group, &ew, &eh) && HasStrokeBuffers(window)) {
        bool post = PostProcessColor(drawing) != NULL;
        if (post)
            PostProcessStroke(window);
        // Pixels off the base were never painted: the record covers what the stroke can change.
        ClipDirtyRectangle(window);
        UndoRecord *record = PushUndo(window->group, window->group->currentImage, kUndoPixelRect);
        TransferStroke(window, record);
        if (post) {
            GetDirtyRect(&dirty);
            char text[64];
            snprintf(text, sizeof text, "%d %d - %d %d", (int)dirty.left, (int)dirty.top, (int)dirty.right,
                     (int)dirty.bottom);
            QzsStatMessage(window, text);
            ImageWindow *current = g_currentWindow ? g_currentWindow : window;
            if (current->group) {
                ComposeDisplayRect(current, current->group, dirty.left, dirty.top, dirty.right, dirty.bottom, 0);
                RefreshWindowRect(current, dirty.left, dirty.top, dirty.right, dirty.bottom, 1);
            }
        }
    }
    ReleaseLocks();
    NotifyMenusChanged();
    UpdateOtherViews(window);
    ClearDirtyRect();
    NotifyPluginMessage(6, 0, 0);
}

QZS_DECL(int) QzsEndNoUpdateDraw(void)
{
    ReleaseLocks();
    // The abandoned stroke leaves the buffers as if it had never been drawn: a later commit over
    // the same pixels must not pick it up.
    ImageWindow *window = g_currentWindow;
    int l, t, r, b;
    if (window && window->group && HasStrokeBuffers(window) && DirtyInsideWindow(window, &l, &t, &r, &b)) {
        const uint8_t *mask = window->group->base ? window->group->base->mask : NULL;
        int bw = window->contentWidth;
        for (int y = t; y <= b; y++) {
            int64_t row = (int64_t)y * bw;
            memset(window->drawBuffer + row + l, 0, (size_t)(r - l + 1) * 4);
            memset(window->coverage + row + l, 0, (size_t)(r - l + 1));
            if (mask)
                memcpy(window->editMask + row + l, mask + row + l, (size_t)(r - l + 1));
            else
                memset(window->editMask + row + l, 0, (size_t)(r - l + 1));
        }
    }
    ClearDirtyRect();
    return -1;
}
