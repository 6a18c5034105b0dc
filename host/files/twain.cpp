// The TWAIN session: loading the source manager, the state steps up (open manager, open source,
// enable) and down again, and the error record. Acquisition itself is in twain_acquire.cpp.
#include "files/twain.h"
#include "files/twain_internal.h"
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

struct Session {
    int state = 1;
    HMODULE module;
    DsmEntryProc entry;
    int available; // 0 not asked, 1 available, -1 not
    TwIdentity app, source;
    HWND parent;
    int hideUI;
    uint16_t lastRc;
    int errorCode, errorRc, errorCc;
    bool directorySet;
    char directory[MAX_PATH];
    void (*observer)(int);
    bool exitHandled;
} s;

void SetState(int state)
{
    if (state == s.state)
        return;
    s.state = state;
    char line[32];
    snprintf(line, sizeof line, "TWAIN:State %d\n", state);
    OutputDebugStringA(line);
    if (s.observer)
        s.observer(state);
}

void FillIdentity(TwIdentity *id)
{
    memset(id, 0, sizeof *id);
    id->version.majorNum = 1;
    id->version.minorNum = 0;
    id->version.language = 13;
    id->version.country = 1;
    strcpy(id->version.info, "<?>");
    id->protocolMajor = 1;
    id->protocolMinor = 6;
    id->supportedGroups = kDgControl | kDgImage;
    strcpy(id->manufacturer, "<?>");
    strcpy(id->productFamily, "<?>");
    strcpy(id->productName, "<?>");
}

void UnloadOnExit()
{
    TwainUnloadAtExit(NULL, 0, NULL);
}

bool ManagerPath(char *path, size_t size)
{
    char dir[MAX_PATH];
    if (s.directorySet) {
        snprintf(dir, sizeof dir, "%s", s.directory);
    } else {
#ifdef _WIN64
        UINT n = GetSystemDirectoryA(dir, sizeof dir);
#else
        UINT n = GetWindowsDirectoryA(dir, sizeof dir);
#endif
        if (n == 0 || n >= sizeof dir)
            return false;
    }
    size_t n = strlen(dir);
    const char *separator = n > 0 && dir[n - 1] == ':' ? "" : "\\";
    return (size_t)snprintf(path, size, "%s%s%s", dir, separator, TWAIN_MANAGER_NAME) < size;
}

} // namespace

// ---- loading ----

static bool LoadManager()
{
    if (s.state >= 2)
        return true;
    char path[MAX_PATH + 32];
    if (!ManagerPath(path, sizeof path))
        return false;
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    s.module = LoadLibraryA(path);
    if (!s.module)
        return false;
    s.entry = (DsmEntryProc)(void *)GetProcAddress(s.module, "DSM_Entry");
    if (!s.entry) {
        FreeLibrary(s.module);
        s.module = NULL;
        return false;
    }
    if (!s.exitHandled) {
        s.exitHandled = true;
        atexit(UnloadOnExit);
    }
    FillIdentity(&s.app);
    SetState(2);
    return true;
}

static void UnloadManager()
{
    if (s.module)
        FreeLibrary(s.module);
    s.module = NULL;
    s.entry = NULL;
    SetState(1);
}

int IsTwainAvailable()
{
    if (s.available == 0) {
        if (s.state >= 2) {
            s.available = 1;
        } else if (LoadManager()) {
            s.available = 1;
            UnloadManager();
        } else {
            s.available = -1;
        }
    }
    return s.available > 0;
}

int WINAPI TwainUnloadAtExit(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == 0 && s.module) {
        FreeLibrary(s.module);
        s.module = NULL;
        s.entry = NULL;
    }
    return 1;
}

// ---- calls and errors ----

uint16_t CallTwainManager(TwIdentity *dest, uint32_t group, uint16_t dat, uint16_t msg, void *data)
{
    s.lastRc = s.entry ? s.entry(&s.app, dest, group, dat, msg, data) : (uint16_t)kRcFailure;
    return s.lastRc;
}

TwIdentity *TwainSourceIdentity()
{
    return &s.source;
}

// The condition code behind the last failure: from the source once one is open, from the manager
// while only it is open; the last return code is kept.
static int ConditionCode()
{
    if (!s.entry || s.state < 3)
        return kCcSeqError;
    TwStatus status = {};
    uint16_t rc = s.entry(&s.app, s.state >= 4 ? &s.source : NULL, kDgControl, kDatStatus, kMsgGet, &status);
    return rc == kRcSuccess ? (int)status.conditionCode : (int)kCcBummer;
}

void RecordTwainError(int code)
{
    if (s.errorCode != 0)
        return;
    s.errorCode = code;
    s.errorRc = s.lastRc;
    s.errorCc = ConditionCode();
}

