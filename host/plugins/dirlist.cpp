// The directory file list.
#include "plugins/dirlist.h"
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static DirFileNode *s_first, *s_last;

int AddDirFileNode(const char *name, int reserved, int directory)
{
    DirFileNode *node = (DirFileNode *)calloc(1, sizeof *node);
    char *copy = name ? _strdup(name) : NULL;
    if (!node || !copy) {
        free(node);
        free(copy);
        return 0;
    }
    node->name = copy;
    node->reserved = reserved;
    node->directory = directory ? 1 : 0;
    if (s_last)
        s_last->next = node;
    else
        s_first = node;
    s_last = node;
    return 1;
}

int BuildDirFileList(const char *directory)
{
    s_first = s_last = NULL;
    char pattern[1024];
    if (!directory || snprintf(pattern, sizeof pattern, "%s\\*.*", directory) >= (int)sizeof pattern)
        return 0;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA(pattern, &found);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    do
        AddDirFileNode(found.cFileName, 0, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
    while (FindNextFileA(find, &found));
    FindClose(find);
    return 0;
}

void FreeDirFileList()
{
    while (s_first) {
        DirFileNode *next = s_first->next;
        free(s_first->name);
        free(s_first);
        s_first = next;
    }
    s_last = NULL;
}

QZS_DECL(DirFileNode *) QzsGetNextFileList(DirFileNode *node) { return node ? node->next : NULL; }

// The head of the current list (NULL outside a broadcast): where a walk with QzsGetNextFileList starts.
QZS_DECL(DirFileNode *) QzsGetImageInFileList(void) { return s_first; }
