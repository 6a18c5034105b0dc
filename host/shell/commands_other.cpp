// Single commands on modes, dialogs, help, language, macros and plug-ins; the extension-command
// service.
#include "plugins/effectdlg.h"
#include "plugins/loader.h"
#include "draw/drawmouse.h"
#include "draw/reedit.h"
#include "plugins/subwin.h"
#include "draw/transform.h"
#include "image/imagelist.h"
#include "image/pen.h"
#include "view/display.h"
#include "base/app.h"
#include "shell/clipwin.h"
#include "shell/commands.h"
#include "shell/configfile.h"
#include "shell/lightingdlg.h"
#include "shell/commands_internal.h"
#include "shell/commands_pending.h"
#include "shell/maintain.h"
#include "plugins/plugdialogs.h"
#include "script/macro.h"
#include "base/settings.h"
#include "shell/menus.h"
#include "base/messages.h"
#include "base/msgbox.h"
#include "shell/options.h"
#include "shell/toolbar.h"
#include "view/winlist.h"
#include "shell/winproc.h"
#include <stdio.h>
#include <string.h>


// The About text: its first line in Shift-JIS.
static const char kAboutText[] = "(\x8e\x62\x92\xe8\x94\xc5" "AboutBox)"
                                 "\x83\x66\x83\x55\x83\x43\x83\x93\x95\xe5\x8f\x57\x92\x86"
                                 "\nQXV Ver. 0.104";

// The modules are listed, unloaded and loaded again, with the tool bar and the sub-windows.
int ReloadPlugins(HWND owner)
{
    // Asked from inside a sub-window plug-in: it reloads once that call has returned.
    if (InSubWindowCall()) {
        PostMessageA(g_mainWindow, WM_COMMAND, 32072, 0);
        return 0;
    }
    // Modules in use by the open effect dialog or transform mode must not be freed under them.
    if (GetEffectDialog()) {
        ShowErrorMessage(owner, 65);
        return 0;
    }
    if (InTransformMode()) {
        ShowErrorMessage(owner, 66);
        return 0;
    }
    SavePluginListsAndUnload(); // also clears the loaded flags: effects and transforms load again
    FreeToolButtons(true);
    LoadAllPlugins();
    LoadToolBarBitmaps();
    CreateToolBarButtons();
    CreateDrawButtons();
    CreateSubWindows();
    ShowSubWindows();
    CreateSubWindowButtons();
    ApplyConfiguredColors();
    if (g_mainWindow)
        InvalidateRect(g_mainWindow, NULL, FALSE);
    return 1;
}

static void OpenEffect(ImageWindow *window)
{
    if (InReeditMode()) {
        ShowErrorMessage(g_mainWindow, 97);
    } else if (InTransformMode()) {
        ShowErrorMessage(g_mainWindow, 66);
    } else if (HWND dialog = GetEffectDialog()) {
        SetActiveWindow(dialog);
    } else {
        CreateEffectDialog(g_imageOwner);
        UpdateCursor(window);
    }
}

static void OpenTransform()
{
    if (InReeditMode())
        ShowErrorMessage(g_mainWindow, 97);
    else if (InEffectMode())
        ShowErrorMessage(g_mainWindow, 65);
    else if (HWND dialog = GetTransformDialog())
        SetActiveWindow(dialog);
    else
        CreateTransformDialog(g_imageOwner);
}

static void ChangeLanguage()
{
    // Any value but 0 shows the translation, so switching goes to English from there; a value
    // left from before a language was chosen must not keep the translation on.
    g_cfg.LANG = g_cfg.LANG == 0 ? 1 : 0;
    BroadcastSubWindowMessage(4);
    if (GetEffectDialog())
        RefillEffectTree();
    if (InTransformMode())
        RefillTransformList();
    UpdateWindowMenus();
    UpdateUndoMenuItems(g_currentWindow);
}

static void ShowHelp(bool helpOnHelp)
{
    char path[kPathBytes + kTextBytes + 16];
    if (g_cfg.LANG != 0)
        snprintf(path, sizeof path, "%s\\Ovrin.%s.hlp", g_cfg.appDir, g_cfg.ExtensionOfDictionary);
    else
        snprintf(path, sizeof path, "%s\\Ovrin.hlp", g_cfg.appDir);
    WinHelpA(g_mainWindow, path, helpOnHelp ? HELP_HELPONHELP : HELP_FINDER, 0);
}

static void MacroPath(char *out, size_t size)
{
    snprintf(out, size, "%s\\keymac1.ovm", g_cfg.Macro_dir);
}

bool RunOtherCommand(ImageWindow *window, int id)
{
    char path[kPathBytes + 16];
    switch (id) {
    case 30000: ApplyTransformCommand(window); break;
    case 30001: CancelTransformCommand(window); break;
    case 30100: CommitReedit(window, 0); break;
    case 30101: CommitReedit(window, 1); break;
    case 30102: CancelReedit(window); break;
    case 32043: ChangeDrawMode(); break;
    case 32066: RunOptionsSheet(); break;
    case 32087: RunLightingDialog(g_imageOwner); break;
    case 32068: ShowImageInfo(window); break;
    case 32067: ConvertLayerTo32Bit(window); break;
    case 32045: OpenEffect(window); break;
    case 32062: OpenTransform(); break;
    case 32046: ChangeLanguage(); break;
    case 32072: ReloadPlugins(CommandOwner(window)); break;
    case 32081: RunPluginMaintenanceDialog(CommandOwner(window), 0); break;
    case 32083: RunPluginMaintenanceDialog(CommandOwner(window), 1); break;
    case 32082: RunPluginMaintenanceDialog(CommandOwner(window), 2); break;
    case 32085: RunPluginDirectoryDialog(CommandOwner(window)); break;
    case 32052: ShowHelp(false); break;
    case 32054: ShowHelp(true); break;
    case 32053: AppMessageBox(g_mainWindow, kAboutText, "About", MB_OK); break;
    case 32059: ToggleLoopMode(); break;
    case 32060:
        MacroPath(path, sizeof path);
        ToggleMacroRecording(path);
        break;
    case 32061:
        MacroPath(path, sizeof path);
        PlayMacroFile(path);
        break;
    case kCommandCheckMode:
        if (g_drawState == 0)
            ToggleCheckMode(window);
        break;
    case 32088: CreateClipWindow(g_mainWindow, 400, 300, 0); break;
    case 32096: MoveClipWindowsToSide(); break;
    default: return false; // the identifiers without a handler do nothing
    }
    return true;
}

QZS_DECL(QzcExtCommandProc) QzsGetCommandProc(const char *name)
{
    if (!name)
        return NULL;
    for (int row = 0; row < kExtCommandRows; row++) {
        const char *rowName = GetExtCommandName(row);
        if (rowName && strcmp(rowName, name) == 0)
            return GetExtCommandEntry(row);
    }
    return NULL;
}
