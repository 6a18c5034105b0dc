// The script line interpreter: one line of the macro language at a time on an image window, from
// macro replay and from plug-ins (QzsExecuteScript). A line is a keyword and its tokens; keywords
// and sub-words not in the tables are ignored without a message.
#pragma once
#include "ovrin.h"

enum {
    kScriptNone = 0,
    kScriptDraw = 100,
    kScriptSetColor = 101,
    kScriptSetPen = 102,
    kScriptSetPenOpa = 103,
    kScriptSetPenCol = 104,
    kScriptSetDraw = 105,
    kScriptEffect = 106,
    kScriptSetPenEnd = 107,
    kScriptCommand = 108,
};

// Executes one line; nothing without a window. A line beginning with ";" is a comment.
void ExecuteScriptLine(ImageWindow *window, const char *line);
int FindScriptKeyword(const char *token); // the code above, compared without regard to case

// Point translation, one state per program: after a reset the next point becomes the origin; in
// offset mode every point is moved by (fix point - origin).
void ResetScriptOrigin();
void SetScriptFixPoint(int x, int y, int offsetMode);
void SetScriptOffsetMode(int on);
void TranslateScriptPoint(int *x, int *y);

// The sub-commands of "command" (resizeimage, fixpoint, loadimage, saveimage, clearregion), from
// position on in the line (just after the keyword).
void RunMacroCommand(ImageWindow *window, const char *line, int position);
