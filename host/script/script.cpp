// The script line interpreter: keywords, point translation and the handlers that set colours, the
// pen and the draw method, feed points to the current draw plug-in and run effects.
#include "script/script.h"
#include "script/scripttext.h"
#include "base/textutil.h"
#include "draw/drawsel.h"
#include "image/current.h"
#include "image/pen.h"
#include "plugins/effectdlg.h"
#include "plugins/loader.h"
#include "plugins/params.h"
#include "view/display.h"
#include "view/paint.h"
#include <string.h>
#include <string>
#include <vector>

namespace {

struct Translation {
    bool reset;
    int originX, originY;
    int fixX, fixY;
    bool offset;
} s_point;

const struct {
    const char *word;
    int code;
} kKeywords[] = {
    {"draw", kScriptDraw},         {"setcolor", kScriptSetColor}, {"setpen", kScriptSetPen},
    {"setpenopa", kScriptSetPenOpa}, {"setpencol", kScriptSetPenCol}, {"setdraw", kScriptSetDraw},
    {"effect", kScriptEffect},     {"setpenend", kScriptSetPenEnd}, {"command", kScriptCommand},
};

// Reads the next count numbers; missing ones are 0.
const char *Numbers(const char *p, int *out, int count)
{
    std::string token;
    for (int i = 0; i < count; i++) {
        p = ReadMacroToken(p, token, false);
        out[i] = ParseScriptNumber(token);
    }
    return p;
}

int HeldToInt(int64_t v)
{
    return v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : (int)v;
}

void RunDraw(ImageWindow *window, const char *p)
{
    if (!window->group)
        return;
    std::string word;
    p = ReadMacroToken(p, word, false);
    int xy[2];
    p = Numbers(p, xy, 2);
    TranslateScriptPoint(&xy[0], &xy[1]);
    int keys;
    Numbers(p, &keys, 1);
    // A method may lack an entry: kind-0 methods need no QzcSetPoint, and a row may be empty.
    DrawPluginRecord *method = GetCurrentDrawPlugin();
    if (!method)
        return;
    if (CompareTextNoCase(word.c_str(), "setpoint") == 0) {
        if (method->QzcSetPoint)
            method->QzcSetPoint(window, xy[0], xy[1], keys);
    } else if (CompareTextNoCase(word.c_str(), "drawit") == 0) {
        if (method->QzcDrawIt)
            method->QzcDrawIt(window, xy[0], xy[1], keys);
        QzsInitPoint();
        CommitStroke(window);
        ResetStampCounter();
        if (IsLoopMode())
            RedrawImageWindow(window);
    } else if (CompareTextNoCase(word.c_str(), "cancelone") == 0) {
        if (method->QzcCancelOne)
            method->QzcCancelOne(window, xy[0], xy[1]);
    }
}

void RunSetColor(const char *p)
{
    int v[8];
    Numbers(p, v, 8);
    QzsSetColorRGB(v[0], v[1], v[2], v[3]);
    QzsSetColorOpacity(v[0], v[5]);
    if (v[0] == 0) {
        QzsSetColorFunction(0, v[4]);
        QzsSetRegion(v[6], v[7]);
    }
}

// A pen from a macro file or a plug-in: its side within the limit and its box inside the matrix
// (an empty box, right below left or bottom below top, is a pen that stamps nothing).
void RunSetPen(const char *p)
{
    int v[8];
    Numbers(p, v, 8);
    int side = v[0], left = v[3], top = v[4], right = v[5], bottom = v[6];
    if (side < 1 || side > kMaxPenSide || left < 0 || top < 0 || right >= side || bottom >= side)
        return;
    if (!QzsCreatePen(side + 1))
        return;
    PenRecord *pen = QzsGetPen();
    pen->hotX = v[1];
    pen->hotY = v[2];
    pen->left = left;
    pen->top = top;
    pen->right = right;
    pen->bottom = bottom;
    pen->softEdge = v[7];
}

// One row of the box; the row and every column are checked against the matrices the pen has.
void RunSetPenRow(const char *p, bool weights)
{
    PenRecord *pen = QzsGetPen();
    int side = pen->side;
    uint32_t *matrix = weights ? pen->weights : pen->colorIndexes;
    if (!matrix || side < 1 || side > GetPenCapacity() || pen->left < 0 || pen->right >= side)
        return;
    std::string token;
    p = ReadMacroToken(p, token, false);
    int y = ParseScriptNumber(token);
    if (y < 0 || y >= side)
        return;
    for (int x = pen->left; x <= pen->right; x++) {
        p = ReadMacroToken(p, token, false);
        if (!p)
            break; // a short row leaves the rest of it as it was
        matrix[(size_t)y * side + x] = ParseHexText(token.c_str());
    }
}

void RunEffect(ImageWindow *window, const char *p)
{
    std::string name, token;
    p = ReadMacroToken(p, name, true);
    std::vector<std::string> values;
    while ((p = ReadMacroToken(p, token, true)) != NULL)
        values.push_back(token);
    if (!window->group)
        return;
    EnsureEffectsLoaded();
    int row = FindEffectByName(name.c_str());
    if (row < 0)
        return;
    RECT area;
    if (!GetEffectArea(window, (int)window->activeRegion, &area) || area.right < 0 || area.bottom < 0)
        return;
    // Each value to its own slot, as the recorder wrote them slot by slot.
    FreeGlobalParameters();
    for (size_t i = 0; i < values.size() && i < kGlobalParameters; i++)
        SetGlobalParameter((int)i, values[i].c_str());
    // Recorded like an effect applied from the dialog when a macro is being recorded.
    ApplyEffect(window, row, area.left, area.top, area.right, area.bottom, (int)window->activeRegion, 1, 0);
    FreeGlobalParameters();
}

} // namespace

