// The fast pixel paths against the per-pixel forms they replaced, on random data: each test keeps
// the old loop or formula as the reference.
#include "view/undo_apply.h"
#include "test_paint_fixture.h"
#include "image/blend.h"
#include "image/dirtyrect.h"
#include "image/undo.h"
#include "image/imagelist.h"
#include "files/bmp.h"
#include "files/save.h"
#include <random>
#include <vector>

namespace {

// The commit as it was done pixel by pixel: the covered draw-buffer pixels into the edited image,
// the old and new pixels into the record's stores, the stroke buffers emptied.
void OldTransfer(const ImageGroup *g, int bw, int ew, int eh, std::vector<uint32_t> &edited,
                 std::vector<uint32_t> &draw, std::vector<uint8_t> &cover, std::vector<uint8_t> &mask,
                 const UndoRecord *record, std::vector<uint32_t> &before, std::vector<uint32_t> &after, int l,
                 int t, int r, int b)
{
    int rw = record->x1 - record->x0 + 1;
    for (int y = t; y <= b; y++) {
        int64_t ey = (int64_t)y - g->layerY;
        bool rowInImage = ey >= 0 && ey < eh;
        bool rowInRecord = ey >= record->y0 && ey <= record->y1;
        for (int x = l; x <= r; x++) {
            int64_t i = (int64_t)y * bw + x;
            mask[i] &= (uint8_t)~0x60;
            int64_t ex = (int64_t)x - g->layerX;
            if (rowInImage && ex >= 0 && ex < ew) {
                int64_t j = ey * ew + ex;
                uint32_t old = edited[j];
                if (cover[i])
                    edited[j] = draw[i];
                if (rowInRecord && ex >= record->x0 && ex <= record->x1) {
                    int64_t k = (ey - record->y0) * rw + (ex - record->x0);
                    before[k] = old;
                    after[k] = edited[j];
                }
            }
            draw[i] = 0;
            cover[i] = 0;
        }
    }
}

} // namespace

TEST_F(PaintTest, StrokeCommitAndUndoMatchThePixelByPixelCopy)
{
    std::mt19937 rng(7);
    struct Case {
        int bw, bh, lx, ly, lw, lh, l, t, r, b;
    } cases[] = {
        {23, 17, 0, 0, 23, 17, 0, 0, 22, 16},    // the whole base
        {23, 17, -3, 2, 15, 9, 1, 0, 20, 14},    // a layer hanging off the left
        {23, 17, 6, -4, 30, 12, -5, -5, 40, 40}, // off the top and past the right
        {23, 17, 4, 3, 5, 5, 5, 4, 6, 4},        // a short run inside a small layer
        // Over a million pixels: the rows are shared out over threads.
        {1100, 1000, -5, 3, 1000, 990, 0, 0, 1099, 999},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.lx);
        DiscardAllImages();
        Show(c.bw, c.bh, 0xFFFFFFFFu);
        LayerRecord *layer = AddLayer(c.lx, c.ly, c.lw, c.lh, 0);
        CDIB *image = layer->image;
        uint32_t *px = (uint32_t *)image->pixels;
        for (int i = 0; i < c.lw * c.lh; i++)
            px[i] = rng();
        for (int i = 0; i < w * h; i++) {
            window->drawBuffer[i] = rng();
            window->coverage[i] = rng() % 3 ? 255 : 0;
            window->editMask[i] = (uint8_t)rng();
        }
        std::vector<uint32_t> edited(px, px + c.lw * c.lh), draw(window->drawBuffer, window->drawBuffer + w * h);
        std::vector<uint8_t> cover(window->coverage, window->coverage + w * h);
        std::vector<uint8_t> mask(window->editMask, window->editMask + w * h);
        std::vector<uint32_t> original = edited;
        SetDirtyRect(c.l, c.t, c.r, c.b);
        CommitStroke(window);
        UndoRecord *record = image->undoCurrent;
        ASSERT_NE(record, nullptr);
        size_t cells = (size_t)UndoRecordWidth(record) * UndoRecordHeight(record);
        std::vector<uint32_t> before(cells, 0xDEADBEEF), after(cells, 0xDEADBEEF);
        int l = c.l < 0 ? 0 : c.l, t = c.t < 0 ? 0 : c.t, r = c.r > w - 1 ? w - 1 : c.r, b = c.b > h - 1 ? h - 1 : c.b;
        OldTransfer(group, w, c.lw, c.lh, edited, draw, cover, mask, record, before, after, l, t, r, b);
        EXPECT_TRUE(std::equal(edited.begin(), edited.end(), px));
        EXPECT_TRUE(std::equal(draw.begin(), draw.end(), window->drawBuffer));
        EXPECT_TRUE(std::equal(cover.begin(), cover.end(), window->coverage));
        EXPECT_TRUE(std::equal(mask.begin(), mask.end(), window->editMask));
        EXPECT_TRUE(std::equal(before.begin(), before.end(), (uint32_t *)record->before));
        EXPECT_TRUE(std::equal(after.begin(), after.end(), (uint32_t *)record->after));
        // Undo writes the old pixels back row by row, redo the new ones.
        EXPECT_EQ(UndoImage(window), 0);
        EXPECT_TRUE(std::equal(original.begin(), original.end(), (uint32_t *)layer->image->pixels));
        EXPECT_EQ(RedoImage(window), 0);
        EXPECT_TRUE(std::equal(edited.begin(), edited.end(), (uint32_t *)layer->image->pixels));
    }
}

