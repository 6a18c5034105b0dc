// Merging every layer into the base: blends computed by hand, one undo record that brings the
// layers back, the merge without undo, and the windows that show the group.
#include "testsupport.h"
#include "view/merge.h"
#include "view/undo_apply.h"
#include "view/display.h"
#include "view/groupview.h"
#include "view/writers.h"
#include "image/bindings.h"
#include "image/cdib.h"
#include "image/group.h"
#include "image/imagelist.h"
#include "image/undo.h"
#include "base/settings.h"
#include "base/sysinfo.h"
#include "shell/commands.h"
#include "shell/winproc.h"
#include "view/winlist.h"
#include <stdlib.h>
#include <string.h>
#include <utility>
#include <vector>

namespace {

uint32_t Rgb(int r, int g, int b, int a = 255)
{
    return (uint32_t)a << 24 | (uint32_t)r << 16 | (uint32_t)g << 8 | (uint32_t)b;
}

class MergeTest : public HostTest {
protected:
    ImageGroup *group = nullptr;
    ImageWindow *window = nullptr;
    CDIB *a = nullptr, *b = nullptr, *c = nullptr;
    LayerRecord *la = nullptr, *lb = nullptr, *lc = nullptr;

    void TearDown() override
    {
        memset(g_layerBlends, 0, sizeof g_layerBlends);
        SetMemoryStatusOverride(nullptr);
        if (window) { // a window record of the test's own, not a real window
            free(window);
            g_firstWindow = g_lastWindow = g_currentWindow = nullptr;
        }
        HostTest::TearDown();
    }
    static CDIB *Solid(int w, int h, uint32_t colour)
    {
        CDIB *image = nullptr;
        EXPECT_EQ(CreateImageRecord(&image, w, h, 32), 0);
        for (int i = 0; i < w * h; i++)
            ((uint32_t *)image->pixels)[i] = colour;
        return image;
    }
    // A 6 x 4 base of (40, 80, 120) under three layers:
    //   a: 4 x 3 of (200, 100, 0) at (-2, 1), half outside the base;
    //   b: 2 x 2 of (0, 0, 255) at (1, 0), hidden, blend index 3 (no module there: the normal blend);
    //   c: 3 x 2 of (10, 20, 250) at (1, 1), opacity 128.
    // c is current, so the merge must make the base current first.
    void MakeGroup()
    {
        ASSERT_EQ(AddImageGroup(Solid(6, 4, Rgb(40, 80, 120))), 1);
        group = g_lastGroup;
        group->base->modified = 0;
        a = Solid(4, 3, Rgb(200, 100, 0));
        b = Solid(2, 2, Rgb(0, 0, 255));
        c = Solid(3, 2, Rgb(10, 20, 250));
        la = QzsInsertNewLayer(group, a, -2, 1, 1, 255, 0);
        lb = QzsInsertNewLayer(group, b, 1, 0, 0, 255, 0);
        lc = QzsInsertNewLayer(group, c, 1, 1, 1, 128, 0);
        ASSERT_TRUE(la && lb && lc);
        lb->blend = 3;
        window = (ImageWindow *)calloc(1, sizeof(ImageWindow));
        window->group = group;
        window->layerImage = group->currentImage;
        window->regionDisplayMode = 4;
        g_firstWindow = g_lastWindow = g_currentWindow = window;
    }
    uint32_t At(int x, int y) const { return ((uint32_t *)group->base->pixels)[y * 6 + x]; }
    std::vector<uint32_t> Base() const
    {
        const uint32_t *p = (const uint32_t *)group->base->pixels;
        return std::vector<uint32_t>(p, p + 24);
    }
    struct Shape {
        CDIB *image;
        int x, y, status, opacity, blend;
        bool operator==(const Shape &o) const
        {
            return image == o.image && x == o.x && y == o.y && status == o.status && opacity == o.opacity &&
                   blend == o.blend;
        }
    };
    std::vector<Shape> Layers() const
    {
        std::vector<Shape> v;
        for (LayerRecord *l = group->firstLayer; l && v.size() < 10; l = l->next)
            v.push_back({l->image, l->x, l->y, l->status, l->opacity, l->blend});
        return v;
    }
    int Records() const
    {
        int n = 0;
        for (UndoRecord *r = group->base->undoFirst; r && n < 10; r = r->next)
            n++;
        return n;
    }
};

// Over an opaque base the normal blend is (upper x au + lower x (255 - au)) / 255, au the layer
// alpha times its opacity / 255 (here 128). Worked out by hand:
//   c over the base:       (10*128 + 40*127)/255 = 24, (20*128 + 80*127)/255 = 49, (250*128 + 120*127)/255 = 185
//   c over b (0, 0, 255):  1280/255 = 5, 2560/255 = 10, (32000 + 32385)/255 = 252
//   c over a (200, 100, 0): (1280 + 25400)/255 = 104, (2560 + 12700)/255 = 59, 32000/255 = 125
TEST_F(MergeTest, EveryLayerBlendsIntoTheBaseInListOrder)
{
    MakeGroup();
    MergeAllLayers(group);
    const uint32_t base = Rgb(40, 80, 120), red = Rgb(200, 100, 0), blue = Rgb(0, 0, 255);
    const uint32_t cOverBase = Rgb(24, 49, 185), cOverBlue = Rgb(5, 10, 252), cOverRed = Rgb(104, 59, 125);
    const uint32_t want[4][6] = {
        {base, blue, blue, base, base, base},
        {red, cOverBlue, cOverBlue, cOverBase, base, base},
        {red, cOverRed, cOverBase, cOverBase, base, base},
        {red, red, base, base, base, base},
    };
    for (int y = 0; y < 4; y++)
        for (int x = 0; x < 6; x++)
            EXPECT_EQ(At(x, y), want[y][x]) << x << "," << y;
    EXPECT_EQ(group->firstLayer, nullptr);
    EXPECT_EQ(group->currentLayer, nullptr);
    EXPECT_EQ(group->currentImage, group->base);
    EXPECT_EQ(window->layerImage, group->base);
    EXPECT_EQ(group->base->modified, 1);
    // One pixel record over the whole base, holding the three layers in order.
    ASSERT_EQ(Records(), 1);
    UndoRecord *r = group->base->undoFirst;
    EXPECT_EQ(r->kind, kUndoPixelRect);
    EXPECT_EQ(std::vector<int>({r->x0, r->y0, r->x1, r->y1}), std::vector<int>({0, 0, 5, 3}));
    std::vector<CDIB *> saved;
    for (LayerRecord *l = r->savedLayers; l && saved.size() < 10; l = l->next)
        saved.push_back(l->image);
    EXPECT_EQ(saved, (std::vector<CDIB *>{a, b, c}));
    EXPECT_TRUE(IsImageListed(a) && IsImageListed(b) && IsImageListed(c)); // the record holds them
}

TEST_F(MergeTest, UndoAndRedoBringBackTheBaseAndTheLayers)
{
    MakeGroup();
    std::vector<uint32_t> before = Base();
    std::vector<Shape> layers = Layers();
    MergeAllLayers(group);
    std::vector<uint32_t> merged = Base();
    ASSERT_NE(merged, before);
    for (int round = 0; round < 2; round++) {
        SCOPED_TRACE(round);
        ASSERT_EQ(UndoImage(window), 0);
        EXPECT_EQ(Base(), before);
        EXPECT_TRUE(Layers() == layers);
        EXPECT_EQ(group->firstLayer->right, 1);
        EXPECT_EQ(group->firstLayer->bottom, 3);
        EXPECT_EQ(UndoImage(window), 2);
        ASSERT_EQ(RedoImage(window), 0);
        EXPECT_EQ(Base(), merged);
        EXPECT_TRUE(Layers().empty());
        EXPECT_EQ(RedoImage(window), 2);
    }
}

// The blend of a layer-blend plug-in row hears the column and row inside the layer.
std::vector<std::pair<int, int>> s_calls;
int QZCAPI DifferenceBlend(const uint8_t *lower, const uint8_t *upper, int c, int r, uint8_t *out)
{
    s_calls.push_back({c, r});
    for (int k = 0; k < 3; k++)
        out[k] = (uint8_t)abs(lower[k] - upper[k]);
    out[3] = lower[3];
    return 1;
}

TEST_F(MergeTest, PluginBlendGetsLayerCoordinates)
{
    ASSERT_EQ(AddImageGroup(Solid(6, 4, Rgb(40, 80, 120))), 1);
    group = g_lastGroup;
    g_layerBlends[1].module = GetModuleHandleA(NULL);
    g_layerBlends[1].QzcGetBlendColor = DifferenceBlend;
    LayerRecord *l = QzsInsertNewLayer(group, Solid(4, 3, Rgb(50, 50, 50)), -2, 2, 1, 255, 0);
    ASSERT_NE(l, nullptr);
    l->blend = 2; // row 1
    s_calls.clear();
    MergeAllLayers(group);
    // Columns 2..3 and rows 0..1 of the layer lie over the base.
    EXPECT_EQ(s_calls, (std::vector<std::pair<int, int>>{{2, 0}, {3, 0}, {2, 1}, {3, 1}}));
    EXPECT_EQ(At(0, 2), Rgb(10, 30, 70));
    EXPECT_EQ(At(1, 3), Rgb(10, 30, 70));
    EXPECT_EQ(At(2, 2), Rgb(40, 80, 120));
}

TEST_F(MergeTest, AGroupWithoutLayersIsLeftAlone)
{
    ASSERT_EQ(AddImageGroup(Solid(6, 4, Rgb(1, 2, 3))), 1);
    group = g_lastGroup;
    group->base->modified = 0;
    MergeAllLayers(group);
    MergeAllLayers(nullptr);
    EXPECT_EQ(group->base->undoFirst, nullptr);
    EXPECT_EQ(group->base->modified, 0);
    EXPECT_EQ(At(5, 3), Rgb(1, 2, 3));
}

// When the memory rules allow no record even with an empty chain, the merge is made without undo
// and the removed layers' images are closed rather than left behind.
TEST_F(MergeTest, WithoutAnUndoRecordTheMergeStillHappensAndFreesTheLayers)
{
    MakeGroup();
    MEMORYSTATUS status = {};
    status.dwTotalPageFile = 3000000;
    status.dwAvailPageFile = 99999; // / 10 is below total / 300
    SetMemoryStatusOverride(&status);
    MergeAllLayers(group);
    EXPECT_EQ(At(1, 1), Rgb(5, 10, 252));
    EXPECT_EQ(group->firstLayer, nullptr);
    EXPECT_EQ(group->base->undoFirst, nullptr);
    EXPECT_FALSE(IsImageListed(a) || IsImageListed(b) || IsImageListed(c));
    EXPECT_EQ(UndoImage(window), 2);
}

// Every window that shows the group shows the merged base at once, also a window that is not the
// current one while views are not kept in step.
TEST_F(MergeTest, TheMergeCommandRecomposesEveryWindowOfTheGroup)
{
    g_cfg.SynchronizeUpdateImage = 0;
    g_cfg.BindImageToOneWindow = 0;
    InitDisplayWriters(32);
    RegisterImageWindowClass();
    ASSERT_EQ(AddImageGroup(Solid(6, 4, Rgb(40, 80, 120))), 1);
    group = g_lastGroup;
    ASSERT_NE(QzsInsertNewLayer(group, Solid(2, 2, Rgb(200, 100, 0)), 1, 1, 1, 255, 0), nullptr);
    ImageWindow *first = CreateImageWindow(0, 0, 200, 150), *second = CreateImageWindow(0, 0, 200, 150);
    ASSERT_TRUE(first && second);
    ShowGroupInWindow(first, group, 1, 0);
    ShowGroupInWindow(second, group, 1, 0);
    ASSERT_TRUE(first->group == group && second->group == group);
    MakeWindowCurrent(first);
    // Hidden and half transparent without a redraw: the displays still show the opaque layer.
    QzsChangeLayerOpacity(group, group->firstLayer, 128, 0);
    QzsChangeLayerStatus(group, group->firstLayer, 0, 0);
    DispatchCommand(first, 32079, 0);
    EXPECT_EQ(group->firstLayer, nullptr);
    // Merged all the same: (200*128 + 40*127)/255 = 120, (100*128 + 80*127)/255 = 90, 120*127/255 = 59
    EXPECT_EQ(At(1, 1), Rgb(120, 90, 59));
    for (ImageWindow *w : {first, second}) {
        ASSERT_NE(w->display.pixels, nullptr);
        EXPECT_EQ(w->recompose, 0);
        const uint32_t *display = (const uint32_t *)w->display.pixels;
        for (int y = 0; y < 4; y++)
            for (int x = 0; x < 6; x++) {
                int dx = x + w->marginX, dy = y + w->marginY;
                EXPECT_EQ(display[(w->displayHeight - dy - 1) * w->displayWidth + dx], At(x, y)) << x << "," << y;
            }
    }
}

} // namespace
