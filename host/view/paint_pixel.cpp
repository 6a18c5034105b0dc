// Painting one pixel: the run that carries the indices of the current pixel along a row, the
// pipeline that turns a colour record into a value of the stroke, and the composition of the one
// pixel shown for it. Runs once per pixel of every stroke: no allocation, no multiply per pixel
// outside loop mode, the display written directly.
#include "image/bindings.h"
#include "image/colors.h"
#include "view/paint.h"
#include "image/cdib.h"
#include "view/display.h"
#include "image/blend.h"
#include "image/pen.h"
#include "image/regions.h"
#include "view/writers.h"
#include <string.h>

namespace {

// What the run paints into, looked up when a run starts. Every index is checked against these
// sizes before use: a caller whose run drifts paints the wrong pixels, never outside a store.
struct RunTarget {
    ImageWindow *window;
    ImageGroup *group;
    CDIB *edited;
    uint32_t *editedPixels;
    int editedWidth, editedHeight;
    uint64_t editedCells;
    uint32_t *basePixels;
    int baseWidth, baseHeight;
    uint64_t baseCells;
    uint32_t *drawBuffer;
    void *displayBits;
    int displayDepth, displayStep;
    int64_t displayUnits;
    bool usable; // a 32-bit edited image and stroke buffers of the base's size
};

struct Run {
    int64_t layerIndex, baseIndex;
    bool onBase;
};

RunTarget s_target;
Run s_run;

const uint32_t *Store32(const CDIB *image, int *width, int *height)
{
    int depth;
    if (!GetImageSize(image, width, height, &depth) || depth != 32 || !image->pixels || *width <= 0 ||
        *height <= 0)
        return NULL;
    return (const uint32_t *)image->pixels;
}

void LookUpTarget(ImageWindow *window)
{
    RunTarget &t = s_target;
    memset(&t, 0, sizeof t);
    t.window = window;
    if (!window || !window->group)
        return;
    ImageGroup *g = window->group;
    t.group = g;
    t.basePixels = (uint32_t *)Store32(g->base, &t.baseWidth, &t.baseHeight);
    t.edited = g->currentImage;
    t.editedPixels = (uint32_t *)Store32(t.edited, &t.editedWidth, &t.editedHeight);
    t.drawBuffer = window->drawBuffer;
    if (!t.basePixels || !t.editedPixels || t.edited->editDepth != 32)
        return;
    t.baseCells = (uint64_t)t.baseWidth * (uint64_t)t.baseHeight;
    t.editedCells = (uint64_t)t.editedWidth * (uint64_t)t.editedHeight;
    t.usable = window->drawBuffer && window->coverage && window->editMask &&
               window->contentWidth == t.baseWidth && window->contentHeight == t.baseHeight;
    const CDIB &d = window->display;
    if (d.header && d.pixels && window->displayWidth > 0 && window->displayHeight > 0) {
        t.displayDepth = d.header->bmiHeader.biBitCount;
        int row = GetRowLength(window->displayWidth, t.displayDepth);
        if (row > 0) {
            t.displayBits = d.pixels;
            t.displayStep = t.displayDepth == 24 ? 3 : 1;
            t.displayUnits = (int64_t)row * window->displayHeight;
        }
    }
}

// The target still describes the window: nothing was reallocated or switched since the lookup.
inline bool TargetCurrent(const ImageWindow *window)
{
    const RunTarget &t = s_target;
    return window == t.window && t.group && window->group == t.group && window->drawBuffer == t.drawBuffer &&
           window->display.pixels == t.displayBits && t.group->currentImage == t.edited && t.edited &&
           t.edited->pixels == t.editedPixels;
}

inline void AdvanceIndices()
{
    s_run.layerIndex++;
    s_run.baseIndex++;
}

inline uint32_t Pack(int blue, int green, int red, int alpha)
{
    return (uint32_t)blue | (uint32_t)green << 8 | (uint32_t)red << 16 | (uint32_t)alpha << 24;
}

inline int Clamp255(int v)
{
    return v < 0 ? 0 : v > 255 ? 255 : v;
}

// Colour C with alpha a over P with its own alpha; a is above 0 or P is opaque.
uint32_t BlendOver(int red, int green, int blue, int a, uint32_t p)
{
    return OverPixel(p, Pack(blue, green, red, 0), (uint32_t)a);
}

BlendFunction BlendOfLayer(const LayerRecord *layer)
{
    if (layer->blend <= 0)
        return BlendPixelOver;
    LayerBlendRecord *row = QzsGetColorBlendMode(layer->blend);
    return row && row->QzcGetBlendColor ? row->QzcGetBlendColor : BlendPixelOver;
}

uint32_t ComposeAt(const ImageGroup *group, const CDIB *subImage, uint32_t subPixel, int x, int y,
                   int64_t baseIndex, int *inside)
{
    if (inside)
        *inside = x >= group->clampedX && x <= group->right && y >= group->clampedY && y <= group->bottom;
    uint32_t value = 0;
    if (group->baseStatus == 0) {
        int qx = (x / 16) % 2, qy = (y / 16) % 2;
        value = qx + qy == 1 ? 0xFFC0C0C0u : 0xFFFFFFFFu;
    } else if (subImage && subImage == group->base) {
        value = subPixel;
    } else {
        int bw, bh;
        const uint32_t *base = Store32(group->base, &bw, &bh);
        if (base && baseIndex >= 0 && (uint64_t)baseIndex < (uint64_t)bw * (uint64_t)bh)
            value = base[baseIndex];
    }
    for (const LayerRecord *layer = group->firstLayer; layer; layer = layer->next) {
        if (layer->status != 1 || x < layer->x || x > layer->right || y < layer->y || y > layer->bottom)
            continue;
        uint32_t u;
        if (subImage && layer->image == subImage) {
            u = subPixel;
        } else {
            int lw, lh;
            const uint32_t *px = Store32(layer->image, &lw, &lh);
            int64_t lx = (int64_t)x - layer->x, ly = (int64_t)y - layer->y;
            if (!px || lx >= lw || ly >= lh)
                continue;
            u = px[ly * lw + lx];
        }
        int opacity = Clamp255(layer->opacity);
        uint8_t upper[4], lower[4], out[4];
        memcpy(upper, &u, 4);
        upper[3] = (uint8_t)ScaleAlpha(upper[3], (uint32_t)opacity);
        memcpy(lower, &value, 4);
        BlendOfLayer(layer)(lower, upper, x, y, out);
        memcpy(&value, out, 4);
    }
    return value;
}

// The shown colour into the display at the run's write position, which then moves one pixel on.
void ShowPixel(ImageWindow *window, int x, int y, uint32_t color, uint8_t mask, int inside)
{
    const RunTarget &t = s_target;
    int64_t p = g_displayWrite.position;
    if (t.displayBits && g_displayWrite.depth == t.displayDepth && p >= 0 && p + t.displayStep <= t.displayUnits)
        PutDisplayPixel(window, t.displayBits, x + window->marginX, y + window->marginY, (const uint8_t *)&color,
                        mask, inside);
    else
        g_displayWrite.position += g_displayWrite.depth == 24 ? 3 : 1;
}

} // namespace

