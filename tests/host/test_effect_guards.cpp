// What every one of the eleven neighbourhood and displacement effects shares: parameters of 0,
// below 0 and past any sensible size give a defined picture (unchanged where the effect has
// nothing to do), a cancel from the progress callback stops after the row and leaves the source
// alone, and each applies through the real effect dialog, listed in the shipped effect tree.
#include "effect_fixture.h"
#include "image/group.h"
#include "image/imagelist.h"
#include "plugins/effecttree.h"
#include "shell/winproc.h"
#include "view/groupview.h"
#include "view/display.h"
#include "view/undo_apply.h"
#include "view/winlist.h"
#include <commctrl.h>

namespace {

using namespace ref;

class EffectGuardTest : public EffectModuleTest {};

enum Expect {
    kUnchanged, // every pixel of the rectangle written as it was
    kComplete,  // result 1; every pixel written (wave: as its formula says), the same on a second run
    kBlack,     // red, green and blue 0, alpha kept
    kRefused,   // the working memory cannot be had: result 0, nothing written
};

// Unusual parameters: every pixel inside the rectangle written and none outside, alpha kept, the
// same picture from a second run; wave's pixels where its formula puts
// them; texture through a surface no ray crosses unless it is flat there. A radius whose tables
// do not fit in memory is refused.
TEST_F(EffectGuardTest, ZeroNegativeAndHugeParametersGiveADefinedPicture)
{
    const char *big = "2147483647", *low = "-2147483648", *vast = "100000000";
    struct Case {
        const char *name;
        std::vector<const char *> params;
        Expect expect;
    } cases[] = {
        {"Fxhaze Operater R", {big}, kComplete},
        {"Fxalbaration", {"0", "0"}, kComplete},
        {"Fxalbaration", {low, "-7"}, kComplete},
        {"Fxalbaration", {big, big}, kComplete},
        {"Wide Operater", {"0"}, kBlack},
        {"Wide Operater", {"-3"}, kBlack},
        {"Wide Operater", {big}, kComplete},
        {"Relief", {low}, kComplete},
        {"Round Soften", {"0"}, kUnchanged},
        {"Round Soften", {"-3"}, kUnchanged},
        {"Round Soften", {big}, kRefused},
        {"Round Soften", {vast}, kRefused},
        {"SkinColor", {"0", "0"}, kComplete},
        {"SkinColor", {low, low}, kComplete},
        {"SkinColor", {big, big}, kRefused},
        {"SkinColor", {"40", vast}, kRefused},
        {"Wave", {"1", "0", "5", "0"}, kUnchanged},
        {"Wave", {"0", "-5", low, low}, kComplete},
        {"Wave", {"1", big, big, big}, kComplete},
        {"Wave", {"1", "7", big, "3"}, kComplete},
        {"WaterWave", {"150", "0", "120"}, kUnchanged},
        {"WaterWave", {"0", "0", "0"}, kUnchanged},
        {"WaterWave", {"-500", "-3", "-200"}, kComplete},
        {"WaterWave", {big, "1", big}, kComplete},
        {"WaterWave", {big, big, big}, kComplete},
        {"Corrugated Sheet", {"150", "0", "0", "120"}, kUnchanged},
        {"Corrugated Sheet", {low, "-2", low, low}, kComplete},
        {"Corrugated Sheet", {big, "1", big, big}, kComplete},
        {"Ripple", {"150", "0", "120"}, kUnchanged},
        {"Ripple", {"-300", "-4", "-90"}, kComplete},
        {"Ripple", {big, "1", big}, kComplete},
        {"Texture", {"0", "100", "2", "120"}, kUnchanged},
        {"Texture", {"3", "100", "0", "120"}, kUnchanged},
        {"Texture", {"-4", "-4", "-4", "-4"}, kUnchanged},
        {"Texture", {big, big, big, big}, kRefused},
        {"Texture", {vast, "100", "2", "120"}, kRefused},
        {"Texture", {"2", big, "1", low}, kComplete},
    };
    MakeMixedPicture();
    Rect rect{1, 1, 14, 10};
    for (const Case &c : cases) {
        FreeGlobalParameters();
        for (size_t i = 0; i < c.params.size(); i++)
            SetGlobalParameter((int)i, c.params[i]);
        std::string what = std::string(c.name);
        for (const char *p : c.params)
            what += std::string(" ") + p;
        std::vector<uint32_t> dest;
        if (c.expect == kRefused) {
            EXPECT_EQ(Run(c.name, rect, &dest), 0) << what;
            EXPECT_EQ(dest, std::vector<uint32_t>(pic.px.size(), kUnwritten)) << what;
            EXPECT_EQ(memcmp(image.pixels, pic.px.data(), pic.px.size() * 4), 0) << what;
            continue;
        }
        ASSERT_EQ(Run(c.name, rect, &dest), 1) << what;
        if (c.expect != kComplete) {
            ExpectPixels(what.c_str(), rect, dest, [&](const Picture &p, const Rect &, int x, int y) {
                uint32_t c0 = p.At(x, y);
                return Out{true, c.expect == kBlack ? c0 & 0xFF000000u : c0};
            });
            continue;
        }
        bool wave = strcmp(c.name, "Wave") == 0, texture = strcmp(c.name, "Texture") == 0;
        if (wave) {
            ExpectPixels(what.c_str(), rect, dest,
                         ref::Wave(atoi(c.params[0]), atoi(c.params[1]), atoi(c.params[2]), atoi(c.params[3])));
        } else {
            // Written inside, with the source's alpha (these effects change red, green and blue).
            ExpectPixels(what.c_str(), rect, dest, [&](const Picture &p, const Rect &, int x, int y) {
                uint32_t got = dest[(size_t)y * pic.w + x];
                bool written = got != kUnwritten && A(got) == A(p.At(x, y));
                return Out{true, written ? got : ~got};
            });
        }
        if (texture) {
            // A refractive ratio of -21474836.48 lets no ray through a sloped surface, so a pixel
            // shows its source as it was, or where the surface is flat the source shaded with the
            // normal (0, 0, 16).
            ExpectPixels(what.c_str(), rect, dest, [&](const Picture &p, const Rect &, int x, int y) {
                uint32_t got = dest[(size_t)y * pic.w + x], c0 = p.At(x, y);
                uint32_t flat = Argb(A(c0), Shade(R(c0), 0, 0, 16), Shade(G(c0), 0, 0, 16), Shade(B(c0), 0, 0, 16));
                return Out{true, got == flat ? flat : c0};
            });
            continue; // the texture goes on with the generator: a second run differs
        }
        std::vector<uint32_t> again;
        ASSERT_EQ(Run(c.name, rect, &again), 1) << what;
        EXPECT_EQ(again, dest) << what << ": a second run gives another picture";
    }
    // A radius past the kernel is its widest one.
    std::vector<uint32_t> widest, past;
    Params({"5"});
    ASSERT_EQ(Run("Wide Operater", rect, &widest), 1);
    Params({"12"});
    ASSERT_EQ(Run("Wide Operater", rect, &past), 1);
    EXPECT_EQ(widest, past);
}

std::vector<int> g_calls;
int QZCAPI CancelAtFirstRow(int done, int total, int)
{
    g_calls.push_back(done);
    return g_calls.size() == 2;
}

TEST_F(EffectGuardTest, CancelStopsAfterTheRowAndLeavesTheSource)
{
    struct Case {
        const char *name;
        std::vector<const char *> params;
    } cases[] = {
        {"Fxhaze Operater R", {}}, {"Fxalbaration", {"30", "150"}}, {"Wide Operater", {"2"}}, {"Relief", {}},
        {"Round Soften", {"2"}}, {"SkinColor", {"40", "1"}}, {"Wave", {"1", "20", "5", "0"}},
        {"WaterWave", {"150", "8", "130"}}, {"Corrugated Sheet", {"300", "11", "0", "70"}},
        {"Ripple", {"200", "8", "120"}}, {"Texture", {"3", "200", "2", "140"}},
    };
    MakeMixedPicture();
    Rect rect{0, 2, 15, 9};
    for (const Case &c : cases) {
        FreeGlobalParameters();
        for (size_t i = 0; i < c.params.size(); i++)
            SetGlobalParameter((int)i, c.params[i]);
        g_calls.clear();
        std::vector<uint32_t> dest;
        EXPECT_EQ(Run(c.name, rect, &dest, CancelAtFirstRow), 0) << c.name;
        EXPECT_EQ(g_calls, (std::vector<int>{0, 0})) << c.name;
        EXPECT_EQ(memcmp(image.pixels, pic.px.data(), pic.px.size() * 4), 0) << c.name;
        int firstRow = 0;
        for (int y = 0; y < pic.h; y++)
            for (int x = 0; x < pic.w; x++) {
                uint32_t got = dest[(size_t)y * pic.w + x];
                if (y != rect.top)
                    ASSERT_EQ(got, kUnwritten) << c.name << " " << x << "," << y;
                else
                    firstRow += got != kUnwritten;
            }
        EXPECT_GT(firstRow, 8) << c.name;
    }
    // Working memory for a rectangle of 2^31 - 1 pixels a side is not to be had: nothing is
    // reported and nothing written.
    for (const char *name : {"Round Soften", "Texture"}) {
        Params({"2", "200", "2", "140"});
        g_calls.clear();
        std::vector<uint32_t> dest(pic.px.size(), kUnwritten);
        EXPECT_EQ(Effect(name)(&image, dest.data(), 0, 0, INT32_MAX - 1, INT32_MAX - 1, 0, CancelAtFirstRow), 0) << name;
        EXPECT_TRUE(g_calls.empty()) << name;
        EXPECT_EQ(dest, std::vector<uint32_t>(pic.px.size(), kUnwritten)) << name;
    }
}

// All fifteen effects loaded with the tree file the program ships, each of the eleven applied from
// the dialog with values from its panel, as a user does.
class EffectDialogAllTest : public EffectModuleTest {
protected:
    ImageGroup *group = nullptr;
    CDIB *base = nullptr;
    ImageWindow *w = nullptr;
    static const int kW = 40, kH = 30;

