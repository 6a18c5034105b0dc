// Image groups and layers.
#include "view/groupview.h"
#include "testsupport.h"
#include "image/cdib.h"
#include "image/group.h"
#include "image/imagelist.h"
#include "base/settings.h"
#include "view/winlist.h"
#include <string.h>

class GroupTest : public HostTest {
protected:
    ImageGroup *NewGroup(int w, int h, int depth = 32)
    {
        CDIB *base = nullptr;
        if (depth == 32)
            QzsCreateNewImage(&base, w, h, 32);
        else
            CreateImageRecord(&base, w, h, depth);
        EXPECT_NE(base, nullptr);
        EXPECT_EQ(AddImageGroup(base), 1);
        return g_lastGroup;
    }
    CDIB *NewLayerImage(int w, int h)
    {
        CDIB *image = nullptr;
        CreateImageRecord(&image, w, h, 32);
        return image;
    }
};

TEST_F(GroupTest, NewGroupTakesItsBase)
{
    ImageGroup *g = NewGroup(100, 60);
    EXPECT_EQ(g->baseStatus, 1);
    EXPECT_EQ(g->currentImage, g->base);
    EXPECT_EQ(g->currentLayer, nullptr);
    EXPECT_EQ(g->right, 99);
    EXPECT_EQ(g->bottom, 59);
    EXPECT_STREQ(g->name, g->base->name);
    EXPECT_EQ(QzsGetFirstImageGroup(), g);
    EXPECT_EQ(g_currentGroup, g);
    EXPECT_EQ(CountGroupImages(g), 1);
}

TEST_F(GroupTest, NthGroup)
{
    ImageGroup *a = NewGroup(4, 4), *b = NewGroup(4, 4);
    EXPECT_EQ(QzsGetNthImageGroup(0), a);
    EXPECT_EQ(QzsGetNthImageGroup(1), b);
    EXPECT_EQ(QzsGetNthImageGroup(2), nullptr);
    EXPECT_EQ(QzsGetNthImageGroup(-1), nullptr);
}

TEST_F(GroupTest, LayerOriginsAreClampedToTheBase)
{
    ImageGroup *g = NewGroup(100, 80);
    LayerRecord *l = QzsInsertNewLayer(g, NewLayerImage(30, 20), 0, 0, 1, 255, 0);
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(g->currentLayer, l);
    struct Case {
        int x, y;
        int storedX, right, storedY, bottom, clampedX;
    } cases[] = {
        {-10, 5, -10, 19, 5, 24, 0}, {500, 0, 100, 99, 0, 19, 100}, {90, 70, 90, 99, 70, 79, 90}, {0, -30, 0, 29, -30, -11, 0},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(QzsSetLayerOrgEx(g, l, c.x, c.y, 0), -1);
        EXPECT_EQ(l->x, c.storedX);
        EXPECT_EQ(l->right, c.right);
        EXPECT_EQ(l->y, c.storedY);
        EXPECT_EQ(l->bottom, c.bottom);
        EXPECT_EQ(g->layerX, c.storedX);
        EXPECT_EQ(g->clampedX, c.clampedX);
        EXPECT_EQ(g->clampedY, c.storedY < 0 ? 0 : c.storedY);
    }
    int left, top, right, bottom;
    EXPECT_EQ(QzsGetLayerSizeEx(g, l, &left, &top, &right, &bottom), 1);
    EXPECT_EQ(right, left + 29);
    EXPECT_EQ(QzsSetLayerOrgEx(g, nullptr, 0, 0, 0), 0);
    EXPECT_EQ(QzsSetLayerOrgEx(nullptr, l, 0, 0, 0), 0);
    QzsSetCurrentInImageGroup(g, nullptr);
    EXPECT_EQ(QzsSetLayerOrg(g, 1, 1, 0), 0);
}