void StartPaintRun(ImageWindow *window, int x, int y)
{
    LookUpTarget(window);
    const RunTarget &t = s_target;
    const ImageGroup *g = t.group;
    s_run.layerIndex = g ? ((int64_t)y - g->layerY) * t.editedWidth + ((int64_t)x - g->layerX) : 0;
    s_run.baseIndex = (int64_t)y * t.baseWidth + x;
    s_run.onBase = g && t.edited == g->base;
    if (t.displayBits) {
        BuildDitherTables();
        g_displayWrite.write = ChooseDisplayWriter(t.displayDepth, window->dither);
        StartWriteRun(&g_displayWrite, x + window->marginX, y + window->marginY, window->displayWidth,
                      window->displayHeight, t.displayDepth);
    }
}

void AdvanceRun()
{
    AdvanceIndices();
    g_displayWrite.position += g_displayWrite.depth == 24 ? 3 : 1;
}

void SetPsetPosition(int x, int y, int width)
{
    s_run.layerIndex = s_run.baseIndex = (int64_t)y * width + x;
}

uint32_t ComposeGroupPixel(const ImageGroup *group, const CDIB *subImage, uint32_t subPixel, int x, int y,
                           int *inside)
{
    int bw, bh;
    if (!group || !Store32(group->base, &bw, &bh)) {
        if (inside)
            *inside = 0;
        return 0;
    }
    int64_t i = x >= 0 && y >= 0 && x < bw && y < bh ? (int64_t)y * bw + x : -1;
    return ComposeAt(group, subImage, subPixel, x, y, i, inside);
}

