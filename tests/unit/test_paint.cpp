// The painting pipeline: one pixel through colour kinds, masks, coverage and draw flags, the
// shown pixel, and the commit of a stroke into the base, a layer or the region mask.
#include "view/undo_apply.h"
#include "test_paint_fixture.h"
#include "image/imagelist.h"
#include "image/undo.h"

FakeColor g_fake;

static int QZCAPI FakeColorFunc(CDIB *, int x, int y, int column, int row, int *red, int *green, int *blue,
                                int *alpha)
{
    FakeColor &f = g_fake;
    f.calls++;
    f.lastX = x, f.lastY = y, f.lastColumn = column, f.lastRow = row;
    if (f.red >= 0)
        *red = f.red, *green = f.green, *blue = f.blue;
    if (f.alpha >= 0)
        *alpha = f.alpha;
    if (f.during)
        f.during();
    return f.result;
}

static int QZCAPI FakeReceive(int code, int x, int y, int stamp, int)
{
    if (code == 1) {
        g_fake.messages++;
        g_fake.messageX = x, g_fake.messageY = y, g_fake.lastStamp = stamp;
    }
    return 0;
}

static int QZCAPI FakePost(ImageWindow *window, int x0, int y0, int x1, int y1, int mode)
{
    FakeColor &f = g_fake;
    f.posts++;
    f.postRect[0] = x0, f.postRect[1] = y0, f.postRect[2] = x1, f.postRect[3] = y1;
    f.postMode = mode;
    if (f.post)
        f.post(window);
    return 0;
}

void PaintTest::SetUp()
{
    HostTest::SetUp();
    InitDisplayWriters(32);
    g_fake = FakeColor();
    ClearDirtyRect();
    SetLoopMode(false);
    QzsCreatePen(49);
}

void PaintTest::TearDown()
{
    memset(&g_colorFunctions[0], 0, sizeof g_colorFunctions[0]);
    ClearDirtyRect();
    SetLoopMode(false);
    HostTest::TearDown(); // frees the window with the others
}

void PaintTest::Show(int width, int height, uint32_t fill)
{
    w = width, h = height;
    CDIB *base = nullptr;
    ASSERT_EQ(CreateImageRecord(&base, w, h, 32), 0);
    for (int i = 0; i < w * h; i++)
        ((uint32_t *)base->pixels)[i] = fill;
    base->background[0] = 10, base->background[1] = 20, base->background[2] = 30, base->background[3] = 0;
    ASSERT_EQ(AddImageGroup(base), 1);
    group = g_lastGroup;
    window = (ImageWindow *)calloc(1, sizeof(ImageWindow));
    window->marginX = 2;
    window->marginY = 1;
    window->regionDisplayMode = 4;
    g_firstWindow = g_lastWindow = g_currentWindow = window;
    g_currentGroup = group;
    window->group = group;
    window->layerImage = base;
    ASSERT_EQ(BuildWindowDisplay(window, group, false), 1);
    ASSERT_NE(window->drawBuffer, nullptr);
}

LayerRecord *PaintTest::AddLayer(int x, int y, int lw, int lh, uint32_t fill)
{
    CDIB *image = nullptr;
    EXPECT_EQ(CreateImageRecord(&image, lw, lh, 32), 0);
    for (int i = 0; i < lw * lh; i++)
        ((uint32_t *)image->pixels)[i] = fill;
    return QzsInsertNewLayer(group, image, x, y, 1, 255, 0);
}

void PaintTest::Drawing(int red, int green, int blue, int opacity, int drawFlags)
{
    ColorRecord *c = QzsGetColor(0);
    c->red = red, c->green = green, c->blue = blue, c->opacity = opacity;
    c->function = c->regionBits = c->regionMode = 0;
    c->drawFlags = drawFlags;
}

void PaintTest::UseFakeColor(int info)
{
    ColorFunctionRecord &row = g_colorFunctions[0];
    memset(&row, 0, sizeof row);
    row.module = GetModuleHandleA(nullptr);
    row.info = info;
    row.QzcColorFunc = FakeColorFunc;
    row.QzcReceiveMessage = FakeReceive;
    row.QzcPostProcess = FakePost;
    QzsGetColor(0)->function = 1;
}

