// State of one menu-bar build, shared by the builder and the dynamic lists.
#pragma once
#include "shell/menus.h"

struct MenuBuild {
    HMENU bar;
    HMENU popup; // the popup being built
    char popupCaption[kCaptionBytes];
    bool firstPopup; // no popup started yet
    HMENU sub[kSubPopups];
    bool subAttached[kSubPopups];
    char subCaption[kSubPopups][kSubCaptionBytes];
    int currentSub; // -1 none
    ImageWindow *window;
    bool mainMenu;
};

void StartPopup(MenuBuild *b, const char *english, const char *translated);
void AddMenuList(MenuBuild *b, int list, const char *translated);
void MarkMainMenu();
void MarkWindowMenu(ImageWindow *window);
