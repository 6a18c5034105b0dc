// Mouse interaction of draw methods.
#pragma once
#include "ovrin.h"

// Mouse and Shift-key messages of an image window; convert 1: the position is in client pixels.
int OnDrawLeftButtonDown(ImageWindow *window, WPARAM wParam, LPARAM lParam, int convert);
int OnDrawLeftButtonUp(ImageWindow *window, WPARAM wParam, LPARAM lParam, int convert);
int OnDrawRightButtonDown(ImageWindow *window, WPARAM wParam, LPARAM lParam, int convert);
int OnDrawRightButtonUp(ImageWindow *window, WPARAM wParam, LPARAM lParam, int convert);
int OnDrawMouseMove(ImageWindow *window, WPARAM wParam, LPARAM lParam, int convert);
int OnDrawShiftDown(ImageWindow *window, WPARAM wParam);
int OnDrawShiftUp(ImageWindow *window, WPARAM wParam);
void WindowToImage(ImageWindow *window, int x, int y, int *outX, int *outY, int convert);
void SendSyntheticMouseMove(ImageWindow *window, int ignored, LPARAM position, int convert);
void EraseHoverGuide(int flag);
int GetDrawState(); // 4: a figure is complete
void SetDrawState(int state);
void ResetFigureState(); // figure-in-progress flags cleared, ready again
bool IsDrawMachineryBusy(); // a modal mouse operation runs
