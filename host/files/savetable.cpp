// The save-format table: numbers, names, extensions and depth masks of every format, the save
// plug-ins bound into it, and the save state.
#include "files/save.h"
#include "base/settings.h"
#include <algorithm>
#include <initializer_list>
#include <stdio.h>
#include <string.h>
#include <string>
#include <vector>

const char kNativeSaveFilter[] = "Mirel File (*.mrf)|*.mrf|Mirel File 2(*.mr2)|*.mr2|";
static int s_format = kFormatMr2;
static int s_depth = 32;
static int s_highQuality = 1;
// ---- save state ----

void SetSaveFormat(int format) { s_format = format; }
int GetSaveFormat() { return s_format; }
void SetCurrentSaveFormat(int format) { s_format = format; }
void SetSaveDepth(int depth) { s_depth = depth; }
int GetSaveDepth() { return s_depth; }
void SetSaveHighQuality(int on) { s_highQuality = on ? 1 : 0; }
int GetSaveHighQuality() { return s_highQuality; }

int FindSaveFormatByName(const char *name)
{
    if (!name)
        return -1;
    static const char *const kBuiltIn[] = {"mrf", "mr2", "bmp"};
    for (int i = 0; i < 3; i++)
        if (_stricmp(name, kBuiltIn[i]) == 0)
            return i + 1;
    for (int i = 0; i < kSaverRows && g_saverTable[i].module; i++) {
        char text[256];
        if (SaverAddinInfo(&g_saverTable[i], 3, text, sizeof text) && _stricmp(text, name) == 0)
            return kFirstPluginFormat + i;
    }
    return -1;
}

int GetSaveFormatExtension(int format, char *out, int size)
{
    static const char *const kBuiltIn[] = {"mrf", "mr2", "bmp"};
    if (format >= 1 && format <= 3) {
        snprintf(out, (size_t)size, "%s", kBuiltIn[format - 1]);
        return 1;
    }
    char text[21];
    if (!SaverAddinInfo(GetSaverRow(format), 2, text, sizeof text)) {
        snprintf(out, (size_t)size, "@@@");
        return 0;
    }
    snprintf(out, (size_t)size, "%s", strlen(text) >= 2 ? text + 2 : "");
    return 1;
}

int GetFormatDepthMask(int format)
{
    if (format == kFormatMrf || format == kFormatMr2)
        return kMaskNative;
    if (format == kFormatBmp)
        return kMaskBmp;
    SaverRecord *row = GetSaverRow(format);
    return row && row->SupportImage ? row->SupportImage() : 0;
}

int DepthBit(int depth)
{
    switch (depth) {
    case 8: return 0x08;
    case 16: return 0x10;
    case 24: return 0x20;
    case 32: return 0x40;
    default: return 0;
    }
}

int DepthToButtonId(int depth, int saveDialog)
{
    static const int kDepths[] = {8, 16, 24, 32};
    static const int kDialogIds[] = {3003, 3005, 3006, 3009};
    for (int i = 0; i < 4; i++)
        if (depth == kDepths[i])
            return saveDialog ? kDialogIds[i] : 8017 + i;
    return 0;
}

void ShowSaveDepthButtons(HWND dialog, int format, int saveDialog)
{
    int mask = GetFormatDepthMask(format);
    for (int depth : {8, 16, 24, 32}) {
        HWND button = GetDlgItem(dialog, DepthToButtonId(depth, saveDialog));
        bool shown = format != kFormatMrf && format != kFormatMr2 && (mask & DepthBit(depth));
        if (button)
            ShowWindow(button, shown ? SW_SHOW : SW_HIDE);
    }
}

int PickSaveDepth(int format, int depth)
{
    int mask = GetFormatDepthMask(format);
    if (mask & DepthBit(depth))
        return depth;
    for (int d : {32, 24, 16, 8})
        if (mask & DepthBit(d))
            return d;
    return depth;
}

int SelectSaveDepthButton(HWND dialog, int format, int depth, int saveDialog)
{
    int mask = GetFormatDepthMask(format), picked = PickSaveDepth(format, depth);
    if (!(mask & DepthBit(depth)) && DepthToButtonId(depth, saveDialog))
        CheckDlgButton(dialog, DepthToButtonId(depth, saveDialog), BST_UNCHECKED);
    if (mask & DepthBit(picked))
        CheckDlgButton(dialog, DepthToButtonId(picked, saveDialog), BST_CHECKED);
    return picked;
}
