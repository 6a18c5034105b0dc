// Save plug-ins: the table of loaded save modules and the option texts handed to the one that
// writes. Save formats are numbered 1 mrf, 2 mr2, 3 BMP and 4 + i for row i of the table.
#pragma once
#include "ovrin.h"

enum { kFormatMrf = 1, kFormatMr2 = 2, kFormatBmp = 3, kFirstPluginFormat = 4 };
enum { kSaverRows = 100, kSaveOptionSlots = 10, kSaveOptionBytes = 10, kSaveFilterBytes = 8192 };
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
extern char g_furtherSaveFilter[kSaveFilterBytes];

// The save-plug-in loader: fills rows from 0 and appends one filter entry per row. Returns the count.
int LoadSavePlugins(SaverRecord *table, const char *directory, char *filter, int filterSize);
void UnloadSavePlugins();
SaverRecord *GetSaverRow(int format); // the row of a plug-in format, NULL for none
// Information text n of a row's module, always terminated; 0 when the module lacks the entry.
int SaverAddinInfo(const SaverRecord *row, int n, char *out, int size);
// Rows of the save-plug-in table; NULL for a row that holds no plug-in.
const char *SavePluginFormatName(int row);
const char *SavePluginFilter(int row);
enum { kSavePluginRows = kSaverRows };
void SetSaveOption(int index, const char *text);
void ClearSaveOptions();
int GetSaveOptionCount();
char **GetSaveOptionTable();
