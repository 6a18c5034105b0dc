// Groups in image windows: showing a group, replacing an image wherever it is shown or held,
// flattening a group into one image, window titles and the sizes of window frames.
#pragma once
#include "ovrin.h"

// images across groups
int FlattenImageGroup(ImageGroup *group, CDIB *out);
void ReplaceImage(CDIB *oldImage, CDIB *newImage, int keepUndo);
int ReplaceImageInGroup(ImageGroup *group, CDIB *oldImage, CDIB *newImage);
void ReplaceImageEverywhere(CDIB *oldImage, CDIB *newImage);

// groups in windows
int ShowGroupInWindow(ImageWindow *window, ImageGroup *group, int force, int saveView);
int ShowImageInWindow(ImageWindow *window, CDIB *image);
void ReshowGroupInWindows(ImageGroup *group, ImageGroup *newGroup, int force, int saveView);
int ShowPreviousGroup(ImageWindow *window);
int ShowNextGroup(ImageWindow *window);
ImageGroup *CloseWindowGroup(ImageWindow *window);
void UpdateWindowTitle(ImageWindow *window, const ImageGroup *group);
void RedrawGroupWindows(ImageGroup *group);
void UpdateOtherViews(ImageWindow *window);
int GetClientWidth(HWND window);
int GetClientHeight(HWND window);
int GetWindowWidth(HWND window);
int GetWindowHeight(HWND window);