    std::vector<const char *> Modules() const override
    {
        std::vector<const char *> m = EffectModuleTest::Modules();
        for (const char *tone : {"gamma", "fxbrio", "fxcora", "accent"})
            m.push_back(tone);
        return m;
    }
    void BeforeLoading() override
    {
        std::string tree = std::string(OVRIN_APP_DIR) + "/Stat/effect.tvf.JPN";
        std::string from = "Z:" + tree;
        for (char &c : from)
            if (c == '/')
                c = '\\';
        ASSERT_TRUE(CopyFileA(from.c_str(), Stat("effect.tvf.JPN").c_str(), FALSE)) << from;
        Put(g_cfg.Parameter_dir, "p_num");
        LoadParameterPlugins();
    }
    void SetUp() override
    {
        EffectModuleTest::SetUp();
        ASSERT_EQ(RegisterImageWindowClass(), 1);
        ASSERT_EQ(RegisterStatusWindowClass(), 1);
        g_statusWindowsOn = 0;
        QzsCreateNewImage(&base, kW, kH, 32);
        ASSERT_NE(base, nullptr);
        for (int y = 0; y < kH; y++)
            for (int x = 0; x < kW; x++)
                ((uint32_t *)base->pixels)[y * kW + x] =
                    Argb(255, (x * 6 + y * 3) & 255, x < 20 ? 60 : 200, (int)((x * 7919u ^ y * 104729u) & 255));
        ASSERT_EQ(AddImageGroup(base), 1);
        group = g_lastGroup;
        w = CreateImageWindow(0, 0, 200, 150);
        ASSERT_NE(w, nullptr);
        ShowGroupInWindow(w, group, 1, 0);
        if (!w->drawBuffer) {
            w->group = group;
            ASSERT_EQ(BuildWindowDisplay(w, group, false), 1);
        }
        MakeWindowCurrent(w);
        ASSERT_NE(w->drawBuffer, nullptr);
    }
    void TearDown() override
    {
        if (HWND d = GetEffectDialog())
            DestroyWindow(d);
        EffectModuleTest::TearDown();
    }
};

TEST_F(EffectDialogAllTest, EveryEffectSitsInTheShippedTreeAndAppliesFromTheDialog)
{
    // Every one of the fifteen is placed in a folder by the shipped file.
    for (int row = 0; row < 15; row++)
        ASSERT_NE(g_effectPlugins[row].module, nullptr) << row;
    g_cfg.EffectAutoPreview = 1;
    g_cfg.EffectPreviewMode = 1;
    CreateEffectDialog(nullptr);
    HWND dialog = GetEffectDialog();
    ASSERT_NE(dialog, nullptr);
    HWND tree = GetDlgItem(dialog, 3006);
    HTREEITEM root = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0);
    for (int row = 0; row < 15; row++) {
        HTREEITEM item = (HTREEITEM)g_effectPlugins[row].treeItem;
        ASSERT_NE(item, nullptr) << g_effectPlugins[row].name;
        HTREEITEM parent = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_PARENT, (LPARAM)item);
        EXPECT_NE(parent, root) << g_effectPlugins[row].name << " is not in a folder";
    }
    CheckDlgButton(dialog, kContinueBox, BST_CHECKED);

    struct Case {
        const char *name, *file, *panel;
    } cases[] = {
        {"Fxhaze Operater R", "fxhaze", ""},
        {"Fxalbaration", "fxalba", "TestNumber 10 10 t 20\nTestNumber 10 30 e 150\n"},
        {"Wide Operater", "edge", "TestNumber 10 10 r 2\n"},
        {"Relief", "relief", ""},
        {"Round Soften", "fxgale", "TestNumber 10 10 r 3\n"},
        {"SkinColor", "fxfern", "TestNumber 10 10 g 80\nTestNumber 10 30 r 1\n"},
        {"Wave", "wave", "TestNumber 10 10 d 1\nTestNumber 10 30 l 12\nTestNumber 10 50 a 3\nTestNumber 10 70 p 0\n"},
        {"WaterWave", "water", "TestNumber 10 10 a 150\nTestNumber 10 30 l 9\nTestNumber 10 50 n 130\n"},
        {"Corrugated Sheet", "fxdune", "TestNumber 10 10 a 300\nTestNumber 10 30 l 11\nTestNumber 10 50 d 0\n"
                                       "TestNumber 10 70 n 70\n"},
        {"Ripple", "ripple", "TestNumber 10 10 a 200\nTestNumber 10 30 l 8\nTestNumber 10 50 n 120\n"},
        {"Texture", "fxelma", "TestNumber 10 10 r 3\nTestNumber 10 30 d 200\nTestNumber 10 50 e 2\n"
                              "TestNumber 10 70 n 140\n"},
    };
    auto pixels = [&] { return std::vector<uint32_t>((uint32_t *)base->pixels, (uint32_t *)base->pixels + kW * kH); };
    const std::vector<uint32_t> original = pixels();
    for (const Case &c : cases) {
        WriteFileText(std::string(g_cfg.Effect_dir) + "\\" + c.file + ".ppd", std::string("150 100\n") + c.panel);
        int row = FindEffectByName(c.name);
        ASSERT_GE(row, 0) << c.name;
        SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, (LPARAM)g_effectPlugins[row].treeItem);
        ASSERT_EQ(GetSelectedEffect(dialog), row);
        SendMessageA(dialog, WM_COMMAND, kApplyButton, 0);
        ASSERT_EQ(GetEffectDialog(), dialog) << c.name << ": the dialog stays for the next one";
        EXPECT_NE(pixels(), original) << c.name << " changed nothing";
        EXPECT_EQ(base->modified, 1) << c.name;
        // One undo step takes the whole effect back, and it was the only one.
        EXPECT_EQ(UndoImage(w), 0) << c.name;
        EXPECT_EQ(pixels(), original) << c.name;
        EXPECT_NE(UndoImage(w), 0) << c.name;
    }
    EXPECT_TRUE(boxes.boxes.empty());
}

} // namespace
