// Layer compositing: a group's rows composed from the base and every shown layer through its
// blend, and the composed colours written into a window's display with their tints.
#include "base/cursors.h"
#include "view/display.h"
#include "image/blend.h"
#include "image/cdib.h"
#include "image/group.h"
#include "view/writers.h"
#include "base/rowbands.h"
#include "base/app.h"
#include <stdlib.h>
#include <string.h>

static const ImageGroup *s_composedGroup; // the group being composed, for the layer frame

// The blend of a layer, looked up for this call only so that composing touches no program-wide
// state.
static BlendFunction BlendOfLayer(const LayerRecord *layer)
{
    if (layer->blend <= 0)
        return BlendPixelOver;
    LayerBlendRecord *row = QzsGetColorBlendMode(layer->blend);
    return row && row->QzcGetBlendColor ? row->QzcGetBlendColor : BlendPixelOver;
}

static void FillBaseRun(int x, int y, int count, int w, const ImageGroup *group, const CDIB *substitute,
                        const uint32_t *store, uint32_t *colorRow)
{
    if (group->baseStatus == 0) {
        for (int i = 0; i < count; i++) {
            int cell = ((y / 16) % 2) + (((x + i) / 16) % 2);
            colorRow[i] = cell == 1 ? 0xFFC0C0C0u : 0xFFFFFFFFu;
        }
        return;
    }
    const uint32_t *from = substitute && substitute == group->base && store ? store : (const uint32_t *)group->base->pixels;
    memcpy(colorRow, from + (int64_t)y * w + x, (size_t)count * 4);
}

static void BlendLayerRun(const LayerRecord *layer, int x, int y, int count, int w, const CDIB *substitute,
                          const uint32_t *store, uint32_t *colorRow)
{
    if (layer->status != 1 || y < layer->y || y > layer->bottom || !layer->image || !layer->image->pixels)
        return;
    int lw, lh, ld;
    GetImageSize(layer->image, &lw, &lh, &ld);
    if (ld != 32 || y - layer->y >= lh)
        return;
    int x0 = x > layer->x ? x : layer->x;
    int x1 = x + count - 1 < layer->right ? x + count - 1 : layer->right;
    if (x0 >= w || x1 < x0 || (int64_t)x1 - layer->x >= lw)
        return;
    const uint32_t *from;
    if (substitute && layer->image == substitute && store)
        from = store + (int64_t)y * w + x0;
    else
        from = (const uint32_t *)layer->image->pixels + (int64_t)(y - layer->y) * lw + (x0 - layer->x);
    BlendFunction blend = BlendOfLayer(layer);
    int opacity = layer->opacity < 0 ? 0 : layer->opacity > 255 ? 255 : layer->opacity;
    uint32_t *to = colorRow + (x0 - x);
    int n = x1 - x0 + 1;
    if (blend == BlendPixelOver) {
        // The normal blend inline: opaque and transparent pixels need no arithmetic.
        for (int i = 0; i < n; i++) {
            uint32_t u = from[i];
            uint32_t au = ScaleAlpha(u >> 24, (uint32_t)opacity);
            if (au == 0)
                continue;
            to[i] = au == 255 ? u | 0xFF000000u : OverPixel(to[i], u, au);
        }
        return;
    }
    for (int i = 0; i < n; i++) {
        uint8_t upper[4], result[4];
        memcpy(upper, from + i, 4);
        upper[3] = (uint8_t)ScaleAlpha(upper[3], (uint32_t)opacity);
        memcpy(result, to + i, 4);
        blend((const uint8_t *)(to + i), upper, i, y, result);
        memcpy(to + i, result, 4);
    }
}

