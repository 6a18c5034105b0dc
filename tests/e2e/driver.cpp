// Drives the running program from outside, as another Windows process on the same display.
//   driver wait <class> <milliseconds>      waits for a top-level window of the class
//   driver gone <class> <milliseconds>      waits until no such window is left
//   driver command <class> <id>             posts WM_COMMAND id to it
//   driver visible <class>                  exit 0 when the window is visible
//   driver shown <class> <milliseconds>     waits until a window of the class is visible
//   driver answer <caption> <milliseconds>  waits for a dialog or message box with the caption,
//                                           prints its texts and presses OK
//   driver press <caption> <id> <ms>        waits for the dialog and sends it command id
//   driver click <class> <x> <y>            moves the pointer over a client point and clicks there
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

static HWND FindShown(const char *cls)
{
    for (HWND w = FindWindowExA(NULL, NULL, cls, NULL); w; w = FindWindowExA(NULL, w, cls, NULL))
        if (IsWindowVisible(w))
            return w;
    return NULL;
}

static BOOL CALLBACK PrintText(HWND child, LPARAM)
{
    char text[512];
    if (GetWindowTextA(child, text, sizeof text) > 0)
        printf("%s\n", text);
    return TRUE;
}

static HWND WaitForDialog(const char *caption, int ms)
{
    for (int waited = 0; waited <= ms; waited += 50) {
        if (HWND box = FindWindowA("#32770", caption))
            return box;
        Sleep(50);
    }
    fprintf(stderr, "no box \"%s\" appeared\n", caption);
    return NULL;
}

static int Answer(const char *caption, int ms)
{
    for (int waited = 0; waited <= ms; waited += 50) {
        if (HWND box = FindWindowA("#32770", caption)) {
            EnumChildWindows(box, PrintText, 0);
            fflush(stdout);
            return PostMessageA(box, WM_COMMAND, IDOK, 0) ? 0 : 1;
        }
        Sleep(50);
    }
    fprintf(stderr, "no box \"%s\" appeared\n", caption);
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
    if (!strcmp(verb, "shown") && argc > 3) {
        for (int waited = 0, ms = atoi(argv[3]); waited <= ms; waited += 50) {
            if (FindShown(cls))
                return 0;
            Sleep(50);
        }
        return 1;
    }
    if (!strcmp(verb, "answer") && argc > 3)
        return Answer(cls, atoi(argv[3]));
    if (!strcmp(verb, "press") && argc > 4) {
        HWND box = WaitForDialog(cls, atoi(argv[4]));
        return box && PostMessageA(box, WM_COMMAND, (WPARAM)atoi(argv[3]), 0) ? 0 : 1;
    }
    if (!strcmp(verb, "click") && argc > 4) {
        HWND w = Find(cls);
        if (!w)
            return 1;
        LPARAM at = MAKELPARAM(atoi(argv[3]), atoi(argv[4]));
        PostMessageA(w, WM_MOUSEMOVE, 0, at);
        PostMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageA(w, WM_LBUTTONUP, 0, at);
        return 0;
    }
    if (!strcmp(verb, "command") && argc > 3) {
        HWND w = Find(cls);
        if (!w)
            return 1;
        return PostMessageA(w, WM_COMMAND, (WPARAM)atoi(argv[3]), 0) ? 0 : 1;
    }
    return 2;
}
