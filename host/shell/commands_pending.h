// Handlers and queries that commands and menus call in subsystems not built yet. Every one lives in
// commands_pending.cpp and does nothing (or answers "none"); the subsystem that builds it moves it
// into its own files and its own header.
#pragma once
#include "ovrin.h"

// open and save (images, layers, recent files, wallpaper)
// dialogs
// undo and redo
// regions, layers, display
// draw methods and the mouse
// effect and transform dialogs
// extension commands
// tool bar

// The last stand-in reached, with its first whole-number argument: lets a run tell which handler
// a command went to while the handler is still a stand-in.
struct PendingCall {
    const char *handler; // NULL when none since the last clear
    INT_PTR arg;
};
PendingCall LastPendingCall();
void ClearPendingCall();
