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
// The modeless "IDD_LOADING" dialog with its bar, not yet shown; NULL when it cannot be made.
HWND CreateProgressDialog(HWND owner);
void ReleaseProgressDialog(HWND dialog); // destroys it when it is still there
void ShowProgressDialog(HWND dialog);                    // on top, shown and painted at once
void DrawProgressText(HWND dialog, const char *text);    // at (4, 35) on the button face, kept
INT_PTR CALLBACK ProgressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
