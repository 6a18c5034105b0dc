// Support for the tests: message boxes captured and answered, program state reset, temporary
// directories.
#pragma once
#include "ovrin.h"
#include <gtest/gtest.h>
#include <deque>
#include <functional>
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
// Destroys this thread's windows, stops the dialog driver and drops unanswered messages. Every
// test gets this when it ends, and a fresh program state when it starts.
void DiscardThreadLeftovers();

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

// Modal dialogs are driven from a timer of this thread: the next dialog this thread shows is
// handed to drive as soon as it is visible. The timer is stopped when it has been handed over.
void DriveNextDialog(std::function<void(HWND dialog)> drive, UINT period = 20);
void StopDrivingDialogs();
// The next dialog gets the command (IDCANCEL by default); ClosedDialogTitle is its title ("" while
// none got it).
void CloseNextDialog(int command = IDCANCEL);
const std::string &ClosedDialogTitle();
HWND FindShownDialog();                   // a visible dialog of this thread, or NULL
// A top-level window of this thread with that class and title: tests run side by side on one
// display, so a search over every window could find another test's.
HWND FindOwnWindow(const char *cls, const char *title);
HWND FindDescendant(HWND parent, int id); // a child at any depth with that id, or NULL
std::string MessageBoxText(HWND box);     // a message box's text: its first static with any

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