void PaintPixel(ImageWindow *window, int x, int y, int penColumn, int penRow, const ColorRecord *record, int alpha)
{
    if (window && !TargetCurrent(window))
        LookUpTarget(window);
    if (!window || !record || !s_target.usable) {
        AdvanceRun();
        return;
    }
    RunTarget &t = s_target;
    ImageGroup *g = t.group;
    if (IsLoopMode()) {
        // Into the layer by its own size, then a run of its own for the wrapped point.
        int64_t lx = ((int64_t)x - g->layerX) % t.editedWidth, ly = ((int64_t)y - g->layerY) % t.editedHeight;
        lx += lx < 0 ? t.editedWidth : 0;
        ly += ly < 0 ? t.editedHeight : 0;
        x = (int)(lx + g->layerX);
        y = (int)(ly + g->layerY);
        if (x < g->clampedX || x > g->right || y < g->clampedY || y > g->bottom) {
            AdvanceRun();
            return;
        }
        StartPaintRun(window, x, y);
    }
    int64_t i = s_run.baseIndex;
    if (i < 0 || (uint64_t)i >= t.baseCells) {
        AdvanceRun();
        return;
    }
    uint8_t *workMask = window->editMask;
    uint32_t shown;
    int inside;
    const ColorFunctionRecord *function = record->function > 0 ? GetColorFunctionRow(record->function - 1) : NULL;
    if (record->regionMode != 0) {
        RegionWriteRecord(window, i, record);
        shown = ComposeAt(g, NULL, 0, x, y, i, &inside);
    } else if (function && (function->info & 1)) {
        // A post-process colour only marks the figure; its plug-in recolours it at the commit.
        RegionWrite(window, i, 0x20, 1);
        shown = ComposeAt(g, NULL, 0, x, y, i, &inside);
        t.edited->modified = 1;
    } else {
        int red = record->red, green = record->green, blue = record->blue, result = 1;
        if (function && function->QzcColorFunc) {
            // The plug-in may use the painting services itself: the run and the display write
            // position are put back afterwards, so the rest of the row stays aligned.
            Run run = s_run;
            DisplayWriteContext display = g_displayWrite;
            QzsStartOnImageMDIB(g, g->currentImage);
            result = function->QzcColorFunc(g->currentImage, x - g->layerX, y - g->layerY, penColumn, penRow, &red,
                                            &green, &blue, &alpha);
            s_run = run;
            g_displayWrite = display;
            if (!TargetCurrent(window))
                LookUpTarget(window);
            if (!s_target.usable) {
                AdvanceRun();
                return;
            }
            g = t.group;
        }
        red = Clamp255(red), green = Clamp255(green), blue = Clamp255(blue), alpha = Clamp255(alpha);
        int c = alpha;
        if (result == 3) {
            c = 255 - alpha;
            result = 2;
        } else if (result == 2) {
            c = c < 1 ? 1 : c; // a fully transparent replacement still counts as painted
        } else {
            result = 1;
        }
        if (alpha <= 0 && result == 1) {
            ExtendDirtyRect(x, y);
            AdvanceRun();
            return;
        }
        uint8_t m = workMask[i];
        if ((m & 0x80) || (window->activeRegion && !(m & window->activeRegion)) ||
            (record->drawFlags == 0 && window->coverage[i] >= c)) {
            AdvanceRun();
            return;
        }
        int64_t j = s_run.layerIndex;
        if (j < 0 || (uint64_t)j >= t.editedCells) {
            AdvanceRun();
            return;
        }
        t.edited->modified = 1;
        uint32_t under = t.editedPixels[j];
        if ((record->drawFlags & 4) && window->drawBuffer[i])
            under = window->drawBuffer[i];
        uint32_t value;
        if (result == 2 && !s_run.onBase) {
            value = Pack(blue, green, red, alpha);
        } else {
            if (result == 2) {
                const uint8_t *bg = t.edited->background;
                under = Pack(bg[0], bg[1], bg[2], 255);
            }
            value = BlendOver(red, green, blue, alpha, under);
        }
        window->drawBuffer[i] = value;
        // Coverage 0 means untouched: whatever was written must reach the commit.
        window->coverage[i] = (uint8_t)(c < 1 ? 1 : c);
        shown = ComposeAt(g, t.edited, value, x, y, i, &inside);
    }
    ShowPixel(window, x, y, shown, workMask[i], inside);
    ExtendDirtyRect(x, y);
    AdvanceIndices();
}

