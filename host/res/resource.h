// Resource identifiers of the program.
#pragma once
#define IDI_OVRIN 100

// Dialogs.
#define IDC_PROGRESS_STEP 3003
#define IDD_OPTIONS_WINDOW 6000
#define IDD_OPTIONS_DISPLAY 6001
#define IDD_OPTIONS_FILE 6002
#define IDC_PLAIN 200
#define IDC_REGION 201
#define IDC_FUNCTION 202
#define IDC_SERVICE 203
#define IDC_LOCKED 204
#define IDD_SAVE_DEPTH 143
#define IDD_OPEN_PREVIEW 144
#define IDD_LANGUAGE 104