TEST(OverBlendTest, DivisionFreeFormsEqualTheDivisionForEveryInput)
{
    // Every pair of alphas and every pair of channel values the over blend can meet.
    uint64_t wrong = 0;
    for (uint32_t au = 1; au < 256; au++)
        for (uint32_t al = 0; al < 256; al++) {
            uint32_t k = 255 * (au + al) - au * al, a = 255 * au, b = al * (255 - au);
            for (uint32_t u = 0; u < 256; u++)
                for (uint32_t l = 0; l < 256; l++) {
                    uint32_t n = u * a + l * b;
                    wrong += DivideOver(n, k) != n / k;
                }
        }
    EXPECT_EQ(wrong, 0u);
    for (uint32_t a = 0; a < 256; a++)
        for (uint32_t o = 0; o < 256; o++)
            ASSERT_EQ(ScaleAlpha(a, o), a * o / 255) << a << " " << o;
}

TEST(OverBlendTest, BlendPixelOverMatchesTheDividingFormula)
{
    std::mt19937 rng(3);
    for (int i = 0; i < 1000000; i++) {
        uint8_t lower[4], upper[4], out[4], want[4];
        uint32_t l = rng(), u = rng();
        memcpy(lower, &l, 4);
        memcpy(upper, &u, 4);
        if (i % 4 == 0)
            upper[3] = (uint8_t)(i / 4 % 3 == 0 ? 0 : 255);
        int au = upper[3], al = lower[3];
        if (au == 0) {
            memcpy(want, lower, 4);
        } else {
            int d = 255 * (au + al) - au * al;
            for (int c = 0; c < 3; c++)
                want[c] = (uint8_t)((upper[c] * 255 * au + lower[c] * al * (255 - au)) / d);
            want[3] = (uint8_t)(d / 255);
        }
        BlendPixelOver(lower, upper, 0, 0, out);
        ASSERT_EQ(memcmp(out, want, 4), 0) << std::hex << l << " " << u;
    }
}

