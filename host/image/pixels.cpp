// Pixel access for plug-ins. Effects and transforms call these once or twice per pixel, so the
// start services look everything up once and each call is a few comparisons and array accesses.
// Image coordinates address the started image; group coordinates (image + layer origin) address
// the base, whose size the mask, the draw buffer, the coverage and the work mask all share.
#include "image/current.h"
#include "image/pixels.h"
#include "image/cdib.h"
#include "image/group.h"
#include "image/dirtyrect.h"
#include "image/pen.h"
#include <math.h>

namespace {

struct PixelContext {
    CDIB *image;            // the started image
    const uint32_t *pixels; // its store when it is a 32-bit one
    int width, height, depth;
    CDIB *base;
    int baseWidth, baseHeight, baseDepth;
    int layerX, layerY;
    ImageGroup *group;
    uint8_t *coverage; // of the current window, when it shows the group
    uint8_t *workMask; // likewise
    bool inBase;       // the started 32-bit image lies wholly on the base
};

PixelContext s_px;

// Far enough outside any image that truncation and origin sums stay inside int range.
const double kFarCoordinate = 1e9;

const uint32_t *Store32(const CDIB *image, int *width, int *height)
{
    int depth;
    GetImageSize(image, width, height, &depth);
    if (!image || !image->pixels || depth != 32 || *width <= 0 || *height <= 0)
        return NULL;
    return (const uint32_t *)image->pixels;
}

// The store an image argument reads from, the size reads are clamped into and the row length.
// Plug-ins pass the started image; any other is read with its own rows, within the part of it
// that the started image's size also covers, never past its store.
__attribute__((noinline)) const uint32_t *OtherSource(const CDIB *image, int *width, int *height, int *stride)
{
    const uint32_t *px = Store32(image, width, height);
    *stride = *width;
    if (px && s_px.width > 0 && s_px.height > 0) {
        if (s_px.width < *width)
            *width = s_px.width;
        if (s_px.height < *height)
            *height = s_px.height;
    }
    return px;
}

inline const uint32_t *SourceFor(const CDIB *image, int *width, int *height, int *stride)
{
    if (image == s_px.image && s_px.pixels && image->pixels == s_px.pixels) {
        *width = *stride = s_px.width;
        *height = s_px.height;
        return s_px.pixels;
    }
    return OtherSource(image, width, height, stride);
}

inline uint32_t ReadClamped(const uint32_t *px, int stride, int width, int height, int x, int y)
{
    if (!px)
        return 0;
    x = x < 0 ? 0 : x >= width ? width - 1 : x;
    y = y < 0 ? 0 : y >= height ? height - 1 : y;
    return px[(size_t)y * (size_t)stride + (size_t)x];
}

inline bool InsideBase(int64_t gx, int64_t gy)
{
    return gx >= 0 && gy >= 0 && gx < s_px.baseWidth && gy < s_px.baseHeight;
}

double BoundCoordinate(double v)
{
    if (v < -kFarCoordinate)
        return -kFarCoordinate;
    return v > kFarCoordinate ? kFarCoordinate : v;
}

// The base size of the group a window shows; false when it has none.
bool WindowBase(const ImageWindow *window, int *width, int *height)
{
    int depth;
    if (!window || !window->group || !window->group->base)
        return false;
    GetImageSize(window->group->base, width, height, &depth);
    return *width > 0 && *height > 0;
}

} // namespace

// Whether every pixel of the started image has a place in the base-sized buffers, so that a write
// needs no test of its own against the base.
static void CheckStartedImageInBase()
{
    int64_t right = (int64_t)s_px.layerX + s_px.width, bottom = (int64_t)s_px.layerY + s_px.height;
    s_px.inBase = s_px.pixels && s_px.base && s_px.layerX >= 0 && s_px.layerY >= 0 && right <= s_px.baseWidth &&
                  bottom <= s_px.baseHeight;
}

static void SetStartedImage(CDIB *image)
{
    s_px.image = image;
    GetImageSize(image, &s_px.width, &s_px.height, &s_px.depth);
    s_px.pixels = Store32(image, &s_px.width, &s_px.height);
}

void StartOnPlainImage(CDIB *image)
{
    // The image size is taken too: a plain start is made on small preview copies, and sizes left
    // from an earlier, larger image would let reads run past the copy.
    SetStartedImage(image);
    s_px.base = image;
    GetImageSize(image, &s_px.baseWidth, &s_px.baseHeight, &s_px.baseDepth);
    s_px.layerX = s_px.layerY = 0;
    s_px.group = NULL;
    s_px.coverage = s_px.workMask = NULL;
    CheckStartedImageInBase();
}

