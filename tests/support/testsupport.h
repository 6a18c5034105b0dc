// Support for the tests: message boxes captured and answered, program state reset, temporary
// directories.
#pragma once
#include "ovrin.h"
#include <gtest/gtest.h>
#include <deque>
#include <string>
#include <vector>

struct CapturedBox {
    std::string text, caption;
    UINT type;
};

// While one lives, every message box of the program is recorded instead of shown; questions take
// the queued answers in order (IDCANCEL when none is left, plain boxes IDOK).
class MessageCapture {
public:
    MessageCapture();
    ~MessageCapture();
    void Answer(int answer) { answers.push_back(answer); }
    std::vector<CapturedBox> boxes;
    std::deque<int> answers;
};

// A fresh program state: default settings and colours for an application directory, no images,
// groups or windows.
void ResetProgramState(const char *appDir = nullptr);
// Frees every group, window and image without asking.
void DiscardAllImages();

// A directory of its own under the temporary directory, removed with the object.
class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::string &path() const { return path_; }
    std::string file(const std::string &name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

// The next dialog this thread shows gets the command (IDCANCEL by default) as soon as it is up;
// the result is the title of the dialog that got it ("" while none did).
void CloseNextDialog(int command = IDCANCEL);
const std::string &ClosedDialogTitle();

void WriteFileText(const std::string &path, const std::string &text);
std::string ReadFileText(const std::string &path);

// Base fixture: state reset before and discarded after each test, message boxes captured.
class HostTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    MessageCapture boxes;
    TempDir dir;
};
