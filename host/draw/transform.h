// Transform mode: a transform plug-in working on the current layer through control points.
#pragma once
#include "ovrin.h"

bool InTransformMode();
CDIB *GetTransformSource();
ImageGroup *GetTransformGroup();
void MoveTransformSource(int layerX, int layerY); // the source layer moved to a new origin
void CancelTransform(ImageWindow *window);
void RedrawTransformOverlay(ImageWindow *window);
