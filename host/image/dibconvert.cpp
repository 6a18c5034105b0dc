// A read picture (DIB) turned into a 32-bit image.
#include "image/dibconvert.h"
#include "image/cdib.h"
#include "image/imagelist.h"
#include <string.h>

int IsInfoHeader(const void *header)
{
    uint32_t size;
    memcpy(&size, header, 4);
    return size != 12; // a core header is 12 bytes
}

int CountDibPaletteEntries(const BITMAPINFOHEADER *header)
{
    if (IsInfoHeader(header) && header->biClrUsed != 0)
        return (int)header->biClrUsed;
    switch (header->biBitCount) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
    }
}

int64_t GetDibRowBytes(int width, int depth)
{
    int64_t w = width;
    switch (depth) {
    case 1: return ((w + 7) / 8 + 3) / 4 * 4;
    case 4: return ((w + 1) / 2 + 3) / 4 * 4;
    case 8: return (w + 3) / 4 * 4;
    case 16: return (w + 1) / 2 * 4;
    case 24: return (3 * w + 3) / 4 * 4;
    case 32: return 4 * w;
    default: return -1;
    }
}

void FitPixelAspect(const BITMAPINFOHEADER *header, int *width, int *height)
{
    int64_t w = header->biWidth, h = header->biHeight;
    int64_t x = header->biXPelsPerMeter, y = header->biYPelsPerMeter;
    *width = (int)w;
    *height = (int)h;
    // A zero or negative resolution on either axis says nothing about the aspect.
    if (x <= 0 || y <= 0 || x == y)
        return;
    if (x > y)
        h = h * x / y;
    else
        w = (w * y + x / 2) / x;
    // Each side alone is bounded first: a huge ratio would overflow the product.
    if (w < header->biWidth || h < header->biHeight || w > kMaxPixelBytes / 4 || h > kMaxPixelBytes / 4 ||
        w * h * 4 > kMaxPixelBytes)
        return;
    *width = (int)w;
    *height = (int)h;
}

void CopyPixels32(uint32_t *dst, const uint32_t *src, int64_t count, int keepAlpha)
{
    if (keepAlpha) {
        memcpy(dst, src, (size_t)count * 4);
        return;
    }
    for (int64_t i = 0; i < count; i++)
        dst[i] = src[i] | 0xFF000000u;
}

static uint32_t Entry(const RGBQUAD *palette, int index)
{
    const RGBQUAD &q = palette[index & 255];
    return q.rgbBlue | q.rgbGreen << 8 | q.rgbRed << 16 | 0xFF000000u;
}

// One loop per depth, so that the depth is decided once a row.
void ConvertDibRow(uint32_t *out, const uint8_t *src, const RGBQUAD *palette, int width, int depth, int keepAlpha)
{
    switch (depth) {
    case 1:
        for (int x = 0; x < width; x++)
            out[x] = Entry(palette, (src[x / 8] >> (7 - x % 8)) & 1);
        break;
    case 4:
        for (int x = 0; x < width; x++)
            out[x] = Entry(palette, x & 1 ? src[x / 2] & 15 : src[x / 2] >> 4);
        break;
    case 8:
        for (int x = 0; x < width; x++)
            out[x] = Entry(palette, src[x]);
        break;
    case 16:
        for (int x = 0; x < width; x++) {
            uint32_t v = src[2 * x] | src[2 * x + 1] << 8;
            uint32_t r = ((v >> 7) & 0xF8) | 7, g = ((v >> 2) & 0xF8) | 7, b = ((v << 3) & 0xF8) | 7;
            out[x] = b | g << 8 | r << 16 | 0xFF000000u;
        }
        break;
    case 24:
        for (int x = 0; x < width; x++)
            out[x] = src[3 * x] | src[3 * x + 1] << 8 | src[3 * x + 2] << 16 | 0xFF000000u;
        break;
    case 32:
        for (int x = 0; x < width; x++) {
            uint32_t v;
            memcpy(&v, src + 4 * x, 4);
            out[x] = keepAlpha ? v : v | 0xFF000000u;
        }
        break;
    }
}

