// Figures for the plug-in name dictionary: a main dictionary of n distinct effect names read,
// looked up and written back, as at every start. Prints the seconds of each step; --smoke reads a
// small dictionary once.
#include "ovrin.h"
#include "plugins/dictionary.h"
#include "plugins/loader.h"
#include "base/settings.h"
#include <stdio.h>
#include <string.h>
#include <string>

static double Now()
{
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return (double)c.QuadPart / (double)f.QuadPart;
}

// n entries of one kind, every name distinct.
static bool WriteSource(const char *path, int n)
{
    FILE *f = fopen(path, "wb");
    if (!f)
        return false;
    for (int i = 0; i < n; i++)
        fprintf(f, "effect \"Plug-in number %d\" \"Translation %d\"\n", i, i);
    return fclose(f) == 0;
}

static int Run(const char *dir, int n)
{
    std::string source = std::string(dir) + "dictionary-bench.txt", merged = source + ".out";
    if (!WriteSource(source.c_str(), n)) {
        fprintf(stderr, "cannot write %s\n", source.c_str());
        return 1;
    }
    FreeDictionary();
    double t0 = Now();
    ReadDictionaryFile(source.c_str());
    double t1 = Now();
    int found = 0;
    for (int i = 0; i < n; i++) {
        char name[64];
        snprintf(name, sizeof name, "Plug-in number %d", i);
        found += LookupTranslation(kDictEffect, name)[0] != 0;
    }
    double t2 = Now();
    int written = WriteDictionaryFile(merged.c_str());
    double t3 = Now();
    FreeDictionary();
    DeleteFileA(source.c_str());
    DeleteFileA(merged.c_str());
    printf("%7d entries  read %8.3f s  look-ups %8.3f s  write %8.3f s%s\n", n, t1 - t0, t2 - t1, t3 - t2,
           found == n && written ? "" : "  (entries missing)");
    return found == n && written ? 0 : 1;
}

int main(int argc, char **argv)
{
    char dir[MAX_PATH];
    GetTempPathA(sizeof dir, dir);
    SetDefaultSettings(dir);
    ResetDictionary();
    if (argc > 1 && strcmp(argv[1], "--smoke") == 0)
        return Run(dir, 600);
    int failed = 0;
    for (int n : {10000, 40000, 80000})
        failed |= Run(dir, n);
    return failed;
}
