// The clipboard: copies of a layer and of a region, pastes of bitmaps from other programs (hostile
// ones included) and of a metafile, and a clipboard held by someone else. The clipboard is shared
// by every process on the display, so these tests run alone ("Clipboard" in their names).
#include "testsupport.h"
#include "base/messages.h"
#include "base/settings.h"
#include "image/cdib.h"
#include "image/colors.h"
#include "image/group.h"
#include "image/imagelist.h"
#include "shell/clipboard.h"
#include "shell/commands.h"
#include "shell/winproc.h"
#include "view/winlist.h"
#include <string.h>
#include <thread>
#include <vector>

class ClipboardTest : public HostTest {
protected:
    void SetUp() override
    {
        HostTest::SetUp();
        RegisterImageWindowClass();
    }
    ImageWindow *NewWindow(ImageGroup *group)
    {
        ImageWindow *w = CreateImageWindow(0, 0, 200, 150);
        EXPECT_NE(w, nullptr);
        w->group = group;
        w->layerImage = group ? group->currentImage : nullptr;
        MakeWindowCurrent(w);
        return w;
    }
    ImageGroup *NewGroup(int width, int height)
    {
        CDIB *base = nullptr;
        QzsCreateNewImage(&base, width, height, 32);
        AddImageGroup(base);
        return g_lastGroup;
    }
    // The clipboard's CF_DIB bytes; empty when it holds none.
    static std::vector<uint8_t> ClipboardDib()
    {
        std::vector<uint8_t> bytes;
        if (!OpenClipboard(NULL))
            return bytes;
        if (HANDLE h = GetClipboardData(CF_DIB)) {
            const uint8_t *p = (const uint8_t *)GlobalLock(h);
            bytes.assign(p, p + GlobalSize(h));
            GlobalUnlock(h);
        }
        CloseClipboard();
        return bytes;
    }
    static void PutOnClipboard(UINT format, HANDLE data)
    {
        ASSERT_TRUE(OpenClipboard(NULL));
        EmptyClipboard();
        if (data)
            SetClipboardData(format, data);
        CloseClipboard();
    }
    static void PutDib(const std::vector<uint8_t> &bytes)
    {
        HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
        memcpy(GlobalLock(h), bytes.data(), bytes.size());
        GlobalUnlock(h);
        PutOnClipboard(CF_DIB, h);
    }
    static uint32_t Pixel(const CDIB *image, int x, int y)
    {
        int w, h, d;
        GetImageSize(image, &w, &h, &d);
        return ((const uint32_t *)image->pixels)[y * w + x];
    }
};

static uint32_t LayerPixel(int x, int y) { return 0x40000000u | (uint32_t)(x * 20) << 16 | (uint32_t)(y * 30) << 8 | 7; }

