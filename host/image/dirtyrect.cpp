#include "image/dirtyrect.h"

// The area touched since the last commit, in group coordinates; -1 when empty.
static RECT s_dirty = {-1, -1, -1, -1};

void SetDirtyRect(int left, int top, int right, int bottom)
{
    s_dirty.left = left;
    s_dirty.top = top;
    s_dirty.right = right;
    s_dirty.bottom = bottom;
}

void ClearDirtyRect()
{
    SetDirtyRect(-1, -1, -1, -1);
}

bool GetDirtyRect(RECT *out)
{
    *out = s_dirty;
    return s_dirty.left >= 0 && s_dirty.right >= s_dirty.left && s_dirty.bottom >= s_dirty.top;
}

void ExtendDirtyRect(int x, int y)
{
    if (x > s_dirty.right)
        s_dirty.right = x;
    if (y > s_dirty.bottom)
        s_dirty.bottom = y;
    if (s_dirty.left < 0 && s_dirty.top < 0) {
        s_dirty.left = x;
        s_dirty.top = y;
        return;
    }
    if (x < s_dirty.left)
        s_dirty.left = x;
    if (y < s_dirty.top)
        s_dirty.top = y;
}
