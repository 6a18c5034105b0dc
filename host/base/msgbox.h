// The one place where the program shows a message box. Every numbered message, question and
// fixed box goes through AppMessageBox, so a test can capture the text and give the answer.
#pragma once
#include <windows.h>

typedef int (*MessageBoxHook)(HWND owner, const char *text, const char *caption, UINT type);

int AppMessageBox(HWND owner, const char *text, const char *caption, UINT type);
// A hook replaces the real box; NULL restores it. Returns the previous hook.
MessageBoxHook SetMessageBoxHook(MessageBoxHook hook);
