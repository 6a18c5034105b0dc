// Layer compositing: a group's rows composed from the base and every shown layer through its
// blend, and the composed colours written into a window's display with their tints.
#include "base/cursors.h"
#include "view/display.h"
#include "image/cdib.h"
#include "image/group.h"
#include "view/writers.h"
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
        // The normal blend inline: opaque and transparent pixels need no division.
        for (int i = 0; i < n; i++) {
            uint32_t u = from[i];
            int au = (int)(u >> 24) * opacity / 255;
            if (au == 0)
                continue;
            if (au == 255) {
                to[i] = u | 0xFF000000u;
                continue;
            }
            uint8_t upper[4], lower[4], result[4];
            memcpy(upper, &u, 4);
            upper[3] = (uint8_t)au;
            memcpy(lower, to + i, 4);
            BlendPixelOver(lower, upper, i, y, result);
            memcpy(to + i, result, 4);
        }
        return;
    }
    for (int i = 0; i < n; i++) {
        uint8_t upper[4], result[4];
        memcpy(upper, from + i, 4);
        upper[3] = (uint8_t)(upper[3] * opacity / 255);
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
static bool OnLayerFrame(const ImageWindow *window, int x, int y)
{
    const ImageGroup *g = s_composedGroup ? s_composedGroup : window->group;
    if (!g)
        return false;
    int left = g->layerX + window->marginX, right = g->right + window->marginX;
    int top = g->layerY + window->marginY, bottom = g->bottom + window->marginY;
    if ((x == left - 1 || x == right + 1) && y >= top && y <= bottom)
        return true;
    return (y == top - 1 || y == bottom + 1) && x >= left && x <= right;
}

int PutDisplayPixel(const ImageWindow *window, void *bits, int x, int y, const uint8_t *color, uint8_t mask,
                    int inside)
{
    static const uint8_t black[4] = {0, 0, 0, 255}, white[4] = {255, 255, 255, 255};
    static const uint8_t blue[4] = {255, 0, 0, 255}, lightBlue[4] = {255, 100, 100, 255};
    uint8_t shown[4];
    const uint8_t *out = color;
    if (!inside) {
        if (window->layerFrameMode == 2) {
            shown[0] = color[0] / 2, shown[1] = color[1] / 2, shown[2] = color[2] / 2, shown[3] = color[3];
            out = shown;
        } else if (window->layerFrameMode == 1 && OnLayerFrame(window, x, y)) {
            out = blue;
        }
    } else if ((window->activeRegion && !(mask & window->activeRegion)) || (mask & 0x40)) {
        switch (window->regionDisplayMode) {
        case 1: out = black; break;
        case 2:
            shown[0] = color[0] / 2, shown[1] = color[1] / 2, shown[2] = color[2] / 2, shown[3] = color[3];
            out = shown;
            break;
        case 3: out = (x % 2) + (y % 2) == 1 ? color : white; break;
        default: break;
        }
    } else if (mask & 0x80) {
        if (window->maskDisplay == 1) {
            shown[0] = 255 - color[0], shown[1] = 255 - color[1], shown[2] = 255 - color[2], shown[3] = color[3];
            out = shown;
        }
    } else if (mask & 0x20) {
        out = lightBlue;
    }
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
    const uint8_t *mask = window->editMask ? window->editMask : group->base->mask;
    CDIB *substitute = useDrawBuffer && window->drawBuffer ? group->currentImage : NULL;
    int mx = window->marginX, my = window->marginY;
    s_composedGroup = group;
    // The current layer's columns, in display coordinates.
    int64_t from = (int64_t)group->layerX > left ? group->layerX : left;
    int64_t to = group->right < right ? group->right : right;
    for (int y = top; y <= bottom; y++) {
        ComposeRow(left, y, 0, count, group, substitute, window->drawBuffer, mask, colors, masks);
        int inRows = y >= group->layerY && y <= group->bottom;
        int dy = y + my;
        StartWriteRun(&g_displayWrite, left + mx, dy, window->displayWidth, window->displayHeight, g_screenDepth);
        PixelWriteHook(left + mx, dy, 0);
        if (PlainRow(window, masks, count, inRows && from <= left && to >= right)) {
            // Nothing tints this row: a 32-bit display takes the colours as they are.
            memcpy((uint32_t *)window->display.pixels + g_displayWrite.position, colors, (size_t)count * 4);
            g_displayWrite.position += count;
            continue;
        }
        for (int i = 0; i < count; i++) {
            int x = left + i;
            int inside = x >= from && x <= to ? inRows : 0;
            PutDisplayPixel(window, window->display.pixels, x + mx, dy, (const uint8_t *)(colors + i), masks[i],
                            inside);
        }
    }
    s_composedGroup = NULL;
    free(colors);
    free(masks);
    SetCursor(cursor);
    return 1;
}
