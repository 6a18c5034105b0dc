// Draw-method selection.
#pragma once
#include "ovrin.h"
