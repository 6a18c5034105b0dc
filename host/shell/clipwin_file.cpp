// The clip-window layout file: each bar's position and edge, its members by plug-in name with the
// shown one marked, written at quit and read back at start-up.
#include "shell/clipwin.h"
#include "base/app.h"
#include "base/msgbox.h"
#include "base/safefile.h"
#include "base/settings.h"
#include "base/textutil.h"
#include "plugins/loader.h"
#include "plugins/subwin.h"
#include <errno.h>
#include <stdlib.h>
#include <string.h>

// Screen positions beyond this are no layout of ours.
enum { kFarthestPosition = 100000 };

static void LayoutPath(char *path, size_t size)
{
    snprintf(path, size, "%s\\clipwin.dat", g_cfg.Stat_dir);
}

static void ShowLayoutError()
{
    AppMessageBox(g_mainWindow, "EE", "MES", MB_OK);
}

static bool ParseNumber(const char *text, long *value)
{
    char *end;
    errno = 0;
    *value = strtol(text, &end, 10);
    return *text && !*end && errno == 0 && *value >= -kFarthestPosition && *value <= kFarthestPosition;
}

// "x y flag": 1 with the three numbers.
static bool ParseClipLine(const char *line, int *x, int *y, int *rightEdge)
{
    char token[kTokenBytes];
    long v[3];
    int pos = 0;
    for (long &n : v) {
        pos = GetNextToken(line, pos, token, sizeof token);
        if (!ParseNumber(token, &n))
            return false;
    }
    *x = (int)v[0];
    *y = (int)v[1];
    *rightEdge = v[2] != 0;
    return true;
}

// The first loaded, undocked row of that name (without case); -1 when none.
static int FindUndockedRow(const char *name)
{
    for (int row = 0; row < CountSubWindows(); row++)
        if (!g_subWindows[row].docked && g_subWindows[row].window && CompareTextNoCase(g_subWindows[row].name, name) == 0)
            return row;
    return -1;
}

// Member lines up to "//"; false when the file ends first or a line is empty.
static bool ReadMembers(FILE *file, ClipWindow *clip)
{
    char line[kLineBytes], token[kTokenBytes], name[kTokenBytes];
    ClipMember *marked = NULL;
    for (;;) {
        if (!ReadTextLine(file, line, sizeof line))
            return false;
        int pos = GetNextToken(line, 0, token, sizeof token);
        if (!token[0])
            return false;
        if (strcmp(token, "//") == 0)
            break;
        if (CompareTextNoCase(token, "subwin") != 0)
            continue;
        pos = GetNextToken(line, pos, name, sizeof name);
        int row = FindUndockedRow(name);
        if (row < 0)
            continue;
        DockSubWindow(clip, row);
        GetNextToken(line, pos, token, sizeof token);
        if (strcmp(token, "*") == 0)
            marked = ClipMemberAt(clip, CountClipMembers(clip) - 1);
    }
    if (marked)
        SetActiveClipMember(clip, marked, 1, 1);
    else
        SetActiveClipMember(clip, clip->active, 0, 1); // nothing shown, nothing active
    PlaceClipMembers(clip);
    return true;
}

void RestoreClipWindowsFrom(const char *path)
{
    FILE *file = fopen(path, "r");
    if (!file)
        return;
    char line[kLineBytes], token[kTokenBytes];
    bool complete = false;
    for (int clips = 0;; clips++) {
        if (!ReadTextLine(file, line, sizeof line))
            break;
        GetNextToken(line, 0, token, sizeof token);
        if (CompareTextNoCase(token, "##") == 0) {
            complete = true;
            break;
        }
        int x, y, rightEdge;
        if (clips >= kMostClipWindows || !ParseClipLine(line, &x, &y, &rightEdge))
            break;
        ClipWindow *clip = CreateClipWindow(g_subParent, x, y, rightEdge);
        if (!clip) {
            complete = true; // its failure was reported already
            break;
        }
        if (!ReadMembers(file, clip))
            break;
    }
    fclose(file);
    if (!complete)
        ShowLayoutError(); // what was restored so far stays
}

int SaveClipWindowsTo(const char *path)
{
    SafeFile safe;
    // Written byte for byte: a text file with CR LF line ends (the reader also takes bare LF).
    FILE *file = OpenSafeFile(&safe, path);
    if (!file)
        return 0;
    for (ClipWindow *c = FirstClipWindow(); c; c = c->next) {
        RECT r = {};
        GetWindowRect(c->window, &r);
        fprintf(file, "%d %d %d\r\n", (int)r.left, (int)r.top, c->rightEdge ? 1 : 0);
        for (ClipMember *m = c->first; m; m = m->next) {
            int row = FindSubWindowByWindow(m->window);
            // A name the reader could not take back is left out with its member.
            if (row < 0 || !g_subWindows[row].name[0] || strchr(g_subWindows[row].name, '"'))
                continue;
            fprintf(file, "SubWin \"%s\"%s\r\n", g_subWindows[row].name, m == c->active ? " *" : "");
        }
        fprintf(file, "//\r\n");
    }
    fprintf(file, "##");
    return CloseSafeFile(&safe, path, 1) == 0;
}

void RestoreClipWindowLayout()
{
    char path[MAX_PATH * 2];
    LayoutPath(path, sizeof path);
    RestoreClipWindowsFrom(path);
}

void SaveClipWindowLayout()
{
    char path[MAX_PATH * 2];
    LayoutPath(path, sizeof path);
    SaveClipWindowsTo(path);
    while (FirstClipWindow())
        DisposeClip(FirstClipWindow());
}
