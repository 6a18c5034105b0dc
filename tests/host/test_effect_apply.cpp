// Applying an effect to a layer that lies off the base's origin, through ApplyEffect and through
// the effect dialog, with a test effect that writes every pixel of its rectangle through the host.
#include "view/groupview.h"
#include "loader_fixture.h"
#include "image/cdib.h"
#include "image/imagelist.h"
#include "image/undo.h"
#include "view/display.h"
#include "image/group.h"
#include "view/paint.h"
#include "image/regions.h"
#include "plugins/effectdlg.h"
#include "plugins/effectdlg_internal.h"
#include "plugins/params.h"
#include "base/progress.h"
#include "view/winlist.h"
#include "shell/winproc.h"
#include <commctrl.h>
#include <stdlib.h>

namespace {

const int kBaseW = 40, kBaseH = 30, kLayerW = 20, kLayerH = 16, kLayerX = 7, kLayerY = 5;
const uint32_t kLayerColor = 0xFF405060u;

uint32_t Written(int x, int y) { return 0xFFAB0000u | (uint32_t)(y & 255) << 8 | (uint32_t)(x & 255); }

class EffectApplyTest : public LoaderTest {
protected:
    ImageGroup *group = nullptr;
    CDIB *layer = nullptr;
    ImageWindow *w = nullptr;
    HMODULE setter = nullptr;

