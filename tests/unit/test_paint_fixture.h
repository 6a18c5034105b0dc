// A group shown in an image window with its display and stroke buffers, colour record 0 set as
// asked, and a functional colour whose answers the test chooses.
#pragma once
#include "testsupport.h"
#include "image/cdib.h"
#include "image/colors.h"
#include "view/display.h"
#include "image/group.h"
#include "view/paint.h"
#include "image/pen.h"
#include "view/writers.h"
#include "plugins/loader.h"
#include "view/winlist.h"
#include <functional>
#include <stdlib.h>
#include <string.h>

inline uint32_t Bgra(int b, int g, int r, int a)
{
    return uint32_t(b) | uint32_t(g) << 8 | uint32_t(r) << 16 | uint32_t(a) << 24;
}

// Colour (red, green, blue) with alpha a painted over p, as painting defines it.
inline uint32_t PaintedOver(int red, int green, int blue, int a, uint32_t p)
{
    int ap = int(p >> 24), k = 255 * a + 255 * ap - a * ap;
    auto ch = [&](int c, int shift) { return (c * 255 * a + int(p >> shift & 255) * ap * (255 - a)) / k; };
    return Bgra(ch(blue, 0), ch(green, 8), ch(red, 16), k / 255);
}

// What the test's functional colour answers, and what it was asked.
struct FakeColor {
    int result = 1, red = -1, green = -1, blue = -1, alpha = -1; // -1: leave the host's value
    int calls = 0, lastX = 0, lastY = 0, lastColumn = 0, lastRow = 0;
    std::function<void()> during; // run inside each call
    int messages = 0, lastStamp = -1, messageX = 0, messageY = 0;
    int posts = 0, postRect[4] = {0, 0, 0, 0}, postMode = 0;
    std::function<void(ImageWindow *)> post;
};
extern FakeColor g_fake;

class PaintTest : public HostTest {
protected:
    ImageWindow *window = nullptr;
    ImageGroup *group = nullptr;
    int w = 0, h = 0;

    void SetUp() override;
    void TearDown() override;
    // A base of w x h filled with fill, shown in the window with margins 2 and 1.
    void Show(int width, int height, uint32_t fill);
    // A layer of lw x lh filled with fill at (x, y), made current.
    LayerRecord *AddLayer(int x, int y, int lw, int lh, uint32_t fill);
    // Colour record 0: plain colour with opacity and draw flags.
    void Drawing(int red, int green, int blue, int opacity, int drawFlags = 0);
    // Functional colour row 0 bound to the fake; info bit 0 makes it a post-process colour.
    void UseFakeColor(int info);
    // A pen of the given side, weights row by row (side x side values), hot spot and box.
    void SetPen(int side, const std::vector<uint32_t> &weights, int hotX, int hotY, int left, int top, int right,
                int bottom);

    uint32_t &Base(int x, int y) { return ((uint32_t *)group->base->pixels)[y * w + x]; }
    uint32_t &Pixel(CDIB *image, int x, int y)
    {
        int iw, ih, d;
        GetImageSize(image, &iw, &ih, &d);
        return ((uint32_t *)image->pixels)[y * iw + x];
    }
    uint32_t Draw(int x, int y) { return window->drawBuffer[y * w + x]; }
    uint8_t Coverage(int x, int y) { return window->coverage[y * w + x]; }
    uint8_t &Work(int x, int y) { return window->editMask[y * w + x]; }
    uint32_t Shown(int x, int y)
    {
        int dx = x + window->marginX, dy = y + window->marginY;
        return ((uint32_t *)window->display.pixels)[(window->displayHeight - dy - 1) * window->displayWidth + dx];
    }
    RECT Dirty()
    {
        RECT r;
        GetDirtyRect(&r);
        return r;
    }
};