int ComposeRow(int x, int y, int, int count, ImageGroup *group, CDIB *substitute, const uint32_t *store,
               const uint8_t *mask, uint32_t *colorRow, uint8_t *maskRow)
{
    int w, h, d;
    if (count <= 0)
        return 1;
    // Rows outside the base come back empty rather than read past a store.
    if (!group || !GetImageSize(group->base, &w, &h, &d) || d != 32 || !group->base->pixels || y < 0 || y >= h ||
        x < 0 || (int64_t)x + count > w) {
        memset(colorRow, 0, (size_t)count * 4);
        memset(maskRow, 0, (size_t)count);
        return 0;
    }
    FillBaseRun(x, y, count, w, group, substitute, store, colorRow);
    for (const LayerRecord *layer = group->firstLayer; layer; layer = layer->next)
        BlendLayerRun(layer, x, y, count, w, substitute, store, colorRow);
    if (mask)
        memcpy(maskRow, mask + (int64_t)y * w + x, (size_t)count);
    return 1;
}

// ---- display pixels ----

// Blue frame just outside the current layer's rectangle (display coordinates).
static bool OnLayerFrame(const ImageWindow *window, const ImageGroup *g, int x, int y)
{
    if (!g)
        return false;
    int left = g->layerX + window->marginX, right = g->right + window->marginX;
    int top = g->layerY + window->marginY, bottom = g->bottom + window->marginY;
    if ((x == left - 1 || x == right + 1) && y >= top && y <= bottom)
        return true;
    return (y == top - 1 || y == bottom + 1) && x >= left && x <= right;
}

// The colour a pixel is shown in with the tints of its mask, the active region and the layer
// frame of group g; it touches no program-wide state, so composing threads may call it.
static void ShownColor(const ImageWindow *window, const ImageGroup *g, int x, int y, const uint8_t *color,
                       uint8_t mask, int inside, uint8_t out[4])
{
    static const uint8_t black[4] = {0, 0, 0, 255}, white[4] = {255, 255, 255, 255};
    static const uint8_t blue[4] = {255, 0, 0, 255}, lightBlue[4] = {255, 100, 100, 255};
    const uint8_t *from = color;
    bool halve = false, invert = false;
    if (!inside) {
        if (window->layerFrameMode == 2)
            halve = true;
        else if (window->layerFrameMode == 1 && OnLayerFrame(window, g, x, y))
            from = blue;
    } else if ((window->activeRegion && !(mask & window->activeRegion)) || (mask & 0x40)) {
        switch (window->regionDisplayMode) {
        case 1: from = black; break;
        case 2: halve = true; break;
        case 3: from = (x % 2) + (y % 2) == 1 ? color : white; break;
        default: break;
        }
    } else if (mask & 0x80) {
        invert = window->maskDisplay == 1;
    } else if (mask & 0x20) {
        from = lightBlue;
    }
    if (halve)
        out[0] = color[0] / 2, out[1] = color[1] / 2, out[2] = color[2] / 2, out[3] = color[3];
    else if (invert)
        out[0] = 255 - color[0], out[1] = 255 - color[1], out[2] = 255 - color[2], out[3] = color[3];
    else
        memcpy(out, from, 4);
}

int PutDisplayPixel(const ImageWindow *window, void *bits, int x, int y, const uint8_t *color, uint8_t mask,
                    int inside)
{
    uint8_t out[4];
    ShownColor(window, s_composedGroup ? s_composedGroup : window->group, x, y, color, mask, inside, out);
    return g_displayWrite.write(&g_displayWrite, bits, x, y, out);
}

// ---- composing into a window ----

void ComposeWholeDisplay(ImageWindow *window, ImageGroup *group)
{
    int w, h, d;
    if (!window)
        return;
    if (!group || !GetImageSize(group->base, &w, &h, &d)) {
        ClearDisplay(window);
        return;
    }
    ComposeDisplayRect(window, group, 0, 0, w - 1, h - 1, 0);
}

