// The plug-in name dictionary: reading, merging dropped-in dictionaries, writing back, and filling
// the translated names of the six plug-in tables.
#include "testsupport.h"
#include "plugins/dictionary.h"
#include "plugins/install.h"
#include "plugins/loader.h"
#include "image/bindings.h"
#include "base/settings.h"
#include "base/textutil.h"
#include <string.h>

class DictionaryTest : public HostTest {
protected:
    void SetUp() override
    {
        HostTest::SetUp();
        DeriveSettings();
        CreateWorkDirectories();
        FreeDictionary();
    }
    void TearDown() override
    {
        FreeDictionary();
        HostTest::TearDown();
    }
    std::string Stat(const char *name) { return std::string(g_cfg.Stat_dir) + "\\" + name; }
};

TEST_F(DictionaryTest, MergesDroppedDictionaryAndWritesMainBack)
{
    const std::string main = "Draw \"Pen A\" \"Pen-a\"\n"
                             "EFFECT \"Blur\" \"Bokashi\"\n"
                             "effect \"Blur\" \"second\"\n"   // the first entry for a name wins
                             "subwin only-two\n"              // two tokens: ignored
                             "layer \"\" \"empty name\"\n"    // empty name: ignored
                             "brush \"N\" \"T\"\n";            // unknown kind: ignored
    WriteFileText(Stat("othDic.JPN"), main);
    std::string pld = std::string(g_cfg.appDir) + "\\more.pld.JPN";
    WriteFileText(pld, "FuncCol Grad G\r\ndraw \"Pen A\" other\r\nTrans T1 \"t one\"\r\nSubWin S1 s\r\nLayer L1 l\r\n");

    LoadDictionary();
    EXPECT_STREQ(LookupTranslation(kDictDraw, "Pen A"), "Pen-a"); // the main dictionary is read first
    EXPECT_STREQ(LookupTranslation(kDictEffect, "Blur"), "Bokashi");
    EXPECT_STREQ(LookupTranslation(kDictEffect, "blur"), ""); // names compare byte for byte
    EXPECT_STREQ(LookupTranslation(kDictSubWin, "only-two"), "");
    EXPECT_EQ(DictionaryHead(kDictLayer)->next, nullptr);
    SaveDictionary();
    FreeDictionary();

    // The dropped file went to the old plug-in directory, the old main dictionary too.
    EXPECT_EQ(GetFileAttributesA(pld.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(GetFileAttributesA((std::string(g_cfg.OldPlug_dir) + "\\more.pld.JPN").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(ReadFileText(std::string(g_cfg.OldPlug_dir) + "\\othDic.JPN"), main);
    EXPECT_EQ(GetFileAttributesA(Stat("othDicbk.JPN").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(ReadFileText(Stat("othDic.JPN")), "Draw\t\"Pen A\"\t\t\t\"Pen-a\"\r\n"
                                                "Effect\t\"Blur\"\t\t\t\"Bokashi\"\r\n"
                                                "FuncCol\t\"Grad\"\t\t\t\"G\"\r\n"
                                                "SubWin\t\"S1\"\t\t\t\"s\"\r\n"
                                                "Trans\t\"T1\"\t\t\t\"t one\"\r\n"
                                                "Layer\t\"L1\"\t\t\t\"l\"\r\n");

    // A second run over its own output changes nothing.
    std::string once = ReadFileText(Stat("othDic.JPN"));
    LoadDictionary();
    SaveDictionary();
    EXPECT_EQ(ReadFileText(Stat("othDic.JPN")), once);
}

TEST_F(DictionaryTest, MissingFileIsSkipped)
{
    EXPECT_EQ(ReadDictionaryFile(Stat("none.JPN").c_str()), 0);
    LoadDictionary();
    for (int k = 0; k < kDictKinds; k++)
        EXPECT_EQ(DictionaryHead(k), nullptr);
}

// A long run of double-byte characters: 2 bytes each, lead 0x82.
static std::string DoubleBytes(int count)
{
    std::string s;
    for (int i = 0; i < count; i++)
        s += "\x82\xa0";
    return s;
}

TEST_F(DictionaryTest, FillsEveryKindsEmptyTranslatedNamesWithinTheirFields)
{
    // Texts are cut to their fields before a character they would split.
    std::string longName = DoubleBytes(200), longText = "y" + DoubleBytes(200);
    WriteFileText(Stat("othDic.JPN"), "draw D1 d1\neffect E1 e1\nfunccol F1 f1\nsubwin S1 s1\ntrans T1 t1\n"
                                      "layer L1 l1\ndraw \"" + longName + "\" \"" + longText + "\"\n");
    HMODULE fake = GetModuleHandleA(nullptr);
    strcpy(g_drawPlugins[0].name, "D1");
    strcpy(g_drawPlugins[1].name, "D1");
    strcpy(g_drawPlugins[1].translated, "kept"); // a translated name already there stays
    strcpy(g_drawPlugins[2].name, "D1");         // no module: left alone
    CopyText(g_drawPlugins[3].name, sizeof g_drawPlugins[3].name, longName.c_str());
    strcpy(g_effectPlugins[0].name, "E1");
    strcpy(g_colorFunctions[0].name, "F1");
    strcpy(g_subWindows[0].name, "S1");
    strcpy(g_transformPlugins[0].name, "T1");
    strcpy(g_layerBlends[0].name, "L1");
    g_drawPlugins[0].module = g_drawPlugins[1].module = g_drawPlugins[3].module = fake;
    g_effectPlugins[0].module = g_colorFunctions[0].module = g_subWindows[0].module = fake;
    g_transformPlugins[0].module = g_layerBlends[0].module = fake;

    LoadDictionary();
    const DictionaryEntry *last = DictionaryHead(kDictDraw)->next;
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(std::string(last->name), longName.substr(0, 254));
    EXPECT_EQ(std::string(last->translation), longText.substr(0, 255));
    ApplyDictionaryToDraws();
    ApplyDictionaryToEffects();
    ApplyDictionaryToFuncColors();
    ApplyDictionaryToSubWindows();
    ApplyDictionaryToTransforms();
    ApplyDictionaryToLayerBlends();
    FreeDictionary();

    EXPECT_STREQ(g_drawPlugins[0].translated, "d1");
    EXPECT_STREQ(g_drawPlugins[1].translated, "kept");
    EXPECT_STREQ(g_drawPlugins[2].translated, "");
    // 80-byte display name: the entry's name is longer, so nothing matches it.
    EXPECT_STREQ(g_drawPlugins[3].translated, "");
    EXPECT_STREQ(g_effectPlugins[0].translated, "e1");
    EXPECT_STREQ(g_colorFunctions[0].translated, "f1");
    EXPECT_STREQ(g_subWindows[0].translated, "s1");
    EXPECT_STREQ(g_transformPlugins[0].translated, "t1");
    EXPECT_STREQ(g_layerBlends[0].translated, "l1");

    // A long translation fills the 40-byte field with whole characters only.
    WriteFileText(Stat("othDic.JPN"), "draw Long \"" + longName + "\"\n");
    strcpy(g_drawPlugins[4].name, "Long");
    g_drawPlugins[4].module = fake;
    LoadDictionary();
    ApplyDictionaryToDraws();
    EXPECT_EQ(std::string(g_drawPlugins[4].translated), longName.substr(0, 38));

    memset(g_drawPlugins, 0, sizeof g_drawPlugins);
    memset(g_effectPlugins, 0, sizeof g_effectPlugins);
    memset(g_colorFunctions, 0, sizeof g_colorFunctions);
    memset(g_subWindows, 0, sizeof g_subWindows);
    memset(g_transformPlugins, 0, sizeof g_transformPlugins);
    memset(g_layerBlends, 0, sizeof g_layerBlends);
}
