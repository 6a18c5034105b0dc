// The spray: its dots from the module's own random sequence, the bounds of its parameters, the
// hover circle and its entries' results.
#include "drawmodules_fixture.h"
#include <math.h>

using namespace drawtest;

namespace {

// The dots a burst should give, from a sequence of our own started like the module's.
struct Sequence {
    uint32_t seed = 1;
    int Next()
    {
        seed = seed * 1103515245u + 12345u;
        return (int)((seed >> 16) & 0x7FFF);
    }
    std::vector<Spot> Burst(int x, int y, int r, int n, int gathered)
    {
        Next(), Next();
        std::vector<Spot> dots;
        for (int k = 0; k < n && r > 0; k++) {
            int d = Next() % r;
            if (gathered)
                d = d * (Next() % r) / r;
            double t = (Next() % 1000) / 1000.0 * 6.2831852;
            dots.push_back({(int)(cos(t) * d) + x, (int)(sin(t) * d) + y});
        }
        return dots;
    }
};

} // namespace

TEST_F(DrawModulesTest, SprayDotsFollowTheModulesOwnSequence)
{
    struct Call {
        int x, y, r, n, gathered;
    } calls[] = {
        {50, 50, 10, 6, 0}, {60, 40, 10, 0, 0}, {80, 70, 7, 5, 1}, {90, 90, 1, 4, 0},
        {30, 30, 0, 5, 0},  {30, 30, -4, 5, 1}, {120, 60, 40, 8, 1}, {10, 140, 25, 3, 0},
    };
    Sequence reference;
    RecordStamps();
    for (const Call &c : calls) {
        SCOPED_TRACE(testing::Message() << "R " << c.r << " N " << c.n << " D " << c.gathered);
        DrawPluginRecord &spray = Choose("spray", {c.r, c.n, c.gathered});
        Stamps().clear();
        EXPECT_EQ(spray.QzcSetPoint(w, c.x, c.y, MK_LBUTTON), 1);
        std::vector<Spot> want = reference.Burst(c.x, c.y, c.r, c.n, c.gathered);
        EXPECT_EQ(Stamps(), want);
        if (c.r == 1) {
            EXPECT_EQ(Pixels(want.begin(), want.end()), (Pixels{{c.x, c.y}}));
        }
    }
    DrawPluginRecord &spray = Choose("spray");
    EXPECT_EQ(spray.QzcDrawGuideLine(w, 5, 5, 1, 0, 0), 0);
    EXPECT_EQ(spray.QzcDrawIt(w, 5, 5, 0), 1);
    EXPECT_EQ(spray.QzcCancelOne(w, 5, 5), 0);
}

TEST_F(DrawModulesTest, TheSprayCircleFollowsThePointer)
{
    std::vector<uint32_t> before((uint32_t *)w->display.pixels,
                                 (uint32_t *)w->display.pixels + w->displayWidth * w->displayHeight);
    for (int r : {0, 1, 6, 30}) {
        SCOPED_TRACE(r);
        DrawPluginRecord &spray = Choose("spray", {r, 1, 0});
        spray.QzcGuideLineBeforeDraw(w, 100, 75, 1, 0, 0);
        Pixels shown = ShownPixels();
        // A circle of that radius, symmetric, every pixel at about the radius.
        EXPECT_EQ(shown.count({100 + r, 75}) + shown.count({100, 75 - r}) + shown.count({100 - r, 75}), 3u);
        for (Spot p : shown) {
            double d = hypot(p.first - 100, p.second - 75);
            EXPECT_LE(fabs(d - r), 1.0) << p.first << "," << p.second;
            EXPECT_TRUE(shown.count({200 - p.first, p.second}) && shown.count({p.first, 150 - p.second}));
        }
        spray.QzcGuideLineBeforeDraw(w, 100, 75, 0, 0, 0);
        for (size_t i = 0; i < before.size(); i++)
            ASSERT_EQ(((uint32_t *)w->display.pixels)[i] & 0xFFFFFF, before[i] & 0xFFFFFF) << i;
    }
    // Without a radius nothing is shown.
    Choose("spray", {-3, 1, 0}).QzcGuideLineBeforeDraw(w, 100, 75, 1, 0, 0);
    EXPECT_TRUE(ShownPixels().empty());
}
