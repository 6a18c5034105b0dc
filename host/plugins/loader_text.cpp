// Reading the plug-in list files: lines, tokens, bounded copies, and the directory search.
#include "plugins/loader.h"
#include "plugins/loader_internal.h"
#include <stdlib.h>
#include <string.h>

static bool IsLeadByte(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

static bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

void CopyBounded(char *out, size_t size, const char *text)
{
    if (!size)
        return;
    size_t n = 0;
    while (text[n]) {
        size_t step = IsLeadByte((unsigned char)text[n]) && text[n + 1] ? 2 : 1;
        if (n + step >= size)
            break; // a double-byte character is never cut in half
        n += step;
    }
    memcpy(out, text, n);
    out[n] = 0;
}

bool ReadListLine(FILE *file, char *line, size_t size)
{
    if (!fgets(line, (int)size, file))
        return false;
    size_t n = strlen(line);
    if (n && line[n - 1] == '\n') {
        line[n - 1] = 0;
        return true;
    }
    // An over-long line: keep its beginning, drop the rest up to the newline.
    int c;
    while ((c = fgetc(file)) != EOF && c != '\n') {
    }
    return true;
}

const char *NextListToken(const char *p, char *token, size_t size)
{
    while (*p && IsBlank(*p))
        p++;
    if (!*p)
        return NULL;
    size_t n = 0;
    if (*p == '"') {
        p++;
        while (*p && *p != '"') {
            if (n + 1 < size)
                token[n++] = *p;
            p++;
        }
        if (*p == '"')
            p++;
    } else {
        while (*p && !IsBlank(*p)) {
            if (n + 1 < size)
                token[n++] = *p;
            p++;
        }
    }
    if (size)
        token[n] = 0;
    return p;
}

int ParsePinLine(const char *line, char *file, size_t fileSize, char *translated, size_t translatedSize)
{
    char token[kListLineBytes];
    const char *p = NextListToken(line, token, sizeof token);
    if (!p)
        return 0;
    CopyBounded(file, fileSize, token);
    translated[0] = 0;
    if (NextListToken(p, token, sizeof token))
        CopyBounded(translated, translatedSize, token);
    return 1;
}

int ParseSubWindowPinLine(const char *line, char *file, size_t fileSize, int *x, int *y, int *shown,
                          char *translated, size_t translatedSize)
{
    char token[kListLineBytes];
    const char *p = NextListToken(line, token, sizeof token);
    if (!p)
        return 0;
    CopyBounded(file, fileSize, token);
    int *values[3] = {x, y, shown};
    for (int k = 0; k < 3; k++) {
        *values[k] = 0;
        if (p && (p = NextListToken(p, token, sizeof token)) != NULL)
            *values[k] = atoi(token);
    }
    translated[0] = 0;
    if (p && NextListToken(p, token, sizeof token))
        CopyBounded(translated, translatedSize, token);
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
