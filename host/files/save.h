// Saving images: the save-format table, the save dialog and the writers.
#pragma once
#include "ovrin.h"

enum { kFormatMrf = 1, kFormatMr2 = 2, kFormatBmp = 3, kFirstPluginFormat = 4 };
enum { kSaverRows = 100, kSaveOptionSlots = 10, kSaveOptionBytes = 10, kSaveFilterBytes = 8192 };
enum { kMaskNative = 0x40, kMaskBmp = 0x78 };

// A row of the save-plug-in table; a row whose module is 0 ends the table.
struct SaverRecord {
    HMODULE module;
    uint32_t reserved;
    char name[256];       // file name; the text before its last "." names its option files
    char formatName[80];  // information text 3
    char filter[80];      // information text 2, such as "*.PCT"
    SupportImageProc SupportImage;
    WritePictureProc WritePicture;
};
extern SaverRecord g_saverTable[kSaverRows + 1]; // the last row always stays empty
extern const char kNativeSaveFilter[];
extern char g_furtherSaveFilter[kSaveFilterBytes];

// The save-plug-in loader: fills rows from 0 and appends one filter entry per row. Returns the count.
int LoadSavePlugins(SaverRecord *table, const char *directory, char *filter, int filterSize);
void UnloadSavePlugins();
SaverRecord *GetSaverRow(int format); // the row of a plug-in format, NULL for none

int FindSaveFormatByName(const char *name);                     // -1 for none
int GetSaveFormatExtension(int format, char *out, int size);    // 1, or 0 with "@@@"
int GetFormatDepthMask(int format);
int DepthBit(int depth);
int DepthToButtonId(int depth, int saveDialog);
void ShowSaveDepthButtons(HWND dialog, int format, int saveDialog);
int SelectSaveDepthButton(HWND dialog, int format, int depth, int saveDialog);

// Save state.
void SetSaveFormat(int format);
int GetSaveFormat();
void SetCurrentSaveFormat(int format);

// Depth buttons of the save dialog (saveDialog 1) and the options File page (saveDialog 0).
int DepthToButtonId(int depth, int saveDialog);
void ShowSaveDepthButtons(HWND dialog, int format, int saveDialog);
int SelectSaveDepthButton(HWND dialog, int format, int depth, int saveDialog);
// Rows of the save-plug-in table; NULL for a row that holds no plug-in.
const char *SavePluginFormatName(int row);
const char *SavePluginFilter(int row);
enum { kSavePluginRows = kSaverRows };
void SetSaveDepth(int depth);
int GetSaveDepth();
void SetSaveHighQuality(int on);
int GetSaveHighQuality();
void SetSaveOption(int index, const char *text);
void ClearSaveOptions();
int GetSaveOptionCount();
char **GetSaveOptionTable();

// Saving. Every save result: 1 written, 0 cancelled, nothing to save or failed (reported; the
// image keeps its name, path and modified flag and the file at the path is untouched).
int SaveImage(ImageGroup *group, CDIB *image, const char *path);
int SaveImageGroup(ImageGroup *group, const char *path);
int SaveGroupLayer(ImageGroup *group, LayerRecord *layer, const char *path);
int SaveAsDefault(ImageGroup *group);
void SaveAllImages();
int SaveImageAsBmp(const char *path, CDIB *image);
int SetWallPaper(int tile); // 1 set
int ConvertImageDepth(CDIB *source, int depth, CDIB *dest, QzProgressProc progress); // 0 done, 1 no memory
int QZCAPI ShowSaveProgress(int done, int total, int reserved);
int ShowSaveFileDialog(ImageGroup *group, char *buffer, int size); // 0 chosen, 1 cancelled
// The proposed name: directory and name without extension of the group's base image.
void GetProposedSaveName(const ImageGroup *group, char *dir, int dirSize, char *name, int nameSize);
