// The configuration file: keys without case, "~" paths, table lines, write-back and reading again.
#include "image/colors.h"
#include "base/app.h"
#include "base/settings.h"
#include "shell/configfile.h"
#include "shell/winproc.h"
#include "image/group.h"
#include "view/display.h"
#include "base/recent.h"
#include "testsupport.h"
#include <string.h>

class ConfigTest : public HostTest {
protected:
    std::string cfg() { return dir.file("ovrin.cfg"); }
    void Read(const std::string &text)
    {
        WriteFileText(cfg(), text);
        ASSERT_EQ(ReadConfigFile(), 1);
        DeriveSettings();
    }
    // Every line of the written file that begins with the key and a blank.
    std::vector<std::string> Written(const std::string &key)
    {
        std::vector<std::string> lines;
        std::string text = ReadFileText(cfg()), line;
        for (size_t at = 0; at < text.size(); at += line.size() + 1) {
            line = text.substr(at, text.find('\n', at) - at);
            std::string bare = line.substr(0, line.find('\r')); // the file is written in text mode
            if (bare.compare(0, key.size() + 1, key + " ") == 0)
                lines.push_back(bare);
        }
        return lines;
    }
};

TEST_F(ConfigTest, MissingFileKeepsDefaults)
{
    EXPECT_EQ(ReadConfigFile(), 0);
    EXPECT_EQ(g_cfg.FrameX, 33);
    EXPECT_EQ(g_cfg.LANG, -99);
    EXPECT_EQ(g_cfg.Effect_dir, dir.path() + "\\Effect");
}

TEST_F(ConfigTest, KeysMatchWithoutCaseAndHomePathsRoundTrip)
{
    Read("effect_dir \"~\\MyFx\"\nFRAMEX 40\nframey -20\nMaxUndoBuffer 2mb\nKeepFreeAreaRate 0\n"
         "Draw_dir \"D:\\elsewhere\"\nnonsense 12\n\nMainWinMenu \"My Menu.mnu\"\nLANG 1\nLANG 0\n"
         "DefaultSaveFormat BMP trailing\nNewImageX many\n");
    EXPECT_EQ(g_cfg.Effect_dir, dir.path() + "\\MyFx");
    EXPECT_EQ(g_cfg.FrameX, 32);
    EXPECT_EQ(g_cfg.FrameY, 33); // negative: the default stays
    EXPECT_EQ(g_cfg.MaxUndoBuffer, 2097152);
    EXPECT_EQ(g_cfg.KeepFreeAreaRate, 10);
    EXPECT_STREQ(g_cfg.MainWinMenu, "My Menu.mnu");
    EXPECT_EQ(g_cfg.LANG, 0);
    EXPECT_STREQ(g_cfg.DefaultSaveFormat, "BMP");
    EXPECT_EQ(g_cfg.NewImageX, 768);

    ASSERT_EQ(WriteConfigFile(), 1);
    EXPECT_EQ(Written("Effect_dir"), std::vector<std::string>{"Effect_dir \"~\\MyFx\""});
    EXPECT_EQ(Written("Draw_dir"), std::vector<std::string>{"Draw_dir \"D:\\elsewhere\""});
    EXPECT_EQ(Written("FrameX"), std::vector<std::string>{"FrameX 32"});
    EXPECT_EQ(Written("MaxUndoBuffer"), std::vector<std::string>{"MaxUndoBuffer 2097152"});
    EXPECT_EQ(Written("DefaultSaveFormat"), std::vector<std::string>{"DefaultSaveFormat BMP"});
    EXPECT_EQ(Written("nonsense").size(), 0u);
}

