// Numbered messages: translations from the errmsg file, the language switch, formats and batching.
#include "base/settings.h"
#include "base/messages.h"
#include "testsupport.h"

class MessageTest : public HostTest {
protected:
    void Translations(const std::string &text)
    {
        CreateDirectoryA(g_cfg.Stat_dir, NULL);
        WriteFileText(std::string(g_cfg.Stat_dir) + "\\errmsg.JPN", text);
        ASSERT_EQ(LoadMessageTranslations(), 1);
    }
};

TEST_F(MessageTest, TranslationsByLineWithEscapesAndEnglishForEmptyLines)
{
    std::string text;
    for (int k = 0; k < 400; k++) {
        if (k == 0)
            text += "zero\\nline\\\\two";
        else if (k == 16)
            text += "open failed: %s!";
        else if (k == 24)
            text += "%d changed";
        else if (k != 21)
            text += "T" + std::to_string(k);
        text += "\n";
    }
    Translations(text);
    g_cfg.LANG = 1;
    EXPECT_STREQ(MessageText(0), "zero\nline\\two");
    EXPECT_STREQ(MessageText(21), "No image to save");
    EXPECT_STREQ(MessageText(299), "T299");
    EXPECT_STREQ(MessageText(300), "");
    EXPECT_STREQ(MessageText(-1), "");

    ShowErrorMessageArg(NULL, 16, "a.bmp");
    // A translation whose conversion differs from the English text's is not used as a format.
    ShowQuestionMessageArg(NULL, 24, "b.mrf");
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(boxes.boxes[0].text, "open failed: a.bmp!");
    EXPECT_EQ(boxes.boxes[0].caption, "Error");
    EXPECT_EQ(boxes.boxes[1].text, "Image b.mrf is changed.\nSave it?");
    EXPECT_EQ(boxes.boxes[1].caption, "?");

    g_cfg.LANG = 0;
    EXPECT_STREQ(MessageText(0), "No region to apply");
    EXPECT_STREQ(QzsGetStringLangMode("en", "tr"), "en");
    g_cfg.LANG = 1;
    EXPECT_STREQ(QzsGetStringLangMode("en", "tr"), "tr");
    EXPECT_STREQ(QzsGetStringLangMode("en", ""), "en");
}

TEST_F(MessageTest, MissingTranslationFileLeavesEnglish)
{
    g_cfg.LANG = 1;
    EXPECT_EQ(LoadMessageTranslations(), 0);
    ShowErrorMessageArg(NULL, 16, "x.bmp");
    ShowWarningMessage(NULL, 2);
    ShowSysErrorMessage(NULL, 3);
    ASSERT_EQ(boxes.boxes.size(), 3u);
    EXPECT_EQ(boxes.boxes[0].text, "x.bmp can't open!");
    EXPECT_EQ(boxes.boxes[1].caption, "Warning");
    EXPECT_EQ(boxes.boxes[1].text, "Ovrin don't support this screen mode");
    EXPECT_EQ(boxes.boxes[2].caption, "SysError");
}

TEST_F(MessageTest, BatchCollectsErrorsOnlyAndStopsAtFifty)
{
    SetMessageBatching(true);
    ShowErrorMessageArg(NULL, 37, "one.ovp");
    ShowErrorMessage(NULL, 26);
    ShowWarningMessage(NULL, 2); // never collected
    ShowErrorMessageArg(NULL, 41, "three.ovp");
    EXPECT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(MessageBatchCount(), 3);
    EXPECT_STREQ(MessageBatchText(), "one.ovp:Can't load!\nCan't open effect.pin\nthree.ovp:Can't load!(Draw)");
    for (int i = 0; i < 60; i++)
        ShowErrorMessage(NULL, 1);
    EXPECT_EQ(MessageBatchCount(), 50);
    // A long argument is cut to the formatting buffer; the batch never overflows its buffer.
    ResetMessageBatch();
    std::string huge(1000, 'h');
    for (int i = 0; i < 20; i++)
        ShowErrorMessageArg(NULL, 16, huge.c_str());
    EXPECT_LT(strlen(MessageBatchText()), (size_t)kBatchBytes);
    EXPECT_EQ(MessageBatchCount(), 8); // 299 bytes each with the newline
}
