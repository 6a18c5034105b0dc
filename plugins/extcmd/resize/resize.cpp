// Resize command: a resized 32-bit copy of an image by nearest neighbour, bilinear,
// area-average or bicubic resampling, optionally keeping the source's aspect ratio with the free
// space in the background colour (colour record 1). The host hands the entry point out by name
// through QzsGetCommandProc("ResizeImage"); the argument and result records are ExtCommandArgs and
// ExtCommandResult (include/ovrin/qzrecords.h). The result record is allocated here with calloc
// and filled by QzsCreateCDIB; the caller owns it: QzsDisposeCDIB, then free.
//
// Edges and failures: bilinear treats a source position left of or above the picture as
// outside (as bicubic does), so no extrapolated or wrapped colours appear beside the picture;
// bicubic results are limited to 0..255; a failed allocation (the record, the image, the tables)
// stores no image (word 1 NULL) and returns 0; sizes that do not fit an int are not cut down but
// given to QzsCreateCDIB as the nearest int, so that the host refuses them with its own messages
// (11 and the "MES" box), as it refuses every size whose 32-bit store passes its limit; nearest
// neighbour keeps the last source pixel where a position inside it rounds past the edge (plain
// rounding would end every enlargement in a line of background); an area-average span that runs
// past the far edge reads the edge pixel there.
#include "ovrin.h"
#include <limits.h>
#include <math.h>
#include <stdlib.h>
#include <string.h>

#include "resize.h"

