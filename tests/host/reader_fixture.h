// The stand-in outside readers and PNG writer, installed into directories of the test's own: the
// Susie directory "ssPlug" and the save-plug-in directory of the test's application directory.
#pragma once
#include "testsupport.h"
#include "plugins/savers.h"
#include "plugins/susie.h"
#include "base/settings.h"
#include <initializer_list>
#include <string>
#include <vector>

class ReaderTest : public HostTest {
protected:
    void SetUp() override
    {
        HostTest::SetUp();
        snprintf(g_cfg.Susie_dir, kPathBytes, "%s", dir.file("ssPlug").c_str());
        CreateDirectoryA(g_cfg.Susie_dir, nullptr);
        CreateDirectoryA(g_cfg.Saver_dir, nullptr);
    }
    void TearDown() override
    {
        HostTest::TearDown();
        FreeSusiePlugins();
        UnloadSavePlugins();
    }

    // A built stand-in module copied into a directory, under another name when given.
    static void Install(const char *directory, const std::string &file, const std::string &as = "")
    {
        std::string from = OVRIN_TEST_PLUGINS;
        if (!from.empty() && from[0] == '/')
            from = "Z:" + from; // the build tree seen from Windows
        for (char &c : from)
            if (c == '/')
                c = '\\';
        from += "\\" + file;
        std::string to = std::string(directory) + "\\" + (as.empty() ? file : as);
        ASSERT_TRUE(CopyFileA(from.c_str(), to.c_str(), FALSE)) << from;
    }
    static void LoadReaders(std::initializer_list<const char *> files)
    {
        for (const char *file : files)
            Install(g_cfg.Susie_dir, file);
        LoadSusiePlugins();
    }
    static void LoadPngSaver(const char *file = "pngsave.ovp")
    {
        Install(g_cfg.Saver_dir, file);
        LoadSavePlugins(g_saverTable, g_cfg.Saver_dir, g_furtherSaveFilter, sizeof g_furtherSaveFilter);
    }
    std::vector<std::string> Texts() const
    {
        std::vector<std::string> t;
        for (const CapturedBox &b : boxes.boxes)
            t.push_back(b.text);
        return t;
    }
};
