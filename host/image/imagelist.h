// The image list (every image the program holds, in order of creation), untitled numbering,
// the deleted-image queue and closing an image with its save prompts.
#pragma once
#include "ovrin.h"

extern CDIB *g_firstImage, *g_lastImage, *g_currentImage;

int CreateImageRecord(CDIB **out, int width, int height, int depth); // 0 ok, 1 failure
void AppendImage(CDIB *image);  // at the end of the list, as the current image
void UnlinkImage(CDIB *image);  // out of the list; the current image moves off it
CDIB *FindPreviousImage(const CDIB *image);
bool IsImageListed(const CDIB *image);
int NextUntitledNumber();       // the number the next untitled image gets

// Closes an image after the save prompts. Result: the image when the user refused, else the new
// first image of the list. Used by group closing, the deleted-image queue and the readers.
CDIB *CloseImageWithPrompt(ImageGroup *group, CDIB *image, int quitting);
void ForgetQuitAnswer(); // the answer remembered for the rest of a run (tests start afresh)
// While the quit closes the images: the closes it makes then pass "quitting" to the prompt.
void SetQuitInProgress(bool on);
bool IsQuitInProgress();

void QueueDeletedImage(CDIB *image);
void ReleaseDeletedImages();
bool IsImageQueued(const CDIB *image);
void ForgetDeletedImages(); // empties the queue only: for a caller that frees every image itself

void ShowImageInfo(const ImageWindow *window);