TEST_F(ConfigTest, WrittenFileReadsBackToTheSameSettings)
{
    g_cfg.StretchBltMode = 2;
    g_cfg.NewImageBackground = 1;
    g_cfg.FrameX = g_cfg.FrameY = 32; // the default 33 reads back as 32
    snprintf(g_cfg.UntitledFileHeader, sizeof g_cfg.UntitledFileHeader, "My Pic");
    snprintf(g_cfg.DrawMethod, sizeof g_cfg.DrawMethod, "Free hand");
    snprintf(g_cfg.ExtensionOfDictionary, sizeof g_cfg.ExtensionOfDictionary, "J P N");
    g_colorTable[7] = ColorRecord{1, 2, 3, 4, 200, 2, 3, 0, {}};
    ASSERT_EQ(WriteConfigFile(), 1);
    std::string first = ReadFileText(cfg());
    EXPECT_EQ(Written("NewImageBackground"), std::vector<std::string>{"NewImageBackground 1 "});
    EXPECT_EQ(Written("ColorValue")[7], "ColorValue  7   1   2   3     4 200   2   3");
    EXPECT_EQ(Written("NewImageSize")[9], "NewImageSize  9 1024  768");
    // Texts written without quotes are quoted when they hold blanks, so that they read back whole.
    EXPECT_EQ(Written("DrawMethod"), std::vector<std::string>{"DrawMethod \"Free hand\""});
    EXPECT_EQ(Written("ExtensionOfDictionary"), std::vector<std::string>{"ExtensionOfDictionary \"J P N\""});
    EXPECT_EQ(Written("DefaultSaveFormat"), std::vector<std::string>{"DefaultSaveFormat MRF"});
    EXPECT_EQ(first.find("Susie_dir"), 0u);

    ResetProgramState(dir.path().c_str());
    ASSERT_EQ(ReadConfigFile(), 1);
    EXPECT_EQ(g_cfg.StretchBltMode, 2);
    EXPECT_STREQ(g_cfg.UntitledFileHeader, "My Pic");
    EXPECT_STREQ(g_cfg.DrawMethod, "Free hand");
    EXPECT_STREQ(g_cfg.ExtensionOfDictionary, "J P N");
    EXPECT_EQ(g_colorTable[7].opacity, 200);
    EXPECT_EQ(g_colorTable[7].regionMode, 3);
    ASSERT_EQ(WriteConfigFile(), 1);
    EXPECT_EQ(ReadFileText(cfg()), first);
}

TEST_F(ConfigTest, ValuesThatWouldBreakLaterKeepTheDefault)
{
    // A rate from 100 on refuses every image (the free page file would have to exceed the total).
    Read("KeepFreeAreaRate -3\nKeepFreeAreaRate 2147483647\nKeepFreeAreaRate 100\n"
         "RegAnimationVelocity 0\nOpenPreviewSizeX 4\nOpenPreviewSizeY 5\nAdjMaxSizeX 0\n"
         "NewImageY -1\nFrameX -16\nFrameX 15\nMainWindowSizeY 0\nInitZoom -2\n");
    EXPECT_EQ(g_cfg.KeepFreeAreaRate, 10);
    EXPECT_EQ(g_cfg.RegAnimationVelocity, 5);
    EXPECT_EQ(g_cfg.OpenPreviewSizeX, 80);
    EXPECT_EQ(g_cfg.OpenPreviewSizeY, 5);
    EXPECT_EQ(g_cfg.AdjMaxSizeX, g_screenWidth - 10);
    EXPECT_EQ(g_cfg.NewImageY, 512);
    EXPECT_EQ(g_cfg.FrameX, 0);
    EXPECT_EQ(g_cfg.MainWindowSizeY, 53);
    EXPECT_EQ(g_cfg.InitZoom, -2);
    Read("KeepFreeAreaRate 99\n");
    EXPECT_EQ(g_cfg.KeepFreeAreaRate, 99);
}

