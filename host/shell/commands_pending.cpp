// Stand-ins for the handlers and queries of commands_pending.h: each does nothing until its
// subsystem is built. Handlers note their call; queries answer "none" without a note.
#include "shell/commands_pending.h"

static PendingCall s_last;

PendingCall LastPendingCall() { return s_last; }
void ClearPendingCall() { s_last = PendingCall{NULL, 0}; }

// open and save
// dialogs
// undo and redo
// regions, layers, display
// draw methods and the mouse
// effect and transform dialogs
// extension commands
// tool bar
