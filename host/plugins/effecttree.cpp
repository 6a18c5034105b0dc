// The effect tree: the table read from the tree file, the tree view filled from it and read back.
#include "plugins/effecttree.h"
#include "plugins/loader.h"
#include "base/settings.h"
#include "base/messages.h"
#include "base/textutil.h"
#include <commctrl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static EffectTreeEntry s_entries[kTreeEntries];
static EffectTreeFolder s_folders[kTreeFolders];
static bool s_tableReady;
static int s_rootExpanded;

static void EnsureTable()
{
    if (!s_tableReady)
        ClearEffectTreeTable();
}

void ClearEffectTreeTable()
{
    for (EffectTreeEntry &e : s_entries)
        e = EffectTreeEntry{kTreeOpLast, -1};
    s_rootExpanded = 0; // the root's state belongs to the stored arrangement
    s_tableReady = true;
}

void ClearEffectTreeFolders()
{
    for (EffectTreeFolder &f : s_folders) {
        f.name[0] = f.label[0] = 0;
        f.item = NULL;
    }
}

const EffectTreeEntry *GetEffectTreeEntries()
{
    EnsureTable();
    return s_entries;
}

const EffectTreeFolder *GetEffectTreeFolder(int index)
{
    return index >= 0 && index < kTreeFolders ? &s_folders[index] : NULL;
}

int IsEffectTreeRootExpanded() { return s_rootExpanded; }

static int FindEffectRowByName(const char *name)
{
    for (int i = 0; i < kEffectRows && g_effectPlugins[i].module; i++)
        if (strcmp(g_effectPlugins[i].name, name) == 0)
            return i;
    return -1;
}

int ReadEffectTreeFile(const char *path)
{
    FILE *file = fopen(path, "rt");
    if (!file)
        return 0;
    EnsureTable();
    ClearEffectTreeFolders();
    int n = 0, f = 0;
    char line[kLineBytes], token[kTokenBytes];
    // The last entry stays free for the end mark.
    while (n < kTreeEntries - 1 && ReadTextLine(file, line, sizeof line)) {
        const char *pos = NextTextToken(line, token, sizeof token);
        int op = token[0] == '|' ? kTreeOpEffect : token[0] == '+' ? kTreeOpFolder : token[0] == '/' ? kTreeOpEnd
                                                                                                       : kTreeOpUnknown;
        char name[kTokenBytes] = "";
        if (op != kTreeOpEnd && pos)
            pos = NextTextToken(pos, name, sizeof name);
        EffectTreeEntry &e = s_entries[n++];
        e.op = op;
        e.value = -1;
        if (op == kTreeOpFolder) {
            if (f >= kTreeFolders) {
                e.op = kTreeOpUnknown; // no room for the folder: the arrangement ends here
                continue;
            }
            char flag[kTokenBytes] = "", label[kTokenBytes] = "";
            if (pos)
                pos = NextTextToken(pos, flag, sizeof flag);
            if (pos)
                NextTextToken(pos, label, sizeof label);
            CopyText(s_folders[f].name, sizeof s_folders[f].name, name);
            CopyText(s_folders[f].label, sizeof s_folders[f].label, label);
            s_folders[f].expanded = atoi(flag);
            e.value = f++;
        } else if (op != kTreeOpEnd) {
            e.value = FindEffectRowByName(name);
        }
    }
    s_entries[n] = EffectTreeEntry{kTreeOpLast, -1};
    fclose(file);
    return 1;
}

void ReadEffectTree()
{
    char path[2 * kPathBytes];
    snprintf(path, sizeof path, "%s\\effect.tvf.%s", g_cfg.Stat_dir, g_cfg.ExtensionOfDictionary);
    ReadEffectTreeFile(path);
}

// ---- the tree view ----

static HWND Tree(HWND dialog) { return GetDlgItem(dialog, kEffectTreeControl); }

static HTREEITEM InsertItem(HWND tree, HTREEITEM parent, const char *text, bool bold, bool expanded)
{
    TVINSERTSTRUCTA ins = {};
    ins.hParent = parent;
    ins.hInsertAfter = TVI_LAST;
    ins.item.mask = TVIF_TEXT | TVIF_STATE;
    ins.item.pszText = (char *)text;
    ins.item.stateMask = TVIS_BOLD | TVIS_EXPANDED;
    ins.item.state = (bold ? TVIS_BOLD : 0) | (expanded ? TVIS_EXPANDED : 0);
    return (HTREEITEM)SendMessageA(tree, TVM_INSERTITEMA, 0, (LPARAM)&ins);
}

static const char *EffectText(const EffectPluginRecord &row)
{
    return PickLangText(row.name, row.translated);
}

