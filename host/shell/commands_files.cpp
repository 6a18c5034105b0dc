// Single commands on images, layers, files, the clipboard and image windows.
#include "view/undo_apply.h"
#include "view/groupview.h"
#include "view/merge.h"
#include "files/openimage.h"
#include "files/save.h"
#include "files/twain.h"
#include "image/cdib.h"
#include "image/colors.h"
#include "image/dibcheck.h"
#include "image/dibconvert.h"
#include "image/group.h"
#include "image/imagelist.h"
#include "plugins/subwin.h"
#include "base/app.h"
#include "image/undo.h"
#include "shell/commands.h"
#include "shell/commands_internal.h"
#include "shell/commands_pending.h"
#include "shell/clipboard.h"
#include "shell/printing.h"
#include "base/settings.h"
#include "base/messages.h"
#include "base/msgbox.h"
#include "shell/startup.h"
#include "view/winlist.h"
#include <stdio.h>
#include <stdlib.h>

static void RunOpenImageDialog(ImageWindow *, int how)
{
    OpenImageCommand(how);
}

static void OpenLayersOrImages(ImageWindow *window)
{
    bool intoGroup = !g_noWindowState && window && window->group;
    RunOpenImageDialog(window, intoGroup ? kOpenAsLayers : kOpenAsGroups);
}

static int SaveGroupInCurrentFormat(ImageGroup *group)
{
    return SaveImageGroup(group, NULL);
}

static int SaveCurrentLayer(ImageGroup *group)
{
    return SaveGroupLayer(group, group->currentLayer, NULL);
}

static void SaveAndRetitle(ImageWindow *window, int (*save)(ImageGroup *))
{
    ImageGroup *group = window->group;
    if (!group)
        return;
    HWND handle = window->window;
    if (save(group) && (window = FindImageWindow(handle)) != NULL && window->group)
        UpdateWindowTitle(window, window->group);
}

static void ToggleLayerStatus(ImageWindow *window)
{
    ImageGroup *group = window->group;
    if (!group)
        return;
    int status = QzsGetLayerStatus(group, group->currentLayer);
    QzsChangeLayerStatus(group, group->currentLayer, 1 - status, 1);
}

// The current layer's rectangle in group coordinates.
static void CopyWholeLayer(ImageWindow *window)
{
    int w, h, d;
    GetImageSize(window->layerImage, &w, &h, &d);
    int x = 0, y = 0;
    LayerRecord *layer = window->group->currentLayer;
    if (layer && layer->image == window->layerImage)
        x = layer->x, y = layer->y;
    CopyToClipboard(window, x, y, x + w - 1, y + h - 1);
}

static void CopyLayer(ImageWindow *window)
{
    if (!g_noWindowState && window->group && window->layerImage)
        CopyWholeLayer(window);
}

static void CopyRegion(ImageWindow *window)
{
    if (g_noWindowState || !window->group || !window->layerImage)
        return;
    int left, top, right, bottom;
    if (QzsGetRegionArea(window->group, window->group->currentLayer, &left, &top, &right, &bottom,
                         (int)window->activeRegion)) {
        CopyToClipboard(window, left, top, right, bottom);
        return;
    }
    int w, h, d;
    GetImageSize(window->layerImage, &w, &h, &d);
    if (d != 32)
        CopyWholeLayer(window);
}

static void PasteAsLayer(ImageWindow *window)
{
    if (!window->group || (window->group->base && window->group->base->editDepth == 32))
        PasteFromClipboard(window, 1, 0, 0);
}

static void RunUndo(ImageWindow *window, int (*step)(ImageWindow *))
{
    // A second undo while one runs (its dialogs pump messages) does nothing.
    static bool s_running;
    if (s_running)
        return;
    s_running = true;
    step(window);
    s_running = false;
}

// A transferred picture checked against its block; bit fields and top-down rows are converted
// first. NULL (and the box) when it is refused.
static CDIB *ImageFromAcquiredPicture(HWND owner, const void *block, size_t bytes)
{
    DibLayout dib;
    uint8_t *plain = NULL;
    size_t plainBytes;
    if (CheckPackedDib(block, bytes, &dib) && !IsPlainDib(dib)) {
        plain = MakePlainPackedDib(dib, &plainBytes);
        if (!plain || !CheckPackedDib(plain, plainBytes, &dib))
            dib.header = NULL;
    }
    if (!dib.header) {
        free(plain);
        ShowSysErrorMessage(owner, 105);
        return NULL;
    }
    CDIB *image = CreateImageFromDib(plain ? (const BITMAPINFO *)plain : (const BITMAPINFO *)block, 0);
    free(plain);
    return image;
}

