// The modeless progress window of long operations: a bar of 20 steps.
#pragma once
#include "ovrin.h"

enum { kProgressSteps = 20, kProgressTextBytes = 256 };

int QZCAPI ShowEffectProgress(int done, int total, int reserved); // "Now Processing..."; never cancels
int QZCAPI IgnoreProgress(int done, int total, int reserved);     // previews: nothing
HWND ProgressWindow();            // the open progress window, or NULL
void ForgetProgressWindow();      // users start afresh before they begin...
void CloseProgressWindow();       // ...and close it when they end
int ProgressStepsShown();         // steps the bar has made since it opened
INT_PTR CALLBACK ProgressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
