// Closing changed images: the save prompts and their remembered answers.
#include "testsupport.h"
#include "image/group.h"
#include "image/imagelist.h"
#include "base/settings.h"
#include "shell/startup.h"
#include <vector>

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

// The quit tells the prompt that it quits: one question 23 for every changed group, its layers
// included; "Close all images" asks each image by name instead.
TEST_F(ClosePromptTest, QuitAsksOnceForEveryChangedImage)
{
    g_cfg.CloseAllImageWhenQuit = 1;
    for (int i = 0; i < 2; i++) {
        CDIB *base = NewChanged();
        ASSERT_EQ(AddImageGroup(base), 1);
    }
    boxes.Answer(IDCANCEL);
    EXPECT_EQ(CloseAllImageGroups(), 0) << "not quitting: message 24 by name, cancelled";
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_NE(boxes.boxes[0].text.find(" is changed.\nSave it?"), std::string::npos);
    EXPECT_FALSE(IsQuitInProgress());

    boxes.boxes.clear();
    boxes.Answer(IDNO);
    EXPECT_EQ(QuitApplication(), 1);
    // The questions only: the quit also reports the list files it cannot write here.
    std::vector<std::string> questions;
    for (const CapturedBox &b : boxes.boxes)
        if (b.caption == "?")
            questions.push_back(b.text);
    EXPECT_EQ(questions, std::vector<std::string>{"Image is changed.\nSave it?\n(If 'No',all image dispose)"});
    EXPECT_EQ(QzsGetFirstImageGroup(), nullptr);
    EXPECT_EQ(QzsGetFirstImage(), nullptr);
    EXPECT_FALSE(IsQuitInProgress());
}

// A refused close leaves the quit undone, and later closes are no quit.
TEST_F(ClosePromptTest, CancelledQuitIsNoQuitAnyMore)
{
    g_cfg.CloseAllImageWhenQuit = 1;
    CDIB *base = NewChanged();
    ASSERT_EQ(AddImageGroup(base), 1);
    boxes.Answer(IDCANCEL);
    EXPECT_EQ(QuitApplication(), 0);
    EXPECT_FALSE(IsQuitInProgress());
    EXPECT_TRUE(IsImageListed(base));
    boxes.Answer(IDNO);
    EXPECT_EQ(CloseAllImageGroups(), 1);
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_NE(boxes.boxes[1].text.find(" is changed.\nSave it?"), std::string::npos) << "asked by name";
}

// A new layer, or a deleted one, is a change of the picture: closing it asks to save, also for an
// untitled picture that was never changed otherwise.
TEST_F(ClosePromptTest, LayersAddedOrDeletedAskToSave)
{
    for (bool remove : {false, true}) {
        CDIB *base = nullptr;
        QzsCreateNewImage(&base, 4, 4, 32);
        ASSERT_EQ(AddImageGroup(base), 1);
        ImageGroup *g = g_lastGroup;
        ImageWindow window{};
        window.group = g;
        window.layerImage = base;
        if (remove) {
            CDIB *layer = nullptr;
            ASSERT_EQ(CreateImageRecord(&layer, 4, 4, 32), 0);
            LayerRecord *l = QzsInsertNewLayer(g, layer, 0, 0, 1, 255, 0);
            ASSERT_NE(l, nullptr);
            base->modified = layer->modified = 0;
            EXPECT_EQ(QzsDeleteLayer(g, l, 0), 1);
        } else {
            base->modified = 0; // as the new-image dialog leaves it
            EXPECT_EQ(QzsInsertLayer(&window, 1, 0), 1);
        }
        boxes.boxes.clear();
        boxes.Answer(IDCANCEL);
        EXPECT_EQ(QzsCloseMDIB(g), 0) << (remove ? "deleted" : "added");
        ASSERT_EQ(boxes.boxes.size(), 1u);
        EXPECT_NE(boxes.boxes[0].text.find(" is changed."), std::string::npos);
        DiscardAllImages();
    }
}