static void AcquireFromTwain(ImageWindow *window, int hideUI)
{
    HWND owner = CommandOwner(window);
    HWND handle = window->window;
    SetTwainHideUI(hideUI);
    if (!TwainOpenDefaultSource()) {
        ShowSysErrorMessage(owner, 104);
        return;
    }
    HGLOBAL picture = TwainAcquireNative(owner, 0);
    if (!picture)
        return;
    const BITMAPINFOHEADER *info = (const BITMAPINFOHEADER *)GlobalLock(picture);
    size_t bytes = GlobalSize(picture);
    if (!info || bytes < sizeof *info) {
        if (info)
            GlobalUnlock(picture);
        ShowSysErrorMessage(owner, 105);
        GlobalFree(picture);
        return;
    }
    char text[64];
    snprintf(text, sizeof text, "(%d %d)dep=%d", (int)info->biWidth, (int)info->biHeight, (int)info->biBitCount);
    AppMessageBox(owner, text, "MES", MB_OK);
    CDIB *image = ImageFromAcquiredPicture(owner, info, bytes);
    GlobalUnlock(picture);
    GlobalFree(picture);
    if (!image)
        return;
    BroadcastImageListChanged();
    QzsSetUntitle(image, 1);
    if (AddImageGroup(image) && (window = FindImageWindow(handle)) != NULL)
        ShowGroupInWindow(window, g_lastGroup, 0, 1);
}

static void SetImageBackground()
{
    ImageWindow *w = g_currentWindow;
    if (!w || !w->group || !w->group->base)
        return;
    const ColorRecord &c = g_colorTable[1];
    uint8_t *bg = w->group->base->background;
    bg[0] = (uint8_t)c.blue;
    bg[1] = (uint8_t)c.green;
    bg[2] = (uint8_t)c.red;
}

bool RunFileCommand(ImageWindow *window, int id)
{
    switch (id) {
    case 32017: RunOpenImageDialog(window, kOpenAsGroups); break;
    case 32069: RunOpenImageDialog(window, kOpenViewOnly); break;
    case 32100: OpenLayersOrImages(window); break;
    case kCommandNewImage: NewImageCommand(window); break;
    case 32070: QzsInsertLayer(window, 1, 0); break;
    case 32071: ToggleLayerStatus(window); break;
    case 32078:
        if (window->group)
            QzsDeleteLayer(window->group, window->group->currentLayer, 1);
        break;
    case 32079:
        if (window->group)
            MergeAllLayers(window->group);
        break;
    case kCommandCloseAllImage: CloseAllImageGroups(); break;
    case kCommandCloseImage: CloseImageCommand(window); break;
    case 32027: SaveAndRetitle(window, SaveGroupInCurrentFormat); break;
    case 32099: SaveAndRetitle(window, SaveCurrentLayer); break;
    case 32097:
        if (window->group)
            SaveAsDefault(window->group);
        break;
    case 32098: SaveAllImages(); break;
    case 32057: PrintImage(window); break;
    case 32058: PrintSetup(CommandOwner(window)); break;
    case 32064: AcquireFromTwain(window, 0); break;
    case 32094: AcquireFromTwain(window, 1); break;
    case 32063: TwainSelectSource(CommandOwner(window)); break;
    case kCommandQuitProgram: QuitApplication(); break;
    case kCommandUndo: RunUndo(window, UndoImage); break;
    case kCommandRedo: RedoImage(window); break;
    case kCommandRegionUndo: UndoRegion(window); break;
    case kCommandRegionRedo: RedoRegion(window); break;
    case 32013: // cut: the layer is copied and left as it is
    case 32014: CopyLayer(window); break;
    case 32056: CopyRegion(window); break;
    case 32015: PasteFromClipboard(window, 0, 0, 0); break;
    case 32077: PasteAsLayer(window); break;
    case 32003: ShowPreviousGroup(window); break;
    case 32004: ShowNextGroup(window); break;
    case kCommandAdjustWindow: FitWindowToImage(window); break;
    case kCommandOpenEditWindow: OpenEditWindowCommand(window, false); break;
    case kCommandOpenBrowseWindow: OpenEditWindowCommand(window, true); break;
    case kCommandCloseWindow: CloseWindowCommand(window); break;
    case 32050: SetWallPaper(0); break;
    case 32051: SetWallPaper(1); break;
    case 32095: SetImageBackground(); break;
    case kCommandDumpLayer: DumpLayerRedBytes(window, "c:\\img01.dat"); break;
    default: return false;
    }
    return true;
}