void ForgetStartedImage(const CDIB *image)
{
    // The context would otherwise keep reading and writing through the freed store.
    if (image && (image == s_px.image || image == s_px.base))
        s_px = PixelContext();
}

void ForgetWindowBuffers(const ImageWindow *window)
{
    // The start keeps the coverage and work mask of the window it began on; they go with a rebuild.
    if (window && ((s_px.coverage && s_px.coverage == window->coverage) ||
                   (s_px.workMask && s_px.workMask == window->editMask)))
        s_px.coverage = s_px.workMask = NULL;
}

QZS_DECL(uint8_t *) QzsStartOnImageMDIB(ImageGroup *group, CDIB *image)
{
    if (!group || !group->base) {
        StartOnPlainImage(image);
        return NULL;
    }
    SetStartedImage(image);
    s_px.base = group->base;
    GetImageSize(group->base, &s_px.baseWidth, &s_px.baseHeight, &s_px.baseDepth);
    s_px.layerX = group->layerX;
    s_px.layerY = group->layerY;
    s_px.group = group;
    // The window's stroke buffers have the size of the base it shows; another group's base may
    // differ, so they are used only for the group the window shows.
    ImageWindow *window = g_currentWindow;
    bool shows = window && window->group == group;
    s_px.coverage = shows ? window->coverage : NULL;
    s_px.workMask = shows ? window->editMask : NULL;
    CheckStartedImageInBase();
    return s_px.coverage;
}

QZS_DECL(uint8_t *) QzsStartOnImage(CDIB *image)
{
    return QzsStartOnImageMDIB(g_currentGroup, image);
}

// Any other read: another image, a point outside (clamped to the edge), no started store.
static __attribute__((noinline)) int ReadColorElsewhere(CDIB *image, int x, int y, uint32_t *color)
{
    int w, h, stride;
    const uint32_t *px = SourceFor(image, &w, &h, &stride);
    if (!color)
        return 0;
    if (px && (unsigned)x < (unsigned)w && (unsigned)y < (unsigned)h) {
        *color = px[(size_t)y * (size_t)stride + (size_t)x];
        return 1;
    }
    *color = ReadClamped(px, stride, w, h, x, y);
    return 0;
}

QZS_DECL(int) QzsGetColorOnImage(CDIB *image, int x, int y, uint32_t *color)
{
    // The read an effect makes for each pixel, the started image inside it, needs no frame.
    const uint32_t *started = s_px.pixels;
    if (image == s_px.image && started && (unsigned)x < (unsigned)s_px.width && (unsigned)y < (unsigned)s_px.height &&
        color && image->pixels == started) {
        *color = started[(size_t)y * (size_t)s_px.width + (size_t)x];
        return 1;
    }
    return ReadColorElsewhere(image, x, y, color);
}

QZS_DECL(int) QzsGetColorOnImageGlobal(ImageWindow *window, int x, int y, uint32_t *color)
{
    if (!window || !window->group) {
        if (color)
            *color = 0;
        return 0;
    }
    const ImageGroup *g = window->group;
    int64_t lx = (int64_t)x - g->layerX, ly = (int64_t)y - g->layerY;
    // Far outside: any point outside clamps to the same edge.
    lx = lx < -1 ? -1 : lx > INT32_MAX ? INT32_MAX : lx;
    ly = ly < -1 ? -1 : ly > INT32_MAX ? INT32_MAX : ly;
    return QzsGetColorOnImage(g->currentImage, (int)lx, (int)ly, color);
}

QZS_DECL(void) QzsGetMaskOnImage(CDIB *, int x, int y, uint8_t *mask)
{
    if (!mask)
        return;
    const uint8_t *m = s_px.base ? s_px.base->mask : NULL;
    *mask = m && InsideBase(x, y) ? m[(size_t)y * (size_t)s_px.baseWidth + (size_t)x] : 0;
}

