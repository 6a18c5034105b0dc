// Opening images: every way in ends in OpenImageFile, which tries the readers in a fixed order.
#include "base/cursors.h"
#include "view/regionborder.h"
#include "view/groupview.h"
#include "files/openimage.h"
#include "base/recent.h"
#include "files/bmp.h"
#include "files/mrf.h"
#include "files/mr2.h"
#include "files/openpreview.h"
#include "files/outside.h"
#include "files/progress.h"
#include "image/cdib.h"
#include "image/group.h"
#include "image/imagelist.h"
#include "plugins/dirlist.h"
#include "plugins/subwin.h"
#include "plugins/susie.h"
#include "base/app.h"
#include "base/settings.h"
#include "base/messages.h"
#include "base/textutil.h"
#include "view/winlist.h"
#include <commdlg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>

char g_lastOpenDirectory[512];
char g_progressText[512];
static int s_filterIndex = 1;

enum { kReaderNone = -100, kReaderBmp = -1, kOpenTemplate = 144, kReaderPeekBytes = 2048 };

// ---- paths ----

const char *GetLastOpenDirectory()
{
    return g_lastOpenDirectory[0] ? g_lastOpenDirectory : g_cfg.OpenFile_dir;
}

void ForgetOpenState()
{
    g_lastOpenDirectory[0] = 0;
    g_progressText[0] = 0;
    s_filterIndex = 1;
}

static const char *LastSeparator(const char *path)
{
    const char *cut = NULL;
    for (const char *p = path; *p; p++) {
        if (IsDBCSLeadByte((BYTE)*p) && p[1]) {
            p++;
            continue;
        }
        if (*p == '\\')
            cut = p;
    }
    return cut;
}

const char *GetFileNamePart(const char *path)
{
    if (!path)
        return "";
    const char *cut = LastSeparator(path);
    return cut ? cut + 1 : path;
}

void GetDirectoryPart(const char *path, char *out, int size)
{
    const char *cut = LastSeparator(path);
    size_t n = cut ? (size_t)(cut - path) : 0;
    if (n >= (size_t)size)
        n = (size_t)size - 1;
    memcpy(out, path, n);
    out[n] = 0;
}

// ---- progress ----

int QZCAPI ShowLoadProgress(int done, int total, int reserved)
{
    if (done == 0 && !IsFileProgressOpen()) {
        OpenFileProgress("Now loading...");
        return 0;
    }
    if (done != 0)
        StepFileProgress(done, total);
    return 0;
}

void ShowOpenFailure(const char *path)
{
    char shown[200];
    CopyTextForDisplay(shown, sizeof shown, path ? path : "");
    ShowErrorMessageArg(g_mainWindow, 16, shown);
}

// ---- readers ----

// Asks the readers in load order; the first that takes the source reads it. 1 read, 0 the taker
// failed (reported for a file; bytes from memory are part of a file whose reader reports), -1 none
// took it.
static int AskSusieReaders(const char *source, FILE *file, int fromMemory, int64_t length,
                           QzProgressProc progress, HGLOBAL *header, HGLOBAL *bits, int *reader)
{
    int count = CountSusieReaders();
    for (int i = 0; i < count; i++) {
        int taken = SusieIsSupported(i, source, file, fromMemory);
        if (file)
            fseek(file, 0, SEEK_SET);
        if (!taken)
            continue;
        if (file)
            fclose(file);
        snprintf(g_progressText, sizeof g_progressText, "%s", fromMemory ? "(Memory)" : GetFileNamePart(source));
        if (SusieGetPicture(i, source, fromMemory, length, header, bits, progress) != 0) {
            if (!fromMemory)
                ShowErrorMessage(g_mainWindow, 18);
            return 0;
        }
        *reader = i;
        return 1;
    }
    return -1;
}

int ReadImageViaSusie(const char *source, QzProgressProc progress, HGLOBAL *header, HGLOBAL *bits, int *reader,
                      int fromMemory, int64_t memorySize)
{
    *reader = kReaderNone;
    *header = *bits = NULL;
    if (fromMemory) {
        // Readers may look at the first 2 KB of the data: a shorter block is lent padded with zeros.
        // The length they are given stays the data's own.
        char *padded = NULL;
        if (memorySize < kReaderPeekBytes) {
            padded = (char *)calloc(kReaderPeekBytes, 1);
            if (!padded)
                return 0;
            if (memorySize > 0)
                memcpy(padded, source, (size_t)memorySize);
            source = padded;
        }
        int result = AskSusieReaders(source, NULL, 1, memorySize, progress, header, bits, reader);
        free(padded);
        return result > 0;
    }
    FILE *file = fopen(source, "rb");
    if (!file) {
        ShowOpenFailure(source);
        return 0;
    }
    int result = AskSusieReaders(source, file, 0, 0, progress, header, bits, reader);
    if (result >= 0)
        return result;
    fclose(file);
    if (!ReadBmpFile(source, header, bits, progress)) {
        CloseFileProgress();
        ShowErrorMessage(g_mainWindow, 17);
        return 0;
    }
    *reader = kReaderBmp;
    return 1;
}