void PaintTest::SetPen(int side, const std::vector<uint32_t> &weights, int hotX, int hotY, int left, int top,
                       int right, int bottom)
{
    ASSERT_EQ(QzsCreatePen(side + 1), 1);
    PenRecord *pen = QzsGetPen();
    for (int i = 0; i < side * side; i++)
        pen->weights[i] = weights[i];
    pen->hotX = hotX, pen->hotY = hotY;
    pen->left = left, pen->top = top, pen->right = right, pen->bottom = bottom;
    ASSERT_EQ(QzsSetPen(0), side);
}

namespace {

// One pixel through QzsPSet, as a run of one.
void PaintOne(ImageWindow *window, int x, int y)
{
    QzsStartPset(window, x, y);
    QzsPSet(window, x, y, 0);
}

} // namespace

TEST_F(PaintTest, PixelValuesByColourKind)
{
    // The base keeps no transparency; a layer does. Each case paints one fresh pixel.
    struct Case {
        const char *what;
        bool onLayer;
        uint32_t under;
        int fakeResult, alpha; // fakeResult 0: no functional colour
        uint32_t want;
        int coverage;
    } cases[] = {
        {"half alpha over opaque white", false, 0xFFFFFFFFu, 0, 128, PaintedOver(200, 100, 50, 128, 0xFFFFFFFFu), 128},
        {"half alpha over a clear layer pixel", true, 0x00000000u, 0, 128, Bgra(50, 100, 200, 128), 128},
        {"result 1 on a layer", true, 0x80402010u, 1, 200, PaintedOver(200, 100, 50, 200, 0x80402010u), 200},
        {"result 2 replaces on a layer", true, 0xFF00FF00u, 2, 77, Bgra(50, 100, 200, 77), 77},
        {"result 2 with alpha 0 leaves a clear pixel", true, 0xFF00FF00u, 2, 0, Bgra(50, 100, 200, 0), 1},
        {"result 2 on the base goes over the background", false, 0xFF00FF00u, 2, 0, Bgra(10, 20, 30, 255), 1},
        {"result 2 on the base, half alpha", false, 0xFF00FF00u, 2, 128,
         PaintedOver(200, 100, 50, 128, Bgra(10, 20, 30, 255)), 128},
        {"result 3 records 255 - alpha", true, 0xFF00FF00u, 3, 55, Bgra(50, 100, 200, 55), 200},
        {"undefined result paints as 1", false, 0xFF000000u, 9, 255, Bgra(50, 100, 200, 255), 255},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        DiscardAllImages();
        Show(4, 3, c.under);
        CDIB *target = group->base;
        if (c.onLayer)
            target = AddLayer(1, 1, 3, 2, c.under)->image;
        Drawing(200, 100, 50, c.fakeResult ? 255 : c.alpha);
        if (c.fakeResult) {
            UseFakeColor(0);
            g_fake.result = c.fakeResult;
            g_fake.alpha = c.alpha;
        }
        PaintOne(window, 2, 1);
        EXPECT_EQ(Draw(2, 1), c.want);
        EXPECT_EQ(Coverage(2, 1), c.coverage);
        // The live display shows the group as it will be after the commit.
        EXPECT_EQ(Shown(2, 1), ComposeGroupPixel(group, target, c.want, 2, 1, nullptr));
        CommitStroke(window);
        EXPECT_EQ(Pixel(target, c.onLayer ? 1 : 2, c.onLayer ? 0 : 1), c.want);
        EXPECT_EQ(Draw(2, 1), 0u);
        EXPECT_EQ(Coverage(2, 1), 0);
    }
}

