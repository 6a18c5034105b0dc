// Plug-in directory, language and multi-image save dialogs.
#pragma once
#include "ovrin.h"
#include <stddef.h>

void ShowLanguageDialog(HWND owner);

// The plug-in directory dialog over owner; the directories it changes are used from the next start.
void RunPluginDirectoryDialog(HWND owner);
// Longest directory text the dialog takes; a longer one is refused.
enum { kPluginDirChars = 255 };
// The folder browser behind "Browse": 1 with a folder picked into out, 0 when none was.
typedef int (*FolderBrowser)(HWND owner, const char *start, char *out, size_t size);
void SetFolderBrowser(FolderBrowser browser); // NULL: the shell's own
int BrowseForFolder(HWND owner, const char *start, char *out, size_t size);

// Asked when a layered image goes to a one-image format: 1 merge and save, 0 save the layer,
// 10 cancel.
int AskMultiImageSave();