int PaintPlainCells(ImageWindow *window, int x, int y, int count, const uint32_t *weights,
                    const uint32_t *colorIndexes, int alphaScale)
{
    if (!window || count <= 0 || IsLoopMode())
        return 0;
    if (!TargetCurrent(window))
        LookUpTarget(window);
    const RunTarget &t = s_target;
    if (!t.usable)
        return 0;
    const ImageGroup *g = t.group;
    const uint8_t *workMask = window->editMask;
    uint8_t *coverage = window->coverage;
    uint32_t *drawBuffer = window->drawBuffer;
    const uint32_t *edited = t.editedPixels;
    const uint64_t baseCells = t.baseCells, editedCells = t.editedCells;
    const unsigned activeRegion = window->activeRegion;
    // The shown pixel is the stroke value itself when the edited image is the visible base with no
    // layer over it, and the display takes it as it stands when it is written at 32 bits.
    const bool plainCompose = g->baseStatus != 0 && t.edited == g->base && !g->firstLayer;
    const bool rowInside = y >= g->clampedY && y <= g->bottom;
    const int insideLeft = g->clampedX, insideRight = g->right;
    const bool direct = t.displayBits && t.displayDepth == 32 && g_displayWrite.depth == 32 &&
                        g_displayWrite.write == WritePixel32;
    uint32_t *display = (uint32_t *)t.displayBits;
    const int64_t displayUnits = t.displayUnits;
    // The run is carried in locals (the byte stores into the stroke buffers would otherwise make
    // every step reload it) and put back before anything that reads it.
    int64_t i = s_run.baseIndex, j = s_run.layerIndex;
    int64_t p = g_displayWrite.position;
    const int step = g_displayWrite.depth == 24 ? 3 : 1;
    uint32_t lastIndex = 0;
    const ColorRecord *record = QzsGetColor(0);
    bool plain = record->regionMode == 0 && record->function <= 0;
    int red = Clamp255(record->red), green = Clamp255(record->green), blue = Clamp255(record->blue);
    int drawFlags = record->drawFlags;
    bool modified = false;
    // Every cell here lies on row y >= 0, so the dirty rectangle grows by the row's first and last
    // painted cell alike.
    int dirtyLo = 0, dirtyHi = 0;
    const bool foldDirty = y >= 0;
    bool dirty = false;
    int k = 0;
    for (; k < count; k++, x++, i++, j++, p += step) {
        uint32_t weight = weights[k] > 255 ? 255 : weights[k];
        if (!weight)
            continue;
        if (colorIndexes[k] != lastIndex) {
            lastIndex = colorIndexes[k];
            record = QzsGetColor(lastIndex < kColorRecords ? (int)lastIndex : 0);
            plain = record->regionMode == 0 && record->function <= 0;
            red = Clamp255(record->red), green = Clamp255(record->green), blue = Clamp255(record->blue);
            drawFlags = record->drawFlags;
        }
        if (!plain)
            break; // the whole pipeline, from the caller
        int alpha = (int)weight * alphaScale / 255;
        if (i < 0 || (uint64_t)i >= baseCells)
            continue;
        if (alpha > 0) {
            uint8_t m = workMask[i];
            if ((m & 0x80) || (activeRegion && !(m & activeRegion)) || (drawFlags == 0 && coverage[i] >= alpha))
                continue;
            if (j < 0 || (uint64_t)j >= editedCells)
                continue;
            modified = true;
            uint32_t under = edited[j];
            if ((drawFlags & 4) && drawBuffer[i])
                under = drawBuffer[i];
            uint32_t value;
            if (under >> 24 == 255) {
                // Over an opaque pixel the over blend's divisor is 255 x 255 and every channel
                // is the plain mix (c a + p (255 - a)) / 255.
                int rest = 255 - alpha;
                value = Pack((blue * alpha + (int)(under & 255) * rest) / 255,
                             (green * alpha + (int)(under >> 8 & 255) * rest) / 255,
                             (red * alpha + (int)(under >> 16 & 255) * rest) / 255, 255);
            } else {
                value = BlendOver(red, green, blue, alpha, under);
            }
            drawBuffer[i] = value;
            coverage[i] = (uint8_t)alpha;
            int inside;
            uint32_t shown;
            if (plainCompose) {
                shown = value;
                inside = rowInside && x >= insideLeft && x <= insideRight;
            } else {
                shown = ComposeAt(g, t.edited, value, x, y, i, &inside);
            }
            if (direct && inside && !(m & 0x60) && p >= 0 && p + 1 <= displayUnits) {
                display[p] = shown;
            } else {
                g_displayWrite.position = (int)p;
                ShowPixel(window, x, y, shown, m, inside);
                p = g_displayWrite.position - step; // stepped by the writer; the loop steps it again
            }
        }
        if (foldDirty) {
            dirtyLo = dirty ? dirtyLo : x;
            dirtyHi = x;
            dirty = true;
        } else {
            ExtendDirtyRect(x, y);
        }
    }
    s_run.baseIndex = i, s_run.layerIndex = j;
    g_displayWrite.position = (int)p;
    if (modified)
        t.edited->modified = 1;
    if (dirty) {
        ExtendDirtyRect(dirtyLo, y);
        ExtendDirtyRect(dirtyHi, y);
    }
    return k;
}

