// What the layer manager does: its command buttons, the opacity of the current layer, and how it
// follows the host's notifications.
#include "swzinc.h"
#include <stdlib.h>
#include <string.h>

namespace {

void SendToOwner(int command)
{
    if (g_lm.owner)
        SendMessageA(g_lm.owner, WM_COMMAND, (WPARAM)command, 0);
}

LayerRecord *TopLayer(ImageGroup *group)
{
    LayerRecord *top = NULL;
    for (LayerRecord *l = QzsGetNextLayer(group, NULL); l; l = QzsGetNextLayer(group, l))
        top = l;
    return top;
}

// A white layer at half opacity over the current window's group.
void MakeTracingPaper()
{
    ImageWindow *window = QzsGetCurrentWindow();
    if (!window || !window->group)
        return;
    if (QzsInsertLayer(window, 1, 255))
        QzsChangeLayerOpacity(window->group, TopLayer(window->group), 128, 1);
}

// A copy of the current image of the group as a new untitled image, for 32-bit images only.
void ExportLayer()
{
    ImageGroup *group = ShownGroup();
    CDIB *source = group ? group->currentImage : NULL;
    int w, h, depth;
    if (!source || !source->pixels || !QzsGetCDIBinfo(source, &w, &h, &depth) || depth != 32 || w <= 0 || h <= 0)
        return;
    CDIB *copy = (CDIB *)calloc(1, sizeof *copy);
    if (!copy)
        return;
    if (QzsCreateCDIB(w, h, 32, copy) != 0) {
        free(copy);
        return;
    }
    memcpy(copy->pixels, source->pixels, (size_t)w * (size_t)h * 4);
    if (!QzsSetCDIB(copy)) {
        QzsDisposeCDIB(copy);
        free(copy);
    }
}

void SetCreateButton(bool pressed)
{
    g_lm.buttons[kButtonCreate].pressed = pressed ? 1 : 0;
    if (g_lm.window)
        QzsDrawButton(g_lm.window, &g_lm.buttons[kButtonCreate]);
}

// "Create Layer" draws the new layer with the draw method of that name, locked until pressed again.
void ToggleCreateLayer()
{
    if (g_lm.creating) {
        QzsLockDraw(g_lm.window, 0); // the saved method comes back with message 2
        SetCreateButton(false);
        return;
    }
    if (QzsCheckLockDraw()) {
        MessageBoxA(g_lm.window, "Drawing method is locked!", "MES", MB_OK);
        return;
    }
    void *saved = QzsPushDraw();
    int selected = QzsSetDrawByName("CreateLayer");
    if (selected < 0) {
        QzsPopDraw(saved);
        if (selected == -1)
            MessageBoxA(g_lm.window, "Draw method is not installed!", "MES", MB_OK);
        return;
    }
    g_lm.createHandle = saved;
    g_lm.creating = true;
    SetCreateButton(true);
    QzsLockDraw(g_lm.window, 1);
}

int Clamp(int v, int low, int high)
{
    return v < low ? low : v > high ? high : v;
}

} // namespace

void RunCommandButton(int which)
{
    switch (which) {
    case kButtonNew: SendToOwner(kCommandNewLayer); break;
    case kButtonDelete: SendToOwner(kCommandDeleteLayer); break;
    case kButtonCopy:
        SendToOwner(kCommandCopyRegion);
        SendToOwner(kCommandPasteLayer);
        break;
    case kButtonTracing: MakeTracingPaper(); break;
    case kButtonExport: ExportLayer(); break;
    case kButtonCreate: ToggleCreateLayer(); break;
    }
}

// Drawing was unlocked (by this window or any other): only a running "Create Layer" takes it as
// its end, so a saved method is restored once and never a stale one.
void DrawingUnlocked()
{
    if (!g_lm.creating)
        return;
    QzsPopDraw(g_lm.createHandle);
    g_lm.createHandle = NULL;
    g_lm.creating = false;
    SetCreateButton(false);
}

void ChangeOpacityBy(int step)
{
    ImageGroup *group = ShownGroup();
    LayerRecord *layer = KnownCurrentLayer(group);
    if (!layer)
        return;
    int opacity = Clamp(layer->opacity + step, 0, 255);
    if (opacity != layer->opacity)
        QzsChangeLayerOpacity(group, layer, opacity, 1);
}

// The bar is 129 pixels for 0..255: two steps per pixel.
void SetOpacityAt(int x, int redraw)
{
    ImageGroup *group = ShownGroup();
    LayerRecord *layer = KnownCurrentLayer(group);
    if (!layer)
        return;
    int opacity = 2 * Clamp(x - 115, 0, 128);
    QzsChangeLayerOpacity(group, layer, opacity > 255 ? 255 : opacity, redraw);
}

void FollowNotification(ImageGroup *group, LayerRecord *layer, CDIB *image, int code)
{
    if (code == 1)
        g_lm.first = 0;
    if (group)
        KeepCurrentLayerVisible(group);
    else
        g_lm.first = 0;
    if (code >= 1 && code <= 4) {
        g_lm.group = group;
        g_lm.image = image;
    }
    if (code != 101)
        RebuildThumbnail();
    DrawOpacityBar();
    if (code >= 1 && code <= 4)
        UpdateControls();
    if (g_lm.window)
        InvalidateRect(g_lm.window, NULL, FALSE);
}

// Shown again, or made anew after a reload: the view starts from the current window's group
// whatever it was told before (or never told), its scroll position kept where it still shows the
// current layer.
void FollowCurrentWindow()
{
    ImageWindow *window = QzsGetCurrentWindow();
    ImageGroup *group = window ? window->group : NULL;
    FollowNotification(group, group ? group->currentLayer : NULL, group ? group->currentImage : NULL, 2);
}
