// Thumbnail drawing and the two thumbnail services. Every write goes through a write context of
// the call's own, so the preview thread never touches the user-interface thread's position.
#include "files/thumbnail.h"
#include "image/blend.h"
#include "image/cdib.h"
#include "image/dibcheck.h"
#include "image/dibconvert.h"
#include "view/writers.h"
#include "base/app.h"
#include <stdlib.h>
#include <string.h>

ThumbFit FitThumbnail(int sw, int sh, int W, int H)
{
    ThumbFit f = {};
    // A picture or rectangle one pixel wide or high has a span of 0: its pixel counts give the
    // shape instead, so nothing divides by 0 and the line still shows.
    int64_t fw = sw, fh = sh;
    if (sw <= 0 || sh <= 0) {
        fw = sw > 0 ? (int64_t)sw + 1 : 1;
        fh = sh > 0 ? (int64_t)sh + 1 : 1;
    }
    if (fw < fh || (fw == fh && W >= H)) {
        f.height = H;
        f.width = (int)(H * fw / fh);
        f.span = sh > 0 ? sh : 0;
        f.size = H;
    } else {
        f.width = W;
        f.height = (int)(W * fh / fw);
        f.span = sw > 0 ? sw : 0;
        f.size = W;
    }
    if (f.width < 1)
        f.width = 1;
    if (f.height < 1)
        f.height = 1;
    if (f.width > W)
        f.width = W;
    if (f.height > H)
        f.height = H;
    f.offsetX = (W - f.width) / 2;
    f.offsetY = (H - f.height) / 2;
    return f;
}

namespace {

struct Source {
    const BITMAPINFOHEADER *h;
    const uint8_t *bits;
    const RGBQUAD *table;
    int entries, rows, depth;
    int64_t rowBytes;
    bool firstRowIsTop;
};

// Picture row y (0 = top) as stored.
const uint8_t *SourceRow(const Source &s, int y)
{
    int stored = s.firstRowIsTop ? y : s.rows - 1 - y;
    return s.bits + (int64_t)stored * s.rowBytes;
}

void ReadSource(const Source &s, int x, int y, uint8_t out[4])
{
    const uint8_t *line = SourceRow(s, y);
    out[3] = 255;
    int index;
    switch (s.depth) {
    case 32: memcpy(out, line + 4 * (int64_t)x, 4); return;
    case 24:
        out[0] = line[3 * (int64_t)x];
        out[1] = line[3 * (int64_t)x + 1];
        out[2] = line[3 * (int64_t)x + 2];
        return;
    case 16: {
        unsigned v = line[2 * (int64_t)x] | line[2 * (int64_t)x + 1] << 8;
        out[0] = (uint8_t)(((v << 3) & 0xF8) | 7);
        out[1] = (uint8_t)(((v >> 2) & 0xF8) | 7);
        out[2] = (uint8_t)(((v >> 7) & 0xF8) | 7);
        return;
    }
    case 8: index = line[x]; break;
    case 4: index = (x & 1) ? line[x / 2] & 15 : line[x / 2] >> 4; break;
    default: index = (line[x / 8] >> (7 - x % 8)) & 1; break;
    }
    out[0] = out[1] = out[2] = 0;
    if (index < s.entries) {
        out[0] = s.table[index].rgbBlue;
        out[1] = s.table[index].rgbGreen;
        out[2] = s.table[index].rgbRed;
    }
}

// Grey and white squares of 4 pixels behind transparent parts, the square at (0, 0) white.
void CheckerColor(int x, int y, uint8_t out[4])
{
    uint8_t v = ((x / 4 + y / 4) & 1) ? 192 : 255;
    out[0] = out[1] = out[2] = v;
    out[3] = 255;
}

int Clamp(int v, int low, int high)
{
    return v < low ? low : v > high ? high : v;
}

} // namespace

