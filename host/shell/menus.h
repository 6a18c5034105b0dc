// Menus built from the menu files, with their dynamic lists.
#pragma once
#include "ovrin.h"

void UpdateWindowMenus();   // rebuilds the image-window menus and their check marks
void CheckZoomMenuItem(ImageWindow *window);
