// The save plug-ins: their table, loaded from the save directory with one filter entry each, and
// the option texts handed to the one that writes.
#include "plugins/savers.h"
#include "plugins/loader.h"
#include <algorithm>
#include <stdio.h>
#include <string.h>
#include <string>
#include <vector>

SaverRecord g_saverTable[kSaverRows + 1];
char g_furtherSaveFilter[kSaveFilterBytes] = "BMP (*.bmp)|*.bmp|";


static char s_options[kSaveOptionSlots][kSaveOptionBytes];
static char *s_optionTable[kSaveOptionSlots];
static int s_optionCount;

void SetSaveOption(int index, const char *text)
{
    // Ten slots of nine characters: longer texts are cut, further indexes dropped.
    if (index < 0 || index >= kSaveOptionSlots)
        return;
    snprintf(s_options[index], kSaveOptionBytes, "%s", text ? text : "");
    s_optionCount = index + 1;
}

void ClearSaveOptions()
{
    memset(s_options, 0, sizeof s_options);
    s_optionCount = 0;
}

int GetSaveOptionCount() { return s_optionCount; }

char **GetSaveOptionTable()
{
    for (int i = 0; i < kSaveOptionSlots; i++)
        s_optionTable[i] = s_options[i];
    return s_optionTable;
}

// ---- the plug-in rows ----

SaverRecord *GetSaverRow(int format)
{
    int row = format - kFirstPluginFormat;
    if (row < 0 || row >= kSaverRows)
        return NULL;
    for (int i = 0; i <= row; i++)
        if (!g_saverTable[i].module)
            return NULL;
    return &g_saverTable[row];
}

// Information text n of a row's module, always terminated; 0 when the module lacks the entry.
int SaverAddinInfo(const SaverRecord *row, int n, char *out, int size)
{
    out[0] = 0;
    GetAddinInfoProc info = row ? (GetAddinInfoProc)(void *)GetProcAddress(row->module, "GetAddinInfo") : NULL;
    if (!info || size < 2)
        return 0;
    memset(out, 0, (size_t)size);
    info(n, out, size - 1);
    out[size - 1] = 0;
    return 1;
}

static bool BindRow(SaverRecord *row, const char *directory, const char *file)
{
    char path[MAX_PATH * 2];
    snprintf(path, sizeof path, "%s\\%s", directory, file);
    HMODULE module = LoadLibraryA(path);
    if ((UINT_PTR)module < 32)
        return false;
    GetAddinInfoProc info = (GetAddinInfoProc)(void *)GetProcAddress(module, "GetAddinInfo");
    SupportImageProc support = (SupportImageProc)(void *)GetProcAddress(module, "SupportImage");
    WritePictureProc write = (WritePictureProc)(void *)GetProcAddress(module, "WritePicture");
    if (!info || !support || !write) {
        FreeLibrary(module);
        return false;
    }
    memset(row, 0, sizeof *row);
    row->module = module;
    snprintf(row->name, sizeof row->name, "%s", file);
    SaverAddinInfo(row, 3, row->formatName, sizeof row->formatName);
    SaverAddinInfo(row, 2, row->filter, sizeof row->filter);
    row->SupportImage = support;
    row->WritePicture = write;
    return true;
}

int LoadSavePlugins(SaverRecord *table, const char *directory, char *filter, int filterSize)
{
    // Modules in name order, so that format numbers do not depend on the directory's order.
    std::vector<std::string> files;
    char pattern[MAX_PATH * 2];
    snprintf(pattern, sizeof pattern, "%s\\*.ovp", directory);
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA(pattern, &fd);
    if (find != INVALID_HANDLE_VALUE) {
        do
            if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                files.push_back(fd.cFileName);
        while (FindNextFileA(find, &fd));
        FindClose(find);
    }
    std::sort(files.begin(), files.end(),
              [](const std::string &a, const std::string &b) { return _stricmp(a.c_str(), b.c_str()) < 0; });
    int count = 0;
    for (const std::string &file : files) {
        if (count >= kSaverRows)
            break;
        if (!BindRow(&table[count], directory, file.c_str()))
            continue;
        size_t used = strlen(filter);
        char entry[256];
        snprintf(entry, sizeof entry, "%s (%s)|%s|", table[count].formatName, table[count].filter,
                 table[count].filter);
        if (used + strlen(entry) >= (size_t)filterSize) {
            // A row without its filter entry would shift every later format number of the save
            // dialog onto the wrong plug-in: neither it nor later ones are kept.
            FreeLibrary(table[count].module);
            memset(&table[count], 0, sizeof table[count]);
            break;
        }
        memcpy(filter + used, entry, strlen(entry) + 1);
        count++;
    }
    memset(&table[count], 0, sizeof table[count]);
    return count;
}

void UnloadSavePlugins()
{
    for (SaverRecord &row : g_saverTable) {
        if (!row.module)
            break;
        FreeLibrary(row.module);
        memset(&row, 0, sizeof row);
    }
    snprintf(g_furtherSaveFilter, sizeof g_furtherSaveFilter, "BMP (*.bmp)|*.bmp|");
}

// ---- names, extensions, masks ----

const char *SavePluginFormatName(int row)
{
    if (row < 0 || row >= kSaverRows || !g_saverTable[row].module)
        return NULL;
    return g_saverTable[row].formatName;
}

const char *SavePluginFilter(int row)
{
    return SavePluginFormatName(row) ? g_saverTable[row].filter : NULL;
}

