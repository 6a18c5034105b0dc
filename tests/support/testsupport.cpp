#include "testsupport.h"
#include "base/recent.h"
#include "draw/drawmouse.h"
#include "draw/drawsel.h"
#include "image/cdib.h"
#include "image/colors.h"
#include "image/dirtyrect.h"
#include "image/group.h"
#include "image/imagelist.h"
#include "image/lighting.h"
#include "base/app.h"
#include "base/filefaults.h"
#include "base/settings.h"
#include "base/messages.h"
#include "base/msgbox.h"
#include "base/sysinfo.h"
#include "view/winlist.h"
#include "view/writers.h"
#include "plugins/effectdlg_internal.h"
#include "files/openimage.h"
#include "files/save.h"
#include "shell/receivers.h"
#include "shell/winproc.h"
#include <stdio.h>
#include <stdlib.h>
#include <fstream>
#include <sstream>

static MessageCapture *s_capture;
static char s_startDirectory[MAX_PATH]; // test data paths without a drive lean on it

static int CaptureHook(HWND, const char *text, const char *caption, UINT type)
{
    if (!s_capture) {
        // No capture: never block a test run on a box nobody answers.
        fprintf(stderr, "message box [%s] %s\n", caption, text);
        return (type & 0xF) == MB_OK ? IDOK : IDCANCEL;
    }
    s_capture->boxes.push_back({text, caption, type});
    if ((type & 0xF) == MB_OK)
        return IDOK;
    if (s_capture->answers.empty())
        return IDCANCEL;
    int answer = s_capture->answers.front();
    s_capture->answers.pop_front();
    return answer;
}

MessageCapture::MessageCapture()
{
    s_capture = this;
    SetMessageBoxHook(CaptureHook);
}

MessageCapture::~MessageCapture()
{
    if (s_capture == this)
        s_capture = nullptr;
}

void DiscardAllImages()
{
    // Windows first: they point at groups.
    while (g_firstWindow) {
        ImageWindow *w = g_firstWindow;
        g_firstWindow = w->next;
        if (w->window)
            DestroyWindow(w->window);
        FreeImageStore(&w->display);
        free(w->editMask);
        free(w->drawBuffer);
        free(w->coverage);
        free(w);
    }
    g_lastWindow = g_currentWindow = nullptr;
    g_currentWindowHandle = nullptr;
    g_noWindowState = false;
    while (g_firstGroup) {
        ImageGroup *g = g_firstGroup;
        g_firstGroup = g->next;
        for (LayerRecord *l = g->firstLayer; l;) {
            LayerRecord *next = l->next;
            free(l);
            l = next;
        }
        free(g);
    }
    g_lastGroup = g_currentGroup = nullptr;
    g_currentLayer = nullptr;
    // Deleted layers' images are listed too and go below: the queue must not free them again.
    ForgetDeletedImages();
    while (g_firstImage) {
        CDIB *image = g_firstImage;
        g_firstImage = image->next;
        FreeImageData(image);
        free(image);
    }
    g_lastImage = g_currentImage = nullptr;
}

void ResetProgramState(const char *appDir)
{
    InstallNotifyReceivers(); // a test that set its own receivers leaves the program's for the next
    if (s_startDirectory[0])
        SetCurrentDirectoryA(s_startDirectory); // the open dialog moves it
    DiscardAllImages();
    SetMemoryStatusOverride(nullptr);
    SetScreenDepthOverride(0);
    // The display as the program starts before it asks the screen: 32 bits, no dither.
    g_screenDepth = 32;
    g_displayWrite = DisplayWriteContext{WritePixel32, 0, 32};
    SetDefaultColors();
    SetDefaultLighting();
    SetNewImageBackColor(0);
    ForgetOpenState();
    SetSaveFormat(kFormatMr2);
    SetSaveDepth(32);
    SetSaveHighQuality(1); // a fill service notes its mode for the next new image
    char dir[MAX_PATH];
    if (!appDir) {
        GetTempPathA(sizeof dir, dir);
        size_t n = strlen(dir);
        if (n && dir[n - 1] == '\\')
            dir[n - 1] = 0;
        appDir = dir;
    }
    SetDefaultSettings(appDir);
    ResetMessageBatch();
    SetMessageBatching(false);
    ForgetReportedFiles();
    FreeMessageTranslations();
    FreeRecentFiles();
    ForgetQuitAnswer();
    SetQuitInProgress(false);
    g_ignoreNextLeftRelease = false;
    ResetDrawMachinery();
    ResetDrawSelection();
    QzsInitPoint();
    ClearDirtyRect();
    // The effect dialog remembers its last effect and scroll position for the next time it opens.
    FreePreviewImages();
    g_effectDlg = EffectDialogState();
    g_instance = GetModuleHandleA(nullptr);
}

TempDir::TempDir()
{
    char base[MAX_PATH];
    GetTempPathA(sizeof base, base);
    // Process ids come back soon under Wine, and a directory an earlier run could not remove
    // (a module still mapped) must never be taken over: only a directory made here is used.
    static int counter;
    char name[MAX_PATH];
    do
        snprintf(name, sizeof name, "%sovrin-test-%lu-%lu-%d", base, GetCurrentProcessId(), GetTickCount(), counter++);
    while (!CreateDirectoryA(name, nullptr) && GetLastError() == ERROR_ALREADY_EXISTS);
    path_ = name;
}

