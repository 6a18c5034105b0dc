#include "base/settings.h"
#include "base/app.h"
#include "base/textutil.h"
#include "ovrin.h"
#include <stdio.h>
#include <string.h>

Settings g_cfg;

static void Under(char *out, const char *dir, const char *leaf)
{
    snprintf(out, kPathBytes, "%s\\%s", dir, leaf);
}

void GetProgramDirectory(char *out, size_t size)
{
    char path[MAX_PATH] = "";
    DWORD n = GetModuleFileNameA(NULL, path, sizeof path);
    if (n == 0 || n >= sizeof path)
        path[0] = 0;
    char *slash = strrchr(path, '\\');
    if (slash)
        *slash = 0;
    snprintf(out, size, "%s", path);
}

void SetDefaultSettings(const char *appDir)
{
    Settings &c = g_cfg;
    memset(&c, 0, sizeof c);
    snprintf(c.appDir, sizeof c.appDir, "%s", appDir);
    snprintf(c.Susie_dir, kPathBytes, "???");
    Under(c.Saver_dir, appDir, "SavePlug");
    Under(c.Subwin_dir, appDir, "Subwin");
    Under(c.Draw_dir, appDir, "Draw");
    Under(c.Effect_dir, appDir, "Effect");
    Under(c.Transform_dir, appDir, "Trans");
    Under(c.FuncColor_dir, appDir, "Fcolor");
    Under(c.ExtCommand_dir, appDir, "ExtCmd");
    Under(c.Parameter_dir, appDir, "Param");
    Under(c.Layer_dir, appDir, "Layer");
    Under(c.Stat_dir, appDir, "Stat");
    Under(c.Macro_dir, appDir, "Macro");
    Under(c.OldPlug_dir, appDir, "OldPlug");
    snprintf(c.OpenFile_dir, kPathBytes, "%s", appDir);
    Under(c.penDir, appDir, "Pen");
    Under(c.workDir, appDir, "qz_temp");
    Under(c.mr2TempDir, c.workDir, "mr2_temp");
    Under(c.helpDir, appDir, "help");
    strcpy(c.MainWinMenu, "QzMain.mnu");
    strcpy(c.EditWinMenu, "Dazaz.mnu");
    strcpy(c.KeyMap, "Ovrin.key");
    c.NewImageX = 768;
    c.NewImageY = 512;
    c.InitZoom = 1;
    c.RegAnimationVelocity = 5;
    c.PreviewInOpenDlg = 0;
    c.OpenPreviewX = 15;
    c.OpenPreviewY = 210;
    c.OpenPreviewSizeX = 80;
    c.OpenPreviewSizeY = 80;
    c.AutoAdjustMode = 1;
    c.WinCloseWhenNoImage = 1;
    c.CloseAllImageWhenQuit = 0;
    c.BindImageToOneWindow = 1;
    c.CloseImageWithWindow = 0;
    c.CloseButtonAsCloseImage = 1;
    c.CopyOnlyRegionToClip = 1;
    c.EffectAutoPreview = 1;
    c.SynchronizeUpdateImage = 1;
    c.StretchBltMode = 1;
    c.EffectPreviewMode = 0;
    c.PreviewPenShape = 1;
    c.ChangeDrawWithFuncColor = 1;
    c.AutoActivateWhenDrag = 1;
    c.FrameX = 33;
    c.FrameY = 33;
    c.NoBarFrameSize = 16;
    c.AdjMaxSizeX = g_screenWidth - 10;
    c.AdjMaxSizeY = g_screenHeight - 10;
    c.WindowCutWhenAdjust = 1;
    c.KeepFreeAreaRate = 10;
    c.MaxUndoBuffer = 0;
    c.LANG = -99;
    strcpy(c.ExtensionOfDictionary, "JPN");
    c.EditWindowOrgX = 50;
    c.EditWindowOrgY = 100;
    c.ItemWindowOrgX = 700;
    c.ItemWindowOrgY = 10;
    strcpy(c.UntitledFileHeader, "Image");
    strcpy(c.DefaultSaveFormat, "MRF");
    c.DefaultSaveDepth = 32;
    c.SaveModeInMultiImage = 10;
    c.DisplayPenShape = 1;
    c.MainWindowSizeX = 20000;
    c.MainWindowSizeY = 53;
    c.AutoHideCliedWindow = 1;
    c.NewImageBackground = 0;
    static const int sizes[kRememberedSizes][2] = {{256, 256},  {512, 512},  {640, 400},  {768, 512},  {1024, 768},
                                                   {1024, 768}, {1024, 768}, {1024, 768}, {1024, 768}, {1024, 768}};
    memcpy(c.NewImageSize, sizes, sizeof sizes);
    c.closeMode = 1; // BindImageToOneWindow is on by default
    c.closeButtonMode = 0;
}

char g_oldPlugDir[kOldPlugKinds][kPathBytes];

void DeriveSettings()
{
    static const char *const leaves[kOldPlugKinds] = {"SavePlug", "Draw",   "Fcolor", "Pen",   "Effect", "Subwin",
                                                      "Stat",     "Trans",  "ExtCmd", "Param", "Layer"};
    for (int i = 0; i < kOldPlugKinds; i++)
        Under(g_oldPlugDir[i], g_cfg.OldPlug_dir, leaves[i]);
    if (g_cfg.BindImageToOneWindow) {
        g_cfg.closeMode = 1;
        g_cfg.closeButtonMode = 0;
    } else {
        g_cfg.closeMode = g_cfg.CloseImageWithWindow;
        g_cfg.closeButtonMode = g_cfg.CloseButtonAsCloseImage;
    }
}

const char *ExpandHomePath(const char *path)
{
    static char s_expanded[kPathBytes];
    if (path[0] == '~')
        snprintf(s_expanded, sizeof s_expanded, "%s%s", g_cfg.appDir, path + 1);
    else
        CopyText(s_expanded, sizeof s_expanded, path);
    return s_expanded;
}

const char *ShortenHomePath(const char *path)
{
    static char s_shortened[kPathBytes];
    size_t n = strlen(g_cfg.appDir);
    if (n > 0 && strncmp(path, g_cfg.appDir, n) == 0)
        snprintf(s_shortened, sizeof s_shortened, "~%s", path + n);
    else
        CopyText(s_shortened, sizeof s_shortened, path);
    return s_shortened;
}

QZS_DECL(int) QzsGetAppDirectory(int kind, char *out)
{
    const char *dir = NULL;
    switch (kind) {
    case 100: dir = g_cfg.Susie_dir; break;
    case 101: dir = g_cfg.Saver_dir; break;
    case 102: dir = g_cfg.Draw_dir; break;
    case 103: dir = g_cfg.FuncColor_dir; break;
    case 104: dir = g_cfg.penDir; break;
    case 105: dir = g_cfg.Effect_dir; break;
    case 106: dir = g_cfg.Subwin_dir; break;
    case 107: dir = g_cfg.Transform_dir; break;
    case 108: dir = g_cfg.Macro_dir; break;
    case 109: dir = g_cfg.Stat_dir; break;
    case 110: dir = g_cfg.ExtCommand_dir; break;
    case 111: dir = g_cfg.Layer_dir; break;
    }
    if (!dir || !out)
        return 0;
    snprintf(out, kPathBytes, "%s", dir);
    return 1;
}
