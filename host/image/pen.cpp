// The program-wide pen: its matrices, the outline computed when a pen is set, and the hand-over
// to the sub-window plug-in that makes pens.
#include "image/pen.h"
#include "base/notify.h"
#include "base/settings.h"
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static PenRecord s_pen;
static int s_capacity; // side of the allocated matrices
static uint32_t *s_macroCopy[2]; // weights and colour indexes as the macro recorder saw them
static int s_stampCounter;
static bool s_loopMode;

QZS_DECL(PenRecord *) QzsGetPen(void)
{
    return &s_pen;
}

void FreePen()
{
    free(s_pen.weights);
    free(s_pen.colorIndexes);
    free(s_pen.work);
    free(s_pen.shortWork);
    free(s_pen.outline);
    free(s_macroCopy[0]);
    free(s_macroCopy[1]);
    memset(&s_pen, 0, sizeof s_pen);
    s_macroCopy[0] = s_macroCopy[1] = NULL;
    s_capacity = 0;
}

int GetPenCapacity()
{
    return s_capacity;
}

uint32_t *GetPenMacroCopy(int which)
{
    return which == 0 || which == 1 ? s_macroCopy[which] : NULL;
}

QZS_DECL(int) QzsCreatePen(int n)
{
    FreePen();
    // A side out of range, or memory that runs out, leaves an empty pen: it stamps nothing.
    if (n < 2 || n - 1 > kMaxPenSide)
        return 0;
    int side = n - 1;
    size_t cells = (size_t)side * (size_t)side;
    s_pen.weights = (uint32_t *)calloc(cells, 4);
    s_pen.colorIndexes = (uint32_t *)calloc(cells, 4);
    s_pen.work = (uint32_t *)calloc(cells, 4);
    s_pen.shortWork = (uint16_t *)calloc(cells, 2);
    s_pen.outline = (uint32_t *)calloc(cells, 4);
    s_macroCopy[0] = (uint32_t *)calloc(cells, 4);
    s_macroCopy[1] = (uint32_t *)calloc(cells, 4);
    if (!s_pen.weights || !s_pen.colorIndexes || !s_pen.work || !s_pen.shortWork || !s_pen.outline ||
        !s_macroCopy[0] || !s_macroCopy[1]) {
        FreePen();
        return 0;
    }
    s_pen.side = s_capacity = side;
    return 1;
}

void ComputePenOutline(PenRecord *pen)
{
    int n = pen->side;
    if (n < 1 || !pen->weights || !pen->outline)
        return;
    const uint32_t *w = pen->weights;
    for (int r = 0; r < n; r++)
        for (int c = 0; c < n; c++) {
            size_t at = (size_t)r * n + c;
            bool edge = c < 1 || r < 1 || c >= n - 1 || r >= n - 1;
            for (int dr = -1; dr <= 1 && !edge; dr++)
                for (int dc = -1; dc <= 1 && !edge; dc++)
                    edge = w[(size_t)(r + dr) * n + (c + dc)] == 0;
            pen->outline[at] = w[at] != 0 && edge ? 1 : 0;
        }
}

QZS_DECL(int) QzsSetPen(INT_PTR value)
{
    NotifyEraseHoverGuide(1);
    NotifyPenChanged(value, &s_pen);
    // A plug-in may have written the side: never more than the matrices hold.
    if (s_pen.side > s_capacity)
        s_pen.side = s_capacity;
    if (s_pen.side < 1)
        return 0;
    ComputePenOutline(&s_pen);
    return s_pen.side;
}

QZS_DECL(int) QzsCreatePenShape(HWND window, const char *code)
{
    NotifyEraseHoverGuide(1);
    if (!window)
        return 0;
    // The code may be the configuration value itself: copy it before the plug-in is called.
    char copy[sizeof g_cfg.PenParameter];
    snprintf(copy, sizeof copy, "%s", code ? code : "");
    if (!AskMakePenIn(window, copy))
        return 0;
    memcpy(g_cfg.PenParameter, copy, sizeof copy);
    return 1;
}

void MakeDefaultPen()
{
    int n = s_pen.side;
    if (n >= 1 && s_pen.weights) {
        for (size_t i = 0, cells = (size_t)n * n; i < cells; i++)
            s_pen.weights[i] = 255;
        s_pen.hotX = s_pen.hotY = 16;
        s_pen.left = s_pen.top = 13;
        s_pen.right = s_pen.bottom = n - 13;
    }
    QzsSetPen(0);
}

int GetStampCounter()
{
    return s_stampCounter;
}

void ResetStampCounter()
{
    s_stampCounter = 0;
}

// After each per-stamp colour message.
void CountStamp()
{
    s_stampCounter++;
}

bool IsLoopMode()
{
    return s_loopMode;
}

void SetLoopMode(bool on)
{
    s_loopMode = on;
}

void ToggleLoopMode()
{
    s_loopMode = !s_loopMode;
}
