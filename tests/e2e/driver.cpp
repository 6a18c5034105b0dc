// Drives the running program from outside, as another Windows process on the same display.
//   driver wait <class> <milliseconds>      waits for a top-level window of the class
//   driver gone <class> <milliseconds>      waits until no such window is left
//   driver command <class> <id>             posts WM_COMMAND id to it
//   driver visible <class>                  exit 0 when the window is visible
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static HWND Find(const char *cls)
{
    return FindWindowA(cls, NULL);
}

static int WaitFor(const char *cls, int ms, bool present)
{
    for (int waited = 0; waited <= ms; waited += 50) {
        if ((Find(cls) != NULL) == present)
            return 0;
        Sleep(50);
    }
    fprintf(stderr, "timed out waiting for %s to %s\n", cls, present ? "appear" : "go");
    return 1;
}

int main(int argc, char **argv)
{
    if (argc < 3)
        return 2;
    const char *verb = argv[1], *cls = argv[2];
    if (!strcmp(verb, "wait") && argc > 3)
        return WaitFor(cls, atoi(argv[3]), true);
    if (!strcmp(verb, "gone") && argc > 3)
        return WaitFor(cls, atoi(argv[3]), false);
    if (!strcmp(verb, "visible"))
        return Find(cls) && IsWindowVisible(Find(cls)) ? 0 : 1;
    if (!strcmp(verb, "command") && argc > 3) {
        HWND w = Find(cls);
        if (!w)
            return 1;
        return PostMessageA(w, WM_COMMAND, (WPARAM)atoi(argv[3]), 0) ? 0 : 1;
    }
    return 2;
}