// Any other write: region bits, the colour's own alpha, a layer reaching off the base.
static __attribute__((noinline)) int WriteColorChecked(uint32_t *dest, int x, int y, const uint32_t *color, int bits,
                                                       int useAlpha)
{
    if ((unsigned)x >= (unsigned)s_px.width || (unsigned)y >= (unsigned)s_px.height || !dest || !color)
        return 0;
    // A layer may lie partly off the base (negative origin, or larger than the base): its pixels
    // there have no place in the base-sized buffers.
    int64_t gx = (int64_t)x + s_px.layerX, gy = (int64_t)y + s_px.layerY;
    if (!InsideBase(gx, gy))
        return 0;
    size_t i = (size_t)gy * (size_t)s_px.baseWidth + (size_t)gx;
    const uint8_t *mask = s_px.base->mask;
    unsigned m = mask ? mask[i] : 0;
    if (m >= 128)
        return 0;
    if (bits) {
        if (bits & 0x20) {
            unsigned e = s_px.workMask ? s_px.workMask[i] : 0;
            unsigned b = bits & ~0x20;
            if (!b)
                b = 255;
            if (!(e & 0x20) || !(e & b))
                return 0;
        } else if (!(m & bits)) {
            return 0;
        }
    }
    uint32_t value = *color;
    if (!useAlpha) {
        uint32_t own = s_px.pixels ? s_px.pixels[(size_t)y * (size_t)s_px.width + (size_t)x] : 0;
        value = (value & 0x00FFFFFF) | (own & 0xFF000000);
    }
    dest[i] = value;
    if (s_px.coverage)
        s_px.coverage[i] = 255;
    return 1;
}

QZS_DECL(int) QzsSetColorOnImage(CDIB *, uint32_t *dest, int x, int y, const uint32_t *color, int bits,
                                 int useAlpha)
{
    // The common write of an effect, needing no frame: no region bits, the pixel's own alpha
    // kept, an image on the base.
    if (s_px.inBase && !bits && !useAlpha && (unsigned)x < (unsigned)s_px.width &&
        (unsigned)y < (unsigned)s_px.height && dest && color) {
        size_t i = (size_t)(y + s_px.layerY) * (size_t)s_px.baseWidth + (size_t)(x + s_px.layerX);
        const uint8_t *mask = s_px.base->mask;
        if (mask && mask[i] >= 128)
            return 0;
        dest[i] = (*color & 0x00FFFFFF) | (s_px.pixels[(size_t)y * (size_t)s_px.width + (size_t)x] & 0xFF000000);
        if (s_px.coverage)
            s_px.coverage[i] = 255;
        return 1;
    }
    return WriteColorChecked(dest, x, y, color, bits, useAlpha);
}

QZS_DECL(int) QzsSetColorOnEdtWin(ImageWindow *window, int x, int y, const uint32_t *color)
{
    if (!window || !color || !window->group || !window->drawBuffer || !window->coverage)
        return 0;
    const ImageGroup *g = window->group;
    int64_t lx = g->layerX, ly = g->layerY;
    if (x < 0 || y < 0 || x > g->right - lx || y > g->bottom - ly || lx + x < 0 || ly + y < 0)
        return 0;
    int bw, bh, ew, eh;
    if (!WindowBase(window, &bw, &bh))
        return 0;
    int64_t gx = lx + x, gy = ly + y;
    if (gx >= bw || gy >= bh)
        return 0;
    const uint32_t *edited = Store32(window->layerImage ? window->layerImage : g->currentImage, &ew, &eh);
    if (!edited || x >= ew || y >= eh)
        return 0;
    size_t i = (size_t)gy * (size_t)bw + (size_t)gx;
    const uint8_t *mask = g->base->mask;
    uint32_t s = *color;
    unsigned as = s >> 24;
    if ((mask && mask[i] >= 128) || as == 0)
        return 0;
    // S over D, both with alpha.
    uint32_t d = edited[(size_t)y * (size_t)ew + (size_t)x];
    unsigned ad = d >> 24;
    uint32_t out = s; // an opaque colour, or any colour over a clear pixel, comes out unchanged
    if (as != 255 && ad != 0) {
        unsigned k = 255 * (as + ad) - as * ad;
        out = (k / 255) << 24;
        for (int shift = 0; shift < 24; shift += 8) {
            unsigned sc = (s >> shift) & 255, dc = (d >> shift) & 255;
            out |= ((sc * 255 * as + dc * ad * (255 - as)) / k) << shift;
        }
    }
    window->drawBuffer[i] = out;
    window->coverage[i] = 255;
    ExtendDirtyRect((int)gx, (int)gy); // group coordinates, as everything downstream reads them
    return 1;
}

QZS_DECL(int) QzsCheckInRegion(int maskByte, int, int, int bits)
{
    return bits == 0 || (maskByte & 255 & bits) != 0;
}

