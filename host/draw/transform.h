// Transform mode: a transform plug-in working on the current layer through control points.
#pragma once
#include "ovrin.h"

bool InTransformMode();
CDIB *GetTransformSource();
ImageGroup *GetTransformGroup();
void MoveTransformSource(int layerX, int layerY); // the source layer moved to a new origin
bool IsTransformRunning(); // started from the dialog, not yet applied or cancelled
void CancelTransform(ImageWindow *window);
void RedrawTransformOverlay(ImageWindow *window);
// The result into the layer (one undo step), control points erased, the mode ended.
void ApplyTransform(ImageWindow *window);
// The result shown in the window after a drag; the layer is not changed. 0 when it cannot be.
int PreviewTransform(ImageWindow *window);

// The Transform dialog: the list of transform plug-ins, "Do" and "Cancel".
HWND GetTransformDialog();
void CreateTransformDialog(HWND owner);
void RefillTransformList();

// The mouse in transform mode: control points dragged, the popup on the right button.
void TransformButtonDown(ImageWindow *window, int x, int y, int keys);
void TransformButtonUp(ImageWindow *window, int x, int y, int keys);
void TransformMouseMove(ImageWindow *window, int x, int y, int keys, int convert);
void ShowTransformPopup(ImageWindow *window);
