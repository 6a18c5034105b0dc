// Sub-window plug-ins: their table, notifications and docking.
#pragma once
#include "ovrin.h"

void BroadcastImageChanged(ImageGroup *group, LayerRecord *layer, CDIB *image, int code);
void BroadcastImageListChanged();
void BroadcastImageGroupListChanged();
void BroadcastColorChanged(int slot);
void SendSubWindowMessage(HWND window, int code, INT_PTR a, INT_PTR b); // to the plug-in owning window
void CreateSubWindows();
void ShowSubWindows();
int IsSubWindowDialogMessage(MSG *message);
