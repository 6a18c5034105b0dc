// Sub-window positions and windows, effects loaded on first use, and the list-line reader.
#include "shell/commands_internal.h"
#include "loader_fixture.h"
#include "image/cdib.h"
#include "plugins/subwin.h"

using Strings = std::vector<std::string>;

TEST_F(LoaderTest, SubWindowPositionsFollowTheScreenAndHiddenModulesAreWrittenBackHidden)
{
    for (const char *stem : {"s_plain", "s_hidden", "s_other", "s_noname"})
        Put(g_cfg.Subwin_dir, stem);
    WriteFileText(Stat("subwin.pin"), "1024 768\n\"s_plain.ovp\" 512 384 1 Unter\n\"s_hidden.ovp\" 10 20 1\n");

    ASSERT_EQ(4, LoadSubWindowPlugins());
    EXPECT_EQ(Strings{}, Texts());
    const SubWindowRecord &plain = g_subWindows[0], &hidden = g_subWindows[1];
    EXPECT_EQ(640, plain.x);
    EXPECT_EQ(480, plain.y);
    EXPECT_EQ(1, plain.shown);
    EXPECT_STREQ("Unter", plain.translated);
    EXPECT_EQ(12, hidden.x); // 10 x 1280 / 1024, truncated
    EXPECT_EQ(25, hidden.y);
    EXPECT_EQ(0, hidden.shown); // its info says hidden, whatever the list says
    // Found by the directory search only: beside the middle of the screen, 20 pixels apart.
    for (int i : {2, 3}) {
        EXPECT_EQ(1280 / 2 + 5, g_subWindows[i].x);
        EXPECT_EQ(100 + 20 * i, g_subWindows[i].y);
        EXPECT_EQ(1, g_subWindows[i].shown);
    }

    std::string second = g_subWindows[2].file, third = g_subWindows[3].file;
    SavePluginListsAndUnload();
    EXPECT_EQ("1280 960\n\"s_plain.ovp\" 640 480 1\n\"s_hidden.ovp\" 12 25 0\n\"" + second + "\" 645 140 1\n\"" +
                  third + "\" 645 160 1\n",
              ReadListText(Stat("subwin.pin")));
}

TEST_F(LoaderTest, SubWindowListWithoutScreenSizeKeepsItsPositions)
{
    Put(g_cfg.Subwin_dir, "s_plain");
    for (const char *first : {"0 0\n", "\n", "-5 x\n"}) {
        WriteFileText(Stat("subwin.pin"), std::string(first) + "s_plain.ovp 30 40 1\n");
        ASSERT_EQ(1, LoadSubWindowPlugins()) << first;
        EXPECT_EQ(30, g_subWindows[0].x) << first;
        EXPECT_EQ(40, g_subWindows[0].y) << first;
        UnloadSubWindowPlugin(0);
    }
}

TEST_F(LoaderTest, SubWindowWhoseWindowFailsLeavesNoHole)
{
    for (const char *stem : {"s_plain", "s_fail", "s_other"})
        Put(g_cfg.Subwin_dir, stem);
    WriteFileText(Stat("subwin.pin"), "1280 960\ns_plain.ovp 1 1 1\ns_fail.ovp 2 2 1\ns_other.ovp 3 3 0\n");
    ASSERT_EQ(3, LoadSubWindowPlugins());

    CreateSubWindows();
    ASSERT_EQ(2, CountSubWindows());
    EXPECT_STREQ("Test Sub", g_subWindows[0].name);
    EXPECT_STREQ("Test Sub 2", g_subWindows[1].name);
    EXPECT_STREQ("s_other.ovp", g_subWindows[1].file);
    EXPECT_TRUE(IsWindow(g_subWindows[0].window));
    EXPECT_TRUE(IsWindow(g_subWindows[1].window));
    EXPECT_EQ(nullptr, g_subWindows[2].module);

    ShowSubWindows();
    EXPECT_TRUE(IsWindowVisible(g_subWindows[0].window));
    EXPECT_FALSE(IsWindowVisible(g_subWindows[1].window)); // listed as not shown

    ToolButton buttons[4] = {};
    g_subWindows[1].docked = 1;
    ASSERT_EQ(2, BuildSubWindowButtons(buttons, 4, 3));
    EXPECT_EQ(3 * 23 + 33, buttons[0].left);
    EXPECT_EQ(3 * 23 + 33 + 23 + 22, buttons[1].right);
    EXPECT_EQ(27, buttons[1].bottom);
    EXPECT_EQ(2, buttons[1].kind);
    EXPECT_EQ(1, buttons[1].id);
    EXPECT_EQ(&buttons[1], buttons[0].next);
    EXPECT_EQ(nullptr, buttons[1].next);
    EXPECT_EQ(1, buttons[0].pressed);
    EXPECT_EQ(0, buttons[1].pressed);
    EXPECT_EQ(1, buttons[0].visible);
    EXPECT_EQ(0, buttons[1].visible); // docked

    HWND window = g_subWindows[0].window;
    SavePluginListsAndUnload();
    EXPECT_FALSE(IsWindow(window));
    std::string list = ReadListText(Stat("subwin.pin"));
    EXPECT_EQ(std::string::npos, list.find("s_fail")) << list;
    EXPECT_NE(std::string::npos, list.find("\"s_other.ovp\"")) << list;
}

