/* One small module of any plug-in kind, chosen at build time:
 *   TP_DRAW=<interaction kind>, TP_DRAW_RECORD (kind and results chosen by the test), TP_EFFECT, TP_TRANSFORM, TP_FUNCCOL=<info flags>,
 *   TP_SUBWIN=<info flags, -1 for no QzcSubWinInfo> (with TP_RECORD every notification is
 *   recorded), TP_EXTCMD, TP_PARAM, TP_BLEND, TP_EFFECT_PARAMS;
 *   TP_OMIT_<entry point> leaves that entry point out; TP_SHOWDLG_FAILS makes QzcShowDlg fail.
 * The modules import host services from the program, so loading one proves the binding too. */
#include "ovrin.h"
#include <stdarg.h>

/* Calls the host made into this module, for the tests that check an entry point was reached. */
static int s_calls;
QZC_EXPORT(int) TpCallCount(void) { return s_calls; }

#ifdef TP_DRAW
#ifndef TP_OMIT_QzcGetDrawInterface
QZC_EXPORT(int) QzcGetDrawInterface(void) { return TP_DRAW; }
#endif
#ifndef TP_OMIT_QzcGetDrawInfo
QZC_EXPORT(int) QzcGetDrawInfo(void) { return 0x20; }
#endif
#ifndef TP_OMIT_QzcDoself
QZC_EXPORT(int) QzcDoself(void) { return 0; }
#endif
#ifndef TP_OMIT_QzcSetPoint
QZC_EXPORT(int) QzcSetPoint(ImageWindow *w, int x, int y, int keys) { s_calls++; return 4; }
#endif
#ifndef TP_OMIT_QzcDrawGuideLine
QZC_EXPORT(int) QzcDrawGuideLine(ImageWindow *w, int x, int y, int show, int refresh, int keys) { return 0; }
#endif
#ifndef TP_OMIT_QzcDrawIt
QZC_EXPORT(int) QzcDrawIt(ImageWindow *w, int x, int y, int keys) { s_calls++; return 0; }
#endif
#ifndef TP_OMIT_QzcCancelOne
QZC_EXPORT(int) QzcCancelOne(ImageWindow *w, int x, int y) { return 0; }
#endif
#endif

