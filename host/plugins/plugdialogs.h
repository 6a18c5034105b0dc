// Plug-in directory, language and multi-image save dialogs.
#pragma once
#include "ovrin.h"

void ShowLanguageDialog(HWND owner);
