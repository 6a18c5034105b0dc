// The tone-curve effect modules, loaded as the program loads them, against the curves computed
// here from their formulas; the progress and cancel protocol every effect follows.
#include "loader_fixture.h"
#include "image/pixels.h"
#include "plugins/effectdlg.h"
#include "plugins/params.h"
#include <math.h>
#include <functional>
#include <vector>

namespace {

struct ProgressCall {
    int done, total, reserved;
};
std::vector<ProgressCall> g_progress;
int g_cancelAt = -1; // the index of the progress call that answers nonzero

int QZCAPI RecordProgress(int done, int total, int reserved)
{
    g_progress.push_back({done, total, reserved});
    return (int)g_progress.size() - 1 == g_cancelAt;
}

using Curve = std::function<uint32_t(uint32_t)>;

int B(uint32_t c) { return c & 255; }
int G(uint32_t c) { return c >> 8 & 255; }
int R(uint32_t c) { return c >> 16 & 255; }
uint32_t Rgb(uint32_t source, int r, int g, int b)
{
    return (source & 0xFF000000u) | (uint32_t)r << 16 | (uint32_t)g << 8 | (uint32_t)b;
}
int Rounded(double base, double e)
{
    double v = pow(base, e);
    return (int)((v < 1 ? v : 1) * 255 + 0.5);
}

class ToneTest : public LoaderTest {
protected:
    CDIB image{};
    static const int kW = 256, kH = 2;

