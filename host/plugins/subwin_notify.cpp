// What the sub-window plug-ins hear: every change of image, image list, group list, draw method,
// colour, pen, directory and active region, and the host's messages; and the parameter panels that
// hear the image changes with them.
#include "plugins/effectdlg.h"
#include "plugins/loader.h"
#include "plugins/params.h"
#include "plugins/subwin.h"
#include "image/colors.h"
#include "image/group.h"
#include "image/imagelist.h"

static int s_callDepth; // calls into sub-window plug-ins in progress

bool InSubWindowCall()
{
    return s_callDepth > 0;
}

SubWindowCallScope::SubWindowCallScope() { s_callDepth++; }
SubWindowCallScope::~SubWindowCallScope() { s_callDepth--; }

namespace {

// Every row of the table, also past an empty one. The entry is read from the row at the moment of
// the call, so a row that a plug-in changed from inside an earlier call is seen as it now is.
template <class Call> void EveryRow(Call call)
{
    SubWindowCallScope in;
    for (int row = 0; row < kSubWindowRows; row++)
        call(g_subWindows[row]);
}

void RepaintEffectDialog()
{
    if (HWND dialog = GetEffectDialog())
        InvalidateRect(dialog, NULL, TRUE);
}

} // namespace

void BroadcastImageChanged(ImageGroup *group, LayerRecord *layer, CDIB *image, int code)
{
    EveryRow([&](SubWindowRecord &r) {
        if (r.QzcChangeImage)
            r.QzcChangeImage(group, layer, image, code);
    });
    // The open effect dialog works on the image the plug-ins were told of.
    if (GetEffectDialog()) {
        g_currentImage = image;
        g_currentGroup = image ? FindGroupOfImage(image) : NULL;
        SyncCurrentLayer(g_currentGroup);
        RepaintEffectDialog();
    }
    NotifyDrawAndColorPanels(code, 0);
}

void BroadcastImageListChanged()
{
    EveryRow([](SubWindowRecord &r) {
        if (r.QzcChangeImageList)
            r.QzcChangeImageList(0);
    });
}

void BroadcastImageGroupListChanged()
{
    EveryRow([](SubWindowRecord &r) {
        if (r.QzcChangeImageGroupList)
            r.QzcChangeImageGroupList(0);
    });
    NotifyDrawAndColorPanels(100, 0);
}

void BroadcastDrawChanged(int index)
{
    EveryRow([&](SubWindowRecord &r) {
        if (r.QzcChangeDraw)
            r.QzcChangeDraw(index);
    });
}

void BroadcastColorChanged(int slot)
{
    if (slot < 0 || slot >= kColorRecords)
        return;
    EveryRow([&](SubWindowRecord &r) {
        if (r.QzcChangeColor)
            r.QzcChangeColor(slot, &g_colorTable[slot]);
    });
}

void BroadcastPenChanged(INT_PTR source, PenRecord *pen)
{
    EveryRow([&](SubWindowRecord &r) {
        if (r.QzcChangePen)
            r.QzcChangePen(source, pen);
    });
}

void BroadcastGetDirectory(INT_PTR a, INT_PTR b)
{
    DirFileNode *list = QzsGetImageInFileList();
    EveryRow([&](SubWindowRecord &r) {
        if (r.QzcGetDirectory)
            r.QzcGetDirectory(a, b, list);
    });
}

void BroadcastActiveRegionChanged(int bits)
{
    EveryRow([&](SubWindowRecord &r) {
        if (r.QzcChangeActiveRegion)
            r.QzcChangeActiveRegion(bits);
    });
    RepaintEffectDialog();
}

void BroadcastSubWindowMessage(int code, INT_PTR a, INT_PTR b)
{
    EveryRow([&](SubWindowRecord &r) {
        if (r.QzcReceiveMessage)
            r.QzcReceiveMessage(code, a, b);
    });
}

void SendSubWindowMessage(HWND window, int code, INT_PTR a, INT_PTR b)
{
    int row = FindSubWindowByWindow(window);
    if (row < 0 || !g_subWindows[row].QzcReceiveMessage)
        return;
    SubWindowCallScope in;
    g_subWindows[row].QzcReceiveMessage(code, a, b);
}

void NotifyParameterPanel(HWND sender, ParameterPanel *panel, INT_PTR a, INT_PTR b)
{
    if (!panel)
        return;
    NotifyParameterControls(sender, panel, (WPARAM)a, (LPARAM)b);
    if (panel == GetParameterPanel(kPanelColor))
        LoadFuncColorParameters(g_colorTable[0].function);
}

void NotifyDrawAndColorPanels(INT_PTR a, INT_PTR b)
{
    NotifyParameterPanel(g_colorParamWindow, GetParameterPanel(kPanelColor), a, b);
    NotifyParameterPanel(g_drawParamWindow, GetParameterPanel(kPanelDraw), a, b);
}
