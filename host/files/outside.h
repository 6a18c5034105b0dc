// Steps of other parts of the program that opening and saving call, by the names those parts
// give them.
#pragma once
#include "ovrin.h"

// recent files and the main menu

// the question of how to save a layered group in a one-image format: 0 layer, 1 merged, 10 cancel
int AskMultiImageSave();
