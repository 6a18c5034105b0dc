// Image groups (a base image and its layers, what an image window shows), the group list,
// layer operations.
#pragma once
#include "ovrin.h"

extern ImageGroup *g_firstGroup, *g_lastGroup, *g_currentGroup;
extern LayerRecord *g_currentLayer; // copy of the current group's current layer

// Change codes told to the sub-window plug-ins with QzcChangeImage.
enum {
    kChangeShown = 1, kChangeCurrentLayer = 2, kChangeLayerInserted = 3, kChangeLayerRemoved = 4,
    kChangeStatus = 5, kChangeOpacity = 101, kChangeOrigin = 102
};

// group list
ImageGroup *CreateImageGroup(CDIB *base);
int AddImageGroup(CDIB *base);
void AppendImageGroup(ImageGroup *group);
void AddOpenedImage(ImageGroup *group, CDIB *lastBefore, CDIB *image);
int FreeImageGroup(ImageGroup *group, int closing);
ImageGroup *FindGroupOfImage(const CDIB *image);
ImageGroup *FindGroupOfLayer(const LayerRecord *layer);
ImageGroup *FindPreviousGroup(const ImageGroup *group);
ImageGroup *FindNthImageGroup(int n);
bool IsGroupListed(const ImageGroup *group);
CDIB *GetGroupBaseImage(const ImageGroup *group);
int GetGroupImageSize(const ImageGroup *group, int *width, int *height, int *depth);
int CountGroupImages(const ImageGroup *group);
void SyncCurrentLayer(const ImageGroup *group);

// layers
LayerRecord *CreateLayer(ImageGroup *group, CDIB *image, int x, int y, int status, int opacity, int blend);
void SetLayerOrigin(ImageGroup *group, LayerRecord *layer, int x, int y);
void CopyLayerRectToGroup(ImageGroup *group, const LayerRecord *layer);
int RemoveLayer(ImageGroup *group, LayerRecord *layer, int redraw, int queue, int freeRecord);
LayerRecord *FindPreviousLayer(const ImageGroup *group, const LayerRecord *layer);
LayerRecord *GetLastLayer(const ImageGroup *group);
LayerRecord *GetNthLayer(const ImageGroup *group, int n); // 1-based
LayerRecord *GetWindowLayer(const ImageWindow *window);
void RefreshImageGeometry(CDIB *image);
BlendFunction SelectBlendFunction(int index);
extern LayerBlendRecord g_normalBlend; // the built-in blend record
