// Re-editing point-based figures and check mode.
#pragma once
#include "ovrin.h"

bool InCheckMode();
bool InReeditMode();
void EndCheckMode(ImageWindow *window);
void DrawReeditGuide(ImageWindow *window);

// The mouse in the re-edit state (DrawState 10): a figure completed in check mode keeps its
// points as handles until it is drawn or dropped from the popup.
void EnterReedit(int x, int y, int keys); // the figure ended at (x, y) with these key flags
void DrawReeditGuide(ImageWindow *window, int show, int refresh);
void ReeditButtonDown(ImageWindow *window, int x, int y, int keys);
void ReeditButtonUp(ImageWindow *window, int x, int y, int keys);
void ReeditMouseMove(ImageWindow *window, int x, int y, int keys, int convert);
void ShowReeditPopup(ImageWindow *window);
