// Acquisition from TWAIN devices.
#pragma once
#include "ovrin.h"

bool TwainMessageHook(MSG *message); // true when the data source took the message
