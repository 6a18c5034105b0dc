#include "base/sysinfo.h"

static bool s_memoryOverridden;
static MEMORYSTATUS s_memory;
static int s_depthOverride;

void QueryMemoryStatus(MEMORYSTATUS *status)
{
    if (s_memoryOverridden) {
        *status = s_memory;
        return;
    }
    status->dwLength = sizeof *status;
    GlobalMemoryStatus(status);
}

void SetMemoryStatusOverride(const MEMORYSTATUS *status)
{
    s_memoryOverridden = status != NULL;
    if (status)
        s_memory = *status;
}

int QueryScreenDepth()
{
    if (s_depthOverride)
        return s_depthOverride;
    HDC dc = GetDC(NULL);
    int depth = GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES);
    ReleaseDC(NULL, dc);
    return depth;
}

void SetScreenDepthOverride(int depth)
{
    s_depthOverride = depth;
}
