// Transform mode with the zoom module: started from the dialog, its handles dragged through the
// mouse handlers, previewed, applied with one undo step or cancelled without a trace.
#include "transform_fixture.h"
#include "effect_fixture.h"
#include "image/dirtyrect.h"
#include "plugins/effectdlg.h"
#include "shell/commands.h"
#include "view/undo_apply.h"

namespace {

// The state table: start, each handle kind dragged, the whole outline moved, refusals while busy.
TEST_F(TransformTest, StartDragMoveAndRefuseWhileBusy)
{
    StartFromDialog();
    EXPECT_TRUE(InTransformMode());
    EXPECT_EQ(GetTransformSource(), layer);
    // Without active regions the whole layer, in layer coordinates, clockwise from the top left.
    const QzPoint start[4] = {{0, 0}, {kLayerW - 1, 0}, {kLayerW - 1, kLayerH - 1}, {0, kLayerH - 1}};
    for (int i = 0; i < 4; i++)
        EXPECT_TRUE(Handle(i).x == start[i].x && Handle(i).y == start[i].y) << i;
    EXPECT_EQ(GetControlPointCount(), 4);

    // Each corner dragged (group coordinates = layer + origin): the outline stays a rectangle.
    struct Step {
        int handle, toX, toY;
        RECT want; // handles 0 and 2 afterwards
    } steps[] = {
        {2, 20, 10, {0, 0, 20, 10}},
        {0, 3, 2, {3, 2, 20, 10}},
        {1, 25, 1, {3, 1, 25, 10}},
        {3, 1, 12, {1, 1, 25, 12}},
    };
    for (const Step &s : steps) {
        QzPoint from = Handle(s.handle);
        Drag(from.x + kLayerX, from.y + kLayerY, s.toX + kLayerX, s.toY + kLayerY);
        QzPoint a = Handle(0), b = Handle(1), c = Handle(2), d = Handle(3);
        EXPECT_TRUE(a.x == s.want.left && a.y == s.want.top && c.x == s.want.right && c.y == s.want.bottom)
            << "handle " << s.handle;
        EXPECT_TRUE(b.x == c.x && b.y == a.y && d.x == a.x && d.y == c.y) << "handle " << s.handle;
    }
    // A press away from every handle moves the whole outline by the drag.
    Drag(10 + kLayerX, 6 + kLayerY, 13 + kLayerX, 4 + kLayerY);
    EXPECT_TRUE(Handle(0).x == 4 && Handle(0).y == -1 && Handle(2).x == 28 && Handle(2).y == 10);
    // Another message leaves the handles and comes back unchanged.
    EXPECT_EQ(g_transformPlugins[0].QzcDragPoint(w, 0, 0, 9, 9, 300, 0), 300);
    EXPECT_EQ(Handle(0).x, 4);

    // Busy: the dialog stays closed and the effect dialog is refused.
    DispatchCommand(w, 32062, 0);
    EXPECT_EQ(GetTransformDialog(), nullptr);
    DispatchCommand(w, 32045, 0);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Now in transform mode!");
    EXPECT_EQ(GetEffectDialog(), nullptr);
    DispatchCommand(w, 30001, 0); // Cancel
    EXPECT_FALSE(InTransformMode());
}

// The command refuses to open the dialog while the effect dialog is open; "Do" without a choice
// keeps the dialog open; the dialog's "Cancel" leaves transform mode.
TEST_F(TransformTest, DialogRefusalsAndNoSelection)
{
    CreateEffectDialog(g_mainWindow);
    ASSERT_NE(GetEffectDialog(), nullptr);
    DispatchCommand(w, 32062, 0);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Now in effect mode!");
    EXPECT_EQ(GetTransformDialog(), nullptr);
    DestroyWindow(GetEffectDialog());
    boxes.boxes.clear();

    DispatchCommand(w, 32062, 0);
    HWND d = GetTransformDialog();
    ASSERT_NE(d, nullptr);
    EXPECT_TRUE(InTransformMode());
    SendMessageA(d, WM_COMMAND, 3012, 0);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Selected no item");
    EXPECT_EQ(GetTransformDialog(), d);
    SendMessageA(d, WM_COMMAND, 3011, 0);
    EXPECT_EQ(GetTransformDialog(), nullptr);
    EXPECT_FALSE(InTransformMode());
}

// zoom into a smaller and a larger rectangle: every destination pixel is the bilinear sample of
// the source at the stretched position, within one level; outside the rectangle the layer stays.
// Undo gives the layer back byte for byte.
TEST_F(TransformTest, ZoomResamplesAndUndoRestores)
{
    ref::Picture pic;
    pic.w = kLayerW, pic.h = kLayerH;
    pic.px = LayerPixels();
    const std::vector<uint32_t> before = pic.px;
    struct Case {
        int x0, y0, x2, y2;
    } cases[] = {{2, 3, 13, 9}, {0, 0, kLayerW + 20, kLayerH + 12}, {25, 20, 4, 2}};
    for (const Case &c : cases) {
        StartFromDialog();
        QzsSetControlPoint(0, c.x0, c.y0, 0, 3);
        QzsSetControlPoint(2, c.x2, c.y2, 0, 3);
        DispatchCommand(w, 30000, 0); // Do!
        EXPECT_FALSE(InTransformMode());
        int x0 = c.x0 < c.x2 ? c.x0 : c.x2, x2 = c.x0 < c.x2 ? c.x2 : c.x0;
        int y0 = c.y0 < c.y2 ? c.y0 : c.y2, y2 = c.y0 < c.y2 ? c.y2 : c.y0;
        double dw = x2 - x0 + 1, dh = y2 - y0 + 1;
        int wrong = 0;
        for (int y = 0; y < kLayerH; y++)
            for (int x = 0; x < kLayerW; x++) {
                uint32_t want = before[y * kLayerW + x];
                if (x >= x0 && x <= x2 && y >= y0 && y <= y2)
                    want = pic.Sample((x - x0) * kLayerW / dw, (y - y0) * kLayerH / dh);
                uint32_t got = Px(x, y);
                for (int k = 0; k < 4; k++)
                    if (abs(ref::Channel(got, k) - ref::Channel(want, k)) > 1 && ++wrong < 4)
                        ADD_FAILURE() << c.x0 << "," << c.y0 << " at " << x << "," << y << std::hex << " got " << got
                                      << " want " << want;
            }
        EXPECT_EQ(wrong, 0);
        EXPECT_EQ(UndoCount(), 1);
        EXPECT_EQ(UndoImage(w), 0);
        EXPECT_TRUE(LayerPixels() == before);
        FreeUndoRecords(layer, layer->undoFirst);
        ASSERT_EQ(layer->undoFirst, nullptr);
    }
    // The handles where they started copy the layer onto itself: nothing changes, no undo step.
    StartFromDialog();
    DispatchCommand(w, 30000, 0);
    EXPECT_TRUE(LayerPixels() == before);
    EXPECT_EQ(UndoCount(), 0);
}

// Cancel after drags and previews: the layer, its undo chain and the display are as they were.
TEST_F(TransformTest, CancelLeavesNoTrace)
{
    const std::vector<uint32_t> before = LayerPixels();
    const std::vector<uint8_t> shown = Display();
    StartFromDialog();
    Drag(kLayerW - 1 + kLayerX, kLayerH - 1 + kLayerY, 12 + kLayerX, 9 + kLayerY);
    EXPECT_NE(Display(), shown); // the preview and the handles are on screen
    Drag(5 + kLayerX, 5 + kLayerY, 9 + kLayerX, 7 + kLayerY);
    EXPECT_TRUE(LayerPixels() == before);
    DispatchCommand(w, 30001, 0);
    EXPECT_FALSE(InTransformMode());
    EXPECT_TRUE(LayerPixels() == before);
    EXPECT_EQ(UndoCount(), 0);
    EXPECT_TRUE(Display() == shown);
    for (int i = 0; i < kBaseW * kBaseH; i++)
        ASSERT_EQ(w->coverage[i], 0) << i;
}

// "Do!" in a window that became current during the transform: the source's area, zoomed by the
// handles, lands in that window's picture as one undo step there, the source left as it was. A
// picture opened only for viewing refuses with a message, and the transform goes on.
TEST_F(TransformTest, DoInAnotherWindowAppliesThere)
{
    const int ow = 40, oh = 30;
    CDIB *other = nullptr;
    QzsCreateNewImage(&other, ow, oh, 32);
    ASSERT_NE(other, nullptr);
    uint32_t *op = (uint32_t *)other->pixels;
    for (int i = 0; i < ow * oh; i++)
        op[i] = 0xFFFFFFFFu;
    ASSERT_EQ(AddImageGroup(other), 1);
    ImageWindow *w2 = CreateImageWindow(210, 0, 200, 150);
    ASSERT_NE(w2, nullptr);
    w2->group = g_lastGroup;
    w2->layerImage = other;
    ASSERT_EQ(BuildWindowDisplay(w2, g_lastGroup, false), 1);
    LayoutImageWindow(w2);
    ShowWindow(w2->window, SW_SHOWNORMAL);
    SendMessageA(w->window, WM_ACTIVATE, WA_CLICKACTIVE, 0);
    ref::Picture pic;
    pic.w = kLayerW, pic.h = kLayerH;
    pic.px = LayerPixels();

    StartFromDialog();
    Drag(kLayerW - 1 + kLayerX, kLayerH - 1 + kLayerY, 20 + kLayerX, 12 + kLayerY);
    // The handles follow the window the user turns to and are dragged there (no layer offset).
    SendMessageA(w2->window, WM_ACTIVATE, WA_CLICKACTIVE, 0);
    ASSERT_EQ(g_currentWindow, w2);
    TransformButtonDown(w2, 20, 12, 0);
    TransformMouseMove(w2, 13, 9, 0, 0);
    TransformButtonUp(w2, 13, 9, 0); // handles (0, 0) - (13, 9)

    other->editDepth = 8; // as a picture opened for viewing only
    boxes.boxes.clear();
    SendMessageA(w2->window, WM_COMMAND, 30000, 0);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Can't process in view mode");
    EXPECT_TRUE(IsTransformRunning());
    EXPECT_TRUE(Handle(2).x == 13 && Handle(2).y == 9);
    other->editDepth = 32;

    SendMessageA(w2->window, WM_COMMAND, 30000, 0);
    EXPECT_FALSE(InTransformMode());
    EXPECT_TRUE(LayerPixels() == pic.px);
    EXPECT_EQ(UndoCount(), 0);
    int wrong = 0;
    for (int y = 0; y < oh; y++)
        for (int x = 0; x < ow; x++) {
            uint32_t want = x <= 13 && y <= 9 ? pic.Sample(x * kLayerW / 14.0, y * kLayerH / 10.0) : 0xFFFFFFFFu;
            uint32_t got = op[y * ow + x];
            for (int k = 0; k < 4; k++)
                if (abs(ref::Channel(got, k) - ref::Channel(want, k)) > 1 && ++wrong < 4)
                    ADD_FAILURE() << "at " << x << "," << y << std::hex << " got " << got << " want " << want;
        }
    EXPECT_EQ(wrong, 0);
    int steps = 0;
    for (UndoRecord *r = other->undoFirst; r; r = r->next)
        steps++;
    EXPECT_EQ(steps, 1);
}

// A plug-in that writes part of its result and then fails commits nothing.
TEST_F(TransformTest, FailingPluginCommitsNothing)
{
    Put(g_cfg.Transform_dir, "t_fail");
    CreateTransformDialog(g_mainWindow);
    HWND d = GetTransformDialog();
    ASSERT_NE(d, nullptr);
    int row = 0;
    while (row < kTransformRows && g_transformPlugins[row].module && strcmp(g_transformPlugins[row].name, "Failing Transform"))
        row++;
    ASSERT_TRUE(row < kTransformRows && g_transformPlugins[row].module);
    SendDlgItemMessageA(d, 3013, LB_SETCURSEL, (WPARAM)row, 0);
    SendMessageA(d, WM_COMMAND, 3012, 0);
    ASSERT_TRUE(IsTransformRunning());
    const std::vector<uint32_t> before = LayerPixels();
    const std::vector<uint8_t> shown = Display();
    DispatchCommand(w, 30000, 0);
    EXPECT_FALSE(InTransformMode());
    EXPECT_TRUE(LayerPixels() == before);
    EXPECT_EQ(UndoCount(), 0);
    EXPECT_TRUE(Display() == shown);
    for (int i = 0; i < kBaseW * kBaseH; i++)
        ASSERT_EQ(w->coverage[i], 0) << i;
}

// Control points: the count bounds, indexes from plug-ins kept to the set, the move of all.
TEST_F(TransformTest, ControlPointServicesKeepToTheSet)
{
    EXPECT_EQ(QzsAllocControlPoint(2561), 0);
    EXPECT_EQ(QzsAllocControlPoint(-1), 0);
    EXPECT_EQ(QzsAllocControlPoint(2560), 1);
    EXPECT_EQ(QzsSetControlPoint(2559, 7, 8, 0, 3), 1);
    EXPECT_EQ(QzsAllocControlPoint(3), 1);
    EXPECT_EQ(QzsSetControlPoint(3, 1, 1, 0, 3), 0);
    EXPECT_EQ(QzsSetControlPoint(-1, 1, 1, 0, 3), 0);
    for (int i = 0; i < 3; i++)
        QzsSetControlPoint(i, i, 10 * i, 0, 3);
    EXPECT_EQ(QzsSetControlPoint(1, 50, 60, 0, 2), 1); // y only
    EXPECT_EQ(QzsMoveAllControlPoint(-5, 10000, 1, 1), 1);
    int x, y;
    EXPECT_TRUE(QzsGetControlPoint(1, &x, &y) && x == 2 && y == 61);
    EXPECT_TRUE(QzsGetControlPoint(2559, &x, &y) && x == 7 && y == 8); // beyond the count, kept
    EXPECT_EQ(QzsGetControlPoint(2560, &x, &y), 0);
    // Indexes outside the set draw nothing and touch no memory.
    const std::vector<uint8_t> shown = Display();
    for (int i : {-1, 3, 2560, 1 << 30})
        EXPECT_EQ(QzsDrawControlPoint(w, i, 1, 1), 0) << i;
    EXPECT_EQ(QzsDrawRegionBorder(w, 5, 2000, 1, 1), 0);
    EXPECT_TRUE(Display() == shown);
    EXPECT_EQ(QzsDrawRegionBorder(w, -7, 1 << 30, 1, 1), 1); // kept to 0..2
    EXPECT_FALSE(Display() == shown);
    EXPECT_EQ(QzsDrawRegionBorder(w, -7, 1 << 30, 0, 1), 1);
    EXPECT_TRUE(Display() == shown);
}

// Handles keep their size on screen: 9 x 9 image pixels at zooms 1 and 4, 33 x 33 at 1/4; the hit
// test of control points takes 4 image pixels around the point whatever the zoom.
TEST_F(TransformTest, HandleSizeAndHitTestAtZooms)
{
    ASSERT_EQ(QzsAllocControlPoint(1), 1);
    QzsSetControlPoint(0, 16, 12, 5, 3);
    const int gx = 16 + kLayerX, gy = 12 + kLayerY;
    for (int zoom : {1, 4, -4}) {
        w->display.zoom = zoom;
        const std::vector<uint8_t> shown = Display();
        ASSERT_EQ(QzsDrawControlPoint(w, 0, 1, 1), 1);
        std::vector<uint8_t> drawn = Display();
        // The changed display pixels, as a box of image pixels.
        const BITMAPINFOHEADER &h = w->display.header->bmiHeader;
        int bytes = h.biBitCount / 8;
        size_t row = ((size_t)h.biWidth * h.biBitCount + 31) / 32 * 4;
        int l = 1 << 30, r = -1, t = 1 << 30, b = -1;
        for (size_t i = 0; i < drawn.size(); i++)
            if (drawn[i] != shown[i]) {
                int px = (int)(i % row) / bytes, py = (int)(i / row);
                l = px < l ? px : l, r = px > r ? px : r, t = py < t ? py : t, b = py > b ? py : b;
            }
        int side = zoom < 0 ? 33 : 9;
        EXPECT_EQ(r - l + 1, side) << zoom;
        EXPECT_EQ(b - t + 1, side) << zoom;
        ASSERT_EQ(QzsDrawControlPoint(w, 0, 0, 1), 1);
        EXPECT_TRUE(Display() == shown) << zoom;
        int kind, index;
        EXPECT_EQ(HitTestControlPoint(w, gx + 4, gy - 4, &kind, &index), 1) << zoom;
        EXPECT_TRUE(kind == kHitHandle && index == 0);
        EXPECT_EQ(HitTestControlPoint(w, gx + 5, gy, &kind, &index), 0) << zoom;
        EXPECT_TRUE(kind == kHitNone && index == 0);
    }
    w->display.zoom = 1;
}

} // namespace
