// Region slots and their bounds, the region-area query, region strokes and their commit, and the
// active region of a window.
#include "image/regions.h"
#include "base/notify.h"
#include "image/current.h"
#include "image/cdib.h"
#include "image/colors.h"
#include "image/dirtyrect.h"
#include "image/undo.h"
#include "base/app.h"
#include "base/msgbox.h"
#include <stdlib.h>
#include <string.h>

void ResetRegionSlots(CDIB *image)
{
    for (RegionSlot &slot : image->slots) {
        slot.state = 0;
        slot.left = slot.top = slot.right = slot.bottom = -1;
        slot.pointCount = slot.nextIndex = 0;
        slot.firstBlock = slot.lastBlock = NULL;
    }
}

void ClipRectangle(int *left, int *top, int *right, int *bottom, int minLeft, int minTop, int maxRight, int maxBottom)
{
    if (*left < minLeft)
        *left = minLeft;
    if (*top < minTop)
        *top = minTop;
    if (*right > maxRight)
        *right = maxRight;
    if (*bottom > maxBottom)
        *bottom = maxBottom;
}

void ExtendRegionBounds(CDIB *image, int left, int top, int right, int bottom)
{
    if (!image)
        return;
    for (RegionSlot &s : image->slots) {
        if (s.state == 0 || s.left < 0) {
            s.left = left;
            s.top = top;
            s.right = right;
            s.bottom = bottom;
        } else {
            s.left = left < s.left ? left : s.left;
            s.top = top < s.top ? top : s.top;
            s.right = right > s.right ? right : s.right;
            s.bottom = bottom > s.bottom ? bottom : s.bottom;
        }
        s.state = 1;
    }
}

int UpdateRegionSlotBounds(CDIB *image, int slot, int bit)
{
    RegionSlot &s = image->slots[slot];
    int w, h, d;
    if (!image->mask || !GetImageSize(image, &w, &h, &d)) {
        s.state = 0;
        s.left = s.top = s.right = s.bottom = -1;
        return 0;
    }
    if (s.state == 2)
        return 1;
    if (s.state == 0)
        return 0;
    int l = s.left, t = s.top, r = s.right, b = s.bottom;
    ClipRectangle(&l, &t, &r, &b, 0, 0, w - 1, h - 1);
    int nl = w, nt = h, nr = -1, nb = -1;
    for (int y = t; y <= b; y++) {
        const uint8_t *row = image->mask + (int64_t)y * w;
        for (int x = l; x <= r; x++)
            if (row[x] & bit) {
                nl = x < nl ? x : nl;
                nr = x > nr ? x : nr;
                nt = y < nt ? y : nt;
                nb = y;
            }
    }
    if (nr < 0) {
        s.state = 0;
        s.left = s.top = s.right = s.bottom = -1;
    } else {
        s.state = 2;
        s.left = nl;
        s.top = nt;
        s.right = nr;
        s.bottom = nb;
    }
    return 1;
}

QZS_DECL(int) QzsGetRegionArea(ImageGroup *group, LayerRecord *clip, int *left, int *top, int *right, int *bottom,
                               int bits)
{
    *left = *top = *right = *bottom = -1;
    int w, h, d;
    CDIB *base = group ? group->base : NULL;
    if (!base || !GetImageSize(base, &w, &h, &d) || base->editDepth != 32)
        return 0;
    int result = 0;
    if (bits) {
        for (int i = 0; i < 3; i++) {
            RegionSlot &s = base->slots[i];
            if (s.state == 0 || !(bits & (1 << i)))
                continue;
            UpdateRegionSlotBounds(base, i, 1 << i);
            if (s.state != 2)
                continue;
            if (!result) {
                *left = s.left;
                *top = s.top;
                *right = s.right;
                *bottom = s.bottom;
            } else {
                *left = s.left < *left ? s.left : *left;
                *top = s.top < *top ? s.top : *top;
                *right = s.right > *right ? s.right : *right;
                *bottom = s.bottom > *bottom ? s.bottom : *bottom;
            }
            result = 1;
        }
        if (!result)
            return 0;
    } else {
        *left = -group->layerX;
        *top = -group->layerY;
        *right = *left + w - 1;
        *bottom = *top + h - 1;
    }
    if (clip) {
        ClipRectangle(left, top, right, bottom, clip->x, clip->y, clip->right, clip->bottom);
        // Callers walk the rectangle: an empty one must not come back as a region.
        if (*left > *right || *top > *bottom) {
            *left = *top = *right = *bottom = -1;
            return 0;
        }
    }
    return result;
}