// A frame margin past 1024 would make even a small picture's display too large to build (or its
// size overflow): such values keep the margin there was, and the picture is shown within it.
TEST_F(ConfigTest, FrameMarginsPastTheirRangeKeepTheDefault)
{
    Read("FrameX 2147483647\nFrameY 10000\nFrameX 1040\nFrameY 99999999999\n");
    EXPECT_EQ(g_cfg.FrameX, 33);
    EXPECT_EQ(g_cfg.FrameY, 33);
    CDIB *image = nullptr;
    QzsCreateNewImage(&image, 37, 23, 32);
    ASSERT_NE(image, nullptr);
    AddImageGroup(image);
    ASSERT_EQ(RegisterImageWindowClass(), 1);
    ASSERT_EQ(RegisterStatusWindowClass(), 1);
    g_statusWindowsOn = 0;
    ImageWindow *w = CreateImageWindow(0, 0, 200, 150);
    ASSERT_NE(w, nullptr);
    w->group = g_lastGroup;
    ASSERT_EQ(BuildWindowDisplay(w, g_lastGroup, false), 1);
    EXPECT_EQ(w->displayWidth, 37 + 2 * 33);
    EXPECT_EQ(w->displayHeight, 23 + 2 * 33);
    EXPECT_EQ(w->contentLeft, 33);

    Read("FrameX 1024\nFrameY 1039\n");
    EXPECT_EQ(g_cfg.FrameX, 1024);
    EXPECT_EQ(g_cfg.FrameY, 1024);
}

TEST_F(ConfigTest, TableLinesAreBoundedByTheirTables)
{
    Read("ColorValue 16 1 1 1 0 9 0 0\nColorValue 15 10 20 30 0 511 9 7\nColorValue -1 1 1 1 0 0 0 0\n"
         "ColorValue 2 999 -5 7\nNewImageSize 10 1 1\nNewImageSize 3 800 600\n");
    EXPECT_EQ(g_colorTable[15].red, 10);
    EXPECT_EQ(g_colorTable[15].opacity, 255); // one byte of 511
    EXPECT_EQ(g_colorTable[15].regionBits, 1);
    EXPECT_EQ(g_colorTable[15].regionMode, 0);
    EXPECT_EQ(g_colorTable[2].red, 255);
    EXPECT_EQ(g_colorTable[2].green, 0);
    EXPECT_EQ(g_cfg.NewImageSize[3][0], 800);
    EXPECT_EQ(g_cfg.NewImageSize[9][0], 1024);
}

TEST_F(ConfigTest, RecentFilesKeepTheirOrderAndTenAreWritten)
{
    std::string text;
    for (const char *p : {"A", "B", "B", "C"})
        text += std::string("RecentlyUsedFile \"C:\\") + p + ".bmp\"\n";
    Read(text);
    ASSERT_TRUE(RecentFileAt(2));
    EXPECT_STREQ(RecentFileAt(0)->path, "C:\\B.bmp");
    EXPECT_STREQ(RecentFileAt(1)->path, "C:\\A.bmp");
    EXPECT_STREQ(RecentFileAt(2)->path, "C:\\C.bmp");
    EXPECT_EQ(RecentFileAt(3), nullptr);
    for (int i = 0; i < 12; i++)
        AddRecentFile(("C:\\n" + std::to_string(i)).c_str(), 1);
    AddRecentFile("C:\\n3", 1);
    ASSERT_EQ(WriteConfigFile(), 1);
    auto lines = Written("RecentlyUsedFile");
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[0], "RecentlyUsedFile \"C:\\n3\"");
    EXPECT_EQ(lines[1], "RecentlyUsedFile \"C:\\n11\"");
}

TEST_F(ConfigTest, OverlongLinesAndTokensAreCut)
{
    Read("UntitledFileHeader \"" + std::string(2000, 'z') + "\"\nInitZoom 4\nStat_dir \"~" + std::string(900, 's') +
         "\"\n");
    EXPECT_EQ(strlen(g_cfg.UntitledFileHeader), 235u); // the rest of the 256-byte line after the key
    EXPECT_EQ(g_cfg.InitZoom, 4);
    EXPECT_LT(strlen(g_cfg.Stat_dir), (size_t)kPathBytes);
}

TEST_F(ConfigTest, AFailedWriteKeepsTheOldFile)
{
    WriteFileText(cfg(), "InitZoom 2\n");
    CreateDirectoryA((cfg() + ".new").c_str(), NULL); // the temporary file cannot be made
    EXPECT_EQ(WriteConfigFile(), 0);
    EXPECT_EQ(ReadFileText(cfg()), "InitZoom 2\n");
    RemoveDirectoryA((cfg() + ".new").c_str());
}

