// Merging layers: every layer of a group blended into its base through the layer's blend, as one
// undoable step that keeps the removed layers.
#pragma once
#include "ovrin.h"

// Command MergeLayerAll: the base becomes current and every layer, hidden ones too, is blended into
// it in list order and taken out of the group. One pixel record of the base keeps the base before
// and after and copies of the removed layers. When the memory rules allow no record the merge is
// made all the same and the removed layers' images are closed. A group without layers is left as
// it is. Every window showing the group is composed again.
void MergeAllLayers(ImageGroup *group);
// Blends layer into target (NULL: the base) and takes it out of the group; 0 when layer is NULL.
// first: the step's undo record is made here, into *record (NULL when none could be made); later
// layers add their copies to it.
int MergeLayerInto(ImageGroup *group, LayerRecord *target, LayerRecord *layer, int first, UndoRecord **record);
// The image's pixels into the record's before or after store, over the record's rectangle.
void SaveUndoBefore(UndoRecord *record, const CDIB *image, int width, int height);
void SaveUndoAfter(UndoRecord *record, const CDIB *image, int width, int height);
