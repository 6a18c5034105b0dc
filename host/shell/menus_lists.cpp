// Dynamic menu lists, check marks and enabled states, and the small fixed popups.
#include "image/group.h"
#include "plugins/loader.h"
#include "draw/drawsel.h"
#include "draw/transform.h"
#include "shell/commands.h"
#include "shell/commands_pending.h"
#include "shell/menus_build.h"
#include "base/messages.h"
#include "base/recent.h"
#include "view/winlist.h"
#include "shell/winproc.h"
#include <stdio.h>

enum { kListTextBytes = 600, kListLayers = 29 };

static void AppendListItem(HMENU menu, int id, const char *text, bool checked)
{
    AppendMenuA(menu, MF_STRING | (checked ? MF_CHECKED : 0), (UINT_PTR)id, text);
}

static void AddImageList(MenuBuild *b)
{
    ImageGroup *shown = b->window ? b->window->group : NULL;
    AppendMenuA(b->popup, MF_SEPARATOR, 0, NULL);
    int n = 0;
    for (ImageGroup *g = g_firstGroup; g; g = g->next, n++) {
        if (n == kImageListEntries) {
            AppendListItem(b->popup, kCommandImageList, "Image &List", false);
            break;
        }
        char text[kListTextBytes];
        snprintf(text, sizeof text, "&%1d|%s", n, g->name);
        AppendListItem(b->popup, kImageListCommands[n], text, g == shown);
    }
}

// Draw-method and sub-window rows are lettered from "A" on, past "Z" through the following
// characters.
static void AddDrawList(MenuBuild *b)
{
    for (int row = 0; row < kDrawMenuRows; row++) {
        DrawPluginRecord *r = GetDrawPluginRow(row);
        if (!r || !r->module)
            continue;
        char name[QZ_NAME_LEN + 1], translated[QZ_TRANSLATED_LEN + 1], text[kListTextBytes];
        snprintf(name, sizeof name, "%.*s", QZ_NAME_LEN, r->name);
        snprintf(translated, sizeof translated, "%.*s", QZ_TRANSLATED_LEN, r->translated);
        snprintf(text, sizeof text, "&%c)%s", (char)('A' + row), PickLangText(name, translated));
        AppendListItem(b->popup, kFirstDrawCommand + row, text, false);
    }
}

static void AddViewList(MenuBuild *b)
{
    for (int row = 0; row < kSubWindowMenuRows; row++) {
        const char *name = GetSubWindowName(row);
        if (!name)
            continue;
        char text[kListTextBytes];
        snprintf(text, sizeof text, "&%c)%.500s", (char)('A' + row), name);
        AppendListItem(b->popup, kFirstSubWindowCommand + row, text, IsSubWindowShown(row) != 0);
    }
}

static void AddWindowList(MenuBuild *b)
{
    if (g_noWindowState)
        return;
    AppendMenuA(b->popup, MF_SEPARATOR, 0, NULL);
    int n = 0;
    for (ImageWindow *w = g_firstWindow; w && n < kWindowCommands; w = w->next, n++) {
        char text[kListTextBytes];
        snprintf(text, sizeof text, "&%1d|%s", n, w->layerImage ? w->layerImage->name : "*** No Image ***");
        AppendListItem(b->popup, kFirstWindowCommand + n, text, w == g_currentWindow);
    }
}

static void AddLayerList(MenuBuild *b)
{
    ImageGroup *group = g_currentWindow ? g_currentWindow->group : NULL;
    if (!group || !group->base)
        return;
    AppendMenuA(b->popup, MF_SEPARATOR, 0, NULL);
    char text[kListTextBytes];
    snprintf(text, sizeof text, "&0|%s", group->base->name);
    AppendListItem(b->popup, kFirstLayerCommand, text, group->currentImage == group->base);
    int n = 1;
    for (LayerRecord *l = group->firstLayer; l && n <= kListLayers; l = l->next, n++) {
        snprintf(text, sizeof text, "&%1d|%s", n, l->image ? l->image->name : "");
        AppendListItem(b->popup, kFirstLayerCommand + n, text, l->image && group->currentImage == l->image);
    }
}

static void AddRecentFileList(MenuBuild *b)
{
    AppendMenuA(b->popup, MF_SEPARATOR, 0, NULL);
    for (int n = 0; n < kRecentCommands; n++) {
        RecentFileNode *node = RecentFileAt(n);
        if (!node)
            break;
        const char *path = node->path;
        char text[kListTextBytes];
        snprintf(text, sizeof text, "&%1d|%s", n, path);
        AppendListItem(b->popup, kFirstRecentCommand + n, text, false);
    }
}

void AddMenuList(MenuBuild *b, int list, const char *translated)
{
    if (!b->mainMenu) {
        if (list == kListImage && b->popup)
            AddImageList(b);
        return;
    }
    switch (list) {
    case kListDraw:
        StartPopup(b, "&Draw", translated);
        AddDrawList(b);
        break;
    case kListView:
        StartPopup(b, "&View", translated);
        AddViewList(b);
        break;
    case kListWindow:
        if (b->popup)
            AddWindowList(b);
        break;
    case kListLayer:
        if (b->popup)
            AddLayerList(b);
        break;
    case kListRecentFile:
        if (b->popup)
            AddRecentFileList(b);
        break;
    }
}

// ---- marks ----