QZS_DECL(int) QzsLinearInterpolate(CDIB *image, double x, double y, uint8_t *color, uint8_t *mask)
{
    // A position that is no number lies nowhere: nothing is read, and it answers as a point off
    // the base does, with a clear colour.
    if (!isfinite(x) || !isfinite(y)) {
        if (color)
            color[0] = color[1] = color[2] = color[3] = 0;
        if (mask)
            *mask = 0;
        return 0;
    }
    x = BoundCoordinate(x);
    y = BoundCoordinate(y);
    int ix = (int)x, iy = (int)y;
    double fx = x - ix, fy = y - iy;
    int w, h, stride;
    const uint32_t *px = SourceFor(image, &w, &h, &stride);
    uint32_t a, b, c, d;
    if (px && (unsigned)ix < (unsigned)(w - 1) && (unsigned)iy < (unsigned)(h - 1)) {
        const uint32_t *p = px + (size_t)iy * (size_t)stride + (size_t)ix;
        a = p[0], c = p[1], b = p[stride], d = p[stride + 1];
    } else {
        a = ReadClamped(px, stride, w, h, ix, iy), c = ReadClamped(px, stride, w, h, ix + 1, iy);
        b = ReadClamped(px, stride, w, h, ix, iy + 1), d = ReadClamped(px, stride, w, h, ix + 1, iy + 1);
    }
    if (color) {
        for (int k = 0; k < 4; k++) {
            int shift = 8 * k;
            double v = (1 - fy) * ((1 - fx) * ((a >> shift) & 255) + fx * ((c >> shift) & 255)) +
                       fy * ((1 - fx) * ((b >> shift) & 255) + fx * ((d >> shift) & 255)) + 0.5;
            int t = (int)v;
            color[k] = (uint8_t)(t < 0 ? 0 : t > 255 ? 255 : t);
        }
    }
    int64_t gx = (int64_t)ix + s_px.layerX, gy = (int64_t)iy + s_px.layerY;
    if (!InsideBase(gx, gy)) {
        if (mask)
            *mask = 0;
        return 0;
    }
    if (mask) {
        const uint8_t *m = s_px.base->mask;
        *mask = m ? m[(size_t)gy * (size_t)s_px.baseWidth + (size_t)gx] : 0;
    }
    return 1;
}

QZS_DECL(int) QzsLinearInterpolateGlobal(ImageWindow *window, double x, double y, uint8_t *color, uint8_t *mask)
{
    if (!window || !window->group) {
        if (color)
            color[0] = color[1] = color[2] = color[3] = 0;
        if (mask)
            *mask = 0;
        return 0;
    }
    const ImageGroup *g = window->group;
    return QzsLinearInterpolate(g->currentImage, x - g->layerX, y - g->layerY, color, mask);
}

uint32_t *FillPenWork(PenRecord *pen, int x, int y)
{
    if (!pen || !pen->work || !pen->weights || pen->side <= 0)
        return pen ? pen->work : NULL;
    int n = pen->side;
    int left = pen->left < 0 ? 0 : pen->left, right = pen->right >= n ? n - 1 : pen->right;
    int top = pen->top < 0 ? 0 : pen->top, bottom = pen->bottom >= n ? n - 1 : pen->bottom;
    int64_t x0 = (int64_t)x - pen->hotX, y0 = (int64_t)y - pen->hotY;
    for (int r = top; r <= bottom; r++) {
        int64_t sy = y0 + r;
        int cy = sy < -1 ? -1 : sy > INT32_MAX ? INT32_MAX : (int)sy;
        size_t row = (size_t)r * (size_t)n;
        for (int c = left; c <= right; c++) {
            int64_t sx = x0 + c;
            int cx = sx < -1 ? -1 : sx > INT32_MAX ? INT32_MAX : (int)sx;
            pen->work[row + c] =
                pen->weights[row + c] ? ReadClamped(s_px.pixels, s_px.width, s_px.width, s_px.height, cx, cy) : 0;
        }
    }
    return pen->work;
}

QZS_DECL(uint32_t *) QzsGetColorInPen(int x, int y)
{
    ImageWindow *window = g_currentWindow;
    if (window && window->group)
        QzsStartOnImageMDIB(window->group, window->group->currentImage);
    PenRecord *pen = QzsGetPen();
    // A plug-in may have written the side: never walk past the matrices the pen was made with.
    if (pen->side > GetPenCapacity())
        return pen->work;
    return FillPenWork(pen, x, y);
}

QZS_DECL(uint8_t *) QzsSetDrawFlag(ImageWindow *window, int x, int y, int on)
{
    int bw, bh;
    if (!WindowBase(window, &bw, &bh) || !window->editMask || x < 0 || y < 0 || x >= bw || y >= bh)
        return NULL;
    uint8_t *row = window->editMask + (size_t)y * (size_t)bw;
    if (on)
        row[x] |= 0x40;
    else
        row[x] &= ~0x40;
    return row;
}

QZS_DECL(int) QzsGetMask(ImageWindow *window, int x, int y)
{
    int bw, bh;
    if (!WindowBase(window, &bw, &bh) || !window->editMask || x < 0 || y < 0 || x >= bw || y >= bh)
        return 0;
    return window->editMask[(size_t)y * (size_t)bw + (size_t)x];
}
