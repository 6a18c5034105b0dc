// Parameter panels: reading a panel file, the layout in its window, the controls' windows, painting
// and the routing of mouse and command messages to the controls' plug-ins.
#include "plugins/params.h"
#include "plugins/loader.h"
#include "base/app.h"
#include "base/settings.h"
#include "base/filefaults.h"
#include "base/messages.h"
#include "base/textutil.h"
#include <commdlg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

enum { kPanelLineBytes = 256, kMessageNotInstalled = 81 };

static ParameterPanel *s_slots[kPanelKinds];
// Extra child ids per kind: entry n holds the control index that id 25000 + n stands for.
static int s_extraCount[kPanelKinds];
static int s_extraIndex[kPanelKinds][kExtraIds];
static int s_fontWidth, s_fontHeight;

// ---- slots ----

void SetParameterPanel(int kind, ParameterPanel *panel)
{
    if (kind >= 1 && kind < kPanelKinds)
        s_slots[kind] = panel;
}

ParameterPanel *GetParameterPanel(int kind)
{
    return kind >= 1 && kind < kPanelKinds ? s_slots[kind] : NULL;
}

int GetParameterPanelKind(ParameterPanel *panel)
{
    for (int kind = 1; panel && kind < kPanelKinds; kind++)
        if (s_slots[kind] == panel)
            return kind;
    return 0;
}

int CountParameterControls(ParameterPanel *panel)
{
    int n = 0;
    for (ParameterControl *c = panel ? panel->first : NULL; c; c = c->next)
        n++;
    return n;
}

ParameterControl *GetParameterControl(ParameterPanel *panel, int index)
{
    if (index < 0)
        return NULL;
    ParameterControl *c = panel ? panel->first : NULL;
    for (; c && index > 0; index--)
        c = c->next;
    return c;
}

void GetParameterFontMetric(int *width, int *height)
{
    if (width)
        *width = s_fontWidth;
    if (height)
        *height = s_fontHeight;
}

// ---- reading ----

static const ParameterTypeRecord *FindParameterType(const char *name)
{
    for (int i = 0; i < kParameterRows && g_parameterTypes[i].module; i++)
        if (CompareTextNoCase(g_parameterTypes[i].name, name) == 0)
            return &g_parameterTypes[i];
    return NULL;
}

static void AppendControl(ParameterPanel *panel, const ParameterTypeRecord *type, const char *rest)
{
    ParameterControl *c = (ParameterControl *)calloc(1, sizeof *c);
    if (!c)
        return;
    c->left = c->top = c->right = c->bottom = -1;
    c->type = (ParameterTypeRecord *)type;
    if (panel->last)
        panel->last->next = c;
    else
        panel->first = c;
    panel->last = c;
    type->QzcCreateParameterInfo(panel, c, rest);
}

// Control types that no parameter plug-in provides are told for the file, in one box, and not
// again while it stays as it is: a panel is read at every selection of its plug-in.
static void ReadPanelFile(HWND window, FILE *file, const char *path, ParameterPanel *panel)
{
    char line[kPanelLineBytes], token[kTokenBytes];
    if (!ReadTextLine(file, line, sizeof line))
        return;
    const char *pos = NextTextToken(line, token, sizeof token);
    if (!pos)
        return; // no size: a panel without controls
    panel->fileWidth = atoi(token);
    if (NextTextToken(pos, token, sizeof token))
        panel->fileHeight = atoi(token);
    FileFaults faults;
    BeginFileFaults(&faults, path, g_mainWindow ? g_mainWindow : window);
    NextFaultLine(&faults);
    while (ReadTextLine(file, line, sizeof line)) {
        NextFaultLine(&faults);
        const char *rest = NextTextToken(line, token, sizeof token);
        if (!rest)
            continue;
        const ParameterTypeRecord *type = FindParameterType(token);
        if (!type) {
            ReportFaultLine(&faults, kMessageNotInstalled, token);
            continue;
        }
        AppendControl(panel, type, rest);
    }
    EndFileFaults(&faults);
}

static void MeasureWindowFont(HWND window)
{
    HDC dc = GetDC(window);
    if (!dc)
        return;
    HFONT font = (HFONT)SendMessageA(window, WM_GETFONT, 0, 0);
    HGDIOBJ old = font ? SelectObject(dc, font) : NULL;
    TEXTMETRICA tm;
    if (GetTextMetricsA(dc, &tm)) {
        s_fontWidth = tm.tmMaxCharWidth;
        s_fontHeight = tm.tmHeight;
    }
    if (old)
        SelectObject(dc, old);
    ReleaseDC(window, dc);
}