    void SetUp() override
    {
        LoaderTest::SetUp();
        ASSERT_EQ(RegisterImageWindowClass(), 1);
        ASSERT_EQ(RegisterStatusWindowClass(), 1);
        g_statusWindowsOn = 0;
        Put(g_cfg.Effect_dir, "e_set");
        Put(g_cfg.Parameter_dir, "p_num");
        LoadParameterPlugins();
        EnsureEffectsLoaded();
        ASSERT_STREQ(g_effectPlugins[0].name, "Test Setter");
        setter = g_effectPlugins[0].module;
        CDIB *base = nullptr;
        QzsCreateNewImage(&base, kBaseW, kBaseH, 32);
        ASSERT_NE(base, nullptr);
        ASSERT_EQ(AddImageGroup(base), 1);
        group = g_lastGroup;
        if (!base->mask)
            base->mask = (uint8_t *)calloc(kBaseW * kBaseH, 1);
        ASSERT_EQ(CreateImageRecord(&layer, kLayerW, kLayerH, 32), 0);
        for (int i = 0; i < kLayerW * kLayerH; i++)
            ((uint32_t *)layer->pixels)[i] = kLayerColor;
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
        ASSERT_EQ(group->layerX, kLayerX);
        ASSERT_NE(w->drawBuffer, nullptr);
        ClearDirtyRect();
    }
    void TearDown() override
    {
        if (HWND d = GetEffectDialog())
            DestroyWindow(d);
        FreeGlobalParameters();
        LoaderTest::TearDown();
    }
    template <class T> T Tp(const char *name) { return (T)GetProcAddress(setter, name); }
    const int *Args() { return Tp<const int *(QZCAPI *)(void)>("TpEffectArgs")(); }
    CDIB *Image() { return Tp<CDIB *(QZCAPI *)(void)>("TpEffectImage")(); }
    const char *Params() { return Tp<const char *(QZCAPI *)(void)>("TpEffectParams")(); }
    void MarkRegion(int l, int t, int r, int b)
    {
        CDIB *base = group->base;
        for (int y = t; y <= b; y++)
            for (int x = l; x <= r; x++)
                base->mask[y * kBaseW + x] |= 1;
        ExtendRegionBounds(base, l, t, r, b);
        w->activeRegion = 1;
    }
    void CheckApply(const struct ApplyCase &c);
    int UndoCount()
    {
        int n = 0;
        for (UndoRecord *r = layer->undoFirst; r; r = r->next)
            n++;
        return n;
    }
};

struct ApplyCase {
    int bits;
    RECT region; // group coordinates
    RECT area;   // layer coordinates
};

// Applies the test effect over the area of the case and checks what reached the layer.
void EffectApplyTest::CheckApply(const ApplyCase &c)
{
    {
        if (c.bits)
            MarkRegion(c.region.left, c.region.top, c.region.right, c.region.bottom);
        RECT area;
        EXPECT_EQ(GetEffectArea(w, c.bits, &area), 1);
        EXPECT_TRUE(EqualRect(&area, &c.area)) << area.left << "," << area.top << "," << area.right << "," << area.bottom;
        EXPECT_EQ(ApplyEffect(w, 0, area.left, area.top, area.right, area.bottom, c.bits, 0, 0), 1);
        EXPECT_EQ(Image(), layer);
        EXPECT_EQ(Tp<uint32_t *(QZCAPI *)(void)>("TpEffectDest")(), w->drawBuffer);
        EXPECT_EQ(Tp<QzProgressProc(QZCAPI *)(void)>("TpEffectProgress")(), (QzProgressProc)ShowEffectProgress);
        const int *a = Args();
        EXPECT_TRUE(a[0] == area.left && a[1] == area.top && a[2] == area.right && a[3] == area.bottom && a[4] == c.bits);
        EXPECT_EQ(layer->modified, 1);
        EXPECT_EQ(ProgressWindow(), nullptr);
        auto inside = [&](int x, int y) {
            bool in = x >= area.left && x <= area.right && y >= area.top && y <= area.bottom;
            int gx = x + kLayerX, gy = y + kLayerY;
            return in && (!c.bits || (group->base->mask[gy * kBaseW + gx] & c.bits));
        };
        // The commit moved the result into the layer inside the area and region, with one undo record.
        EXPECT_EQ(UndoCount(), 1);
        for (int y = 0; y < kLayerH; y++)
            for (int x = 0; x < kLayerW; x++)
                EXPECT_EQ(((uint32_t *)layer->pixels)[y * kLayerW + x], inside(x, y) ? Written(x, y) : kLayerColor)
                    << x << "," << y;
        RECT dirty;
        EXPECT_FALSE(GetDirtyRect(&dirty)); // emptied by the commit
    }
}

TEST_F(EffectApplyTest, ApplyOnTheWholeLayerAtItsOrigin)
{
    CheckApply(ApplyCase{0, {0, 0, 0, 0}, {0, 0, kLayerW - 1, kLayerH - 1}});
}

TEST_F(EffectApplyTest, ApplyInsideTheActiveRegion)
{
    CheckApply(ApplyCase{1, {10, 8, 14, 12}, {3, 3, 7, 7}});
}

TEST_F(EffectApplyTest, FailedEffectLeavesTheLayerAndClearsTheBuffer)
{
    SetGlobalParameter(0, "fail");
    EXPECT_EQ(ApplyEffect(w, 0, 2, 3, 9, 8, 0, 0, 0), 0);
    EXPECT_STREQ(Params(), "fail|||");
    EXPECT_STREQ(QzsGetParameter(1, 0), ""); // the table is cleared after every run
    EXPECT_EQ(layer->modified, 0);
    EXPECT_EQ(layer->undoFirst, nullptr);
    for (int i = 0; i < kLayerW * kLayerH; i++)
        ASSERT_EQ(((uint32_t *)layer->pixels)[i], kLayerColor);
    for (int y = 3 + kLayerY; y <= 8 + kLayerY; y++)
        for (int x = 2 + kLayerX; x <= 9 + kLayerX; x++) {
            EXPECT_EQ(w->drawBuffer[y * kBaseW + x], 0u);
            EXPECT_EQ(w->coverage[y * kBaseW + x], 0);
        }
    RECT dirty;
    EXPECT_FALSE(GetDirtyRect(&dirty));
}

TEST_F(EffectApplyTest, DialogPreviewsAndAppliesWithThePanelValues)
{
    WriteFileText(std::string(g_cfg.Effect_dir) + "\\e_set.ppd", "100 40\nTestNumber 10 10 v 42\n");
    g_cfg.EffectAutoPreview = 1;
    g_cfg.EffectPreviewMode = 0;
    CreateEffectDialog(nullptr);
    HWND dialog = GetEffectDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(InEffectMode());
    HWND tree = GetDlgItem(dialog, 3006);
    SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, (LPARAM)g_effectPlugins[0].treeItem);
    ASSERT_NE(GetParameterPanel(kPanelEffect), nullptr);
    // The preview ran on its own copy: a 20 x 16 area fitted into the 134 pixels.
    EXPECT_NE(Image(), layer);
    const int *a = Args();
    EXPECT_TRUE(a[0] == 0 && a[1] == 13 && a[2] == 133 && a[3] == 119) << a[0] << "," << a[1] << "," << a[2] << "," << a[3];
    EXPECT_STREQ(Params(), "42|||");
    SendMessageA(dialog, WM_COMMAND, kApplyButton, 0);
    EXPECT_EQ(Image(), layer);
    a = Args();
    EXPECT_TRUE(a[0] == 0 && a[1] == 0 && a[2] == kLayerW - 1 && a[3] == kLayerH - 1 && a[4] == 0);
    EXPECT_STREQ(Params(), "42|||");
    EXPECT_STREQ(QzsGetParameter(1, 0), "");
    EXPECT_EQ(GetEffectDialog(), nullptr); // closed: "Continue after process" was not checked
    EXPECT_FALSE(InEffectMode());
    EXPECT_EQ(ReadListText(std::string(g_cfg.Effect_dir) + "\\e_set.pdv"), "42\n");
    EXPECT_TRUE(boxes.boxes.empty());
    // Opened again, the same effect is chosen.
    CreateEffectDialog(nullptr);
    ASSERT_NE(GetEffectDialog(), nullptr);
    EXPECT_EQ(GetSelectedEffect(GetEffectDialog()), 0);
}

