// The zoom module loaded as the program loads it, on a layer off the base's origin shown in an
// image window; a gradient on the layer to resample.
#pragma once
#include "loader_fixture.h"
#include "draw/controlpoints.h"
#include "draw/drawmouse.h"
#include "draw/transform.h"
#include "draw/transform_internal.h"
#include "image/cdib.h"
#include "image/dirtyrect.h"
#include "image/group.h"
#include "image/imagelist.h"
#include "image/undo.h"
#include "view/display.h"
#include "view/groupview.h"
#include "view/winlist.h"
#include "shell/winproc.h"
#include <stdlib.h>
#include <vector>

class TransformTest : public LoaderTest {
protected:
    static const int kBaseW = 48, kBaseH = 40, kLayerW = 32, kLayerH = 24, kLayerX = 6, kLayerY = 5;
    ImageGroup *group = nullptr;
    CDIB *layer = nullptr;
    ImageWindow *w = nullptr;

    static uint32_t Gradient(int x, int y)
    {
        return 0xFF000000u | (uint32_t)(8 * x & 255) << 16 | (uint32_t)(10 * y & 255) << 8 | (uint32_t)((3 * x + 5 * y) & 255);
    }

    void SetUp() override
    {
        LoaderTest::SetUp();
        ASSERT_EQ(RegisterImageWindowClass(), 1);
        ASSERT_EQ(RegisterStatusWindowClass(), 1);
        g_statusWindowsOn = 0;
        PutDelivered(g_cfg.Transform_dir, "Trans", "zoom");
        CDIB *base = nullptr;
        QzsCreateNewImage(&base, kBaseW, kBaseH, 32);
        ASSERT_NE(base, nullptr);
        ASSERT_EQ(AddImageGroup(base), 1);
        group = g_lastGroup;
        if (!base->mask)
            base->mask = (uint8_t *)calloc(kBaseW * kBaseH, 1);
        ASSERT_EQ(CreateImageRecord(&layer, kLayerW, kLayerH, 32), 0);
        for (int y = 0; y < kLayerH; y++)
            for (int x = 0; x < kLayerW; x++)
                Px(x, y) = Gradient(x, y);
        ASSERT_NE(QzsInsertNewLayer(group, layer, kLayerX, kLayerY, 1, 255, 0), nullptr);
        w = CreateImageWindow(0, 0, 200, 150);
        ASSERT_NE(w, nullptr);
        ShowGroupInWindow(w, group, 1, 0);
        if (!w->drawBuffer) {
            w->group = group;
            ASSERT_EQ(BuildWindowDisplay(w, group, false), 1);
        }
        MakeWindowCurrent(w);
        ASSERT_EQ(group->currentImage, layer);
        ClearDirtyRect();
    }
    void TearDown() override
    {
        if (InTransformMode())
            CancelTransform(w);
        ResetControlPoints();
        LoaderTest::TearDown();
    }

    uint32_t &Px(int x, int y) { return ((uint32_t *)layer->pixels)[y * kLayerW + x]; }
    std::vector<uint32_t> LayerPixels() const
    {
        const uint32_t *p = (const uint32_t *)layer->pixels;
        return std::vector<uint32_t>(p, p + kLayerW * kLayerH);
    }
    // The display as the screen shows it: the fourth byte of a 32-bit display is not shown.
    std::vector<uint8_t> Display() const
    {
        const uint8_t *p = (const uint8_t *)w->display.pixels;
        const BITMAPINFOHEADER &h = w->display.header->bmiHeader;
        size_t row = ((size_t)h.biWidth * h.biBitCount + 31) / 32 * 4;
        std::vector<uint8_t> out(p, p + row * (size_t)abs(h.biHeight));
        if (h.biBitCount == 32)
            for (size_t i = 3; i < out.size(); i += 4)
                out[i] = 0;
        return out;
    }
    int UndoCount() const
    {
        int n = 0;
        for (UndoRecord *r = layer->undoFirst; r; r = r->next)
            n++;
        return n;
    }
    QzPoint Handle(int i) const
    {
        QzPoint p = {0, 0};
        QzsGetControlPoint(i, &p.x, &p.y);
        return p;
    }
    // Starts zoom from the Transform dialog as the user does: opened, first row chosen, "Do".
    void StartFromDialog()
    {
        CreateTransformDialog(g_mainWindow);
        HWND d = GetTransformDialog();
        ASSERT_NE(d, nullptr);
        ASSERT_STREQ(g_transformPlugins[0].name, "Zooming");
        SendDlgItemMessageA(d, 3013, LB_SETCURSEL, 0, 0);
        SendMessageA(d, WM_COMMAND, 3012, 0);
        ASSERT_TRUE(IsTransformRunning());
        ASSERT_EQ(GetTransformDialog(), nullptr);
    }
    // A left-button drag in group coordinates through the mouse machinery of the window.
    void Drag(int fromX, int fromY, int toX, int toY)
    {
        TransformButtonDown(w, fromX, fromY, 0);
        TransformMouseMove(w, (fromX + toX) / 2, (fromY + toY) / 2, 0, 0);
        TransformMouseMove(w, toX, toY, 0, 0);
        TransformButtonUp(w, toX, toY, 0);
    }
};
