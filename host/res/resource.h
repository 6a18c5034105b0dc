// Resource identifiers of the program.
#pragma once
#define IDI_OVRIN 100
