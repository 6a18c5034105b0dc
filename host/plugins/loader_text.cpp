// Reading the plug-in list files: lines, tokens, bounded copies, and the directory search.
#include "plugins/loader.h"
#include "plugins/loader_internal.h"
#include "base/textutil.h"
#include <stdlib.h>
#include <string.h>

int ParsePinLine(const char *line, char *file, size_t fileSize, char *translated, size_t translatedSize)
{
    char token[kListLineBytes];
    const char *p = NextTextToken(line, token, sizeof token);
    if (!p)
        return 0;
    CopyText(file, fileSize, token);
    translated[0] = 0;
    if (NextTextToken(p, token, sizeof token))
        CopyText(translated, translatedSize, token);
    return 1;
}

int ParseSubWindowPinLine(const char *line, char *file, size_t fileSize, int *x, int *y, int *shown,
                          char *translated, size_t translatedSize)
{
    char token[kListLineBytes];
    const char *p = NextTextToken(line, token, sizeof token);
    if (!p)
        return 0;
    CopyText(file, fileSize, token);
    int *values[3] = {x, y, shown};
    for (int k = 0; k < 3; k++) {
        *values[k] = 0;
        if (p && (p = NextTextToken(p, token, sizeof token)) != NULL)
            *values[k] = atoi(token);
    }
    translated[0] = 0;
    if (p && NextTextToken(p, token, sizeof token))
        CopyText(translated, translatedSize, token);
    return 1;
}

int RescalePosition(int value, int savedSize, int currentSize)
{
    if (savedSize <= 0)
        return value;
    return (int)((int64_t)value * currentSize / savedSize);
}

HANDLE FindFirstPlainFile(const char *pattern, WIN32_FIND_DATAA *found)
{
    HANDLE search = FindFirstFileA(pattern, found);
    if (search == INVALID_HANDLE_VALUE)
        return search;
    while (found->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        if (!FindNextFileA(search, found)) {
            FindClose(search);
            return INVALID_HANDLE_VALUE;
        }
    }
    return search;
}

int FindNextPlainFile(HANDLE search, WIN32_FIND_DATAA *found)
{
    do {
        if (!FindNextFileA(search, found))
            return 0;
    } while (found->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    return 1;
}

void SplitBarList(char *text)
{
    for (; *text; text++)
        if (*text == '|')
            *text = 0;
}

bool JoinPath(char *out, size_t size, const char *dir, const char *name)
{
    int n = snprintf(out, size, "%s\\%s", dir, name);
    return n >= 0 && (size_t)n < size;
}
