// Reading and writing "ovrin.cfg": one key table drives both, in the order the file is written.
#include "image/colors.h"
#include "image/lighting.h"
#include "plugins/subwin.h"
#include "base/settings.h"
#include "shell/configfile.h"
#include "base/app.h"
#include "base/messages.h"
#include "base/sysinfo.h"
#include "image/pen.h"
#include "shell/itemwin.h"
#include "shell/winproc.h"
#include "base/recent.h"
#include "base/textutil.h"
#include <errno.h>
#include <limits.h>
#include <stddef.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

enum KeyKind { kPath, kQuoted, kBare, kInt, kFrame, kSize };

struct Key {
    const char *name;
    KeyKind kind;
    size_t offset, bytes;
    int least, most; // numbers outside would break the program later: the value kept stays
};

#define KEY(k, kind) {#k, kind, offsetof(Settings, k), sizeof(Settings::k), INT_MIN, INT_MAX}
#define AT_LEAST(k, least) {#k, kInt, offsetof(Settings, k), sizeof(Settings::k), least, INT_MAX}
#define WITHIN(k, least, most) {#k, kInt, offsetof(Settings, k), sizeof(Settings::k), least, most}
#define PATH(k) KEY(k, kPath)
#define QUOTED(k) KEY(k, kQuoted)
#define BARE(k) KEY(k, kBare)
#define INT(k) KEY(k, kInt)
#define FRAME(k) {#k, kFrame, offsetof(Settings, k), sizeof(Settings::k), 0, kMostFrameMargin}

// An image needs (total page file x rate / 100) free: from 100 on no image could ever be made.
const int kMostKeepFreeAreaRate = 99;

// Every plain key in written order. The table lines (ColorValue, NewImageBackground,
// NewImageSize, RecentlyUsedFile) and DrawMethod are written at their places by the writer.
const Key kKeys[] = {
    PATH(Susie_dir), PATH(Saver_dir), PATH(Subwin_dir), PATH(Draw_dir), PATH(Effect_dir), PATH(Transform_dir),
    PATH(FuncColor_dir), PATH(ExtCommand_dir), PATH(Parameter_dir), PATH(Layer_dir), PATH(Stat_dir),
    PATH(Macro_dir), PATH(OldPlug_dir), PATH(OpenFile_dir), QUOTED(MainWinMenu), QUOTED(EditWinMenu),
    QUOTED(KeyMap), AT_LEAST(NewImageX, 1), AT_LEAST(NewImageY, 1), INT(InitZoom), AT_LEAST(RegAnimationVelocity, 1),
    INT(PreviewInOpenDlg), INT(OpenPreviewX), INT(OpenPreviewY), AT_LEAST(OpenPreviewSizeX, 5), AT_LEAST(OpenPreviewSizeY, 5),
    INT(AutoAdjustMode), INT(WinCloseWhenNoImage), INT(CloseAllImageWhenQuit), INT(BindImageToOneWindow),
    INT(CloseImageWithWindow), INT(CloseButtonAsCloseImage), INT(CopyOnlyRegionToClip), INT(EffectAutoPreview),
    INT(SynchronizeUpdateImage), INT(StretchBltMode), INT(EffectPreviewMode), INT(PreviewPenShape),
    INT(ChangeDrawWithFuncColor), INT(AutoActivateWhenDrag), FRAME(FrameX), FRAME(FrameY), AT_LEAST(NoBarFrameSize, 0),
    AT_LEAST(AdjMaxSizeX, 1), AT_LEAST(AdjMaxSizeY, 1), INT(WindowCutWhenAdjust),
    WITHIN(KeepFreeAreaRate, 1, kMostKeepFreeAreaRate), KEY(MaxUndoBuffer, kSize), INT(LANG),
    BARE(ExtensionOfDictionary),
    INT(DrawParameterX), INT(DrawParameterY), INT(EditWindowOrgX), INT(EditWindowOrgY), INT(ItemWindowOrgX),
    INT(ItemWindowOrgY), INT(FuncColParameterX), INT(FuncColParameterY), QUOTED(UntitledFileHeader),
    BARE(DefaultSaveFormat), INT(DefaultSaveDepth), INT(SaveModeInMultiImage), QUOTED(PenCreatorName),
    QUOTED(PenParameter), INT(DisplayPenShape), INT(MainWindowSizeX), AT_LEAST(MainWindowSizeY, 1),
    INT(AutoHideCliedWindow),
};

