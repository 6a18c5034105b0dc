// The modal "Create New Image" dialog and its recent sizes.
#pragma once
#include "ovrin.h"

enum { kNewWidthEdit = 3004, kNewHeightEdit = 3005, kNewSizeList = 3000, kNewBackColor = 3001,
       kNewWhite = 3002, kNewBlack = 3016, kNewOk = 3003 };

void AddRecentImageSize(int width, int height);
INT_PTR CALLBACK NewImageDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Runs the dialog; the image it made (listed, untitled, unmodified) or NULL.
CDIB *RunNewImageDialog(HWND owner);
