// Undo and redo of pixel rectangles, whole images and merged layers, within the memory rules.
#include "view/undo_apply.h"
#include "testsupport.h"
#include "image/cdib.h"
#include "image/group.h"
#include "image/imagelist.h"
#include "view/paint.h"
#include "image/undo.h"
#include "base/settings.h"
#include "base/sysinfo.h"
#include "view/winlist.h"
#include <stdlib.h>
#include <string.h>

namespace {

uint32_t Pattern(int x, int y, int seed)
{
    return 0xFF000000u | (uint32_t)(x * 7 + y * 131 + seed * 9973) % 0xFFFFFF;
}

class UndoTest : public HostTest {
protected:
    ImageGroup *group = nullptr;
    ImageWindow *window = nullptr;

    CDIB *NewImage(int w, int h, int seed)
    {
        CDIB *image = nullptr;
        EXPECT_EQ(CreateImageRecord(&image, w, h, 32), 0);
        Fill(image, seed);
        return image;
    }
    static void Fill(CDIB *image, int seed)
    {
        int w = image->header->bmiHeader.biWidth, h = image->header->bmiHeader.biHeight;
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++)
                Pixels(image)[y * w + x] = Pattern(x, y, seed);
    }
    static uint32_t *Pixels(CDIB *image) { return (uint32_t *)image->pixels; }
    void NewGroupAndWindow(int w, int h)
    {
        ASSERT_EQ(AddImageGroup(NewImage(w, h, 0)), 1);
        group = g_lastGroup;
        window = (ImageWindow *)calloc(1, sizeof(ImageWindow));
        window->group = group;
        window->layerImage = group->currentImage;
        window->regionDisplayMode = 4;
        g_firstWindow = g_lastWindow = g_currentWindow = window;
    }
    CDIB *Edited() { return window->layerImage; }
    // What the stroke commit does: the record first, then the covered pixels, old and new kept.
    UndoRecord *Paint(int l, int t, int r, int b, int seed)
    {
        SetDirtyRect(l, t, r, b);
        CDIB *image = Edited();
        UndoRecord *record = PushUndo(group, image, kUndoPixelRect);
        int w = image->header->bmiHeader.biWidth;
        for (int y = t; y <= b; y++)
            for (int x = l; x <= r; x++) {
                int ix = x - group->layerX, iy = y - group->layerY;
                uint32_t &p = Pixels(image)[iy * w + ix];
                uint32_t old = p;
                p = Pattern(x, y, seed);
                if (record) {
                    int k = (iy - record->y0) * UndoRecordWidth(record) + (ix - record->x0);
                    ((uint32_t *)record->before)[k] = old;
                    ((uint32_t *)record->after)[k] = p;
                }
            }
        ClearDirtyRect();
        return record;
    }
    std::vector<uint32_t> Snapshot()
    {
        CDIB *image = Edited();
        int n = image->header->bmiHeader.biWidth * image->header->bmiHeader.biHeight;
        return std::vector<uint32_t>(Pixels(image), Pixels(image) + n);
    }
    int ChainLength()
    {
        int n = 0;
        for (UndoRecord *r = Edited()->undoFirst; r; r = r->next)
            n++;
        return n;
    }
};

TEST_F(UndoTest, PaintUndoRedoRestoreExactPixelsOnTheBaseAndOnAShiftedLayer)
{
    NewGroupAndWindow(40, 30);
    struct Case {
        bool layer;
        int x, y;
    } cases[] = {{false, 0, 0}, {true, 7, -3}, {true, -5, 12}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.layer ? "layer" : "base");
        if (c.layer) {
            LayerRecord *l = QzsInsertNewLayer(group, NewImage(20, 20, 5), c.x, c.y, 1, 255, 0);
            ASSERT_NE(l, nullptr);
            window->layerImage = group->currentImage;
        }
        EXPECT_EQ(UndoImage(window), 2);
        auto s0 = Snapshot();
        int lx = group->clampedX, ly = group->clampedY;
        Paint(lx + 1, ly + 2, lx + 6, ly + 4, 1);
        auto s1 = Snapshot();
        Paint(lx + 3, ly, lx + 3, ly + 9, 2); // one column: counts and copies like any other
        auto s2 = Snapshot();
        EXPECT_NE(s1, s0);
        EXPECT_NE(s2, s1);
        EXPECT_EQ(RedoImage(window), 2);
        EXPECT_EQ(UndoImage(window), 0);
        EXPECT_EQ(Snapshot(), s1);
        EXPECT_EQ(UndoImage(window), 0);
        EXPECT_EQ(Snapshot(), s0);
        EXPECT_EQ(UndoImage(window), 2);
        EXPECT_EQ(RedoImage(window), 0);
        EXPECT_EQ(Snapshot(), s1);
        EXPECT_EQ(RedoImage(window), 0);
        EXPECT_EQ(Snapshot(), s2);
        EXPECT_EQ(RedoImage(window), 2);
    }
    window->layerImage = nullptr;
    window->group = nullptr;
    EXPECT_EQ(UndoImage(window), 1);
    EXPECT_EQ(RedoImage(nullptr), 1);
}