namespace {

// Source position of output pixel (X, Y): ((X - xoff) numX / denX, (Y - yoff) numY / denY).
struct Geometry {
    int64_t numX, denX, numY, denY;
    int64_t xoff, yoff;
};

Geometry MakeGeometry(int sw, int sh, int W, int H, bool keepAspect)
{
    Geometry g = {sw, W, sh, H, 0, 0};
    // An empty source has no aspect (and would divide by zero): every pixel is background anyway.
    if (!keepAspect || sw <= 0 || sh <= 0)
        return g;
    int64_t d = (int64_t)W * sh - (int64_t)H * sw;
    if (d < 1) {
        g.numX = g.numY = sw;
        g.denX = g.denY = W;
        g.yoff = ((int64_t)H * sw - (int64_t)W * sh) / (2 * (int64_t)sw);
    } else {
        g.numX = g.numY = sh;
        g.denX = g.denY = H;
        g.xoff = d / (2 * (int64_t)sh);
    }
    return g;
}

// The source coordinate of output column or row i, as a double.
inline double SourceAt(int64_t i, int64_t off, int64_t num, int64_t den)
{
    return (double)((i - off) * num) / (double)den;
}

inline int Channel(uint32_t c, int k) { return (int)(c >> (8 * k) & 255); }
inline uint32_t Pack(const int v[4])
{
    return (uint32_t)v[0] | (uint32_t)v[1] << 8 | (uint32_t)v[2] << 16 | (uint32_t)v[3] << 24;
}
inline int Limit(int v) { return v < 0 ? 0 : v > 255 ? 255 : v; }

struct Job {
    CDIB *source;
    int sw, sh;
    int W, H;
    Geometry g;
    uint32_t *out; // W x H, row 0 at the top
    uint32_t background;
};

// Every row with its progress call first.
template <class Row> void EachRow(const Job &j, Row row)
{
    for (int y = 0; y < j.H; y++) {
        QzsProgressWindow(y, j.H - 1);
        row(y, j.out + (size_t)y * (size_t)j.W);
    }
}

// ---- 0: nearest neighbour ----

// The rounded source index, or -1 outside the source. A position inside the last source pixel
// that rounds up past the edge keeps that pixel (plain rounding would give the background there,
// a line of it along the right and bottom edges of every plain enlargement by more than 2).
int NearestIndex(int64_t i, int64_t off, int64_t num, int64_t den, int size)
{
    int64_t s = ((i - off) * num + den / 2) / den; // C division: truncation toward zero
    if (s >= size && (i - off) * num < (int64_t)size * den)
        s = size - 1;
    return s >= 0 && s < size ? (int)s : -1;
}

bool Nearest(const Job &j)
{
    int *cols = (int *)malloc((size_t)j.W * sizeof(int));
    if (!cols)
        return false;
    for (int x = 0; x < j.W; x++)
        cols[x] = NearestIndex(x, j.g.xoff, j.g.numX, j.g.denX, j.sw);
    EachRow(j, [&](int y, uint32_t *out) {
        int row = NearestIndex(y, j.g.yoff, j.g.numY, j.g.denY, j.sh);
        for (int x = 0; x < j.W; x++) {
            uint32_t c;
            out[x] = row >= 0 && cols[x] >= 0 && QzsGetColorOnImage(j.source, cols[x], row, &c) ? c : j.background;
        }
    });
    free(cols);
    return true;
}

// ---- 1: bilinear, 3: bicubic ----

// One column or row of an interpolating method: whether the position is inside the source (not
// left of or above it, and below its size), the indexes of its taps (from the truncated position
// on: for bicubic one before it and two after; limited to the source, so that a tap beyond an edge
// is the edge pixel) and their weights.
struct Tap {
    bool inside;
    int at[4];
    double w[4];
};

const double kTruncationSlack = 1e-9;

double Kernel(double t)
{
    t = fabs(t);
    if (t < 1)
        return t * t * t - 2 * t * t + 1;
    if (t < 2)
        return -t * t * t + 5 * t * t - 8 * t + 4;
    return 0;
}

Tap MakeTap(int64_t i, int64_t off, int64_t num, int64_t den, int size, bool cubic)
{
    Tap t = {false, {0, 0, 0, 0}, {0, 0, 0, 0}};
    double s = SourceAt(i, off, num, den);
    if (!(s >= 0 && s < size))
        return t;
    t.inside = true;
    int index = (int)s;
    double f = s - index;
    int first = cubic ? index - 1 : index;
    for (int n = 0; n < 4; n++) {
        int p = first + n;
        t.at[n] = p < 0 ? 0 : p >= size ? size - 1 : p;
    }
    if (cubic) {
        t.w[0] = Kernel(f + 1);
        t.w[1] = Kernel(f);
        t.w[2] = Kernel(1 - f);
        t.w[3] = Kernel(2 - f);
    } else {
        t.w[0] = 1 - f;
        t.w[1] = f;
    }
    return t;
}

// Source rows combined along x for every output column ("columns first"): for each column the
// four channels of sum over the taps of weight x sample, as doubles. Each source row is read whole
// through QzsGetColorOnImage and combined once while it is in use; an output row needs at most
// `slots` (2 or 4) consecutive source rows, and row y lives in slot y mod slots. The sums are the
// same numbers, in the same order, as the per-pixel formulas give.
class CombinedRows {
public:
    CombinedRows(const Job &j, const Tap *cols, int slots) : j_(j), cols_(cols), slots_(slots)
    {
        source_ = (uint32_t *)malloc((size_t)j.sw * sizeof(uint32_t));
        store_ = (double *)malloc((size_t)j.W * 4 * sizeof(double) * (size_t)slots);
        for (int i = 0; i < 4; i++)
            tag_[i] = -1;
    }
    ~CombinedRows()
    {
        free(source_);
        free(store_);
    }
    bool ok() const { return source_ && store_; }
    const double *Row(int y)
    {
        int slot = y & (slots_ - 1);
        double *row = store_ + (size_t)slot * (size_t)j_.W * 4;
        if (tag_[slot] == y)
            return row;
        for (int x = 0; x < j_.sw; x++)
            QzsGetColorOnImage(j_.source, x, y, &source_[x]);
        for (int x = 0; x < j_.W; x++) {
            const Tap &c = cols_[x];
            if (!c.inside)
                continue;
            double part[4] = {0, 0, 0, 0};
            for (int n = 0; n < slots_; n++) {
                uint32_t s = source_[c.at[n]];
                for (int k = 0; k < 4; k++)
                    part[k] += c.w[n] * Channel(s, k);
            }
            for (int k = 0; k < 4; k++)
                row[(size_t)x * 4 + k] = part[k];
        }
        tag_[slot] = y;
        return row;
    }

private:
    const Job &j_;
    const Tap *cols_;
    int slots_;
    uint32_t *source_;
    double *store_;
    int tag_[4];
};

// Bilinear (2 taps) or bicubic (4): each channel = sum over the rows of row weight x the row's
// combination, plus `add`, truncated and limited to a byte.
bool Interpolate(const Job &j, bool cubic, double add)
{
    int taps = cubic ? 4 : 2;
    Tap *cols = (Tap *)malloc((size_t)j.W * sizeof(Tap));
    if (!cols)
        return false;
    for (int x = 0; x < j.W; x++)
        cols[x] = MakeTap(x, j.g.xoff, j.g.numX, j.g.denX, j.sw, cubic);
    CombinedRows rows(j, cols, taps);
    if (!rows.ok()) {
        free(cols);
        return false;
    }
    EachRow(j, [&](int y, uint32_t *out) {
        Tap r = MakeTap(y, j.g.yoff, j.g.numY, j.g.denY, j.sh, cubic);
        const double *row[4] = {NULL, NULL, NULL, NULL};
        if (r.inside)
            for (int m = 0; m < taps; m++)
                row[m] = rows.Row(r.at[m]);
        for (int x = 0; x < j.W; x++) {
            if (!r.inside || !cols[x].inside) {
                out[x] = j.background;
                continue;
            }
            int v[4];
            for (int k = 0; k < 4; k++) {
                double sum = 0;
                for (int m = 0; m < taps; m++)
                    sum += r.w[m] * row[m][(size_t)x * 4 + k];
                v[k] = Limit((int)(sum + add));
            }
            out[x] = Pack(v);
        }
    });
    free(cols);
    return true;
}

// (1 - fy)((1 - fx) a + fx c) + fy((1 - fx) b + fx d) + 0.5, with a (ix, iy), b (ix, iy + 1),
// c (ix + 1, iy), d (ix + 1, iy + 1); within 0..255 by itself.
bool Bilinear(const Job &j)
{
    return Interpolate(j, false, 0.5);
}

// Truncated, then the kernel's overshoot limited to a byte. The weights add up to 1 only within
// rounding, so a sum that is a whole number (every flat area) may come out a hair below it:
// kTruncationSlack keeps white 255 from turning into 254.
bool Bicubic(const Job &j)
{
    return Interpolate(j, true, kTruncationSlack);
}

// ---- 2: area average ----

inline uint32_t Sample(CDIB *source, int x, int y)
{
    uint32_t c = 0;
    QzsGetColorOnImage(source, x, y, &c);
    return c;
}

// The source span [from, to) of an output column or row and the whole pixels it touches,
// [first, end) limited to the source; first is -1 when the span starts outside the source.
// A span that runs past the source's far edge (keep aspect) reads the edge pixel there, so the
// edge pixel also takes the part beyond it.
struct Span {
    double from, to;
    int first, end, edge;
};

Span MakeSpan(int64_t i, int64_t off, int64_t num, int64_t den, int size)
{
    Span s;
    s.from = SourceAt(i, off, num, den);
    s.to = SourceAt(i + 1, off, num, den);
    s.edge = size - 1;
    if (!(s.from >= 0 && s.from < size)) {
        s.first = s.end = -1;
        return s;
    }
    s.first = (int)s.from;
    double end = ceil(s.to);
    s.end = end < size ? (int)end : size;
    if (s.end <= s.first)
        s.end = s.first + 1;
    return s;
}

inline double Overlap(const Span &s, int p)
{
    double lo = s.from > p ? s.from : p, hi = s.to < p + 1 || p == s.edge ? s.to : p + 1;
    return hi - lo;
}

bool AreaAverage(const Job &j)
{
    Span *cols = (Span *)malloc((size_t)j.W * sizeof(Span));
    if (!cols)
        return false;
    for (int x = 0; x < j.W; x++)
        cols[x] = MakeSpan(x, j.g.xoff, j.g.numX, j.g.denX, j.sw);
    EachRow(j, [&](int y, uint32_t *out) {
        Span r = MakeSpan(y, j.g.yoff, j.g.numY, j.g.denY, j.sh);
        for (int x = 0; x < j.W; x++) {
            const Span &c = cols[x];
            if (r.first < 0 || c.first < 0) {
                out[x] = j.background;
                continue;
            }
            double sum[4] = {0, 0, 0, 0}, total = 0;
            for (int sy = r.first; sy < r.end; sy++) {
                double wy = Overlap(r, sy);
                for (int sx = c.first; sx < c.end; sx++) {
                    double w = wy * Overlap(c, sx);
                    uint32_t s = Sample(j.source, sx, sy);
                    for (int k = 0; k < 4; k++)
                        sum[k] += w * Channel(s, k);
                    total += w;
                }
            }
            int v[4];
            for (int k = 0; k < 4; k++)
                v[k] = total > 0 ? Limit((int)(sum[k] / total + 0.5)) : 0;
            out[x] = Pack(v);
        }
    });
    free(cols);
    return true;
}

// A size word as an int: values past the int range become its nearest end, never cut to their
// low bits, so the host sees (and refuses) the size asked for.
int SizeWord(INT_PTR v)
{
    return v > INT_MAX ? INT_MAX : v < INT_MIN ? INT_MIN : (int)v;
}

} // namespace