// A double click on an effect applies it and closes the dialog, but only after the tree has
// finished with its own click: the tree outlives the notification.
TEST_F(EffectApplyTest, DoubleClickAppliesAfterTheTreeReturns)
{
    CreateEffectDialog(nullptr);
    HWND dialog = GetEffectDialog();
    ASSERT_NE(dialog, nullptr);
    HWND tree = GetDlgItem(dialog, 3006);
    HTREEITEM item = (HTREEITEM)g_effectPlugins[0].treeItem;
    SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, (LPARAM)item);
    RECT r;
    *(HTREEITEM *)&r = item;
    ASSERT_TRUE(SendMessageA(tree, TVM_GETITEMRECT, TRUE, (LPARAM)&r));
    SendMessageA(tree, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2));
    EXPECT_TRUE(IsWindow(tree));
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
    EXPECT_EQ(Image(), layer);
    EXPECT_EQ(GetEffectDialog(), nullptr);
    EXPECT_FALSE(IsWindow(tree));
}

TEST_F(EffectApplyTest, ApplyRefusesWithoutEffectOrOnAViewOnlyImage)
{
    CreateEffectDialog(nullptr);
    HWND dialog = GetEffectDialog();
    ASSERT_NE(dialog, nullptr);
    SendMessageA(dialog, WM_COMMAND, kApplyButton, 0);
    ASSERT_EQ(Texts().size(), 1u);
    EXPECT_EQ(Texts()[0], "Selected no item");
    SendMessageA(GetDlgItem(dialog, 3006), TVM_SELECTITEM, TVGN_CARET, (LPARAM)g_effectPlugins[0].treeItem);
    layer->editDepth = 8; // as a picture opened for viewing only
    SendMessageA(dialog, WM_COMMAND, kApplyButton, 0);
    ASSERT_EQ(Texts().size(), 2u);
    EXPECT_EQ(Texts()[1], "Can't process in view mode");
    EXPECT_NE(GetEffectDialog(), nullptr);
    layer->editDepth = 32;
}

} // namespace

namespace {

// The source copy of the preview: layer pixels where the window shows them, and the base's mask
// bytes at the base positions of those pixels (the layer lies at 7, 5).
TEST_F(EffectApplyTest, PreviewSourceTakesLayerPixelsAndTheirBaseMask)
{
    for (int y = 0; y < kLayerH; y++)
        for (int x = 0; x < kLayerW; x++)
            ((uint32_t *)layer->pixels)[y * kLayerW + x] = 0xFF000000u | (uint32_t)x << 8 | (uint32_t)y;
    MarkRegion(10, 8, 14, 12);
    g_cfg.EffectPreviewMode = 0;
    CreateEffectDialog(nullptr);
    HWND dialog = GetEffectDialog();
    ASSERT_NE(dialog, nullptr);
    SendMessageA(dialog, WM_PAINT, 0, 0);
    const EffectDialogState &s = g_effectDlg;
    RECT expect = {3, 3, 7, 7};
    EXPECT_TRUE(EqualRect(&s.area, &expect));
    ASSERT_NE(s.source.pixels, nullptr);
    const uint32_t *source = (const uint32_t *)s.source.pixels;
    for (int py = 0; py < kPreviewSize; py += 7)
        for (int px = 0; px < kPreviewSize; px += 7) {
            int x = px * 5 / kPreviewSize + 3, y = py * 5 / kPreviewSize + 3;
            size_t at = (size_t)(kPreviewSize - 1 - py) * kPreviewSize + px; // the plain view is stored bottom-up
            ASSERT_EQ(source[at], 0xFF000000u | (uint32_t)x << 8 | (uint32_t)y) << px << "," << py;
            ASSERT_EQ(s.source.mask[at], 1) << px << "," << py;
        }
}

} // namespace