#ifdef TP_DRAW_RECORD
/* A draw method whose kind, info word and results the test chooses (TpDrawSetup, then the row is
 * bound again) and whose every call is written to a log: "S x y keys" QzcSetPoint, "G x y show
 * refresh keys" QzcDrawGuideLine, "D x y keys" QzcDrawIt, "C x y" QzcCancelOne, one per line.
 * QzcSetPoint adds its point to the host's list and paints that pixel, so a figure leaves a stroke;
 * its results are taken in turn from the list given, the last one repeating. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
static int s_kind = 1, s_info, s_cancelResult = 4;
static int s_results[32], s_resultCount, s_nextResult;
static char s_drawLog[16384];
static void LogLine(const char *text)
{
    if (strlen(s_drawLog) + strlen(text) + 2 < sizeof s_drawLog) {
        strcat(s_drawLog, text);
        strcat(s_drawLog, "\n");
    }
}
QZC_EXPORT(void) TpDrawSetup(int kind, int info, const char *setPointResults, int cancelResult)
{
    s_kind = kind, s_info = info, s_cancelResult = cancelResult;
    s_resultCount = s_nextResult = 0;
    for (const char *p = setPointResults; p && *p && s_resultCount < 32;) {
        s_results[s_resultCount++] = atoi(p);
        p = strchr(p, ',');
        p = p ? p + 1 : NULL;
    }
    s_drawLog[0] = 0;
}
QZC_EXPORT(const char *) TpDrawLog(void) { return s_drawLog; }
QZC_EXPORT(void) TpClearDrawLog(void) { s_drawLog[0] = 0; }
QZC_EXPORT(int) QzcGetDrawInterface(void) { return s_kind; }
QZC_EXPORT(int) QzcGetDrawInfo(void) { return s_info; }
QZC_EXPORT(int) QzcDoself(void) { return 0; }
QZC_EXPORT(int) QzcSetPoint(ImageWindow *w, int x, int y, int keys)
{
    char line[64];
    snprintf(line, sizeof line, "S %d %d %d", x, y, keys);
    LogLine(line);
    QzPoint p = {x, y};
    QzsSetNewEntryPoint(&p);
    QzsStartPset(w, x, y);
    QzsPSet(w, x, y, 0);
    int n = s_nextResult < s_resultCount ? s_nextResult++ : s_resultCount - 1;
    return n >= 0 ? s_results[n] : 1;
}
QZC_EXPORT(int) QzcDrawGuideLine(ImageWindow *w, int x, int y, int show, int refresh, int keys)
{
    char line[64];
    snprintf(line, sizeof line, "G %d %d %d %d %d", x, y, show, refresh, keys);
    LogLine(line);
    return 0;
}
QZC_EXPORT(int) QzcDrawIt(ImageWindow *w, int x, int y, int keys)
{
    char line[64];
    snprintf(line, sizeof line, "D %d %d %d", x, y, keys);
    LogLine(line);
    return 0;
}
QZC_EXPORT(int) QzcCancelOne(ImageWindow *w, int x, int y)
{
    char line[64];
    snprintf(line, sizeof line, "C %d %d", x, y);
    LogLine(line);
    QzsDeletePoint();
    return s_cancelResult;
}
#endif

#ifdef TP_EFFECT
#ifndef TP_OMIT_QzcEffect
/* Marks every pixel of the rectangle with its coordinates and the mask, through the image size the
 * host reports; one progress call per row. */
QZC_EXPORT(int) QzcEffect(CDIB *image, uint32_t *dest, int left, int top, int right, int bottom, int mask,
                          QzProgressProc progress)
{
    int width, height, depth;
    s_calls++;
    if (QzsGetCDIBinfo(image, &width, &height, &depth) == 0)
        return 0;
    for (int y = top; y <= bottom && y < height; y++) {
        for (int x = left; x <= right && x < width; x++)
            dest[(size_t)y * width + x] = (uint32_t)(x | y << 12 | mask << 24);
        if (progress && progress(y - top + 1, bottom - top + 1, 0))
            return 0;
    }
    return 1;
}
#endif
#endif

#ifdef TP_TRANSFORM
#ifndef TP_OMIT_QzcStartTransform
QZC_EXPORT(int) QzcStartTransform(ImageWindow *w, int left, int top, int right, int bottom) { return 0; }
#endif
#ifndef TP_OMIT_QzcDragPoint
QZC_EXPORT(int) QzcDragPoint(ImageWindow *w, int ox, int oy, int nx, int ny, int message, int index) { return 0; }
#endif
#ifndef TP_OMIT_QzcDrawControlPoint
QZC_EXPORT(int) QzcDrawControlPoint(ImageWindow *w, int show, int refresh) { return 0; }
#endif
#ifndef TP_OMIT_QzcTransforming
QZC_EXPORT(int) QzcTransforming(ImageWindow *w, CDIB *s, int left, int top, int right, int bottom, int mask)
{
#ifdef TP_TRANSFORM_FAILS
    /* Writes part of its result, then gives up. */
    uint32_t c = 0xFF00FF00u;
    for (int x = left; x <= right; x++)
        QzsSetColorOnEdtWin(w, x, top, &c);
#endif
    return 0;
}
#endif
#endif

#ifdef TP_FUNCCOL
#ifndef TP_OMIT_QzcGetColorInfo
QZC_EXPORT(int) QzcGetColorInfo(void) { return TP_FUNCCOL; }
#endif
#ifndef TP_OMIT_QzcColorFunc
QZC_EXPORT(int) QzcColorFunc(CDIB *image, int x, int y, int pc, int pr, int *r, int *g, int *b, int *a) { return 0; }
#endif
#ifndef TP_OMIT_QzcPostProcess
QZC_EXPORT(int) QzcPostProcess(ImageWindow *w, int x0, int y0, int x1, int y1, int mode) { return 0; }
#endif
#endif