TEST_F(ConfigTest, DerivedCloseModesAndOldPlugDirectories)
{
    Read("BindImageToOneWindow 0\nCloseImageWithWindow 2\nCloseButtonAsCloseImage 1\nOldPlug_dir \"~\\Old\"\n");
    EXPECT_EQ(g_cfg.closeMode, 2);
    EXPECT_EQ(g_cfg.closeButtonMode, 1);
    EXPECT_EQ(g_oldPlugDir[kOldLayer], dir.path() + "\\Old\\Layer");
    Read("BindImageToOneWindow 1\n");
    EXPECT_EQ(g_cfg.closeMode, 1);
    EXPECT_EQ(g_cfg.closeButtonMode, 0);
}

TEST_F(ConfigTest, AppDirectoriesByKind)
{
    char out[kPathBytes] = "untouched";
    EXPECT_EQ(QzsGetAppDirectory(99, out), 0);
    EXPECT_EQ(QzsGetAppDirectory(112, out), 0);
    EXPECT_STREQ(out, "untouched");
    struct {
        int kind;
        const char *leaf;
    } cases[] = {{101, "SavePlug"}, {102, "Draw"},  {103, "Fcolor"}, {104, "Pen"},    {105, "Effect"}, {106, "Subwin"},
                 {107, "Trans"},    {108, "Macro"}, {109, "Stat"},   {110, "ExtCmd"}, {111, "Layer"}};
    for (auto &c : cases) {
        ASSERT_EQ(QzsGetAppDirectory(c.kind, out), 1);
        EXPECT_EQ(out, dir.path() + "\\" + c.leaf) << c.kind;
    }
    ASSERT_EQ(QzsGetAppDirectory(100, out), 1);
    EXPECT_STREQ(out, "???");
}

TEST_F(ConfigTest, FontFileHoldsTheSixtyBytesOfTheFont)
{
    CreateDirectoryA(g_cfg.Stat_dir, NULL);
    std::string path = std::string(g_cfg.Stat_dir) + "\\font.dat";
    ReadFontFile(); // missing: zeroed
    EXPECT_EQ(g_paramFont.lfHeight, 0);
    EXPECT_EQ(g_fontChooser.lpLogFont, &g_paramFont);
    EXPECT_EQ(g_fontChooser.Flags, (DWORD)(CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_EFFECTS));

    g_paramFont.lfHeight = -13;
    g_paramFont.lfWeight = 700;
    g_paramFont.lfItalic = 1;
    g_paramFont.lfPitchAndFamily = 0x22;
    snprintf(g_paramFont.lfFaceName, LF_FACESIZE, "Tahoma");
    WriteFontFile();
    std::string bytes = ReadFileText(path);
    ASSERT_EQ(bytes.size(), 60u);
    EXPECT_EQ(bytes.substr(0, 4), std::string("\xF3\xFF\xFF\xFF", 4));
    EXPECT_EQ(bytes.substr(16, 4), std::string("\xBC\x02\0\0", 4));
    EXPECT_EQ(bytes[20], 1);
    EXPECT_EQ(bytes[27], 0x22);
    EXPECT_EQ(bytes.substr(28, 7), std::string("Tahoma\0", 7));

    memset(&g_paramFont, 0, sizeof g_paramFont);
    ReadFontFile();
    EXPECT_EQ(g_paramFont.lfHeight, -13);
    EXPECT_EQ(g_paramFont.lfWeight, 700);
    EXPECT_STREQ(g_paramFont.lfFaceName, "Tahoma");

    // A face name without its terminator is cut; a short file leaves the font zeroed.
    WriteFileText(path, std::string(60, 'F'));
    ReadFontFile();
    EXPECT_EQ(strlen(g_paramFont.lfFaceName), 31u);
    WriteFileText(path, "short");
    ReadFontFile();
    EXPECT_EQ(g_paramFont.lfHeight, 0);
}
