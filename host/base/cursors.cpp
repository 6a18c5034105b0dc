#include "base/cursors.h"

static HCURSOR s_cursors[kSystemCursors];

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