#ifdef TP_SUBWIN
#ifdef TP_RECORD
static HWND s_window, s_owner; /* what QzcShowDlg made, and its owner */
#endif
#if TP_SUBWIN >= 0
QZC_EXPORT(int) QzcSubWinInfo(void) { return TP_SUBWIN; }
#endif
#ifndef TP_OMIT_QzcShowDlg
/* A plain static window of the system class, so nothing of this module runs after it is freed. */
QZC_EXPORT(HWND) QzcShowDlg(HINSTANCE module, HWND owner, int x, int y)
{
#ifdef TP_SHOWDLG_FAILS
    return NULL;
#else
#if defined(TP_RECORD) && TP_SUBWIN == 1
    /* Asks for dialog messages: a dialog of the system's own procedure, from a template in memory. */
    static const struct {
        DLGTEMPLATE t;
        WORD menu, windowClass, title;
    } dialog = {{WS_POPUP | WS_CAPTION, 0, 0, 0, 0, 40, 20}, 0, 0, 0};
    HWND window = CreateDialogIndirectParamA(module, &dialog.t, owner, NULL, 0);
    SetWindowPos(window, NULL, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
#else
    HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "test", WS_POPUP | WS_CAPTION, x, y, 60, 40, owner,
                                  NULL, module, NULL);
#endif
#ifdef TP_RECORD
    s_window = window;
    s_owner = owner;
#endif
    return window;
#endif
}
#endif
#ifndef TP_RECORD
QZC_EXPORT(int) QzcChangeDraw(int index) { s_calls++; return 0; }
#endif
#ifdef TP_PENMAKER
/* Remembers the pen code it was asked for; the tests read it back through TpLastPenCode. */
static char s_penCode[256] = "(never called)";
QZC_EXPORT(int) QzcMakePen(const char *code)
{
    lstrcpynA(s_penCode, code ? code : "(null)", sizeof s_penCode);
    return 1;
}
QZC_EXPORT(const char *) TpLastPenCode(void) { return s_penCode; }
#endif
#endif

#ifdef TP_RECORD
/* Records every notification as "name(arguments);" in a log the tests read (TpLog) and empty
 * (TpClearLog). TP_OMIT_<entry> leaves an entry out; TP_ACT_ON_IMAGE=<n> makes QzcChangeImage act
 * on its own window first: 1 hide it through the host, 2 destroy it, 3 ask the host to reload the
 * plug-ins through its owner. */
#include <stdio.h>
#include <string.h>
static char s_log[8192];
static void Log(const char *format, ...)
{
    char line[256];
    va_list args;
    va_start(args, format);
    vsnprintf(line, sizeof line, format, args);
    va_end(args);
    if (strlen(s_log) + strlen(line) + 1 < sizeof s_log)
        strcat(s_log, line);
#ifdef TP_LOG_FILE
    /* For runs of the real program: each line is also appended to "<module>.log" beside the module. */
    {
        HMODULE self = NULL;
        char path[MAX_PATH + 8];
        GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           (LPCSTR)(void *)Log, &self);
        DWORD n = GetModuleFileNameA(self, path, MAX_PATH);
        if (n > 0 && n < MAX_PATH) {
            strcpy(path + n, ".log");
            FILE *f = fopen(path, "ab");
            if (f) {
                fprintf(f, "%s\n", line);
                fclose(f);
            }
        }
    }
