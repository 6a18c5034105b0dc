// The item window: a small floating bar showing the drawing state at a glance (colours, region or
// functional colour, pen, draw method). Dragged by its body; redrawn by the change broadcasts.
#pragma once
#include "ovrin.h"

enum { kItemSwatchSide = 30 };

extern HWND g_itemWindow;

int RegisterItemWindowClass(); // 0 after the "SysError" box
// Registers the class and makes the window at the configured place, owned by the main window.
void CreateItemWindow();
HWND CreateItemWindow(HWND owner, int x, int y);
void DestroyItemWindow();
// Puts the item window back directly above its owner when it has fallen below it.
void KeepItemWindowAboveOwner();
void UpdateItemSwatches();
void RefreshItemWindow(); // swatches redrawn and the window repainted, when there is one
// The region or functional-colour icon at (7, 7) and the draw method's bitmap at (67, 7).
void PaintItemBitmaps(HDC dc);
CDIB *ItemColorSwatch();
CDIB *ItemPenSwatch();
