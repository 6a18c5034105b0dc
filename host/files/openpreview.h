// The open dialog's preview: a small "Thumb" window beside the dialog shows the selected file,
// read and drawn by the program's one worker thread, which every selection change stops and
// starts anew and which is always ended before the dialog closes.
#pragma once
#include "ovrin.h"

UINT_PTR CALLBACK OpenDialogHook(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// The preview's reading progress: its own bar in the preview window; 1 (stop reading) once a
// newer selection asks for it.
int QZCAPI ShowPreviewProgress(int done, int total, int reserved);
HWND CreateThumbWindow(HWND owner, int x, int y);
void PlaceWindowAtOffset(HWND window, HWND reference, int dx, int dy);

// For the preview window's procedure: its picture after a repaint, and its end (the thread that
// draws into it stops first).
void PaintPreviewThumbnail(HWND window);
void ReleasePreviewWindow(HWND window);

// What the preview did, for the tests.
struct PreviewRuns {
    int started, drawn, empty, stopped;
};
PreviewRuns GetPreviewRuns();
bool IsPreviewThreadRunning();
const CDIB *GetPreviewThumbnail(); // NULL while no dialog shows one
HWND GetPreviewWindow();
