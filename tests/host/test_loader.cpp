// Loading plug-in modules: order, duplicates, refusals, names, list files written back.
#include "loader_fixture.h"
#include <functional>

using Strings = std::vector<std::string>;

TEST_F(LoaderTest, ListOrderThenDirectoryWithoutDuplicatesAndListWrittenBack)
{
    Put(g_cfg.Draw_dir, "d_drag");
    Put(g_cfg.Draw_dir, "d_click");
    Put(g_cfg.Draw_dir, "d_free");
    // The list names d_drag in other letter case; a missing module and a blank line are passed over;
    // a module listed twice (in any letter case) loads once, at its first line.
    WriteFileText(Stat("draw.pin"), "\"d_click.ovp\" Klick\n\n\"gone.ovp\"\n"
                                    "D_Drag.OVP \"" + std::string(60, 'x') + "\"\nD_CLICK.ovp Again\nd_drag.ovp\n");

    ASSERT_EQ(3, LoadDrawPlugins());
    EXPECT_EQ(Strings{"gone.ovp:Can't load!(Draw)"}, Texts());
    EXPECT_STREQ("d_click.ovp", g_drawPlugins[0].file);
    EXPECT_STREQ("Test Click", g_drawPlugins[0].name);
    EXPECT_STREQ("Klick", g_drawPlugins[0].translated);
    EXPECT_EQ(2, g_drawPlugins[0].interaction);
    EXPECT_STREQ("D_Drag.OVP", g_drawPlugins[1].file);
    EXPECT_EQ(std::string(39, 'x'), g_drawPlugins[1].translated); // cut to its field
    EXPECT_STREQ("d_free.ovp", g_drawPlugins[2].file);
    EXPECT_STREQ("", g_drawPlugins[2].translated);
    EXPECT_EQ(nullptr, g_drawPlugins[3].module);
    EXPECT_EQ(-1, g_drawPlugins[3].interaction);

    // d_free is removed from the directory: the next start does not know it.
    SavePluginListsAndUnload();
    EXPECT_EQ(nullptr, g_drawPlugins[0].module);
    EXPECT_EQ("\"d_click.ovp\"\n\"D_Drag.OVP\"\n\"d_free.ovp\"\n", ReadListText(Stat("draw.pin")));
    EXPECT_EQ("Draw \"Test Click\" \"Klick\"\nDraw \"Test Drag\" \"" + std::string(39, 'x') +
                  "\"\nDraw \"Test Free\" \"\"\n",
              ReadListText(Stat("DB.JPN")));
    DeleteFileA((std::string(g_cfg.Draw_dir) + "\\d_free.ovp").c_str());
    ASSERT_EQ(2, LoadDrawPlugins());
    SavePluginListsAndUnload();
    EXPECT_EQ("\"d_click.ovp\"\n\"D_Drag.OVP\"\n", ReadListText(Stat("draw.pin")));
}

namespace {
struct KindUnderTest {
    const char *name;
    char (Settings::*dir)[kPathBytes];
    const char *listFile; // nullptr: no list
    int (*load)();
    std::function<HMODULE(int)> module;
    std::function<const char *(int)> file;
};

const KindUnderTest &Kind(const std::string &name)
{
    static const KindUnderTest kinds[] = {
        {"draw", &Settings::Draw_dir, "draw.pin", LoadDrawPlugins, [](int i) { return g_drawPlugins[i].module; },
         [](int i) { return g_drawPlugins[i].file; }},
        {"effect", &Settings::Effect_dir, "effect.pin", LoadEffectPlugins,
         [](int i) { return g_effectPlugins[i].module; }, [](int i) { return g_effectPlugins[i].file; }},
        {"transform", &Settings::Transform_dir, "trans.pin", LoadTransformPlugins,
         [](int i) { return g_transformPlugins[i].module; }, [](int i) { return g_transformPlugins[i].file; }},
        {"funccol", &Settings::FuncColor_dir, "funccol.pin", LoadFuncColorPlugins,
         [](int i) { return g_colorFunctions[i].module; }, [](int i) { return g_colorFunctions[i].file; }},
        {"subwin", &Settings::Subwin_dir, "subwin.pin", LoadSubWindowPlugins,
         [](int i) { return g_subWindows[i].module; }, [](int i) { return g_subWindows[i].file; }},
        {"layer", &Settings::Layer_dir, "layer.pin", LoadLayerBlendPlugins,
         [](int i) { return g_layerBlends[i].module; }, [](int i) { return g_layerBlends[i].file; }},
        {"extcmd", &Settings::ExtCommand_dir, nullptr, LoadExtCommandPlugins,
         [](int i) { return g_extCommands[i].module; }, [](int i) { return g_extCommands[i].file; }},
        {"param", &Settings::Parameter_dir, nullptr, LoadParameterPlugins,
         [](int i) { return g_parameterTypes[i].module; }, [](int i) { return g_parameterTypes[i].file; }},
    };
    for (const KindUnderTest &k : kinds)
        if (name == k.name)
            return k;
    throw std::runtime_error(name);
}
} // namespace

