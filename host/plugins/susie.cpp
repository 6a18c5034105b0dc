// Outside image readers: found in the Susie directory at start-up, kept only when they are import
// filters, asked in load order by the readers of files; the open dialog's filter lists them.
#include "plugins/susie.h"
#include "plugins/loader.h"
#include "base/app.h"
#include "base/messages.h"
#include "base/msgbox.h"
#include "base/settings.h"
#include <io.h>
#include <stdio.h>
#include <string.h>

SusieReaderRecord g_susieReaders[kSusieRows];

static const char kNoDirectory[] = "???";
enum { kVersionBytes = 255, kInfoBytes = 128 };

// Until readers are loaded the filter lists the built-in formats, already split.
static char s_openFilter[kOpenFilterBytes] =
    "All Image File\0*.mrf;*.bmp\0Mirel File (*.mrf)\0*.mrf\0BMP (*.bmp)\0*.bmp\0";

char *GetOpenFilterText() { return s_openFilter; }

// ---- directory ----

void FindSusieDirectory()
{
    if (strcmp(g_cfg.Susie_dir, kNoDirectory) != 0)
        return;
    char value[kPathBytes + 1] = "";
    bool found = false;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Morivan\\Susie\\Plug-in", 0, KEY_READ, &key) == ERROR_SUCCESS) {
        DWORD size = kPathBytes, type = 0;
        // A registry text need not end with a NUL: it is ended here, after the bytes read.
        if (RegQueryValueExA(key, "Path", NULL, &type, (BYTE *)value, &size) == ERROR_SUCCESS &&
            (type == REG_SZ || type == REG_EXPAND_SZ)) {
            value[size < (DWORD)kPathBytes ? size : (DWORD)kPathBytes] = 0;
            found = true;
        } else {
            value[0] = 0;
        }
        char text[kPathBytes + 64];
        snprintf(text, sizeof text, "Susie Plug-in directory :%s", value);
        AppMessageBox(g_mainWindow, text, "MES", MB_OK);
        RegCloseKey(key);
    }
    // A directory that does not fit whole would be another one.
    if (found && value[0] && strlen(value) < kPathBytes) {
        snprintf(g_cfg.Susie_dir, kPathBytes, "%s", value);
        return;
    }
    snprintf(g_cfg.Susie_dir, kPathBytes, "%s\\ssPlug", g_cfg.appDir);
    CreateDirectoryA(g_cfg.Susie_dir, NULL);
}

// ---- loading ----

static void ClearRow(SusieReaderRecord *row)
{
    memset(row, 0, sizeof *row);
    row->state = 1;
}

// Information text n, ended after at most size bytes whatever the module wrote there.
static void CallInfo(SusieGetPluginInfoProc info, int n, char *out, int size)
{
    memset(out, 0, (size_t)size + 1);
    info(n, out, size);
    out[size] = 0;
}

template <class Proc> static Proc Entry(HMODULE module, const char *name)
{
    return (Proc)(void *)GetProcAddress(module, name);
}

// Loads file into row; 1 when the row now holds a usable import filter. Any other module is
// freed and the row left free for the next file.
static int LoadReaderRow(SusieReaderRecord *row, const char *file)
{
    HMODULE module = strlen(file) < kSusieFileBytes ? LoadPluginModule(g_cfg.Susie_dir, file) : NULL;
    if (!module) {
        ShowErrorMessageArg(g_mainWindow, 37, file);
        return 0;
    }
    row->module = module;
    snprintf(row->file, sizeof row->file, "%s", file);
    row->GetPluginInfo = Entry<SusieGetPluginInfoProc>(module, "GetPluginInfo");
    int message = 38;
    if (row->GetPluginInfo) {
        char version[kVersionBytes + 1];
        CallInfo(row->GetPluginInfo, 0, version, kVersionBytes);
        if (version[0] && version[1] && version[2] == 'I') {
            row->GetPicture = Entry<SusieGetPictureProc>(module, "GetPicture");
            row->IsSupported = Entry<SusieIsSupportedProc>(module, "IsSupported");
            message = !row->GetPicture ? 39 : !row->IsSupported ? 40 : 0;
        } else {
            message = -1; // an archive extractor or another kind: left out without a word
        }
    }
    if (message == 0) {
        row->state = 0;
        return 1;
    }
    if (message > 0)
        ShowErrorMessageArg(g_mainWindow, message, file);
    FreeLibrary(module);
    ClearRow(row);
    return 0;
}

void FreeSusiePlugins()
{
    for (SusieReaderRecord &row : g_susieReaders) {
        if (row.module)
            FreeLibrary(row.module);
        ClearRow(&row);
    }
}

