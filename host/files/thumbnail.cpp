// Thumbnails of pictures, shared by the open dialog's preview and the plug-ins (the layer manager
// shows the current layer with one).
#include "files/thumbnail.h"
#include "image/blend.h"
#include "image/cdib.h"
#include "view/writers.h"

namespace {

const uint8_t kDarkGrey[4] = {64, 64, 64, 255};

struct Source {
    const BITMAPINFOHEADER *header;
    const void *pixels;
    int width, height, depth;
    bool bottomUp;
};

void ReadPixel(const Source &s, int x, int y, uint8_t out[4])
{
    if (s.depth == 32) {
        int row = s.bottomUp ? s.height - 1 - y : y;
        const uint8_t *p = (const uint8_t *)s.pixels + ((int64_t)row * s.width + x) * 4;
        for (int i = 0; i < 4; i++)
            out[i] = p[i];
        return;
    }
    GetDIBPixel((const BITMAPINFO *)s.header, s.pixels, x, y, out);
}

// The squares of 4 pixels behind transparent parts; the one at (0, 0) is white.
void CheckerColor(int x, int y, uint8_t out[4])
{
    uint8_t v = ((x / 4 + y / 4) & 1) ? 192 : 255;
    out[0] = out[1] = out[2] = v;
    out[3] = 255;
}

int64_t Clamp(int64_t v, int64_t low, int64_t high)
{
    return v < low ? low : v > high ? high : v;
}

} // namespace

int DrawThumbnail(CDIB *thumb, const BITMAPINFOHEADER *header, const void *pixels, bool bottomUp, int x0, int y0,
                  int x1, int y1)
{
    if (!thumb || !thumb->header || !thumb->pixels || !header || !pixels)
        return 0;
    const BITMAPINFOHEADER *t = &thumb->header->bmiHeader;
    int W = t->biWidth, H = t->biHeight, depth = t->biBitCount;
    if (W <= 0 || H <= 0 || (depth != 32 && depth != 24 && depth != 16 && depth != 8))
        return 0;
    Source s = {header, pixels, header->biWidth, header->biHeight, header->biBitCount, bottomUp};
    if (s.width <= 0 || s.height <= 0 || GetRowLength(s.width, s.depth) < 0)
        return 0;
    // The rectangle is kept inside the picture.
    x0 = (int)Clamp(x0, 0, s.width - 1), x1 = (int)Clamp(x1, 0, s.width - 1);
    y0 = (int)Clamp(y0, 0, s.height - 1), y1 = (int)Clamp(y1, 0, s.height - 1);
    if (x1 < x0 || y1 < y0)
        return 0;

    // A run of its own: the preview thread draws thumbnails too.
    BuildDitherTables();
    DisplayWriteContext run = {ChooseDisplayWriter(depth, 1), 0, depth};
    for (int y = 0; y < H; y++) {
        StartWriteRun(&run, 0, y, W, H, depth);
        for (int x = 0; x < W; x++)
            run.write(&run, thumb->pixels, x, y, kDarkGrey);
    }

    // A picture one pixel wide or high has a span of 0: it counts as 1, so nothing divides by 0.
    int64_t sw = x1 - x0 > 0 ? x1 - x0 : 1, sh = y1 - y0 > 0 ? y1 - y0 : 1;
    int64_t outW, outH, offX = 0, offY = 0, span, size;
    if (sw < sh || (sw == sh && W >= H)) {
        outH = H, outW = H * sw / sh, offX = (W - outW) / 2, span = sh, size = H;
    } else {
        outW = W, outH = W * sh / sw, offY = (H - outH) / 2, span = sw, size = W;
    }
    // A thumb narrower than it is high can get a fitted width beyond its own: only its columns are
    // written.
    int64_t first = offX < 0 ? -offX : 0, last = outW < W - offX ? outW : W - offX;
    SetCurrentBlendFunction(BlendPixelOver);
    for (int64_t y = 0; y < outH; y++) {
        int64_t ty = y + offY;
        if (ty < 0 || ty >= H || first >= last)
            continue;
        int sy = (int)Clamp(y * span / size + y0, y0, y1);
        StartWriteRun(&run, (int)(first + offX), (int)ty, W, H, depth);
        for (int64_t x = first; x < last; x++) {
            int sx = (int)Clamp(x * span / size + x0, x0, x1);
            uint8_t upper[4], lower[4], out[4];
            ReadPixel(s, sx, sy, upper);
            CheckerColor((int)x, (int)y, lower);
            BlendPixelOver(lower, upper, 0, 0, out);
            run.write(&run, thumb->pixels, (int)(x + offX), (int)ty, out);
        }
    }
    return 1;
}

static int CreateThumb(const BITMAPINFOHEADER *header, const void *pixels, CDIB *thumb, int width, int height,
                       int x0, int y0, int x1, int y1)
{
    if (!thumb || !header || width <= 0 || height <= 0 || QzsCreateCDIBwithSYSDEPTH(width, height, thumb) != 0)
        return 0;
    return DrawThumbnail(thumb, header, pixels, false, x0, y0, x1, y1);
}

QZS_DECL(int) QzsCreateThumbImage(const BITMAPINFOHEADER *header, const void *pixels, CDIB *thumb, int width,
                                  int height)
{
    if (!header)
        return 0;
    return CreateThumb(header, pixels, thumb, width, height, 0, 0, header->biWidth - 1, header->biHeight - 1);
}

QZS_DECL(int) QzsCreateThumbImageEx(const BITMAPINFOHEADER *header, const void *pixels, CDIB *thumb, int width,
                                    int height, int x0, int y0, int x1, int y1)
{
    return CreateThumb(header, pixels, thumb, width, height, x0, y0, x1, y1);
}
