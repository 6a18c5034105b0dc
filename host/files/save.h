// Saving images: the save formats, the save dialog and the writers.
#pragma once
#include "ovrin.h"
#include "plugins/savers.h"

enum { kMaskNative = 0x40, kMaskBmp = 0x78 };

extern const char kNativeSaveFilter[];

int FindSaveFormatByName(const char *name);                     // -1 for none
int GetSaveFormatExtension(int format, char *out, int size);    // 1, or 0 with "@@@"
int GetFormatDepthMask(int format);
int DepthBit(int depth);
int DepthToButtonId(int depth, int saveDialog);
void ShowSaveDepthButtons(HWND dialog, int format, int saveDialog);
int SelectSaveDepthButton(HWND dialog, int format, int depth, int saveDialog);
// The depth itself when the format takes it, else the first of 32, 24, 16, 8 that it takes.
int PickSaveDepth(int format, int depth);

// Save state.
void SetSaveFormat(int format);
int GetSaveFormat();
void SetCurrentSaveFormat(int format);

// Depth buttons of the save dialog (saveDialog 1) and the options File page (saveDialog 0).
int DepthToButtonId(int depth, int saveDialog);
void ShowSaveDepthButtons(HWND dialog, int format, int saveDialog);
int SelectSaveDepthButton(HWND dialog, int format, int depth, int saveDialog);
void SetSaveDepth(int depth);
int GetSaveDepth();
void SetSaveHighQuality(int on);
int GetSaveHighQuality();

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
