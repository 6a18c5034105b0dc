// The effect dialog's tree: folders and effects arranged by the effect tree file, read once when
// effects load and rewritten from the tree view whenever the dialog closes.
#pragma once
#include "ovrin.h"

enum {
    kTreeEntries = 2000, kTreeFolders = 200, kFolderNameBytes = 80, kFolderLabelBytes = 40,
    kTreeOpEffect = 0, kTreeOpFolder = 1, kTreeOpEnd = 2, kTreeOpUnknown = -1, kTreeOpLast = -9999,
    kEffectTreeControl = 3006,
};

struct EffectTreeEntry {
    int32_t op, value;
};

struct EffectTreeFolder {
    char name[kFolderNameBytes];
    char label[kFolderLabelBytes];
    int32_t expanded;
    void *item;
};

int ReadEffectTreeFile(const char *path); // 0 when the file does not open (the table is kept)
void ReadEffectTree();                    // "%s\effect.tvf.%s" of the Stat directory
void FillEffectTree(HWND dialog);
void StoreEffectTree(HWND dialog);
int GetSelectedTreeEffect(HWND dialog); // effect row, -1 for nothing or a folder
// 1 an effect's item (row), 2 a folder's (index); 0 neither.
int FindTreeItem(void *item, int *index);
void ClearEffectTreeTable();
void ClearEffectTreeFolders();
void ClearEffectTree(HWND dialog);
int IsTreeItemExpanded(HWND tree, void *item);

const EffectTreeEntry *GetEffectTreeEntries(); // kTreeEntries entries, ended by kTreeOpLast
const EffectTreeFolder *GetEffectTreeFolder(int index);
int IsEffectTreeRootExpanded();