QZS_DECL(int) QzsReadImageFile(const char *path, QzProgressProc progress, HGLOBAL *header, HGLOBAL *bits)
{
    if (!path || !header || !bits)
        return 0;
    SetMessageBatching(true);
    MarkFileProgressClosed();
    if (!progress)
        progress = ShowLoadProgress;
    int result, reader;
    if (IsMrfFile(path))
        result = ReadMrfFirstImage(path, progress, header, bits);
    else if (IsMr2File(path))
        result = ReadMr2FirstImage(path, progress, header, bits);
    else
        result = ReadImageViaSusie(path, progress, header, bits, &reader, 0, 0);
    SetMessageBatching(false);
    CloseFileProgress();
    return result;
}

// ---- OpenImageFile ----

static void ListDirectory(const char *path)
{
    BuildDirFileList(path);
    BroadcastGetDirectory((INT_PTR)path, 0);
    FreeDirFileList();
}

static HCURSOR s_previousCursor;

static void EndOpen()
{
    CloseFileProgress();
    SetCursor(s_previousCursor);
}

static void NameOpenedImage(CDIB *image, const char *path, const char *format)
{
    snprintf(image->path, sizeof image->path, "%s", path);
    snprintf(image->name, sizeof image->name, "%s", GetFileNamePart(path));
    image->untitledNumber = 0;
    memset(image->format, 0, sizeof image->format);
    memcpy(image->format, format, strnlen(format, sizeof image->format));
    GetDirectoryPart(path, g_lastOpenDirectory, sizeof g_lastOpenDirectory);
}

// A native reader's group; result 1 when a native reader took the file (opened or failed).
static int OpenNative(const char *path)
{
    ImageGroup *group = CreateImageGroup(NULL);
    if (!group)
        return 0;
    int result = ReadMrfFile(path, group, ShowLoadProgress, 1);
    bool cut = result == kMrfReadCut;
    bool reported = false;
    if (result == 0) {
        result = ReadMr2File(path, group, ShowLoadProgress, 1);
        reported = true; // the mr2 reader tells its own failures
    }
    if (result == 0 || result > 50) {
        // A reader that failed has freed the images it made; only the empty group remains.
        FreeImageGroup(group, 0);
        if (result > 50) {
            EndOpen();
            if (!reported)
                ShowOpenFailure(path);
        }
        return result > 50;
    }
    AppendImageGroup(group);
    ShowGroupInWindow(g_currentWindow, group, 0, 1);
    if (group->base->mask && g_currentWindow && g_currentWindow->regionDisplayMode == 4)
        TraceRegionBorder(g_currentWindow);
    EndOpen();
    NameOpenedImage(group->base, path, "*.MRF");
    snprintf(group->name, sizeof group->name, "%s", group->base->name);
    AddRecentFile(path, 1);
    BroadcastImageListChanged();
    if (cut) {
        // What the file still held is open, but it is not the file that was saved: it stays
        // unsaved, so that it is never taken for the file and closed or saved over unasked.
        group->base->modified = 1;
        ShowOpenFailure(path);
    }
    return 1;
}

static void FreeDibPair(HGLOBAL header, HGLOBAL bits)
{
    if (header)
        GlobalFree(header);
    if (bits)
        GlobalFree(bits);
}

// True when a reader plug-in takes the file (or it cannot be opened, which the usual path
// reports): the built-in BMP reader comes after them all.
static bool ReaderTakes(const char *path)
{
    FILE *file = fopen(path, "rb");
    if (!file)
        return true;
    bool taken = false;
    for (int i = 0, n = CountSusieReaders(); i < n && !taken; i++) {
        taken = SusieIsSupported(i, path, file, 0) != 0;
        fseek(file, 0, SEEK_SET);
    }
    fclose(file);
    return taken;
}

