// The program entry: every step of the start-up in its fixed order.
#include "shell/startup.h"
#include "shell/receivers.h"
#include "files/openimage.h"
#include "files/mr2.h"
#include "files/save.h"
#include "plugins/susie.h"
#include "files/twain.h"
#include "image/cdib.h"
#include "view/display.h"
#include "image/imagelist.h"
#include "view/writers.h"
#include "draw/drawsel.h"
#include "plugins/dictionary.h"
#include "plugins/install.h"
#include "plugins/loader.h"
#include "plugins/plugdialogs.h"
#include "plugins/subwin.h"
#include "base/app.h"
#include "base/cursors.h"
#include "shell/clipwin.h"
#include "shell/commands.h"
#include "base/settings.h"
#include "base/stepclock.h"
#include "shell/configfile.h"
#include "shell/itemwin.h"
#include "shell/keymap.h"
#include "shell/menus.h"
#include "base/messages.h"
#include "base/msgbox.h"
#include "shell/tablet.h"
#include "shell/toolbar.h"
#include "view/winlist.h"
#include "shell/winproc.h"
#include <commctrl.h>
#include <stdlib.h>
#include <string.h>

int StripCommandLineQuotes(char *text)
{
    if (text[0] != '"')
        return 1;
    memmove(text, text + 1, strlen(text));
    size_t n = strlen(text);
    if (n > 0)
        text[n - 1] = 0; // the last character goes, whatever it is
    return 1;
}

// ---- the hand-off to a running instance -------------------------------------------------------

bool HandOverToRunningInstance(const char *commandLine)
{
    HWND running = FindWindowA(kClassImageWindow, NULL);
    if (!running)
        return false;
    if (commandLine[0]) {
        // The text crosses as data: the running instance receives its own copy.
        COPYDATASTRUCT data;
        data.dwData = kCommandSecondStart;
        data.cbData = (DWORD)strlen(commandLine) + 1;
        data.lpData = (void *)commandLine;
        DWORD_PTR result;
        SendMessageTimeoutA(running, WM_COPYDATA, 0, (LPARAM)&data, SMTO_ABORTIFHUNG, 10000, &result);
    }
    return true;
}

char *TakeHandedOverCommandLine(const COPYDATASTRUCT *data)
{
    if (!data || data->dwData != kCommandSecondStart || !data->lpData || data->cbData == 0 ||
        data->cbData > 64 * 1024)
        return NULL;
    char *copy = (char *)malloc(data->cbData + 1);
    if (!copy)
        return NULL;
    memcpy(copy, data->lpData, data->cbData);
    copy[data->cbData] = 0;
    return copy;
}

// ---- start-up ---------------------------------------------------------------------------------

static void ShowCollectedMessages()
{
    if (MessageBatchCount() > 0)
        AppMessageBox(NULL, MessageBatchText(), "Error", MB_OK);
    ResetMessageBatch();
}

static void CreateHiddenOwners()
{
    g_subParent = CreateWindowExA(0, kClassSubParent, kProgramTitle, WS_OVERLAPPEDWINDOW | WS_HSCROLL | WS_VSCROLL, 0,
                                  0, 0, 0, g_mainWindow, NULL, g_instance, NULL);
}

static void CreateImageWindowOwner()
{
    g_imageOwner = CreateWindowExA(0, kClassImageWindow, kProgramTitle, WS_OVERLAPPEDWINDOW | WS_HSCROLL | WS_VSCROLL,
                                   0, 0, 0, 0, g_mainWindow, NULL, g_instance, NULL);
}

