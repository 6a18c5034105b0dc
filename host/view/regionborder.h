// The border of the active region: traced from the mask, kept as points, drawn animated into
// the window display.
#pragma once
#include "ovrin.h"

void TraceRegionBorder(ImageWindow *window);
// Display mode 4 asks for the animated border: the border is traced and the animation runs.
void StartBorderAnimation(ImageWindow *window);
void SetBorderAnimating(bool on);
void AnimateRegionBorder(ImageWindow *window, int on);

// The border animation: the main window's timer calls AnimateCurrentRegionBorder on every tick;
// it shows the next phase of the current window's border while a border is traced.
void AnimateCurrentRegionBorder();
bool IsBorderAnimating();
void StopBorderAnimation();
void AnimateRegionBorder(ImageWindow *window, int on);
