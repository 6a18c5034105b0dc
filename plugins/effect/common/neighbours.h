// The source rows around the row being computed, for effects that read a window of neighbours:
// each source row is read once through the host (which repeats the edge pixels outside the image)
// instead of once per neighbour that needs it.
#pragma once
#include "effectmain.h"

namespace fx {

class Band {
public:
    Band() = default;
    Band(const Band &) = delete;
    Band &operator=(const Band &) = delete;
    ~Band() { free(cells_); }

    // Room for 2 radius + 1 rows of the area widened by radius on both sides; false when no memory.
    bool Open(const Area &a, int radius)
    {
        area_ = a;
        radius_ = radius < 0 ? 0 : radius;
        span_ = 2 * (long long)radius_ + 1;
        width_ = (long long)a.right - a.left + 1 + 2 * (long long)radius_;
        if (width_ <= 0)
            width_ = 1;
        free(cells_);
        cells_ = Allocate<uint32_t>(span_, width_);
        loadedLow_ = 1, loadedHigh_ = 0;
        return cells_ != NULL;
    }

    // Rows y - radius .. y + radius read; rows already read stay.
    void MoveTo(int y)
    {
        long long low = (long long)y - radius_, high = (long long)y + radius_;
        for (long long row = low; row <= high; row++)
            if (row < loadedLow_ || row > loadedHigh_)
                Load(row);
        loadedLow_ = low, loadedHigh_ = high;
    }

    // The pixel (x, y): x within radius of the area's columns, y within radius of the row moved to.
    uint32_t At(long long x, long long y) const { return Row(y)[x - area_.left + radius_]; }
    // Row y, indexed by x - left + radius.
    const uint32_t *Row(long long y) const { return cells_ + Slot(y) * width_; }

private:
    long long Slot(long long row) const
    {
        long long s = row % span_;
        return s < 0 ? s + span_ : s;
    }
    void Load(long long row)
    {
        uint32_t *out = cells_ + Slot(row) * width_;
        int y = Clamp(row, INT32_MIN, INT32_MAX);
        for (long long i = 0; i < width_; i++)
            QzsGetColorOnImage(area_.image, Clamp((long long)area_.left - radius_ + i, INT32_MIN, INT32_MAX), y, &out[i]);
    }

    Area area_{};
    int radius_ = 0;
    long long span_ = 1, width_ = 1;
    uint32_t *cells_ = NULL;
    long long loadedLow_ = 1, loadedHigh_ = 0;
};

} // namespace fx
