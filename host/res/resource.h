// Resource identifiers of the program.
#pragma once
#define IDI_OVRIN 100

// Dialogs.
#define IDC_PROGRESS_STEP 3003
#define IDD_OPTIONS_WINDOW 6000
#define IDD_OPTIONS_DISPLAY 6001
#define IDD_OPTIONS_FILE 6002
