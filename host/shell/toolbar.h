// The main window's tool bar.
#pragma once
#include "ovrin.h"

void CreateToolBarButtons();
void CreateToolTipWindow();
void DrawToolButtons();
