// Values of parameter panels: ".pdv" files of one line per control, line breaks of a value kept as
// the two characters "\n"; closing a panel; exchanging the panel of a window.
#include "plugins/savers.h"
#include "plugins/params.h"
#include "base/safefile.h"
#include "base/app.h"
#include "base/filefaults.h"
#include "base/msgbox.h"
#include "base/textutil.h"
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>

// What QzcGetValue writes into: the value and its NUL fit in kValueBytes; the guard behind keeps a
// plug-in that writes a little too much from reaching other data, and the text is cut at the end.
static char s_valueBuffer[kValueBytes + 64];

const char *ReadControlValue(ParameterControl *control)
{
    memset(s_valueBuffer, 0, sizeof s_valueBuffer);
    if (control && control->type && control->type->QzcGetValue)
        control->type->QzcGetValue(control, s_valueBuffer);
    s_valueBuffer[kValueBytes - 1] = 0;
    return s_valueBuffer;
}

void EscapeValueLine(const char *value, char *out, size_t size)
{
    size_t n = 0;
    if (size == 0)
        return;
    for (const char *p = value; *p; p++) {
        bool lineBreak = *p == '\r' || *p == '\n';
        if (*p == '\r' && p[1] == '\n')
            p++;
        if (n + (lineBreak ? 2 : 1) >= size)
            break;
        if (lineBreak) {
            out[n++] = '\\';
            out[n++] = 'n';
        } else {
            out[n++] = *p;
        }
    }
    out[n] = 0;
}

void UnescapeValueLine(const char *line, char *out, size_t size)
{
    size_t n = 0;
    if (size == 0)
        return;
    for (const char *p = line; *p; p++) {
        bool lineBreak = p[0] == '\\' && p[1] == 'n';
        if (n + (lineBreak ? 2 : 1) >= size)
            break;
        if (lineBreak) {
            out[n++] = '\r';
            out[n++] = '\n';
            p++;
        } else {
            out[n++] = *p;
        }
    }
    out[n] = 0;
}

void LoadParameterValues(int mode, ParameterPanel *panel, const char *directory, const char *name)
{
    if (mode == 1 && !panel)
        return;
    char path[1024];
    snprintf(path, sizeof path, "%s\\%s.pdv", directory ? directory : "", name ? name : "");
    FILE *file = fopen(path, "rt");
    if (!file)
        return;
    static char line[2 * kValueBytes], text[2 * kValueBytes + 2];
    if (mode == 2) {
        // The values are shown, but in one box: the first few and how many more.
        std::string shown;
        int i = 0;
        for (; ReadTextLine(file, line, sizeof line); i++) {
            UnescapeValueLine(line, text, sizeof text);
            if (i < kFaultLinesShown) {
                char cut[200];
                CopyTextForDisplay(cut, sizeof cut, text);
                shown += (i ? "\n" : "") + std::string(cut);
            }
            if (i < kSaveOptionSlots)
                SetSaveOption(i, text);
        }
        fclose(file);
        if (i > kFaultLinesShown)
            shown += "\n(" + std::to_string(i - kFaultLinesShown) + " more lines)";
        if (i > 0)
            AppMessageBox(g_mainWindow, shown.c_str(), "MES", MB_OK);
        return;
    }
    // The draw panel's window must not hand the values being set on to the plug-in one by one.
    bool quiet = GetParameterPanelKind(panel) == kPanelDraw;
    if (quiet)
        SuppressDrawParamNotify(1);
    for (ParameterControl *c = panel->first; c && ReadTextLine(file, line, sizeof line); c = c->next) {
        UnescapeValueLine(line, text, sizeof text);
        c->type->QzcSetValue(c, text);
    }
    if (quiet)
        SuppressDrawParamNotify(0);
    fclose(file);
}

static void DestroyControl(ParameterPanel *panel, ParameterControl *c)
{
    if (c->extraWindows) {
        for (int k = 0; k < c->extraCount; k++)
            if (c->extraWindows[k] && IsWindow(c->extraWindows[k]))
                DestroyWindow(c->extraWindows[k]);
        free(c->extraWindows);
        c->extraWindows = NULL;
    }
    if (c->window && IsWindow(c->window))
        DestroyWindow(c->window);
    c->window = NULL;
    if (c->type->QzcDisposeParameterControl)
        c->type->QzcDisposeParameterControl(panel, c);
}

int CloseParameterPanel(const char *directory, ParameterPanel *panel, int save)
{
    if (!panel)
        return 1;
    char path[1024];
    snprintf(path, sizeof path, "%s\\%s.pdv", directory ? directory : "", panel->name);
    SafeFile safe;
    FILE *file = save ? OpenSafeFile(&safe, path) : NULL;
    static char line[2 * kValueBytes + 2];
    // Destroying a control's window sends its parent messages (a focused edit's kill-focus) that
    // are routed through the panel: the panel lets go of its controls before any is freed.
    ParameterControl *next, *first = panel->first;
    panel->first = panel->last = NULL;
    for (ParameterControl *c = first; c; c = next) {
        next = c->next;
        if (file) {
            EscapeValueLine(ReadControlValue(c), line, sizeof line);
            fprintf(file, "%s\n", line);
        }
        DestroyControl(panel, c);
        free(c);
    }
    if (file)
        CloseSafeFile(&safe, path, 1);
    for (int kind = 1; kind < kPanelKinds; kind++)
        if (GetParameterPanel(kind) == panel)
            SetParameterPanel(kind, NULL);
    free(panel);
    return 1;
}

ParameterPanel *ExchangeParameterPanel(int kind, HWND window, const char *directory, const char *name)
{
    ParameterPanel *old = GetParameterPanel(kind);
    if (old) {
        ClearParameterPanel(window, old);
        CloseParameterPanel(directory, old, 1);
    }
    if (!window)
        return NULL;
    ParameterPanel *panel = LoadParameterPanel(window, directory, name, 0, 200, 80, 5, 5);
    SetParameterPanel(kind, panel);
    if (panel) {
        CreateParameterControls(window, panel);
        LoadParameterValues(1, panel, directory, name);
    }
    return panel;
}
