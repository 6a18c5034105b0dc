// Writing a file without ever leaving a half-written one at its path: the data go to a temporary
// file beside it, which replaces the old file only once it is complete.
#pragma once
#include <stdio.h>
#include <stddef.h>

// 1 when a file may be written at path: nothing is there yet, or a plain file that is not
// read-only. A read-only file or a directory is never replaced.
int CanReplaceFile(const char *path);
// A temporary file name in the directory of path (the file is created empty); 1 made, 0 not.
int MakeTempPathBeside(const char *path, char *temp, size_t size);
// Moves a complete temporary file over path; 1 done. On failure (also when path is read-only or a
// directory) the temporary file is removed.
int ReplaceWithTemp(const char *temp, const char *path);

struct SafeFile {
    char temp[1024];
    FILE *file;
};
FILE *OpenSafeFile(SafeFile *safe, const char *path); // NULL when nothing can be created or replaced
// Closes the temporary file; when ok and every write succeeded it replaces path. 0 written, 1 not.
int CloseSafeFile(SafeFile *safe, const char *path, int ok);