TEST_F(PaintTest, CoverageAndDrawFlags)
{
    // Two stamps on one pixel; the second in another colour shows whether it repainted.
    struct Case {
        int drawFlags, firstOpacity, secondOpacity;
        uint32_t want;
    } cases[] = {
        {0, 128, 128, PaintedOver(0, 0, 0, 128, 0xFFFFFFFFu)},          // equal coverage: painted once
        {0, 128, 200, PaintedOver(255, 0, 0, 200, 0xFFFFFFFFu)},        // higher: repainted over the image
        {0, 200, 128, PaintedOver(0, 0, 0, 200, 0xFFFFFFFFu)},          // lower: kept
        {1, 200, 128, PaintedOver(255, 0, 0, 128, 0xFFFFFFFFu)},        // any flag: no coverage rule
        {4, 128, 128, PaintedOver(255, 0, 0, 128, PaintedOver(0, 0, 0, 128, 0xFFFFFFFFu))}, // builds on the stroke
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "flags " << c.drawFlags << " " << c.firstOpacity << "/" << c.secondOpacity);
        DiscardAllImages();
        Show(3, 3, 0xFFFFFFFFu);
        Drawing(0, 0, 0, c.firstOpacity, c.drawFlags);
        PaintOne(window, 1, 1);
        Drawing(255, 0, 0, c.secondOpacity, c.drawFlags);
        PaintOne(window, 1, 1);
        EXPECT_EQ(Draw(1, 1), c.want);
    }
}

TEST_F(PaintTest, RefusedPixelsKeepTheRunAligned)
{
    Show(8, 2, 0xFFFFFFFFu);
    group->base->mask = (uint8_t *)calloc(16, 1);
    // Pixel 1 protected, pixel 3 outside the active region 1, the rest inside it.
    const uint8_t row[8] = {1, 0x81, 1, 2, 1, 1, 1, 1};
    for (int x = 0; x < 8; x++)
        Work(x, 0) = group->base->mask[x] = row[x];
    window->activeRegion = 1;
    Drawing(0, 0, 255, 255);
    QzsStartPset(window, 0, 0);
    for (int x = 0; x < 8; x++)
        QzsPSet(window, x, 0, 0);
    for (int x = 0; x < 8; x++) {
        bool painted = x != 1 && x != 3;
        EXPECT_EQ(Draw(x, 0), painted ? Bgra(255, 0, 0, 255) : 0u) << x;
        EXPECT_EQ(Shown(x, 0) & 0xFFFFFF, painted ? 0x0000FFu : 0xFFFFFFu) << x;
    }
    EXPECT_EQ(Draw(0, 1), 0u); // nothing spilled into the next row
    // Points outside the image only advance the run.
    QzsStartPset(window, -2, 1);
    for (int x = -2; x < 3; x++)
        QzsPSet(window, x, 1, 0);
    EXPECT_EQ(Draw(0, 1), 0u); // region 0 is not the active region
    window->activeRegion = 0;
    QzsStartPset(window, -2, 1);
    for (int x = -2; x < 3; x++)
        QzsPSet(window, x, 1, 0);
    EXPECT_EQ(Draw(0, 1), Bgra(255, 0, 0, 255));
    EXPECT_EQ(Draw(2, 1), Bgra(255, 0, 0, 255));
    EXPECT_EQ(Draw(3, 1), 0u);
    RECT d = Dirty();
    EXPECT_EQ(d.left, 0);
    EXPECT_EQ(d.right, 7);
}

TEST_F(PaintTest, StrokeOnALayerAtAnOriginCommitsIntoItsPixels)
{
    Show(10, 8, 0xFFFFFFFFu);
    LayerRecord *layer = AddLayer(3, 2, 5, 4, 0x00000000u);
    ASSERT_EQ(group->currentImage, layer->image);
    Drawing(0, 255, 0, 255);
    // A row across the whole base: only the layer's columns 3..7 are inside it.
    QzsStartPset(window, 0, 4);
    for (int x = 0; x < 10; x++)
        QzsPSet(window, x, 4, 0);
    Work(5, 4) |= 0x40;
    RECT d = Dirty();
    EXPECT_EQ(d.left, 3);
    EXPECT_EQ(d.right, 7);
    EXPECT_EQ(d.top, 4);
    CommitStroke(window);
    for (int x = 0; x < 5; x++)
        for (int y = 0; y < 4; y++)
            EXPECT_EQ(Pixel(layer->image, x, y), y == 2 ? Bgra(0, 255, 0, 255) : 0u) << x << "," << y;
    EXPECT_EQ(Base(4, 4), 0xFFFFFFFFu);
    EXPECT_EQ(Work(5, 4), 0);
    EXPECT_EQ(Draw(5, 4), 0u);
    EXPECT_TRUE(layer->image->modified);
    // The record is in the layer's own coordinates; undo gives the clear pixels back.
    UndoRecord *r = layer->image->undoCurrent;
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->x0, 0);
    EXPECT_EQ(r->y0, 2);
    EXPECT_EQ(r->x1, 4);
    EXPECT_EQ(r->y1, 2);
    EXPECT_EQ(((uint32_t *)r->before)[0], 0u);
    EXPECT_EQ(((uint32_t *)r->after)[4], Bgra(0, 255, 0, 255));
    EXPECT_EQ(UndoImage(window), 0);
    EXPECT_EQ(Pixel(layer->image, 2, 2), 0u);
    // Nothing left to commit: no further record.
    CommitStroke(window);
    EXPECT_EQ(layer->image->undoCurrent, nullptr);
}

