#include "shell/startup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show)
{
    return OvrinMain(instance, commandLine, show);
}
