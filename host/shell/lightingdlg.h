// The "Lighting" dialog: a shaded sphere to click the light's direction on and two level bars for
// the environment light and the highlight.
#pragma once
#include "ovrin.h"

enum {
    kLightingTemplate = 107,
    kLightPreviewX = 10, kLightPreviewY = 45, kLightPreviewSize = 128,
    kLevelBarX = 10, kEnvironmentBarY = 200, kHighlightBarY = 240, kLevelBarWidth = 103, kLevelBarHeight = 20,
};

// Modal, owned by owner; OK keeps the settings made, Cancel puts back the five values of the start.
void RunLightingDialog(HWND owner);
INT_PTR CALLBACK LightingDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Into images at the screen depth, written through the display writers.
void DrawLightingPreview(CDIB *image, int width, int height); // the lit sphere on grey
// The whole bar in (red, green, blue) with a marker of 3 white pixels and 1 light-grey one from
// column level, kept inside the bar.
void DrawLevelBar(CDIB *bar, int level, int red, int green, int blue);
