// Re-editing point-based figures and check mode.
#pragma once
#include "ovrin.h"

bool InCheckMode();
bool InReeditMode();
void EndCheckMode(ImageWindow *window); // the image is closed: a figure under re-edit is dropped
// A change of zoom or window: the guide and handles are taken off (or put back) by turns.
void DrawReeditGuide(ImageWindow *window);
// Check mode on or off (only while no figure is drawn), with the mode text and its tool button.
void ToggleCheckMode(ImageWindow *window);

// The mouse in the re-edit state (DrawState 10): a figure completed in check mode keeps its
// points as handles until it is drawn or dropped from the popup.
void EnterReedit(int x, int y, int keys); // the figure ended at (x, y) with these key flags
void DrawReeditGuide(ImageWindow *window, int show, int refresh);
void ReeditButtonDown(ImageWindow *window, int x, int y, int keys);
void ReeditButtonUp(ImageWindow *window, int x, int y, int keys);
void ReeditMouseMove(ImageWindow *window, int x, int y, int keys, int convert);
void ShowReeditPopup(ImageWindow *window);
void MoveReeditPoint(int i, int x, int y);
// "Do!" (stay 0: drawn, re-edit over) and "Do&&Continue" (stay 1: drawn and committed, the
// points stay editable); "Cancel" drops the figure.
void CommitReedit(ImageWindow *window, int stay);
void CancelReedit(ImageWindow *window);
const PointGroup *GetReeditPoints();
