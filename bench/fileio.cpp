// Figures for reading and writing large pictures: BMP at 24 bits and the native mrf format.
// Prints megapixels per second; --smoke runs a small picture once.
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

int main(int argc, char **argv)
{
    bool smoke = argc > 1 && strcmp(argv[1], "--smoke") == 0;
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