TEST_F(GroupTest, NewLayersAreNamedCountedAndStackedOnTop)
{
    ImageGroup *g = NewGroup(50, 50);
    LayerRecord *a = QzsInsertNewLayer(g, NewLayerImage(10, 10), 0, 0, 1, 255, 0);
    LayerRecord *b = QzsInsertNewLayer(g, NewLayerImage(10, 10), 0, 0, 0, 128, 0);
    EXPECT_STREQ(a->image->name, "<<Layer>>:01");
    EXPECT_STREQ(b->image->name, "<<Layer>>:02");
    EXPECT_EQ(g->firstLayer, a);
    EXPECT_EQ(a->next, b);
    EXPECT_EQ(b->opacity, 128);
    EXPECT_EQ(b->blend, 0);
    EXPECT_EQ(QzsGetNextLayer(g, nullptr), a);
    EXPECT_EQ(QzsGetNextLayer(g, a), b);
    EXPECT_EQ(QzsGetNextLayer(nullptr, a), nullptr);
    EXPECT_EQ(GetNthLayer(g, 2), b);
    EXPECT_EQ(GetNthLayer(g, 0), nullptr);
    EXPECT_EQ(GetLastLayer(g), b);
    EXPECT_EQ(FindGroupOfImage(b->image), g);
    EXPECT_EQ(FindGroupOfLayer(b), g);
}

TEST_F(GroupTest, MovingLayers)
{
    ImageGroup *g = NewGroup(50, 50);
    LayerRecord *a = QzsInsertNewLayer(g, NewLayerImage(10, 10), 0, 0, 1, 255, 0);
    LayerRecord *b = QzsInsertNewLayer(g, NewLayerImage(10, 10), 0, 0, 1, 255, 0);
    LayerRecord *c = QzsInsertNewLayer(g, NewLayerImage(10, 10), 0, 0, 1, 255, 0);
    EXPECT_EQ(QzsMoveLayer(g, c, nullptr), 1); // to the bottom
    EXPECT_EQ(g->firstLayer, c);
    EXPECT_EQ(c->next, a);
    EXPECT_EQ(a->next, b);
    EXPECT_EQ(QzsMoveLayer(g, c, b), 1); // right above b: the top
    EXPECT_EQ(g->firstLayer, a);
    EXPECT_EQ(b->next, c);
    EXPECT_EQ(c->next, nullptr);
    EXPECT_EQ(QzsMoveLayer(g, c, c), 0);
    EXPECT_EQ(QzsMoveLayer(g, nullptr, a), 0);
}

TEST_F(GroupTest, DeletingTheCurrentLayerMakesTheOneBelowCurrent)
{
    ImageGroup *g = NewGroup(50, 50);
    LayerRecord *a = QzsInsertNewLayer(g, NewLayerImage(10, 10), 0, 0, 1, 255, 0);
    LayerRecord *b = QzsInsertNewLayer(g, NewLayerImage(10, 10), 3, 4, 1, 255, 0);
    CDIB *bImage = b->image;
    bImage->modified = 1;
    EXPECT_EQ(QzsDeleteLayer(g, b, 0), 1);
    EXPECT_EQ(g->currentLayer, a);
    EXPECT_EQ(g->currentImage, a->image);
    EXPECT_EQ(a->next, nullptr);
    // The image stays listed (undo may bring it back) but is never offered for saving.
    EXPECT_TRUE(IsImageListed(bImage));
    EXPECT_TRUE(IsImageQueued(bImage));
    EXPECT_EQ(bImage->modified, 0);
    EXPECT_EQ(QzsDeleteLayer(g, a, 0), 1);
    EXPECT_EQ(g->currentLayer, nullptr);
    EXPECT_EQ(g->currentImage, g->base);
    EXPECT_EQ(g->right, 49);
    EXPECT_EQ(QzsDeleteLayer(g, nullptr, 0), 0);
    ReleaseDeletedImages();
    EXPECT_FALSE(IsImageListed(bImage));
}

TEST_F(GroupTest, StatusOpacityAndBlendMode)
{
    ImageGroup *g = NewGroup(20, 20);
    LayerRecord *a = QzsInsertNewLayer(g, NewLayerImage(10, 10), 0, 0, 1, 255, 0);
    EXPECT_EQ(QzsChangeLayerStatus(g, nullptr, 0, 0), 1);
    EXPECT_EQ(QzsGetLayerStatus(g, nullptr), 0);
    EXPECT_EQ(QzsChangeLayerStatus(g, a, 0, 0), 1);
    EXPECT_EQ(QzsGetLayerStatus(g, a), 0);
    EXPECT_EQ(QzsGetLayerStatus(nullptr, a), 0);
    EXPECT_EQ(QzsChangeLayerOpacity(g, a, 77, 0), 1);
    EXPECT_EQ(a->opacity, 77);
    EXPECT_EQ(QzsChangeLayerOpacity(g, nullptr, 77, 0), 0);
    EXPECT_EQ(QzsSetLayerBlendMode(g, a, 3), 1);
    EXPECT_EQ(a->blend, 3);
    EXPECT_EQ(QzsSetLayerBlendMode(g, nullptr, 3), 0);
}

