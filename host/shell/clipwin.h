// Clip windows: small button bars to which sub-window plug-ins dock. Each member hangs directly
// below its bar; the bar's buttons choose which member is shown, so several tool windows share one
// place on the screen.
#pragma once
#include "ovrin.h"

struct ClipMember {
    HWND window;      // the docked tool window
    HBITMAP bitmap;   // its tool-button bitmap
    int32_t reserved; // always 0
    ClipMember *next;
};

struct ClipWindow {
    HWND window;
    ClipMember *first;
    ClipMember *active; // the member shown, or none
    int32_t rightEdge;  // 1: members align to the bar's right edge
    ClipWindow *next;
};

// Bar geometry in client pixels.
enum { kClipGrip = 16, kClipButton = 23, kClipHeight = 23, kMostClipWindows = 64 };
inline int ClipClientWidth(int members) { return (members + 1) * kClipButton + kClipGrip; }

int RegisterClipWindowClass();
// A bar at screen (x, y), shown and appended to the list; NULL after the "SysError" box.
ClipWindow *CreateClipWindow(HWND owner, int x, int y, int rightEdge);
ClipWindow *FirstClipWindow();
ClipWindow *FindClipWindow(HWND window);
int CountClipMembers(const ClipWindow *clip);
ClipMember *ClipMemberAt(const ClipWindow *clip, int index); // NULL past the last
// Sub-window row into the bar: it becomes the active member and is shown.
void DockSubWindow(ClipWindow *clip, int row);
void ReleaseClipMember(ClipWindow *clip, ClipMember *member);
void DisposeClip(ClipWindow *clip);
// The active member is hidden, then member shown or hidden; it is active only when shown.
void SetActiveClipMember(ClipWindow *clip, ClipMember *member, int show, int redraw);
void PlaceClipMembers(ClipWindow *clip);
void ToggleClipPosition(ClipWindow *clip); // members to the other edge
void MoveClipWindowsToSide();              // every bar to the left or right screen edge
// The bars a window is a member of, at most capacity, with their right-edge flags; the count.
int ClipWindowsOfMember(HWND member, HWND *clips, int *rightEdge, int capacity);

// The layout file ("clipwin.dat" in the Stat directory).
void RestoreClipWindowLayout(); // at start-up; a malformed file gives the "EE" box
void SaveClipWindowLayout();    // at quit; every bar is disposed afterwards
void RestoreClipWindowsFrom(const char *path);
int SaveClipWindowsTo(const char *path); // 1 written
