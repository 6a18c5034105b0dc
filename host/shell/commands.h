// The command dispatcher: every WM_COMMAND identifier of the program reaches its handler here.
#pragma once
#include "ovrin.h"

enum {
    kCommandOpenEditWindow = 32031,
    kCommandQuitProgram = 32032,
    kCommandAdjustWindow = 32025,
    kCommandCloseAllImage = 32076,
    kCommandDumpLayer = 20001,
    kCommandSecondStartId = 32690,
};

void DispatchCommand(ImageWindow *window, WPARAM wParam, LPARAM lParam);
void PostHandedOverCommandLine(char *text); // takes the text; command 32690 opens it