// A layer hanging off the base's top right: the whole layer copied and pasted back as a new image
// and as a layer; with a region, pixels outside it (and outside the base) become the background
// colour with alpha 0.
TEST_F(ClipboardTest, ClipboardLayerAtAnOffsetRoundTrip)
{
    ImageGroup *g = NewGroup(16, 16);
    CDIB *layerImage = nullptr;
    ASSERT_EQ(CreateImageRecord(&layerImage, 8, 6, 32), 0);
    for (int y = 0; y < 6; y++)
        for (int x = 0; x < 8; x++)
            ((uint32_t *)layerImage->pixels)[y * 8 + x] = LayerPixel(x, y);
    ASSERT_NE(QzsInsertNewLayer(g, layerImage, 10, -2, 1, 255, 0), nullptr);
    ImageWindow *w = NewWindow(g);
    ASSERT_EQ(w->layerImage, layerImage);

    DispatchCommand(w, 32014, 0);
    std::vector<uint8_t> dib = ClipboardDib();
    ASSERT_EQ(dib.size(), 40u + 8 * 6 * 4);
    const BITMAPINFOHEADER *h = (const BITMAPINFOHEADER *)dib.data();
    EXPECT_EQ(h->biWidth, 8);
    EXPECT_EQ(h->biHeight, 6);
    EXPECT_EQ(h->biBitCount, 32);
    const uint32_t *rows = (const uint32_t *)(dib.data() + 40);
    for (int y = 0; y < 6; y++)
        for (int x = 0; x < 8; x++)
            ASSERT_EQ(rows[(5 - y) * 8 + x], LayerPixel(x, y)) << x << "," << y;

    // Pasted as a layer of the group: the same colours, opaque.
    ASSERT_EQ(PasteFromClipboard(w, 1, 0, 0), 1);
    ASSERT_NE(g->currentLayer, nullptr);
    CDIB *pasted = g->currentLayer->image;
    ASSERT_NE(pasted, layerImage);
    EXPECT_EQ(g->currentLayer->x, 0);
    EXPECT_EQ(Pixel(pasted, 3, 4), LayerPixel(3, 4) | 0xFF000000u);
    EXPECT_EQ(pasted->modified, 1);

    // A region: the base's mask holds bit 1 on its right column; the layer is made current again.
    QzsSetCurrentInImageGroup(g, g->firstLayer);
    w->layerImage = layerImage;
    g->base->mask = (uint8_t *)calloc(16 * 16, 1);
    for (int y = 0; y < 16; y++)
        g->base->mask[y * 16 + 15] = 1;
    w->activeRegion = 1;
    g_cfg.CopyOnlyRegionToClip = 1;
    g_colorTable[1].red = 0x11, g_colorTable[1].green = 0x22, g_colorTable[1].blue = 0x33;
    ASSERT_EQ(CopyToClipboard(w, -100, -100, 100, 100), 1);
    dib = ClipboardDib();
    ASSERT_EQ(dib.size(), 40u + 8 * 6 * 4);
    rows = (const uint32_t *)(dib.data() + 40);
    for (int y = 0; y < 6; y++)
        for (int x = 0; x < 8; x++) {
            int gx = x + 10, gy = y - 2;
            uint32_t want = gx == 15 && gy >= 0 ? LayerPixel(x, y) : 0x00112233u;
            ASSERT_EQ(rows[(5 - y) * 8 + x], want) << x << "," << y;
        }

    // Pasted as a new image shown in the window.
    ASSERT_EQ(PasteFromClipboard(w, 0, 0, 0), 1);
    ASSERT_NE(w->group, g);
    CDIB *image = w->group->base;
    int iw, ih, id;
    GetImageSize(image, &iw, &ih, &id);
    EXPECT_EQ(iw * 100 + ih, 806);
    EXPECT_EQ(Pixel(image, 5, 3), LayerPixel(5, 3) | 0xFF000000u);
    EXPECT_EQ(Pixel(image, 0, 0), 0xFF112233u);
    for (const RegionSlot &s : image->slots)
        EXPECT_TRUE(s.state == 1 && s.right == 7 && s.bottom == 5);
    EXPECT_TRUE(boxes.boxes.empty());
}

// Layers of other depths keep their packed rows: a sub-rectangle takes only its rows and columns.
TEST_F(ClipboardTest, ClipboardPackedLayerCopiesTheRectangleOnly)
{
    for (int depth : {1, 4, 8, 24}) {
        CDIB *image = (CDIB *)calloc(1, sizeof(CDIB));
        ASSERT_EQ(InitImageRecord(13, 7, depth, image, 0, 1), 0);
        AppendImage(image);
        int64_t row = (13 * depth + 31) / 32 * 4;
        uint8_t *bits = (uint8_t *)image->pixels;
        for (int64_t i = 0; i < row * 7; i++)
            bits[i] = (uint8_t)(i * 37 + 11);
        ASSERT_TRUE(AddImageGroup(image));
        ImageWindow *w = NewWindow(g_lastGroup);
        ASSERT_EQ(CopyToClipboard(w, 3, 2, 10, 4), 1) << depth;
        std::vector<uint8_t> dib = ClipboardDib();
        int entries = depth <= 8 ? 1 << depth : 0;
        int64_t outRow = (8 * depth + 31) / 32 * 4;
        ASSERT_EQ(dib.size(), 40u + entries * 4 + outRow * 3) << depth;
        EXPECT_EQ(memcmp(dib.data() + 40, image->header->bmiColors, entries * 4), 0) << depth;
        const uint8_t *out = dib.data() + 40 + entries * 4;
        auto value = [depth](const uint8_t *r, int x) {
            int bit = x * depth;
            if (depth >= 8)
                return (int)r[bit / 8] | (depth == 24 ? r[bit / 8 + 1] << 8 | r[bit / 8 + 2] << 16 : 0);
            return (r[bit / 8] >> (8 - depth - bit % 8)) & ((1 << depth) - 1);
        };
        for (int y = 2; y <= 4; y++)
            for (int x = 3; x <= 10; x++)
                ASSERT_EQ(value(out + (4 - y) * outRow, x - 3), value(bits + (6 - y) * row, x))
                    << depth << ": " << x << "," << y;
        DiscardAllImages();
    }
}

