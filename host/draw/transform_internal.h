// State of transform mode shared by the mode and its dialog.
#pragma once
#include "ovrin.h"

struct TransformState {
    bool mode = false;   // the dialog is open or a transform is in progress
    int row = -1;        // row of the transform table in use; -1 before "Do"
    CDIB *source = NULL; // the layer image transformed
    ImageGroup *group = NULL;
    RECT groupArea = {0, 0, -1, -1}, layerArea = {0, 0, -1, -1};
    int regionBits = 0;
    RECT shown = {0, 0, -1, -1}; // where previews were shown (group coordinates)
    HWND dialog = NULL;
};
extern TransformState g_transform;

// The plug-in of a row starts on an area (layer coordinates) of the window's current layer.
void StartTransform(ImageWindow *window, int left, int top, int right, int bottom, int row);
void CloseTransformDialog();
