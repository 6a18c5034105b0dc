// Mouse interaction of draw methods.
#pragma once
#include "ovrin.h"