TEST_F(PaintTest, DirtyRectangleBeyondALayerNeverReachesPastIt)
{
    // An effect may mark a rectangle larger than the layer, which hangs off the base's top-left.
    Show(6, 6, 0xFFFFFFFFu);
    LayerRecord *layer = AddLayer(-2, -1, 5, 4, 0x11223344u);
    window->drawBuffer[1 * 6 + 2] = 0xFF0000FFu;
    window->coverage[1 * 6 + 2] = 255;
    window->drawBuffer[5 * 6 + 5] = 0xFF00FF00u; // outside the layer: dropped, not committed
    window->coverage[5 * 6 + 5] = 255;
    SetDirtyRect(-5, -5, 20, 20);
    CommitStroke(window);
    EXPECT_EQ(Pixel(layer->image, 4, 2), 0xFF0000FFu);
    EXPECT_EQ(Pixel(layer->image, 0, 0), 0x11223344u);
    EXPECT_EQ(Base(5, 5), 0xFFFFFFFFu);
    EXPECT_EQ(Draw(5, 5), 0u);
    // The record covers the layer's part on the base, in layer coordinates, and undoes cleanly.
    UndoRecord *r = layer->image->undoCurrent;
    ASSERT_NE(r, nullptr);
    EXPECT_TRUE(r->x0 == 2 && r->y0 == 1 && r->x1 == 4 && r->y1 == 3);
    EXPECT_EQ(UndoImage(window), 0);
    for (int y = 0; y < 4; y++)
        for (int x = 0; x < 5; x++)
            EXPECT_EQ(Pixel(layer->image, x, y), 0x11223344u) << x << "," << y;
}

TEST_F(PaintTest, RegionStrokeCommitsTheMaskAndLeavesPixels)
{
    Show(5, 5, 0xFF808080u);
    ColorRecord *c = QzsGetColor(0);
    c->regionBits = 2;
    c->regionMode = 1;
    QzsStartPset(window, 1, 2);
    for (int x = 1; x < 4; x++)
        QzsPSet(window, x, 2, 0);
    EXPECT_EQ(Work(2, 2), 2);
    EXPECT_EQ(Coverage(2, 2), 0);
    CommitStroke(window);
    ASSERT_NE(group->base->mask, nullptr);
    EXPECT_EQ(group->base->mask[2 * 5 + 3], 2);
    EXPECT_EQ(group->base->mask[2 * 5 + 4], 0);
    EXPECT_EQ(Base(2, 2), 0xFF808080u);
    EXPECT_EQ(group->base->undoCurrent, nullptr);
    EXPECT_NE(group->regionUndoCurrent, nullptr);
    EXPECT_LT(Dirty().right, 0);
}

