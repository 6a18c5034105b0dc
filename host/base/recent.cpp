#include "base/recent.h"
#include <stdlib.h>
#include <string.h>

static RecentFileNode *s_first, *s_last;

RecentFileNode *RecentFileAt(int n)
{
    RecentFileNode *node = s_first;
    for (int i = 0; node && i < n; i++)
        node = node->next;
    return node;
}

RecentFileNode *FindRecentFile(const char *path)
{
    for (RecentFileNode *node = s_first; node; node = node->next)
        if (strcmp(node->path, path) == 0)
            return node;
    return NULL;
}

RecentFileNode *FindPreviousRecentFile(RecentFileNode *node)
{
    for (RecentFileNode *p = s_first; p && p != node; p = p->next)
        if (p->next == node)
            return p;
    return NULL;
}

int AddRecentFile(const char *path, int atFront)
{
    if (RecentFileNode *node = FindRecentFile(path)) {
        if (node != s_first) {
            RecentFileNode *prev = FindPreviousRecentFile(node);
            prev->next = node->next;
            if (s_last == node)
                s_last = prev;
            node->next = s_first;
            s_first = node;
        }
        return 1;
    }
    size_t len = strlen(path);
    RecentFileNode *node = (RecentFileNode *)malloc(sizeof *node);
    char *copy = (char *)calloc(len + 2, 1);
    if (!node || !copy) {
        free(node);
        free(copy);
        return 0;
    }
    memcpy(copy, path, len);
    node->path = copy;
    node->next = NULL;
    if (atFront) {
        node->next = s_first;
        s_first = node;
        if (!s_last)
            s_last = node;
    } else {
        if (s_last)
            s_last->next = node;
        else
            s_first = node;
        s_last = node;
    }
    return 1;
}

void FreeRecentFiles()
{
    while (s_first) {
        RecentFileNode *next = s_first->next;
        free(s_first->path);
        free(s_first);
        s_first = next;
    }
    s_last = NULL;
}