TEST_F(UndoTest, PaintingAfterAnUndoDropsTheRedo)
{
    NewGroupAndWindow(20, 20);
    Paint(0, 0, 4, 4, 1);
    Paint(2, 2, 9, 9, 2);
    EXPECT_EQ(UndoImage(window), 0);
    EXPECT_EQ(UndoImage(window), 0);
    UndoRecord *r = Paint(5, 5, 6, 6, 3);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(ChainLength(), 1);
    EXPECT_EQ(Edited()->undoFirst, r);
    EXPECT_EQ(Edited()->undoLast, r);
    EXPECT_EQ(RedoImage(window), 2);
}

// A large record dropped as redo hands its stores to the next record of its size, which then holds
// exactly the pixels of its own change: undo and redo restore them.
TEST_F(UndoTest, DroppedLargeRecordsStoresServeTheNextRecord)
{
    ReleaseSpareUndoStores();
    NewGroupAndWindow(600, 600);
    std::vector<uint32_t> original = Snapshot();
    UndoRecord *dropped = Paint(0, 0, 599, 599, 1);
    ASSERT_NE(dropped, nullptr);
    void *stores[2] = {dropped->before, dropped->after};
    EXPECT_EQ(UndoImage(window), 0);
    UndoRecord *r = Paint(10, 10, 589, 589, 2); // smaller, but more than half the size
    ASSERT_NE(r, nullptr);
    EXPECT_TRUE((r->before == stores[0] || r->before == stores[1]) && (r->after == stores[0] || r->after == stores[1]));
    std::vector<uint32_t> painted = Snapshot();
    EXPECT_EQ(UndoImage(window), 0);
    EXPECT_TRUE(Snapshot() == original);
    EXPECT_EQ(RedoImage(window), 0);
    EXPECT_TRUE(Snapshot() == painted);

    // A record of less than half their size takes fresh memory instead of holding them.
    EXPECT_EQ(UndoImage(window), 0);
    r = Paint(0, 0, 99, 99, 3);
    ASSERT_NE(r, nullptr);
    EXPECT_TRUE(r->before != stores[0] && r->before != stores[1]);
    ReleaseSpareUndoStores();
}

TEST_F(UndoTest, CeilingDropsTheOldestRecordsAndCountsThinRecords)
{
    NewGroupAndWindow(64, 64);
    g_cfg.MaxUndoBuffer = 2048;
    // A record holds the rectangle twice, before and after: both copies count.
    Paint(0, 0, 9, 9, 1); // 2 x 10 x 10 x 4 = 800
    UndoRecord *row = Paint(0, 0, 9, 0, 2); // one row: 2 x 40
    EXPECT_EQ(Edited()->undoBytes, 880);
    Paint(0, 0, 9, 9, 3);
    Paint(0, 0, 9, 9, 4);
    EXPECT_EQ(Edited()->undoBytes, 2480);
    // Above the ceiling: the oldest records go until the held bytes are within it.
    Paint(0, 0, 9, 9, 5);
    EXPECT_EQ(Edited()->undoFirst, row);
    EXPECT_EQ(Edited()->undoBytes, 2480);
    UndoRecord *r = Paint(0, 0, 9, 9, 6);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(ChainLength(), 3);
    EXPECT_EQ(Edited()->undoBytes, 2400);
    EXPECT_EQ(Edited()->undoLast, r);
    // What the chain really holds: two stores of the rectangle per record.
    int64_t held = 0;
    for (UndoRecord *u = Edited()->undoFirst; u; u = u->next)
        held += 2 * (int64_t)(u->x1 - u->x0 + 1) * (u->y1 - u->y0 + 1) * 4;
    EXPECT_EQ(held, Edited()->undoBytes);

    g_cfg.MaxUndoBuffer = 0; // no ceiling: nothing is counted
    FreeUndoRecords(Edited(), Edited()->undoFirst);
    Paint(0, 0, 30, 30, 6);
    Paint(0, 0, 30, 30, 7);
    EXPECT_EQ(Edited()->undoBytes, 0);
    EXPECT_EQ(ChainLength(), 2);
}

