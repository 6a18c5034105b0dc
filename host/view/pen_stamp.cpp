// One stamp of the pen into the current stroke: clipped to the current layer (or wrapped around it
// in loop mode), painted row by row through the painting pipeline, then refreshed.
#include "image/bindings.h"
#include "image/pen.h"
#include "image/cdib.h"
#include "image/colors.h"
#include "view/display.h"
#include "view/paint.h"

// Stamps far outside any image are dropped before their sums could leave int range.
static const int64_t kFarStamp = 1 << 30;

// A cell's colour record; indexes a pen maker or a macro put past the table paint in record 0.
static const ColorRecord *CellColor(uint32_t index)
{
    return QzsGetColor(index < kColorRecords ? (int)index : 0);
}

// A corner brought into the layer in loop mode.
static int64_t WrapIntoLayer(int64_t v, int64_t origin, int size)
{
    v -= origin;
    v %= size;
    if (v < 0)
        v += size;
    return v + origin;
}

QZS_DECL(int) QzsWritePen(ImageWindow *window, int x, int y, int redraw)
{
    ImageGroup *g = window ? window->group : NULL;
    if (!g || !g->currentImage || !g->currentImage->pixels || g->currentImage->editDepth != 32 ||
        !window->drawBuffer)
        return 0;
    const ColorRecord *drawing = QzsGetColor(0);
    if (drawing->function > 0) {
        const ColorFunctionRecord *f = GetColorFunctionRow(drawing->function - 1);
        if (f && f->QzcReceiveMessage) {
            f->QzcReceiveMessage(1, x - g->layerX, y - g->layerY, GetStampCounter(), 0);
            CountStamp();
        }
    }
    const PenRecord *pen = QzsGetPen();
    int n = pen->side;
    if (n < 1 || n > GetPenCapacity() || !pen->weights || !pen->colorIndexes)
        return 0;
    // The box comes from a plug-in: only cells of the matrix are read.
    int left = pen->left < 0 ? 0 : pen->left, top = pen->top < 0 ? 0 : pen->top;
    int right = pen->right >= n ? n - 1 : pen->right, bottom = pen->bottom >= n ? n - 1 : pen->bottom;
    if (left > right || top > bottom)
        return 0;
    int64_t x0 = (int64_t)x - pen->hotX + left, y0 = (int64_t)y - pen->hotY + top;
    int64_t x1 = (int64_t)x - pen->hotX + right, y1 = (int64_t)y - pen->hotY + bottom;
    if (x0 < -kFarStamp || y0 < -kFarStamp || x1 > kFarStamp || y1 > kFarStamp)
        return 0;
    int column0 = left, row0 = top;
    bool loop = IsLoopMode();
    if (!loop) {
        if (x1 < g->clampedX || y1 < g->clampedY || x0 > (int64_t)g->right + 1 || y0 > (int64_t)g->bottom + 1)
            return 0;
        if (x0 < g->clampedX) {
            column0 += (int)(g->clampedX - x0);
            x0 = g->clampedX;
        }
        if (y0 < g->clampedY) {
            row0 += (int)(g->clampedY - y0);
            y0 = g->clampedY;
        }
        x1 = x1 > g->right ? g->right : x1;
        y1 = y1 > g->bottom ? g->bottom : y1;
    }
    int alphaScale = drawing->opacity & 255;
    // A colour plug-in that makes a new pen in the middle of a stamp ends the stamp.
    const uint32_t *matrix = pen->weights;
    for (int64_t py = y0, r = row0; py <= y1; py++, r++) {
        StartPaintRun(window, (int)x0, (int)py);
        const uint32_t *weights = pen->weights + (size_t)r * n;
        const uint32_t *colors = pen->colorIndexes + (size_t)r * n;
        for (int64_t px = x0, c = column0; px <= x1 && pen->weights == matrix && pen->side == n; px++, c++) {
            // Cells of a plain colour in one call; the first that needs the whole pipeline goes
            // through it alone (its colour plug-in may even make a new pen).
            int done = PaintPlainCells(window, (int)px, (int)py, (int)(x1 - px + 1), weights + c, colors + c,
                                       alphaScale);
            px += done, c += done;
            if (px > x1)
                break;
            uint32_t weight = weights[c] > 255 ? 255 : weights[c];
            if (weight)
                PaintPixel(window, (int)px, (int)py, (int)c, (int)r, CellColor(colors[c]),
                           (int)weight * alphaScale / 255);
            else
                AdvanceRun();
        }
        if (pen->weights != matrix || pen->side != n)
            break;
    }
    if (loop) {
        int w = 0, h = 0, d;
        GetImageSize(g->currentImage, &w, &h, &d);
        if (w > 0 && h > 0) {
            x0 = WrapIntoLayer(x0, g->clampedX, w), x1 = WrapIntoLayer(x1, g->clampedX, w);
            y0 = WrapIntoLayer(y0, g->clampedY, h), y1 = WrapIntoLayer(y1, g->clampedY, h);
            if (x0 > x1)
                x0 = 0, x1 = g->right;
            if (y0 > y1)
                y0 = 0, y1 = g->bottom;
        }
    }
    RefreshWindowRect(window, (int)x0, (int)y0, (int)x1, (int)y1, redraw);
    return 1;
}
