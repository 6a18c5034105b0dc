// The item window: the current colour and pen.
#pragma once
#include "ovrin.h"

void CreateItemWindow();
extern HWND g_itemWindow;