static void ComposePackedRows(ImageWindow *window, const CDIB *base, int left, int top, int right, int bottom)
{
    for (int y = top; y <= bottom; y++) {
        int dy = y + window->marginY;
        StartWriteRun(&g_displayWrite, left + window->marginX, dy, window->displayWidth, window->displayHeight,
                      g_screenDepth);
        for (int x = left; x <= right; x++) {
            uint8_t c[4];
            GetDIBPixel(base->header, base->pixels, x, y, c);
            PutDisplayPixel(window, window->display.pixels, x + window->marginX, dy, c, 0, 1);
        }
    }
}

// True when no pixel of the row needs a tint and the display is written at 32 bits.
static bool PlainRow(const ImageWindow *window, const uint8_t *masks, int count, bool allInside)
{
    if (g_displayWrite.write != WritePixel32 || window->activeRegion || (!allInside && window->layerFrameMode != 0))
        return false;
    for (int i = 0; i < count; i++)
        if (masks[i] & 0xE0)
            return false;
    return true;
}

namespace {

// One rectangle being composed into a window's display.
struct ComposeJob {
    ImageWindow *window;
    ImageGroup *group;
    CDIB *substitute;
    const uint8_t *mask;
    int left, count;
    int64_t from, to; // the current layer's columns
};

// Composes row y into colors and masks and starts the display run; on a 32-bit display the row is
// also written, tints and all. False leaves the row to TintRow and the display writer.
bool ComposePlainRow(const ComposeJob &job, int y, uint32_t *colors, uint8_t *masks, DisplayWriteContext *run)
{
    ImageWindow *window = job.window;
    const ImageGroup *group = job.group;
    ComposeRow(job.left, y, 0, job.count, job.group, job.substitute, window->drawBuffer, job.mask, colors, masks);
    int inRows = y >= group->layerY && y <= group->bottom;
    int dy = y + window->marginY;
    StartWriteRun(run, job.left + window->marginX, dy, window->displayWidth, window->displayHeight, g_screenDepth);
    PixelWriteHook(job.left + window->marginX, dy, 0);
    if (PlainRow(window, masks, job.count, inRows && job.from <= job.left && job.to >= job.left + job.count - 1)) {
        // Nothing tints this row: a 32-bit display takes the colours as they are.
        memcpy((uint32_t *)window->display.pixels + run->position, colors, (size_t)job.count * 4);
    } else if (run->write == WritePixel32) {
        // Tinted pixels of a 32-bit display need no writer state either.
        uint32_t *to = (uint32_t *)window->display.pixels + run->position;
        for (int i = 0; i < job.count; i++) {
            int x = job.left + i;
            int inside = x >= job.from && x <= job.to ? inRows : 0;
            ShownColor(window, group, x + window->marginX, dy, (const uint8_t *)(colors + i), masks[i], inside,
                       (uint8_t *)(to + i));
        }
    } else {
        return false;
    }
    run->position += job.count;
    return true;
}

// Writes a composed row pixel by pixel with its tints, through the program's display writer.
void TintRow(const ComposeJob &job, int y, const uint32_t *colors, const uint8_t *masks)
{
    const ImageGroup *group = job.group;
    int inRows = y >= group->layerY && y <= group->bottom;
    int dy = y + job.window->marginY;
    for (int i = 0; i < job.count; i++) {
        int x = job.left + i;
        int inside = x >= job.from && x <= job.to ? inRows : 0;
        PutDisplayPixel(job.window, job.window->display.pixels, x + job.window->marginX, dy,
                        (const uint8_t *)(colors + i), masks[i], inside);
    }
}

// Large rectangles of a 32-bit display are composed by several threads, bands of rows each, when
// only the built-in blend runs (a plug-in's blend may keep state of its own). A display below 32
// bits is written on the interface thread, whose writers keep the dithering state.
bool BuiltInBlendsOnly(const ImageGroup *group)
{
    for (const LayerRecord *layer = group->firstLayer; layer; layer = layer->next)
        if (layer->status == 1 && BlendOfLayer(layer) != BlendPixelOver)
            return false;
    return true;
}

struct BandJob {
    const ComposeJob *job;
    int top;
    uint8_t *leftOver; // a flag for each row left to the interface thread
};

void ComposeBand(void *context, int first, int last)
{
    BandJob &band = *(BandJob *)context;
    const ComposeJob &job = *band.job;
    uint32_t *colors = (uint32_t *)malloc((size_t)job.count * 5);
    DisplayWriteContext run = g_displayWrite;
    for (int y = first; y <= last; y++)
        if (!colors || !ComposePlainRow(job, y, colors, (uint8_t *)(colors + job.count), &run))
            band.leftOver[y - band.top] = 1;
    free(colors);
}

// Composes rows top..bottom by bands, on several threads when there are many; false when the row
// flags could not be had, with nothing written.
bool ComposeByBands(const ComposeJob &job, int top, int bottom, uint32_t *colors, uint8_t *masks)
{
    size_t rows = (size_t)(bottom - top + 1);
    BandJob band = {&job, top, (uint8_t *)calloc(rows, 1)};
    if (!band.leftOver)
        return false;
    RunRowBands(top, bottom, job.count, ComposeBand, &band);
    for (size_t r = 0; r < rows; r++)
        if (band.leftOver[r]) {
            int y = top + (int)r;
            if (!ComposePlainRow(job, y, colors, masks, &g_displayWrite))
                TintRow(job, y, colors, masks);
        }
    free(band.leftOver);
    return true;
}

} // namespace