TEST_F(GroupTest, BlendRecords)
{
    LayerBlendRecord *normal = QzsGetColorBlendMode(0);
    ASSERT_NE(normal, nullptr);
    EXPECT_NE(normal->QzcGetBlendColor, nullptr);
    EXPECT_EQ(QzsGetColorBlendMode(101), nullptr);
    EXPECT_EQ(QzsGetColorBlendMode(-1), nullptr);
    EXPECT_EQ(QzsGetColorBlendMode(1), nullptr); // no layer-blend module loaded
}

TEST_F(GroupTest, LayersNeedAnEditable32BitBase)
{
    ImageGroup *g = NewGroup(20, 20, 8);
    EXPECT_EQ(CreateLayer(g, NewLayerImage(5, 5), 0, 0, 1, 255, 0), nullptr);
    ImageWindow window = {};
    window.group = g;
    EXPECT_EQ(QzsInsertLayer(&window, 0, 255), 0);
    EXPECT_EQ(QzsInsertLayer(nullptr, 0, 255), 0);
    // An image opened into such a group is not left in the list without a group.
    CDIB *before = g_lastImage, *opened = NewLayerImage(5, 5);
    AddOpenedImage(g, before, opened);
    EXPECT_FALSE(IsImageListed(opened));
    EXPECT_EQ(g_lastImage, before);
}

// A group's own image, or another group's, never becomes a second layer record of it.
TEST_F(GroupTest, AnImageAGroupHoldsIsNoNewLayer)
{
    ImageGroup *g = NewGroup(20, 20), *other = NewGroup(10, 10);
    LayerRecord *a = QzsInsertNewLayer(g, NewLayerImage(5, 5), 0, 0, 1, 255, 0);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(CreateLayer(g, g->base, 0, 0, 1, 255, 0), nullptr);
    EXPECT_EQ(CreateLayer(g, a->image, 0, 0, 1, 255, 0), nullptr);
    std::string name = a->image->name;
    EXPECT_EQ(QzsInsertNewLayer(other, a->image, 0, 0, 1, 255, 0), nullptr);
    EXPECT_EQ(a->image->name, name);
    EXPECT_EQ(CountGroupImages(g), 2);
    EXPECT_EQ(CountGroupImages(other), 1);
    // A record of the caller's own, outside the image list, is never taken over.
    CDIB own = {};
    ASSERT_EQ(QzsCreateCDIB(4, 4, 32, &own), 0);
    EXPECT_EQ(QzsInsertNewLayer(g, &own, 0, 0, 1, 255, 0), nullptr);
    EXPECT_EQ(CountGroupImages(g), 2);
    QzsDisposeCDIB(&own);
}

TEST_F(GroupTest, InsertLayerMakesAFilledLayerOfTheBaseSize)
{
    ImageGroup *g = NewGroup(6, 5);
    ImageWindow window = {};
    window.group = g;
    EXPECT_EQ(QzsInsertLayer(&window, 1, 0), 1);
    ASSERT_NE(g->firstLayer, nullptr);
    EXPECT_EQ(g->firstLayer->width, 6);
    EXPECT_EQ(g->firstLayer->height, 5);
    EXPECT_EQ(((uint32_t *)g->firstLayer->image->pixels)[29], 0x00FFFFFFu); // white, alpha 0
    EXPECT_EQ(g->currentLayer, g->firstLayer);
}

TEST_F(GroupTest, ClosingAGroupWhoseLayerAloneChangedAsksOnceForTheBase)
{
    ImageGroup *g = NewGroup(20, 20);
    g->base->modified = 0;
    LayerRecord *l = QzsInsertNewLayer(g, NewLayerImage(5, 5), 0, 0, 1, 255, 0);
    l->image->modified = 1;
    boxes.Answer(IDNO);
    std::string baseName = g->base->name;
    EXPECT_NE(QzsCloseMDIB(g), 0);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Image " + baseName + " is changed.\nSave it?");
    EXPECT_EQ(QzsGetFirstImageGroup(), nullptr);
    EXPECT_EQ(QzsGetFirstImage(), nullptr);
}

