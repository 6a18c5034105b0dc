// The command table: names used by menu files and the key map, identifiers, English menu labels.
#include "shell/commands.h"
#include "shell/keymap.h"
#include <string.h>

const CommandEntry CommandTable[kCommandTableRows + 1] = {
    {"Undo", 32034, "&Undo"},
    {"Redo", 32035, "&Redo"},
    {"MoveToClip", 32013, "C&ut"},
    {"CopyRegionToClip", 32056, "&Copy region"},
    {"CopyToClip", 32014, "Copy &whole"},
    {"PasteFromClip", 32015, "&Paste as new image"},
    {"PasteAsLayer", 32077, "&Paste as new layer"},
    {"CopyRegionToNewImage", 32055, "Region to new image"},
    {"NewImage", 32016, "&New image"},
    {"OpenImage", 32017, "&Open file"},
    {"CloseImage", 32026, "&Close image"},
    {"SaveImage", 32027, "&Save"},
    {"SetWallPaperC", 32050, "&to Wallpaper Center"},
    {"SetWallPaperA", 32051, "&to Wallpaper All"},
    {"Quit", 32032, "&Quit"},
    {"SetBeforeImage", 32003, "&Before image"},
    {"SetAfterImage", 32004, "&After image"},
    {"AdjustWindow", 32025, "A&djust window"},
    {"OpenEditWindow", 32031, "Open &Edit window"},
    {"OpenBroseWindow", 32028, "Open &Brose window"},
    {"CloseWindow", 32029, "&Close window"},
    {"SwitchDither", 32033, "&On/Off dither"},
    {"MaskDisplayON", 32036, "&Mask on"},
    {"MaskDisplayOFF", 32037, "(Can't)"},
    {"RegionDisplayBlack", 32038, "&Black"},
    {"RegionDisplayHalfColor", 32039, "&Half"},
    {"RegionDisplayTone", 32040, "&Tone"},
    {"RegionDisplayAnimate", 32041, "&Contour"},
    {"SetZoom1", 32009, "&100%"},
    {"SetZoom2", 32010, "&200%"},
    {"SetZoom4", 32011, "&400%"},
    {"SetZoom8", 32012, "&800%"},
    {"SetZoom/2", 32047, "&50%"},
    {"SetZoom/4", 32048, "&25%"},
    {"SetZoom/8", 32049, "&12.5%"},
    {"ScrollLeft", 32691, "Scroll left"},
    {"ScrollRight", 32692, "Scroll Right"},
    {"ScrollUp", 32693, "Scroll up"},
    {"ScrollDown", 32694, "Scroll down"},
    {"ChangeActiveWindow", 32042, "Change active"},
    {"ChangeDrawMode", 32043, "Drag/Click"},
    {"ToggleGridDisplay", 32044, "&Grid"},
    {"Effect", 32045, "&Effect"},
    {"ShowHelpContents", 32052, "&Help contents"},
    {"ShowHelpOnHelp", 32054, "&Help on help"},
    {"ShowAboutApp", 32053, "&About..."},
    {"ChangeLanguage", 32046, "&To other language"},
    {"PrintImage", 32057, "&Print"},
    {"PrintSetUp", 32058, "&P&age Setup"},
    {"ToggleLoopMode", 32059, "&Loop mode"},
    {"RecordMacro", 32060, "&Record Macro"},
    {"ExecuteMacro", 32061, "&Execute Macro"},
    {"TransformRegion", 32062, "&Transforming"},
    {"TwainAcquire", 32064, "&Acquire"},
    {"TwainSelectSource", 32063, "S&elect Source"},
    {"LockImage", 32065, "&Lock image"},
    {"CustomizeProperty", 32066, "&Customize..."},
    {"ConvertIntoEditImage", 32067, "&Convert into edit"},
    {"ImageInfo", 32068, "&Image infomation..."},
    {"TESTforDev", 20001, "&TEST1"},
    {"TESTforDev2", 20002, "&TEST2"},
    {"TESTforDev3", 20003, "&TEST3"},
    {"TESTforDev4", 20004, "&TEST4"},
    {"TESTforDev5", 20005, "&TEST5"},
    {"TESTforDev6", 20006, "&TEST6"},
    {"TESTforDev7", 20007, "&TEST7"},
    {"TESTforDev8", 20008, "&TEST8"},
    {"TESTforDev9", 20009, "&TEST9"},
    {"OpenImageForView", 32069, "O&pen file(view)"},
    {"NewLayer", 32070, "New &layer"},
    {"VisibleCurrentLayer", 32071, "&Visible current layer"},
    {"ReloadPlugin", 32072, "&Reload plugin"},
    {"ShowEnglishHelp", 32073, "&English Help"},
    {"CloseAllImage", 32076, "Close &All image"},
    {"RegionUndo", 32074, "Undo(region)"},
    {"RegionRedo", 32075, "Redo(region)"},
    {"DeleteLayer", 32078, "&Delete layer"},
    {"MergeLayerAll", 32079, "&Merge layer to base"},
    {"ManageDrawPlugin", 32081, "Manage Draw plug-in"},
    {"ManageFcolPlugin", 32082, "Manage Functional color plug-in"},
    {"ManageSubwinPlugin", 32083, "Manage Sub-window plug-in"},
    {"ManageTransPlugin", 32084, "Manage Transform plug-in"},
    {"ManagePluginDir", 32085, "Manage Plug-in directory"},
    {"ToggleCheckMode", 32086, "Toggle to Path Mode"},
    {"SetLighting", 32087, "Set Lighting"},
    {"CreateNewClip", 32088, "Create new clip-window"},
    {"DispLayerFrame", 32089, "Display Layer Frame"},
    {"DispLayerNone", 32092, "Undisplay Layer Flame"},
    {"DispLayerHalf", 32093, "Darken out of Layer"},
    {"DispPenShape", 32090, "Display Pen Shape"},
    {"DispStatWindow", 32091, "Display StatWindow"},
    {"TwainAcquireNoGUI", 32094, "Acquire without GUI"},
    {"SetImageBkColor", 32095, "Set background color on image"},
    {"MoveClipToSide", 32096, "Move clip-window to side"},
    {"SaveAsDefault", 32097, "Save as Default format"},
    {"SaveAllImages", 32098, "Save All Images"},
    {"SaveLayer", 32099, "Save Layer"},
    {"LoadLayer", 32100, "Load Layer"},
    {NULL, 0, NULL},
};

const int kImageListCommands[kImageListEntries] = {32000, 32001, 32019, 32020, 32005,
                                                   32002, 32006, 32007, 32008, 32018};

bool LookUpCommand(const char *name, int *id, const char **label)
{
    if (!name)
        return false;
    for (const CommandEntry *row = CommandTable; row->name; row++)
        if (strcmp(row->name, name) == 0) {
            *id = (int)(row->id & 0xFFFF);
            *label = row->label;
            return true;
        }
    int registered = FindKeyCommandByName(name);
    if (registered) {
        *id = registered;
        *label = "*** Added Command ***";
        return true;
    }
    return false;
}

const char *CommandLabel(int id)
{
    for (const CommandEntry *row = CommandTable; row->name; row++)
        if ((int)(row->id & 0xFFFF) == id)
            return row->label;
    return NULL;
}