namespace {

int OldDither5Level(int v, int threshold)
{
    int level = v >> 3;
    if (2 * (v & 7) >= threshold && level <= 30)
        level++;
    return level;
}

// A picture row at a direct depth as it was converted pixel by pixel, alpha read as 255.
std::vector<uint8_t> OldRow(const uint32_t *row, int w, int y, int depth)
{
    static const int m4[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    std::vector<uint8_t> line((size_t)GetDibRowBytes(w, depth), 0);
    for (int x = 0; x < w; x++) {
        uint8_t c[4];
        memcpy(c, row + x, 4);
        c[3] = 255;
        switch (depth) {
        case 32: memcpy(&line[4 * x], c, 4); break;
        case 24: memcpy(&line[3 * x], c, 3); break;
        case 16: {
            int m = m4[y & 3][x & 3];
            int v = OldDither5Level(c[2], m) << 10 | OldDither5Level(c[1], m) << 5 | OldDither5Level(c[0], m);
            line[2 * x] = (uint8_t)v;
            line[2 * x + 1] = (uint8_t)(v >> 8);
            break;
        }
        }
    }
    return line;
}

std::vector<uint8_t> FileBytes(const std::string &path)
{
    std::vector<uint8_t> bytes;
    FILE *f = fopen(path.c_str(), "rb");
    if (!f)
        return bytes;
    uint8_t piece[4096];
    size_t n;
    while ((n = fread(piece, 1, sizeof piece, f)) > 0)
        bytes.insert(bytes.end(), piece, piece + n);
    fclose(f);
    return bytes;
}

} // namespace

TEST_F(HostTest, DirectDepthsConvertAndWriteRowsAsThePixelByPixelConversion)
{
    // An odd width, so that 24- and 16-bit rows carry padding.
    const int w = 37, h = 11;
    CDIB *image = nullptr;
    ASSERT_EQ(CreateImageRecord(&image, w, h, 32), 0);
    std::mt19937 rng(11);
    uint32_t *px = (uint32_t *)image->pixels;
    for (int i = 0; i < w * h; i++)
        px[i] = rng();
    for (int depth : {16, 24, 32}) {
        SCOPED_TRACE(depth);
        std::vector<uint8_t> want;
        for (int y = h - 1; y >= 0; y--) { // file rows are bottom-up
            std::vector<uint8_t> line = OldRow(px + y * w, w, y, depth);
            want.insert(want.end(), line.begin(), line.end());
        }
        CDIB converted;
        ASSERT_EQ(ConvertImageDepth(image, depth, &converted, nullptr), 0);
        const uint8_t *bits = (const uint8_t *)converted.pixels;
        int64_t rowBytes = GetDibRowBytes(w, depth), used = depth / 8 * w;
        for (int r = 0; r < h; r++)
            ASSERT_EQ(memcmp(bits + r * rowBytes, &want[r * rowBytes], (size_t)used), 0) << "row " << r;
        FreeImageData(&converted);
        SetSaveDepth(depth);
        std::string path = dir.file("direct.bmp");
        ASSERT_EQ(SaveImageAsBmp(path.c_str(), image), 1);
        std::vector<uint8_t> file = FileBytes(path);
        ASSERT_EQ(file.size(), 54 + want.size());
        EXPECT_EQ(file[28], depth);
        EXPECT_TRUE(std::equal(want.begin(), want.end(), file.begin() + 54));
    }
}

static int QZCAPI CancelAfterStart(int done, int, int)
{
    return done > 0;
}

TEST_F(HostTest, BmpRowsReadStraightIntoTheImageAsTheWholeFileConverted)
{
    // An odd width, so that rows of every depth carry padding, and a palette of random colours.
    const int w = 29, h = 7;
    std::mt19937 rng(5);
    for (int depth : {1, 4, 8, 16, 24, 32})
        for (int keepAlpha : {0, 1}) {
            SCOPED_TRACE(depth * 10 + keepAlpha);
            std::vector<uint8_t> block(sizeof(BITMAPINFOHEADER) + 256 * 4);
            BITMAPINFO *info = (BITMAPINFO *)block.data();
            info->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
            info->bmiHeader.biWidth = w;
            info->bmiHeader.biHeight = h;
            info->bmiHeader.biPlanes = 1;
            info->bmiHeader.biBitCount = (WORD)depth;
            for (int i = 0; i < 256; i++) {
                uint32_t c = rng();
                memcpy(&info->bmiColors[i], &c, 4);
            }
            std::vector<uint8_t> bits((size_t)GetDibRowBytes(w, depth) * h);
            for (uint8_t &b : bits)
                b = (uint8_t)rng();
            std::string path = dir.file("rows.bmp");
            ASSERT_EQ(WriteBmpFile(path.c_str(), info, bits.data(), nullptr), 0);

            // The old way: the whole file into a block, then converted into the image.
            HGLOBAL hh, hb;
            ASSERT_EQ(ReadBmpFile(path.c_str(), &hh, &hb, nullptr), 1);
            const BITMAPINFO *read = (const BITMAPINFO *)GlobalLock(hh);
            RGBQUAD palette[256] = {};
            memcpy(palette, read->bmiColors, (size_t)CountDibPaletteEntries(&read->bmiHeader) * 4);
            CDIB *want = nullptr, source = {};
            ASSERT_EQ(CreateImageRecord(&want, w, h, 32), 0);
            memset(want->pixels, 0xFF, (size_t)w * h * 4);
            source.pixels = GlobalLock(hb);
            ConvertDibToImage(want, &source, palette, w, h, depth, w, h, keepAlpha);
            GlobalUnlock(hh);
            GlobalUnlock(hb);
            GlobalFree(hh);
            GlobalFree(hb);

            CDIB *image = nullptr;
            ASSERT_EQ(ReadBmpImage(path.c_str(), &image, keepAlpha, nullptr), 1);
            EXPECT_EQ(memcmp(image->pixels, want->pixels, (size_t)w * h * 4), 0);
        }
    // A read cancelled from its progress leaves nothing behind.
    CDIB *last = g_lastImage, *image = nullptr;
    EXPECT_EQ(ReadBmpImage(dir.file("rows.bmp").c_str(), &image, 0, CancelAfterStart), -1);
    EXPECT_EQ(image, nullptr);
    EXPECT_EQ(g_lastImage, last);
}
