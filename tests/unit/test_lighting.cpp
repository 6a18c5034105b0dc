// The light: shades against the formula written here, the direction set from the sphere, the
// settings file byte for byte and its refusals, and the dialog's pictures (the level bars inside
// their pixel store at every level, the sphere's pixels).
#include "testsupport.h"
#include "image/cdib.h"
#include "image/lighting.h"
#include "base/settings.h"
#include "shell/lightingdlg.h"
#include <math.h>
#include <string.h>
#include <vector>

namespace {

// The shade as the lighting routine defines it, for the light l (not yet of length 1).
int ReferenceShade(const LightSettings &l, int value, double nx, double ny, double nz)
{
    double ll = sqrt(l.x * l.x + l.y * l.y + l.z * l.z), lx = l.x / ll, ly = l.y / ll, lz = l.z / ll;
    double nl = sqrt(nx * nx + ny * ny + nz * nz);
    nx /= nl, ny /= nl, nz /= nl;
    double d = nx * lx + ny * ly + nz * lz;
    double r = 2 * d * nz - lz;
    double shade = value * (1 + d) / 2 + l.highlight * (r > 0 ? r * r : 0) + l.environment;
    return shade > 255 ? 255 : (int)shade;
}

bool SameLight(const LightSettings &a, const LightSettings &b)
{
    return memcmp(&a, &b, sizeof a) == 0;
}

class LightingTest : public HostTest {
protected:
    void SetUp() override
    {
        HostTest::SetUp();
        CreateDirectoryA(g_cfg.Stat_dir, nullptr);
    }
    std::string LightFile() const { return std::string(g_cfg.Stat_dir) + "\\light.dat"; }
};

} // namespace

TEST_F(LightingTest, ShadesFollowTheFormula)
{
    LightingFunction shade = QzsGetLightingSub();
    ASSERT_NE(shade, nullptr);
    // With the defaults: facing the viewer 200.3 + 43.3; facing away from the light only the
    // highlight (130 Lz^2 = 43) remains.
    EXPECT_EQ(shade(254, 0, 0, 1, 5, 6, 7), 243);
    EXPECT_EQ(shade(254, 0, 0, 40, 0, 0, 0), 243); // the normal's length does not count
    EXPECT_EQ(shade(200, 1, 1, -1, 0, 0, 0), 43);
    EXPECT_EQ(shade(100, 0, 0, 0, 0, 0, 0), 50); // no normal: half the value, no highlight
    EXPECT_EQ(shade(100, NAN, 0, 1, 0, 0, 0), 50);
    const LightSettings lights[] = {
        {-1, -1, 1, 0, 130}, {2, -1, 3, 10, 0}, {0, 0, 1, -80, 400}, {-1, 2, 0.5, 100, 1000}, {0.3, 0.1, -1, 0, 50}};
    for (const LightSettings &l : lights) {
        g_light = l;
        shade = QzsGetLightingSub();
        for (int value : {0, 77, 254, 255})
            for (double nx = -2; nx <= 2; nx += 0.5)
                for (double ny = -2; ny <= 2; ny += 0.5)
                    for (double nz : {-1.0, 0.25, 1.0, 3.0}) {
                        int got = shade(value, nx, ny, nz, 0, 0, 0);
                        ASSERT_EQ(got, ReferenceShade(l, value, nx, ny, nz))
                            << l.x << "," << l.y << "," << l.z << " v" << value << " n" << nx << "," << ny << "," << nz;
                    }
    }
    // A strong highlight saturates; a negative environment has no floor.
    g_light = LightSettings{-1, -1, 1, 0, 1000};
    EXPECT_EQ(QzsGetLightingSub()(254, 0, 0, 1, 0, 0, 0), 255);
    g_light = LightSettings{-1, -1, 1, -50, 130};
    EXPECT_EQ(QzsGetLightingSub()(0, 0, 0, 1, 0, 0, 0), -6);
}