int DrawThumbnail(CDIB *thumb, const BITMAPINFOHEADER *header, const void *pixels, int x0, int y0, int x1, int y1,
                  bool flip32)
{
    if (!thumb || !thumb->header || !thumb->pixels || !header || !pixels)
        return 0;
    const BITMAPINFOHEADER *th = &thumb->header->bmiHeader;
    int W = th->biWidth, H = th->biHeight, depth = th->biBitCount;
    if (W <= 0 || H <= 0 || GetRowLength(W, depth) < 0)
        return 0;
    DisplayWriteContext write = {ChooseDisplayWriter(depth, 1), 0, depth};
    if (OnInterfaceThread())
        BuildDitherTables(); // built at start-up; another thread only reads them
    static const uint8_t kDarkGrey[4] = {64, 64, 64, 255};
    for (int y = 0; y < H; y++) {
        StartWriteRun(&write, 0, y, W, H, depth);
        for (int x = 0; x < W; x++)
            write.write(&write, thumb->pixels, x, y, kDarkGrey);
    }

    Source s = {};
    s.h = header;
    s.depth = header->biBitCount;
    s.rowBytes = GetDibRowBytes(header->biWidth, s.depth);
    int width = header->biWidth;
    if (s.rowBytes <= 0 || width <= 0 || header->biHeight == 0 || header->biHeight == INT32_MIN)
        return 0;
    s.rows = header->biHeight < 0 ? -header->biHeight : header->biHeight;
    s.bits = (const uint8_t *)pixels;
    s.firstRowIsTop = s.depth == 32 ? (flip32 ? header->biHeight < 0 : true) : header->biHeight < 0;
    if (s.depth <= 8) {
        s.table = (const RGBQUAD *)((const uint8_t *)header + header->biSize);
        s.entries = CountColorTableEntries(header);
    }
    // The rectangle inside the picture, corners in order.
    if (x1 < x0) {
        int t = x0;
        x0 = x1;
        x1 = t;
    }
    if (y1 < y0) {
        int t = y0;
        y0 = y1;
        y1 = t;
    }
    x0 = Clamp(x0, 0, width - 1);
    x1 = Clamp(x1, 0, width - 1);
    y0 = Clamp(y0, 0, s.rows - 1);
    y1 = Clamp(y1, 0, s.rows - 1);

    ThumbFit fit = FitThumbnail(x1 - x0, y1 - y0, W, H);
    SetCurrentBlendFunction(BlendPixelOver);
    for (int y = 0; y < fit.height; y++) {
        int sy = Clamp((int)(y0 + (int64_t)y * fit.span / fit.size), y0, y1);
        StartWriteRun(&write, fit.offsetX, y + fit.offsetY, W, H, depth);
        for (int x = 0; x < fit.width; x++) {
            int sx = Clamp((int)(x0 + (int64_t)x * fit.span / fit.size), x0, x1);
            uint8_t source[4], checker[4], out[4];
            ReadSource(s, sx, sy, source);
            CheckerColor(x, y, checker);
            BlendPixelOver(checker, source, 0, y, out);
            write.write(&write, thumb->pixels, x + fit.offsetX, y + fit.offsetY, out);
        }
    }
    return 1;
}

// ---- services ----

// A picture with colour masks, drawn from a plain copy made as for a picture a reader delivers.
// The caller gives no sizes: the picture is taken to be as large as its header says.
static int DrawBitFieldThumbnail(CDIB *thumb, const BITMAPINFOHEADER *header, const void *pixels, int x0, int y0,
                                 int x1, int y1)
{
    if (header->biHeight == INT32_MIN || header->biClrUsed > 256)
        return 0;
    uint64_t rows = header->biHeight < 0 ? -header->biHeight : header->biHeight;
    int64_t rowBytes = GetDibRowBytes(header->biWidth, header->biBitCount);
    if (rowBytes <= 0 || rows > SIZE_MAX / (uint64_t)rowBytes)
        return 0;
    uint64_t headerBytes = (uint64_t)header->biSize + (header->biSize == sizeof *header ? 3 * sizeof(DWORD) : 0) +
                           header->biClrUsed * 4;
    DibLayout dib;
    if (headerBytes > SIZE_MAX ||
        !CheckDibPair(header, (size_t)headerBytes, pixels, (size_t)(rows * (uint64_t)rowBytes), &dib))
        return 0;
    size_t bytes;
    uint8_t *plain = MakePlainPackedDib(dib, &bytes);
    DibLayout copy;
    int drawn = 0;
    if (plain && CheckPackedDib(plain, bytes, &copy)) {
        // The copy is bottom-up. A 32-bit picture keeps the row order these services read it in,
        // the first row stored on top: the copy holds that row first unless the height was negative.
        bool flip = dib.depth != 32 || dib.topDown;
        drawn = DrawThumbnail(thumb, copy.header, copy.bits, x0, y0, x1, y1, flip);
    }
    free(plain);
    return drawn;
}

QZS_DECL(int) QzsCreateThumbImageEx(const BITMAPINFOHEADER *header, const void *pixels, CDIB *thumb, int width,
                                    int height, int x0, int y0, int x1, int y1)
{
    if (!header || !pixels || !thumb || width <= 0 || height <= 0)
        return 0;
    if (QzsCreateCDIBwithSYSDEPTH(width, height, thumb) != 0)
        return 0;
    if (header->biCompression == BI_BITFIELDS)
        return DrawBitFieldThumbnail(thumb, header, pixels, x0, y0, x1, y1);
    return DrawThumbnail(thumb, header, pixels, x0, y0, x1, y1, false);
}

QZS_DECL(int) QzsCreateThumbImage(const BITMAPINFOHEADER *header, const void *pixels, CDIB *thumb, int width,
                                  int height)
{
    if (!header || header->biHeight == INT32_MIN)
        return 0;
    int rows = header->biHeight < 0 ? -header->biHeight : header->biHeight;
    return QzsCreateThumbImageEx(header, pixels, thumb, width, height, 0, 0, header->biWidth - 1, rows - 1);
}