#endif
}
/* A pointer as lower-case hexadecimal without leading zeros, the same on both word sizes. */
static const char *P(const void *p)
{
    static char texts[4][20];
    static int next;
    char *out = texts[next++ & 3], digits[20];
    unsigned long long v = (unsigned long long)(uintptr_t)p;
    int n = 0;
    do
        digits[n++] = "0123456789abcdef"[v & 15];
    while (v >>= 4);
    for (int i = 0; i < n; i++)
        out[i] = digits[n - 1 - i];
    out[n] = 0;
    return out;
}
QZC_EXPORT(const char *) TpLog(void) { return s_log; }
QZC_EXPORT(void) TpClearLog(void) { s_log[0] = 0; }
QZC_EXPORT(HWND) TpOwner(void) { return s_owner; }
#ifndef TP_OMIT_QzcChangeDraw
QZC_EXPORT(int) QzcChangeDraw(int index) { Log("Draw(%d);", index); return 0; }
#endif
#ifndef TP_OMIT_QzcChangeColor
QZC_EXPORT(int) QzcChangeColor(int which, ColorRecord *color) { Log("Color(%d,%s);", which, P(color)); return 0; }
#endif
#ifndef TP_OMIT_QzcChangePen
QZC_EXPORT(int) QzcChangePen(INT_PTR source, PenRecord *pen) { Log("Pen(%s,%s);", P((void *)source), P(pen)); return 0; }
#endif
#ifndef TP_OMIT_QzcChangeImage
QZC_EXPORT(int) QzcChangeImage(ImageGroup *group, LayerRecord *layer, CDIB *image, int code)
{
#if TP_ACT_ON_IMAGE == 1
    QzsHideDlg(s_window);
#elif TP_ACT_ON_IMAGE == 2
    DestroyWindow(s_window);
#elif TP_ACT_ON_IMAGE == 3
    SendMessageA(s_owner, WM_COMMAND, 32072, 0);
#endif
    Log("Image(%s,%s,%s,%d);", P(group), P(layer), P(image), code);
    return 0;
}
#endif
#ifndef TP_OMIT_QzcChangeImageList
QZC_EXPORT(int) QzcChangeImageList(int zero) { Log("ImageList(%d);", zero); return 0; }
#endif
#ifndef TP_OMIT_QzcChangeImageGroupList
QZC_EXPORT(int) QzcChangeImageGroupList(int zero) { Log("GroupList(%d);", zero); return 0; }
#endif
#ifndef TP_OMIT_QzcChangeActiveRegion
QZC_EXPORT(int) QzcChangeActiveRegion(int bits) { Log("Region(%d);", bits); return 0; }
#endif
#ifndef TP_OMIT_QzcGetDirectory
QZC_EXPORT(int) QzcGetDirectory(INT_PTR a, INT_PTR b, DirFileNode *list)
{
    Log("Directory(%s,%s,%s);", P((void *)a), P((void *)b), P(list));
    /* The list as a plug-in walks it: name and directory flag of each entry. */
    for (DirFileNode *node = list; node; node = QzsGetNextFileList(node))
        Log("File(%s,%d);", node->name, (int)node->directory);
    return 0;
}
#endif
#ifndef TP_OMIT_QzcReceiveMessage
QZC_EXPORT(int) QzcReceiveMessage(int code, INT_PTR a, INT_PTR b) { Log("Message(%d,%s,%s);", code, P((void *)a), P((void *)b)); return 0; }
#endif
#endif

#ifdef TP_EXTCMD
#ifndef TP_OMIT_QzcExtCommand
QZC_EXPORT(int) QzcExtCommand(INT_PTR unused, void *args, void *result) { return 1; }
#endif
#endif

#ifdef TP_PARAM
QZC_EXPORT(int) QzcCreateParameterInfo(ParameterPanel *p, ParameterControl *c, const char *rest) { return 1; }
QZC_EXPORT(int) QzcCreateParameterControl(ParameterPanel *p, ParameterControl *c, HINSTANCE i, HWND parent, int x,
                                          int y, int id)
{
    return 1;
}
QZC_EXPORT(LRESULT) QzcSendMessage(ParameterPanel *p, ParameterControl *c, HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    return 0;
}
#ifndef TP_OMIT_QzcGetValue
QZC_EXPORT(int) QzcGetValue(ParameterControl *c, char *buffer) { buffer[0] = 0; return 1; }
#endif
QZC_EXPORT(int) QzcSetValue(ParameterControl *c, const char *text) { return 1; }
QZC_EXPORT(int) QzcChangeValue(void) { return 0; }
QZC_EXPORT(int) QzcDisposeParameterControl(ParameterPanel *p, ParameterControl *c) { return 1; }
#endif

