// Running an effect: the parameters gathered around the call, the macro line, and Apply on the
// current layer of an image window with its commit, undo and repaint.
#include "plugins/effectdlg_internal.h"
#include "base/notify.h"
#include "plugins/params.h"
#include "view/display.h"
#include "image/group.h"
#include "view/paint.h"
#include "base/progress.h"
#include "base/stepclock.h"
#include "view/winlist.h"
#include <string.h>

EffectPluginRecord *GetEffectRow(int row)
{
    if (row < 0 || row >= kEffectRows || !g_effectPlugins[row].module)
        return NULL;
    return &g_effectPlugins[row];
}

int FindEffectByName(const char *name)
{
    for (int i = 0; name && i < kEffectRows && g_effectPlugins[i].module; i++)
        if (strcmp(g_effectPlugins[i].name, name) == 0)
            return i;
    return -1;
}

int FindEffectByTreeItem(void *item)
{
    for (int i = 0; item && i < kEffectRows && g_effectPlugins[i].module; i++)
        if (g_effectPlugins[i].treeItem == item)
            return i;
    return -1;
}

int CallEffect(int row, CDIB *image, uint32_t *dest, int left, int top, int right, int bottom, int mask,
               QzProgressProc progress, int record, int gather)
{
    EffectPluginRecord *effect = GetEffectRow(row);
    if (!effect || !effect->QzcEffect)
        return 0;
    if (gather)
        CollectGlobalParameters(kPanelEffect);
    int result = effect->QzcEffect(image, dest, left, top, right, bottom, mask, progress);
    if (record)
        NotifyMacroEffect(effect->name);
    FreeGlobalParameters();
    return result;
}

int GetEffectArea(ImageWindow *window, int activeRegion, RECT *area)
{
    *area = RECT{-1, -1, -1, -1};
    ImageGroup *g = window && window->group ? window->group : g_currentGroup;
    if (!g)
        return 0;
    int available;
    int l, t, r, b;
    if (activeRegion) {
        available = QzsGetRegionArea(g, NULL, &l, &t, &r, &b, activeRegion);
    } else {
        l = g->clampedX, t = g->clampedY, r = g->right, b = g->bottom;
        available = IsCurrentImage32() ? 1 : 0;
    }
    if (l < 0 && r < 0) // nothing: the area stays empty
        return available;
    // Group coordinates into the current layer's, once.
    area->left = (int)((int64_t)l - g->layerX);
    area->top = (int)((int64_t)t - g->layerY);
    area->right = (int)((int64_t)r - g->layerX);
    area->bottom = (int)((int64_t)b - g->layerY);
    return available;
}

static void ClipToBase(ImageGroup *g, int64_t *l, int64_t *t, int64_t *r, int64_t *b)
{
    int w = 0, h = 0, d;
    if (g->base)
        QzsGetCDIBinfo(g->base, &w, &h, &d);
    *l = *l < 0 ? 0 : *l;
    *t = *t < 0 ? 0 : *t;
    *r = *r > w - 1 ? w - 1 : *r;
    *b = *b > h - 1 ? h - 1 : *b;
}

int ApplyEffect(ImageWindow *window, int row, int left, int top, int right, int bottom, int mask, int record,
                int gather)
{
    if (!window || !window->group || !window->group->currentImage || !window->drawBuffer || !GetEffectRow(row))
        return 0;
    ImageGroup *g = window->group;
    CDIB *layer = g->currentImage;
    StepMark(NULL);
    ForgetProgressWindow();
    QzsStartOnImageMDIB(g, layer);
    int result = CallEffect(row, layer, window->drawBuffer, left, top, right, bottom, mask, ShowEffectProgress,
                            record, gather);
    StepMark("effect"); // with the bar's steps, also counted under progress-steps
    // The rectangle in group coordinates, inside the base whose buffers it addresses.
    int64_t l = (int64_t)left + g->layerX, t = (int64_t)top + g->layerY;
    int64_t r = (int64_t)right + g->layerX, b = (int64_t)bottom + g->layerY;
    ClipToBase(g, &l, &t, &r, &b);
    if (l <= r && t <= b) {
        if (result && !StrokeChangesPixels(window, (int)l, (int)t, (int)r, (int)b)) {
            ClearWorkRect(window, (int)l, (int)t, (int)r, (int)b); // nothing changed: no undo step, no change
        } else if (result) {
            layer->modified = 1;
            SetDirtyRect((int)l, (int)t, (int)r, (int)b);
            ColorRecord *c0 = QzsGetColor(0);
            int32_t function = c0->function, regionMode = c0->regionMode;
            c0->function = c0->regionMode = 0;
            CommitStroke(window);
            StepMark("commit");
            c0->function = function;
            c0->regionMode = regionMode;
            ComposeDisplayRect(window, g, (int)l, (int)t, (int)r, (int)b, 0);
            RefreshWindowRect(window, (int)l, (int)t, (int)r, (int)b, 1);
            StepMark("redraw");
        } else {
            ClearWorkRect(window, (int)l, (int)t, (int)r, (int)b);
        }
    }
    if (ProgressWindow())
        CloseProgressWindow();
    StepMark("progress-close");
    return result;
}