// ---- services ----

static bool HasEditedImage(const ImageWindow *window)
{
    int w, h;
    const ImageGroup *g = window ? window->group : NULL;
    return g && window->drawBuffer && Store32(g->currentImage, &w, &h) && g->currentImage->editDepth == 32;
}

static bool InsideCurrentLayer(const ImageGroup *g, int x, int y)
{
    return x >= g->clampedX && x <= g->right && y >= g->clampedY && y <= g->bottom;
}

QZS_DECL(int) QzsStartPset(ImageWindow *window, int x, int y)
{
    if (!window)
        return 0;
    StartPaintRun(window, x, y);
    return s_target.basePixels ? 1 : 0;
}

QZS_DECL(void) QzsPSet(ImageWindow *window, int x, int y, int which)
{
    if (!HasEditedImage(window))
        return;
    if ((!IsLoopMode() && !InsideCurrentLayer(window->group, x, y)) || which < 0 || which >= 16) {
        AdvanceRun();
        return;
    }
    const ColorRecord *record = QzsGetColor(which);
    PaintPixel(window, x, y, 0, 0, record, record->opacity & 255);
}

QZS_DECL(int) QzsSetColorWithPset(ImageWindow *window, int x, int y, ColorRecord *color, int bits)
{
    if (!color || !HasEditedImage(window) || !InsideCurrentLayer(window->group, x, y)) {
        AdvanceRun();
        return 0;
    }
    color->opacity = QzsGetColor(0)->opacity;
    color->function = color->regionBits = color->regionMode = color->drawFlags = 0;
    // The same bits test as a masked write of an effect.
    int bw = window->contentWidth;
    int64_t i = (int64_t)y * bw + x;
    if (i < 0 || i >= (int64_t)bw * window->contentHeight) {
        AdvanceRun();
        return 0;
    }
    const uint8_t *mask = window->group->base ? window->group->base->mask : NULL;
    unsigned m = mask ? mask[i] : 0;
    bool accepted = m < 128;
    if (accepted && bits) {
        if (bits & 0x20) {
            unsigned e = window->editMask ? window->editMask[i] : 0;
            unsigned b = bits & ~0x20;
            accepted = (e & 0x20) && (e & (b ? b : 255));
        } else {
            accepted = (m & bits) != 0;
        }
    }
    if (!accepted) {
        AdvanceRun();
        return 0;
    }
    PaintPixel(window, x, y, 0, 0, color, color->opacity & 255);
    return 1;
}

QZS_DECL(int) QzsSetColorWithPsetEx(int mode, ImageWindow *window, int x, int y, ColorRecord *color, int bits)
{
    if (mode != 1 && window && window->group) {
        x -= window->group->layerX;
        y -= window->group->layerY;
    }
    return QzsSetColorWithPset(window, x, y, color, bits);
}

// Reads the composition without touching the run: a colour plug-in may ask in the middle of one.
QZS_DECL(uint32_t) QzsGetDisplayColor(ImageGroup *group, int x, int y, uint32_t *color)
{
    uint32_t value = ComposeGroupPixel(group, NULL, 0, x, y, NULL);
    if (color)
        *color = value;
    return value;
}