int OvrinMain(HINSTANCE instance, char *commandLine, int show)
{
    StartStepClock();
    StepMark("entry");
    g_instance = instance;
    InstallNotifyReceivers();
    InitApplicationSettings();
    InitDisplayWriters(g_screenDepth);
    if (g_screenDepth == 8)
        CreateDisplayPalette();
    StripCommandLineQuotes(commandLine);
    if (HandOverToRunningInstance(commandLine))
        return 0;
    StepMark("settings");

    CreateTitleWindow();
    StepMark("title-window");
    if (g_cfg.LANG < 0) {
        ShowLanguageDialog(g_titleWindow);
        if (g_titleWindow)
            InvalidateRect(g_titleWindow, NULL, TRUE);
    }
    CreateWorkDirectories();
    InstallDataFiles();
    LoadMessageTranslations();
    FindSusieDirectory();
    InstallNewPlugins(g_cfg.appDir);
    InstallNewSusiePlugins(g_cfg.appDir);
    ResetDictionary();
    StepMark("install-translations");
    LoadAllPlugins(); // marks each kind
    // mr2 keeps its pictures as PNG through a save module; without one, offer mrf, which always works.
    SetCurrentSaveFormat(FindPngSaver() ? kFormatMr2 : kFormatMrf);
    LoadToolBarBitmaps();
    CreateToolBarButtons();
    CreateDrawButtons();
    if (!RegisterImageWindowClass()) {
        ShowSysErrorMessage(g_mainWindow, 3);
        return 0;
    }
    StepMark("toolbar-bitmaps");
    CloseTitleWindow();
    ShowCollectedMessages();
    StepMark("title-closed");

    LoadProgramCursors();
    g_currentCursor = GetProgramCursor(kCursorPlain);
    IsTwainAvailable(); // asked once, before the classes; the answer is kept
    RegisterMainWindowClass();
    RegisterSubParentWindowClass();
    StepMark("cursors-twain");
    CreateMainWindow(show);
    StepMark("main-window");
    CreateParameterWindows();
    RegisterStatusWindowClass();
    RegisterClipWindowClass();
    RegisterThumbWindowClass();
    StepMark("parameter-windows");
    InitTablet(g_mainWindow);
    StepMark("tablet");
    CreateHiddenOwners();
    CreateSubWindows();
    ShowSubWindows();
    CreateSubWindowButtons();
    StepMark("sub-windows");
    g_accelerators = LoadKeyMapAndAccelerators();
    CreateItemWindow();
    ApplyConfiguredColors();
    ApplyConfiguredPen();
    CreateImageWindowOwner();
    StepMark("keys-item-window");

    ImageWindow *first = CreateImageWindow(g_cfg.EditWindowOrgX, g_cfg.EditWindowOrgY, g_screenWidth / 2,
                                           g_screenHeight / 2);
    if (!first)
        return 0;
    // The window's menu bar belongs to its frame: it is there before the frame is measured.
    BuildWindowMenu(first);
    MakeWindowCurrent(first);
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    CreateToolTipWindow();
    AddAllToolTips();
    RedrawToolButtons();
    InitWindowFrameMetrics(first);
    EnterNoWindowState();
    StepMark("image-window");

    if (!commandLine[0]) {
        ShowWindow(g_mainWindow, show);
    } else {
        ShowWindow(g_mainWindow, SW_SHOWNOACTIVATE);
        OpenCommandLineFiles(commandLine);
        if (first->group && IsWindowListed(first))
            LeaveNoWindowState(first);
    }
    StepMark("shown");
    // Made before its owner was shown: some window systems stack it below the owner until raised.
    if (g_itemWindow)
        SetWindowPos(g_itemWindow, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    BuildMainMenu();
    BuildWindowMenu(first);
    if (IsWindowListed(first)) {
        CheckZoomMenuItem(first);
        if (!BuildWindowDisplay(first, first->group, false))
            return 0;
        ClampViewOrigin(first);
    }
    if (QzsSetDrawByName(g_cfg.DrawMethod) < 0)
        QzsSetDrawByID(0);
    InvalidateRect(g_mainWindow, NULL, TRUE);
    SetTimer(g_mainWindow, 100, 1, NULL);
    RestoreClipWindowLayout();
    StepMark("menus-display-clips");
    WriteStepTimes();
    return RunMessageLoop();
}
