#include "base/msgbox.h"

static MessageBoxHook s_hook;

int AppMessageBox(HWND owner, const char *text, const char *caption, UINT type)
{
    if (s_hook)
        return s_hook(owner, text ? text : "", caption ? caption : "", type);
    return MessageBoxA(owner, text, caption, type);
}

MessageBoxHook SetMessageBoxHook(MessageBoxHook hook)
{
    MessageBoxHook old = s_hook;
    s_hook = hook;
    return old;
}
