// The image-window list, zoom, view origin and scrolling.
#include "testsupport.h"
#include "view/display.h"
#include "image/group.h"
#include "base/app.h"
#include "base/settings.h"
#include "shell/startup.h"
#include "view/winlist.h"
#include "shell/winproc.h"
#include <stdlib.h>

namespace {

class WindowListTest : public HostTest {
protected:
    void SetUp() override
    {
        HostTest::SetUp();
        ASSERT_EQ(RegisterImageWindowClass(), 1);
        ASSERT_EQ(RegisterStatusWindowClass(), 1);
        g_statusWindowsOn = 0;
    }
    // A record with no window: the view fields only.
    ImageWindow *Record(int content, int contentH, int margin, int clientW, int clientH)
    {
        ImageWindow *w = (ImageWindow *)calloc(1, sizeof(ImageWindow));
        records.push_back(w);
        w->contentWidth = content;
        w->contentHeight = contentH;
        w->contentLeft = w->contentTop = w->marginX = w->marginY = margin;
        w->displayWidth = content + 2 * margin;
        w->displayHeight = contentH + 2 * margin;
        w->clientWidth = clientW;
        w->clientHeight = clientH;
        w->display.zoom = 1;
        return w;
    }
    void TearDown() override
    {
        for (ImageWindow *w : records)
            free(w);
        HostTest::TearDown();
    }
    std::vector<ImageWindow *> records;
};

TEST_F(WindowListTest, ZoomIsClamped)
{
    ImageWindow *w = Record(10, 10, 0, 50, 50);
    struct Case {
        int in, out;
    } cases[] = {{0, 1}, {-1, 1}, {40, 16}, {-20, -8}, {-3, -3}, {5, 5}, {16, 16}, {-8, -8}};
    for (const Case &c : cases) {
        QzsSetWindowZoom(w, c.in, 0, 0, 0);
        EXPECT_EQ(w->display.zoom, c.out) << c.in;
    }
    // The zoom it already has: only the origin moves.
    QzsSetWindowZoom(w, 2, 0, 0, 0);
    w->display.viewX = w->display.viewY = 3;
    int visible = w->visibleColumns;
    QzsSetWindowZoom(w, 2, 1, 7, 9);
    EXPECT_EQ(w->display.zoom, 2);
    EXPECT_EQ(w->display.viewX, 7);
    EXPECT_EQ(w->display.viewY, 9);
    EXPECT_EQ(w->visibleColumns, visible);
    EXPECT_EQ(QzsSetWindowZoom(nullptr, 2, 0, 0, 0), 0);
}

TEST_F(WindowListTest, LayoutAndViewOriginAtOneEighthOneAndSixteen)
{
    // Content 101 x 57 with margins of 33 (display 167 x 123) in a 301 x 199 client.
    struct Case {
        int zoom, startX, startY;
        int visibleX, visibleY, shownX, shownY, viewX, viewY;
    } cases[] = {
        {1, 0, 0, 301, 199, 301, 199, -67, -38},      // smaller than the client: centred
        {16, 0, 0, 19, 13, 304, 208, 33, 33},         // held at the image's first pixel
        {16, 500, 500, 19, 13, 304, 208, 115, 77},    // and at its last
        {-8, 0, 0, 2408, 1592, 301, 199, -1120, -734}, // a reduction shows eight pixels per client pixel
    };
    for (const Case &c : cases) {
        ImageWindow *w = Record(101, 57, 33, 301, 199);
        w->display.zoom = c.zoom;
        w->display.viewX = c.startX;
        w->display.viewY = c.startY;
        LayoutImageWindow(w);
        ClampViewOrigin(w);
        EXPECT_EQ(w->visibleColumns, c.visibleX) << c.zoom;
        EXPECT_EQ(w->visibleRows, c.visibleY) << c.zoom;
        EXPECT_EQ(w->shownWidth, c.shownX) << c.zoom;
        EXPECT_EQ(w->shownHeight, c.shownY) << c.zoom;
        EXPECT_EQ(w->display.viewX, c.viewX) << c.zoom;
        EXPECT_EQ(w->display.viewY, c.viewY) << c.zoom;
    }
    ImageWindow *narrow = Record(100, 100, 33, 400, 50);
    narrow->visibleColumns = 400;
    narrow->visibleRows = 50;
    ClampViewOrigin(narrow);
    EXPECT_EQ(narrow->display.viewX, 33 - 150);
}

TEST_F(WindowListTest, SetOriginLeavesAnAxisAloneWhenTheImageFits)
{
    ImageWindow *w = Record(101, 40, 33, 301, 199);
    w->display.zoom = 4;
    LayoutImageWindow(w); // 76 x 50 visible: x scrolls, y fits
    w->display.viewY = -5;
    QzsSetWindowOrg(w, 500, 7);
    EXPECT_EQ(w->display.viewX, 167 - 76);
    EXPECT_EQ(w->display.viewY, -5);
    QzsSetWindowOrg(w, -9, 7);
    EXPECT_EQ(w->display.viewX, 0);
    EXPECT_EQ(QzsSetWindowOrg(nullptr, 1, 1), 0);
}

TEST_F(WindowListTest, ScrollRequests)
{
    ImageWindow *w = Record(101, 57, 33, 301, 199);
    w->display.zoom = 16;
    LayoutImageWindow(w); // 19 x 13 visible of 167 x 123
    struct Case {
        bool horizontal;
        int request, thumb, from, to;
    } cases[] = {
        {true, SB_LINEUP, 0, 50, 45},     {true, SB_LINEDOWN, 0, 50, 55},  {false, SB_LINEUP, 0, 50, 40},
        {false, SB_LINEDOWN, 0, 50, 60},  {true, SB_PAGEUP, 0, 50, 41},    {true, SB_PAGEDOWN, 0, 50, 59},
        {false, SB_PAGEDOWN, 0, 50, 56},  {true, SB_THUMBTRACK, 110, 50, 110},
        // Held over the picture, [33, 33 + 101 - 19] and [33, 33 + 57 - 13]: no margin is shown.
        {true, SB_THUMBTRACK, 120, 50, 115}, {true, SB_THUMBPOSITION, 500, 50, 115}, {true, SB_LINEUP, 0, 2, 33},
        {false, SB_LINEDOWN, 0, 105, 77}, {false, SB_LINEUP, 0, 38, 33},
        {true, SB_ENDSCROLL, 0, 50, 50},
    };
    for (const Case &c : cases) {
        int &origin = c.horizontal ? w->display.viewX : w->display.viewY;
        origin = c.from;
        WPARAM wp = MAKEWPARAM(c.request, c.thumb);
        if (c.horizontal)
            ScrollWindowHorizontally(w, wp, 0);
        else
            ScrollWindowVertically(w, wp, 0);
        EXPECT_EQ(origin, c.to) << (c.horizontal ? "h " : "v ") << c.request << " from " << c.from;
    }
    // Nothing scrolls when the whole display is visible.
    ImageWindow *small = Record(10, 10, 2, 100, 100);
    LayoutImageWindow(small);
    small->display.viewX = -40;
    ScrollWindowHorizontally(small, SB_LINEDOWN, 0);
    EXPECT_EQ(small->display.viewX, -40);
}

TEST_F(WindowListTest, ListKeepsItsEndsAndTheLastWindowIsKeptHidden)
{
    ImageWindow *a = CreateImageWindow(0, 0, 200, 150);
    ImageWindow *b = CreateImageWindow(10, 10, 200, 150);
    ImageWindow *c = CreateImageWindow(20, 20, 200, 150);
    ASSERT_TRUE(a && b && c);
    EXPECT_EQ(GetNthImageWindowHandle(2), c->window);
    EXPECT_EQ(GetNthImageWindowHandle(3), nullptr);
    EXPECT_EQ(FindPreviousWindow(c), b);
    EXPECT_EQ(FindPreviousWindow(a), nullptr);
    MakeWindowCurrent(b);
    HWND bHandle = b->window;
    CloseImageWindow(b, 1);
    EXPECT_EQ(FindImageWindow(bHandle), nullptr);
    EXPECT_FALSE(IsWindow(bHandle));
    EXPECT_EQ(a->next, c);
    EXPECT_EQ(g_currentWindow, a) << "a freed current window is never kept";
    CloseImageWindow(c, 1);
    EXPECT_EQ(g_lastWindow, a);
    EXPECT_EQ(a->next, nullptr);
    CloseImageWindow(a, 1); // the only one: hidden, kept, empty
    EXPECT_TRUE(g_noWindowState);
    EXPECT_EQ(g_firstWindow, a);
    EXPECT_FALSE(IsWindowListed(a));
    EXPECT_EQ(QzsGetCurrentWindow(), nullptr);
    EXPECT_FALSE(IsWindowVisible(a->window));
    EXPECT_EQ(CreateImageWindow(0, 0, 100, 100), a);
    EXPECT_FALSE(g_noWindowState);
    EXPECT_EQ(QzsGetCurrentWindow(), a);
}

TEST_F(WindowListTest, WindowsOfAGroup)
{
    CDIB *image = nullptr;
    QzsCreateNewImage(&image, 8, 8, 32);
    AddImageGroup(image);
    ImageGroup *g = g_lastGroup;
    ImageWindow *a = CreateImageWindow(0, 0, 100, 100), *b = CreateImageWindow(0, 0, 100, 100),
                *c = CreateImageWindow(0, 0, 100, 100);
    a->group = b->group = g;
    EXPECT_EQ(CountOtherWindowsOfGroup(a), 1);
    EXPECT_EQ(FindWindowOfGroup(g), a);
    CloseWindowsOfGroup(g); // those that show it, and c that shows none
    EXPECT_TRUE(g_noWindowState);
    EXPECT_EQ(g_firstWindow, g_lastWindow);
    (void)c;
}

TEST_F(WindowListTest, AdjustClientRegionGivesTheExactClientSize)
{
    ImageWindow *a = CreateImageWindow(0, 0, 300, 200);
    ASSERT_EQ(QzsAdjustClientRegion(a->window, 100, 80), 1);
    RECT r;
    GetClientRect(a->window, &r);
    EXPECT_EQ(r.right - r.left, 100);
    EXPECT_EQ(r.bottom - r.top, 80);
    EXPECT_EQ(QzsAdjustClientRegion(nullptr, 100, 80), 0);
}

TEST_F(WindowListTest, HorizontalBarHasNoRangeWithNarrowMargins)
{
    CDIB *image = nullptr;
    QzsCreateNewImage(&image, 400, 300, 32);
    AddImageGroup(image);
    for (int margin : {10, 20}) {
        g_cfg.FrameX = g_cfg.FrameY = margin;
        ImageWindow *w = CreateImageWindow(0, 0, 200, 150);
        w->group = g_lastGroup;
        ASSERT_EQ(BuildWindowDisplay(w, g_lastGroup, false), 1);
        QzsSetWindowZoom(w, 1, 0, 0, 0);
        LayoutImageWindow(w);
        SCROLLINFO si = {};
        si.cbSize = sizeof si;
        si.fMask = SIF_RANGE;
        GetScrollInfo(w->window, SB_HORZ, &si);
        EXPECT_EQ(si.nMax, margin < 16 ? 0 : 400 + 2 * margin) << margin;
        GetScrollInfo(w->window, SB_VERT, &si);
        EXPECT_EQ(si.nMax, 300 + 2 * margin) << margin;
    }
}

} // namespace
