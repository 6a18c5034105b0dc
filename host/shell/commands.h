// The command dispatcher and the command table: every WM_COMMAND identifier of the program reaches
// its handler here, and menu files and the key map name commands through the table.
#pragma once
#include "ovrin.h"
#include "base/app.h"

enum {
    kCommandOpenBrowseWindow = 32028,
    kCommandCloseWindow = 32029,
    kCommandCloseImage = 32026,
    kCommandNewImage = 32016,
    kCommandOpenImage = 32017,
    kCommandQuitProgram = 32032,
    kCommandAdjustWindow = 32025,
    kCommandCloseAllImage = 32076,
    kCommandDumpLayer = 20001,
    kCommandSecondStartId = 32690,
    kCommandImageList = 32030,
    kCommandUndo = 32034,
    kCommandRedo = 32035,
    kCommandRegionUndo = 32074,
    kCommandRegionRedo = 32075,
    kCommandMaskDisplay = 32036,
    kCommandSwitchDither = 32033,
    kCommandGrid = 32044,
    kCommandCheckMode = 32086,
};

// Identifier ranges decoded by the dispatcher and filled by the menu lists. Draw methods cover
// their whole table, so every item a menu lists does something. The menu lists every sub-window
// row but only the first 40 have a command: later rows are shown and hidden by their tool buttons.
enum {
    kFirstSubWindowCommand = 32301, kSubWindowCommands = 40, kSubWindowMenuRows = 100,
    kFirstDrawCommand = 32161, kDrawCommands = 80, kDrawMenuRows = 80,
    kFirstWindowCommand = 32401, kWindowCommands = 10,
    kFirstLayerCommand = 33001, kLayerCommands = 40,
    kFirstRecentCommand = 34001, kRecentCommands = 10,
    kFirstKeyCommand = 25000, kLastKeyCommand = 28000,
};

// One row of the command table.
struct CommandEntry {
    const char *name;  // matched exactly
    uint32_t id;       // the WM_COMMAND identifier (low 16 bits)
    const char *label; // English menu caption
};

enum { kCommandTableRows = 98, kImageListEntries = 10 };
extern const CommandEntry CommandTable[kCommandTableRows + 1]; // ends with a row whose name is NULL
extern const int kImageListCommands[kImageListEntries];       // image-list entries 0 to 9

// Looks a command name up exactly: the table first, then the commands registered by plug-ins
// (label "*** Added Command ***"). False when neither has it.
bool LookUpCommand(const char *name, int *id, const char **label);
const char *CommandLabel(int id); // English label of a table command, or NULL

void DispatchCommand(ImageWindow *window, WPARAM wParam, LPARAM lParam);
void PostHandedOverCommandLine(char *text); // takes the text; command 32690 opens it

// Handlers of the dispatcher that other code also calls.
void OpenEditWindowCommand(ImageWindow *window, bool browse);
void CloseImageCommand(ImageWindow *window);
void CloseWindowCommand(ImageWindow *window);
void NewImageCommand(ImageWindow *window);
