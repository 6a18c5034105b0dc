// State and plug-in calls shared by the button handlers and the move, Shift and hover handlers.
#pragma once
#include "draw/drawmouse.h"

struct DrawMouseState {
    int userClickMode = 1;
    bool checkMode = false;
    POINT lastGuide = {0, 0}; // where the last rubber-band or hover guide was drawn
    POINT click = {0, 0};     // the pending Click step or Click cancel
    bool hoverPending = false;
    ImageWindow *hoverWindow = nullptr;
    int hoverKeys = 0;
    POINT raw = {0, 0}; // client position of the last converted position
    bool colorPicking = false, shiftHeld = false;
    bool leftDown = false, rightDown = false, swallowLeftUp = false, swallowRightUp = false;
    bool guideBusy = false;
    bool pointGroupDrag = false;
    int grabbedSlot = -1, grabbedIndex = -1;
};
extern DrawMouseState g_mouse;

struct DrawPluginRecord;
// Interaction kind 3 takes the user's choice; every other kind is its own mode.
int EffectiveDrawMode(const DrawPluginRecord *row);
bool ShowsImage(const ImageWindow *window);
int MouseKeys(WPARAM wParam);

// The current plug-in's entries; an entry the method does not have is never called.
int PluginSetPoint(ImageWindow *window, int x, int y, int keys); // 4 without the entry
void PluginGuide(ImageWindow *window, int x, int y, int show, int refresh, int keys);
void PluginDrawIt(ImageWindow *window, int x, int y, int keys);
int PluginCancelOne(ImageWindow *window, int x, int y); // 4 without the entry
void RecordDrawStep(const char *word, int x, int y, int keys);
// The newest tablet pressure to the plug-in that made the pen; the tablet values out.
void SendPenPressure(int *tabletX, int *tabletY, int *pressure);
// Where a drag that left its window goes: the window itself, activated, or with
// AutoActivateWhenDrag off the current window, with the position taken from the cursor there.
ImageWindow *DragTargetWindow(ImageWindow *window, int *x, int *y);
// The stroke ends: queued packets dropped, and a pen changed by pressure given back.
void EndPenPressure();
