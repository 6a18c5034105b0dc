// The reading and saving progress window of the file code: one per program, 20 steps.
#pragma once
#include "ovrin.h"

void MarkFileProgressClosed();               // forget the window without destroying it
void CloseFileProgress();                    // destroy it when open
bool IsFileProgressOpen();
void OpenFileProgress(const char *caption);  // caption NULL: none set
void DrawFileProgressText(const char *text); // at (4, 35) on the button face
void StepFileProgress(int done, int total);  // up to done x 20 / total steps
int GetFileProgressSteps();
void RestartFileProgress();                  // the step counter back to 0
