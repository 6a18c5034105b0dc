// The program entry: start-up in its fixed order, the hand-off to a running instance, the title
// window, the message loop and the quit sequence.
#pragma once
#include "ovrin.h"

int OvrinMain(HINSTANCE instance, char *commandLine, int show);
int StripCommandLineQuotes(char *text);
// Hands a non-empty command line to a running instance; true when one was found (the caller ends).
bool HandOverToRunningInstance(const char *commandLine);
char *TakeHandedOverCommandLine(const COPYDATASTRUCT *data); // a copy in our own memory, or NULL
int RunMessageLoop();

void CreateTitleWindow();
void ShowStartupStatus(const char *text);
void CloseTitleWindow();

int QuitApplication();      // 1 when the quit went ahead, 0 when a close was refused
int CloseAllImageGroups();  // 1 when every group closed
void DumpLayerRedBytes(ImageWindow *window, const char *path);
