// Resource identifiers of the program.
#pragma once
#define IDI_OVRIN 100
#define IDC_PLAIN 200
#define IDC_REGION 201
#define IDC_FUNCTION 202
#define IDC_SERVICE 203
#define IDC_LOCKED 204