int OpenImageFile(const char *path, int convert, int keepAlpha)
{
    // An image could not keep a longer path, and a later save would go elsewhere.
    if (strlen(path) >= sizeof(((CDIB *)0)->path)) {
        ShowOpenFailure(path);
        return 1;
    }
    DWORD attributes = GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        ListDirectory(path);
        return 1;
    }
    MarkFileProgressClosed();
    s_previousCursor = SetCursor(GetSystemCursor(kCursorWait));
    snprintf(g_progressText, sizeof g_progressText, "%s", GetFileNamePart(path));
    if (OpenNative(path))
        return 1;

    if (convert && !ReaderTakes(path)) {
        CDIB *image = NULL;
        int read = ReadBmpImage(path, &image, keepAlpha, ShowLoadProgress);
        if (read == 1) {
            EndOpen();
            NameOpenedImage(image, path, "*.BMP");
            AddRecentFile(path, 1);
            BroadcastImageListChanged();
            return 0;
        }
        if (read < 0) {
            if (read == -1) {
                CloseFileProgress();
                ShowErrorMessage(g_mainWindow, 17);
            }
            EndOpen();
            return 1;
        }
    }
    HGLOBAL hh, hb;
    int reader;
    if (!ReadImageViaSusie(path, ShowLoadProgress, &hh, &hb, &reader, 0, 0)) {
        EndOpen();
        return 1;
    }
    BITMAPINFO *info = (BITMAPINFO *)GlobalLock(hh);
    void *bits = GlobalLock(hb);
    // The header must lie inside its block before any field of it is read; an empty one is refused.
    static const BITMAPINFOHEADER kNoHeader = {};
    const BITMAPINFOHEADER *h =
        info && bits && GlobalSize(hh) >= sizeof(BITMAPINFOHEADER) ? &info->bmiHeader : &kNoHeader;
    int depth = h->biBitCount;
    int tw, th;
    FitPixelAspect(h, &tw, &th);
    // Whatever a reader delivered is checked before it is walked: rows and colour table inside
    // their blocks, plain rows only.
    int entries = CountDibPaletteEntries(h);
    int64_t need = GetDibRowBytes(h->biWidth, depth) * (h->biHeight > 0 ? h->biHeight : 0);
    bool sane = h->biSize >= sizeof(BITMAPINFOHEADER) && h->biWidth > 0 && h->biHeight > 0 && need > 0 &&
                (uint64_t)need <= (uint64_t)GlobalSize(hb) && entries >= 0 && entries <= 256 &&
                (uint64_t)h->biSize + (uint64_t)entries * 4 <= (uint64_t)GlobalSize(hh) &&
                (h->biCompression == BI_RGB || h->biCompression == BI_BITFIELDS);
    // A 32-bit picture is converted even for viewing: kept as read its rows would stand upside
    // down in a 32-bit store.
    if (depth == 32)
        convert = 1;
    CDIB *image = NULL;
    if (!sane || CreateImageRecord(&image, convert ? tw : h->biWidth, convert ? th : h->biHeight,
                                   convert ? 32 : depth) != 0) {
        GlobalUnlock(hh);
        GlobalUnlock(hb);
        FreeDibPair(hh, hb);
        EndOpen();
        if (!sane)
            ShowErrorMessage(g_mainWindow, 17);
        return 1;
    }
    if (IsFileProgressOpen())
        DrawFileProgressText("Format converting                ");
    if (convert) {
        memset(image->pixels, 0xFF, (size_t)tw * th * 4);
        CDIB source = {};
        source.pixels = bits;
        RGBQUAD palette[256] = {};
        memcpy(palette, (const uint8_t *)info + h->biSize, (size_t)entries * 4);
        ConvertDibToImage(image, &source, palette, h->biWidth, h->biHeight, depth, tw, th, keepAlpha);
        GlobalUnlock(hh);
        GlobalUnlock(hb);
        FreeDibPair(hh, hb);
    } else {
        // The image keeps the blocks it was read into: a view-only picture below 32 bits.
        image->header = info;
        image->pixels = bits;
        image->packedHeader = hh;
        image->packedBits = hb;
        image->editDepth = depth;
    }
    EndOpen();
    const char *format = "*.BMP";
    char susieFormat[9] = "";
    if (reader >= 0) {
        SusiePluginInfo(reader, 2, susieFormat, sizeof susieFormat);
        format = susieFormat;
    }
    NameOpenedImage(image, path, format);
    AddRecentFile(path, 1);
    BroadcastImageListChanged();
    return 0;
}

// ---- ways in ----