static void RemoveTree(const std::string &dir)
{
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::string name = fd.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string full = dir + "\\" + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(full);
            else
                DeleteFileA(full.c_str());
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryA(dir.c_str());
}

TempDir::~TempDir()
{
    RemoveTree(path_);
}

namespace {
std::function<void(HWND)> s_drive;
UINT_PTR s_driveTimer;
std::string s_closedTitle;

BOOL CALLBACK FindDialog(HWND window, LPARAM found)
{
    char cls[16];
    GetClassNameA(window, cls, sizeof cls);
    if (strcmp(cls, "#32770") == 0 && IsWindowVisible(window)) {
        *(HWND *)found = window;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK DriveTimer(HWND, UINT, UINT_PTR, DWORD)
{
    HWND dialog = FindShownDialog();
    if (!dialog)
        return;
    StopDrivingDialogs();
    std::function<void(HWND)> drive = std::move(s_drive);
    if (drive)
        drive(dialog);
}
} // namespace

HWND FindShownDialog()
{
    HWND dialog = NULL;
    EnumThreadWindows(GetCurrentThreadId(), FindDialog, (LPARAM)&dialog);
    return dialog;
}

struct TitledSearch {
    const char *cls, *title;
    HWND hit;
};

static BOOL CALLBACK MatchTitled(HWND w, LPARAM p)
{
    TitledSearch *s = (TitledSearch *)p;
    char cls[64] = "", title[256] = "";
    GetClassNameA(w, cls, sizeof cls);
    GetWindowTextA(w, title, sizeof title);
    if (strcmp(cls, s->cls) == 0 && strcmp(title, s->title) == 0) {
        s->hit = w;
        return FALSE;
    }
    return TRUE;
}

HWND FindOwnWindow(const char *cls, const char *title)
{
    TitledSearch s = {cls, title, NULL};
    EnumThreadWindows(GetCurrentThreadId(), MatchTitled, (LPARAM)&s);
    return s.hit;
}

struct DescendantSearch {
    int id;
    HWND hit;
};

// A named CALLBACK: a lambda would have the C convention on 32-bit builds.
static BOOL CALLBACK MatchDescendant(HWND w, LPARAM p)
{
    DescendantSearch *s = (DescendantSearch *)p;
    if (GetDlgCtrlID(w) == s->id) {
        s->hit = w;
        return FALSE;
    }
    return TRUE;
}

HWND FindDescendant(HWND parent, int id)
{
    DescendantSearch s = {id, NULL};
    EnumChildWindows(parent, MatchDescendant, (LPARAM)&s);
    return s.hit;
}

std::string MessageBoxText(HWND box)
{
    char t[256] = "";
    for (HWND c = NULL; !t[0] && (c = FindWindowExA(box, c, "Static", NULL)) != NULL;)
        GetWindowTextA(c, t, sizeof t);
    return t;
}

void DriveNextDialog(std::function<void(HWND)> drive, UINT period)
{
    StopDrivingDialogs();
    s_drive = std::move(drive);
    s_driveTimer = SetTimer(NULL, 0, period, DriveTimer);
}

void StopDrivingDialogs()
{
    if (s_driveTimer)
        KillTimer(NULL, s_driveTimer);
    s_driveTimer = 0;
}

void CloseNextDialog(int command)
{
    s_closedTitle.clear();
    DriveNextDialog([command](HWND dialog) {
        char title[128];
        GetWindowTextA(dialog, title, sizeof title);
        s_closedTitle = title;
        PostMessageA(dialog, WM_COMMAND, (WPARAM)command, 0);
    });
}

const std::string &ClosedDialogTitle()
{
    return s_closedTitle;
}

void WriteFileText(const std::string &path, const std::string &text)
{
    std::ofstream out(path, std::ios::binary);
    out << text;
}

std::string ReadFileText(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void HostTest::SetUp()
{
    ResetProgramState(dir.path().c_str());
}

void HostTest::TearDown()
{
    DiscardAllImages();
}

static BOOL CALLBACK DestroyOwnWindow(HWND window, LPARAM)
{
    DestroyWindow(window);
    return TRUE;
}

// What a test leaves of this thread: its windows (a dialog it did not close, a window it made),
// the dialog driver it armed and the messages nobody took (a quit request, a posted command).
void DiscardThreadLeftovers()
{
    StopDrivingDialogs();
    s_drive = nullptr;
    s_closedTitle.clear();
    EnumThreadWindows(GetCurrentThreadId(), DestroyOwnWindow, 0);
    // Dropped, not dispatched: a timer's callback may point into a finished test.
    MSG msg;
    for (int n = 0; n < 100000 && PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE); n++) {
    }
}

namespace {
// All tests of a program can run in one process, in any order: each starts on a fresh program
// state whatever its fixture, and what it left of this thread goes when it ends.
class FreshStateForEachTest : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo &) override { ResetProgramState(); }
    void OnTestEnd(const ::testing::TestInfo &) override
    {
        DiscardThreadLeftovers();
        DiscardAllImages();
    }
};
} // namespace

int main(int argc, char **argv)
{
    SetMessageBoxHook(CaptureHook);
    DWORD n = GetCurrentDirectoryA(sizeof s_startDirectory, s_startDirectory);
    if (n == 0 || n >= sizeof s_startDirectory)
        s_startDirectory[0] = 0;
    g_instance = GetModuleHandleA(nullptr);
    InstallNotifyReceivers();
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshStateForEachTest);
    return RUN_ALL_TESTS();
}
