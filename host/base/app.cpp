#include "base/app.h"

HINSTANCE g_instance;
HWND g_mainWindow;
HWND g_titleWindow;
HWND g_subParent;
HWND g_imageOwner;
HACCEL g_accelerators;
int g_screenDepth = 32;
int g_screenWidth = 1280, g_screenHeight = 1024;
bool g_ignoreNextLeftRelease;

static DWORD s_interfaceThread;

void SetInterfaceThread()
{
    s_interfaceThread = GetCurrentThreadId();
}

bool OnInterfaceThread()
{
    return !s_interfaceThread || GetCurrentThreadId() == s_interfaceThread;
}

const char kClassImageWindow[] = "OvrinEDIT";
const char kClassMain[] = "OvrinMAIN";
const char kClassSubParent[] = "OvrinSubP";
const char kClassTitle[] = "Qzstartup";
const char kProgramTitle[] = "QXV Ver. 0.104";