void GetTwainRecordedError(int *code, int *rc, int *cc)
{
    *code = s.errorCode;
    *rc = s.errorRc;
    *cc = s.errorCc;
}

void ClearTwainError()
{
    s.errorCode = s.errorRc = s.errorCc = 0;
}

// ---- state steps ----

void SetTwainParent(HWND parent)
{
    s.parent = parent;
}

HWND GetTwainParent()
{
    return s.parent;
}

bool OpenTwainManager()
{
    if (s.state >= 3)
        return true;
    if (!LoadManager())
        return false;
    HWND parent = s.parent;
    if (CallTwainManager(NULL, kDgControl, kDatParent, kMsgOpenDsm, &parent) != kRcSuccess) {
        RecordTwainError(kTwainErrDsm);
        return false;
    }
    SetState(3);
    return true;
}

void CloseTwainManager()
{
    if (s.state != 3)
        return;
    HWND parent = s.parent;
    if (CallTwainManager(NULL, kDgControl, kDatParent, kMsgCloseDsm, &parent) == kRcSuccess)
        SetState(2);
}

bool OpenTwainSource()
{
    if (s.state >= 4)
        return true;
    if (s.state != 3)
        return false;
    // Id 0 and no product name: the default source.
    memset(&s.source, 0, sizeof s.source);
    if (CallTwainManager(NULL, kDgControl, kDatIdentity, kMsgOpenDs, &s.source) != kRcSuccess) {
        RecordTwainError(kTwainErrDsm);
        return false;
    }
    SetState(4);
    return true;
}

void CloseTwainSource()
{
    if (s.state != 4)
        return;
    if (CallTwainManager(NULL, kDgControl, kDatIdentity, kMsgCloseDs, &s.source) == kRcSuccess)
        SetState(3);
}

bool EnableTwainSource()
{
    if (s.state != 4)
        return false;
    TwUserInterface ui = {};
    ui.showUI = s.hideUI ? 0 : 1;
    ui.parent = s.parent;
    uint16_t rc = CallTwainManager(&s.source, kDgControl, kDatUserInterface, kMsgEnableDs, &ui);
    // "Check status": the source could not hide its dialog and shows it.
    if (rc != kRcSuccess && rc != kRcCheckStatus) {
        RecordTwainError(kTwainErrDs);
        return false;
    }
    SetState(5);
    return true;
}

void DisableTwainSource()
{
    if (s.state != 5)
        return;
    TwUserInterface ui = {};
    ui.parent = s.parent;
    if (CallTwainManager(&s.source, kDgControl, kDatUserInterface, kMsgDisableDs, &ui) == kRcSuccess)
        SetState(4);
}

void EndTwainTransfer()
{
    if (s.state != 6 && s.state != 7)
        return;
    TwPendingXfers pending = {};
    if (CallTwainManager(&s.source, kDgControl, kDatPendingXfers, kMsgEndXfer, &pending) == kRcSuccess)
        SetState(pending.count == 0 ? 5 : 6);
}

void ResetTwainTransfers()
{
    if (s.state != 6)
        return;
    TwPendingXfers pending = {};
    if (CallTwainManager(&s.source, kDgControl, kDatPendingXfers, kMsgReset, &pending) == kRcSuccess)
        SetState(5);
}

void SetTwainTransferState(int state)
{
    SetState(state);
}

// Down to state 1 whatever fails on the way: the manager is unloaded in the end.
void CloseTwainSession()
{
    if (s.state == 7)
        EndTwainTransfer();
    if (s.state == 6)
        ResetTwainTransfers();
    if (s.state == 5)
        DisableTwainSource();
    if (s.state == 4)
        CloseTwainSource();
    if (s.state == 3)
        CloseTwainManager();
    UnloadManager();
}

// Back to an earlier state (at least 1) after an operation that stepped up.
void ReturnTwainToState(int state)
{
    if (state <= 1) {
        CloseTwainSession();
        return;
    }
    if (s.state > 4 && state <= 4)
        DisableTwainSource();
    if (s.state == 4 && state < 4)
        CloseTwainSource();
    if (s.state == 3 && state < 3)
        CloseTwainManager();
}

// ---- settings and state ----

int GetTwainState()
{
    return s.state;
}

void SetTwainHideUI(int hide)
{
    s.hideUI = hide ? 1 : 0;
}

int GetTwainHideUI()
{
    return s.hideUI;
}

void SetTwainManagerDirectory(const char *directory)
{
    s.directorySet = directory != NULL;
    snprintf(s.directory, sizeof s.directory, "%s", directory ? directory : "");
    s.available = 0;
}

void SetTwainStateObserver(void (*observer)(int state))
{
    s.observer = observer;
}
