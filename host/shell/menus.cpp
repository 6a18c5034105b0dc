// Menu bars built from the menu files: line parsing and the two builders.
#include "shell/menus.h"
#include "base/app.h"
#include "base/filefaults.h"
#include "shell/commands.h"
#include "base/settings.h"
#include "shell/keymap.h"
#include "base/textutil.h"
#include "shell/menus_build.h"
#include "base/messages.h"
#include "view/winlist.h"
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static HMENU s_mainMenu;

HMENU GetMainMenu()
{
    return s_mainMenu;
}

static int ListNumber(const char *name)
{
    static const char *const kNames[] = {"image", "draw", "view", "window", "layer", "rctfile"};
    for (int i = 0; i < 6; i++)
        if (lstrcmpiA(name, kNames[i]) == 0)
            return i + 1;
    return 0;
}

// "!n" and ">n": n is one digit, 0 to 9.
static bool ParseSubPopupNumber(const char *text, int *n)
{
    if (text[0] < '0' || text[0] > '9' || text[1])
        return false;
    *n = text[0] - '0';
    return true;
}

// A bad line: told for its file when one is being read, else at once.
static void ReportBadLine(FileFaults *faults, int number, const char *arg)
{
    if (faults)
        ReportFaultLine(faults, number, arg);
    else if (arg)
        ShowErrorMessageArg(g_mainWindow, number, arg);
    else
        ShowErrorMessage(g_mainWindow, number);
}

int ParseMenuLine(const char *line, int *kind, int *value, char *english, char *translated, size_t size,
                  FileFaults *faults)
{
    english[0] = translated[0] = 0;
    *kind = 0;
    *value = 0;
    if (!line[0])
        return 0;
    char first[kLineBytes], second[kLineBytes], third[kLineBytes];
    const char *pos = NextTextToken(line, first, sizeof first);
    if (!pos) {
        ReportBadLine(faults, 35, NULL);
        return 0;
    }
    pos = NextTextToken(pos, second, sizeof second);
    NextTextToken(pos, third, sizeof third);
    size_t captionSize = size < (size_t)kCaptionBytes ? size : (size_t)kCaptionBytes;
    const char *rest = first + 1;
    switch (first[0]) {
    case '@':
        *kind = kMenuLinePopup;
        CopyText(english, captionSize, rest);
        CopyText(translated, captionSize, second);
        return 1;
    case '#': {
        int id;
        const char *label;
        if (!LookUpCommand(rest, &id, &label)) {
            ReportBadLine(faults, 34, rest);
            return 0;
        }
        *kind = kMenuLineCommand;
        *value = id;
        CopyText(english, captionSize, label);
        CopyText(translated, captionSize, second);
        return 1;
    }
    case '$':
        *kind = kMenuLineList;
        *value = ListNumber(rest);
        CopyText(translated, captionSize, second);
        return *value != 0;
    case '-':
        *kind = kMenuLineSeparator;
        return 1;
    case '!':
    case '>':
        if (!ParseSubPopupNumber(rest, value)) {
            ReportBadLine(faults, 35, NULL);
            return 0;
        }
        if (first[0] == '>') {
            *kind = kMenuLineAttach;
            return 1;
        }
        *kind = kMenuLineSubPopup;
        {
            size_t subSize = size < (size_t)kSubCaptionBytes ? size : (size_t)kSubCaptionBytes;
            CopyText(english, subSize, second);
            CopyText(translated, subSize, third);
        }
        return 1;
    }
    ReportBadLine(faults, 35, NULL);
    return 0;
}

// ---- building ----

static void ClosePopup(MenuBuild *b)
{
    if (b->popup && !b->firstPopup)
        AppendMenuA(b->bar, MF_POPUP, (UINT_PTR)b->popup, b->popupCaption);
    else if (b->popup)
        DestroyMenu(b->popup);
    b->popup = NULL;
}

void StartPopup(MenuBuild *b, const char *english, const char *translated)
{
    ClosePopup(b);
    b->popup = CreatePopupMenu();
    CopyText(b->popupCaption, sizeof b->popupCaption, PickLangText(english, translated));
    b->currentSub = -1;
    b->firstPopup = false;
}

