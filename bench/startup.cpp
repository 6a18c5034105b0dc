// Start-up: milliseconds from process creation to the main window shown, for the program and for a
// minimal window program built here (one class, a menu, a window, the message loop), measured the
// same way from this parent process.
//   --minimal              the minimal program's time
//   --program <ovrin.exe>  the program's time (its application directory must hold ovrin.cfg with a
//                          language chosen), then the time of each of its start-up steps, which it
//                          writes when OVRIN_STEP_TIMES names a file
//   --smoke                the minimal program once
// Each line: "NAME MS ms". The program is ended from here once it has written its steps.
#include <windows.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

const char kMinimalClass[] = "OvrinBenchMinimal";

LRESULT CALLBACK MinimalProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == 1)
            DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int RunMinimalWindow(HINSTANCE instance)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = MinimalProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(NULL, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    wc.lpszClassName = kMinimalClass;
    if (!RegisterClassA(&wc))
        return 1;
    HMENU bar = CreateMenu(), file = CreatePopupMenu();
    AppendMenuA(file, MF_STRING, 1, "E&xit");
    AppendMenuA(bar, MF_POPUP, (UINT_PTR)file, "&File");
    HWND window = CreateWindowExA(0, kMinimalClass, "Minimal", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 640,
                                  480, NULL, bar, instance, NULL);
    if (!window)
        return 1;
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}

double Ms(int64_t ticks)
{
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return ticks * 1000.0 / (double)f.QuadPart;
}

int64_t Now()
{
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t.QuadPart;
}

// A shown top-level window of the class that belongs to the process.
HWND ShownWindowOf(const char *className, DWORD process)
{
    HWND w = NULL;
    while ((w = FindWindowExA(NULL, w, className, NULL)) != NULL) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == process && IsWindowVisible(w))
            return w;
    }
    return NULL;
}

struct Launch {
    double shown; // ms from creation; negative when not reached
    int64_t start;
};

// Starts the command and waits for its window of the class to be shown; then, when a file to wait
// for is named, for that file (at most 20 s), and ends the process: terminated, or closed.
Launch Time(char *commandLine, const char *directory, const char *className, const char *waitFor)
{
    Launch result = {-1, 0};
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    result.start = Now();
    if (!CreateProcessA(NULL, commandLine, NULL, NULL, FALSE, 0, NULL, directory, &si, &pi)) {
        fprintf(stderr, "could not start %s\n", commandLine);
        return result;
    }
    HWND window = NULL;
    for (int i = 0; i < 60000 && !window; i++) {
        window = ShownWindowOf(className, pi.dwProcessId);
        if (!window) {
            if (WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0)
                break;
            Sleep(1);
        }
    }
    if (window) {
        result.shown = Ms(Now() - result.start);
        for (int i = 0; waitFor && i < 2000 && GetFileAttributesA(waitFor) == INVALID_FILE_ATTRIBUTES; i++)
            Sleep(10);
    } else {
        fprintf(stderr, "no window of class %s was shown\n", className);
    }
    if (waitFor || !window)
        TerminateProcess(pi.hProcess, 0);
    else
        PostMessageA(window, WM_CLOSE, 0, 0);
    WaitForSingleObject(pi.hProcess, 20000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return result;
}

void Print(const char *name, const Launch &l)
{
    printf("%s %.1f ms\n", name, l.shown);
}

// The program's step marks: "name moment frequency" lines, the first timed from our start.
void PrintSteps(const char *file, int64_t start)
{
    FILE *f = fopen(file, "r");
    if (!f)
        return;
    char name[64];
    long long at, freq, previous = start;
    while (fscanf(f, "%63s %lld %lld", name, &at, &freq) == 3 && freq > 0) {
        printf("  %-22s %7.1f ms\n", name, (at - previous) * 1000.0 / (double)freq);
        previous = at;
    }
    fclose(f);
}

int TimeProgram(const char *program)
{
    char directory[MAX_PATH], steps[MAX_PATH], commandLine[2 * MAX_PATH];
    snprintf(directory, sizeof directory, "%s", program);
    char *slash = strrchr(directory, '\\');
    if (!slash)
        slash = strrchr(directory, '/');
    if (slash)
        *slash = 0;
    GetTempPathA(sizeof steps, steps);
    size_t n = strlen(steps);
    snprintf(steps + n, sizeof steps - n, "ovrin-steps-%lu.txt", GetCurrentProcessId());
    DeleteFileA(steps);
    SetEnvironmentVariableA("OVRIN_STEP_TIMES", steps);
    snprintf(commandLine, sizeof commandLine, "\"%s\"", program);
    Launch l = Time(commandLine, slash ? directory : NULL, "OvrinMAIN", steps);
    SetEnvironmentVariableA("OVRIN_STEP_TIMES", NULL);
    Print("program", l);
    PrintSteps(steps, l.start);
    DeleteFileA(steps);
    return l.shown < 0;
}

int TimeMinimal()
{
    char self[MAX_PATH], commandLine[MAX_PATH + 32];
    GetModuleFileNameA(NULL, self, sizeof self);
    snprintf(commandLine, sizeof commandLine, "\"%s\" --window", self);
    Launch l = Time(commandLine, NULL, kMinimalClass, NULL);
    Print("minimal", l);
    return l.shown < 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc > 1 && strcmp(argv[1], "--window") == 0)
        return RunMinimalWindow(GetModuleHandleA(NULL));
    if (argc > 2 && strcmp(argv[1], "--program") == 0)
        return TimeProgram(argv[2]);
    if (argc > 1 && (strcmp(argv[1], "--minimal") == 0 || strcmp(argv[1], "--smoke") == 0))
        return TimeMinimal();
    fprintf(stderr, "usage: bench_startup --minimal | --program <ovrin.exe> | --smoke\n");
    return 2;
}
