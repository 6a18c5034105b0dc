// The configured pen is made by the named sub-window plug-in, or by the first that makes pens.
#include "shell/configfile.h"
#include "loader_fixture.h"
#include "plugins/subwin.h"

namespace {
class ConfiguredPenTest : public LoaderTest {
protected:
    void SetUp() override
    {
        LoaderTest::SetUp();
        Put(g_cfg.Subwin_dir, "s_plain");
        Put(g_cfg.Subwin_dir, "s_zpen");
        LoadSubWindowPlugins();
        CreateSubWindows();
    }
    // What the pen-making plug-in was last asked for.
    static std::string LastPenCode()
    {
        for (int row = 0; row < kSubWindowRows && g_subWindows[row].module; row++)
            if (auto read = (const char *(QZCAPI *)(void))GetProcAddress(g_subWindows[row].module, "TpLastPenCode"))
                return read();
        return "(no pen maker loaded)";
    }
};
} // namespace

TEST_F(ConfiguredPenTest, WithoutANameTheFirstPenMakerGetsAnEmptyCode)
{
    ASSERT_STREQ(g_subWindows[0].name, "Test Sub");
    ApplyConfiguredPen();
    EXPECT_EQ(LastPenCode(), "");
    EXPECT_STREQ(PenCreatorPluginName(), "Test Pen");
}

TEST_F(ConfiguredPenTest, TheNamedMakerGetsTheCode)
{
    snprintf(g_cfg.PenCreatorName, sizeof g_cfg.PenCreatorName, "Test Pen");
    snprintf(g_cfg.PenParameter, sizeof g_cfg.PenParameter, "round 5");
    ApplyConfiguredPen();
    EXPECT_EQ(LastPenCode(), "round 5");
    EXPECT_STREQ(PenCreatorPluginName(), "Test Pen");
}

TEST_F(ConfiguredPenTest, ANameThatMakesNoPensLeavesThePen)
{
    for (const char *name : {"Test Sub", "Not Loaded"}) {
        snprintf(g_cfg.PenCreatorName, sizeof g_cfg.PenCreatorName, "%s", name);
        ApplyConfiguredPen();
        EXPECT_EQ(LastPenCode(), "(never called)") << name;
        EXPECT_STREQ(PenCreatorPluginName(), "") << name;
    }
}