void LoadSusiePlugins()
{
    FreeSusiePlugins();
    if (strcmp(g_cfg.Susie_dir, kNoDirectory) == 0)
        return;
    char pattern[kPathBytes + 8];
    int count = 0;
    WIN32_FIND_DATAA found;
    snprintf(pattern, sizeof pattern, "%s\\*.spi", g_cfg.Susie_dir);
    HANDLE search = FindFirstPlainFile(pattern, &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (count >= kSusieRows - 1)
                break; // the last row stays the end of the table
            if (LoadReaderRow(&g_susieReaders[count], found.cFileName))
                count++;
        } while (FindNextPlainFile(search, &found));
        FindClose(search);
    }
    BuildOpenFilter();
}

// ---- the open filter ----

// Appends text when it fits whole, leaving room for the ending NUL.
static bool Append(size_t *used, const char *text)
{
    size_t n = strlen(text);
    if (*used + n + 1 >= sizeof s_openFilter)
        return false;
    memcpy(s_openFilter + *used, text, n + 1);
    *used += n;
    return true;
}

// Information text n of a reader as a filter part: cut at a "|", which would split the entry.
static void FilterText(const SusieReaderRecord &row, int n, char *out)
{
    CallInfo(row.GetPluginInfo, n, out, kInfoBytes);
    if (char *bar = strchr(out, '|'))
        *bar = 0;
}

void BuildOpenFilter()
{
    size_t used = 0;
    s_openFilter[0] = 0;
    char pattern[kInfoBytes + 1], description[kInfoBytes + 1], entry[3 * kInfoBytes + 8];
    Append(&used, "All Image File|*.mrf;*.bmp");
    for (int i = 0; i < kSusieRows && g_susieReaders[i].state == 0 && g_susieReaders[i].module; i++) {
        FilterText(g_susieReaders[i], 2, pattern);
        if (pattern[0]) {
            snprintf(entry, sizeof entry, ";%s", pattern);
            Append(&used, entry);
        }
    }
    Append(&used, "|Mirel File (*.mrf)|*.mrf|BMP (*.bmp)|*.bmp|");
    for (int i = 0; i < kSusieRows && g_susieReaders[i].state == 0 && g_susieReaders[i].module; i++) {
        FilterText(g_susieReaders[i], 2, pattern);
        FilterText(g_susieReaders[i], 3, description);
        // An empty pattern would end the dialog's list early: such a reader gets no entry.
        if (!pattern[0])
            continue;
        snprintf(entry, sizeof entry, "%s (%s)|%s|", description, pattern, pattern);
        Append(&used, entry);
    }
}

// ---- calls into the readers ----

static SusieReaderRecord *UsableRow(int reader)
{
    if (reader < 0 || reader >= kSusieRows)
        return NULL;
    for (int i = 0; i <= reader; i++)
        if (g_susieReaders[i].state != 0 || !g_susieReaders[i].module)
            return NULL;
    return &g_susieReaders[reader];
}

int CountSusieReaders()
{
    int n = 0;
    while (n < kSusieRows && g_susieReaders[n].state == 0 && g_susieReaders[n].module)
        n++;
    return n;
}

int SusieIsSupported(int reader, const char *source, FILE *file, int fromMemory)
{
    SusieReaderRecord *row = UsableRow(reader);
    if (!row || (!fromMemory && !file))
        return 0;
    ULONG_PTR word = fromMemory ? (ULONG_PTR)source : (ULONG_PTR)_get_osfhandle(_fileno(file));
    return row->IsSupported(source, word) != 0;
}

// The reader's progress calls go to the caller's callback; the preview reads on its own thread.
static thread_local QzProgressProc t_progress;

static int QZCAPI ForwardProgress(int done, int total, LONG_PTR)
{
    return t_progress ? t_progress(done, total, 0) : 0;
}

int SusieGetPicture(int reader, const char *source, int fromMemory, int64_t length, HGLOBAL *header,
                    HGLOBAL *bits, QzProgressProc progress)
{
    *header = *bits = NULL;
    SusieReaderRecord *row = UsableRow(reader);
    // Bytes in memory go with their length, the reader's only bound; a file is read from its start.
    if (!row || (fromMemory && (length <= 0 || (uint64_t)length > (uint64_t)INTPTR_MAX)))
        return 1;
    HANDLE h = NULL, b = NULL;
    QzProgressProc outer = t_progress;
    t_progress = progress;
    LONG_PTR offsetOrLength = fromMemory ? (LONG_PTR)length : 0;
    int result = row->GetPicture(source, offsetOrLength, fromMemory ? 1 : 0, &h, &b, ForwardProgress, 0);
    t_progress = outer;
    if (result != 0)
        return result;
    if (!h || !b) {
        if (h)
            GlobalFree(h);
        if (b)
            GlobalFree(b);
        return 1;
    }
    *header = h;
    *bits = b;
    return 0;
}

int SusiePluginInfo(int reader, int n, char *text, int size)
{
    if (size <= 0)
        return 0;
    text[0] = 0;
    SusieReaderRecord *row = UsableRow(reader);
    if (!row || size < 2)
        return 0;
    CallInfo(row->GetPluginInfo, n, text, size - 1);
    return 1;
}
