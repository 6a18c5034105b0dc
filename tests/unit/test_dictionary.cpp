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

// Texts as a dictionary file may hold them and the texts they stand for. Inside double quotes a
// backslash keeps a following double quote or backslash in the text; the trail byte 0x5C of a
// double-byte character is no backslash.
struct QuotedText {
    const char *file, *text;
};
static const QuotedText kQuotedTexts[] = {
    {"\"Gamma with \\\"quote\"", "Gamma with \"quote"},
    {"\"\\\"\\\"\"", "\"\""},
    {"\"back\\\\slash\"", "back\\slash"},
    {"\"C:\\dir\"", "C:\\dir"},                    // a backslash before anything else stays
    {"\"ends with \\\\\"", "ends with \\"},
    {"\"tab\there\"", "tab\there"},
    {"\"  blanks  \"", "  blanks  "},
    {"say\"hi\"", "say\"hi\""},                   // a bare token takes a double quote as it is
    {"\"\x95\x5c\x8e\xa6\"", "\x95\x5c\x8e\xa6"},  // trail byte 0x5C before the closing quote
    {"\"\x83\x5c\\\"q\"", "\x83\x5c\"q"},
    {"\"\x83\x5c\\\\\"", "\x83\x5c\\"},
    {"half\x95", "half"}, // half a character at the end is dropped
};

TEST_F(DictionaryTest, TextsWithQuotesBlanksAndDoubleBytesReadTheSameAfterEveryRewrite)
{
    std::string main;
    int i = 0;
    for (const QuotedText &t : kQuotedTexts) {
        main += "Effect " + std::string(t.file) + " \"e" + std::to_string(i) + "\"\n";
        main += "Draw \"d" + std::to_string(i) + "\" " + t.file + "\n";
        i++;
    }
    WriteFileText(Stat("othDic.JPN"), main);
    std::string written;
    for (int run = 0; run < 3; run++) {
        LoadDictionary();
        i = 0;
        for (const QuotedText &t : kQuotedTexts) {
            EXPECT_EQ(std::string(LookupTranslation(kDictEffect, t.text)), "e" + std::to_string(i))
                << "run " << run << ": " << t.file;
            EXPECT_EQ(std::string(LookupTranslation(kDictDraw, ("d" + std::to_string(i)).c_str())), t.text)
                << "run " << run << ": " << t.file;
            i++;
        }
        SaveDictionary();
        FreeDictionary();
        if (run > 0) {
            EXPECT_EQ(ReadFileText(Stat("othDic.JPN")), written) << "run " << run;
        }
        written = ReadFileText(Stat("othDic.JPN"));
    }
}

// Many entries, names repeated out of order and alike in two kinds: each name keeps its first
// translation, and the merged file lists every name once, in the order first read.
TEST_F(DictionaryTest, ManyEntriesKeepTheFirstTranslationAndTheirOrder)
{
    const int names = 3000;
    std::string main, want;
    for (int i = 0; i < names; i++) {
        int n = (int)((i * 7919u) % names); // every name once, scattered
        main += "effect \"n" + std::to_string(n) + "\" first" + std::to_string(n) + "\n";
        main += "trans \"n" + std::to_string(n) + "\" t" + std::to_string(n) + "\n";
        if (i >= 10)
            main += "effect \"n" + std::to_string((i - 10) * 7919u % names) + "\" later\n";
        want += "Effect\t\"n" + std::to_string(n) + "\"\t\t\t\"first" + std::to_string(n) + "\"\r\n";
    }
    for (int i = 0; i < names; i++) {
        int n = (int)((i * 7919u) % names);
        want += "Trans\t\"n" + std::to_string(n) + "\"\t\t\t\"t" + std::to_string(n) + "\"\r\n";
    }
    WriteFileText(Stat("othDic.JPN"), main);
    LoadDictionary();
    for (int n = 0; n < names; n += 97) {
        std::string name = "n" + std::to_string(n);
        EXPECT_EQ(std::string(LookupTranslation(kDictEffect, name.c_str())), "first" + std::to_string(n));
        EXPECT_EQ(std::string(LookupTranslation(kDictTrans, name.c_str())), "t" + std::to_string(n));
        EXPECT_STREQ(LookupTranslation(kDictDraw, name.c_str()), "");
    }
    EXPECT_STREQ(LookupTranslation(kDictEffect, "N1"), "");
    SaveDictionary();
    FreeDictionary();
    EXPECT_EQ(ReadFileText(Stat("othDic.JPN")), want);
}
