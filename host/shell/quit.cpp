// The quit sequence and closing every image group.
#include "shell/toolbar.h"
#include "shell/startup.h"
#include "image/group.h"
#include "image/imagelist.h"
#include "image/lighting.h"
#include "plugins/effectdlg.h"
#include "plugins/loader.h"
#include "plugins/params.h"
#include "plugins/subwin.h"
#include "base/app.h"
#include "shell/clipwin.h"
#include "base/settings.h"
#include "shell/configfile.h"
#include "shell/keymap.h"
#include "shell/menus.h"
#include "base/messages.h"
#include "view/winlist.h"
#include "shell/winproc.h"
#include <stdio.h>
#include <string.h>

int CloseAllImageGroups()
{
    if (!g_firstGroup)
        return 1;
    int closed = 0;
    ImageGroup *group = g_firstGroup;
    while (group) {
        ImageGroup *next = group->next;
        if (!QzsCloseMDIB(group)) {
            if (closed > 0)
                UpdateWindowMenus();
            return 0;
        }
        closed++;
        // QzsCloseMDIB leaves the windows that showed the group without one.
        if (g_cfg.BindImageToOneWindow) {
            ImageWindow *w = g_firstWindow;
            while (w) {
                ImageWindow *after = w->next;
                if (!w->group)
                    CloseImageWindow(w, 0);
                w = after;
            }
        }
        if (g_currentWindow)
            BroadcastImageChanged(g_currentWindow->group, g_currentWindow->group ? g_currentWindow->group->currentLayer
                                                                                   : NULL,
                                  g_currentWindow->layerImage, kChangeShown);
        group = IsGroupListed(next) ? next : g_firstGroup;
    }
    return 1;
}

static void WriteHomeDirectory()
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Talvesk\\QXV", 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL) !=
        ERROR_SUCCESS)
        return;
    RegSetValueA(key, "home_dir", REG_SZ, g_cfg.appDir, (DWORD)strlen(g_cfg.appDir));
    RegCloseKey(key);
}

int QuitApplication()
{
    // Asked from inside a sub-window plug-in, whose module the quit would free under it.
    if (InSubWindowCall()) {
        PostMessageA(g_mainWindow, WM_COMMAND, kCommandQuit, 0);
        return 0;
    }
    if (g_mainWindow) {
        RECT r;
        GetWindowRect(g_mainWindow, &r);
        g_cfg.MainWindowSizeY = r.bottom - r.top;
    }
    if (GetEffectDialog())
        CloseEffectParameterPanel();
    SetQuitInProgress(true);
    if (!CloseAllImageGroups()) {
        SetQuitInProgress(false);
        return 0;
    }
    ReleaseDeletedImages();
    SetQuitInProgress(false);
    SaveClipWindowLayout();
    g_currentWindow = NULL;
    CloseDrawAndColorParameterPanels();
    WriteConfigFile();
    SaveLighting();
    WriteFontFile();
    UnloadAllPlugins();
    FreeKeyCommands();
    FreeToolButtons(true);
    DeleteShellDrawingObjects();
    FreeMessageTranslations();
    WriteHomeDirectory();
    PostQuitMessage(0);
    return 1;
}

// Developer command: the red byte of every pixel of the shown layer, row by row from the top.
void DumpLayerRedBytes(ImageWindow *window, const char *path)
{
    CDIB *image = window ? window->layerImage : NULL;
    if (!image || !image->header || !image->pixels || image->header->bmiHeader.biBitCount != 32)
        return;
    FILE *f = fopen(path, "wb");
    if (!f)
        return;
    int64_t count = (int64_t)image->header->bmiHeader.biWidth * image->header->bmiHeader.biHeight;
    const uint8_t *p = (const uint8_t *)image->pixels;
    for (int64_t i = 0; i < count; i++)
        fputc(p[i * 4 + 2], f);
    fclose(f);
}