void FillEffectTree(HWND dialog)
{
    HWND tree = Tree(dialog);
    EnsureTable();
    for (EffectPluginRecord &row : g_effectPlugins)
        row.treeItem = NULL;
    if (!tree)
        return;
    HTREEITEM parents[kTreeFolders + 1];
    int depth = 0;
    parents[0] = InsertItem(tree, TVI_ROOT, "Effect", true, s_rootExpanded != 0);
    for (int i = 0; i < kTreeEntries && s_entries[i].op >= 0; i++) {
        const EffectTreeEntry &e = s_entries[i];
        if (e.op == kTreeOpEnd) {
            depth = depth > 0 ? depth - 1 : 0;
        } else if (e.op == kTreeOpFolder && e.value >= 0 && e.value < kTreeFolders) {
            EffectTreeFolder &f = s_folders[e.value];
            HTREEITEM item = InsertItem(tree, parents[depth], PickLangText(f.name, f.label), true, f.expanded != 0);
            f.item = item;
            if (depth < kTreeFolders)
                parents[++depth] = item;
        } else if (e.op == kTreeOpEffect && e.value >= 0 && e.value < kEffectRows && g_effectPlugins[e.value].module) {
            EffectPluginRecord &row = g_effectPlugins[e.value];
            row.treeItem = InsertItem(tree, parents[depth], EffectText(row), false, false);
        }
    }
    for (int i = 0; i < kEffectRows && g_effectPlugins[i].module; i++)
        if (!g_effectPlugins[i].treeItem)
            g_effectPlugins[i].treeItem = InsertItem(tree, parents[0], EffectText(g_effectPlugins[i]), false, false);
    // A root that was collapsed when the items went in is opened now when it should be.
    if (s_rootExpanded)
        SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, (LPARAM)parents[0]);
}

int FindTreeItem(void *item, int *index)
{
    if (!item)
        return 0;
    for (int i = 0; i < kEffectRows && g_effectPlugins[i].module; i++)
        if (g_effectPlugins[i].treeItem == item) {
            *index = i;
            return 1;
        }
    for (int f = 0; f < kTreeFolders; f++)
        if (s_folders[f].item == item) {
            *index = f;
            return 2;
        }
    return 0;
}

int IsTreeItemExpanded(HWND tree, void *item)
{
    UINT state = (UINT)SendMessageA(tree, TVM_GETITEMSTATE, (WPARAM)item, TVIS_EXPANDED);
    return (state & TVIS_EXPANDED) != 0;
}

static HTREEITEM NextItem(HWND tree, HTREEITEM item, UINT how)
{
    return (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, how, (LPARAM)item);
}

static void StoreLevel(HWND tree, HTREEITEM first, int *n, int depth)
{
    for (HTREEITEM item = first; item && *n < kTreeEntries - 1; item = NextItem(tree, item, TVGN_NEXT)) {
        int index, kind = FindTreeItem(item, &index);
        if (kind == 1) {
            s_entries[(*n)++] = EffectTreeEntry{kTreeOpEffect, index};
        } else if (kind == 2) {
            s_entries[(*n)++] = EffectTreeEntry{kTreeOpFolder, index};
            s_folders[index].expanded = IsTreeItemExpanded(tree, item);
            if (depth < kTreeFolders)
                StoreLevel(tree, NextItem(tree, item, TVGN_CHILD), n, depth + 1);
            if (*n < kTreeEntries - 1)
                s_entries[(*n)++] = EffectTreeEntry{kTreeOpEnd, -1};
        }
    }
}

void StoreEffectTree(HWND dialog)
{
    HWND tree = Tree(dialog);
    if (!tree)
        return;
    ClearEffectTreeTable();
    HTREEITEM root = NextItem(tree, NULL, TVGN_ROOT);
    int n = 0;
    if (root) {
        s_rootExpanded = IsTreeItemExpanded(tree, root);
        StoreLevel(tree, NextItem(tree, root, TVGN_CHILD), &n, 0);
    }
    s_entries[n] = EffectTreeEntry{kTreeOpLast, -1};
}

int GetSelectedTreeEffect(HWND dialog)
{
    HWND tree = Tree(dialog);
    HTREEITEM item = tree ? NextItem(tree, NULL, TVGN_CARET) : NULL;
    int index;
    return FindTreeItem(item, &index) == 1 ? index : -1;
}

void ClearEffectTree(HWND dialog)
{
    if (HWND tree = Tree(dialog))
        SendMessageA(tree, TVM_DELETEITEM, 0, (LPARAM)TVI_ROOT);
    for (EffectPluginRecord &row : g_effectPlugins)
        row.treeItem = NULL;
    for (EffectTreeFolder &f : s_folders)
        f.item = NULL;
}
