// Sub-window plug-ins: their windows, shown flags, tool buttons and menu checks, the notifications
// they hear, the messages the host sends them, the pen maker among them, and docking.
#pragma once
#include "ovrin.h"

enum { kSubWindowMenuFirst = 32301 }; // menu item and command of row i: 32301 + i

// ---- windows and their state (loader_subwin.cpp, subwin_table.cpp) ----
// QzcShowDlg of every loaded row without a window; a row whose window fails is removed.
void CreateSubWindows();
void ShowSubWindows(); // the windows of the rows marked shown
// The main loop's filter: 1 when the window of a row whose info asks for dialog messages took it.
int IsSubWindowDialogMessage(MSG *message);
void CheckSubWindowMenuItem(int row);       // main-menu item 32301 + row follows the shown flag
int FindSubWindowByName(const char *name);  // the row of that display name, -1 when none
int FindSubWindowByWindow(HWND window);     // the row of that window, -10 when none
void ToggleSubWindow(int row);
// Shown flag, window, tool button and menu check of the row, all in step; the main window repaints.
void SetSubWindowShown(int row, int on);
// The name shown for a sub-window plug-in: the translated one in language mode.
const char *SubWindowDisplayName(int row);

// ---- notifications (subwin_notify.cpp) ----
// Broadcasts visit every row of the table and call the entry where a row has one.
void BroadcastImageChanged(ImageGroup *group, LayerRecord *layer, CDIB *image, int code);
void BroadcastImageListChanged();
void BroadcastImageGroupListChanged();
void BroadcastDrawChanged(int index);
void BroadcastColorChanged(int slot);
void BroadcastPenChanged(INT_PTR source, PenRecord *pen);
void BroadcastGetDirectory(INT_PTR a, INT_PTR b); // with the host's directory file list
void BroadcastActiveRegionChanged(int bits);
// QzcReceiveMessage (code, a, b) of every row; the sender is not passed on.
void BroadcastSubWindowMessage(int code, INT_PTR a = 0, INT_PTR b = 0);
// QzcReceiveMessage of the plug-in owning window; nothing when no row has it.
void SendSubWindowMessage(HWND window, int code, INT_PTR a = 0, INT_PTR b = 0);
// Notification 1024 (a, b) to every control of a panel; the colour panel's values then go to the
// functional colour of colour record 0 again.
void NotifyParameterPanel(HWND sender, ParameterPanel *panel, INT_PTR a, INT_PTR b);
void NotifyDrawAndColorPanels(INT_PTR a, INT_PTR b); // the colour panel, then the draw panel
// True while the host is inside a call into a sub-window plug-in: unloading plug-ins now would free
// code that is still running, so reloading and quitting wait for the call to return.
bool InSubWindowCall();
struct SubWindowCallScope { // marks one call into a plug-in for InSubWindowCall
    SubWindowCallScope();
    ~SubWindowCallScope();
};

// ---- the pen maker (subwin_pen.cpp) ----
// Calls the pen-making entry of the sub-window plug-in of that name (the first that has one when
// name is NULL) with the pen code and remembers it as the pen maker; 0 when none was called.
int CallSubWindowPenMaker(const char *name, const char *code);
void RememberPenCreator(HWND window); // the window of the plug-in that made the current pen
HWND GetPenCreatorWindow();           // NULL when no plug-in made it
// The pen-making entry of the plug-in owning that window with the code; 0 when there is none.
int MakePenInSubWindow(HWND window, char *code);
// The name of the sub-window plug-in that made the current pen, or "".
const char *PenCreatorPluginName();
// Tablet pressure to the pen maker (message 11); max 0 when a stroke ends.
void SendPenPressure(int pressure, int max);

// ---- docking (subwin_dock.cpp) ----
// Both on at start: docked clip windows follow a sub-window that moves, and rise with it.
void SetDockMoveAlong(int flag);
void SetDockRaiseAlong(int flag);
