// Plug-in maintenance: reordering the loaded draw, sub-window and functional-colour plug-ins,
// setting modules aside (renamed with ".del": the reserve) and bringing them back.
#pragma once
#include "ovrin.h"

enum { kMaintainDraw = 0, kMaintainSubWindow = 1, kMaintainFuncColor = 2 };
enum { kReserveEntries = 100, kRegularEntries = 100 };
// The painted lists, in dialog pixels.
enum {
    kListLeft = 32,
    kRegularTop = 48,
    kReserveTop = 278,
    kRowPitch = 23,
    kRegularRowsShown = 7,
    kReserveRowsShown = 4,
};

struct MaintenanceEntry {
    int keep; // 0: set aside at "Delete"
    int row;
};

struct ReserveEntry {
    int install; // 1: brought back at "Install"
    char file[256];
    char name[80];
    char translated[80];
};

struct MaintenanceState {
    int kind;
    MaintenanceEntry regular[kRegularEntries];
    int regularCount;
    ReserveEntry reserve[kReserveEntries];
    int reserveCount;
    int regularTop, reserveTop, current;
};

// What a click at dialog point x, y hits.
enum MaintenanceHit { kHitNone, kHitKeep, kHitSelect, kHitInstall };
MaintenanceHit HitMaintenanceList(int x, int y, int *row);

void OpenMaintenance(MaintenanceState *s, int kind, HWND owner); // both lists built
void BuildRegularList(MaintenanceState *s);
int BuildReserveList(MaintenanceState *s, HWND owner); // the number of reserve entries
int DeleteUncheckedPlugins(MaintenanceState *s);        // 1 when the tool bar must be rebuilt
int InstallReservedPlugins(MaintenanceState *s, HWND owner); // 1 when a module was installed
int SwapPluginRows(int kind, int i, int j);             // 1 when the tool bar must be rebuilt
int MoveCurrentEntry(MaintenanceState *s, int step);    // "Up" -1, "Down" +1; 1 when rows swapped
void RemoveDrawRow(int row);
void RemoveFuncColorRow(int row);
void RebuildToolBarAfterMaintenance();

// The dialog: modal over owner, for one kind.
void RunPluginMaintenanceDialog(HWND owner, int kind);
