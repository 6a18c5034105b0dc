// Recently opened and saved images, newest first; each path at most once.
#pragma once

enum { kRecentShown = 10 };

struct RecentFileNode {
    RecentFileNode *next;
    char *path; // owned, followed by one extra NUL
};

int AddRecentFile(const char *path, int atFront); // 0 when out of memory (list unchanged)
RecentFileNode *RecentFileAt(int n);
RecentFileNode *FindRecentFile(const char *path);
RecentFileNode *FindPreviousRecentFile(RecentFileNode *node);
void FreeRecentFiles();