char *Field(const Key &k)
{
    return (char *)&g_cfg + k.offset;
}

// Decimal integer with the usual leading sign and digits; no number reads as 0, overflow clamps.
int ReadInt(const char *text)
{
    errno = 0;
    long long v = strtoll(text, NULL, 10);
    if (v > INT_MAX)
        return INT_MAX;
    if (v < INT_MIN)
        return INT_MIN;
    return (int)v;
}

void ReadKeyValue(const Key &k, const char *value)
{
    switch (k.kind) {
    case kPath:
        CopyText(Field(k), k.bytes, ExpandHomePath(value));
        break;
    case kQuoted:
    case kBare:
        CopyText(Field(k), k.bytes, value);
        break;
    case kInt:
    case kFrame: {
        int v = ReadInt(value);
        if (k.kind == kFrame)
            v = v / 16 * 16; // toward zero
        if (v >= k.least && v <= k.most)
            *(int *)Field(k) = v;
        break;
    }
    case kSize:
        *(int64_t *)Field(k) = ParseSizeText(value);
        break;
    }
}

// The next count numbers of a line; missing ones read as 0.
void ReadInts(const char *line, int pos, int *v, int count)
{
    char token[kTokenBytes];
    for (int i = 0; i < count; i++) {
        pos = GetNextToken(line, pos, token, sizeof token);
        v[i] = ReadInt(token);
    }
}

void ReadNewImageSize(const char *line, int pos)
{
    int v[3];
    ReadInts(line, pos, v, 3);
    if (v[0] < 0 || v[0] >= kRememberedSizes)
        return;
    g_cfg.NewImageSize[v[0]][0] = v[1];
    g_cfg.NewImageSize[v[0]][1] = v[2];
}

void ReadConfigLine(const char *line)
{
    char key[kTokenBytes], value[kTokenBytes];
    int afterKey = GetNextToken(line, 0, key, sizeof key);
    if (!key[0])
        return;
    GetNextToken(line, afterKey, value, sizeof value);
    if (CompareTextNoCase(key, "ColorValue") == 0)
        ReadColorValueLine(line + afterKey);
    else if (CompareTextNoCase(key, "DrawMethod") == 0)
        CopyText(g_cfg.DrawMethod, sizeof g_cfg.DrawMethod, value);
    else if (CompareTextNoCase(key, "NewImageSize") == 0)
        ReadNewImageSize(line, afterKey);
    else if (CompareTextNoCase(key, "NewImageBackground") == 0)
        g_cfg.NewImageBackground = ReadInt(value);
    else if (CompareTextNoCase(key, "RecentlyUsedFile") == 0) {
        if (value[0])
            AddRecentFile(value, 0);
    } else {
        for (const Key &k : kKeys)
            if (CompareTextNoCase(key, k.name) == 0) {
                ReadKeyValue(k, value);
                break;
            }
    }
}

void ConfigPath(char *out, size_t size)
{
    snprintf(out, size, "%s\\ovrin.cfg", g_cfg.appDir);
}

// A text written without quotes is one token: one that holds a blank is written quoted, so that
// it reads back whole.
void WriteBareText(FILE *f, const char *key, const char *text)
{
    bool quote = false;
    for (const char *p = text; *p && !quote; p++)
        quote = IsBlank((unsigned char)*p) != 0;
    fprintf(f, quote ? "%s \"%s\"\n" : "%s %s\n", key, text);
}

void WriteKey(FILE *f, const Key &k)
{
    switch (k.kind) {
    case kPath:
        fprintf(f, "%s \"%s\"\n", k.name, ShortenHomePath(Field(k)));
        break;
    case kQuoted:
        fprintf(f, "%s \"%s\"\n", k.name, Field(k));
        break;
    case kBare:
        WriteBareText(f, k.name, Field(k));
        break;
    case kInt:
    case kFrame:
        fprintf(f, "%s %d\n", k.name, *(int *)Field(k));
        break;
    case kSize:
        fprintf(f, "%s %lld\n", k.name, (long long)*(int64_t *)Field(k));
        break;
    }
}