namespace {

// A picture wider than the preview, previewed whole twice: the second source view must read the
// picture with its own rows although the first preview left the pixel services on the small copy.
TEST_F(EffectApplyTest, EveryPreviewReadsThePictureWithItsOwnRows)
{
    const int W = 300, H = 40;
    CDIB *wide = nullptr;
    QzsCreateNewImage(&wide, W, H, 32);
    ASSERT_NE(wide, nullptr);
    auto pattern = [](int x, int y) {
        return 0xFF000000u | (uint32_t)(x * 7 & 255) << 16 | (uint32_t)(x & 255) << 8 | (uint32_t)y;
    };
    for (int y = 0; y < H; y++)
        for (int x = 0; x < W; x++)
            ((uint32_t *)wide->pixels)[y * W + x] = pattern(x, y);
    ASSERT_EQ(AddImageGroup(wide), 1);
    ShowGroupInWindow(w, g_lastGroup, 1, 0);
    MakeWindowCurrent(w);
    ASSERT_EQ(g_currentGroup->currentImage, wide);
    g_cfg.EffectAutoPreview = 1;
    g_cfg.EffectPreviewMode = 1; // whole: 300 x 40 fitted into 134 pixels
    CreateEffectDialog(nullptr);
    HWND dialog = GetEffectDialog();
    ASSERT_NE(dialog, nullptr);
    SendMessageA(GetDlgItem(dialog, 3006), TVM_SELECTITEM, TVGN_CARET, (LPARAM)g_effectPlugins[0].treeItem);
    ASSERT_NE(Image(), nullptr) << "the first preview ran";
    SendMessageA(dialog, WM_PAINT, 0, 0); // the second one
    const uint32_t *source = (const uint32_t *)g_effectDlg.source.pixels;
    ASSERT_NE(source, nullptr);
    const int range = W, yOffset = (kPreviewSize - H * kPreviewSize / W) / 2;
    int checked = 0;
    for (int py = 0; py < kPreviewSize; py++)
        for (int px = 0; px < kPreviewSize; px++) {
            int x = px * range / kPreviewSize, y = (py - yOffset) * range / kPreviewSize;
            if (py < yOffset || y >= H)
                continue;
            ASSERT_EQ(source[py * kPreviewSize + px], pattern(x, y)) << px << "," << py;
            checked++;
        }
    EXPECT_GT(checked, 134 * 10);
}

// The preview sits below its frame's caption, with its scroll bars beside and below it.
TEST_F(EffectApplyTest, PreviewLeavesItsFrameCaptionAlone)
{
    CreateEffectDialog(nullptr);
    HWND dialog = GetEffectDialog();
    ASSERT_NE(dialog, nullptr);
    RECT frame, vbar, hbar;
    GetWindowRect(GetDlgItem(dialog, 3003), &frame);
    GetWindowRect(GetDlgItem(dialog, kPreviewVBar), &vbar);
    GetWindowRect(GetDlgItem(dialog, kPreviewHBar), &hbar);
    MapWindowPoints(nullptr, dialog, (POINT *)&frame, 2);
    MapWindowPoints(nullptr, dialog, (POINT *)&vbar, 2);
    MapWindowPoints(nullptr, dialog, (POINT *)&hbar, 2);
    HDC dc = GetDC(dialog);
    SelectObject(dc, (HGDIOBJ)SendMessageA(dialog, WM_GETFONT, 0, 0));
    TEXTMETRICA tm;
    GetTextMetricsA(dc, &tm);
    ReleaseDC(dialog, dc);
    int top = g_effectDlg.previewY, left = g_effectDlg.previewX;
    EXPECT_GE(top, frame.top + tm.tmHeight) << "below the caption";
    EXPECT_LE(top + kPreviewSize, hbar.top);
    EXPECT_LE(left + kPreviewSize, vbar.left);
    EXPECT_LE(hbar.bottom, frame.bottom);
    EXPECT_LE(vbar.right, frame.right);
}

} // namespace

namespace {

// An Apply whose result equals what the layer holds changes nothing: no undo step, and the picture
// does not count as changed.
TEST_F(EffectApplyTest, ApplyThatChangesNoPixelLeavesThePictureUnchanged)
{
    for (int y = 0; y < kLayerH; y++)
        for (int x = 0; x < kLayerW; x++)
            ((uint32_t *)layer->pixels)[y * kLayerW + x] = Written(x, y);
    layer->modified = 0;
    EXPECT_EQ(ApplyEffect(w, 0, 0, 0, kLayerW - 1, kLayerH - 1, 0, 0, 0), 1);
    EXPECT_EQ(layer->modified, 0);
    EXPECT_EQ(UndoCount(), 0);
    for (int i = 0; i < kBaseW * kBaseH; i++)
        ASSERT_EQ(w->coverage[i], 0) << i;
    // One pixel that differs is a change.
    ((uint32_t *)layer->pixels)[5] = kLayerColor;
    EXPECT_EQ(ApplyEffect(w, 0, 0, 0, kLayerW - 1, kLayerH - 1, 0, 0, 0), 1);
    EXPECT_EQ(layer->modified, 1);
    EXPECT_EQ(UndoCount(), 1);
    EXPECT_EQ(((uint32_t *)layer->pixels)[5], Written(5, 0));
}

} // namespace
