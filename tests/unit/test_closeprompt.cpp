// Closing changed images: the save prompts and their remembered answers.
#include "testsupport.h"
#include "image/group.h"
#include "image/imagelist.h"
#include "base/settings.h"

class ClosePromptTest : public HostTest {
protected:
    CDIB *NewChanged()
    {
        CDIB *image = nullptr;
        QzsCreateNewImage(&image, 4, 4, 32);
        return image;
    }
};

TEST_F(ClosePromptTest, AnswersToMessage24)
{
    // The image is in no group, so "Yes" stands for a save that fails (message 21).
    struct Case {
        int answer;
        bool closed;
    } cases[] = {{IDNO, true}, {IDCANCEL, false}, {IDYES, false}};
    for (const Case &c : cases) {
        CDIB *image = NewChanged();
        std::string name = image->name; // a closed image is freed
        boxes.boxes.clear();
        boxes.Answer(c.answer);
        CDIB *result = CloseImageWithPrompt(nullptr, image, 0);
        ASSERT_EQ(boxes.boxes.size(), c.answer == IDYES ? 2u : 1u);
        EXPECT_EQ(boxes.boxes[0].text, "Image " + name + " is changed.\nSave it?");
        EXPECT_EQ(boxes.boxes[0].caption, "?");
        EXPECT_EQ(IsImageListed(image), !c.closed) << "answer " << c.answer;
        if (!c.closed) {
            EXPECT_EQ(result, image);
        }
    }
}

TEST_F(ClosePromptTest, UnchangedImagesCloseWithoutAsking)
{
    CDIB *image = NewChanged();
    image->modified = 0;
    EXPECT_EQ(CloseImageWithPrompt(nullptr, image, 0), nullptr);
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(CloseImageWithPrompt(nullptr, nullptr, 0), nullptr);
}

TEST_F(ClosePromptTest, DiscardAllAtQuitStaysForTheRun)
{
    g_cfg.CloseAllImageWhenQuit = 1;
    CDIB *a = NewChanged(), *b = NewChanged(), *c = NewChanged();
    boxes.Answer(IDNO); // message 23: dispose of every image
    CloseImageWithPrompt(nullptr, a, 1);
    CloseImageWithPrompt(nullptr, b, 1);
    CloseImageWithPrompt(nullptr, c, 0);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Image is changed.\nSave it?\n(If 'No',all image dispose)");
    EXPECT_EQ(QzsGetFirstImage(), nullptr);
}

TEST_F(ClosePromptTest, SaveAllThatFailsKeepsTheImageAndAsksAgain)
{
    g_cfg.CloseAllImageWhenQuit = 1;
    CDIB *a = NewChanged();
    boxes.Answer(IDYES);
    EXPECT_EQ(CloseImageWithPrompt(nullptr, a, 1), a);
    EXPECT_TRUE(IsImageListed(a));
    boxes.Answer(IDCANCEL);
    EXPECT_EQ(CloseImageWithPrompt(nullptr, a, 1), a);
    // The question, the failed save's message, then the question again: the remembered save-all
    // was forgotten after one image.
    ASSERT_EQ(boxes.boxes.size(), 3u);
    EXPECT_EQ(boxes.boxes[1].text, "No image to save");
    EXPECT_EQ(boxes.boxes[2].type & 0xF, boxes.boxes[0].type & 0xF);
}

TEST_F(ClosePromptTest, WithoutTheQuitSwitchEachImageIsAskedByName)
{
    CDIB *a = NewChanged();
    boxes.Answer(IDNO);
    CloseImageWithPrompt(nullptr, a, 1);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_NE(boxes.boxes[0].text.find(" is changed."), std::string::npos);
}