TEST_F(LightingTest, DirectionIsNormalisedOnceAndSetFromTheSphere)
{
    g_light = LightSettings{3, 0, 4, 1, 2};
    QzsGetLightingSub();
    LightSettings once = g_light;
    EXPECT_DOUBLE_EQ(once.x, 0.6);
    EXPECT_DOUBLE_EQ(once.z, 0.8);
    QzsGetLightingSub();
    EXPECT_TRUE(SameLight(once, g_light));

    struct Case {
        int x, y;
        double lx, ly, lz; // before normalising
    } cases[] = {
        {64, 64, 0, 0, 1},                   // the centre: straight at the viewer
        {94, 24, 30, -40, sqrt(64.0 * 64 - 50 * 50)},
        {0, 0, -64, -64, 0},                 // outside the circle: in the picture plane
        {128, 64, 64, 0, 0},                 // on the circle
    };
    for (const Case &c : cases) {
        SetLightFromPoint(c.x, c.y, 128, 128);
        double n = sqrt(c.lx * c.lx + c.ly * c.ly + c.lz * c.lz);
        EXPECT_NEAR(g_light.x, c.lx / n, 1e-12) << c.x << "," << c.y;
        EXPECT_NEAR(g_light.y, c.ly / n, 1e-12) << c.x << "," << c.y;
        EXPECT_NEAR(g_light.z, c.lz / n, 1e-12) << c.x << "," << c.y;
    }
    EXPECT_EQ(g_light.environment, 1);
    EXPECT_EQ(g_light.highlight, 2);
}

