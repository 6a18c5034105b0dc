// A fresh application directory with every plug-in directory, filled from the test plug-in family.
#pragma once
#include "testsupport.h"
#include "plugins/loader.h"
#include "base/app.h"
#include "base/settings.h"
#include <string.h>
#include <string>

class LoaderTest : public HostTest {
protected:
    void SetUp() override
    {
        HostTest::SetUp();
        MakeDirectories();
        g_screenWidth = 1280;
        g_screenHeight = 960;
    }
    void TearDown() override
    {
        SavePluginListsAndUnload();
        FreeParameterModules();
        HostTest::TearDown();
    }

    // Parameter modules stay loaded at quit; the tests free them so the directory can go.
    static void FreeParameterModules()
    {
        for (int i = 0; i < kParameterRows; i++)
            if (g_parameterTypes[i].module)
                FreeLibrary(g_parameterTypes[i].module);
        memset(g_parameterTypes, 0, sizeof g_parameterTypes);
    }

    static void MakeDirectories()
    {
        for (const char *d : {g_cfg.Draw_dir, g_cfg.Effect_dir, g_cfg.Transform_dir, g_cfg.FuncColor_dir,
                              g_cfg.Subwin_dir, g_cfg.ExtCommand_dir, g_cfg.Parameter_dir, g_cfg.Layer_dir,
                              g_cfg.Stat_dir})
            CreateDirectoryA(d, nullptr);
    }

    // The built module <stem>.ovp copied into dir, under another name when given.
    static void Put(const char *dir, const std::string &stem, const std::string &as = "")
    {
        std::string from = OVRIN_TEST_PLUGINS;
        if (!from.empty() && from[0] == '/')
            from = "Z:" + from; // the build tree seen from Windows
        for (char &c : from)
            if (c == '/')
                c = '\\';
        from += "\\" + stem + ".ovp";
        std::string to = std::string(dir) + "\\" + (as.empty() ? stem + ".ovp" : as);
        ASSERT_TRUE(CopyFileA(from.c_str(), to.c_str(), FALSE)) << from;
    }

    // A delivered module, <kind>\<stem>.ovp of the built application directory, copied into dir.
    static void PutDelivered(const char *dir, const std::string &kind, const std::string &stem)
    {
        std::string from = std::string("Z:") + OVRIN_APP_DIR + "/" + kind + "/" + stem + ".ovp";
        for (char &c : from)
            if (c == '/')
                c = '\\';
        std::string to = std::string(dir) + "\\" + stem + ".ovp";
        ASSERT_TRUE(CopyFileA(from.c_str(), to.c_str(), FALSE)) << from;
    }

    static std::string Stat(const std::string &name) { return std::string(g_cfg.Stat_dir) + "\\" + name; }

    // A text file the program wrote, with its line ends as "\n".
    static std::string ReadListText(const std::string &path)
    {
        std::string text = ReadFileText(path), out;
        for (size_t i = 0; i < text.size(); i++)
            if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n'))
                out += text[i];
        return out;
    }

    std::vector<std::string> Texts() const
    {
        std::vector<std::string> t;
        for (const CapturedBox &b : boxes.boxes)
            t.push_back(b.text);
        return t;
    }
};
