// Outside image-reader plug-ins.
#pragma once
#include "ovrin.h"

void FindSusieDirectory();