static int Clamp32(int64_t v)
{
    return v < INT32_MIN ? INT32_MIN : v > INT32_MAX ? INT32_MAX : (int)v;
}

ParameterPanel *LoadParameterPanel(HWND window, const char *directory, const char *name, int mode, int width,
                                   int height, int mx, int my)
{
    char path[1024];
    snprintf(path, sizeof path, "%s\\%s.ppd", directory ? directory : "", name ? name : "");
    FILE *file = fopen(path, "rt");
    if (!file) {
        if (mode == 0)
            ShowWindow(window, SW_HIDE);
        else
            SetWindowPos(window, NULL, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        return NULL;
    }
    MeasureWindowFont(window);
    ParameterPanel *panel = (ParameterPanel *)calloc(1, sizeof *panel);
    if (!panel) {
        fclose(file);
        return NULL;
    }
    ReadPanelFile(window, file, path, panel);
    fclose(file);

    RECT outer = {0, 0, 0, 0}, client = {0, 0, 0, 0};
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    int fw = (outer.right - outer.left) - client.right;
    int fh = (outer.bottom - outer.top) - client.bottom - fw;
    if (mode == 0) {
        width = panel->fileWidth;
        height = panel->fileHeight;
    }
    CopyText(panel->name, sizeof panel->name, name ? name : "");
    if (mode == 1) {
        panel->outerWidth = width;
        panel->outerHeight = height;
    } else {
        panel->outerWidth = Clamp32((int64_t)width + mx);
        panel->outerHeight = Clamp32((int64_t)my + fh);
    }
    panel->marginX = mx;
    panel->marginY = my;
    panel->innerWidth = Clamp32((int64_t)width - 2 * (int64_t)mx - fw);
    panel->innerHeight = Clamp32((int64_t)height - 2 * (int64_t)my - fw);
    // Mode 1 keeps the design's aspect; a design without a width has no height either.
    if (mode == 1)
        panel->innerHeight =
            panel->fileWidth > 0 ? Clamp32((int64_t)panel->innerWidth * panel->fileHeight / panel->fileWidth) : 0;
    panel->left = mx;
    panel->top = mode == 0 ? my : Clamp32((int64_t)panel->outerHeight - fh + my);
    int64_t total = (int64_t)panel->outerHeight + 2 * (int64_t)my + panel->innerHeight + fw;
    SetWindowPos(window, NULL, 0, 0, panel->outerWidth, Clamp32(total), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (mode == 0)
        ShowWindow(window, SW_SHOWNA);
    PaintParameterPanel(window, panel);
    return panel;
}

// ---- controls ----

// A design position scaled into the panel area; a design size of 0 leaves positions unscaled.
static int ScaleDesign(int v, int inner, int design, int origin)
{
    int64_t scaled = design > 0 ? (int64_t)v * inner / design : v;
    return Clamp32(scaled + origin);
}

static void DrawComment(HWND window, const ParameterControl *c, COLORREF color, bool useColor)
{
    if (!c->window && c->left < 0)
        return;
    HDC dc = GetDC(window);
    if (!dc)
        return;
    HFONT font = (HFONT)SendMessageA(window, WM_GETFONT, 0, 0);
    HGDIOBJ old = font ? SelectObject(dc, font) : NULL;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, useColor ? color : GetSysColor(COLOR_WINDOWTEXT));
    TextOutA(dc, c->labelX, c->labelY, c->comment, (int)strnlen(c->comment, sizeof c->comment));
    if (old)
        SelectObject(dc, old);
    ReleaseDC(window, dc);
}

void CreateParameterControls(HWND window, ParameterPanel *panel)
{
    if (!panel)
        return;
    s_extraCount[GetParameterPanelKind(panel)] = 0;
    int i = 0;
    for (ParameterControl *c = panel->first; c; c = c->next, i++) {
        int x = ScaleDesign(c->x, panel->innerWidth, panel->fileWidth, panel->left);
        int y = ScaleDesign(c->y, panel->innerHeight, panel->fileHeight, panel->top);
        c->type->QzcCreateParameterControl(panel, c, g_instance, window, x, y, kControlIdBase + i);
        DrawComment(window, c, 0, false);
    }
}

QZS_DECL(int) QzsGetParameterSubWindowID(ParameterPanel *panel, int controlId)
{
    int kind = GetParameterPanelKind(panel);
    int n = s_extraCount[kind];
    if (n >= kExtraIds)
        return 0; // every extra id of the kind is in use: the window gets none
    s_extraCount[kind] = n + 1;
    s_extraIndex[kind][n] = controlId - kControlIdBase;
    return kExtraIdBase + n;
}

int ParameterControlIndex(ParameterPanel *panel, int id)
{
    int index;
    if (id >= kExtraIdBase) {
        int kind = GetParameterPanelKind(panel), n = id - kExtraIdBase;
        if (n >= s_extraCount[kind])
            return -1;
        index = s_extraIndex[kind][n];
    } else {
        index = id - kControlIdBase;
    }
    return index >= 0 && index < CountParameterControls(panel) ? index : -1;
}

// ---- painting and routing ----

void PaintParameterPanel(HWND window, ParameterPanel *panel)
{
    if (!panel || !window)
        return;
    HDC dc = GetDC(window);
    if (dc) {
        RECT r = {panel->left, panel->top, panel->left + panel->innerWidth, panel->top + panel->innerHeight};
        DrawEdge(dc, &r, EDGE_ETCHED, BF_RECT);
        ReleaseDC(window, dc);
    }
    for (ParameterControl *c = panel->first; c; c = c->next) {
        DrawComment(window, c, 0, false);
        c->type->QzcSendMessage(panel, c, window, WM_PAINT, 0, 0);
    }
}

void ClearParameterPanel(HWND window, ParameterPanel *panel)
{
    if (!panel || !window)
        return;
    HDC dc = GetDC(window);
    if (!dc)
        return;
    RECT r = {panel->left, panel->top, panel->left + panel->innerWidth, panel->top + panel->innerHeight};
    HBRUSH brush = (HBRUSH)GetClassLongPtrA(window, GCLP_HBRBACKGROUND);
    FillRect(dc, &r, brush ? brush : GetSysColorBrush(COLOR_BTNFACE));
    ReleaseDC(window, dc);
}

LRESULT RouteMouseToParameterControls(HWND window, UINT message, ParameterPanel *panel, WPARAM wParam,
                                      LPARAM lParam)
{
    if (!panel)
        return 0;
    // Moves and releases reach every control, so a control that captured a drag still sees it.
    if (message == WM_MOUSEMOVE || message == WM_LBUTTONUP || message == WM_RBUTTONUP) {
        LRESULT result = 0;
        for (ParameterControl *c = panel->first; c; c = c->next)
            result = c->type->QzcSendMessage(panel, c, window, message, wParam, lParam);
        return result;
    }
    int x = LOWORD(lParam), y = HIWORD(lParam);
    for (ParameterControl *c = panel->first; c; c = c->next)
        if (c->left >= 0 && x >= c->left && x <= c->right && y >= c->top && y <= c->bottom)
            return c->type->QzcSendMessage(panel, c, window, message, wParam, lParam);
    return 0;
}

void RouteCommandToParameterControl(HWND window, UINT message, ParameterPanel *panel, WPARAM wParam,
                                    LPARAM lParam)
{
    ParameterControl *c = GetParameterControl(panel, ParameterControlIndex(panel, LOWORD(wParam)));
    if (c)
        c->type->QzcSendMessage(panel, c, window, message, wParam, lParam);
}

void NotifyParameterControls(HWND sender, ParameterPanel *panel, WPARAM a, LPARAM b)
{
    for (ParameterControl *c = panel ? panel->first : NULL; c; c = c->next)
        c->type->QzcSendMessage(panel, c, sender, 1024, a, b);
}

// ---- fonts ----

QZS_DECL(int) QzsGetParameterFontMetric(int *width, int *height)
{
    GetParameterFontMetric(width, height);
    return 1;
}

QZS_DECL(LOGFONTA *) QzsGetParameterFont(void)
{
    return &g_paramFont;
}

QZS_DECL(int) QzsSetFontComment(ParameterControl *control)
{
    if (!control)
        return 0;
    snprintf(control->comment, sizeof control->comment, "%s W%d I%d U%d S%d", g_paramFont.lfFaceName,
             (int)g_paramFont.lfWeight, g_paramFont.lfItalic, g_paramFont.lfUnderline, g_paramFont.lfStrikeOut);
    return 1;
}

QZS_DECL(void) QzsChooseFont(HWND owner, ParameterPanel *, ParameterControl *control)
{
    g_fontChooser.lStructSize = sizeof g_fontChooser;
    g_fontChooser.hwndOwner = owner;
    g_fontChooser.lpLogFont = &g_paramFont;
    g_fontChooser.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_EFFECTS;
    ChooseFontA(&g_fontChooser);
    if (!control)
        return;
    // The old text is drawn over in the background colour before the new one is drawn.
    DrawComment(owner, control, GetSysColor(COLOR_BTNFACE), true);
    QzsSetFontComment(control);
    DrawComment(owner, control, 0, false);
}