static void AddCommandItem(MenuBuild *b, int id, const char *english, const char *translated)
{
    char key[64], text[kItemTextBytes];
    KeyTextForCommand(id, key, sizeof key);
    char caption[kCaptionBytes];
    CopyText(caption, sizeof caption, PickLangText(english, translated));
    char whole[kCaptionBytes + 64 + 2];
    snprintf(whole, sizeof whole, "%s\t%s", caption, key);
    CopyText(text, sizeof text, whole);
    HMENU target = b->currentSub >= 0 ? b->sub[b->currentSub] : b->popup ? b->popup : b->bar;
    AppendMenuA(target, MF_STRING, (UINT_PTR)id, text);
}

static void StartSubPopup(MenuBuild *b, int n, const char *english, const char *translated)
{
    if (b->sub[n] && !b->subAttached[n])
        DestroyMenu(b->sub[n]);
    b->sub[n] = CreatePopupMenu();
    b->subAttached[n] = false;
    CopyText(b->subCaption[n], sizeof b->subCaption[n], PickLangText(english, translated));
    b->currentSub = n;
}

static void AttachSubPopup(MenuBuild *b, int n)
{
    // A popup handle can sit in one menu only: a second attach of the same number is ignored.
    if (!b->sub[n] || b->subAttached[n] || !b->popup)
        return;
    AppendMenuA(b->popup, MF_POPUP, (UINT_PTR)b->sub[n], b->subCaption[n]);
    b->subAttached[n] = true;
}

static HMENU BuildMenuFromFile(const char *fileName, ImageWindow *window, bool mainMenu)
{
    MenuBuild b = {};
    b.bar = CreateMenu();
    b.firstPopup = true;
    b.currentSub = -1;
    b.window = window;
    b.mainMenu = mainMenu;
    char path[kPathBytes * 2 + kTextBytes];
    snprintf(path, sizeof path, "%s\\%s.%s", g_cfg.Stat_dir, fileName, g_cfg.ExtensionOfDictionary);
    // The file is read again on every rebuild: a missing file and its bad lines are told once,
    // until it changes.
    FILE *file = fopen(path, "r");
    if (!file) {
        ReportUnreadableFile(path, g_mainWindow, 33);
        return b.bar;
    }
    FileFaults faults;
    BeginFileFaults(&faults, path, g_mainWindow);
    char line[kLineBytes];
    while (ReadTextLine(file, line, sizeof line)) {
        int kind, value;
        char english[kSubCaptionBytes], translated[kSubCaptionBytes];
        NextFaultLine(&faults);
        if (!ParseMenuLine(line, &kind, &value, english, translated, sizeof english, &faults))
            continue;
        switch (kind) {
        case kMenuLinePopup: StartPopup(&b, english, translated); break;
        case kMenuLineCommand: AddCommandItem(&b, value, english, translated); break;
        case kMenuLineSeparator:
            if (b.popup)
                AppendMenuA(b.popup, MF_SEPARATOR, 0, NULL);
            break;
        case kMenuLineSubPopup: StartSubPopup(&b, value, english, translated); break;
        case kMenuLineAttach: AttachSubPopup(&b, value); break;
        case kMenuLineList:
            AddMenuList(&b, value, translated);
            b.firstPopup = false;
            break;
        }
    }
    fclose(file);
    EndFileFaults(&faults);
    b.firstPopup = false;
    ClosePopup(&b);
    for (int n = 0; n < kSubPopups; n++)
        if (b.sub[n] && !b.subAttached[n])
            DestroyMenu(b.sub[n]);
    return b.bar;
}

void BuildMainMenu()
{
    HMENU old = s_mainMenu;
    s_mainMenu = BuildMenuFromFile(g_cfg.MainWinMenu, NULL, true);
    if (g_mainWindow && IsWindow(g_mainWindow)) {
        SetMenu(g_mainWindow, s_mainMenu);
        DrawMenuBar(g_mainWindow);
    }
    if (old)
        DestroyMenu(old);
    MarkMainMenu();
}

void BuildWindowMenu(ImageWindow *window)
{
    if (!window)
        return;
    HMENU old = window->menu;
    window->menu = BuildMenuFromFile(g_cfg.EditWinMenu, window, false);
    if (window->window) {
        SetMenu(window->window, window->menu);
        DrawMenuBar(window->window);
    }
    if (old)
        DestroyMenu(old);
    MarkWindowMenu(window);
}

void RebuildWindowMenus()
{
    for (ImageWindow *w = g_firstWindow; w; w = w->next)
        if (w->menu)
            BuildWindowMenu(w);
}

void UpdateWindowMenus()
{
    // Only menus that exist are rebuilt: before start-up has made them there is nothing to show.
    if (g_mainWindow)
        BuildMainMenu();
    RebuildWindowMenus();
}