int RunResize(ExtCommandArgs *args, ExtCommandResult *result)
{
    if (!args || !result)
        return 0;
    result->image = NULL;
    int W = SizeWord(args->width), H = SizeWord(args->height);
    CDIB *image = (CDIB *)calloc(1, sizeof(CDIB));
    if (!image)
        return 0;
    // The host refuses sizes whose 32-bit store passes its limit (or is empty) with its messages.
    if (QzsCreateCDIB(W, H, 32, image) != 0 || !image->pixels) {
        free(image);
        return 0;
    }
    INT_PTR method = args->method;
    if (method < 0 || method > 3) {
        // No such method: the image as created, all zero.
        memset(image->pixels, 0, (size_t)W * (size_t)H * 4);
        result->image = image;
        return 1;
    }
    Job j;
    j.source = args->source;
    int depth = 32;
    QzsGetCDIBinfo(j.source, &j.sw, &j.sh, &depth);
    // A source without a 32-bit store (none, or a packed view-only image) has no pixels to read:
    // every method gives the background, as for positions outside a picture.
    if (j.sw <= 0 || j.sh <= 0 || depth != 32 || !j.source->pixels)
        j.sw = j.sh = 0;
    j.W = W;
    j.H = H;
    j.g = MakeGeometry(j.sw, j.sh, W, H, args->keepAspect != 0);
    j.out = (uint32_t *)image->pixels;
    const ColorRecord *back = QzsGetColor(1);
    j.background = back ? 0xFF000000u | (uint32_t)(back->red & 255) << 16 | (uint32_t)(back->green & 255) << 8 |
                              (uint32_t)(back->blue & 255)
                        : 0xFF000000u;

    QzsStartOnImage(j.source);
    QzsSetProgressMessage("Now Resizing...");
    bool done = false;
    switch (method) {
    case 0: done = Nearest(j); break;
    case 1: done = Bilinear(j); break;
    case 2: done = AreaAverage(j); break;
    case 3: done = Bicubic(j); break;
    }
    QzsCloseProgressWindow();
    if (!done) {
        QzsDisposeCDIB(image);
        free(image);
        return 0;
    }
    result->image = image;
    return 1;
}

#ifndef QZ_RESIZE_NO_ENTRY
QZC_EXPORT(int) QzcExtCommand(INT_PTR unused, void *args, void *result)
{
    return RunResize((ExtCommandArgs *)args, (ExtCommandResult *)result);
}
#endif
