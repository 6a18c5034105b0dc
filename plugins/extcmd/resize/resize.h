// The resize command's work behind its entry point, for the figures program, which builds the
// module's code into itself (QZ_RESIZE_NO_ENTRY) as the effects figures do.
#pragma once
#include "ovrin.h"

// QzcExtCommand without its unused first argument: 1 and the new image in result->image, or 0
// and NULL there.
int RunResize(ExtCommandArgs *args, ExtCommandResult *result);