void OpenSelectedFiles(ImageGroup *group, const char *selection, int convert, int keepAlpha)
{
    if (!selection || !*selection)
        return;
    int strings = 0;
    for (const char *p = selection; *p; p += strlen(p) + 1)
        strings++;
    // Fewer than three strings: one full path. More: a directory, then names in it.
    const char *dir = selection;
    const char *name = strings < 3 ? NULL : selection + strlen(selection) + 1;
    for (;;) {
        char path[kPathBytes * 2];
        if (name)
            snprintf(path, sizeof path, "%s\\%s", dir, name);
        else
            snprintf(path, sizeof path, "%s", selection);
        CDIB *before = g_lastImage;
        if (OpenImageFile(path, convert, keepAlpha) == 0)
            AddOpenedImage(group, before, g_lastImage);
        if (!name)
            break;
        name += strlen(name) + 1;
        if (!*name)
            break;
    }
}

int ShowOpenFileDialog(char *selection, int size)
{
    memset(selection, 0, (size_t)size);
    // The release of the button that closes the dialog may land on an image window.
    g_ignoreNextLeftRelease = true;
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = g_mainWindow;
    ofn.hInstance = g_instance;
    ofn.lpstrFilter = GetOpenFilterText();
    ofn.nFilterIndex = (DWORD)s_filterIndex;
    ofn.lpstrFile = selection;
    ofn.nMaxFile = (DWORD)size;
    ofn.lpstrInitialDir = GetLastOpenDirectory();
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_ALLOWMULTISELECT | OFN_EXPLORER | OFN_SHOWHELP |
                OFN_ENABLETEMPLATE | OFN_ENABLEHOOK;
    ofn.lpTemplateName = MAKEINTRESOURCEA(kOpenTemplate);
    ofn.lpfnHook = OpenDialogHook;
    if (!GetOpenFileNameA(&ofn))
        return 1;
    s_filterIndex = (int)ofn.nFilterIndex;
    return 0;
}

void OpenImageCommand(int mode)
{
    // Room for many selected names; a too-small buffer would read as a cancel.
    enum { kSelectionBytes = 32768 };
    char *selection = (char *)malloc(kSelectionBytes);
    if (!selection)
        return;
    if (ShowOpenFileDialog(selection, kSelectionBytes) == 0) {
        ImageGroup *group = NULL;
        ImageWindow *w = g_currentWindow;
        if (mode == 2 && w && w->window && IsWindowVisible(w->window) && w->group)
            group = w->group;
        OpenSelectedFiles(group, selection, mode != 1, mode == 2 ? 1 : 0);
    }
    free(selection);
}

int GetDroppedFileName(HDROP drop, UINT i, char *name, int size)
{
    UINT length = DragQueryFileA(drop, i, NULL, 0);
    if (length == 0 || size <= 0 || length >= (UINT)size)
        return 0;
    return DragQueryFileA(drop, i, name, (UINT)size) == length;
}

void OpenDroppedFile(const char *path)
{
    CDIB *before = g_lastImage;
    if (OpenImageFile(path, 1, 0) == 0)
        AddOpenedImage(NULL, before, g_lastImage);
}

int ExpandFirstMatch(const char *piece, char *out, int size)
{
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA(piece, &fd);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    FindClose(find);
    char dir[kPathBytes];
    GetDirectoryPart(piece, dir, sizeof dir);
    // A piece without a directory part names a file of the current directory.
    if (LastSeparator(piece))
        snprintf(out, (size_t)size, "%s\\%s", dir, fd.cFileName);
    else
        snprintf(out, (size_t)size, "%s", fd.cFileName);
    return 1;
}

void OpenCommandLineFiles(const char *commandLine)
{
    if (!commandLine)
        return;
    const char *p = commandLine;
    while (*p) {
        while (*p == ' ')
            p++;
        const char *start = p;
        while (*p && *p != ' ')
            p++;
        size_t n = (size_t)(p - start);
        if (n == 0)
            continue;
        if (n >= kPathBytes) {
            // No image could keep such a name: said, with the name cut to fit the message.
            std::string name(start, n);
            ShowOpenFailure(name.c_str());
            continue;
        }
        char piece[kPathBytes], path[kPathBytes * 2];
        memcpy(piece, start, n);
        piece[n] = 0;
        if (ExpandFirstMatch(piece, path, sizeof path))
            OpenDroppedFile(path);
        else
            OpenDroppedFile(piece); // reported by the readers: nothing matched
    }
}
