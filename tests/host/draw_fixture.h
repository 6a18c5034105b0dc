// An image window on screen at zoom 1 showing a white picture, with draw plug-ins loaded from the
// application's Draw directory; mouse messages go to the real window procedure.
#pragma once
#include "loader_fixture.h"
#include "draw/drawmouse.h"
#include "draw/drawsel.h"
#include "image/group.h"
#include "image/imagelist.h"
#include "image/undo.h"
#include "view/display.h"
#include "view/winlist.h"
#include "view/writers.h"
#include "shell/winproc.h"

class DrawWindowTest : public LoaderTest {
protected:
    ImageWindow *w = nullptr;
    ImageGroup *g = nullptr;
    int width = 64, height = 48;

    void SetUp() override
    {
        LoaderTest::SetUp();
        InitDisplayWriters(32);
        ASSERT_EQ(RegisterImageWindowClass(), 1);
        g_statusWindowsOn = 0;
        ResetMainTimerState();
    }
    void TearDown() override
    {
        ReleaseCapture();
        LoaderTest::TearDown();
    }
    void OpenWindow()
    {
        CDIB *image = nullptr;
        QzsCreateNewImage(&image, width, height, 32);
        ASSERT_NE(image, nullptr);
        image->zoom = 1;
        for (int i = 0; i < width * height; i++)
            ((uint32_t *)image->pixels)[i] = 0xFFFFFFFFu;
        AddImageGroup(image);
        g = g_lastGroup;
        w = CreateImageWindow(20, 20, 300, 250);
        ASSERT_NE(w, nullptr);
        w->group = g;
        w->layerImage = g->currentImage;
        ASSERT_EQ(BuildWindowDisplay(w, g, false), 1);
        LayoutImageWindow(w);
        ClampViewOrigin(w);
        MakeWindowCurrent(w);
        ShowWindow(w->window, SW_SHOWNORMAL);
    }
    // The client position that shows image point (x, y) at zoom 1.
    POINT Client(int x, int y) { return POINT{x - w->display.viewX + w->contentLeft, y - w->display.viewY + w->contentTop}; }
    void Send(UINT message, int x, int y, WPARAM keys = 0)
    {
        POINT c = Client(x, y);
        SendMessageA(w->window, message, keys, MAKELPARAM(c.x, c.y));
    }
    void PutCursor(int x, int y)
    {
        POINT c = Client(x, y);
        ClientToScreen(w->window, &c);
        SetCursorPos(c.x, c.y);
    }
    uint32_t Pixel(int x, int y) { return ((uint32_t *)g->base->pixels)[y * width + x]; }
};
