// Replaying the macro file: every line through the script interpreter, its points moved so that the
// first recorded point falls on the mouse position in the current image window.
#include "script/macro.h"
#include "script/script.h"
#include "base/app.h"
#include "base/messages.h"
#include "draw/drawmouse.h"
#include "image/current.h"
#include <stdio.h>
#include <string>

enum { kMessageRecording = 63, kMessageMacroOpen = 64 };
// Lines longer than this (a damaged file) are skipped whole; an Effect line with every slot of
// the parameter table full stays well below it.
static const size_t kMaxMacroLine = 4u << 20;

// One line without its line feed; false at the end of the file.
static bool ReadMacroLine(FILE *f, std::string &line)
{
    line.clear();
    bool tooLong = false;
    int c;
    while ((c = fgetc(f)) != EOF && c != '\n') {
        if (line.size() < kMaxMacroLine)
            line += (char)c;
        else
            tooLong = true;
    }
    if (tooLong)
        line.clear();
    return c != EOF || !line.empty();
}

int PlayMacroFile(const char *path)
{
    if (IsMacroRecording()) {
        ShowErrorMessage(g_mainWindow, kMessageRecording);
        return 0;
    }
    FILE *f = fopen(path, "rt");
    if (!f) {
        ShowErrorMessageArg(g_mainWindow, kMessageMacroOpen, path);
        return 0;
    }
    ImageWindow *window = g_currentWindow;
    if (window && window->window) {
        ResetScriptOrigin();
        POINT p = {0, 0};
        GetCursorPos(&p);
        ScreenToClient(window->window, &p);
        int x, y;
        WindowToImage(window, p.x, p.y, &x, &y, 1);
        SetScriptFixPoint(x, y, 1);
        std::string line;
        while (ReadMacroLine(f, line))
            ExecuteScriptLine(window, line.c_str());
    }
    fclose(f);
    return 1;
}
