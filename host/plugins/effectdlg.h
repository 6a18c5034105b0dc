// The effect dialog, its preview and Apply.
#pragma once
#include "ovrin.h"

enum {
    kPreviewSize = 134,
    kEffectDialogTemplate = 147,
    kPreviewButton = 3000, kPreviewHBar = 3001, kPreviewVBar = 3002, kContinueBox = 3004, kPartRadio = 3005,
    kWholeRadio = 3007, kAutoPreviewBox = 3008, kApplyButton = 3010, kCancelButton = 3011,
    kPreviewX = 14, kPreviewY = 7, kPreviewFrame = 3003,
};

HWND GetEffectDialog(); // NULL while closed
bool InEffectMode();
void CreateEffectDialog(HWND owner);
void RefillEffectTree(); // the tree again, in the current language
void CloseEffectParameterPanel();
INT_PTR CALLBACK EffectDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// ---- running effects (effectdlg_apply.cpp) ----
int CallEffect(int row, CDIB *image, uint32_t *dest, int left, int top, int right, int bottom, int mask,
               QzProgressProc progress, int record, int gather);
// Runs an effect on the window's current layer inside a rectangle in layer coordinates; the result
// of the effect (0 failed or cancelled: the layer is left as it was).
int ApplyEffect(ImageWindow *window, int row, int left, int top, int right, int bottom, int mask, int record,
                int gather);
int FindEffectByName(const char *name); // -1 when none
int FindEffectByTreeItem(void *item);   // -1 when none
int GetSelectedEffect(HWND dialog);
// The effect area of the current image and window in layer coordinates; the result is the
// available flag (1 when an effect can run on it).
int GetEffectArea(ImageWindow *window, int activeRegion, RECT *area);

// ---- preview geometry (effectdlg_preview.cpp) ----
struct PreviewBar {
    int enabled, maximum, position;
};
// The part of the area the preview shows: the whole area (mode 1) or 135 pixels from the scroll
// offsets on (mode 0); the bars as they are to be set.
void ComputePreviewWindow(const RECT &area, int scrollX, int scrollY, int mode, RECT *window, PreviewBar *h,
                          PreviewBar *v);
struct PreviewFit {
    int range, xOffset, yOffset; // range 0: nothing to show
};
PreviewFit FitPreview(const RECT &window);
void MapPreviewPixel(const PreviewFit &fit, const RECT &window, int px, int py, int *x, int *y);
// The rectangle inside the preview that the effect is run on.
void GetFittedPreviewRect(const RECT &window, RECT *out);
int ClampScroll(int value, int extent); // to 0 .. extent - 134, never below 0
