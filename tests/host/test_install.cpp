// Installing plug-ins and data files dropped into the application directory.
#include "loader_fixture.h"
#include "plugins/install.h"

class InstallTest : public LoaderTest {
protected:
    void SetUp() override
    {
        LoaderTest::SetUp();
        DeriveSettings();
        CreateWorkDirectories();
    }
    std::string App(const std::string &name) const { return std::string(g_cfg.appDir) + "\\" + name; }
    static bool Exists(const std::string &path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
    // The file's last-write time, in days from a fixed day.
    static void SetAge(const std::string &path, int day)
    {
        HANDLE h = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE) << path;
        ULARGE_INTEGER t;
        t.QuadPart = 130000000000000000ull + (unsigned long long)day * 864000000000ull;
        FILETIME ft = {t.LowPart, t.HighPart};
        SetFileTime(h, nullptr, nullptr, &ft);
        CloseHandle(h);
    }
    void Write(const std::string &path, const std::string &text, int day)
    {
        WriteFileText(path, text);
        SetAge(path, day);
    }
};

TEST_F(InstallTest, ClassifiesByFirstExportAndMovesToItsDirectory)
{
    struct Case {
        const char *stem;
        int code;
        const char *dir;
    } cases[] = {
        {"s_effect", kInstallSubWindow, g_cfg.Subwin_dir}, {"e_rec", kInstallEffect, g_cfg.Effect_dir},
        {"d_drag", kInstallDraw, g_cfg.Draw_dir},          {"f_color", kInstallFuncColor, g_cfg.FuncColor_dir},
        {"t_ok", kInstallTransform, g_cfg.Transform_dir},   {"pngsave", kInstallSaver, g_cfg.Saver_dir},
        {"x_ok", kInstallExtCommand, g_cfg.ExtCommand_dir}, {"p_ok", kInstallParameter, g_cfg.Parameter_dir},
        {"b_ok", kInstallLayerBlend, g_cfg.Layer_dir},
    };
    for (const Case &c : cases) {
        Put(g_cfg.appDir, c.stem);
        EXPECT_EQ(ClassifyPlugin(App(std::string(c.stem) + ".ovp").c_str()), c.code) << c.stem;
    }
    WriteFileText(App("text.ovp"), "not a module");
    Put(g_cfg.appDir, "d_drag", "noexp.spi"); // not an .ovp: not looked at
    EXPECT_EQ(ClassifyPlugin(App("text.ovp").c_str()), -1);

    InstallNewPlugins(g_cfg.appDir);
    for (const Case &c : cases) {
        std::string name = std::string(c.stem) + ".ovp";
        EXPECT_TRUE(Exists(std::string(c.dir) + "\\" + name)) << c.stem;
        EXPECT_FALSE(Exists(App(name))) << c.stem;
    }
    EXPECT_TRUE(Exists(App("text.ovp")));
    EXPECT_TRUE(Exists(App("noexp.spi")));
}

TEST_F(InstallTest, InstallsOnlyWhenNewerAndKeepsTheReplacedFiles)
{
    std::string draw = std::string(g_cfg.Draw_dir) + "\\pen.ovp", kept = std::string(g_oldPlugDir[kOldDraw]) + "\\pen.ovp";
    std::string stem = std::string(g_cfg.Draw_dir) + "\\pen", keptStem = std::string(g_oldPlugDir[kOldDraw]) + "\\pen";
    // Installed: module, layout and texts, and a set-aside marker.
    Write(draw, "old", 10);
    Write(stem + ".ppd", "old ppd", 10);
    Write(stem + ".ptf.JPN", "old ptf", 10);
    Write(draw + ".del", "marker", 10);
    // Dropped, newer: module, layout and values (no texts).
    Write(App("pen.ovp"), "new", 20);
    Write(App("pen.ppd"), "new ppd", 20);
    Write(App("pen.pdv"), "new pdv", 20);

    InstallIfNewer(App("pen.ovp").c_str(), draw.c_str(), kept.c_str());
    EXPECT_EQ(ReadFileText(draw), "new");
    EXPECT_EQ(ReadFileText(stem + ".ppd"), "new ppd");
    EXPECT_EQ(ReadFileText(stem + ".pdv"), "new pdv");
    EXPECT_EQ(ReadFileText(stem + ".ptf.JPN"), "old ptf"); // the new module brought none
    EXPECT_EQ(ReadFileText(kept), "old");
    EXPECT_EQ(ReadFileText(keptStem + ".ppd"), "old ppd");
    EXPECT_FALSE(Exists(keptStem + ".ptf.JPN"));
    EXPECT_FALSE(Exists(draw + ".del"));
    EXPECT_FALSE(Exists(App("pen.ovp")));
    EXPECT_FALSE(Exists(App("pen.ppd")));

    // An older one goes to the kept directory and leaves the installed one alone.
    SetAge(draw, 20);
    Write(App("pen.ovp"), "older", 5);
    InstallIfNewer(App("pen.ovp").c_str(), draw.c_str(), kept.c_str());
    EXPECT_EQ(ReadFileText(draw), "new");
    EXPECT_EQ(ReadFileText(kept), "older");
    EXPECT_FALSE(Exists(App("pen.ovp")));

    // Without a place for old files, an older one stays where it was; a missing source does nothing.
    Write(App("pen.ovp"), "older", 5);
    InstallIfNewer(App("pen.ovp").c_str(), draw.c_str(), nullptr);
    EXPECT_EQ(ReadFileText(App("pen.ovp")), "older");
    EXPECT_EQ(ReadFileText(draw), "new");
    InstallIfNewer(App("none.ovp").c_str(), draw.c_str(), nullptr);
    EXPECT_EQ(ReadFileText(draw), "new");
}

TEST_F(InstallTest, DataFilesMoveToStatWhenNewer)
{
    Write(App("QzMain.mnu"), "menu", 20);
    Write(App("QzMain.mnu.JPN"), "menu jpn", 20);
    Write(App("draw.pin"), "new list", 20);
    Write(App("font.dat"), "stale", 5);
    Write(Stat("font.dat"), "installed", 10);
    InstallDataFiles();
    EXPECT_EQ(ReadFileText(Stat("QzMain.mnu")), "menu");
    EXPECT_EQ(ReadFileText(Stat("QzMain.mnu.JPN")), "menu jpn");
    EXPECT_EQ(ReadFileText(Stat("draw.pin")), "new list");
    EXPECT_EQ(ReadFileText(Stat("font.dat")), "installed");
    EXPECT_EQ(ReadFileText(App("font.dat")), "stale");
}

TEST_F(InstallTest, SusieReadersWaitForTheirDirectory)
{
    strcpy(g_cfg.Susie_dir, "???");
    Write(App("r.spi"), "reader", 20);
    EXPECT_EQ(InstallNewSusiePlugins(g_cfg.appDir), 0);
    EXPECT_TRUE(Exists(App("r.spi")));
    snprintf(g_cfg.Susie_dir, sizeof g_cfg.Susie_dir, "%s\\spi", g_cfg.appDir);
    CreateDirectoryA(g_cfg.Susie_dir, nullptr);
    EXPECT_EQ(InstallNewSusiePlugins(g_cfg.appDir), 1);
    EXPECT_EQ(ReadFileText(std::string(g_cfg.Susie_dir) + "\\r.spi"), "reader");
}
