#include "base/cursors.h"
#include "base/app.h"
#include "ovrin.h"

static HCURSOR s_cursors[kSystemCursors];
static HCURSOR s_programCursors[5];

void LoadSystemCursors()
{
    static const LPCSTR kIds[kSystemCursors] = {IDC_ARROW,  IDC_CROSS,    IDC_IBEAM,  IDC_SIZEALL, IDC_SIZENESW,
                                                IDC_SIZENS, IDC_SIZENWSE, IDC_SIZEWE, IDC_UPARROW, IDC_WAIT};
    for (int i = 0; i < kSystemCursors; i++)
        s_cursors[i] = LoadCursorA(NULL, kIds[i]);
}

HCURSOR GetSystemCursor(int which)
{
    if (which < 0 || which >= kSystemCursors)
        return NULL;
    if (!s_cursors[which])
        LoadSystemCursors();
    return s_cursors[which];
}

void LoadProgramCursors()
{
    LoadSystemCursors();
    for (int i = 0; i < 5; i++) {
        s_programCursors[i] = LoadCursorA(g_instance, MAKEINTRESOURCEA(kCursorPlain + i));
        if (!s_programCursors[i])
            s_programCursors[i] = GetSystemCursor(kCursorCross);
    }
}

HCURSOR GetProgramCursor(int id)
{
    if (id < kCursorPlain || id > kCursorLocked)
        return NULL;
    if (!s_programCursors[0])
        LoadProgramCursors();
    return s_programCursors[id - kCursorPlain];
}

// Plug-ins ask for the service cursor (kind 4) only.
QZS_DECL(HCURSOR) QzsGetCursor(int kind)
{
    return kind == 4 ? GetProgramCursor(kCursorService) : NULL;
}
