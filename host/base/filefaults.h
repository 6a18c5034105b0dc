// Bad lines of a text file that the program reads again and again (the menu files on every menu
// rebuild, the key map): one read reports its file once, in one box that names the file and its
// first few bad lines, and a file that was reported is not reported again until it changes.
#pragma once
#include <windows.h>

enum { kFaultLinesShown = 5, kFaultPathBytes = 1280 };

struct FileFaults {
    char path[kFaultPathBytes];
    HWND owner;
    int line;       // the line being read, counted from 1
    int count;      // bad lines found in this read
    bool quiet;     // this file, as it is now, was reported before
    bool ownBatch;  // the message batch was switched on for this read
};

// Starts the read of path; messages of the read are collected in the message batch.
void BeginFileFaults(FileFaults *faults, const char *path, HWND owner);
void NextFaultLine(FileFaults *faults); // the next line is being read
// Message number (with its text argument, or none) for the line being read.
void ReportFaultLine(FileFaults *faults, int number, const char *arg);
// Ends the read: the collected report in one box, unless a batch that was already on keeps it.
void EndFileFaults(FileFaults *faults);
// A file that cannot be read at all: message number told once (collected like a bad line), and
// not again while the file stays as it is, missing or not.
void ReportUnreadableFile(const char *path, HWND owner, int number);
// Every file may be reported again.
void ForgetReportedFiles();
