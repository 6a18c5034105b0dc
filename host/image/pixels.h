// Pixel access for plug-ins: one program-wide context (the started image, its group's base and
// the current layer origin) and the reads, masked writes and samples made through it.
#pragma once
#include "ovrin.h"

// Starts on an image that belongs to no group: the image is its own base, origin 0, 0.
void StartOnPlainImage(CDIB *image);
// Fills the pen's work matrix with the clamped pixels of the started image under the pen whose
// hot spot is at (x, y) (layer coordinates); cells of weight 0 get 0. Result the matrix.
uint32_t *FillPenWork(PenRecord *pen, int x, int y);
// Ends the start when the image's store is freed; later calls act as on an image never started.
void ForgetStartedImage(const CDIB *image);
// Forgets the window's coverage and work mask when the start holds them (they are being freed).
void ForgetWindowBuffers(const ImageWindow *window);