TEST_F(UndoTest, PageFileRuleEmptiesTheChainAndCommitsWithoutUndo)
{
    NewGroupAndWindow(16, 16);
    Paint(0, 0, 3, 3, 1);
    MEMORYSTATUS status = {};
    status.dwTotalPageFile = 3000000;
    status.dwAvailPageFile = 99999; // / 10 is below total / 300
    SetMemoryStatusOverride(&status);
    auto before = Snapshot();
    EXPECT_EQ(Paint(4, 4, 7, 7, 2), nullptr);
    EXPECT_NE(Snapshot(), before); // the change itself is made
    EXPECT_EQ(Edited()->undoFirst, nullptr);
    EXPECT_EQ(Edited()->undoCurrent, nullptr);
    EXPECT_EQ(UndoImage(window), 2);
    status.dwAvailPageFile = 100000;
    SetMemoryStatusOverride(&status);
    EXPECT_NE(Paint(4, 4, 7, 7, 3), nullptr);
}

TEST_F(UndoTest, WholeImageUndoAfterSizeAndDepthChange)
{
    NewGroupAndWindow(12, 8);
    CDIB *original = Edited();
    strcpy(original->name, "picture");
    Paint(1, 1, 3, 3, 1);
    auto s0 = Snapshot();
    CDIB *rotated = (CDIB *)calloc(1, sizeof(CDIB));
    ASSERT_EQ(QzsCreateCDIB(5, 7, 24, rotated), 0);
    memset(rotated->pixels, 0x5A, (size_t)GetPixelBufferSize(5, 7, 24));
    QzsReplaceWinImage(window, rotated, 1);
    EXPECT_EQ(Edited(), rotated);
    ASSERT_NE(rotated->undoLast, nullptr);
    UndoRecord *whole = rotated->undoLast;
    EXPECT_EQ(whole->kind, kUndoWholeImage);
    // The held images never point at the live mask.
    EXPECT_EQ(whole->oldImage->mask, nullptr);
    EXPECT_EQ(whole->newCopy->mask, nullptr);

    for (int round = 0; round < 2; round++) {
        EXPECT_EQ(UndoImage(window), 0);
        int w, h, d;
        GetImageSize(Edited(), &w, &h, &d);
        EXPECT_EQ(w * 100 + h * 10 + d / 8, 12 * 100 + 8 * 10 + 4);
        EXPECT_EQ(Snapshot(), s0);
        EXPECT_STREQ(Edited()->name, "picture");
        EXPECT_EQ(group->base, Edited());
        EXPECT_EQ(UndoImage(window), 0); // and the stroke before it
        EXPECT_EQ(RedoImage(window), 0);
        EXPECT_EQ(RedoImage(window), 0);
        GetImageSize(Edited(), &w, &h, &d);
        EXPECT_EQ(w * 100 + h * 10 + d / 8, 5 * 100 + 7 * 10 + 3);
        EXPECT_EQ(((uint8_t *)Edited()->pixels)[0], 0x5A);
        EXPECT_EQ(RedoImage(window), 2);
    }
    // Undone, then a new change: the whole-image record is freed with the redo part.
    EXPECT_EQ(UndoImage(window), 0);
    Paint(0, 0, 1, 1, 9);
    EXPECT_EQ(ChainLength(), 2);
}

// A plug-in may hand over an image it made with the list service: it moves to the replaced
// image's place, and every other image stays listed.
TEST_F(UndoTest, ReplacingWithAListedImageKeepsTheList)
{
    CDIB *made = NewImage(4, 4, 5), *other = NewImage(4, 4, 6);
    NewGroupAndWindow(6, 6);
    CDIB *old = Edited();
    ASSERT_EQ(QzsReplaceWinImage(window, made, 1), 1);
    EXPECT_EQ(Edited(), made);
    int listed = 0;
    for (CDIB *i = g_firstImage; i && listed < 10; i = i->next)
        listed++;
    EXPECT_EQ(listed, 2);
    EXPECT_TRUE(IsImageListed(other));
    EXPECT_FALSE(IsImageListed(old));
    EXPECT_EQ(g_lastImage, made);
    // An image a group already holds is refused.
    ASSERT_EQ(AddImageGroup(other), 1);
    EXPECT_EQ(QzsReplaceWinImage(window, other, 1), 0);
    EXPECT_EQ(Edited(), made);
}

