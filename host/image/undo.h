// Undo and redo: pixel-rectangle and whole-image records in an image's chain, region records in a
// group's chain.
#pragma once
#include "ovrin.h"

enum { kUndoRegionRect = 99, kUndoPixelRect = 100, kUndoWholeImage = 101 };

// Records run from first (oldest) to last through next. Those from first to current are done,
// those after current are undone and can be redone.
struct UndoRecord {
    int32_t kind;
    // Inclusive rectangle: kind 100 in the edited image's coordinates, kind 99 in group
    // coordinates, all -1 for kind 101.
    int32_t x0, y0, x1, y1;
    char *label;
    // The rectangle before and after the change, row by row, (x1 - x0 + 1) values a row:
    // uint32_t pixels for kind 100, mask bytes for kind 99.
    void *before, *after;
    // Copies of the layer records a merge took out of the group; the record owns the copies, the
    // group never holds them (undo links fresh copies in).
    LayerRecord *savedLayers;
    CDIB *oldImage; // kind 101: the image that was replaced, owned by the record
    CDIB *newCopy;  // kind 101: a copy of the replacing image, owned by the record
    UndoRecord *next;
    int64_t bytes; // what the record added to its chain's count
};

inline int UndoRecordWidth(const UndoRecord *r) { return r->x1 - r->x0 + 1; }
inline int UndoRecordHeight(const UndoRecord *r) { return r->y1 - r->y0 + 1; }

// New records; NULL when a memory rule refuses or memory runs out.
UndoRecord *CreateUndoRect(ImageGroup *group, CDIB *image, int x0, int y0, int x1, int y1, const char *label,
                           int kind);
UndoRecord *CreateUndoWhole(CDIB *image, CDIB *replaced, const char *label);

// Records the DirtyRectangle: kind 100 in the image's chain (rectangle minus the group's
// current-layer origin), kind 99 in the group's chain. Redo records are dropped first, then the
// oldest ones while the record cannot be made. The result is the record, whose before and after
// stores the caller fills; NULL when none could be made (the change is then not undoable). The
// rectangle is clipped to the recorded image, so callers index the stores by the record's own
// rectangle, not by the DirtyRectangle.
UndoRecord *PushUndo(ImageGroup *group, CDIB *image, int kind);
// Records the replacement of oldImage by newImage, which has taken over oldImage's chain; the
// record owns oldImage from then on (freed at once when no record can be made).
void PushWholeImageUndo(CDIB *newImage, CDIB *oldImage);
// Appends a copy of the layer record (its next cleared) to the record's saved layers.
bool AddSavedLayer(UndoRecord *record, const LayerRecord *layer);
// Closes the image of a layer that was merged away, unless a group or the deleted-image queue holds
// it again or it has left the image list (then whoever took it out has freed it).
void ReleaseMergedImage(CDIB *image);

// Frees the stores kept from freed records for new ones (done by itself when memory runs short).
void ReleaseSpareUndoStores();
// Frees a chain from the record on (the whole chain from its first record).
void FreeUndoRecords(CDIB *image, UndoRecord *from);
void FreeRegionUndoRecords(ImageGroup *group, UndoRecord *from);

// The bytes a record of that size holds, both its copies, counted against MaxUndoBuffer (0 when
// no ceiling is set).
int64_t CountedUndoBytes(int width, int height, int bytesPerPixel);
