// Bands of rows over several threads (see rowbands.h).
#include "base/rowbands.h"
#include <windows.h>

namespace {

const int64_t kThreadedCells = 1 << 20;
const int kBandRows = 16;
const int kMostThreads = 8;

struct Share {
    int top, bottom;
    volatile LONG nextBand;
    RowBandWork work;
    void *context;
};

DWORD WINAPI TakeBands(void *argument)
{
    Share &share = *(Share *)argument;
    for (;;) {
        int64_t first = share.top + (int64_t)(InterlockedIncrement(&share.nextBand) - 1) * kBandRows;
        if (first > share.bottom)
            break;
        int64_t last = first + kBandRows - 1 < share.bottom ? first + kBandRows - 1 : share.bottom;
        share.work(share.context, (int)first, (int)last);
    }
    return 0;
}

int ThreadCount(int64_t cells)
{
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    int n = (int)info.dwNumberOfProcessors;
    n = n > kMostThreads ? kMostThreads : n;
    return cells < kThreadedCells || n < 2 ? 1 : n;
}

} // namespace

void RunRowBands(int top, int bottom, int64_t cellsPerRow, RowBandWork work, void *context)
{
    if (top > bottom || !work)
        return;
    int n = ThreadCount(cellsPerRow * ((int64_t)bottom - top + 1));
    if (n < 2) {
        work(context, top, bottom);
        return;
    }
    Share share = {top, bottom, 0, work, context};
    // Bands a thread that failed to start would have taken go to the others.
    HANDLE threads[kMostThreads] = {};
    for (int i = 1; i < n; i++)
        threads[i] = CreateThread(NULL, 0, TakeBands, &share, 0, NULL);
    TakeBands(&share);
    for (int i = 1; i < n; i++)
        if (threads[i]) {
            WaitForSingleObject(threads[i], INFINITE);
            CloseHandle(threads[i]);
        }
}