// Each case: a refused module listed first, a sound module of the same kind after it. The refusal
// shows its message and the sound module takes the row the refused one left; the directory search
// then meets the refused module again and reports it once more (its own message for a load failure).
TEST_F(LoaderTest, RefusalsShowTheirMessageAndLeaveTheRowToTheNextModule)
{
    const char *const kSame = "";
    struct Case {
        const char *kind, *bad, *good, *message, *again;
    } cases[] = {
        {"draw", "d_nointf", "d_drag", "d_nointf.ovp:Can't get QZCGETDRAWINTERFACE function!", kSame},
        {"draw", "d_noinfo", "d_drag", "d_noinfo.ovp:Can't get QzcGetDrawInfo!", kSame},
        {"draw", "d_nodoself", "d_drag", "d_nodoself.ovp:Can't get QZCDOSELF function!", kSame},
        {"draw", "d_nosetpt", "d_drag", "d_nosetpt.ovp:Can't get QZCSETPOINT function!", kSame},
        {"draw", "d_noguide", "d_drag", "d_noguide.ovp:Can't get QZCDRAWGUIDELINE function!", kSame},
        {"draw", "d_nodrawit", "d_drag", "d_nodrawit.ovp:Can't get QZCDRAWIT function!", kSame},
        {"draw", "d_nocancel", "d_drag", "d_nocancel.ovp:Can't get QZCCANCELONE function!", kSame},
        {"draw", "x", "d_drag", "x.ovp:Can't load!(Draw)", "x.ovp:Can't load!"},
        {"effect", "e_none", "e_rec", "e_none.ovp:Can't get QZCEFFECT function!", kSame},
        {"effect", "x", "e_rec", "x.ovp:Can't load!(Effect)", "x.ovp:Can't load!"},
        {"transform", "t_nostart", "t_ok", "t_nostart.ovp:Can't get QzcStartTransform!", kSame},
        {"transform", "t_nodrag", "t_ok", "t_nodrag.ovp:Can't get QzcDragPoint!", kSame},
        {"transform", "t_nodraw", "t_ok", "t_nodraw.ovp:Can't get QzcDrawControlPoint!", kSame},
        {"transform", "t_notrans", "t_ok", "t_notrans.ovp:Can't get QzcTransforming!", kSame},
        {"transform", "x", "t_ok", "x.ovp:Can't load!", kSame},
        {"funccol", "f_noinfo", "f_color", "f_noinfo.ovp:Can't get QzcColorInfo function!", kSame},
        {"funccol", "f_nofunc", "f_color", "f_nofunc.ovp:Can't get QzcColorFunc!", kSame},
        {"funccol", "f_nopost", "f_color", "f_nopost.ovp:Can't get QzcPostProcess!", kSame},
        {"funccol", "x", "f_color", "x.ovp Can't load(FuncCol)", kSame},
        {"subwin", "s_noshow", "s_plain", "s_noshow.ovp:Can't get SHOWDLG function!", kSame},
        {"subwin", "x", "s_plain", "x.ovp:Can't load!(SubWin)", kSame},
        {"layer", "b_none", "b_ok", "b_none.ovp:Can't get QzcGetBlendColor function!", kSame},
        {"layer", "x", "b_ok", "x.ovp Can't load(Layer)", kSame},
        // kinds without a list: the refused module is the only one in the directory
        {"param", "p_noget", nullptr, "p_noget.ovp:Can't get import function from parameter plug-in!", nullptr},
        {"param", "x", nullptr, "x.ovp:Can't get import function from parameter plug-in!", nullptr},
        {"extcmd", "x", nullptr, "x.ovp:Can't load!", nullptr},
        {"extcmd", "x_none", nullptr, nullptr, nullptr}, // refused without a message text
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.kind) + " " + c.bad);
        TempDir app;
        SetDefaultSettings(app.path().c_str());
        MakeDirectories();
        boxes.boxes.clear();
        const KindUnderTest &kind = Kind(c.kind);
        const char *dir = g_cfg.*kind.dir;
        if (std::string(c.bad) == "x")
            WriteFileText(std::string(dir) + "\\x.ovp", "not a module\n"); // no module at all
        else
            Put(dir, c.bad);
        if (c.good) {
            Put(dir, c.good);
            std::string list = "\"" + std::string(c.bad) + ".ovp\" 1 1 1\n\"" + c.good + ".ovp\" 2 2 1\n";
            if (std::string(c.kind) == "subwin")
                list = "1280 960\n" + list;
            WriteFileText(Stat(kind.listFile), list);
        }

        EXPECT_EQ(c.good ? 1 : 0, kind.load());
        Strings expected;
        if (c.message)
            expected.push_back(c.message);
        if (c.again)
            expected.push_back(c.again == kSame ? c.message : c.again);
        EXPECT_EQ(expected, Texts());
        if (c.good) {
            EXPECT_NE(nullptr, kind.module(0));
            EXPECT_EQ(std::string(c.good) + ".ovp", kind.file(0));
        }
        EXPECT_EQ(nullptr, kind.module(c.good ? 1 : 0));
        SavePluginListsAndUnload();
        FreeParameterModules();
    }
}

