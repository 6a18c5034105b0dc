// The macro recorder: one open file; before each figure only the colour records, pen and draw
// method that changed since they were last written, then the figure's point events; effects and
// region commands add their own lines.
#include "script/macro.h"
#include "script/scripttext.h"
#include "base/app.h"
#include "base/messages.h"
#include "base/textutil.h"
#include "draw/drawsel.h"
#include "image/colors.h"
#include "image/pen.h"
#include "plugins/loader.h"
#include "plugins/params.h"
#include <stdio.h>
#include <string.h>
#include <string>

enum { kMessageMacroOpen = 64 };

namespace {

struct PenFields {
    int32_t side, hotX, hotY, left, top, right, bottom, softEdge;
};

FILE *s_file;
bool s_statePending = true;
ColorRecord s_colors[kColorRecords];
PenFields s_pen;
int s_lastDraw = -1;

PenFields FieldsOf(const PenRecord *p)
{
    return PenFields{p->side, p->hotX, p->hotY, p->left, p->top, p->right, p->bottom, p->softEdge};
}

bool SameColor(const ColorRecord &a, const ColorRecord &b)
{
    return a.red == b.red && a.green == b.green && a.blue == b.blue && a.function == b.function &&
           (a.opacity & 0xFF) == (b.opacity & 0xFF) && a.regionBits == b.regionBits && a.regionMode == b.regionMode;
}

void WriteColors()
{
    for (int i = 0; i < kColorRecords; i++) {
        const ColorRecord *c = QzsGetColor(i);
        if (SameColor(*c, s_colors[i]))
            continue;
        char line[160];
        snprintf(line, sizeof line, "SetColor %d %d %d %d %d %d %d %d\n", i, c->red, c->green, c->blue, c->function,
                 c->opacity, c->regionBits, c->regionMode);
        RecordMacroLine(line);
        s_colors[i] = *c;
    }
}

// The cells the pen stamps: its box held inside the matrices (a pen maker writes the record
// directly). False for a pen without matrices; an empty box gives (0, 0, -1, -1).
bool PenCells(const PenRecord *pen, int *left, int *top, int *right, int *bottom)
{
    int n = pen->side;
    if (n < 1 || n > GetPenCapacity() || !pen->weights || !pen->colorIndexes || !GetPenMacroCopy(0) ||
        !GetPenMacroCopy(1))
        return false;
    *left = pen->left < 0 ? 0 : pen->left;
    *top = pen->top < 0 ? 0 : pen->top;
    *right = pen->right >= n ? n - 1 : pen->right;
    *bottom = pen->bottom >= n ? n - 1 : pen->bottom;
    if (*left > *right || *top > *bottom)
        *left = *top = 0, *right = *bottom = -1;
    return true;
}

bool PenChanged(const PenRecord *pen, int l, int t, int r, int b)
{
    PenFields now = FieldsOf(pen);
    if (memcmp(&now, &s_pen, sizeof now) != 0)
        return true;
    const uint32_t *weights = GetPenMacroCopy(0), *colors = GetPenMacroCopy(1);
    for (int y = t; y <= b; y++)
        for (int x = l; x <= r; x++) {
            size_t at = (size_t)y * pen->side + x;
            if (pen->weights[at] != weights[at] || pen->colorIndexes[at] != colors[at])
                return true;
        }
    return false;
}

// One "SetPenOpa" or "SetPenCol" line per row of the box, each cell copied into the snapshot.
void WritePenRows(const char *word, const uint32_t *matrix, uint32_t *copy, int side, int l, int t, int r, int b)
{
    for (int y = t; y <= b; y++) {
        char cell[40];
        snprintf(cell, sizeof cell, "%s %d ", word, y);
        std::string line = cell;
        for (int x = l; x <= r; x++) {
            size_t at = (size_t)y * side + x;
            snprintf(cell, sizeof cell, "%2x ", matrix[at]);
            line += cell;
            copy[at] = matrix[at];
        }
        line += "\n";
        RecordMacroLine(line.c_str());
    }
}

void WritePen()
{
    const PenRecord *pen = QzsGetPen();
    int l, t, r, b;
    if (!PenCells(pen, &l, &t, &r, &b) || !PenChanged(pen, l, t, r, b))
        return;
    char line[160];
    snprintf(line, sizeof line, "SetPen %d %d %d %d %d %d %d %d\n", pen->side, pen->hotX, pen->hotY, l, t, r, b,
             pen->softEdge);
    RecordMacroLine(line);
    s_pen = FieldsOf(pen);
    WritePenRows("SetPenOpa", pen->weights, GetPenMacroCopy(0), pen->side, l, t, r, b);
    WritePenRows("SetPenCol", pen->colorIndexes, GetPenMacroCopy(1), pen->side, l, t, r, b);
    RecordMacroLine("SetPenEnd\n");
}

void WriteDraw()
{
    int row = GetCurrentDraw();
    if (row == s_lastDraw)
        return;
    DrawPluginRecord *method = GetCurrentDrawPlugin();
    if (!method)
        return;
    std::string line = "SetDraw ";
    AppendMacroToken(line, method->name, false);
    line += "\n";
    RecordMacroLine(line.c_str());
    s_lastDraw = row;
}

} // namespace

bool IsMacroRecording()
{
    return s_file != NULL;
}

void ResetMacroRecorder()
{
    for (ColorRecord &c : s_colors)
        c.red = c.green = c.blue = -1;
    s_pen.side = -1;
    s_lastDraw = -1;
    s_statePending = true;
}

int ToggleMacroRecording(const char *path)
{
    if (s_file) {
        fclose(s_file);
        s_file = NULL;
        return 0;
    }
    FILE *f = fopen(path, "wt");
    if (!f) {
        // The macro directory is made on first use when it is not there yet.
        char dir[kLineBytes * 4];
        GetTextBeforeLast(path, dir, sizeof dir, '\\');
        if (dir[0] && CreateDirectoryA(dir, NULL))
            f = fopen(path, "wt");
    }
    if (!f) {
        ShowErrorMessageArg(g_mainWindow, kMessageMacroOpen, path);
        return 0;
    }
    s_file = f;
    ResetMacroRecorder();
    return 1;
}

void RecordMacroLine(const char *line)
{
    if (s_file && line)
        fputs(line, s_file);
}

void RecordMacroState()
{
    if (!s_file)
        return;
    WriteColors();
    WritePen();
    WriteDraw();
}

void RecordMacroDraw(const char *word, int x, int y, int keys)
{
    if (!s_file)
        return;
    if (s_statePending) {
        RecordMacroState();
        s_statePending = false;
    }
    char line[96];
    snprintf(line, sizeof line, "Draw %s %d %d %d\n", word, x, y, keys);
    RecordMacroLine(line);
}

void MarkMacroStateChanged()
{
    s_statePending = true;
}

void RecordMacroEffect(const char *name)
{
    if (!s_file)
        return;
    std::string line = "Effect ";
    AppendMacroToken(line, name, false);
    line += " ";
    // Values are read back by position: the unset slots below the last set one are written empty,
    // or every later value would reach the slot before its own.
    int count = kGlobalParameters;
    while (count > 0 && !GetGlobalParameter(count - 1))
        count--;
    for (int i = 0; i < count; i++) {
        line += " ";
        AppendMacroToken(line, GetGlobalParameter(i), true);
    }
    line += "\n";
    RecordMacroLine(line.c_str());
}