#ifdef TP_BLEND
#ifndef TP_OMIT_QzcGetBlendColor
/* The channel-wise mean of the two pixels. */
QZC_EXPORT(int) QzcGetBlendColor(const uint8_t *lower, const uint8_t *upper, int a, int b, uint8_t *out)
{
    for (int i = 0; i < 4; i++)
        out[i] = (uint8_t)((lower[i] + upper[i]) / 2);
    return 0;
}
#endif
#endif

#ifdef TP_EFFECT_SET
/* Writes every pixel of the rectangle through the host, x in blue and y in green over red 0xAB,
 * and keeps what it was called with; parameter 0 "fail" makes it write and then fail. */
static CDIB *s_effectImage;
static uint32_t *s_effectDest;
static int s_effectArgs[5];
static QzProgressProc s_effectProgress;
static char s_effectParams[256];
QZC_EXPORT(int) QzcEffect(CDIB *image, uint32_t *dest, int left, int top, int right, int bottom, int mask,
                          QzProgressProc progress)
{
    s_calls++;
    s_effectImage = image;
    s_effectDest = dest;
    s_effectArgs[0] = left, s_effectArgs[1] = top, s_effectArgs[2] = right, s_effectArgs[3] = bottom;
    s_effectArgs[4] = mask;
    s_effectProgress = progress;
    s_effectParams[0] = 0;
    for (int i = 0; i < 3; i++) {
        lstrcatA(s_effectParams, QzsGetParameter(1, i));
        lstrcatA(s_effectParams, "|");
    }
    for (int y = top; y <= bottom; y++) {
        for (int x = left; x <= right; x++) {
            uint32_t c = 0xFFAB0000u | (uint32_t)(y & 255) << 8 | (uint32_t)(x & 255);
            QzsSetColorOnImage(image, dest, x, y, &c, mask, 1);
        }
        if (progress)
            progress(y - top, bottom - top + 1, 0);
    }
    return lstrcmpA(QzsGetParameter(1, 0), "fail") != 0;
}
QZC_EXPORT(CDIB *) TpEffectImage(void) { return s_effectImage; }
QZC_EXPORT(uint32_t *) TpEffectDest(void) { return s_effectDest; }
QZC_EXPORT(const int *) TpEffectArgs(void) { return s_effectArgs; }
QZC_EXPORT(QzProgressProc) TpEffectProgress(void) { return s_effectProgress; }
QZC_EXPORT(const char *) TpEffectParams(void) { return s_effectParams; }
#endif

#ifdef TP_EFFECT_PARAMS
/* Paints every pixel of the rectangle from a hash of its first three parameter texts, so that a
 * run with other texts gives other pixels: FNV-1a (32 bits) over "p0|p1|p2|", then per pixel
 * 0xFF000000 | ((hash ^ (x * 0x9E37 + y * 0x85EB)) & 0xFFFFFF). */
QZC_EXPORT(int) QzcEffect(CDIB *image, uint32_t *dest, int left, int top, int right, int bottom, int mask,
                          QzProgressProc progress)
{
    uint32_t hash = 2166136261u;
    s_calls++;
    for (int i = 0; i < 3; i++) {
        const unsigned char *p = (const unsigned char *)QzsGetParameter(1, i);
        for (; *p; p++)
            hash = (hash ^ *p) * 16777619u;
        hash = (hash ^ '|') * 16777619u;
    }
    for (int y = top; y <= bottom; y++) {
        for (int x = left; x <= right; x++) {
            uint32_t c = 0xFF000000u | ((hash ^ (uint32_t)(x * 0x9E37 + y * 0x85EB)) & 0xFFFFFFu);
            QzsSetColorOnImage(image, dest, x, y, &c, mask, 1);
        }
        if (progress)
            progress(y - top, bottom - top + 1, 0);
    }
    return 1;
}
#endif

