#include "base/safefile.h"
#include <windows.h>
#include <string.h>

static void DirectoryOf(const char *path, char *dir, size_t size)
{
    // Walk by character so that a trail byte equal to a backslash is not taken for one.
    const char *cut = NULL;
    for (const char *p = path; *p; p++) {
        if (IsDBCSLeadByte((BYTE)*p) && p[1]) {
            p++;
            continue;
        }
        if (*p == '\\' || *p == '/')
            cut = p;
    }
    size_t n = cut ? (size_t)(cut - path) : 0;
    if (!cut) {
        snprintf(dir, size, ".");
        return;
    }
    if (n == 0 || (n == 2 && path[1] == ':'))
        n++; // keep the root's own backslash
    if (n >= size)
        n = size - 1;
    memcpy(dir, path, n);
    dir[n] = 0;
}

int CanReplaceFile(const char *path)
{
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return GetLastError() == ERROR_FILE_NOT_FOUND || GetLastError() == ERROR_PATH_NOT_FOUND;
    return !(attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY));
}

int MakeTempPathBeside(const char *path, char *temp, size_t size)
{
    if (!path || !*path || size < MAX_PATH)
        return 0;
    char dir[MAX_PATH];
    DirectoryOf(path, dir, sizeof dir);
    return GetTempFileNameA(dir, "ovr", 0, temp) != 0;
}

int ReplaceWithTemp(const char *temp, const char *path)
{
    // Some systems let the move replace a read-only file: it is refused here on every one.
    if (CanReplaceFile(path) && MoveFileExA(temp, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED))
        return 1;
    DeleteFileA(temp);
    return 0;
}

FILE *OpenSafeFile(SafeFile *safe, const char *path)
{
    safe->file = NULL;
    if (!CanReplaceFile(path) || !MakeTempPathBeside(path, safe->temp, sizeof safe->temp))
        return NULL;
    safe->file = fopen(safe->temp, "wb");
    if (!safe->file)
        DeleteFileA(safe->temp);
    return safe->file;
}

int CloseSafeFile(SafeFile *safe, const char *path, int ok)
{
    if (!safe->file)
        return 1;
    if (ferror(safe->file))
        ok = 0;
    if (fclose(safe->file) != 0)
        ok = 0;
    safe->file = NULL;
    if (!ok) {
        DeleteFileA(safe->temp);
        return 1;
    }
    return ReplaceWithTemp(safe->temp, path) ? 0 : 1;
}
