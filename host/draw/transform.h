// Transform mode: a transform plug-in working on the current layer through control points.
#pragma once
#include "ovrin.h"

bool InTransformMode();
CDIB *GetTransformSource();
ImageGroup *GetTransformGroup();
void MoveTransformSource(int layerX, int layerY); // the source layer moved to a new origin
void CancelTransform(ImageWindow *window);
void RedrawTransformOverlay(ImageWindow *window);

// The mouse in transform mode: control points dragged, the popup on the right button.
void TransformButtonDown(ImageWindow *window, int x, int y, int keys);
void TransformButtonUp(ImageWindow *window, int x, int y, int keys);
void TransformMouseMove(ImageWindow *window, int x, int y, int keys, int convert);
void ShowTransformPopup(ImageWindow *window);