void TakeWindowPlace(HWND window, int &x, int &y)
{
    RECT r;
    if (window && GetWindowRect(window, &r)) {
        x = r.left;
        y = r.top;
    }
}

// Settings that live in windows and plug-ins are taken from them when written.
void TakeLiveSettings()
{
    TakeWindowPlace(g_drawParamWindow, g_cfg.DrawParameterX, g_cfg.DrawParameterY);
    TakeWindowPlace(g_colorParamWindow, g_cfg.FuncColParameterX, g_cfg.FuncColParameterY);
    TakeWindowPlace(g_itemWindow, g_cfg.ItemWindowOrgX, g_cfg.ItemWindowOrgY);
    const char *creator = PenCreatorPluginName();
    if (creator != g_cfg.PenCreatorName)
        CopyText(g_cfg.PenCreatorName, sizeof g_cfg.PenCreatorName, creator ? creator : "");
}

void WriteSettings(FILE *f)
{
    for (const Key &k : kKeys)
        WriteKey(f, k);
    if (g_cfg.DrawMethod[0])
        WriteBareText(f, "DrawMethod", g_cfg.DrawMethod);
    for (int i = 0; i < kColorRecords; i++) {
        char line[kLineBytes];
        FormatColorValueLine(i, line, sizeof line);
        fprintf(f, "%s\n", line);
    }
    fprintf(f, "NewImageBackground %d \n", g_cfg.NewImageBackground);
    for (int i = 0; i < kRememberedSizes; i++)
        fprintf(f, "NewImageSize %2d %4d %4d\n", i, g_cfg.NewImageSize[i][0], g_cfg.NewImageSize[i][1]);
    for (int i = 0; i < kRecentShown; i++) {
        RecentFileNode *node = RecentFileAt(i);
        if (!node)
            break;
        fprintf(f, "RecentlyUsedFile \"%s\"\n", node->path);
    }
}

} // namespace

int ReadConfigFile()
{
    char path[kPathBytes];
    ConfigPath(path, sizeof path);
    FILE *f = fopen(path, "r");
    if (!f)
        return 0;
    char line[kLineBytes];
    while (ReadTextLine(f, line, sizeof line))
        ReadConfigLine(line);
    fclose(f);
    if (g_cfg.MaxUndoBuffer < 0)
        g_cfg.MaxUndoBuffer = 0;
    return 1;
}

// The file is written beside the old one and replaces it only when complete, so a failed write
// never leaves a damaged configuration behind.
int WriteConfigFile()
{
    char path[kPathBytes], temp[kPathBytes + 8];
    ConfigPath(path, sizeof path);
    snprintf(temp, sizeof temp, "%s.new", path);
    FILE *f = fopen(temp, "w");
    if (!f)
        return 0;
    TakeLiveSettings();
    WriteSettings(f);
    bool ok = !ferror(f);
    ok = fclose(f) == 0 && ok;
    if (!ok || !MoveFileExA(temp, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileA(temp);
        return 0;
    }
    return 1;
}

void InitApplicationSettings()
{
    char dir[kPathBytes];
    GetProgramDirectory(dir, sizeof dir);
    g_screenWidth = GetSystemMetrics(SM_CXSCREEN);
    g_screenHeight = GetSystemMetrics(SM_CYSCREEN);
    SetDefaultColors();
    QzsCreatePen(49);
    SetDefaultSettings(dir);
    FreeMessageTranslations();
    g_screenDepth = QueryScreenDepth();
    if (g_screenDepth != 8 && g_screenDepth != 16 && g_screenDepth != 24 && g_screenDepth != 32) {
        ShowWarningMessage(NULL, 2);
        g_screenDepth = 8;
    }
    ReadConfigFile();
    DeriveSettings();
    ReadFontFile();
    SetDefaultLighting();
    LoadLighting();
}
