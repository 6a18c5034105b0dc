// Saving images: the save-format table, the save dialog and the writers.
#pragma once
#include "ovrin.h"

int SaveImageGroup(ImageGroup *group, const char *path); // 1 saved, 0 failed or cancelled
void SetCurrentSaveFormat(int format);