TEST_F(LoaderTest, EffectsLoadOnFirstUseAndKeepTheirListUntilThen)
{
    Put(g_cfg.Effect_dir, "e_rec");
    Put(g_cfg.Effect_dir, "e_noname");
    Put(g_cfg.Transform_dir, "t_ok");
    const std::string effects = "\"e_noname.ovp\"\n\"e_rec.ovp\"\n";
    WriteFileText(Stat("effect.pin"), effects);
    WriteFileText(Stat("trans.pin"), "\"t_ok.ovp\"\n");

    LoadAllPlugins();
    EXPECT_FALSE(g_effectsLoaded);
    EXPECT_EQ(nullptr, g_effectPlugins[0].module);
    EXPECT_EQ(nullptr, g_transformPlugins[0].module);
    SavePluginListsAndUnload(); // never loaded: the lists stay as they were
    EXPECT_EQ(effects, ReadListText(Stat("effect.pin")));
    EXPECT_EQ("\"t_ok.ovp\"\n", ReadListText(Stat("trans.pin")));

    LoadAllPlugins();
    EnsureEffectsLoaded();
    EXPECT_TRUE(g_effectsLoaded);
    EXPECT_FALSE(g_transformsLoaded);
    ASSERT_STREQ("e_noname.ovp", g_effectPlugins[0].file);
    ASSERT_STREQ("e_rec.ovp", g_effectPlugins[1].file);
    HMODULE module = g_effectPlugins[1].module;
    EnsureEffectsLoaded(); // once only
    EXPECT_EQ(module, g_effectPlugins[1].module);

    // The effect reaches the host's services from inside the module.
    CDIB image = {};
    ASSERT_EQ(0, QzsCreateCDIB(4, 3, 32, &image));
    std::vector<uint32_t> dest(12, 0);
    EXPECT_NE(0, g_effectPlugins[1].QzcEffect(&image, dest.data(), 1, 1, 2, 2, 3, nullptr));
    EXPECT_EQ(0u, dest[0]);
    EXPECT_EQ((uint32_t)(2 | 1 << 12 | 3 << 24), dest[1 * 4 + 2]);
    EXPECT_EQ((uint32_t)(1 | 2 << 12 | 3 << 24), dest[2 * 4 + 1]);
    QzsDisposeCDIB(&image);

    // Reload unloads them and clears the flag, so the next use loads them again.
    ASSERT_EQ(1, ReloadPlugins(nullptr));
    EXPECT_FALSE(g_effectsLoaded);
    EXPECT_EQ(nullptr, g_effectPlugins[0].module);
    EXPECT_EQ(effects, ReadListText(Stat("effect.pin")));
    EnsureEffectsLoaded();
    EXPECT_NE(nullptr, g_effectPlugins[1].module);
    EnsureTransformsLoaded();
    EXPECT_STREQ("Test Transform", g_transformPlugins[0].name);
    EXPECT_EQ(Strings{}, Texts());
}

TEST(LoaderLines, ListLinesAreSplitIntoBoundedTokens)
{
    struct Case {
        const char *line;
        int result;
        const char *file, *translated;
    } cases[] = {
        {"plain.ovp", 1, "plain.ovp", ""},
        {"  \"with blank.ovp\"\t\"Zwei Worte\" extra", 1, "with blank.ovp", "Zwei Worte"},
        {"\"\" name", 1, "", "name"},
        {"\"open quote", 1, "open quote", ""},
        {" \t ", 0, "", ""},
        {"", 0, "", ""},
        {"abcdefghijklmnopqrs", 1, "abcdefghijklmno", ""},     // cut to the field
        {"abcdefghijklmn\x82\xa0xyz", 1, "abcdefghijklmn", ""}, // a double-byte pair is not split
        {"a \"0123456789abcdef\"", 1, "a", "0123456789a"},      // the translated field is small too
    };
    for (const Case &c : cases) {
        char file[16] = "", translated[12] = "";
        EXPECT_EQ(c.result, ParsePinLine(c.line, file, sizeof file, translated, sizeof translated)) << c.line;
        if (c.result) {
            EXPECT_STREQ(c.file, file) << c.line;
            EXPECT_STREQ(c.translated, translated) << c.line;
        }
    }

    char file[32], translated[8];
    int x, y, shown;
    ASSERT_EQ(1, ParseSubWindowPinLine("\"pens.ovp\" -12 34 0 \"Stift\"", file, sizeof file, &x, &y, &shown,
                                       translated, sizeof translated));
    EXPECT_STREQ("pens.ovp", file);
    EXPECT_EQ(-12, x);
    EXPECT_EQ(34, y);
    EXPECT_EQ(0, shown);
    EXPECT_STREQ("Stift", translated);
    ASSERT_EQ(1, ParseSubWindowPinLine("short.ovp 5", file, sizeof file, &x, &y, &shown, translated,
                                       sizeof translated));
    EXPECT_EQ(5, x);
    EXPECT_EQ(0, y);
    EXPECT_STREQ("", translated);
    EXPECT_EQ(0, ParseSubWindowPinLine("", file, sizeof file, &x, &y, &shown, translated, sizeof translated));

    EXPECT_EQ(640, RescalePosition(512, 1024, 1280));
    EXPECT_EQ(-3, RescalePosition(-3, 0, 1280));
    EXPECT_EQ(2000000000, RescalePosition(1000000000, 1000, 2000)); // no 32-bit overflow on the way

    char bars[] = "A|*.a|B|*.b|";
    SplitBarList(bars);
    EXPECT_STREQ("A", bars);
    EXPECT_STREQ("*.b", bars + 8);
    EXPECT_EQ(0, bars[11]);
}
