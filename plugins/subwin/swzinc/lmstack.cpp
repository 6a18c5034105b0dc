// The group's stack as the layer manager shows it: entries from the bottom, the five rows shown
// from the first visible entry, highest at the top.
#include "swzinc.h"

// A group the host closed is never read: it is shown only while the host still lists it.
ImageGroup *ShownGroup()
{
    for (ImageGroup *g = QzsGetFirstImageGroup(); g; g = g->next)
        if (g == g_lm.group)
            return g;
    return NULL;
}

int CountEntries(ImageGroup *group)
{
    if (!group)
        return 0;
    int n = 1;
    for (LayerRecord *l = QzsGetNextLayer(group, NULL); l; l = QzsGetNextLayer(group, l))
        n++;
    return n;
}

LayerRecord *EntryLayer(ImageGroup *group, int entry)
{
    LayerRecord *l = NULL;
    for (int k = 1; group && k <= entry; k++) {
        l = QzsGetNextLayer(group, l);
        if (!l)
            return NULL;
    }
    return l;
}

int EntryStatus(ImageGroup *group, int entry)
{
    if (!group)
        return 0;
    if (entry == 0)
        return group->baseStatus;
    LayerRecord *l = EntryLayer(group, entry);
    return l ? l->status : 0;
}

CDIB *EntryImage(ImageGroup *group, int entry)
{
    if (!group)
        return NULL;
    if (entry == 0)
        return group->base;
    LayerRecord *l = EntryLayer(group, entry);
    return l ? l->image : NULL;
}

int CurrentEntry(ImageGroup *group)
{
    if (!group || !group->currentLayer)
        return 0;
    int k = 1;
    for (LayerRecord *l = QzsGetNextLayer(group, NULL); l; l = QzsGetNextLayer(group, l), k++)
        if (l == group->currentLayer)
            return k;
    return 0;
}

// A current layer outside the group's list is never read: it may be gone already.
LayerRecord *KnownCurrentLayer(ImageGroup *group)
{
    return group && group->currentLayer && CurrentEntry(group) > 0 ? group->currentLayer : NULL;
}

LayerRecord *LostCurrentLayer(ImageGroup *group)
{
    return group && group->currentLayer && CurrentEntry(group) == 0 ? group->currentLayer : NULL;
}

int LargestFirst(ImageGroup *group)
{
    int n = CountEntries(group) - kRows;
    return n > 0 ? n : 0;
}

int RowEntry(ImageGroup *group, int row)
{
    int count = CountEntries(group), first = g_lm.first;
    if (first > LargestFirst(group))
        first = LargestFirst(group);
    int shown = count - first < kRows ? count - first : kRows;
    return row >= 0 && row < shown ? first + shown - 1 - row : -1;
}

void KeepCurrentLayerVisible(ImageGroup *group)
{
    int largest = LargestFirst(group);
    if (!group || largest == 0) {
        g_lm.first = 0;
        return;
    }
    int current = CurrentEntry(group);
    if (current < g_lm.first || current >= g_lm.first + kRows)
        g_lm.first = current;
    if (g_lm.first > largest)
        g_lm.first = largest;
}

// A handle moves the current layer right above its row: not shown where that changes nothing.
bool HandleVisible(ImageGroup *group, int row)
{
    int entry = RowEntry(group, row);
    if (!group || entry < 0 || CountEntries(group) < 2 || !KnownCurrentLayer(group))
        return false;
    int current = CurrentEntry(group);
    return entry != current && entry != current - 1;
}