#ifdef TP_PARAM_NUMBER
/* A numeric edit control type. A control line reads "<x> <y> <comment> <initial value>"; the value
 * is kept in plug-in word 0 (an owned copy); every call is noted in a log the tests read. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
static char s_log[4096];
static void Note(const char *text)
{
    if (strlen(s_log) + strlen(text) + 2 < sizeof s_log) {
        strcat(s_log, text);
        strcat(s_log, ";");
    }
}
QZC_EXPORT(const char *) TpParamLog(void) { return s_log; }
QZC_EXPORT(void) TpClearParamLog(void) { s_log[0] = 0; }
static void Keep(ParameterControl *c, const char *text)
{
    free((char *)c->words[0]);
    c->words[0] = (INT_PTR)strdup(text ? text : "");
}
QZC_EXPORT(int) QzcCreateParameterInfo(ParameterPanel *p, ParameterControl *c, const char *rest)
{
    char comment[64] = "", value[64] = "";
    int x = 0, y = 0;
    sscanf(rest, "%d %d %63s %63s", &x, &y, comment, value);
    c->x = x;
    c->y = y;
    lstrcpynA(c->comment, comment, sizeof c->comment);
    Keep(c, value);
    char note[160];
    snprintf(note, sizeof note, "info:%s", rest);
    Note(note);
    return 1;
}
QZC_EXPORT(int) QzcCreateParameterControl(ParameterPanel *p, ParameterControl *c, HINSTANCE i, HWND parent, int x,
                                          int y, int id)
{
    c->window = CreateWindowExA(0, "EDIT", (const char *)c->words[0], WS_CHILD | WS_VISIBLE | WS_BORDER, x, y, 40,
                                16, parent, (HMENU)(INT_PTR)id, i, NULL);
    c->left = x, c->top = y, c->right = x + 39, c->bottom = y + 15;
    c->labelX = x + 44, c->labelY = y;
    char note[64];
    snprintf(note, sizeof note, "create:%d,%d,%d", x, y, id);
    Note(note);
    return 1;
}
QZC_EXPORT(LRESULT) QzcSendMessage(ParameterPanel *p, ParameterControl *c, HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    char note[64];
    snprintf(note, sizeof note, "msg:%s:%u", c->comment, m);
    if (m == 1024) /* the host's notices carry their two words */
        snprintf(note, sizeof note, "msg:%s:1024:%d,%d", c->comment, (int)wp, (int)lp);
    if (m != WM_PAINT)
        Note(note);
    return m == WM_PAINT ? 0 : 1;
}
/* Writes its whole value, up to a little past the host's buffer, as a careless plug-in would. */
QZC_EXPORT(int) QzcGetValue(ParameterControl *c, char *buffer)
{
    const char *v = (const char *)c->words[0];
    size_t n = v ? strlen(v) : 0;
    if (n > 1040)
        n = 1040;
    memcpy(buffer, v ? v : "", n);
    buffer[n] = 0;
    return 1;
}
QZC_EXPORT(int) QzcSetValue(ParameterControl *c, const char *text)
{
    Keep(c, text);
    char note[80];
    snprintf(note, sizeof note, "set:%.60s", text);
    Note(note);
    return 1;
}
QZC_EXPORT(int) QzcChangeValue(void) { return 0; }
QZC_EXPORT(int) QzcDisposeParameterControl(ParameterPanel *p, ParameterControl *c)
{
    free((char *)c->words[0]);
    c->words[0] = 0;
    Note("dispose");
    return 1;
}
#endif
