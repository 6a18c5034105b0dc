// Resource identifiers of the program.
#pragma once
#define IDI_OVRIN 100
#define IDD_SAVE_DEPTH 143
#define IDD_OPEN_PREVIEW 144