TEST_F(UndoTest, WholeImageRecordLeavesTheLiveMaskAlone)
{
    NewGroupAndWindow(10, 10);
    CDIB *base = Edited();
    base->mask = (uint8_t *)calloc(100, 1);
    base->mask[55] = 2;
    CDIB *copy = (CDIB *)calloc(1, sizeof(CDIB));
    ASSERT_EQ(QzsCreateCDIB(10, 10, 32, copy), 0);
    QzsReplaceWinImage(window, copy, 1);
    ASSERT_NE(copy->mask, nullptr);
    EXPECT_EQ(copy->mask[55], 2);
    EXPECT_EQ(UndoImage(window), 0);
    EXPECT_EQ(Edited()->mask[55], 2); // went on to the restored image
    EXPECT_EQ(RedoImage(window), 0);
    FreeUndoRecords(Edited(), Edited()->undoFirst);
    EXPECT_EQ(Edited()->mask[55], 2);
    Edited()->mask[55] = 3; // still ours to write
}

// Merging as the layer merge does it: one record with the base before and after and copies of the
// removed layers.
static void MergeAll(ImageGroup *group)
{
    QzsSetCurrentInImageGroup(group, nullptr);
    int w = group->base->header->bmiHeader.biWidth, h = group->base->header->bmiHeader.biHeight;
    SetDirtyRect(0, 0, w - 1, h - 1);
    UndoRecord *r = PushUndo(group, group->base, kUndoPixelRect);
    ClearDirtyRect();
    ASSERT_NE(r, nullptr);
    memcpy(r->before, group->base->pixels, (size_t)w * h * 4);
    while (LayerRecord *l = group->firstLayer) {
        ((uint32_t *)group->base->pixels)[0] ^= 0x010101;
        EXPECT_TRUE(AddSavedLayer(r, l));
        RemoveLayer(group, l, 1, 0, 1);
    }
    memcpy(r->after, group->base->pixels, (size_t)w * h * 4);
}

TEST_F(UndoTest, MergeUndoRedoKeepsTheLayerListIntact)
{
    NewGroupAndWindow(8, 8);
    CDIB *a = NewImage(4, 4, 1), *b = NewImage(4, 4, 2), *c = NewImage(4, 4, 3);
    QzsInsertNewLayer(group, a, 1, 1, 1, 255, 0);
    QzsInsertNewLayer(group, b, 2, 2, 0, 100, 0);
    MergeAll(group);
    window->layerImage = group->base;
    EXPECT_EQ(group->firstLayer, nullptr);
    auto images = [&] {
        std::vector<CDIB *> v;
        for (LayerRecord *l = group->firstLayer; l && v.size() < 10; l = l->next)
            v.push_back(l->image);
        return v;
    };
    for (int round = 0; round < 2; round++) {
        EXPECT_EQ(UndoImage(window), 0);
        EXPECT_EQ(images(), (std::vector<CDIB *>{a, b}));
        EXPECT_EQ(group->firstLayer->next->opacity, 100);
        EXPECT_EQ(RedoImage(window), 0);
        EXPECT_TRUE(images().empty());
    }
    // Undo, then delete a restored layer: its image goes to the deleted-image queue and never
    // comes back through the record.
    EXPECT_EQ(UndoImage(window), 0);
    QzsInsertNewLayer(group, c, 0, 0, 1, 255, 0);
    QzsSetCurrentInImageGroup(group, nullptr);
    ASSERT_EQ(QzsDeleteLayer(group, group->firstLayer, 0), 1);
    EXPECT_EQ(images(), (std::vector<CDIB *>{b, c}));
    EXPECT_EQ(RedoImage(window), 0);
    EXPECT_EQ(images(), (std::vector<CDIB *>{c}));
    EXPECT_EQ(UndoImage(window), 0);
    EXPECT_EQ(images(), (std::vector<CDIB *>{b, c}));
    EXPECT_TRUE(IsImageQueued(a));
    FreeUndoRecords(group->base, group->base->undoFirst); // b is in the group: kept
    EXPECT_TRUE(IsImageListed(b));
    ReleaseDeletedImages();
}

TEST_F(UndoTest, FreeingARecordClosesTheMergedImagesOnlyItHolds)
{
    NewGroupAndWindow(8, 8);
    CDIB *a = NewImage(4, 4, 1);
    QzsInsertNewLayer(group, a, 0, 0, 1, 255, 0);
    MergeAll(group);
    EXPECT_TRUE(IsImageListed(a));
    FreeUndoRecords(group->base, group->base->undoFirst);
    EXPECT_FALSE(IsImageListed(a));
}

} // namespace
