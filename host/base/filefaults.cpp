#include "base/filefaults.h"
#include "base/messages.h"
#include "base/msgbox.h"
#include "base/textutil.h"
#include <stdio.h>
#include <string.h>

namespace {

// A file stays the same file as long as its size and its time of writing stay.
struct FileIdentity {
    bool exists;
    ULONGLONG size;
    FILETIME written;
};

struct ReportedFile {
    char path[kFaultPathBytes];
    FileIdentity identity;
};

enum { kReportedFiles = 16 };
ReportedFile s_reported[kReportedFiles];
int s_nextSlot;

FileIdentity Identify(const char *path)
{
    FileIdentity id = {};
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (GetFileAttributesExA(path, GetFileExInfoStandard, &data)) {
        id.exists = true;
        id.size = (ULONGLONG)data.nFileSizeHigh << 32 | data.nFileSizeLow;
        id.written = data.ftLastWriteTime;
    }
    return id;
}

bool Same(const FileIdentity &a, const FileIdentity &b)
{
    return a.exists == b.exists && a.size == b.size && CompareFileTime(&a.written, &b.written) == 0;
}

ReportedFile *FindReported(const char *path)
{
    for (ReportedFile &r : s_reported)
        if (r.path[0] && CompareTextNoCase(r.path, path) == 0)
            return &r;
    return NULL;
}

} // namespace

void BeginFileFaults(FileFaults *faults, const char *path, HWND owner)
{
    CopyText(faults->path, sizeof faults->path, path);
    faults->owner = owner;
    faults->line = 0;
    faults->count = 0;
    const ReportedFile *before = FindReported(faults->path);
    faults->quiet = before && Same(before->identity, Identify(faults->path));
    faults->ownBatch = !IsMessageBatching();
    if (faults->ownBatch) {
        ResetMessageBatch();
        SetMessageBatching(true);
    }
}

void NextFaultLine(FileFaults *faults)
{
    faults->line++;
}

void ReportFaultLine(FileFaults *faults, int number, const char *arg)
{
    faults->count++;
    if (faults->quiet || faults->count > kFaultLinesShown)
        return;
    if (faults->count == 1) {
        char shown[160];
        CopyTextForDisplay(shown, sizeof shown, faults->path);
        CollectMessage(shown);
    }
    char text[kFormatBytes + 32], cut[200];
    snprintf(text, sizeof text, "line %d: %s", faults->line, FormatMessageText(number, arg));
    CopyText(cut, sizeof cut, text);
    CollectMessage(cut);
}

void EndFileFaults(FileFaults *faults)
{
    if (!faults->quiet && faults->count > kFaultLinesShown) {
        char more[64];
        snprintf(more, sizeof more, "(%d more bad lines)", faults->count - kFaultLinesShown);
        CollectMessage(more);
    }
    ReportedFile *slot = FindReported(faults->path);
    if (faults->count == 0 && slot) {
        slot->path[0] = 0; // a sound file: should it go bad again, that is news
    } else if (faults->count > 0 && !faults->quiet) {
        if (!slot) {
            slot = &s_reported[s_nextSlot];
            s_nextSlot = (s_nextSlot + 1) % kReportedFiles;
        }
        CopyText(slot->path, sizeof slot->path, faults->path);
        slot->identity = Identify(faults->path);
    }
    if (faults->ownBatch) {
        SetMessageBatching(false);
        if (MessageBatchCount() > 0)
            AppMessageBox(faults->owner, MessageBatchText(), "Error", MB_OK);
        ResetMessageBatch();
    }
}

void ReportUnreadableFile(const char *path, HWND owner, int number)
{
    FileFaults faults;
    BeginFileFaults(&faults, path, owner);
    faults.count++;
    if (!faults.quiet)
        ShowErrorMessage(owner, number);
    EndFileFaults(&faults);
}

void ForgetReportedFiles()
{
    memset(s_reported, 0, sizeof s_reported);
    s_nextSlot = 0;
}
