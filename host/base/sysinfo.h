// Facts about the machine that the program reads: the memory status for the memory rules and the
// screen depth for the display writers. Tests may set either.
#pragma once
#include <windows.h>

void QueryMemoryStatus(MEMORYSTATUS *status);
void SetMemoryStatusOverride(const MEMORYSTATUS *status); // NULL returns to the real figures

int QueryScreenDepth(); // bits per pixel of the screen device
void SetScreenDepthOverride(int depth); // 0 returns to the real screen