TEST_F(GroupTest, ARefusedCloseLeavesTheGroupWhole)
{
    ImageGroup *g = NewGroup(20, 20);
    QzsInsertNewLayer(g, NewLayerImage(5, 5), 0, 0, 1, 255, 0);
    boxes.Answer(IDCANCEL);
    EXPECT_EQ(QzsCloseMDIB(g), 0);
    EXPECT_EQ(QzsGetFirstImageGroup(), g);
    EXPECT_EQ(CountGroupImages(g), 2);
    EXPECT_NE(g->base, nullptr);
}

TEST_F(GroupTest, ImageParameterTexts)
{
    ImageGroup *a = NewGroup(10, 10), *b = NewGroup(30, 20);
    (void)a;
    int region = -1, x0, y0, x1, y1;
    EXPECT_EQ(QzsGetImageParameter("Image1", &region, &x0, &y0, &x1, &y1), b);
    EXPECT_EQ(region, 0);
    EXPECT_EQ(x1, 29);
    EXPECT_EQ(y1, 19);
    EXPECT_EQ(QzsGetImageParameter("R", &region, &x0, &y0, &x1, &y1), a); // short text: group 0
    EXPECT_EQ(region, 1);
    EXPECT_EQ(QzsGetImageParameter("Regn_7", &region, &x0, &y0, &x1, &y1), nullptr);
}

TEST_F(GroupTest, ReplacingAnImageMovesItsIdentity)
{
    ImageGroup *g = NewGroup(10, 10);
    CDIB *old = g->base;
    strcpy(old->path, "C:\\pictures\\a.mrf");
    old->mask = (uint8_t *)calloc(100, 1);
    CDIB *other = nullptr;
    QzsCreateNewImage(&other, 4, 4, 32); // listed after the base
    CDIB *fresh = (CDIB *)calloc(1, sizeof(CDIB));
    ASSERT_EQ(QzsCreateCDIB(20, 30, 32, fresh), 0);
    std::string name = old->name;
    int number = old->untitledNumber;
    ReplaceImage(old, fresh, 0);
    EXPECT_EQ(g->base, fresh);
    EXPECT_EQ(g->currentImage, fresh);
    EXPECT_EQ(g->right, 19);
    EXPECT_EQ(g->bottom, 29);
    EXPECT_EQ(fresh->name, name);
    EXPECT_STREQ(fresh->path, "C:\\pictures\\a.mrf");
    EXPECT_EQ(fresh->untitledNumber, number);
    EXPECT_EQ(fresh->modified, 1);
    EXPECT_EQ(fresh->mask, nullptr); // a 10 x 10 mask does not fit a 20 x 30 image
    EXPECT_EQ(QzsGetFirstImage(), fresh);
    EXPECT_EQ(fresh->next, other);
    EXPECT_FALSE(IsImageListed(old)); // freed with it
}

TEST_F(GroupTest, WindowTitlesNameTheGroupAndMarkViewOnlyImages)
{
    ImageGroup *full = NewGroup(64, 32);
    ImageGroup *packed = NewGroup(16, 8, 8);
    // A view-only base is held in packed form; give it a header as the readers do.
    packed->base->header = (BITMAPINFO *)calloc(1, QZ_HEADER_BLOCK_SIZE);
    packed->base->header->bmiHeader.biWidth = 16;
    packed->base->header->bmiHeader.biHeight = 8;
    packed->base->header->bmiHeader.biBitCount = 8;
    ImageWindow w = {};
    w.window = CreateWindowA("STATIC", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    char title[300];
    UpdateWindowTitle(&w, full);
    GetWindowTextA(w.window, title, sizeof title);
    EXPECT_EQ(std::string(title), std::string(full->name) + " (64*32)");
    UpdateWindowTitle(&w, packed);
    GetWindowTextA(w.window, title, sizeof title);
    EXPECT_EQ(std::string(title), std::string(packed->name) + " (16*8) <<< VIEW >>>");
    UpdateWindowTitle(&w, nullptr);
    GetWindowTextA(w.window, title, sizeof title);
    EXPECT_STREQ(title, "QXV Ver. 0.104");
    DestroyWindow(w.window);
}