static uint8_t CombineRegionBits(uint8_t maskByte, int bits, int mode)
{
    switch (mode) {
    case 1: return (uint8_t)(bits | maskByte);
    case 2: return (uint8_t)(bits & maskByte);
    case 3: return (uint8_t)(bits ^ maskByte);
    default: return maskByte;
    }
}

void RegionWrite(ImageWindow *window, int64_t baseIndex, int bits, int mode)
{
    if (!window || !window->editMask || !window->group || !window->group->base)
        return;
    const uint8_t *mask = window->group->base->mask;
    window->editMask[baseIndex] = CombineRegionBits(mask ? mask[baseIndex] : 0, bits, mode);
}

void RegionWriteRecord(ImageWindow *window, int64_t baseIndex, const ColorRecord *record)
{
    RegionWrite(window, baseIndex, record->regionBits, record->regionMode);
}

int GetRegionDrawTarget()
{
    const ColorRecord *c = QzsGetColor(0);
    if (c->regionMode == 0 || c->regionMode == 2)
        return 0;
    for (int bit = 1; bit <= 4; bit <<= 1)
        if (c->regionBits & bit)
            return bit;
    return 0;
}

int RegionCommit(ImageWindow *window)
{
    RECT dirty;
    ImageGroup *group = window ? window->group : NULL;
    CDIB *base = group ? group->base : NULL;
    int w, h, d;
    if (!base || !window->editMask || !GetImageSize(base, &w, &h, &d) || !GetDirtyRect(&dirty))
        return 0;
    int l = dirty.left, t = dirty.top, r = dirty.right, b = dirty.bottom;
    ClipRectangle(&l, &t, &r, &b, 0, 0, w - 1, h - 1);
    if (l > r || t > b)
        return 0;
    // The mask first: a region record without a mask to restore would be filled with nothing.
    if (!base->mask) {
        base->mask = (uint8_t *)calloc((size_t)w * h, 1);
        if (!base->mask) {
            AppMessageBox(g_mainWindow, "Err", "Err", MB_OK);
            return 0;
        }
    }
    UndoRecord *record = PushUndo(group, base, kUndoRegionRect);
    uint8_t *before = record ? (uint8_t *)record->before : NULL;
    uint8_t *after = record ? (uint8_t *)record->after : NULL;
    // The record may be narrower than the dirty rectangle when that passed the base's edge.
    int rl = record ? record->x0 : l, rt = record ? record->y0 : t;
    int rw = record ? UndoRecordWidth(record) : 0;
    for (int y = t; y <= b; y++) {
        for (int x = l; x <= r; x++) {
            int64_t i = (int64_t)y * w + x;
            window->editMask[i] &= (uint8_t)~0x40;
            if (record) {
                int64_t k = (int64_t)(y - rt) * rw + (x - rl);
                before[k] = base->mask[i];
                after[k] = window->editMask[i];
            }
            base->mask[i] = window->editMask[i];
        }
    }
    ExtendRegionBounds(base, l, t, r, b);
    if (window->activeRegion) {
        if (window->regionDisplayMode == 4) {
            NotifyStopBorderAnimation();
            NotifyTraceRegionBorder(window);
        }
    } else {
        int target = GetRegionDrawTarget();
        if (target)
            SetWindowActiveRegion(window, target);
    }
    return 1;
}

void SetWindowActiveRegion(ImageWindow *window, int bits)
{
    if (!window || (uint32_t)bits == window->activeRegion)
        return;
    window->activeRegion = (uint32_t)bits;
    NotifyActiveRegionChanged(bits);
    if (!window->layerImage || window->layerImage->editDepth != 32)
        return;
    if (bits)
        NotifyTraceRegionBorder(window);
    else
        NotifyStopBorderAnimation();
    // A window without a display (not shown yet) has nothing to recompose.
    if (window->display.pixels && window->group) {
        NotifyRecomposeWindow(window);
        NotifyRedrawWindow(window);
    }
}

QZS_DECL(void) QzsSetActiveRegion(int bits)
{
    SetWindowActiveRegion(g_currentWindow, bits);
}