int ComposeDisplayRect(ImageWindow *window, ImageGroup *group, int left, int top, int right, int bottom,
                       int useDrawBuffer)
{
    int w, h, d;
    if (!window)
        return 0;
    if (!group || !GetImageSize(group->base, &w, &h, &d) || !group->base->pixels) {
        ClearDisplay(window);
        return 0;
    }
    if (right < 0 || bottom < 0 || !OnInterfaceThread())
        return 0;
    // The rectangle may come from a dirty area: only the base's pixels and the display's are read.
    if (!window->display.header || !window->display.pixels || window->contentWidth != w ||
        window->contentHeight != h)
        return 0;
    left = left < 0 ? 0 : left;
    top = top < 0 ? 0 : top;
    right = right >= w ? w - 1 : right;
    bottom = bottom >= h ? h - 1 : bottom;
    if (left > right || top > bottom)
        return 0;

    HCURSOR cursor = SetCursor(GetSystemCursor(kCursorWait));
    BuildDitherTables();
    g_displayWrite.write = ChooseDisplayWriter(g_screenDepth, window->dither);
    if (d != 32 || group->base->editDepth != 32) {
        ComposePackedRows(window, group->base, left, top, right, bottom);
        SetCursor(cursor);
        return 1;
    }
    int count = right - left + 1;
    uint32_t *colors = (uint32_t *)malloc((size_t)count * 4);
    uint8_t *masks = (uint8_t *)calloc((size_t)count, 1);
    if (!colors || !masks) {
        free(colors);
        free(masks);
        SetCursor(cursor);
        return 0;
    }
    ComposeJob job;
    job.window = window;
    job.group = group;
    job.mask = window->editMask ? window->editMask : group->base->mask;
    job.substitute = useDrawBuffer && window->drawBuffer ? group->currentImage : NULL;
    job.left = left;
    job.count = count;
    job.from = (int64_t)group->layerX > left ? group->layerX : left;
    job.to = group->right < right ? group->right : right;
    s_composedGroup = group;
    // A 32-bit display takes every row from the bands; the others go through the writers here.
    if (g_displayWrite.write != WritePixel32 || !BuiltInBlendsOnly(group) ||
        !ComposeByBands(job, top, bottom, colors, masks)) {
        for (int y = top; y <= bottom; y++)
            if (!ComposePlainRow(job, y, colors, masks, &g_displayWrite))
                TintRow(job, y, colors, masks);
    }
    s_composedGroup = NULL;
    free(colors);
    free(masks);
    SetCursor(cursor);
    return 1;
}
