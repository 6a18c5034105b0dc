// The two kinds of undo chain seen through one view, for the undo code's own files.
#pragma once
#include "image/undo.h"

struct UndoChain {
    UndoRecord **first, **last, **current;
    INT_PTR *bytes;
};

UndoChain ImageChain(CDIB *image);
UndoChain RegionChain(ImageGroup *group);
UndoRecord *FindPreviousRecord(const UndoChain &chain, const UndoRecord *record);
void FreeChainFrom(const UndoChain &chain, UndoRecord *from); // from and every newer record
void DropRedo(const UndoChain &chain);   // every record after current (all when none is current)
void DropOldest(const UndoChain &chain);
void AppendRecord(const UndoChain &chain, UndoRecord *record); // as last and current
void FreeUndoRecord(UndoRecord *record);
// Name, path, format, background, untitled number, view and region-slot bounds (no mask, no
// border points).
void CopyImageIdentity(CDIB *to, const CDIB *from);
