// Figures for reading and writing large pictures: BMP at 24 bits and the native mrf format.
// Prints megapixels per second; --smoke runs a small picture once. For bench/compare.sh:
//   --bmp-write              MB/s of a 24-bit BMP written from a 4096 x 4096 image
//   --bmp-read <file>        MB/s of the file read and converted into a new 32-bit image
//   --open-peak <file>       the image's bytes over the memory the read took at its peak
#include "ovrin.h"
#include "files/bmp.h"
#include "files/mrf.h"
#include "files/save.h"
#include "image/cdib.h"
#include "image/colors.h"
#include "image/group.h"
#include "image/imagelist.h"
#include "base/settings.h"
#include "base/msgbox.h"
#include <psapi.h>
#include <stdio.h>
#include <string.h>

static int PrintBox(HWND, const char *text, const char *caption, UINT)
{
    fprintf(stderr, "[%s] %s\n", caption, text);
    return IDOK;
}

static double Now()
{
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return (double)c.QuadPart / (double)f.QuadPart;
}

static void Report(const char *what, int w, int h, double seconds)
{
    printf("%-14s %5d x %-5d %8.1f MP/s  (%.3f s)\n", what, w, h, (double)w * h / 1e6 / seconds, seconds);
}

static int64_t FileBytes(const char *path)
{
    WIN32_FILE_ATTRIBUTE_DATA a;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &a))
        return 0;
    return (int64_t)a.nFileSizeHigh << 32 | a.nFileSizeLow;
}

// The file as the program opens it for editing: its rows straight into a new 32-bit image.
static CDIB *ReadAsImage(const char *path)
{
    CDIB *image = NULL;
    return ReadBmpImage(path, &image, 0, NULL) == 1 ? image : NULL;
}

static size_t PeakBytes(size_t *now)
{
    PROCESS_MEMORY_COUNTERS c = {};
    c.cb = sizeof c;
    GetProcessMemoryInfo(GetCurrentProcess(), &c, sizeof c);
    *now = c.WorkingSetSize;
    return c.PeakWorkingSetSize;
}

static int Single(const char *mode, const char *path)
{
    if (!strcmp(mode, "--bmp-write")) {
        int size = 4096;
        CDIB *image = NULL;
        if (CreateImageRecord(&image, size, size, 32) != 0)
            return 1;
        uint32_t *p = (uint32_t *)image->pixels;
        for (int i = 0; i < size * size; i++)
            p[i] = 0xFF000000u | (uint32_t)i * 2654435761u >> 8;
        SetSaveDepth(24);
        double t = Now();
        int ok = SaveImageAsBmp(path, image);
        t = Now() - t;
        printf("bmp-write %.1f MB/s\n", FileBytes(path) / 1e6 / t);
        DeleteFileA(path);
        return ok ? 0 : 1;
    }
    if (!strcmp(mode, "--bmp-read")) {
        double t = Now();
        CDIB *image = ReadAsImage(path);
        t = Now() - t;
        printf("bmp-read %.1f MB/s\n", FileBytes(path) / 1e6 / t);
        return image ? 0 : 1;
    }
    size_t before, after;
    PeakBytes(&before);
    CDIB *image = ReadAsImage(path);
    size_t peak = PeakBytes(&after);
    int w = 0, h = 0, d = 0;
    GetImageSize(image, &w, &h, &d);
    printf("open-peak %.3f\n", (double)w * h * 4 / (double)(peak - before));
    return image ? 0 : 1;
}

int main(int argc, char **argv)
{
    bool smoke = argc > 1 && strcmp(argv[1], "--smoke") == 0;
    if (argc > 2 && !smoke)
        return Single(argv[1], argv[2]);
    int size = smoke ? 256 : 4096;
    SetMessageBoxHook(PrintBox);
    char dir[MAX_PATH];
    GetTempPathA(sizeof dir, dir);
    size_t n = strlen(dir);
    if (n && dir[n - 1] == '\\')
        dir[n - 1] = 0;
    SetDefaultSettings(dir);
    SetDefaultColors();

    CDIB *image = NULL;
    if (CreateImageRecord(&image, size, size, 32) != 0)
        return 1;
    uint32_t *p = (uint32_t *)image->pixels;
    for (int i = 0; i < size * size; i++)
        p[i] = 0xFF000000u | (uint32_t)i * 2654435761u >> 8;
    if (!AddImageGroup(image))
        return 1;
    ImageGroup *group = g_lastGroup;
    char bmp[MAX_PATH + 32], mrf[MAX_PATH + 32];
    snprintf(bmp, sizeof bmp, "%s\\ovrin-bench-%lu.bmp", dir, GetCurrentProcessId());
    snprintf(mrf, sizeof mrf, "%s\\ovrin-bench-%lu.mrf", dir, GetCurrentProcessId());

    int failures = 0;
    double t = Now();
    SetSaveDepth(24);
    failures += SaveImageAsBmp(bmp, image) != 1;
    Report("BMP write", size, size, Now() - t);

    t = Now();
    HGLOBAL h, b;
    failures += ReadBmpFile(bmp, &h, &b, NULL) != 1;
    Report("BMP read", size, size, Now() - t);
    if (h)
        GlobalFree(h);
    if (b)
        GlobalFree(b);

    t = Now();
    failures += WriteMrfFile(mrf, group) != 0;
    Report("mrf write", size, size, Now() - t);

    t = Now();
    ImageGroup *read = CreateImageGroup(NULL);
    failures += ReadMrfFile(mrf, read, NULL, 1) != 1;
    Report("mrf read", size, size, Now() - t);
    FreeImageGroup(read, 0);

    DeleteFileA(bmp);
    DeleteFileA(mrf);
    FreeImageGroup(group, 0);
    if (failures)
        fprintf(stderr, "%d step(s) failed\n", failures);
    return failures ? 1 : 0;
}