TEST_F(LightingTest, SettingsFileRoundTripsByteForByte)
{
    g_light = LightSettings{-0.5, 0.25, 1.5, 12.5, 321.75};
    ASSERT_EQ(SaveLighting(), 1);
    const unsigned char expected[40] = {
        0, 0, 0, 0, 0, 0, 0xe0, 0xbf, 0, 0, 0, 0, 0, 0,    0xd0, 0x3f, 0, 0, 0, 0,
        0, 0, 0xf8, 0x3f, 0, 0, 0, 0, 0, 0, 0x29, 0x40, 0, 0, 0, 0, 0, 0x1c, 0x74, 0x40};
    EXPECT_EQ(ReadFileText(LightFile()), std::string((const char *)expected, 40));
    SetDefaultLighting();
    ASSERT_EQ(LoadLighting(), 1);
    EXPECT_TRUE(SameLight(g_light, LightSettings{-0.5, 0.25, 1.5, 12.5, 321.75}));
    // Written over the old file through a temporary one, which does not stay behind.
    g_light.highlight = 7;
    ASSERT_EQ(SaveLighting(), 1);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((std::string(g_cfg.Stat_dir) + "\\*").c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    std::vector<std::string> names;
    do
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(found.cFileName);
    while (FindNextFileA(search, &found));
    FindClose(search);
    EXPECT_EQ(names, std::vector<std::string>{"light.dat"});
    SetDefaultLighting();
    LoadLighting();
    EXPECT_EQ(g_light.highlight, 7);
}

TEST_F(LightingTest, DamagedSettingsFilesKeepTheLight)
{
    auto file = [](double x, double y, double z, double e, double h) {
        double v[5] = {x, y, z, e, h};
        return std::string((const char *)v, 40); // this machine is little-endian, like the file
    };
    std::string good = file(1, 2, 3, 4, 5);
    struct Case {
        const char *name;
        std::string bytes;
    } cases[] = {
        {"short", good.substr(0, 39)},
        {"long", good + "x"},
        {"empty", ""},
        {"no direction", file(0, 0, 0, 4, 5)},
        {"not a number", file(NAN, 2, 3, 4, 5)},
        {"infinite highlight", file(1, 2, 3, 4, INFINITY)},
        {"infinite environment", file(1, 2, 3, -INFINITY, 5)},
        {"overflowing direction", file(1e200, 1e200, 1, 4, 5)},
    };
    const LightSettings before = {0.5, -0.25, 2, 33, 44};
    for (const Case &c : cases) {
        WriteFileText(LightFile(), c.bytes);
        g_light = before;
        EXPECT_EQ(LoadLighting(), 0) << c.name;
        EXPECT_TRUE(SameLight(g_light, before)) << c.name;
    }
    DeleteFileA(LightFile().c_str());
    EXPECT_EQ(LoadLighting(), 0);
    EXPECT_TRUE(SameLight(g_light, before));
    WriteFileText(LightFile(), good);
    EXPECT_EQ(LoadLighting(), 1);
    EXPECT_TRUE(SameLight(g_light, LightSettings{1, 2, 3, 4, 5}));
}

TEST_F(LightingTest, LevelBarMarkerStaysInsideItsStore)
{
    CDIB bar{};
    ASSERT_EQ(QzsCreateCDIBwithSYSDEPTH(kLevelBarWidth, kLevelBarHeight, &bar), 0);
    ASSERT_EQ(bar.header->bmiHeader.biBitCount, 32);
    const size_t cells = kLevelBarWidth * kLevelBarHeight;
    // The store followed by guard words that nothing may touch.
    std::vector<uint32_t> store(cells + 8, 0xDEADBEEFu);
    void *own = bar.pixels;
    bar.pixels = store.data();
    const uint32_t colour = 0xFF405080u, white = 0xFFFFFFFFu, grey = 0xFFC0C0C0u;
    for (int level : {-5, 0, 57, 99, 100, 150}) {
        DrawLevelBar(&bar, level, 0x40, 0x50, 0x80);
        int m = level < 0 ? 0 : level > 99 ? 99 : level;
        for (size_t i = 0; i < cells; i++) {
            int x = (int)(i % kLevelBarWidth);
            uint32_t want = x >= m && x < m + 3 ? white : x == m + 3 ? grey : colour;
            ASSERT_EQ(store[i] | 0xFF000000u, want) << "level " << level << " cell " << i;
        }
        for (size_t i = cells; i < store.size(); i++)
            ASSERT_EQ(store[i], 0xDEADBEEFu) << "level " << level << " guard " << i - cells;
    }
    bar.pixels = own;
    QzsDisposeCDIB(&bar);
}

TEST_F(LightingTest, PreviewIsTheLitSphereOnGrey)
{
    const LightSettings light = {-1, -1, 1, 20, 200};
    g_light = light;
    CDIB preview{};
    ASSERT_EQ(QzsCreateCDIBwithSYSDEPTH(kLightPreviewSize, kLightPreviewSize, &preview), 0);
    DrawLightingPreview(&preview, kLightPreviewSize, kLightPreviewSize);
    const uint32_t *px = (const uint32_t *)preview.pixels;
    auto at = [&](int x, int y) { return px[(kLightPreviewSize - 1 - y) * kLightPreviewSize + x] & 0xFFFFFFu; };
    auto clamp = [](int v) { return (uint32_t)(v < 0 ? 0 : v > 255 ? 255 : v); };
    for (int y = 0; y < kLightPreviewSize; y += 7)
        for (int x = 0; x < kLightPreviewSize; x += 5) {
            double dx = x - 64, dy = y - 64, dist = sqrt(dx * dx + dy * dy);
            uint32_t want = 0x404040;
            if (dist < 64) {
                double nz = sqrt(64.0 * 64 - dist * dist);
                uint32_t red = clamp(ReferenceShade(light, 254, dx, dy, nz));
                uint32_t other = clamp(ReferenceShade(light, 0, dx, dy, nz));
                want = red << 16 | other << 8 | other;
            }
            ASSERT_EQ(at(x, y), want) << x << "," << y;
        }
    QzsDisposeCDIB(&preview);
}