// Steps a running counter: the source index for each of the target's positions.
static void StretchIndexes(int *index, int source, int target)
{
    int s = 0, counter = 0;
    for (int t = 0; t < target; t++) {
        index[t] = s < source ? s : source - 1;
        counter += source;
        while (counter >= target) {
            counter -= target;
            s++;
        }
    }
}

static void Convert24(uint32_t *store, int storeWidth, const uint8_t *bits, int64_t rowBytes, int width, int height,
                      int targetWidth, int targetHeight)
{
    int *columns = new int[targetWidth];
    int *rows = new int[targetHeight];
    StretchIndexes(columns, width, targetWidth);
    StretchIndexes(rows, height, targetHeight);
    for (int ty = 0; ty < targetHeight; ty++) {
        // Image rows are top-down, DIB rows bottom-up.
        const uint8_t *src = bits + (int64_t)(height - 1 - rows[ty]) * rowBytes;
        uint32_t *out = store + (int64_t)ty * storeWidth;
        for (int tx = 0; tx < targetWidth; tx++) {
            const uint8_t *p = src + 3 * columns[tx];
            out[tx] = p[0] | p[1] << 8 | p[2] << 16 | 0xFF000000u;
        }
    }
    delete[] columns;
    delete[] rows;
}

void ConvertDibToImage(CDIB *image, const CDIB *dib, const RGBQUAD *palette, int width, int height, int depth,
                       int targetWidth, int targetHeight, int keepAlpha)
{
    int iw, ih, id;
    if (!GetImageSize(image, &iw, &ih, &id) || id != 32 || !image->pixels || !dib || !dib->pixels)
        return;
    int64_t rowBytes = GetDibRowBytes(width, depth);
    if (rowBytes <= 0 || width <= 0 || height <= 0)
        return;
    // Never write past the image, whatever sizes the caller passes.
    if (targetWidth > iw)
        targetWidth = iw;
    if (targetHeight > ih)
        targetHeight = ih;
    uint32_t *store = (uint32_t *)image->pixels;
    const uint8_t *bits = (const uint8_t *)dib->pixels;
    if (depth == 24) {
        Convert24(store, iw, bits, rowBytes, width, height, targetWidth, targetHeight);
        return;
    }
    int w = width < iw ? width : iw;
    int h = height < ih ? height : ih;
    for (int r = height - h; r < height; r++)
        ConvertDibRow(store + (int64_t)(height - 1 - r) * iw, bits + (int64_t)r * rowBytes, palette, w, depth, keepAlpha);
}

CDIB *CreateImageFromDib(const BITMAPINFO *dib, int flag)
{
    if (!dib || !IsInfoHeader(dib))
        return NULL;
    const BITMAPINFOHEADER *h = &dib->bmiHeader;
    int entries = CountDibPaletteEntries(h);
    if (h->biSize < sizeof(BITMAPINFOHEADER) || entries < 0 || entries > 256 || h->biWidth <= 0 ||
        h->biHeight <= 0 || GetDibRowBytes(h->biWidth, h->biBitCount) <= 0 ||
        (h->biCompression != BI_RGB && h->biCompression != BI_BITFIELDS))
        return NULL; // compressed bits are shorter than the plain rows that would be read
    // A short colour table is copied into a full one so that every index finds an entry.
    RGBQUAD palette[256] = {};
    memcpy(palette, (const uint8_t *)dib + h->biSize, (size_t)entries * 4);
    size_t offset = h->biSize + (size_t)entries * 4;
    if (h->biCompression == BI_BITFIELDS && h->biSize == sizeof(BITMAPINFOHEADER))
        offset += 12;
    int tw, th;
    FitPixelAspect(h, &tw, &th);
    CDIB *image = NULL;
    if (CreateImageRecord(&image, tw, th, 32) != 0)
        return NULL;
    // Pictures left unscaled leave a band: white, never old heap contents.
    memset(image->pixels, 0xFF, (size_t)tw * th * 4);
    CDIB source = {};
    source.pixels = (void *)((const uint8_t *)dib + offset);
    ConvertDibToImage(image, &source, palette, h->biWidth, h->biHeight, h->biBitCount, tw, th, flag);
    return image;
}
