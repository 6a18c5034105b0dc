// Menus built from the menu files, with their dynamic lists, check marks and enabled states, and
// the small fixed popups.
#pragma once
#include "ovrin.h"

struct FileFaults;

// Line kinds of a menu file.
enum { kMenuLinePopup = 1, kMenuLineCommand, kMenuLineList, kMenuLineSeparator, kMenuLineSubPopup,
       kMenuLineAttach };
// Dynamic lists.
enum { kListImage = 1, kListDraw, kListView, kListWindow, kListLayer, kListRecentFile };
enum { kCaptionBytes = 52, kSubCaptionBytes = 100, kItemTextBytes = 80, kSubPopups = 10 };

// Parses one line. 1 when usable: kind, value (command id, list number or sub-popup number) and
// the captions (each buffer of `size` bytes; the English caption of a command is its label).
// 0 when the line is skipped; malformed lines and unknown commands are reported (35, 34): for
// the file being read when faults is given, else at once.
int ParseMenuLine(const char *line, int *kind, int *value, char *english, char *translated, size_t size,
                  FileFaults *faults = nullptr);

void BuildMainMenu();
void BuildWindowMenu(ImageWindow *window);
void RebuildWindowMenus();
void UpdateWindowMenus(); // the main menu and the image-window menus, where they exist
HMENU GetMainMenu();

void UpdateUndoMenuItems(ImageWindow *window);
void CheckZoomMenuItem(ImageWindow *window, int zoom, int flag);
void CheckZoomMenuItem(ImageWindow *window); // the window's own zoom, checked
void SetDisplayModeChecks(ImageWindow *window, int flag);
void CheckGridMenuItem(ImageWindow *window);

HMENU CreateDoCancelPopup();
HMENU CreateDoContinuePopup();
void CreateClipPopups(HMENU *member, HMENU *clip);
void ApplyTransformCommand(ImageWindow *window);
void CancelTransformCommand(ImageWindow *window);