TEST_F(LoaderTest, RequiredEntryPointsFollowTheKindAndTheFlags)
{
    for (const char *stem : {"d_self", "d_five", "d_drag"})
        Put(g_cfg.Draw_dir, stem);
    WriteFileText(Stat("draw.pin"), "d_self.ovp\nd_five.ovp\nd_drag.ovp\n");
    Put(g_cfg.FuncColor_dir, "f_post");
    Put(g_cfg.FuncColor_dir, "f_color");
    WriteFileText(Stat("funccol.pin"), "f_post.ovp\nf_color.ovp\n");
    ASSERT_EQ(3, LoadDrawPlugins());
    ASSERT_EQ(2, LoadFuncColorPlugins());
    EXPECT_EQ(Strings{}, Texts());

    const DrawPluginRecord &self = g_drawPlugins[0], &five = g_drawPlugins[1], &drag = g_drawPlugins[2];
    EXPECT_EQ(0, self.interaction);
    EXPECT_TRUE(self.QzcDoself && self.QzcDrawIt && self.QzcCancelOne);
    EXPECT_FALSE(self.QzcSetPoint || self.QzcDrawGuideLine);
    EXPECT_EQ(5, five.interaction);
    EXPECT_TRUE(five.QzcSetPoint && five.QzcDrawIt && five.QzcCancelOne);
    EXPECT_EQ(nullptr, five.QzcDrawGuideLine);
    EXPECT_EQ(0x20, drag.info);
    EXPECT_TRUE(drag.QzcSetPoint && drag.QzcDrawGuideLine);
    EXPECT_NE(nullptr, drag.bitmap);
    EXPECT_NE(nullptr, drag.cursor);
    EXPECT_EQ(nullptr, self.bitmap); // a module without pictures
    EXPECT_EQ(nullptr, self.cursor);
    EXPECT_EQ(4, drag.QzcSetPoint(nullptr, 1, 2, 0)); // a bound entry point is callable

    const ColorFunctionRecord &post = g_colorFunctions[0], &color = g_colorFunctions[1];
    EXPECT_EQ(1, post.info);
    EXPECT_TRUE(post.QzcPostProcess && !post.QzcColorFunc);
    EXPECT_EQ(0, color.info);
    EXPECT_TRUE(color.QzcColorFunc && !color.QzcPostProcess);
    BITMAP picture = {};
    ASSERT_TRUE(GetObjectA(color.bitmap, sizeof picture, &picture));
    EXPECT_EQ(16, picture.bmWidth);
    EXPECT_EQ(15, picture.bmHeight);
}