static std::vector<uint8_t> Header(int size, int width, int height, int depth, int compression, int used = 0)
{
    std::vector<uint8_t> b(size);
    BITMAPV5HEADER h = {};
    h.bV5Size = size;
    h.bV5Width = width;
    h.bV5Height = height;
    h.bV5Planes = 1;
    h.bV5BitCount = (WORD)depth;
    h.bV5Compression = compression;
    h.bV5ClrUsed = used;
    memcpy(b.data(), &h, size < (int)sizeof h ? size : sizeof h);
    return b;
}

static void Append(std::vector<uint8_t> &b, const void *p, size_t n)
{
    b.insert(b.end(), (const uint8_t *)p, (const uint8_t *)p + n);
}

// Bitmaps from other programs: refused with the paste message when they do not fit their block or
// are of a kind not read; accepted (and read right) with big headers, bit fields and top-down rows.
TEST_F(ClipboardTest, ClipboardHostileAndForeignBitmaps)
{
    ImageWindow *w = NewWindow(NewGroup(4, 4));
    const uint32_t px[4] = {0x00FF0000, 0x0000FF00, 0x000000FF, 0x00808080}; // 2 x 2, rows as stored
    struct Case {
        const char *name;
        std::vector<uint8_t> bytes;
        uint32_t topLeft; // 0: refused
    } cases[] = {
        {"short header", std::vector<uint8_t>(20, 1), 0},
        {"rows cut short", [&] { auto b = Header(40, 2, 2, 32, BI_RGB); Append(b, px, 12); return b; }(), 0},
        {"huge width", [&] { auto b = Header(40, 0x7FFFFFFF, 1, 32, BI_RGB); Append(b, px, 16); return b; }(), 0},
        {"huge height", [&] { auto b = Header(40, 2, 0x40000000, 32, BI_RGB); Append(b, px, 16); return b; }(), 0},
        {"most negative height", [&] { auto b = Header(40, 2, INT_MIN, 32, BI_RGB); Append(b, px, 16); return b; }(), 0},
        {"header larger than block", [&] { auto b = Header(40, 2, 2, 32, BI_RGB); b[0] = 200; Append(b, px, 16); return b; }(), 0},
        {"colour table past block", [&] { auto b = Header(40, 2, 2, 8, BI_RGB, 200); Append(b, px, 16); return b; }(), 0},
        {"run-length", [&] { auto b = Header(40, 2, 2, 8, BI_RLE8); Append(b, px, 16); return b; }(), 0},
        {"masks missing", [&] { auto b = Header(40, 2, 2, 32, BI_BITFIELDS); Append(b, px, 8); return b; }(), 0},
        {"plain", [&] { auto b = Header(40, 2, 2, 32, BI_RGB); Append(b, px, 16); return b; }(), 0xFF0000FF},
        {"top-down", [&] { auto b = Header(40, 2, -2, 32, BI_RGB); Append(b, px, 16); return b; }(), 0xFFFF0000},
        {"V5 header", [&] { auto b = Header(124, 2, 2, 32, BI_RGB); Append(b, px, 16); return b; }(), 0xFF0000FF},
        {"V4 header, bit fields swapping red and blue", [&] {
             auto b = Header(108, 2, 2, 32, BI_BITFIELDS);
             uint32_t masks[3] = {0xFF, 0xFF00, 0xFF0000};
             memcpy(b.data() + 40, masks, 12);
             Append(b, px, 16);
             return b;
         }(), 0xFFFF0000},
        {"16-bit fields after the header", [&] {
             auto b = Header(40, 2, 2, 16, BI_BITFIELDS);
             uint32_t masks[3] = {0xF800, 0x07E0, 0x001F};
             Append(b, masks, 12);
             uint16_t p16[4] = {0x001F, 0x001F, 0xF800, 0xF800}; // bottom row blue, top row red
             Append(b, p16, 8);
             return b;
         }(), 0xFFFF0000},
        {"8-bit palette", [&] {
             auto b = Header(40, 2, 2, 8, BI_RGB, 2);
             uint32_t table[2] = {0x00123456, 0x00ABCDEF};
             Append(b, table, 8);
             uint8_t rows[8] = {0, 0, 0, 0, 1, 0, 0, 0};
             Append(b, rows, 8);
             return b;
         }(), 0xFFABCDEF},
    };
    for (const Case &c : cases) {
        boxes.boxes.clear();
        PutDib(c.bytes);
        int made = PasteFromClipboard(w, 0, 0, 0);
        if (!c.topLeft) {
            EXPECT_EQ(made, 0) << c.name;
            ASSERT_EQ(boxes.boxes.size(), 1u) << c.name;
            EXPECT_EQ(boxes.boxes[0].text, MessageText(29)) << c.name;
            continue;
        }
        ASSERT_EQ(made, 1) << c.name;
        EXPECT_EQ(Pixel(w->group->base, 0, 0), c.topLeft) << c.name;
        EXPECT_TRUE(boxes.boxes.empty()) << c.name;
    }
    // Whatever happened, the clipboard was closed again.
    EXPECT_TRUE(OpenClipboard(NULL));
    CloseClipboard();
}