    void SetUp() override
    {
        LoaderTest::SetUp();
        std::string app = std::string("Z:") + OVRIN_APP_DIR + "/Effect";
        for (char &c : app)
            if (c == '/')
                c = '\\';
        for (const char *m : {"gamma", "fxbrio", "fxcora", "accent"})
            ASSERT_TRUE(CopyFileA((app + "\\" + m + ".ovp").c_str(), (std::string(g_cfg.Effect_dir) + "\\" + m + ".ovp").c_str(), FALSE)) << m;
        EnsureEffectsLoaded();
        ASSERT_EQ(QzsCreateCDIB(kW, kH, 32, &image), 0);
        uint32_t *px = (uint32_t *)image.pixels;
        for (int x = 0; x < kW; x++) {
            px[x] = (uint32_t)(x ^ 0x5A) << 24 | (uint32_t)x << 16 | (uint32_t)(255 - x) << 8 | (uint32_t)(x * 7 & 255);
            px[kW + x] = 0x80000000u | (uint32_t)(x * 3 & 255) << 16 | (uint32_t)x << 8 | (uint32_t)(255 - x);
        }
        StartOnPlainImage(&image);
        g_progress.clear();
        g_cancelAt = -1;
    }
    void TearDown() override
    {
        FreeGlobalParameters();
        QzsDisposeCDIB(&image);
        LoaderTest::TearDown();
    }
    QzcEffectProc Effect(const char *name)
    {
        int row = FindEffectByName(name);
        return row >= 0 ? g_effectPlugins[row].QzcEffect : nullptr;
    }
    void Params(const std::vector<const char *> &values)
    {
        FreeGlobalParameters();
        int i = 0;
        for (const char *v : values)
            SetGlobalParameter(i++, v);
    }
};

TEST_F(ToneTest, CurvesMatchTheirFormulas)
{
    struct Case {
        const char *effect;
        std::vector<const char *> params;
        Curve curve;
    };
    auto gamma = [](int p0) {
        return [p0](uint32_t c) {
            auto t = [p0](int i) { return (int)(pow(i / 255.0, 100.0 / p0) * 255); };
            return Rgb(c, t(R(c)), t(G(c)), t(B(c)));
        };
    };
    auto sepia = [](int p0) {
        return [p0](uint32_t c) {
            double e = (160 - p0) / 100.0;
            double y = ((77 * R(c) + 151 * G(c) + 28 * B(c)) / 256) / 255.0;
            return Rgb(c, Rounded(y, e), Rounded(y, 1.5 * e), Rounded(y, 3 * e));
        };
    };
    auto rgb = [](int pr, int pg, int pb) {
        return [=](uint32_t c) {
            return Rgb(c, Rounded(R(c) / 255.0, pr / 100.0), Rounded(G(c) / 255.0, pg / 100.0),
                       Rounded(B(c) / 255.0, pb / 100.0));
        };
    };
    auto accent = [](double f) {
        return [f](uint32_t c) {
            int a = (int)(256 * f), b = (int)(256 * (f - 1) / 2);
            auto k = [](int v) { return v < 0 ? 0 : v > 255 ? 255 : v; };
            return Rgb(c, k((a * R(c) - b * G(c) - b * B(c)) / 256), k((a * G(c) - b * R(c) - b * B(c)) / 256),
                       k((a * B(c) - b * R(c) - b * G(c)) / 256));
        };
    };
    Curve identity = [](uint32_t c) { return c; };
    const double strengths[7] = {1.25, 1.5, 1.75, 2.0, 2.5, 3.0, 4.0};
    std::vector<Case> cases = {
        {"Gamma Correction", {"100"}, gamma(100)},
        {"Gamma Correction", {"220"}, gamma(220)},
        {"Gamma Correction", {" 45xyz"}, gamma(45)},
        {"Gamma Correction", {"0"}, identity}, // no curve for a gamma of 0: pixels kept
        {"Gamma Correction", {"-30"}, identity},
        {"Sepia color", {"60"}, sepia(60)},
        {"Sepia color", {"160"}, [](uint32_t c) { return Rgb(c, 255, 255, 255); }},
        {"Sepia color", {"-40"}, sepia(-40)},
        {"RGB Adjust2", {"100", "100", "100"}, identity},
        {"RGB Adjust2", {"0", "50", "250"}, rgb(0, 50, 250)},
        {"RGB Adjust2", {}, [](uint32_t c) { return Rgb(c, 255, 255, 255); }}, // empty texts read as 0
        {"Accent", {"9"}, accent(4.0)},  // past the table: its last strength
        {"Accent", {"-2"}, accent(1.25)}, // before it: its first
    };
    static const char *const indexes[7] = {"0", "1", "2", "3", "4", "5", "6"};
    for (int i = 0; i < 7; i++)
        cases.push_back({"Accent", {indexes[i]}, accent(strengths[i])});
    for (const Case &c : cases) {
        QzcEffectProc effect = Effect(c.effect);
        ASSERT_NE(effect, nullptr) << c.effect;
        Params(c.params);
        std::vector<uint32_t> dest(kW * kH, 0);
        EXPECT_EQ(effect(&image, dest.data(), 0, 0, kW - 1, kH - 1, 0, nullptr), 1) << c.effect;
        const uint32_t *src = (const uint32_t *)image.pixels;
        int wrong = 0;
        for (int i = 0; i < kW * kH && wrong < 3; i++)
            if (dest[i] != c.curve(src[i])) {
                wrong++;
                ADD_FAILURE() << c.effect << " " << (c.params.empty() ? "-" : c.params[0]) << " pixel " << i
                              << ": " << std::hex << dest[i] << " expected " << c.curve(src[i]);
            }
    }
    // Pure red at the weakest accent: 318 and -31 clamped; grey kept by every strength.
    uint32_t *px = (uint32_t *)image.pixels;
    px[0] = 0xFFFF0000u;
    px[1] = 0xFF777777u;
    Params({"0"});
    std::vector<uint32_t> dest(kW * kH, 0);
    Effect("Accent")(&image, dest.data(), 0, 0, 1, 0, 0, nullptr);
    EXPECT_EQ(dest[0], 0xFFFF0000u);
    EXPECT_EQ(dest[1], 0xFF777777u);
}

// Values worked out by hand from the published tables and examples, not computed here: the
// accent factors a = 320, b = 32 for 1.25 and a = 1024, b = 384 for 4.0, the sepia luma and its
// three exponents, the curves' rounding.
TEST_F(ToneTest, WorkedValues)
{
    struct Case {
        const char *effect;
        std::vector<const char *> params;
        uint32_t in, out; // 0xAARRGGBB
    } cases[] = {
        // (320 x 200 - 32 x 100 - 32 x 50) / 256 = 231, (320 x 100 - 32 x 200 - 32 x 50) / 256 = 93, ... = 25
        {"Accent", {"0"}, 0x40C86432u, 0x40E75D19u},
        // 1024 and 384: 575 clamped to 255, 25, -250 clamped to 0
        {"Accent", {"6"}, 0x40C86432u, 0x40FF1900u},
        {"Accent", {"0"}, 0xFFFF0000u, 0xFFFF0000u}, // 318 and -31 clamped
        {"Accent", {"3"}, 0x7F808080u, 0x7F808080u}, // grey keeps its value
        // luma (77 x 200 + 151 x 100 + 28 x 50) / 256 = 124; exponents 1, 1.5, 3 for 60
        {"Sepia color", {"60"}, 0x11C86432u, 0x117C561Du},
        {"Sepia color", {"60"}, 0xFF808080u, 0xFF805B20u},
        // exponents 2, 3, 6 for -40: 124 gives 60, 29, 3
        {"Sepia color", {"-40"}, 0x00C86432u, 0x003C1D03u},
        // exponent 0 makes 255; 100 to the power 0.5 gives 160; 50 to the power 2.5 gives 4
        {"RGB Adjust2", {"0", "50", "250"}, 0x22C86432u, 0x22FFA004u},
        // truncated: 64, 128, 200 to the power 100 / 220 give 136, 186, 228
        {"Gamma Correction", {"220"}, 0x994080C8u, 0x9988BAE4u},
    };
    for (const Case &c : cases) {
        ((uint32_t *)image.pixels)[0] = c.in;
        Params(c.params);
        uint32_t dest[kW * kH] = {};
        ASSERT_EQ(Effect(c.effect)(&image, dest, 0, 0, 0, 0, 0, nullptr), 1) << c.effect;
        EXPECT_EQ(dest[0], c.out) << c.effect << " " << c.params[0] << std::hex << " got " << dest[0];
    }
}

TEST_F(ToneTest, ProgressIsReportedPerRowAndCancelStopsAfterTheRow)
{
    for (const char *name : {"Gamma Correction", "Sepia color", "RGB Adjust2", "Accent"}) {
        QzcEffectProc effect = Effect(name);
        ASSERT_NE(effect, nullptr) << name;
        Params({"100", "100", "100"});
        std::vector<uint32_t> dest(kW * kH, 0x12345678u);
        g_progress.clear();
        g_cancelAt = -1;
        EXPECT_EQ(effect(&image, dest.data(), 3, 1, 3, 1, 0, RecordProgress), 1) << name;
        ASSERT_EQ(g_progress.size(), 3u) << name;
        EXPECT_TRUE(g_progress[0].done == 0 && g_progress[0].total == 1 && g_progress[1].done == 0 &&
                    g_progress[2].done == 1 && g_progress[2].total == 1 && g_progress[2].reserved == 0)
            << name;
        // Cancelled at the first row's report: that row is written, the next is not.
        g_progress.clear();
        g_cancelAt = 1;
        dest.assign(kW * kH, 0x12345678u);
        EXPECT_EQ(effect(&image, dest.data(), 0, 0, kW - 1, kH - 1, 0, RecordProgress), 0) << name;
        EXPECT_EQ(g_progress.size(), 2u) << name;
        EXPECT_NE(dest[5], 0x12345678u) << name;
        EXPECT_EQ(dest[kW + 5], 0x12345678u) << name;
    }
}

} // namespace
