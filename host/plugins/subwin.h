// Sub-window plug-ins: their table, notifications and docking.
#pragma once
#include "ovrin.h"

void BroadcastImageChanged(ImageGroup *group, LayerRecord *layer, CDIB *image, int code);
void BroadcastImageListChanged();
void BroadcastImageGroupListChanged();
void CreateSubWindows();
void ShowSubWindows();
int IsSubWindowDialogMessage(MSG *message);
void BroadcastActiveRegionChanged(int bits);
