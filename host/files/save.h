// Saving images: the save-format table, the save dialog and the writers.
#pragma once
#include "ovrin.h"

int SaveImageGroup(ImageGroup *group, const char *path); // 1 saved, 0 failed or cancelled
void SetCurrentSaveFormat(int format);

// Depth buttons of the save dialog (saveDialog 1) and the options File page (saveDialog 0).
int DepthToButtonId(int depth, int saveDialog);
void ShowSaveDepthButtons(HWND dialog, int format, int saveDialog);
int SelectSaveDepthButton(HWND dialog, int format, int depth, int saveDialog);
// Rows of the save-plug-in table; NULL for a row that holds no plug-in.
const char *SavePluginFormatName(int row);
const char *SavePluginFilter(int row);
enum { kSavePluginRows = 100 };