TEST_F(PaintTest, PostProcessColourRecoloursTheFigureAtTheCommit)
{
    Show(6, 4, 0xFFFFFFFFu);
    Drawing(0, 0, 0, 255);
    UseFakeColor(1);
    window->activeRegion = 0;
    QzsStartPset(window, 1, 1);
    for (int x = 1; x < 4; x++)
        QzsPSet(window, x, 1, 0);
    EXPECT_EQ(Base(2, 1), 0xFFFFFFFFu); // only marked
    EXPECT_EQ(Work(2, 1), 0x20);
    EXPECT_EQ(g_fake.calls, 0);
    // The plug-in paints every marked pixel of a row through the pixel service.
    g_fake.post = [](ImageWindow *win) {
        ColorRecord color = {};
        color.red = 255;
        color.function = 7; // the service takes these away
        color.regionMode = 1;
        QzsStartPset(win, 0, 1);
        for (int x = 0; x < 6; x++)
            QzsSetColorWithPset(win, x, 1, &color, 0x20);
    };
    CommitStroke(window);
    EXPECT_EQ(g_fake.posts, 1);
    EXPECT_EQ(g_fake.postRect[0], 1);
    EXPECT_EQ(g_fake.postRect[2], 3);
    EXPECT_EQ(g_fake.postMode, 0x20);
    for (int x = 0; x < 6; x++)
        EXPECT_EQ(Base(x, 1), x >= 1 && x <= 3 ? Bgra(0, 0, 255, 255) : 0xFFFFFFFFu) << x;
    EXPECT_EQ(Work(2, 1), 0);
    EXPECT_EQ(Shown(2, 1), Bgra(0, 0, 255, 255));
}

TEST_F(PaintTest, DisplayColourWithAHiddenBaseAndInsideARun)
{
    Show(40, 20, 0xFF102030u);
    group->baseStatus = 0;
    uint32_t color = 0;
    EXPECT_EQ(QzsGetDisplayColor(group, 0, 0, &color), 0xFFFFFFFFu);
    EXPECT_EQ(color, 0xFFFFFFFFu);
    EXPECT_EQ(QzsGetDisplayColor(group, 16, 0, nullptr), 0xFFC0C0C0u);
    EXPECT_EQ(QzsGetDisplayColor(group, 16, 16, nullptr), 0xFFFFFFFFu);
    LayerRecord *layer = AddLayer(10, 0, 10, 10, Bgra(0, 0, 200, 255));
    layer->opacity = 128;
    EXPECT_EQ(QzsGetDisplayColor(group, 12, 2, nullptr), PaintedOver(200, 0, 0, 128, 0xFFFFFFFFu));
    // A colour plug-in that asks for a display colour in the middle of a row.
    group->baseStatus = 1;
    QzsSetCurrentInImageGroup(group, nullptr);
    Drawing(0, 0, 0, 255);
    UseFakeColor(0);
    g_fake.red = g_fake.green = g_fake.blue = 0;
    g_fake.during = [this] { QzsGetDisplayColor(group, 39, 19, nullptr); };
    QzsStartPset(window, 0, 5);
    for (int x = 0; x < 4; x++)
        QzsPSet(window, x, 5, 0);
    for (int x = 0; x < 5; x++)
        EXPECT_EQ(Draw(x, 5), x < 4 ? 0xFF000000u : 0u) << x;
    EXPECT_EQ(g_fake.lastX, 3);
    EXPECT_EQ(Draw(39, 19), 0u);
}

TEST_F(PaintTest, EndingWithoutUpdateLeavesNothingForTheNextCommit)
{
    Show(4, 4, 0xFFFFFFFFu);
    Drawing(0, 0, 0, 255);
    PaintOne(window, 1, 1);
    EXPECT_EQ(QzsEndNoUpdateDraw(), -1);
    EXPECT_LT(Dirty().right, 0);
    EXPECT_EQ(Draw(1, 1), 0u);
    EXPECT_EQ(Coverage(1, 1), 0);
    SetDirtyRect(0, 0, 3, 3);
    CommitStroke(window);
    EXPECT_EQ(Base(1, 1), 0xFFFFFFFFu);
}

// A sub-window that locked the draw method or the colours before the stroke gets them back when
// the stroke ends, whether it is committed or dropped.
TEST_F(PaintTest, EndingAStrokeReleasesTheLocks)
{
    for (bool commit : {true, false}) {
        SCOPED_TRACE(commit ? "committed" : "dropped");
        Show(4, 4, 0xFFFFFFFFu);
        Drawing(0, 0, 0, 255);
        QzsLockDraw((HWND)0x1234, 1);
        QzsLockColor((HWND)0x1234, 1);
        PaintOne(window, 1, 1);
        if (commit)
            CommitStroke(window);
        else
            QzsEndNoUpdateDraw();
        EXPECT_EQ(QzsCheckLockDraw(), 0);
        EXPECT_EQ(QzsCheckLockColor(), 0);
    }
}
