// The layer manager: the layers of the current image group as a list of five rows with their
// visibility, names and move handles, the current image's thumbnail, the current layer's opacity
// bar and blend mode, and buttons that make, remove, copy, trace and export layers. It keeps no
// layer data of its own: everything is read from the group and changed through the host.
#pragma once
#include "ovrin.h"
#include "toolwindow.h"

enum { kRows = 5, kCommandButtons = 6 };
enum { kButtonNew, kButtonDelete, kButtonCreate, kButtonCopy, kButtonTracing, kButtonExport };
enum { kOpacityMinus = 3000, kOpacityPlus = 3010, kBlendCombo = 2500, kRowScroll = 2000 };
// Posted by the paint that found a current layer its group does not list: the box comes after it.
enum { kUnknownStatusMessage = WM_APP + 1 };
// Commands the owner passes on to the main window.
enum { kCommandNewLayer = 32070, kCommandDeleteLayer = 32078, kCommandCopyRegion = 32056, kCommandPasteLayer = 32077 };

struct LayerManager {
    HINSTANCE instance;
    HWND window, owner, combo, scroll, tips;
    ImageGroup *group; // the group shown, NULL when none
    CDIB *image;       // its current image when last told
    int first;         // the lowest stack entry shown; entry 0 is the base image
    ToolButton buttons[kCommandButtons], handles[kRows];
    ToolButton *held;  // the button pressed and not yet released
    int heldHandle;    // row of the move handle held, -1 none
    bool opacityDrag;
    void *createHandle; // the draw method saved while "Create Layer" draws, NULL when not
    bool creating;
    LayerRecord *lostLayer; // the unlisted current layer last reported, NULL while the state is sound
    sw::Picture thumb, bar;
    HBRUSH face, halfFace, white, black, darkBlue;
    HFONT bigFont, smallFont;
    HBITMAP minus, plus, shown, hidden, handle, tools[kCommandButtons];
};
extern LayerManager g_lm;

// ---- the stack (lmstack.cpp) ----
// Entries count from the bottom: 0 the base image, k the k-th layer of the group's list.
ImageGroup *ShownGroup(); // the group shown while the host still lists it, else NULL
int CountEntries(ImageGroup *group);
LayerRecord *EntryLayer(ImageGroup *group, int entry); // NULL for the base or no such entry
int EntryStatus(ImageGroup *group, int entry);
CDIB *EntryImage(ImageGroup *group, int entry);
int CurrentEntry(ImageGroup *group); // the current layer's position, 0 for the base
LayerRecord *KnownCurrentLayer(ImageGroup *group); // the current layer when the group lists it
LayerRecord *LostCurrentLayer(ImageGroup *group);  // a current layer the group does not list, else NULL
int LargestFirst(ImageGroup *group); // the highest first visible entry: entries - 5, at least 0
int RowEntry(ImageGroup *group, int row); // the entry row 0 (top) to 4 shows, -1 for an empty row
void KeepCurrentLayerVisible(ImageGroup *group);
bool HandleVisible(ImageGroup *group, int row);

// ---- pictures and painting (lmpaint.cpp) ----
void RebuildThumbnail();
void DrawOpacityBar();
void PaintLayerManager(HWND window);

// ---- actions (lmactions.cpp) ----
void RunCommandButton(int which);
void ChangeOpacityBy(int step);
void SetOpacityAt(int x, int redraw);
void FollowNotification(ImageGroup *group, LayerRecord *layer, CDIB *image, int code);
void FollowCurrentWindow();
void DrawingUnlocked();

// ---- the window (lmwindow.cpp) ----
HWND CreateLayerManagerWindow(HINSTANCE instance, HWND owner, int x, int y);
void UpdateControls(); // blend combo and scroll bar after the group changed
void FreeLayerManager();
