// Sub-window plug-ins: their table, notifications and docking.
#pragma once
#include "ovrin.h"

void BroadcastImageChanged(ImageGroup *group, LayerRecord *layer, CDIB *image, int code);
void BroadcastImageListChanged();
void BroadcastImageGroupListChanged();
void BroadcastColorChanged(int slot);
void SendSubWindowMessage(HWND window, int code, INT_PTR a, INT_PTR b); // to the plug-in owning window
void CreateSubWindows();
void ShowSubWindows();
int IsSubWindowDialogMessage(MSG *message);
// Calls the pen-making entry of the sub-window plug-in of that name (the first that has one when
// name is NULL) with the pen code and remembers it as the pen creator; 0 when none was called.
int CallSubWindowPenMaker(const char *name, const char *code);
void RememberPenCreator(HWND window); // the window of the plug-in that made the current pen
HWND GetPenCreatorWindow();           // NULL when no plug-in made it
// The pen-making entry of the plug-in owning that window with the code; 0 when there is none.
int MakePenInSubWindow(HWND window, char *code);
void BroadcastPenChanged(INT_PTR source, PenRecord *pen); // QzcChangePen of every sub-window plug-in
void BroadcastDrawChanged(int row);                       // QzcChangeDraw of every sub-window plug-in
// The name of the sub-window plug-in that made the current pen, or "".
const char *PenCreatorPluginName();
// The name shown for a sub-window plug-in: the translated one in language mode.
const char *SubWindowDisplayName(int row);
void ToggleSubWindow(int row);
// QzcChangeActiveRegion of every sub-window plug-in.
void BroadcastActiveRegionChanged(int bits);
// QzcReceiveMessage (code, a, b) of every sub-window plug-in; code 6 after undo, redo and commits.
void BroadcastReceiveMessage(int code, INT_PTR a, INT_PTR b);