TEST_F(LoaderTest, ModulesWithoutStringHundredGetTheFallbackNames)
{
    struct Case {
        const char *kind, *stem, *name;
    } cases[] = {
        {"draw", "d_noname", "UNKNOUWNdll"},
        {"subwin", "s_noname", "UNKNOUWNdll"},
        {"effect", "e_noname", "UNKNOUWN Effect"},
        {"transform", "t_noname", "UNKNOUWN Transform"},
        {"funccol", "f_noname", "UNKNOUWN FuncColor"},
        {"extcmd", "x_noname", "UNKNOUWN ExtCommand"},
        {"param", "p_noname", "UNKNOUWN Parameter"},
        {"layer", "b_noname", "UNKNOUWN LayerBlend"},
    };
    for (const Case &c : cases)
        Put(g_cfg.*Kind(c.kind).dir, c.stem);
    for (const Case &c : cases)
        EXPECT_EQ(1, Kind(c.kind).load()) << c.kind;
    EXPECT_EQ(Strings{}, Texts());
    EXPECT_STREQ("UNKNOUWNdll", g_drawPlugins[0].name);
    EXPECT_STREQ("UNKNOUWNdll", g_subWindows[0].name);
    EXPECT_STREQ("UNKNOUWN Effect", g_effectPlugins[0].name);
    EXPECT_STREQ("UNKNOUWN Transform", g_transformPlugins[0].name);
    EXPECT_STREQ("UNKNOUWN FuncColor", g_colorFunctions[0].name);
    EXPECT_STREQ("UNKNOUWN ExtCommand", g_extCommands[0].name);
    EXPECT_STREQ("UNKNOUWN Parameter", g_parameterTypes[0].name);
    EXPECT_STREQ("UNKNOUWN LayerBlend", g_layerBlends[0].name);
}

TEST_F(LoaderTest, MoreModulesThanRowsKeepTheEndRowFree)
{
    std::string list;
    for (int i = 0; i < kDrawRows + 20; i++) {
        std::string name = "d" + std::to_string(i) + ".ovp";
        Put(g_cfg.Draw_dir, "d_drag", name);
        list += name + "\n";
    }
    WriteFileText(Stat("draw.pin"), list);
    EXPECT_EQ(kDrawRows - 1, LoadDrawPlugins());
    EXPECT_NE(nullptr, g_drawPlugins[kDrawRows - 2].module);
    EXPECT_EQ(nullptr, g_drawPlugins[kDrawRows - 1].module);
    EXPECT_EQ(-1, g_drawPlugins[kDrawRows - 1].interaction);
}

TEST_F(LoaderTest, LayerBlendRowsAreHandedOutByIndex)
{
    Put(g_cfg.Layer_dir, "b_ok");
    ASSERT_EQ(1, LoadLayerBlendPlugins());
    LayerBlendRecord *row = GetLayerBlendRow(0);
    ASSERT_NE(nullptr, row);
    EXPECT_EQ(nullptr, GetLayerBlendRow(1));
    EXPECT_EQ(nullptr, GetLayerBlendRow(-1));
    EXPECT_EQ(nullptr, GetLayerBlendRow(kLayerBlendRows));
    uint8_t lower[4] = {10, 20, 30, 40}, upper[4] = {30, 40, 50, 60}, out[4] = {};
    row->QzcGetBlendColor(lower, upper, 0, 0, out);
    EXPECT_EQ(20, out[0]);
    EXPECT_EQ(50, out[3]);
}

// Extension commands are handed out by their display name, compared byte for byte.
TEST_F(LoaderTest, CommandEntriesAreHandedOutByName)
{
    Put(g_cfg.ExtCommand_dir, "x_noname");
    Put(g_cfg.ExtCommand_dir, "x_ok");
    ASSERT_EQ(2, LoadExtCommandPlugins());
    int row = strcmp(g_extCommands[0].name, "Test Command") == 0 ? 0 : 1;
    ASSERT_STREQ("Test Command", g_extCommands[row].name);
    QzcExtCommandProc entry = QzsGetCommandProc("Test Command");
    ASSERT_NE(nullptr, entry);
    EXPECT_EQ((void *)entry, (void *)GetProcAddress(g_extCommands[row].module, "QzcExtCommand"));
    EXPECT_EQ(1, entry(0, nullptr, nullptr));
    EXPECT_EQ((void *)QzsGetCommandProc("UNKNOUWN ExtCommand"), (void *)g_extCommands[1 - row].QzcExtCommand);
    EXPECT_EQ(nullptr, QzsGetCommandProc("test command"));
    EXPECT_EQ(nullptr, QzsGetCommandProc("Test Command "));
}

TEST_F(LoaderTest, ListsThatCannotBeWrittenAreReportedAndModulesStillUnloaded)
{
    Put(g_cfg.Draw_dir, "d_drag");
    Put(g_cfg.Subwin_dir, "s_plain");
    ASSERT_EQ(1, LoadDrawPlugins());
    ASSERT_EQ(1, LoadSubWindowPlugins());
    strcat(g_cfg.Stat_dir, "\\missing");
    SavePluginListsAndUnload();
    EXPECT_EQ((Strings{"Can't open draw.pin", "Can't open funccol.pin", "Can't open subwin.pin",
                       "Can't open layer.pin"}),
              Texts());
    EXPECT_EQ(nullptr, g_drawPlugins[0].module);
    EXPECT_EQ(nullptr, g_subWindows[0].module);
}