void ResetScriptOrigin()
{
    s_point.reset = true;
}

void SetScriptFixPoint(int x, int y, int offsetMode)
{
    s_point.fixX = x;
    s_point.fixY = y;
    s_point.offset = offsetMode != 0;
}

void SetScriptOffsetMode(int on)
{
    s_point.offset = on != 0;
}

void TranslateScriptPoint(int *x, int *y)
{
    if (s_point.reset) {
        s_point.originX = *x;
        s_point.originY = *y;
        s_point.reset = false;
    }
    if (s_point.offset) {
        *x = HeldToInt((int64_t)*x - s_point.originX + s_point.fixX);
        *y = HeldToInt((int64_t)*y - s_point.originY + s_point.fixY);
    }
}

int FindScriptKeyword(const char *token)
{
    for (const auto &k : kKeywords)
        if (token && CompareTextNoCase(token, k.word) == 0)
            return k.code;
    return kScriptNone;
}

void ExecuteScriptLine(ImageWindow *window, const char *line)
{
    if (!window || !line || line[0] == ';')
        return;
    // A line handed over with its line break keeps it out of the last token.
    std::string text = line;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    std::string word;
    const char *rest = ReadMacroToken(text.c_str(), word, false);
    if (!rest)
        return;
    switch (FindScriptKeyword(word.c_str())) {
    case kScriptDraw: RunDraw(window, rest); break;
    case kScriptSetColor: RunSetColor(rest); break;
    case kScriptSetPen: RunSetPen(rest); break;
    case kScriptSetPenOpa: RunSetPenRow(rest, true); break;
    case kScriptSetPenCol: RunSetPenRow(rest, false); break;
    case kScriptSetDraw:
        if (ReadMacroToken(rest, word, true))
            QzsSetDrawByName(word.c_str());
        break;
    case kScriptEffect: RunEffect(window, rest); break;
    case kScriptSetPenEnd: QzsSetPen(0); break;
    case kScriptCommand: RunMacroCommand(window, text.c_str(), (int)(rest - text.c_str())); break;
    default: break;
    }
}

QZS_DECL(void) QzsExecuteScript(const char *line)
{
    ExecuteScriptLine(g_currentWindow, line);
}