// An enhanced metafile whose frame starts 10 mm in: the image starts at (0, 0), so the margin
// shows white, and the rectangle drawn over the frame shows in it.
TEST_F(ClipboardTest, ClipboardMetafileKeepsItsMargin)
{
    ImageWindow *w = NewWindow(NewGroup(4, 4));
    HDC screen = GetDC(NULL);
    int hres = GetDeviceCaps(screen, HORZRES), vres = GetDeviceCaps(screen, VERTRES);
    int hsize = GetDeviceCaps(screen, HORZSIZE) * 100, vsize = GetDeviceCaps(screen, VERTSIZE) * 100;
    RECT frame = {1000, 1000, 3000, 2500}; // hundredths of a millimetre
    HDC dc = CreateEnhMetaFileA(screen, NULL, &frame, NULL);
    ReleaseDC(NULL, screen);
    ASSERT_NE(dc, nullptr);
    // Drawn over the frame only, in the screen's pixels.
    RECT inFrame = {1000 * hres / hsize, 1000 * vres / vsize, 3000 * hres / hsize, 2500 * vres / vsize};
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    FillRect(dc, &inFrame, red);
    DeleteObject(red);
    HENHMETAFILE metafile = CloseEnhMetaFile(dc);
    ASSERT_NE(metafile, nullptr);
    PutOnClipboard(CF_ENHMETAFILE, metafile);

    ASSERT_EQ(PasteFromClipboard(w, 0, 0, 0), 1);
    CDIB *image = w->group->base;
    int iw, ih, id;
    GetImageSize(image, &iw, &ih, &id);
    int left = 1000 * hres / hsize, top = 1000 * vres / vsize;
    EXPECT_EQ(iw, 3000 * hres / hsize + 1);
    EXPECT_EQ(ih, 2500 * vres / vsize + 1);
    EXPECT_EQ(Pixel(image, left / 2, top / 2), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(image, (left + iw) / 2, (top + ih) / 2), 0xFFFF0000u);
    EXPECT_TRUE(boxes.boxes.empty());
}

// Nothing on the clipboard; then a clipboard another thread holds open.
TEST_F(ClipboardTest, ClipboardEmptyOrHeldElsewhere)
{
    ImageGroup *g = NewGroup(4, 4);
    ImageWindow *w = NewWindow(g);
    PutOnClipboard(CF_DIB, NULL);
    EXPECT_EQ(PasteFromClipboard(w, 0, 0, 0), 0);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, MessageText(29));
    EXPECT_EQ(w->group, g);

    HANDLE opened = CreateEventA(NULL, TRUE, FALSE, NULL), done = CreateEventA(NULL, TRUE, FALSE, NULL);
    std::thread holder([&] {
        OpenClipboard(NULL);
        SetEvent(opened);
        WaitForSingleObject(done, 10000);
        CloseClipboard();
    });
    WaitForSingleObject(opened, 10000);
    boxes.boxes.clear();
    EXPECT_EQ(CopyToClipboard(w, 0, 0, 3, 3), 0);
    EXPECT_EQ(PasteFromClipboard(w, 0, 0, 0), 0);
    SetEvent(done);
    holder.join();
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(boxes.boxes[0].text, MessageText(31));
    EXPECT_EQ(boxes.boxes[1].text, MessageText(28));
    CloseHandle(opened);
    CloseHandle(done);
}
