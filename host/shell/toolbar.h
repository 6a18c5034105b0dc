// The main window's tool bar: button records painted by the program as raised or pressed frames.
#pragma once
#include "ovrin.h"
#include <commctrl.h>
#include <stddef.h>

enum { kButtonDraw = 1, kButtonSubWindow = 2, kButtonCommand = 10, kCommandButtons = 16 };
enum { kCommandToggleCheckMode = 32086 };

extern ToolButton *g_firstButton, *g_lastButton;
extern int g_lastCommandButton; // index of the last command button (15)
extern HBITMAP g_clipWindowBitmap, g_itemWindowBitmap;

// Pens and brushes of the shell, made at start-up.
extern HPEN g_blackPen, g_whitePen, g_shadowPen;
extern HBRUSH g_lightGreyBrush, g_buttonFaceBrush, g_whiteBrush;
void CreateShellDrawingObjects();
void DeleteToolBarDrawingObjects();

void LoadToolBarBitmaps();
void CreateToolBarButtons();
// One button per loaded draw method after the command buttons, 23 pixels apart from x 401, the
// current method's pressed; the sub-window buttons belong after the last of them.
void CreateDrawButtons();
// The current draw method moved from oldRow to newRow: its button and the draw menu's check follow.
void ShowDrawSelection(int oldRow, int newRow);
void CreateSubWindowButtons(); // after the sub-window windows were made, after the draw buttons
ToolButton *AddToolButton(int left, int top, int right, int bottom, int kind, int id, HBITMAP bitmap, int pressed);
int DrawToolButton(HWND window, ToolButton *button);
void RedrawToolButtons();
void SetToolButtonPressed(int id, int pressed);
void SetToolButtonOfKindPressed(int kind, int id, int pressed);
ToolButton *FindToolButtonAt(int x, int y);
ToolButton *FindToolButton(int kind, int id);
void FreeToolButtons(bool deleteBitmaps);

// Pointer handling of the main window, in client coordinates.
void ToolBarMouseMove(int x, int y);
void ToolBarButtonDown(int x, int y);
void ToolBarButtonUp(int x, int y);
// Tool tips.
void CreateToolTipWindow();
extern HWND g_toolTipWindow;
void AddToolTip(ToolButton *button);
void AddAllToolTips();
void GetToolTipText(NMTTDISPINFOA *info);
void SendCommandToMain(int id);
// The label of a command in the main menu ("" when it has none), at most size - 1 bytes.
void GetCommandMenuLabel(int id, char *out, size_t size);
enum { kTextLabelBytes = 256 };
void DrawToolButtons();
void OnToolBarMouse(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void OnToolTipNeedText(NMHDR *header);