void MarkMainMenu()
{
    int draw = GetCurrentDraw();
    if (GetDrawPluginRow(draw))
        CheckMenuItem(GetMainMenu(), kFirstDrawCommand + draw, MF_BYCOMMAND | MF_CHECKED);
    if (g_currentWindow)
        UpdateUndoMenuItems(g_currentWindow);
}

void MarkWindowMenu(ImageWindow *window)
{
    CheckMenuItem(window->menu, kCommandMaskDisplay, MF_BYCOMMAND | (window->maskDisplay ? MF_CHECKED : 0));
    CheckMenuItem(window->menu, kCommandSwitchDither, MF_BYCOMMAND | (window->dither ? MF_CHECKED : 0));
    SetDisplayModeChecks(window, MF_CHECKED);
    CheckGridMenuItem(window);
    CheckZoomMenuItem(window, window->display.zoom, MF_CHECKED);
}

void UpdateUndoMenuItems(ImageWindow *window)
{
    HMENU menu = GetMainMenu();
    if (!menu)
        return;
    static const int kIds[] = {kCommandUndo, kCommandRedo, kCommandRegionUndo, kCommandRegionRedo};
    for (int id : kIds)
        EnableMenuItem(menu, id, MF_BYCOMMAND | MF_GRAYED);
    if (!window || !window->layerImage || !window->group)
        return;
    const CDIB *image = window->layerImage;
    const ImageGroup *group = window->group;
    if (image->undoCurrent)
        EnableMenuItem(menu, kCommandUndo, MF_BYCOMMAND | MF_ENABLED);
    if (image->undoCurrent != image->undoLast)
        EnableMenuItem(menu, kCommandRedo, MF_BYCOMMAND | MF_ENABLED);
    if (group->regionUndoCurrent)
        EnableMenuItem(menu, kCommandRegionUndo, MF_BYCOMMAND | MF_ENABLED);
    if (group->regionUndoCurrent != group->regionUndoLast)
        EnableMenuItem(menu, kCommandRegionRedo, MF_BYCOMMAND | MF_ENABLED);
}

static int ZoomCommand(int zoom)
{
    switch (zoom) {
    case 1: return 32009;
    case 2: return 32010;
    case 4: return 32011;
    case 8: return 32012;
    case -2: return 32047;
    case -4: return 32048;
    case -8: return 32049;
    }
    return 0;
}

void CheckZoomMenuItem(ImageWindow *window, int zoom, int flag)
{
    int id = ZoomCommand(zoom);
    if (window && window->menu && id)
        CheckMenuItem(window->menu, id, MF_BYCOMMAND | (flag ? MF_CHECKED : MF_UNCHECKED));
}

void CheckZoomMenuItem(ImageWindow *window)
{
    if (!window)
        return;
    static const int kZooms[] = {1, 2, 4, 8, -2, -4, -8};
    for (int z : kZooms)
        CheckZoomMenuItem(window, z, 0);
    CheckZoomMenuItem(window, window->display.zoom, MF_CHECKED);
}

void SetDisplayModeChecks(ImageWindow *window, int flag)
{
    if (!window || !window->menu)
        return;
    UINT how = MF_BYCOMMAND | (flag ? MF_CHECKED : MF_UNCHECKED);
    if (window->regionDisplayMode >= 1 && window->regionDisplayMode <= 4)
        CheckMenuItem(window->menu, 32038 + window->regionDisplayMode - 1, how);
    int frame = window->layerFrameMode == 1 ? 32089 : window->layerFrameMode == 2 ? 32093
                : window->layerFrameMode == 0 ? 32092 : 0;
    if (frame)
        CheckMenuItem(window->menu, frame, how);
}

void CheckGridMenuItem(ImageWindow *window)
{
    if (window && window->menu)
        CheckMenuItem(window->menu, kCommandGrid, MF_BYCOMMAND | (window->grid ? MF_CHECKED : MF_UNCHECKED));
}

// ---- fixed popups, made once ----

HMENU CreateDoCancelPopup()
{
    static HMENU s_menu;
    if (!s_menu) {
        s_menu = CreatePopupMenu();
        AppendMenuA(s_menu, MF_STRING, 30000, "Do!");
        AppendMenuA(s_menu, MF_STRING, 30001, "Cancel");
    }
    return s_menu;
}

HMENU CreateDoContinuePopup()
{
    static HMENU s_menu;
    if (!s_menu) {
        s_menu = CreatePopupMenu();
        AppendMenuA(s_menu, MF_STRING, 30100, "Do!");
        AppendMenuA(s_menu, MF_STRING, 30101, "Do&&Continue");
        AppendMenuA(s_menu, MF_STRING, 30102, "Cancel");
    }
    return s_menu;
}

void CreateClipPopups(HMENU *member, HMENU *clip)
{
    static HMENU s_member, s_clip;
    if (!s_member) {
        s_member = CreatePopupMenu();
        AppendMenuA(s_member, MF_STRING, 30200, "Release");
    }
    if (!s_clip) {
        s_clip = CreatePopupMenu();
        AppendMenuA(s_clip, MF_STRING, 30400, "Change Position");
        AppendMenuA(s_clip, MF_STRING, 30300, "Dispose clip");
    }
    if (member)
        *member = s_member;
    if (clip)
        *clip = s_clip;
}

void ApplyTransformCommand(ImageWindow *window)
{
    ApplyTransform(window);
    UpdateCursor(window);
}

void CancelTransformCommand(ImageWindow *window)
{
    CancelTransform(window);
    UpdateCursor(window);
}
