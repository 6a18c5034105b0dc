// Settings of the program: every key of the configuration file "ovrin.cfg", held under the key's
// own name, with the application directories derived from the program's location.
#pragma once
#include <windows.h>
#include <commdlg.h>
#include <stdint.h>

enum { kPathBytes = 512, kTextBytes = 256, kRememberedSizes = 10 };
// Every image window's display holds the picture with a margin of FrameX, FrameY around it: far
// past a screen's size it only costs memory and time, and near the int range its size overflows.
const int kMostFrameMargin = 1024;

struct Settings {
    // directories (the "~" shorthand is expanded when read)
    char Susie_dir[kPathBytes];
    char Saver_dir[kPathBytes];
    char Subwin_dir[kPathBytes];
    char Draw_dir[kPathBytes];
    char Effect_dir[kPathBytes];
    char Transform_dir[kPathBytes];
    char FuncColor_dir[kPathBytes];
    char ExtCommand_dir[kPathBytes];
    char Parameter_dir[kPathBytes];
    char Layer_dir[kPathBytes];
    char Stat_dir[kPathBytes];
    char Macro_dir[kPathBytes];
    char OldPlug_dir[kPathBytes];
    char OpenFile_dir[kPathBytes];
    // file names in the Stat directory
    char MainWinMenu[kPathBytes];
    char EditWinMenu[kPathBytes];
    char KeyMap[kPathBytes];
    int NewImageX, NewImageY;
    int InitZoom;
    int RegAnimationVelocity;
    int PreviewInOpenDlg;
    int OpenPreviewX, OpenPreviewY, OpenPreviewSizeX, OpenPreviewSizeY;
    int AutoAdjustMode;
    int WinCloseWhenNoImage;
    int CloseAllImageWhenQuit;
    int BindImageToOneWindow;
    int CloseImageWithWindow;
    int CloseButtonAsCloseImage;
    int CopyOnlyRegionToClip;
    int EffectAutoPreview;
    int SynchronizeUpdateImage;
    int StretchBltMode;
    int EffectPreviewMode;
    int PreviewPenShape;
    int ChangeDrawWithFuncColor;
    int AutoActivateWhenDrag;
    int FrameX, FrameY;
    int NoBarFrameSize;
    int AdjMaxSizeX, AdjMaxSizeY;
    int WindowCutWhenAdjust;
    int KeepFreeAreaRate;
    int64_t MaxUndoBuffer; // bytes; 0 no limit
    int LANG;              // 0 English, 1 translated, negative: not chosen yet
    char ExtensionOfDictionary[kTextBytes];
    int DrawParameterX, DrawParameterY;
    int EditWindowOrgX, EditWindowOrgY;
    int ItemWindowOrgX, ItemWindowOrgY;
    int FuncColParameterX, FuncColParameterY;
    char UntitledFileHeader[kTextBytes];
    char DefaultSaveFormat[kTextBytes];
    int DefaultSaveDepth;
    int SaveModeInMultiImage;
    char PenCreatorName[kTextBytes];
    char PenParameter[kTextBytes];
    int DisplayPenShape;
    int MainWindowSizeX, MainWindowSizeY;
    int AutoHideCliedWindow;
    char DrawMethod[kTextBytes];
    int NewImageBackground;
    int NewImageSize[kRememberedSizes][2]; // width, height

    // derived after reading
    int closeMode;       // close mode of the CloseWindow command
    int closeButtonMode; // 1: an image window's close button closes its image
    char appDir[kPathBytes];
    char penDir[kPathBytes];
    char workDir[kPathBytes];    // qz_temp
    char mr2TempDir[kPathBytes]; // qz_temp\mr2_temp
    char helpDir[kPathBytes];
};

extern Settings g_cfg;

// Where replaced plug-ins and data files are kept, under OldPlug_dir, by kind.
enum OldPlugKind { kOldSavePlug, kOldDraw, kOldFcolor, kOldPen, kOldEffect, kOldSubwin, kOldStat, kOldTrans,
                   kOldExtCmd, kOldParam, kOldLayer, kOldPlugKinds };
extern char g_oldPlugDir[kOldPlugKinds][kPathBytes];

// "~" stands for the application directory in the file. Both return a buffer that the next call
// overwrites.
const char *ExpandHomePath(const char *path);
const char *ShortenHomePath(const char *path);
// After reading: the old-plug directories and the close modes derived from the settings.
void DeriveSettings();

// Every default, for the application directory given (no trailing backslash).
void SetDefaultSettings(const char *appDir);
// The directory of the program's own module.
void GetProgramDirectory(char *out, size_t size);

void WriteFontFile();
void ReadFontFile();
extern LOGFONTA g_paramFont;     // the parameter font, kept in "font.dat"
extern CHOOSEFONTA g_fontChooser; // started from g_paramFont
extern HFONT g_statusFont;       // status texts, 12 pixels high
HFONT GetStatusFont();           // made on first use
extern int g_paramFontHeight;
